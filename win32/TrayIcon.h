#pragma once
// A notification-area icon with a hint and a popup menu of plain items.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "win32/Handles.h"

class TPopupMenu {
public:
    int Add(const std::string& caption, std::function<void()> onClick);
    void SetCaption(int index, const std::string& caption);
    std::string Caption(int index) const;
    int Count() const { return int(m_items.size()); }
    // Shows the menu at the cursor for the given window and runs the chosen item.
    void Popup(HWND owner);

private:
    struct Item {
        std::string Caption;
        std::function<void()> OnClick;
    };
    std::vector<Item> m_items;
};

class TTrayIcon {
public:
    TTrayIcon();
    ~TTrayIcon();
    TTrayIcon(const TTrayIcon&) = delete;
    TTrayIcon& operator=(const TTrayIcon&) = delete;

    void SetHint(const std::string& hint);
    const std::string& Hint() const { return m_hint; }
    void SetIcon(HICON icon);
    // False when the shell refused the icon (no notification area yet).
    bool Show();
    bool Hide();
    bool Visible() const { return m_visible; }

    TPopupMenu* PopupMenu = nullptr;
    HWND Window() const { return m_wnd.Get(); }

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    bool Notify(DWORD action);

    UniqueWindow m_wnd;
    HICON m_icon = nullptr;
    std::string m_hint;
    bool m_visible = false;
    UINT m_taskbarCreated = 0;
};
