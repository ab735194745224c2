// The trigger sheet against the real Task Scheduler of the test prefix.
// EditTriggers runs its modal sheet on the test's thread; a driver thread
// finds the sheet, works its controls with messages, as a user's clicks
// would, and closes it. The driver records what went wrong; the test checks
// the work item afterwards. Files made here start with "TsSheet" and go again.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "taskstore/TaskScheduler_win.h"
#include "taskstore/TriggerEdit.h"
#include "taskstore/TriggerSheet_win.h"
#include "win32/Handles.h"
#include "win32/Strings.h"

namespace {

const DWORD WaitMs = 10000;
const DWORD PollMs = 20;

std::string UserDate(WORD year, WORD month, WORD day)
{
    SYSTEMTIME st = {};
    st.wYear = year, st.wMonth = month, st.wDay = day;
    char text[80] = "";
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, text, sizeof text);
    return text;
}

std::string UserTime(WORD hour, WORD minute)
{
    SYSTEMTIME st = {};
    st.wYear = 2000, st.wMonth = 1, st.wDay = 1, st.wHour = hour, st.wMinute = minute;
    char text[80] = "";
    GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &st, nullptr, text, sizeof text);
    return text;
}

std::string WindowText(HWND hwnd)
{
    char text[512] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

// Works the sheet from its own thread. Every wait has a deadline; whatever
// goes wrong is noted, and the sheet is cancelled so that the test goes on.
class SheetDriver {
public:
    explicit SheetDriver(DWORD sheetThread) : m_sheetThread(sheetThread) {}

    HWND Sheet() const { return m_sheet; }
    HWND Page() const { return m_page; }
    HWND Item(int id) const { return GetDlgItem(m_page, id); }
    const std::string& Failures() const { return m_failures; }
    bool Failed() const { return !m_failures.empty(); }
    void Fail(const std::string& why)
    {
        if (m_failures.empty())
            m_failures = why;
    }

    // A visible top-level window of the sheet's thread with this caption.
    HWND FindWindowOf(const char* caption) const
    {
        Search search = {caption, nullptr};
        EnumThreadWindows(m_sheetThread, FindCaption, reinterpret_cast<LPARAM>(&search));
        return search.Found;
    }

    struct Search {
        const char* Caption;
        HWND Found;
    };
    static BOOL CALLBACK FindCaption(HWND hwnd, LPARAM lParam)
    {
        auto* s = reinterpret_cast<Search*>(lParam);
        if (IsWindowVisible(hwnd) && WindowText(hwnd) == s->Caption) {
            s->Found = hwnd;
            return FALSE;
        }
        return TRUE;
    }

    bool WaitFor(const std::function<bool()>& done, const char* what)
    {
        const DWORD start = GetTickCount();
        while (!done()) {
            if (GetTickCount() - start > WaitMs || m_returned) {
                Fail(std::string("gave up waiting for ") + what);
                return false;
            }
            Sleep(PollMs);
        }
        return true;
    }

    bool WaitForSheet()
    {
        return WaitFor(
            [this] {
                m_sheet = FindWindowOf("Settings");
                m_page = m_sheet ? PropSheet_GetCurrentPageHwnd(m_sheet) : nullptr;
                return m_page && IsWindowVisible(m_page);
            },
            "the sheet");
    }

    void Click(int id) { SendMessageA(Item(id), BM_CLICK, 0, 0); }
    void SetChecked(int id, bool on)
    {
        if ((SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED) != on)
            Click(id);
    }
    void SetText(int id, const std::string& text)
    {
        SendMessageA(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    // LBN_SELCHANGE and CBN_SELCHANGE are both 1: the class decides.
    void SelectIn(int id, int index, bool list = false)
    {
        SendMessageA(Item(id), list ? LB_SETCURSEL : CB_SETCURSEL, WPARAM(index), 0);
        SendMessageA(m_page, WM_COMMAND, MAKEWPARAM(id, list ? LBN_SELCHANGE : CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(Item(id)));
    }
    void SelectKind(int kind)
    {
        for (int i = 0; i < 8; ++i)
            if (PageTriggerKinds[i] == kind)
                SelectIn(IdKind, i);
    }
    void SelectTrigger(int index) { SelectIn(IdTriggerList, index, true); }
    // A date picker's value, then the notification the picker sends.
    void SetPicker(int id, WORD year, WORD month, WORD day, WORD hour = 0, WORD minute = 0)
    {
        NMDATETIMECHANGE change = {};
        change.nmhdr.hwndFrom = Item(id);
        change.nmhdr.idFrom = UINT_PTR(id);
        change.nmhdr.code = DTN_DATETIMECHANGE;
        change.dwFlags = GDT_VALID;
        change.st.wYear = year, change.st.wMonth = month, change.st.wDay = day;
        change.st.wHour = hour, change.st.wMinute = minute;
        SendMessageA(Item(id), DTM_SETSYSTEMTIME, GDT_VALID,
                     reinterpret_cast<LPARAM>(&change.st));
        SendMessageA(m_page, WM_NOTIFY, WPARAM(id), reinterpret_cast<LPARAM>(&change));
    }
    void SetStart(WORD year, WORD month, WORD day, WORD hour, WORD minute)
    {
        SetPicker(IdStartDate, year, month, day);
        SetPicker(IdStartTime, year, month, day, hour, minute);
    }
    int ListCount() const { return int(SendMessageA(Item(IdTriggerList), LB_GETCOUNT, 0, 0)); }

    // Presses a button of the sheet without waiting on what it shows.
    void Press(int button) { PostMessageA(m_sheet, PSM_PRESSBUTTON, WPARAM(button), 0); }
    bool Close(int button)
    {
        Press(button);
        return WaitFor([this] { return !IsWindow(m_sheet); }, "the sheet to close");
    }

    void SheetReturned() { m_returned = true; }
    bool Returned() const { return m_returned; }

private:
    DWORD m_sheetThread;
    HWND m_sheet = nullptr;
    HWND m_page = nullptr;
    std::string m_failures;
    std::atomic<bool> m_returned{false};
};

// Shows the sheet for the work item and lets script work it; the script
// closes the sheet, or the driver cancels it. Returns what went wrong.
std::string RunSheet(ITask* task, const std::function<void(SheetDriver&)>& script)
{
    SheetDriver driver(GetCurrentThreadId());
    std::thread thread([&driver, &script] {
        try {
            if (driver.WaitForSheet())
                script(driver);
        } catch (...) {
            driver.Fail("the script threw");
        }
        if (!driver.Returned() && driver.Sheet() && IsWindow(driver.Sheet())) {
            if (!driver.Failed())
                driver.Fail("the script left the sheet open");
            driver.Close(PSBTN_CANCEL);
        }
    });
    EditTriggers(task, nullptr);
    driver.SheetReturned();
    thread.join();
    return driver.Failures();
}

TASK_TRIGGER TriggerAt(ITask* task, WORD index)
{
    TASK_TRIGGER t = {};
    t.cbTriggerSize = sizeof t;
    ComPtr<ITaskTrigger> trigger;
    if (SUCCEEDED(task->GetTrigger(index, trigger.Put())) && trigger)
        trigger->GetTrigger(&t);
    return t;
}

WORD TriggerCount(ITask* task)
{
    WORD count = 0xFFFF;
    task->GetTriggerCount(&count);
    return count;
}

TASK_TRIGGER Daily(WORD hour)
{
    TASK_TRIGGER t = {};
    t.cbTriggerSize = sizeof t;
    t.wBeginYear = 2026, t.wBeginMonth = 12, t.wBeginDay = 11;
    t.wStartHour = hour;
    t.TriggerType = TASK_TIME_TRIGGER_DAILY;
    t.Type.Daily.DaysInterval = 1;
    return t;
}

std::string Bytes(const TASK_TRIGGER& t)
{
    return std::string(reinterpret_cast<const char*>(&t), sizeof t);
}

class TriggerSheetTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_com = SUCCEEDED(CoInitialize(nullptr));
        ASSERT_EQ(CreateComScheduler(&m_scheduler), S_OK);
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        m_file = std::string(temp) + "TsSheet-" + std::to_string(GetCurrentProcessId()) + ".job";
    }
    void TearDown() override
    {
        m_items.clear();
        m_scheduler.reset();
        DeleteFileA(m_file.c_str());
        if (m_com)
            CoUninitialize();
    }

    // A work item that exists only in memory.
    ITask* NewTask(const std::string& name = "TsSheet")
    {
        std::unique_ptr<IWorkItem> item;
        if (m_scheduler->NewWorkItem(name, &item) != S_OK || !item)
            return nullptr;
        m_items.push_back(std::move(item));
        return ComTaskOf(m_items.back().get());
    }
    static void AddTrigger(ITask* task, TASK_TRIGGER t)
    {
        WORD index = 0;
        ComPtr<ITaskTrigger> trigger;
        ASSERT_HRESULT_SUCCEEDED(task->CreateTrigger(&index, trigger.Put()));
        ASSERT_HRESULT_SUCCEEDED(trigger->SetTrigger(&t));
    }
    // The work item written to the scratch file and read back into a new one.
    ITask* SavedAndLoaded(ITask* task, const std::string& name)
    {
        ComPtr<IPersistFile> file;
        DeleteFileA(m_file.c_str());
        if (FAILED(task->QueryInterface(IID_IPersistFile, file.PutVoid())) ||
            FAILED(file->Save(Widen(m_file).c_str(), TRUE)))
            return nullptr;
        ITask* loaded = NewTask(name);
        ComPtr<IPersistFile> into;
        if (!loaded || FAILED(loaded->QueryInterface(IID_IPersistFile, into.PutVoid())) ||
            FAILED(into->Load(Widen(m_file).c_str(), STGM_READ)))
            return nullptr;
        return loaded;
    }

    std::unique_ptr<ITaskStoreScheduler> m_scheduler;
    std::vector<std::unique_ptr<IWorkItem>> m_items;
    std::string m_file;

private:
    bool m_com = false;
};

// Wine's work items have no pages of their own: our page is what shows.
TEST_F(TriggerSheetTest, PlatformOffersNoPagesUnderWine)
{
    ITask* task = NewTask();
    ASSERT_TRUE(task);
    ComPtr<IUnknown> pages;
    EXPECT_EQ(task->QueryInterface(IID_IProvideTaskPage, pages.PutVoid()), E_NOINTERFACE);
}

TEST_F(TriggerSheetTest, DailyTriggerAddedAtTenShowsUpInTheWorkItem)
{
    ITask* task = NewTask();
    ASSERT_TRUE(task);
    std::string caption, tab, description;
    int tabs = 0, listed = -1;
    const std::string failures = RunSheet(task, [&](SheetDriver& d) {
        caption = WindowText(d.Sheet());
        HWND tabControl = PropSheet_GetTabControl(d.Sheet());
        tabs = TabCtrl_GetItemCount(tabControl);
        char text[64] = "";
        TCITEMA item = {};
        item.mask = TCIF_TEXT, item.pszText = text, item.cchTextMax = sizeof text;
        SendMessageA(tabControl, TCM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        tab = text;
        d.Click(IdNewTrigger);
        d.SelectKind(TriggerDaily);
        d.SetStart(2026, 12, 11, 10, 0);
        d.SetText(IdEvery, "2");
        listed = d.ListCount();
        description = WindowText(d.Item(IdDescription));
        d.Close(PSBTN_OK);
    });
    ASSERT_EQ(failures, "");
    EXPECT_EQ(caption, "Settings");
    EXPECT_EQ(tabs, 1);
    EXPECT_EQ(tab, "Schedule");
    EXPECT_EQ(listed, 1);

    ASSERT_EQ(TriggerCount(task), 1);
    const TASK_TRIGGER t = TriggerAt(task, 0);
    EXPECT_EQ(t.TriggerType, TASK_TIME_TRIGGER_DAILY);
    EXPECT_EQ(t.Type.Daily.DaysInterval, 2);
    EXPECT_EQ(t.wStartHour, 10);
    EXPECT_EQ(t.wStartMinute, 0);
    EXPECT_EQ(t.wBeginYear, 2026);
    EXPECT_EQ(t.wBeginMonth, 12);
    EXPECT_EQ(t.wBeginDay, 11);
    EXPECT_EQ(t.rgFlags, 0u);
    EXPECT_EQ(t.MinutesInterval, 0u);
    const std::string expected =
        "At " + UserTime(10, 0) + " every 2 days, starting " + UserDate(2026, 12, 11);
    EXPECT_EQ(DescribeComTrigger(task, 0), expected);
    EXPECT_EQ(description, expected);
}

TEST_F(TriggerSheetTest, CancelLeavesTheWorkItemAsItWas)
{
    ITask* task = NewTask();
    ASSERT_TRUE(task);
    AddTrigger(task, Daily(8));
    AddTrigger(task, Daily(9));
    const std::string before = Bytes(TriggerAt(task, 0)) + Bytes(TriggerAt(task, 1));
    const std::string failures = RunSheet(task, [](SheetDriver& d) {
        d.SelectTrigger(1);
        d.SetText(IdEvery, "5");
        d.SetChecked(IdEnabled, false);
        d.SelectTrigger(0);
        d.Click(IdDeleteTrigger);
        d.Click(IdNewTrigger);
        d.SelectKind(TriggerAtLogon);
        d.Close(PSBTN_CANCEL);
    });
    ASSERT_EQ(failures, "");
    ASSERT_EQ(TriggerCount(task), 2);
    EXPECT_EQ(Bytes(TriggerAt(task, 0)) + Bytes(TriggerAt(task, 1)), before);
}

TEST_F(TriggerSheetTest, DeleteRemovesTheSelectedTriggerOnly)
{
    ITask* task = NewTask();
    ASSERT_TRUE(task);
    AddTrigger(task, Daily(8));
    AddTrigger(task, Daily(9));
    AddTrigger(task, Daily(10));
    int listed = -1, left = -1;
    const std::string failures = RunSheet(task, [&](SheetDriver& d) {
        listed = d.ListCount();
        d.SelectTrigger(1);
        d.Click(IdDeleteTrigger);
        left = d.ListCount();
        d.Close(PSBTN_OK);
    });
    ASSERT_EQ(failures, "");
    EXPECT_EQ(listed, 3);
    EXPECT_EQ(left, 2);
    ASSERT_EQ(TriggerCount(task), 2);
    EXPECT_EQ(Bytes(TriggerAt(task, 0)), Bytes(Daily(8)));
    EXPECT_EQ(Bytes(TriggerAt(task, 1)), Bytes(Daily(10)));
}

TEST_F(TriggerSheetTest, TriggerAddedToAWorkItemWithWinesPlaceholderReplacesIt)
{
    ITask* saved = NewTask("TsSheetEmpty");
    ASSERT_TRUE(saved);
    ITask* task = SavedAndLoaded(saved, "TsSheetLoaded");
    ASSERT_TRUE(task);
    // What Wine wrote for no triggers: one disabled trigger.
    ASSERT_EQ(TriggerCount(task), 1);
    ASSERT_TRUE(TriggerAt(task, 0).rgFlags & TASK_TRIGGER_FLAG_DISABLED);

    int listed = -1;
    std::string description;
    std::string failures = RunSheet(task, [&](SheetDriver& d) {
        listed = d.ListCount();
        description = WindowText(d.Item(IdDescription));
        d.Close(PSBTN_OK); // nothing added: the placeholder stays as it is
    });
    ASSERT_EQ(failures, "");
    EXPECT_EQ(listed, 0);
    EXPECT_EQ(description.find("At "), std::string::npos) << description;
    ASSERT_EQ(TriggerCount(task), 1);

    failures = RunSheet(task, [](SheetDriver& d) {
        d.Click(IdNewTrigger);
        d.SetStart(2026, 12, 11, 10, 0);
        d.Close(PSBTN_OK);
    });
    ASSERT_EQ(failures, "");
    ASSERT_EQ(TriggerCount(task), 1);
    const TASK_TRIGGER t = TriggerAt(task, 0);
    EXPECT_EQ(t.rgFlags, 0u);
    EXPECT_EQ(t.TriggerType, TASK_TIME_TRIGGER_DAILY);
    EXPECT_EQ(t.wStartHour, 10);
    EXPECT_EQ(DescribeComTrigger(task, 0),
              "At " + UserTime(10, 0) + " every day, starting " + UserDate(2026, 12, 11));
}

// Each kind, set up on the page, written, saved to a file and read back.
TEST_F(TriggerSheetTest, TriggersOfEveryKindSurviveSaveAndReload)
{
    const struct {
        const char* what;
        std::function<void(SheetDriver&)> setUp;
        std::function<void(const TASK_TRIGGER&)> expect;
    } cases[] = {
        {"daily at 10:00",
         [](SheetDriver& d) { d.SetStart(2026, 12, 11, 10, 0); },
         [](const TASK_TRIGGER& t) {
             EXPECT_EQ(t.TriggerType, TASK_TIME_TRIGGER_DAILY);
             EXPECT_EQ(t.Type.Daily.DaysInterval, 1);
             EXPECT_EQ(t.wStartHour, 10);
             EXPECT_EQ(t.rgFlags, 0u);
         }},
        {"weekly on Monday and Friday, repeated, with an end date",
         [](SheetDriver& d) {
             d.SelectKind(TriggerWeekly);
             d.SetStart(2026, 12, 11, 7, 30);
             d.SetText(IdEvery, "2");
             for (int i = 0; i < 7; ++i)
                 d.SetChecked(IdWeekDay0 + i, i == 0 || i == 4);
             d.SetChecked(IdRepeat, true);
             d.SetText(IdRepeatEvery, "15");
             d.SetText(IdDuration, "120");
             d.SetChecked(IdHasEndDate, true);
             d.SetPicker(IdEndDate, 2027, 3, 31);
         },
         [](const TASK_TRIGGER& t) {
             EXPECT_EQ(t.TriggerType, TASK_TIME_TRIGGER_WEEKLY);
             EXPECT_EQ(t.Type.Weekly.WeeksInterval, 2);
             EXPECT_EQ(t.Type.Weekly.rgfDaysOfTheWeek, TASK_MONDAY | TASK_FRIDAY);
             EXPECT_EQ(t.wStartHour, 7);
             EXPECT_EQ(t.wStartMinute, 30);
             EXPECT_EQ(t.MinutesInterval, 15u);
             EXPECT_EQ(t.MinutesDuration, 120u);
             EXPECT_EQ(t.rgFlags, DWORD(TASK_TRIGGER_FLAG_HAS_END_DATE));
             EXPECT_EQ(t.wEndYear, 2027);
             EXPECT_EQ(t.wEndMonth, 3);
             EXPECT_EQ(t.wEndDay, 31);
         }},
        {"monthly on days 1 and 15 of January and July",
         [](SheetDriver& d) {
             d.SelectKind(TriggerMonthlyDate);
             d.SetText(IdMonthDays, "1, 15");
             for (int i = 0; i < 12; ++i)
                 d.SetChecked(IdMonth0 + i, i == 0 || i == 6);
         },
         [](const TASK_TRIGGER& t) {
             EXPECT_EQ(t.TriggerType, TASK_TIME_TRIGGER_MONTHLYDATE);
             EXPECT_EQ(t.Type.MonthlyDate.rgfDays, DWORD(1 | 1 << 14));
             EXPECT_EQ(t.Type.MonthlyDate.rgfMonths, TASK_JANUARY | TASK_JULY);
         }},
        {"monthly on the last Sunday, disabled",
         [](SheetDriver& d) {
             d.SelectKind(TriggerMonthlyDow);
             d.SelectIn(IdWhichWeek, 4);
             for (int i = 0; i < 7; ++i)
                 d.SetChecked(IdWeekDay0 + i, i == 6);
             d.SetChecked(IdEnabled, false);
         },
         [](const TASK_TRIGGER& t) {
             EXPECT_EQ(t.TriggerType, TASK_TIME_TRIGGER_MONTHLYDOW);
             EXPECT_EQ(t.Type.MonthlyDOW.wWhichWeek, TASK_LAST_WEEK);
             EXPECT_EQ(t.Type.MonthlyDOW.rgfDaysOfTheWeek, TASK_SUNDAY);
             EXPECT_EQ(t.Type.MonthlyDOW.rgfMonths, 0xFFF);
             EXPECT_EQ(t.rgFlags, DWORD(TASK_TRIGGER_FLAG_DISABLED));
         }},
        {"once",
         [](SheetDriver& d) {
             d.SelectKind(TriggerOnce);
             d.SetStart(2027, 1, 2, 23, 59);
         },
         [](const TASK_TRIGGER& t) {
             EXPECT_EQ(t.TriggerType, TASK_TIME_TRIGGER_ONCE);
             EXPECT_EQ(t.wBeginYear, 2027);
             EXPECT_EQ(t.wBeginDay, 2);
             EXPECT_EQ(t.wStartHour, 23);
             EXPECT_EQ(t.wStartMinute, 59);
         }},
        {"at logon", [](SheetDriver& d) { d.SelectKind(TriggerAtLogon); },
         [](const TASK_TRIGGER& t) { EXPECT_EQ(t.TriggerType, TASK_EVENT_TRIGGER_AT_LOGON); }},
        {"at system start", [](SheetDriver& d) { d.SelectKind(TriggerAtSystemStart); },
         [](const TASK_TRIGGER& t) {
             EXPECT_EQ(t.TriggerType, TASK_EVENT_TRIGGER_AT_SYSTEMSTART);
         }},
        {"when idle", [](SheetDriver& d) { d.SelectKind(TriggerOnIdle); },
         [](const TASK_TRIGGER& t) { EXPECT_EQ(t.TriggerType, TASK_EVENT_TRIGGER_ON_IDLE); }},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ITask* task = NewTask("TsSheetKind" + std::to_string(n++));
        ASSERT_TRUE(task);
        const std::string failures = RunSheet(task, [&c](SheetDriver& d) {
            d.Click(IdNewTrigger);
            c.setUp(d);
            d.Close(PSBTN_OK);
        });
        ASSERT_EQ(failures, "");
        ASSERT_EQ(TriggerCount(task), 1);
        ITask* loaded = SavedAndLoaded(task, "TsSheetBack" + std::to_string(n));
        ASSERT_TRUE(loaded);
        ASSERT_EQ(TriggerCount(loaded), 1);
        const TASK_TRIGGER t = TriggerAt(loaded, 0);
        c.expect(t);
        EXPECT_EQ(Bytes(t), Bytes(TriggerAt(task, 0)));
    }
}

TEST_F(TriggerSheetTest, InvalidTriggerIsReportedAndNothingIsWritten)
{
    ITask* task = NewTask();
    ASSERT_TRUE(task);
    bool warned = false, stillOpen = false;
    std::string failures = RunSheet(task, [&](SheetDriver& d) {
        d.Click(IdNewTrigger);
        d.SelectKind(TriggerWeekly);
        for (int i = 0; i < 7; ++i)
            d.SetChecked(IdWeekDay0 + i, false);
        d.Press(PSBTN_OK);
        HWND box = nullptr;
        warned = d.WaitFor([&] { return (box = d.FindWindowOf("Warning")) != nullptr; },
                           "the warning");
        if (box)
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        d.WaitFor([&] { return !IsWindow(box); }, "the warning to close");
        stillOpen = IsWindow(d.Sheet()) && IsWindowVisible(d.Sheet());
        d.Close(PSBTN_CANCEL);
    });
    ASSERT_EQ(failures, "");
    EXPECT_TRUE(warned);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(TriggerCount(task), 0);
}

// For the end-to-end screenshot: the sheet with a few triggers, shown until
// something outside closes it.
TEST(TriggerSheetShow, UntilClosed)
{
    if (!GetEnvironmentVariableA("SCHED_SHOW_TRIGGER_SHEET", nullptr, 0))
        GTEST_SKIP() << "shown only for the end-to-end screenshot";
    ASSERT_HRESULT_SUCCEEDED(CoInitialize(nullptr));
    {
        std::unique_ptr<ITaskStoreScheduler> scheduler;
        ASSERT_EQ(CreateComScheduler(&scheduler), S_OK);
        std::unique_ptr<IWorkItem> item;
        ASSERT_EQ(scheduler->NewWorkItem("TsSheetShow", &item), S_OK);
        ITask* task = ComTaskOf(item.get());
        TASK_TRIGGER daily = Daily(10);
        daily.MinutesInterval = 30, daily.MinutesDuration = 240;
        TASK_TRIGGER monthly = Daily(7);
        monthly.TriggerType = TASK_TIME_TRIGGER_MONTHLYDOW;
        monthly.Type.MonthlyDOW.wWhichWeek = TASK_FIRST_WEEK;
        monthly.Type.MonthlyDOW.rgfDaysOfTheWeek = TASK_MONDAY;
        monthly.Type.MonthlyDOW.rgfMonths = TASK_JANUARY | TASK_APRIL | TASK_JULY | TASK_OCTOBER;
        monthly.rgFlags = TASK_TRIGGER_FLAG_HAS_END_DATE;
        monthly.wEndYear = 2027, monthly.wEndMonth = 12, monthly.wEndDay = 31;
        for (TASK_TRIGGER* t : {&daily, &monthly}) {
            WORD index = 0;
            ComPtr<ITaskTrigger> trigger;
            ASSERT_HRESULT_SUCCEEDED(task->CreateTrigger(&index, trigger.Put()));
            ASSERT_HRESULT_SUCCEEDED(trigger->SetTrigger(t));
        }
        char select[8] = "1";
        GetEnvironmentVariableA("SCHED_SHOW_TRIGGER_SHEET", select, sizeof select);
        const int index = std::atoi(select) - 1;
        SheetDriver driver(GetCurrentThreadId());
        std::thread thread([&] {
            if (driver.WaitForSheet() && index > 0)
                driver.SelectTrigger(index);
        });
        EditTriggers(task, nullptr);
        driver.SheetReturned();
        thread.join();
        EXPECT_EQ(driver.Failures(), "");
        // Closed from outside: cancelled, nothing changed.
        EXPECT_EQ(TriggerCount(task), 2);
    }
    CoUninitialize();
}

} // namespace
