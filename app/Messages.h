#pragma once
// The program's own window messages.

#include <windows.h>

// Posted by every action worker once per finished action.
constexpr UINT WM_JOBDONE = 0x2946;
// Posted by the update check; wParam 1 when it reached the server.
constexpr UINT WM_UPDATECHECKED = WM_USER + 101;
// WM_COPYDATA tag of what the hook library reports.
constexpr ULONG_PTR CopyDataHookCommand = 80;
// Posted by the main window to itself as the last step of the interactive
// start-up: the task list fills once the window is on the screen.
constexpr UINT WM_FILLTASKLIST = WM_APP + 1;
