#include "taskstore/TriggerSheet_win.h"

#include <commctrl.h>
#include <prsht.h>

#include <string>
#include <vector>

#include "taskstore/TaskScheduler_win.h"
#include "taskstore/TriggerEdit.h"
#include "taskstore/TriggerText.h"
#include "win32/Dialogs.h"
#include "win32/Handles.h"

namespace {

const char* const SheetCaption = "Settings";
const char* const PageTitle = "Schedule";

// The header as comctl32 5.80 defines it (through hbmHeader); its extra
// members stay null, so every version of comctl32 reads it the same way.
const UINT SheetHeaderSize = 52;
static_assert(sizeof(PROPSHEETHEADERA) >= SheetHeaderSize, "header shorter than its size");

const char* const WeekDayNames[7] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
const char* const MonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const WeekNames[5] = {"first", "second", "third", "fourth", "last"};

// Check box i of the page is Monday first; the trigger's bit 0 is Sunday.
uint16_t WeekDayBit(int box)
{
    return uint16_t(1u << ((box + 1) % 7));
}

// A dialog template built in memory: DLGTEMPLATE, then its items, each
// DWORD aligned, in tab order.
class DialogTemplate {
public:
    DialogTemplate(DWORD style, short cx, short cy, const wchar_t* font, WORD points)
    {
        AddDword(style | DS_SETFONT);
        AddDword(0); // extended style
        m_countAt = m_words.size();
        m_words.push_back(0);
        AddShort(0), AddShort(0), AddShort(cx), AddShort(cy);
        m_words.push_back(0); // no menu
        m_words.push_back(0); // the default class
        AddText(L"");
        m_words.push_back(points);
        AddText(font);
    }

    // className: a predefined class atom (0x0080 button ...), or 0 with name.
    void Add(WORD id, WORD classAtom, const wchar_t* className, const char* text, DWORD style,
             short x, short y, short cx, short cy)
    {
        if (m_words.size() % 2)
            m_words.push_back(0);
        AddDword(style | WS_CHILD | WS_VISIBLE);
        AddDword(0);
        AddShort(x), AddShort(y), AddShort(cx), AddShort(cy);
        m_words.push_back(id);
        if (classAtom) {
            m_words.push_back(0xFFFF);
            m_words.push_back(classAtom);
        } else {
            AddText(className);
        }
        AddText(Wide(text).c_str());
        m_words.push_back(0); // no creation data
        ++m_words[m_countAt];
    }

    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

private:
    static std::wstring Wide(const char* text)
    {
        std::wstring wide;
        for (; *text; ++text)
            wide += wchar_t(static_cast<unsigned char>(*text)); // ASCII captions only
        return wide;
    }
    void AddDword(DWORD value)
    {
        m_words.push_back(LOWORD(value));
        m_words.push_back(HIWORD(value));
    }
    void AddShort(short value) { m_words.push_back(WORD(value)); }
    void AddText(const wchar_t* text)
    {
        for (; *text; ++text)
            m_words.push_back(WORD(*text));
        m_words.push_back(0);
    }

    std::vector<WORD> m_words; // WORD aligned as the template must be
    size_t m_countAt = 0;
};

const WORD ButtonAtom = 0x0080, EditAtom = 0x0081, StaticAtom = 0x0082, ListBoxAtom = 0x0083,
           ComboAtom = 0x0085;

// The page in dialog units: about the size of the Task Scheduler's own pages.
DialogTemplate PageTemplate()
{
    DialogTemplate t(WS_CHILD | WS_DISABLED | WS_CAPTION | DS_3DLOOK | DS_CONTROL, 252, 232,
                     L"Tahoma", 8);
    const DWORD label = SS_LEFT;
    const DWORD tab = WS_TABSTOP;
    const DWORD number = ES_NUMBER | ES_AUTOHSCROLL | WS_BORDER | tab;
    const DWORD spin = UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS |
                       UDS_NOTHOUSANDS;
    const DWORD check = BS_AUTOCHECKBOX | tab;

    t.Add(IdTriggersLabel, StaticAtom, nullptr, "&Triggers:", label, 7, 7, 120, 8);
    t.Add(IdTriggerList, ListBoxAtom, nullptr, "",
          LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | tab | WS_GROUP, 7, 17, 188,
          42);
    t.Add(IdNewTrigger, ButtonAtom, nullptr, "&New", BS_PUSHBUTTON | tab | WS_GROUP, 201, 17, 44,
          14);
    t.Add(IdDeleteTrigger, ButtonAtom, nullptr, "&Delete", BS_PUSHBUTTON | tab, 201, 35, 44, 14);
    t.Add(IdDescription, StaticAtom, nullptr, "", SS_LEFT | SS_NOPREFIX, 7, 63, 238, 17);
    t.Add(IdDivider, StaticAtom, nullptr, "", SS_ETCHEDHORZ, 7, 84, 238, 1);

    t.Add(IdKindLabel, StaticAtom, nullptr, "Sc&hedule task:", label, 7, 90, 96, 8);
    t.Add(IdKind, ComboAtom, nullptr, "", CBS_DROPDOWNLIST | WS_VSCROLL | tab | WS_GROUP, 7, 100,
          96, 120);
    t.Add(IdStartTimeLabel, StaticAtom, nullptr, "Start t&ime:", label, 110, 90, 62, 8);
    t.Add(IdStartTime, 0, DATETIMEPICK_CLASSW, "", DTS_TIMEFORMAT | tab | WS_GROUP, 110, 100, 62,
          14);
    t.Add(IdStartDateLabel, StaticAtom, nullptr, "&Start date:", label, 178, 90, 67, 8);
    t.Add(IdStartDate, 0, DATETIMEPICK_CLASSW, "", DTS_SHORTDATEFORMAT | tab | WS_GROUP, 178, 100,
          67, 14);

    t.Add(IdKindGroup, ButtonAtom, nullptr, "", BS_GROUPBOX, 7, 120, 238, 70);
    t.Add(IdEveryLabel, StaticAtom, nullptr, "E&very", label, 14, 135, 30, 8);
    t.Add(IdEvery, EditAtom, nullptr, "", number | WS_GROUP, 46, 133, 34, 12);
    t.Add(IdEverySpin, 0, UPDOWN_CLASSW, "", spin, 0, 0, 0, 0);
    t.Add(IdEveryUnit, StaticAtom, nullptr, "", label, 84, 135, 80, 8);
    t.Add(IdMonthDaysLabel, StaticAtom, nullptr, "Da&ys:", label, 14, 135, 30, 8);
    t.Add(IdMonthDays, EditAtom, nullptr, "", ES_AUTOHSCROLL | WS_BORDER | tab | WS_GROUP, 46,
          133, 90, 12);
    t.Add(IdMonthDaysHint, StaticAtom, nullptr, "for example 1, 15, 28-31", label, 140, 135, 100,
          8);
    t.Add(IdWhichWeekLabel, StaticAtom, nullptr, "&Week:", label, 14, 135, 30, 8);
    t.Add(IdWhichWeek, ComboAtom, nullptr, "", CBS_DROPDOWNLIST | WS_VSCROLL | tab | WS_GROUP, 46,
          133, 60, 80);
    t.Add(IdKindNote, StaticAtom, nullptr, "", SS_LEFT | SS_NOPREFIX, 14, 135, 224, 16);
    t.Add(IdWeekDaysLabel, StaticAtom, nullptr, "On:", label, 14, 152, 30, 8);
    for (int i = 0; i < 7; ++i)
        t.Add(WORD(IdWeekDay0 + i), ButtonAtom, nullptr, WeekDayNames[i],
              check | (i == 0 ? WS_GROUP : 0), short(46 + 28 * i), 151, 27, 10);
    t.Add(IdMonthsLabel, StaticAtom, nullptr, "Months:", label, 14, 166, 30, 8);
    for (int i = 0; i < 12; ++i)
        t.Add(WORD(IdMonth0 + i), ButtonAtom, nullptr, MonthNames[i],
              check | (i == 0 ? WS_GROUP : 0), short(46 + 33 * (i % 6)), short(165 + 12 * (i / 6)),
              31, 10);

    t.Add(IdRepeat, ButtonAtom, nullptr, "&Repeat task every", check | WS_GROUP, 7, 198, 76, 10);
    t.Add(IdRepeatEvery, EditAtom, nullptr, "", number, 84, 197, 36, 12);
    t.Add(IdRepeatSpin, 0, UPDOWN_CLASSW, "", spin, 0, 0, 0, 0);
    t.Add(IdDurationLabel, StaticAtom, nullptr, "minutes f&or", label, 124, 199, 42, 8);
    t.Add(IdDuration, EditAtom, nullptr, "", number | WS_GROUP, 166, 197, 36, 12);
    t.Add(IdDurationSpin, 0, UPDOWN_CLASSW, "", spin, 0, 0, 0, 0);
    t.Add(IdMinutesLabel, StaticAtom, nullptr, "minutes", label, 206, 199, 39, 8);
    t.Add(IdHasEndDate, ButtonAtom, nullptr, "&End date:", check | WS_GROUP, 7, 215, 50, 10);
    t.Add(IdEndDate, 0, DATETIMEPICK_CLASSW, "", DTS_SHORTDATEFORMAT | tab | WS_GROUP, 60, 213,
          67, 14);
    t.Add(IdEnabled, ButtonAtom, nullptr, "Ena&bled", check | WS_GROUP, 178, 215, 67, 10);
    return t;
}

TASK_TRIGGER TaskTriggerOf(const TriggerFields& f)
{
    TASK_TRIGGER t = {};
    t.cbTriggerSize = sizeof t;
    t.wBeginYear = f.BeginYear, t.wBeginMonth = f.BeginMonth, t.wBeginDay = f.BeginDay;
    t.wEndYear = f.EndYear, t.wEndMonth = f.EndMonth, t.wEndDay = f.EndDay;
    t.wStartHour = f.StartHour, t.wStartMinute = f.StartMinute;
    t.MinutesDuration = f.MinutesDuration, t.MinutesInterval = f.MinutesInterval;
    t.rgFlags = f.Flags;
    t.TriggerType = TASK_TRIGGER_TYPE(f.Kind);
    switch (f.Kind) {
    case TriggerDaily:
        t.Type.Daily.DaysInterval = f.DaysInterval;
        break;
    case TriggerWeekly:
        t.Type.Weekly.WeeksInterval = f.WeeksInterval;
        t.Type.Weekly.rgfDaysOfTheWeek = f.DaysOfTheWeek;
        break;
    case TriggerMonthlyDate:
        t.Type.MonthlyDate.rgfDays = f.Days;
        t.Type.MonthlyDate.rgfMonths = f.Months;
        break;
    case TriggerMonthlyDow:
        t.Type.MonthlyDOW.wWhichWeek = f.WhichWeek;
        t.Type.MonthlyDOW.rgfDaysOfTheWeek = f.DaysOfTheWeek;
        t.Type.MonthlyDOW.rgfMonths = f.Months;
        break;
    default:
        break;
    }
    return t;
}

// Every trigger of the work item as it is now, Wine's placeholder included.
HRESULT StoredTriggers(ITask* task, std::vector<TriggerFields>* triggers)
{
    triggers->clear();
    WORD count = 0;
    HRESULT hr = task->GetTriggerCount(&count);
    for (WORD i = 0; SUCCEEDED(hr) && i < count; ++i) {
        ComPtr<ITaskTrigger> trigger;
        hr = task->GetTrigger(i, trigger.Put());
        if (FAILED(hr) || !trigger)
            return FAILED(hr) ? hr : E_FAIL;
        TASK_TRIGGER fields = {};
        fields.cbTriggerSize = sizeof fields;
        hr = trigger->GetTrigger(&fields);
        if (SUCCEEDED(hr))
            triggers->push_back(FieldsOf(fields));
    }
    return hr;
}

HRESULT WriteTrigger(ITaskTrigger* trigger, const TriggerFields& fields)
{
    TASK_TRIGGER t = TaskTriggerOf(fields);
    return trigger->SetTrigger(&t);
}

HRESULT CarryOut(ITask* task, const std::vector<TriggerWrite>& writes)
{
    for (const TriggerWrite& w : writes) {
        ComPtr<ITaskTrigger> trigger;
        HRESULT hr = S_OK;
        switch (w.Action) {
        case TriggerWrite::Set:
            hr = task->GetTrigger(w.Index, trigger.Put());
            if (SUCCEEDED(hr) && trigger)
                hr = WriteTrigger(trigger.Get(), w.Trigger);
            break;
        case TriggerWrite::Create: {
            WORD index = 0;
            hr = task->CreateTrigger(&index, trigger.Put());
            if (SUCCEEDED(hr) && trigger)
                hr = WriteTrigger(trigger.Get(), w.Trigger);
            break;
        }
        case TriggerWrite::Delete:
            hr = task->DeleteTrigger(w.Index);
            break;
        }
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

std::string Hex(HRESULT hr)
{
    char text[16];
    wsprintfA(text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

// Our own Schedule page: the work item's triggers in a list, the selected
// one's fields below it. Edits stay in the page until OK or Apply.
class SchedulePage {
public:
    explicit SchedulePage(ITask* task) : m_task(task), m_template(PageTemplate()) {}

    HPROPSHEETPAGE Create()
    {
        PROPSHEETPAGEA page = {};
        page.dwSize = sizeof page;
        page.dwFlags = PSP_DLGINDIRECT | PSP_USETITLE;
        page.pResource = m_template.Get();
        page.pfnDlgProc = DialogProc;
        page.pszTitle = PageTitle;
        page.lParam = reinterpret_cast<LPARAM>(this);
        return CreatePropertySheetPageA(&page);
    }

private:
    struct Entry {
        TriggerFields Fields;
        bool Edited = false; // unedited triggers are written back as they were read
    };

    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        try {
            if (msg == WM_INITDIALOG) {
                auto* self = reinterpret_cast<SchedulePage*>(
                    reinterpret_cast<const PROPSHEETPAGEA*>(lParam)->lParam);
                SetWindowLongPtrA(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
                self->m_hwnd = hwnd;
                self->OnInit();
                return TRUE;
            }
            auto* self = reinterpret_cast<SchedulePage*>(GetWindowLongPtrA(hwnd, DWLP_USER));
            if (!self)
                return FALSE;
            switch (msg) {
            case WM_COMMAND:
                return self->OnCommand(LOWORD(wParam), HIWORD(wParam));
            case WM_NOTIFY:
                return self->OnNotify(reinterpret_cast<NMHDR*>(lParam));
            case WM_DESTROY:
                SetWindowLongPtrA(hwnd, DWLP_USER, 0);
                self->m_hwnd = nullptr;
                return FALSE;
            }
        } catch (...) {
        }
        return FALSE;
    }

    HWND Item(int id) const { return GetDlgItem(m_hwnd, id); }
    bool Checked(int id) const { return IsDlgButtonChecked(m_hwnd, id) == BST_CHECKED; }
    void Check(int id, bool on) { CheckDlgButton(m_hwnd, id, on ? BST_CHECKED : BST_UNCHECKED); }
    void Show(int id, bool on) { ShowWindow(Item(id), on ? SW_SHOWNA : SW_HIDE); }
    void Enable(int id, bool on) { EnableWindow(Item(id), on); }

    void OnInit()
    {
        for (const char* name : PageTriggerKindNames)
            SendMessageA(Item(IdKind), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        for (const char* name : WeekNames)
            SendMessageA(Item(IdWhichWeek), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        SendMessageA(Item(IdEverySpin), UDM_SETRANGE32, 1, MaxDaysInterval);
        SendMessageA(Item(IdRepeatSpin), UDM_SETRANGE32, 1, MaxRepeatMinutes);
        SendMessageA(Item(IdDurationSpin), UDM_SETRANGE32, 1, MaxRepeatMinutes);
        SendMessageA(Item(IdEvery), EM_LIMITTEXT, 3, 0);
        SendMessageA(Item(IdRepeatEvery), EM_LIMITTEXT, 5, 0);
        SendMessageA(Item(IdDuration), EM_LIMITTEXT, 5, 0);
        SendMessageA(Item(IdMonthDays), EM_LIMITTEXT, 90, 0);
        // The user's time format, without the seconds the triggers do not have.
        char format[80] = "";
        if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, format, sizeof format)) {
            const std::string shortTime = TimeFormatWithoutSeconds(format);
            SendMessageA(Item(IdStartTime), DTM_SETFORMATA, 0,
                         reinterpret_cast<LPARAM>(shortTime.c_str()));
        }
        Reload(0);
    }

    // The work item's triggers, unedited, with the given one selected.
    void Reload(int select)
    {
        std::vector<TriggerFields> stored;
        StoredTriggers(m_task, &stored);
        m_entries.clear();
        for (const TriggerFields& t : ListedTriggers(stored)) {
            Entry e;
            e.Fields = t;
            m_entries.push_back(e);
        }
        FillList();
        Select(m_entries.empty() ? -1 : std::min<int>(select, int(m_entries.size()) - 1));
    }

    std::string Describe(const TriggerFields& t) const
    {
        std::string text = DescribeTrigger(t, UserDate, UserTime);
        if (t.Flags & TriggerFlagDisabled)
            text += " (disabled)";
        return text;
    }
    std::string ListText(int index) const
    {
        return std::to_string(index + 1) + ". " + Describe(m_entries[size_t(index)].Fields);
    }

    void FillList()
    {
        HWND list = Item(IdTriggerList);
        SendMessageA(list, LB_RESETCONTENT, 0, 0);
        for (size_t i = 0; i < m_entries.size(); ++i)
            SendMessageA(list, LB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(ListText(int(i)).c_str()));
    }

    void UpdateListItem(int index)
    {
        HWND list = Item(IdTriggerList);
        const std::string text = ListText(index);
        SendMessageA(list, LB_DELETESTRING, WPARAM(index), 0);
        SendMessageA(list, LB_INSERTSTRING, WPARAM(index), reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageA(list, LB_SETCURSEL, WPARAM(index), 0);
    }

    void Select(int index)
    {
        m_current = index;
        SendMessageA(Item(IdTriggerList), LB_SETCURSEL, WPARAM(index), 0);
        Enable(IdDeleteTrigger, index >= 0);
        if (index < 0) {
            SetDlgItemTextA(m_hwnd, IdDescription, "No triggers: New adds one.");
            ShowFields(nullptr);
            return;
        }
        LoadControls(m_entries[size_t(index)].Fields);
    }

    static void SetDate(HWND picker, int year, int month, int day, int hour = 0, int minute = 0)
    {
        SYSTEMTIME st = {};
        GetLocalTime(&st);
        if (year >= 1601 && month >= 1 && month <= 12 && day >= 1 &&
            day <= DaysInMonth(year, month)) {
            st.wYear = WORD(year), st.wMonth = WORD(month), st.wDay = WORD(day);
        }
        st.wHour = WORD(hour % 24), st.wMinute = WORD(minute % 60), st.wSecond = 0;
        st.wMilliseconds = 0, st.wDayOfWeek = 0;
        SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
    }
    static SYSTEMTIME GetDate(HWND picker)
    {
        SYSTEMTIME st = {};
        if (SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) != GDT_VALID)
            GetLocalTime(&st);
        return st;
    }

    void LoadControls(const TriggerFields& t)
    {
        m_loading = true;
        int kindIndex = 0;
        for (int i = 0; i < 8; ++i)
            if (PageTriggerKinds[i] == t.Kind)
                kindIndex = i;
        SendMessageA(Item(IdKind), CB_SETCURSEL, WPARAM(kindIndex), 0);
        SetDate(Item(IdStartTime), t.BeginYear, t.BeginMonth, t.BeginDay, t.StartHour,
                t.StartMinute);
        SetDate(Item(IdStartDate), t.BeginYear, t.BeginMonth, t.BeginDay);
        SetDlgItemInt(m_hwnd, IdEvery,
                      t.Kind == TriggerWeekly ? std::max<int>(t.WeeksInterval, 1)
                                              : std::max<int>(t.DaysInterval, 1),
                      FALSE);
        SendMessageA(Item(IdEverySpin), UDM_SETRANGE32, 1,
                     t.Kind == TriggerWeekly ? MaxWeeksInterval : MaxDaysInterval);
        SetDlgItemTextA(m_hwnd, IdMonthDays, DayListText(t.Days).c_str());
        SendMessageA(Item(IdWhichWeek), CB_SETCURSEL,
                     WPARAM(t.WhichWeek >= 1 && t.WhichWeek <= 5 ? t.WhichWeek - 1 : 0), 0);
        for (int i = 0; i < 7; ++i)
            Check(IdWeekDay0 + i, (t.DaysOfTheWeek & WeekDayBit(i)) != 0);
        for (int i = 0; i < 12; ++i)
            Check(IdMonth0 + i, (t.Months & (1u << i)) != 0);
        const bool repeat = t.MinutesInterval > 0;
        Check(IdRepeat, repeat);
        SetDlgItemInt(m_hwnd, IdRepeatEvery, repeat ? t.MinutesInterval : 10, FALSE);
        SetDlgItemInt(m_hwnd, IdDuration, repeat ? t.MinutesDuration : 60, FALSE);
        Check(IdHasEndDate, (t.Flags & TriggerFlagHasEndDate) != 0);
        if (t.Flags & TriggerFlagHasEndDate)
            SetDate(Item(IdEndDate), t.EndYear, t.EndMonth, t.EndDay);
        else
            SetDate(Item(IdEndDate), t.BeginYear, t.BeginMonth, t.BeginDay);
        Check(IdEnabled, !(t.Flags & TriggerFlagDisabled));
        ShowFields(&t);
        SetDlgItemTextA(m_hwnd, IdDescription, Describe(t).c_str());
        m_loading = false;
    }

    // Shows the controls the trigger's kind has; none without a trigger.
    void ShowFields(const TriggerFields* t)
    {
        const TriggerPageLayout l = t ? LayoutFor(t->Kind) : TriggerPageLayout();
        const bool any = t != nullptr;
        for (int id : {IdKindLabel, IdKind, IdEnabled})
            Enable(id, any);
        Show(IdStartTimeLabel, l.StartTime);
        Show(IdStartTime, l.StartTime);
        Show(IdStartDateLabel, l.StartDate);
        Show(IdStartDate, l.StartDate);
        Show(IdKindGroup, any);
        SetDlgItemTextA(m_hwnd, IdKindGroup, l.GroupCaption);
        for (int id : {IdEveryLabel, IdEvery, IdEverySpin, IdEveryUnit})
            Show(id, l.Every);
        SetDlgItemTextA(m_hwnd, IdEveryUnit, l.EveryUnit);
        for (int id : {IdMonthDaysLabel, IdMonthDays, IdMonthDaysHint})
            Show(id, l.MonthDays);
        Show(IdWhichWeekLabel, l.WhichWeek);
        Show(IdWhichWeek, l.WhichWeek);
        Show(IdKindNote, *l.Note != '\0');
        SetDlgItemTextA(m_hwnd, IdKindNote, l.Note);
        Show(IdWeekDaysLabel, l.WeekDays);
        for (int i = 0; i < 7; ++i)
            Show(IdWeekDay0 + i, l.WeekDays);
        Show(IdMonthsLabel, l.Months);
        for (int i = 0; i < 12; ++i)
            Show(IdMonth0 + i, l.Months);
        for (int id : {IdRepeat, IdRepeatEvery, IdRepeatSpin, IdDurationLabel, IdDuration,
                       IdDurationSpin, IdMinutesLabel})
            Show(id, l.Repetition);
        const bool repeat = Checked(IdRepeat);
        for (int id : {IdRepeatEvery, IdRepeatSpin, IdDurationLabel, IdDuration, IdDurationSpin,
                       IdMinutesLabel})
            Enable(id, repeat);
        Show(IdHasEndDate, l.EndDate);
        Show(IdEndDate, l.EndDate);
        Enable(IdEndDate, Checked(IdHasEndDate));
        Show(IdEnabled, true);
    }

    // The trigger as the controls show it, for the entry's kind.
    TriggerFields ReadControls(const TriggerFields& from) const
    {
        TriggerFields t = from;
        const TriggerPageLayout l = LayoutFor(t.Kind);
        if (l.StartDate) {
            const SYSTEMTIME date = GetDate(Item(IdStartDate));
            t.BeginYear = date.wYear, t.BeginMonth = date.wMonth, t.BeginDay = date.wDay;
        }
        if (l.StartTime) {
            const SYSTEMTIME time = GetDate(Item(IdStartTime));
            t.StartHour = time.wHour, t.StartMinute = time.wMinute;
        }
        if (l.Every) {
            const UINT every = GetDlgItemInt(m_hwnd, IdEvery, nullptr, FALSE);
            if (t.Kind == TriggerWeekly)
                t.WeeksInterval = uint16_t(std::min<UINT>(every, 0xFFFF));
            else
                t.DaysInterval = uint16_t(std::min<UINT>(every, 0xFFFF));
        }
        if (l.MonthDays) {
            char text[100] = "";
            GetDlgItemTextA(m_hwnd, IdMonthDays, text, sizeof text);
            uint32_t days = 0;
            t.Days = ParseDayList(text, &days) ? days : 0;
        }
        if (l.WhichWeek)
            t.WhichWeek = uint16_t(SendMessageA(Item(IdWhichWeek), CB_GETCURSEL, 0, 0) + 1);
        if (l.WeekDays) {
            t.DaysOfTheWeek = 0;
            for (int i = 0; i < 7; ++i)
                if (Checked(IdWeekDay0 + i))
                    t.DaysOfTheWeek |= WeekDayBit(i);
        }
        if (l.Months) {
            t.Months = 0;
            for (int i = 0; i < 12; ++i)
                if (Checked(IdMonth0 + i))
                    t.Months |= uint16_t(1u << i);
        }
        if (l.Repetition)
            t = WithRepetition(t, Checked(IdRepeat),
                               GetDlgItemInt(m_hwnd, IdRepeatEvery, nullptr, FALSE),
                               GetDlgItemInt(m_hwnd, IdDuration, nullptr, FALSE));
        if (l.EndDate) {
            if (Checked(IdHasEndDate)) {
                const SYSTEMTIME end = GetDate(Item(IdEndDate));
                t.Flags |= TriggerFlagHasEndDate;
                t.EndYear = end.wYear, t.EndMonth = end.wMonth, t.EndDay = end.wDay;
            } else {
                t.Flags &= ~TriggerFlagHasEndDate;
            }
        }
        if (Checked(IdEnabled))
            t.Flags &= ~TriggerFlagDisabled;
        else
            t.Flags |= TriggerFlagDisabled;
        return t;
    }

    // A control changed: the selected trigger takes its values.
    void Edited()
    {
        if (m_loading || m_current < 0)
            return;
        Entry& e = m_entries[size_t(m_current)];
        e.Fields = ReadControls(e.Fields);
        e.Edited = true;
        SetDlgItemTextA(m_hwnd, IdDescription, Describe(e.Fields).c_str());
        UpdateListItem(m_current);
        PropSheet_Changed(GetParent(m_hwnd), m_hwnd);
    }

    void KindChanged()
    {
        if (m_loading || m_current < 0)
            return;
        Entry& e = m_entries[size_t(m_current)];
        const int index = int(SendMessageA(Item(IdKind), CB_GETCURSEL, 0, 0));
        if (index < 0 || index >= 8)
            return;
        e.Fields = WithKind(ReadControls(e.Fields), PageTriggerKinds[index]);
        e.Edited = true;
        LoadControls(e.Fields);
        UpdateListItem(m_current);
        PropSheet_Changed(GetParent(m_hwnd), m_hwnd);
    }

    void NewTrigger()
    {
        SYSTEMTIME today;
        GetLocalTime(&today);
        Entry e;
        e.Fields = NewPageTrigger(today.wYear, today.wMonth, today.wDay);
        e.Edited = true;
        m_entries.push_back(e);
        FillList();
        Select(int(m_entries.size()) - 1);
        PropSheet_Changed(GetParent(m_hwnd), m_hwnd);
        SetFocus(Item(IdKind));
    }

    void DeleteTrigger()
    {
        if (m_current < 0)
            return;
        m_entries.erase(m_entries.begin() + m_current);
        FillList();
        Select(m_entries.empty() ? -1 : std::min<int>(m_current, int(m_entries.size()) - 1));
        PropSheet_Changed(GetParent(m_hwnd), m_hwnd);
        SetFocus(Item(m_entries.empty() ? IdNewTrigger : IdTriggerList));
    }

    static int ControlOf(TriggerField field)
    {
        switch (field) {
        case TriggerField::StartDate:
            return IdStartDate;
        case TriggerField::Every:
            return IdEvery;
        case TriggerField::WeekDays:
            return IdWeekDay0;
        case TriggerField::MonthDays:
            return IdMonthDays;
        case TriggerField::WhichWeek:
            return IdWhichWeek;
        case TriggerField::Months:
            return IdMonth0;
        case TriggerField::Repetition:
            return IdRepeatEvery;
        case TriggerField::Duration:
            return IdDuration;
        case TriggerField::EndDate:
            return IdEndDate;
        case TriggerField::None:
            break;
        }
        return IdKind;
    }

    // Writes the page's triggers into the work item; false, with the
    // trigger in the way selected and the user told, when one is invalid.
    bool Apply()
    {
        std::vector<TriggerFields> wanted;
        for (size_t i = 0; i < m_entries.size(); ++i) {
            const Entry& e = m_entries[i];
            if (!e.Edited) {
                wanted.push_back(e.Fields);
                continue;
            }
            const TriggerProblem problem = CheckTrigger(e.Fields);
            if (problem.Field != TriggerField::None) {
                Select(int(i));
                WarningBox(GetParent(m_hwnd), "Trigger " + std::to_string(i + 1) + ": " +
                                                  problem.Message);
                SetFocus(Item(ControlOf(problem.Field)));
                return false;
            }
            wanted.push_back(Normalized(e.Fields));
        }
        std::vector<TriggerFields> stored;
        HRESULT hr = StoredTriggers(m_task, &stored);
        if (SUCCEEDED(hr))
            hr = CarryOut(m_task, PlanTriggerWrites(stored, wanted));
        if (FAILED(hr)) {
            ErrorBox(GetParent(m_hwnd), "The triggers could not be changed (" + Hex(hr) + ").");
            return false;
        }
        Reload(std::max(m_current, 0));
        return true;
    }

    BOOL OnCommand(WORD id, WORD code)
    {
        switch (id) {
        case IdTriggerList:
            if (code == LBN_SELCHANGE) {
                const int index = int(SendMessageA(Item(IdTriggerList), LB_GETCURSEL, 0, 0));
                if (index != m_current)
                    Select(index);
            }
            return TRUE;
        case IdNewTrigger:
            if (code == BN_CLICKED)
                NewTrigger();
            return TRUE;
        case IdDeleteTrigger:
            if (code == BN_CLICKED)
                DeleteTrigger();
            return TRUE;
        case IdKind:
            if (code == CBN_SELCHANGE)
                KindChanged();
            return TRUE;
        case IdRepeat:
        case IdHasEndDate:
            if (code == BN_CLICKED) {
                Edited();
                if (m_current >= 0)
                    ShowFields(&m_entries[size_t(m_current)].Fields);
            }
            return TRUE;
        case IdWhichWeek:
            if (code == CBN_SELCHANGE)
                Edited();
            return TRUE;
        case IdEvery:
        case IdMonthDays:
        case IdRepeatEvery:
        case IdDuration:
            if (code == EN_CHANGE)
                Edited();
            return TRUE;
        default:
            if (code == BN_CLICKED &&
                (id == IdEnabled || (id >= IdWeekDay0 && id < IdWeekDay0 + 7) ||
                 (id >= IdMonth0 && id < IdMonth0 + 12))) {
                Edited();
                return TRUE;
            }
            return FALSE;
        }
    }

    BOOL OnNotify(NMHDR* header)
    {
        switch (header->code) {
        case DTN_DATETIMECHANGE:
            Edited();
            return TRUE;
        case PSN_APPLY:
            SetWindowLongPtrA(m_hwnd, DWLP_MSGRESULT,
                              Apply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE);
            return TRUE;
        case PSN_KILLACTIVE:
            SetWindowLongPtrA(m_hwnd, DWLP_MSGRESULT, FALSE);
            return TRUE;
        }
        return FALSE;
    }

    ITask* m_task;
    DialogTemplate m_template;
    HWND m_hwnd = nullptr;
    std::vector<Entry> m_entries;
    int m_current = -1;
    bool m_loading = false;
};

void ShowSheet(HWND owner, HPROPSHEETPAGE* pages, UINT count)
{
    PROPSHEETHEADERA header = {};
    header.dwSize = SheetHeaderSize;
    header.dwFlags = 0; // phpage holds page handles
    header.hwndParent = owner;
    header.hInstance = nullptr;
    header.pszCaption = SheetCaption;
    header.nPages = count;
    header.phpage = pages;
    // Whatever was applied is in the work item; the result adds nothing.
    PropertySheetA(&header);
}

// The Task Scheduler's own Schedule and Settings pages; false when it has none.
bool ShowPlatformPages(ITask* task, HWND owner)
{
    ComPtr<IProvideTaskPage> provider;
    if (FAILED(task->QueryInterface(IID_IProvideTaskPage, provider.PutVoid())) || !provider)
        return false;
    HPROPSHEETPAGE pages[2] = {};
    if (FAILED(provider->GetPage(TASKPAGE_SCHEDULE, FALSE, &pages[0])) || !pages[0] ||
        FAILED(provider->GetPage(TASKPAGE_SETTINGS, FALSE, &pages[1])) || !pages[1]) {
        for (HPROPSHEETPAGE page : pages)
            if (page)
                DestroyPropertySheetPage(page);
        return false;
    }
    provider.Reset();
    ShowSheet(owner, pages, 2);
    return true;
}

} // namespace

void EditTriggers(ITask* task, HWND owner)
{
    if (!task)
        return;
    if (ShowPlatformPages(task, owner))
        return;
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_DATE_CLASSES | ICC_UPDOWN_CLASS |
                                                ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    SchedulePage page(task);
    HPROPSHEETPAGE handle = page.Create();
    if (handle)
        ShowSheet(owner, &handle, 1);
}
