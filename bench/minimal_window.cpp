// The yardstick of the start-up benchmark: the least a Win32 program does to
// show a window. With "-close" it closes the window as soon as it is shown.
//
// Built with WITH_CONTROLS (as controls_window.exe) it shows the floor under
// the program's main window instead: common controls 6 and COM started, one
// Tahoma font, and the main window's thirteen controls, nothing else.

#include <windows.h>

#ifdef WITH_CONTROLS
#include <commctrl.h>
#include <objbase.h>
#endif

namespace {

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR cmdLine, int)
{
#ifdef WITH_CONTROLS
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    CoInitialize(nullptr);
    const char* const className = "ControlsWindow";
#else
    const char* const className = "MinimalWindow";
#endif
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowA(className, "Minimal", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, 483, 357, nullptr, nullptr, instance, nullptr);
#ifdef WITH_CONTROLS
    HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                             DEFAULT_PITCH | FF_SWISS, "Tahoma");
    const char* const controls[] = {"STATIC", "LISTBOX", "STATIC", "EDIT",   "BUTTON",
                                    "BUTTON", "BUTTON",  "BUTTON", "BUTTON", "BUTTON",
                                    "BUTTON", "BUTTON",  "BUTTON"};
    int n = 0;
    for (const char* control : controls) {
        HWND child = CreateWindowExA(0, control, "Text", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                                     8 + n * 34, 8, 30, 25, hwnd,
                                     reinterpret_cast<HMENU>(INT_PTR(100 + n)), instance, nullptr);
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        ++n;
    }
#endif
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    if (lstrcmpA(cmdLine, "-close") == 0)
        DestroyWindow(hwnd);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
#ifdef WITH_CONTROLS
    DeleteObject(font);
    CoUninitialize();
#endif
    return 0;
}
