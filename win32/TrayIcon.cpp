#include "win32/TrayIcon.h"

#include <shellapi.h>

#include "win32/Application.h"
#include "win32/LazyApi.h"

namespace {

const char TrayClass[] = "SchedulerTrayWindow";
const UINT WM_TRAYICON = WM_APP + 0x3F01;
const UINT FirstCommand = 100;

} // namespace

int TPopupMenu::Add(const std::string& caption, std::function<void()> onClick)
{
    m_items.push_back(Item{caption, std::move(onClick)});
    return int(m_items.size()) - 1;
}

void TPopupMenu::SetCaption(int index, const std::string& caption)
{
    if (index >= 0 && index < Count())
        m_items[index].Caption = caption;
}

std::string TPopupMenu::Caption(int index) const
{
    return index >= 0 && index < Count() ? m_items[index].Caption : std::string();
}

void TPopupMenu::Popup(HWND owner)
{
    UniqueMenu menu(CreatePopupMenu());
    if (!menu)
        return;
    for (size_t i = 0; i < m_items.size(); ++i)
        AppendMenuA(menu.Get(), MF_STRING, FirstCommand + i, m_items[i].Caption.c_str());
    POINT pt;
    GetCursorPos(&pt);
    // The menu closes when the user clicks elsewhere only if its owner is in front.
    SetForegroundWindow(owner);
    UINT cmd = UINT(TrackPopupMenu(menu.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                   pt.x, pt.y, 0, owner, nullptr));
    PostMessageA(owner, WM_NULL, 0, 0);
    if (cmd >= FirstCommand && cmd < FirstCommand + m_items.size() &&
        m_items[cmd - FirstCommand].OnClick)
        m_items[cmd - FirstCommand].OnClick();
}

TTrayIcon::TTrayIcon()
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSEXA wc = {};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = WndProc;
        wc.hInstance = Application.Instance();
        wc.lpszClassName = TrayClass;
        registered = RegisterClassExA(&wc) != 0;
    }
    m_taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    // A hidden top-level window, so that it hears the shell's restart broadcast.
    m_wnd.Reset(CreateWindowExA(0, TrayClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                Application.Instance(), this));
}

TTrayIcon::~TTrayIcon() { Hide(); }

void TTrayIcon::SetHint(const std::string& hint)
{
    m_hint = hint;
    if (m_visible)
        Notify(NIM_MODIFY);
}

void TTrayIcon::SetIcon(HICON icon)
{
    m_icon = icon;
    if (m_visible)
        Notify(NIM_MODIFY);
}

bool TTrayIcon::Notify(DWORD action)
{
    if (!m_wnd)
        return false;
    NOTIFYICONDATAA nid = {};
    nid.cbSize = NOTIFYICONDATAA_V2_SIZE;
    nid.hWnd = m_wnd.Get();
    nid.uID = 1;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = WM_TRAYICON;
    nid.hIcon = m_icon;
    lstrcpynA(nid.szTip, m_hint.c_str(), sizeof nid.szTip);
    using NotifyFn = BOOL(WINAPI*)(DWORD, PNOTIFYICONDATAA);
    static NotifyFn notify = LazyProc<NotifyFn>("shell32.dll", "Shell_NotifyIconA");
    return notify && notify(action, &nid) != FALSE;
}

bool TTrayIcon::Show()
{
    if (m_visible)
        return true;
    m_visible = Notify(NIM_ADD);
    return m_visible;
}

bool TTrayIcon::Hide()
{
    if (!m_visible)
        return true;
    m_visible = false;
    return Notify(NIM_DELETE);
}

LRESULT CALLBACK TTrayIcon::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* tray = reinterpret_cast<TTrayIcon*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (tray) {
        if (msg == WM_TRAYICON) {
            if ((lParam == WM_RBUTTONUP || lParam == WM_LBUTTONUP) && tray->PopupMenu)
                tray->PopupMenu->Popup(hwnd);
            return 0;
        }
        if (msg == tray->m_taskbarCreated && tray->m_visible) {
            // The shell restarted: put the icon back.
            tray->Notify(NIM_ADD);
            return 0;
        }
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
