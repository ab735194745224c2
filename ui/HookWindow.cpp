#include "ui/HookWindow.h"

// The hook library and its relay window come with the Find Window tool;
// until then there is nothing to start, and start-up goes on.
bool StartHookWindow(HWND) { return true; }
void StopHookWindow() {}
