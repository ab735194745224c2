#include "win32/Form.h"

#include <algorithm>

#include "win32/Application.h"
#include "win32/Controls.h"

namespace {

DWORD StyleFor(FormBorder border, bool minimize, bool maximize)
{
    DWORD style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    switch (border) {
    case FormBorder::Sizeable:
    case FormBorder::SizeToolWindow:
        style |= WS_THICKFRAME;
        if (minimize)
            style |= WS_MINIMIZEBOX;
        if (maximize)
            style |= WS_MAXIMIZEBOX;
        break;
    case FormBorder::Dialog:
    case FormBorder::ToolWindow:
        style |= DS_MODALFRAME;
        break;
    }
    return style;
}

DWORD ExStyleFor(FormBorder border, bool help)
{
    DWORD ex = WS_EX_CONTROLPARENT;
    if (border == FormBorder::Dialog)
        ex |= WS_EX_DLGMODALFRAME;
    if (border == FormBorder::ToolWindow || border == FormBorder::SizeToolWindow)
        ex |= WS_EX_TOOLWINDOW;
    if (help)
        ex |= WS_EX_CONTEXTHELP;
    return ex;
}

} // namespace

TForm::TForm() = default;

TForm::~TForm()
{
    if (m_hwnd) {
        SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hwnd);
    }
}

bool TForm::RegisterFormClass(const char* name)
{
    HINSTANCE instance = Application.Instance();
    WNDCLASSEXA wc = {};
    if (GetClassInfoExA(instance, name, &wc))
        return true;
    wc = WNDCLASSEXA{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.hIcon = LoadIconA(instance, "MAINICON");
    wc.lpszClassName = name;
    return RegisterClassExA(&wc) != 0;
}

TForm* TForm::FromHandle(HWND hwnd)
{
    // Only windows of our own procedure carry a form in their user data.
    if (!hwnd || GetWindowLongPtrA(hwnd, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(WndProc))
        return nullptr;
    return reinterpret_cast<TForm*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

int TForm::Scale(int designPixels) const { return Application.Scale(designPixels); }

bool TForm::CreateHandle()
{
    if (m_hwnd)
        return true;
    if (m_destroyed)
        return false;
    m_createTried = true;
    if (!RegisterFormClass(FormClassName))
        return false;
    m_font = Application.SharedFont(FontName, Scale(FontHeight));

    const DWORD style = StyleFor(Border, MinimizeBox, MaximizeBox);
    const DWORD exStyle = ExStyleFor(Border, HelpButton) | (TopMost ? WS_EX_TOPMOST : 0);
    RECT r = {0, 0, Scale(DesignClientWidth), Scale(DesignClientHeight)};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    m_designClientPixelsW = Scale(DesignClientWidth);
    m_designClientPixelsH = Scale(DesignClientHeight);

    HWND hwnd = CreateWindowExA(exStyle, FormClassName, DesignCaption.c_str(), style, CW_USEDEFAULT,
                                CW_USEDEFAULT, r.right - r.left, r.bottom - r.top, nullptr,
                                nullptr, Application.Instance(), this);
    if (!hwnd)
        return false;
    if (Icon) {
        SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(Icon));
        SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(Icon));
    }
    CreateControls();
    FormCreate();
    return true;
}

HWND TForm::Handle() const
{
    if (!m_hwnd && m_createOnDemand && !m_createTried && Application.OnMainThread())
        const_cast<TForm*>(this)->CreateHandle();
    return m_hwnd;
}

void TForm::DestroyHandle()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    if (!m_hwnd)
        return; // never made: nothing was created to tear down
    FormDestroy();
    HWND hwnd = m_hwnd;
    m_hwnd = nullptr;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    DestroyWindow(hwnd);
}

void TForm::AddControl(TControl* control) { m_controls.push_back(control); }

TControl* TForm::ControlFor(HWND hwnd) const
{
    for (TControl* c : m_controls)
        if (c->Handle() == hwnd)
            return c;
    return nullptr;
}

void TForm::SetCaption(const std::string& caption)
{
    DesignCaption = caption;
    if (m_hwnd)
        SetWindowTextA(m_hwnd, caption.c_str());
}

std::string TForm::Caption() const
{
    if (!m_hwnd)
        return DesignCaption;
    int len = GetWindowTextLengthA(m_hwnd);
    std::string text(len + 1, '\0');
    text.resize(GetWindowTextA(m_hwnd, &text[0], len + 1));
    return text;
}

void TForm::PlaceOnFirstShow()
{
    if (m_placed)
        return;
    m_placed = true;
    if (Position == FormPosition::Designed)
        return;
    RECT wr;
    GetWindowRect(m_hwnd, &wr);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;

    RECT area;
    HWND owner = GetWindow(m_hwnd, GW_OWNER);
    if (Position == FormPosition::OwnerFormCenter && owner && IsWindowVisible(owner))
        GetWindowRect(owner, &area);
    else
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    int x = area.left + (area.right - area.left - w) / 2;
    int y = area.top + (area.bottom - area.top - h) / 2;

    // Keep the whole window on the work area.
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    x = std::max<int>(work.left, std::min<int>(x, work.right - w));
    y = std::max<int>(work.top, std::min<int>(y, work.bottom - h));
    SetWindowPos(m_hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::Show()
{
    if (!Handle())
        return;
    PlaceOnFirstShow();
    if (!IsWindowVisible(m_hwnd)) {
        FormShow();
        ShowWindow(m_hwnd, SW_SHOW);
    }
    SetForegroundWindow(m_hwnd);
}

void TForm::Hide()
{
    if (m_hwnd)
        ShowWindow(m_hwnd, SW_HIDE);
}

bool TForm::Visible() const { return m_hwnd && IsWindowVisible(m_hwnd); }

void TForm::Close()
{
    if (m_modal) {
        if (ModalResult == mrNone)
            ModalResult = mrCancel;
        return;
    }
    const bool isMain = this == Application.MainForm();
    CloseAction action = isMain ? CloseAction::Free : CloseAction::Hide;
    FormClose(action);
    if (action == CloseAction::None)
        return;
    if (isMain)
        Application.Terminate();
    else
        Hide();
}

int TForm::ShowModal()
{
    if (!Handle() || m_modal)
        return mrCancel;
    HWND owner = GetActiveWindow();
    if (!owner && Application.MainForm() && Application.MainForm() != this)
        owner = Application.MainForm()->Handle();
    if (owner == m_hwnd)
        owner = nullptr;
    SetWindowLongPtrA(m_hwnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled)
        EnableWindow(owner, FALSE);

    m_modal = true;
    ModalResult = mrNone;
    Show();
    for (;;) {
        while (ModalResult == mrNone && !Application.Terminated()) {
            if (!Application.HandleMessage()) {
                // The quit request belongs to the outer loop.
                PostQuitMessage(0);
                break;
            }
        }
        if (ModalResult == mrNone)
            ModalResult = mrCancel;
        CloseAction action = CloseAction::Hide;
        FormClose(action);
        if (action != CloseAction::None || Application.Terminated())
            break;
        ModalResult = mrNone;
    }
    // Enable the owner before hiding, so that it gets the activation back.
    if (ownerWasEnabled)
        EnableWindow(owner, TRUE);
    Hide();
    m_modal = false;
    if (owner)
        SetActiveWindow(owner);
    return ModalResult;
}

void TForm::ClickButton(TButton* button)
{
    if (button && button->Enabled() && button->Visible())
        button->Click();
}

void TForm::ApplyLayout()
{
    RECT rc;
    GetClientRect(m_hwnd, &rc);
    if (rc.right == 0 && rc.bottom == 0)
        return; // minimised
    HDWP defer = BeginDeferWindowPos(int(m_controls.size()));
    for (TControl* c : m_controls) {
        if (!c->Handle())
            continue;
        LayoutRect design{Scale(c->Design.Left), Scale(c->Design.Top), Scale(c->Design.Width),
                          Scale(c->Design.Height)};
        LayoutRect r = AnchorRect(design, m_designClientPixelsW, m_designClientPixelsH,
                                  rc.right, rc.bottom, c->Anchors);
        if (defer)
            defer = DeferWindowPos(defer, c->Handle(), nullptr, r.Left, r.Top, r.Width, r.Height,
                                   SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (defer)
        EndDeferWindowPos(defer);
}

LRESULT CALLBACK TForm::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TForm* form;
    if (msg == WM_NCCREATE) {
        form = static_cast<TForm*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        form->m_hwnd = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    } else {
        form = reinterpret_cast<TForm*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (!form)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    try {
        LRESULT result = 0;
        if (form->m_hook && form->m_hook(msg, wParam, lParam, &result))
            return result;
        return form->DefaultWindowProc(msg, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through the system's window procedure call.
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

LRESULT TForm::DefaultWindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (OnMessage(msg, wParam, lParam, &result))
        return result;
    return HandleMessage(msg, wParam, lParam);
}

LRESULT TForm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_COMMAND: {
        HWND child = reinterpret_cast<HWND>(lParam);
        if (child) {
            if (TControl* c = ControlFor(child))
                if (c->OnCommand(HIWORD(wParam)))
                    return 0;
            break;
        }
        // Enter and Escape from the dialog keys.
        if (LOWORD(wParam) == IDOK && m_defaultButton) {
            ClickButton(m_defaultButton);
            return 0;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            if (m_cancelButton)
                ClickButton(m_cancelButton);
            else if (m_modal)
                Close();
            return 0;
        }
        break;
    }
    case DM_GETDEFID:
        if (m_defaultButton && m_defaultButton->Enabled())
            return MAKELRESULT(m_defaultButton->Id(), DC_HASDEFID);
        return 0;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (TControl* c = ControlFor(header->hwndFrom)) {
            LRESULT result = 0;
            if (c->OnNotify(header, &result))
                return result;
        }
        break;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (TControl* c = ControlFor(reinterpret_cast<HWND>(lParam)))
            if (c->OnScroll(LOWORD(wParam)))
                return 0;
        break;
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (TControl* c = ControlFor(item->hwndItem))
            if (c->OnDrawItem(item))
                return TRUE;
        break;
    }
    case WM_MEASUREITEM: {
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        for (TControl* c : m_controls)
            if (c->Id() == int(item->CtlID) && c->OnMeasureItem(item))
                return TRUE;
        break;
    }
    case WM_SIZE:
        ApplyLayout();
        return 0;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        if (MinWidth > 0)
            info->ptMinTrackSize.x = Scale(MinWidth);
        if (MinHeight > 0)
            info->ptMinTrackSize.y = Scale(MinHeight);
        return 0;
    }
    case WM_WINDOWPOSCHANGING: {
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (!(pos->flags & SWP_NOSIZE)) {
            int w = pos->cx, h = pos->cy;
            bool resize = true;
            FormCanResize(w, h, resize);
            if (!resize)
                pos->flags |= SWP_NOSIZE;
            pos->cx = w;
            pos->cy = h;
        }
        break;
    }
    case WM_CLOSE:
        Close();
        return 0;
    }
    return DefWindowProcA(m_hwnd, msg, wParam, lParam);
}
