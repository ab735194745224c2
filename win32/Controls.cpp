#include "win32/Controls.h"

#include <richedit.h>
#include <uxtheme.h>
#include <vssym32.h>

#include "win32/Application.h"
#include "win32/Form.h"
#include "win32/LazyApi.h"

namespace {

int g_nextId = 1000;

} // namespace

// --- TControl ---------------------------------------------------------------

bool TControl::CreateWindowFor(TForm* form, const char* className, const std::string& text,
                               DWORD style, DWORD exStyle, int left, int top, int width,
                               int height)
{
    m_form = form;
    m_id = g_nextId++;
    Design = LayoutRect{left, top, width, height};
    // Registered first: some controls ask their parent questions while they
    // are being created.
    form->AddControl(this);
    m_hwnd = CreateWindowExA(exStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | style,
                             form->Scale(left), form->Scale(top), form->Scale(width),
                             form->Scale(height), form->Handle(),
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(m_id)),
                             Application.Instance(), nullptr);
    if (!m_hwnd)
        return false;
    SendMessageA(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(form->Font()), FALSE);
    return true;
}

void TControl::Subclass() { SetWindowSubclass(m_hwnd, SubclassProc, 1, reinterpret_cast<DWORD_PTR>(this)); }

LRESULT CALLBACK TControl::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR, DWORD_PTR data)
{
    auto* control = reinterpret_cast<TControl*>(data);
    if (msg == WM_NCDESTROY)
        RemoveWindowSubclass(hwnd, SubclassProc, 1);
    try {
        LRESULT result = 0;
        if (control->OnControlMessage(msg, wParam, lParam, &result))
            return result;
    } catch (...) {
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

void TControl::SetText(const std::string& text)
{
    if (m_hwnd)
        SetWindowTextA(m_hwnd, text.c_str());
}

std::string TControl::Text() const
{
    if (!m_hwnd)
        return std::string();
    int len = GetWindowTextLengthA(m_hwnd);
    std::string text(len + 1, '\0');
    text.resize(GetWindowTextA(m_hwnd, &text[0], len + 1));
    return text;
}

void TControl::SetEnabled(bool enabled)
{
    if (m_hwnd)
        EnableWindow(m_hwnd, enabled);
}

bool TControl::Enabled() const { return m_hwnd && IsWindowEnabled(m_hwnd); }

void TControl::SetVisible(bool visible)
{
    if (m_hwnd)
        ShowWindow(m_hwnd, visible ? SW_SHOWNA : SW_HIDE);
}

bool TControl::Visible() const
{
    return m_hwnd && (GetWindowLongA(m_hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

void TControl::SetFocus()
{
    if (m_hwnd)
        ::SetFocus(m_hwnd);
}

bool TControl::Focused() const { return m_hwnd && GetFocus() == m_hwnd; }

void TControl::SetBounds(int left, int top, int width, int height)
{
    Design = LayoutRect{left, top, width, height};
    if (m_hwnd && m_form)
        SetWindowPos(m_hwnd, nullptr, m_form->Scale(left), m_form->Scale(top),
                     m_form->Scale(width), m_form->Scale(height), SWP_NOZORDER | SWP_NOACTIVATE);
}

// --- Simple controls --------------------------------------------------------

bool TLabel::Create(TForm* form, const std::string& caption, int left, int top, int width,
                    int height, DWORD extraStyle)
{
    return CreateWindowFor(form, "STATIC", caption, SS_LEFT | extraStyle, 0, left, top, width,
                           height);
}

bool TButton::Create(TForm* form, const std::string& caption, int left, int top, int width,
                     int height, DWORD extraStyle)
{
    return CreateWindowFor(form, "BUTTON", caption, WS_TABSTOP | BS_PUSHBUTTON | extraStyle, 0,
                           left, top, width, height);
}

void TButton::Click()
{
    if (OnClick)
        OnClick();
    if (ModalResult != 0 && m_form && m_form->Modal())
        m_form->ModalResult = ModalResult;
}

bool TButton::OnCommand(WORD code)
{
    if (code != BN_CLICKED)
        return false;
    Click();
    return true;
}

bool TCheckBox::Create(TForm* form, const std::string& caption, int left, int top, int width,
                       int height, DWORD extraStyle)
{
    return CreateWindowFor(form, "BUTTON", caption, WS_TABSTOP | BS_AUTOCHECKBOX | extraStyle, 0,
                           left, top, width, height);
}

bool TCheckBox::Checked() const
{
    return m_hwnd && SendMessageA(m_hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TCheckBox::SetChecked(bool checked)
{
    if (m_hwnd)
        SendMessageA(m_hwnd, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TCheckBox::OnCommand(WORD code)
{
    if (code != BN_CLICKED)
        return false;
    if (OnClick)
        OnClick();
    return true;
}

bool TRadioButton::Create(TForm* form, const std::string& caption, int left, int top, int width,
                          int height, bool firstOfGroup)
{
    return CreateWindowFor(form, "BUTTON", caption,
                           BS_AUTORADIOBUTTON | (firstOfGroup ? WS_GROUP | WS_TABSTOP : 0), 0,
                           left, top, width, height);
}

bool TGroupBox::Create(TForm* form, const std::string& caption, int left, int top, int width,
                       int height)
{
    return CreateWindowFor(form, "BUTTON", caption, BS_GROUPBOX, 0, left, top, width, height);
}

// --- Edits --------------------------------------------------------------------

bool TEdit::Create(TForm* form, int left, int top, int width, int height, int options)
{
    DWORD style = WS_TABSTOP | ES_AUTOHSCROLL;
    if (options & ReadOnly)
        style |= ES_READONLY;
    if (options & NumbersOnly)
        style |= ES_NUMBER;
    if (options & Password)
        style |= ES_PASSWORD;
    if (!CreateWindowFor(form, "EDIT", "", style, WS_EX_CLIENTEDGE, left, top, width, height))
        return false;
    Subclass();
    return true;
}

void TEdit::SetMaxLength(int length)
{
    if (m_hwnd)
        SendMessageA(m_hwnd, EM_SETLIMITTEXT, length, 0);
}

void TEdit::SetReadOnly(bool readOnly)
{
    if (m_hwnd)
        SendMessageA(m_hwnd, EM_SETREADONLY, readOnly, 0);
}

void TEdit::SelectAll()
{
    if (m_hwnd)
        SendMessageA(m_hwnd, EM_SETSEL, 0, -1);
}

bool TEdit::OnCommand(WORD code)
{
    if (code != EN_CHANGE)
        return false;
    if (OnChange)
        OnChange();
    return true;
}

bool TEdit::OnControlMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT* result)
{
    if (msg == WM_KEYDOWN && OnKeyDown && OnKeyDown(UINT(wParam))) {
        *result = 0;
        return true;
    }
    return false;
}

bool TMemo::Create(TForm* form, int left, int top, int width, int height, bool readOnly,
                   bool wantReturns)
{
    DWORD style = WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL;
    if (readOnly)
        style |= ES_READONLY;
    if (wantReturns)
        style |= ES_WANTRETURN;
    if (!CreateWindowFor(form, "EDIT", "", style, WS_EX_CLIENTEDGE, left, top, width, height))
        return false;
    Subclass();
    return true;
}

bool TRichEdit::Create(TForm* form, int left, int top, int width, int height, bool readOnly)
{
    static HMODULE richEdit = LoadLibraryA("riched20.dll");
    if (!richEdit)
        return false;
    DWORD style = WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
    if (readOnly)
        style |= ES_READONLY;
    if (!CreateWindowFor(form, RICHEDIT_CLASSA, "", style, WS_EX_CLIENTEDGE, left, top, width,
                         height))
        return false;
    SendMessageA(m_hwnd, EM_SETEVENTMASK, 0, ENM_CHANGE);
    Subclass();
    return true;
}

// --- Combo box --------------------------------------------------------------

bool TComboBox::Create(TForm* form, int left, int top, int width, int height, Style style,
                       int visibleItems)
{
    DWORD s = WS_TABSTOP | WS_VSCROLL | (style == DropDownList ? CBS_DROPDOWNLIST : CBS_DROPDOWN) |
              CBS_AUTOHSCROLL;
    if (!CreateWindowFor(form, "COMBOBOX", "", s, 0, left, top, width, height))
        return false;
    SendMessageA(m_hwnd, CB_SETMINVISIBLE, visibleItems, 0);
    return true;
}

int TComboBox::Add(const std::string& item)
{
    return int(SendMessageA(m_hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str())));
}

void TComboBox::Clear() { SendMessageA(m_hwnd, CB_RESETCONTENT, 0, 0); }
int TComboBox::Count() const { return int(SendMessageA(m_hwnd, CB_GETCOUNT, 0, 0)); }
int TComboBox::ItemIndex() const { return int(SendMessageA(m_hwnd, CB_GETCURSEL, 0, 0)); }
void TComboBox::SetItemIndex(int index) { SendMessageA(m_hwnd, CB_SETCURSEL, index, 0); }

std::string TComboBox::Item(int index) const
{
    LRESULT len = SendMessageA(m_hwnd, CB_GETLBTEXTLEN, index, 0);
    if (len == CB_ERR)
        return std::string();
    std::string text(size_t(len) + 1, '\0');
    len = SendMessageA(m_hwnd, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(len == CB_ERR ? 0 : size_t(len));
    return text;
}

bool TComboBox::OnCommand(WORD code)
{
    if (code != CBN_SELCHANGE && code != CBN_EDITCHANGE)
        return false;
    if (OnChange)
        OnChange();
    return true;
}

// --- List boxes -------------------------------------------------------------

bool TListBox::CreateList(TForm* form, int left, int top, int width, int height, DWORD style)
{
    if (!CreateWindowFor(form, "LISTBOX", "",
                         WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | style,
                         WS_EX_CLIENTEDGE, left, top, width, height))
        return false;
    Subclass();
    return true;
}

bool TListBox::Create(TForm* form, int left, int top, int width, int height, int itemHeight)
{
    m_itemHeight = itemHeight;
    if (!CreateList(form, left, top, width, height, 0))
        return false;
    if (itemHeight > 0)
        SendMessageA(m_hwnd, LB_SETITEMHEIGHT, 0, form->Scale(itemHeight));
    return true;
}

int TListBox::Add(const std::string& item, void* object)
{
    int index = int(SendMessageA(m_hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str())));
    if (index >= 0)
        SetObject(index, object);
    return index;
}

void TListBox::Delete(int index) { SendMessageA(m_hwnd, LB_DELETESTRING, index, 0); }
void TListBox::Clear() { SendMessageA(m_hwnd, LB_RESETCONTENT, 0, 0); }
int TListBox::Count() const { return int(SendMessageA(m_hwnd, LB_GETCOUNT, 0, 0)); }
int TListBox::ItemIndex() const { return int(SendMessageA(m_hwnd, LB_GETCURSEL, 0, 0)); }
void TListBox::SetItemIndex(int index) { SendMessageA(m_hwnd, LB_SETCURSEL, index, 0); }

std::string TListBox::Item(int index) const
{
    LRESULT len = SendMessageA(m_hwnd, LB_GETTEXTLEN, index, 0);
    if (len == LB_ERR)
        return std::string();
    std::string text(size_t(len) + 1, '\0');
    len = SendMessageA(m_hwnd, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(len == LB_ERR ? 0 : size_t(len));
    return text;
}

void TListBox::SetItem(int index, const std::string& text)
{
    // The item data moves over to the new string untouched.
    LRESULT data = SendMessageA(m_hwnd, LB_GETITEMDATA, index, 0);
    if (data == LB_ERR)
        return;
    bool selected = ItemIndex() == index;
    SendMessageA(m_hwnd, LB_SETITEMDATA, index, 0);
    SendMessageA(m_hwnd, LB_DELETESTRING, index, 0);
    SendMessageA(m_hwnd, LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageA(m_hwnd, LB_SETITEMDATA, index, data);
    if (selected)
        SetItemIndex(index);
}

void* TListBox::Object(int index) const
{
    LRESULT data = SendMessageA(m_hwnd, LB_GETITEMDATA, index, 0);
    return data == LB_ERR ? nullptr : reinterpret_cast<void*>(data);
}

void TListBox::SetObject(int index, void* object)
{
    SendMessageA(m_hwnd, LB_SETITEMDATA, index, reinterpret_cast<LPARAM>(object));
}

bool TListBox::OnCommand(WORD code)
{
    if (code == LBN_SELCHANGE && OnClick) {
        OnClick();
        return true;
    }
    if (code == LBN_DBLCLK && OnDblClick) {
        OnDblClick();
        return true;
    }
    return false;
}

bool TListBox::OnControlMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT*)
{
    if (msg == WM_KEYDOWN && OnKeyDown)
        OnKeyDown(UINT(wParam));
    return false;
}

// A check list box item's data holds the caller's object and the check state.
namespace {

struct CheckItem {
    void* Object;
    bool Checked;
};

CheckItem* ItemData(HWND list, int index)
{
    LRESULT data = SendMessageA(list, LB_GETITEMDATA, index, 0);
    return data == LB_ERR ? nullptr : reinterpret_cast<CheckItem*>(data);
}

} // namespace

bool TCheckListBox::Create(TForm* form, int left, int top, int width, int height, int itemHeight)
{
    m_itemHeight = itemHeight > 0 ? itemHeight : 16;
    return CreateList(form, left, top, width, height, LBS_OWNERDRAWFIXED | LBS_HASSTRINGS);
}

int TCheckListBox::Add(const std::string& item, void* object, bool checked)
{
    int index = int(SendMessageA(m_hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str())));
    if (index >= 0)
        SendMessageA(m_hwnd, LB_SETITEMDATA, index,
                     reinterpret_cast<LPARAM>(new CheckItem{object, checked}));
    return index;
}

void* TCheckListBox::Object(int index) const
{
    CheckItem* item = ItemData(m_hwnd, index);
    return item ? item->Object : nullptr;
}

void TCheckListBox::SetObject(int index, void* object)
{
    if (CheckItem* item = ItemData(m_hwnd, index))
        item->Object = object;
}

bool TCheckListBox::Checked(int index) const
{
    CheckItem* item = ItemData(m_hwnd, index);
    return item && item->Checked;
}

void TCheckListBox::SetChecked(int index, bool checked)
{
    if (CheckItem* item = ItemData(m_hwnd, index)) {
        item->Checked = checked;
        RECT r;
        if (SendMessageA(m_hwnd, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r)) != LB_ERR)
            InvalidateRect(m_hwnd, &r, FALSE);
    }
}

void TCheckListBox::Toggle(int index)
{
    if (index < 0 || index >= Count())
        return;
    SetChecked(index, !Checked(index));
    if (OnClickCheck)
        OnClickCheck();
}

int TCheckListBox::CheckWidth() const { return m_form->Scale(m_itemHeight); }

bool TCheckListBox::OnMeasureItem(MEASUREITEMSTRUCT* item)
{
    item->itemHeight = m_form->Scale(m_itemHeight);
    return true;
}

bool TCheckListBox::OnDrawItem(DRAWITEMSTRUCT* item)
{
    if (int(item->itemID) < 0)
        return true;
    HDC dc = item->hDC;
    RECT r = item->rcItem;
    const bool selected = (item->itemState & ODS_SELECTED) != 0;
    FillRect(dc, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));

    const int box = m_form->Scale(13);
    RECT check = {r.left + 2, r.top + (r.bottom - r.top - box) / 2, 0, 0};
    check.right = check.left + box;
    check.bottom = check.top + box;
    const bool checked = Checked(int(item->itemID));
    using OpenFn = HTHEME(WINAPI*)(HWND, LPCWSTR);
    using DrawFn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, LPCRECT, LPCRECT);
    using CloseFn = HRESULT(WINAPI*)(HTHEME);
    static OpenFn openTheme = LazyProc<OpenFn>("uxtheme.dll", "OpenThemeData");
    static DrawFn drawTheme = LazyProc<DrawFn>("uxtheme.dll", "DrawThemeBackground");
    static CloseFn closeTheme = LazyProc<CloseFn>("uxtheme.dll", "CloseThemeData");
    HTHEME theme = openTheme && drawTheme && closeTheme ? openTheme(m_hwnd, L"BUTTON") : nullptr;
    if (theme) {
        drawTheme(theme, dc, BP_CHECKBOX, checked ? CBS_CHECKEDNORMAL : CBS_UNCHECKEDNORMAL,
                  &check, nullptr);
        closeTheme(theme);
    } else {
        DrawFrameControl(dc, &check, DFC_BUTTON,
                         DFCS_BUTTONCHECK | DFCS_FLAT | (checked ? DFCS_CHECKED : 0));
    }

    std::string text = Item(int(item->itemID));
    RECT tr = r;
    tr.left = check.right + m_form->Scale(4);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    DrawTextA(dc, text.c_str(), int(text.size()), &tr,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (item->itemState & ODS_FOCUS)
        DrawFocusRect(dc, &r);
    return true;
}

bool TCheckListBox::OnControlMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        LRESULT hit = SendMessageA(m_hwnd, LB_ITEMFROMPOINT, 0, lParam);
        int index = LOWORD(hit);
        if (HIWORD(hit) == 0 && short(LOWORD(lParam)) < CheckWidth()) {
            // Select as a click would, then flip the check.
            DefSubclassProc(m_hwnd, WM_LBUTTONDOWN, wParam, lParam);
            Toggle(index);
            *result = 0;
            return true;
        }
        break;
    }
    case WM_KEYDOWN:
        if (wParam == VK_SPACE) {
            Toggle(ItemIndex());
            *result = 0;
            return true;
        }
        break;
    case LB_DELETESTRING:
        delete ItemData(m_hwnd, int(wParam));
        break;
    case LB_RESETCONTENT:
    case WM_DESTROY:
        for (int i = 0, n = Count(); i < n; ++i)
            delete ItemData(m_hwnd, i);
        break;
    }
    return TListBox::OnControlMessage(msg, wParam, lParam, result);
}

// --- Track bar, hot key, speed button ------------------------------------

bool TTrackBar::Create(TForm* form, int left, int top, int width, int height, int min, int max)
{
    if (!CreateWindowFor(form, TRACKBAR_CLASSA, "", WS_TABSTOP | TBS_HORZ | TBS_AUTOTICKS, 0, left,
                         top, width, height))
        return false;
    SendMessageA(m_hwnd, TBM_SETRANGE, FALSE, MAKELPARAM(min, max));
    return true;
}

int TTrackBar::Position() const { return int(SendMessageA(m_hwnd, TBM_GETPOS, 0, 0)); }
void TTrackBar::SetPosition(int position) { SendMessageA(m_hwnd, TBM_SETPOS, TRUE, position); }

bool TTrackBar::OnScroll(WORD)
{
    if (OnChange)
        OnChange();
    return true;
}

bool THotKey::Create(TForm* form, int left, int top, int width, int height)
{
    return CreateWindowFor(form, HOTKEY_CLASSA, "", WS_TABSTOP, WS_EX_CLIENTEDGE, left, top, width,
                           height);
}

WORD THotKey::HotKey() const { return WORD(SendMessageA(m_hwnd, HKM_GETHOTKEY, 0, 0)); }
void THotKey::SetHotKey(WORD value) { SendMessageA(m_hwnd, HKM_SETHOTKEY, value, 0); }

bool THotKey::OnCommand(WORD code)
{
    if (code != EN_CHANGE)
        return false;
    if (OnChange)
        OnChange();
    return true;
}

bool TSpeedButton::Create(TForm* form, HICON icon, const std::string& hint, int left, int top,
                          int width, int height, bool toggle)
{
    m_toggle = toggle;
    DWORD style = WS_TABSTOP | BS_ICON | (toggle ? BS_AUTOCHECKBOX | BS_PUSHLIKE : BS_PUSHBUTTON);
    if (!CreateWindowFor(form, "BUTTON", hint, style, 0, left, top, width, height))
        return false;
    if (icon)
        SendMessageA(m_hwnd, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    return true;
}

bool TSpeedButton::Down() const
{
    return m_toggle && SendMessageA(m_hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TSpeedButton::SetDown(bool down)
{
    if (m_toggle)
        SendMessageA(m_hwnd, BM_SETCHECK, down ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TSpeedButton::OnCommand(WORD code)
{
    if (code != BN_CLICKED)
        return false;
    if (OnClick)
        OnClick();
    return true;
}

// --- Notebook -----------------------------------------------------------------

int TNotebook::AddPage()
{
    m_pages.emplace_back();
    return int(m_pages.size()) - 1;
}

void TNotebook::AddToPage(int page, TControl* control)
{
    if (page >= 0 && page < PageCount()) {
        m_pages[page].push_back(control);
        control->SetVisible(page == m_page);
    }
}

void TNotebook::SetPageIndex(int page)
{
    if (page < 0 || page >= PageCount())
        return;
    m_page = page;
    for (int p = 0; p < PageCount(); ++p)
        if (p != page)
            for (TControl* c : m_pages[p])
                c->SetVisible(false);
    for (TControl* c : m_pages[page])
        c->SetVisible(true);
}
