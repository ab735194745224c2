#pragma once
// The hidden window that relays what the hook library reports to the main window.

#include <windows.h>

bool StartHookWindow(HWND mainWindow);
void StopHookWindow();
