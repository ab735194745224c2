#pragma once

#include <windows.h>

#include <functional>

#include "win32/Application.h"

// Handles messages until the condition holds or the deadline passes.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return true;
}
