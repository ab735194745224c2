#include "win32/Timer.h"

#include <windows.h>

#include "win32/Application.h"

TTimer::TTimer() { Application.AddTimer(this); }

TTimer::~TTimer()
{
    m_enabled = false;
    Update();
    Application.RemoveTimer(this);
}

void TTimer::SetInterval(unsigned ms)
{
    m_interval = ms;
    if (m_running) {
        m_running = false;
        Update();
    }
}

void TTimer::SetEnabled(bool enabled)
{
    m_enabled = enabled;
    Update();
}

void TTimer::Update()
{
    HWND wnd = Application.UtilityWindow();
    if (!wnd)
        return;
    UINT_PTR id = reinterpret_cast<UINT_PTR>(this);
    if (m_enabled && m_interval > 0) {
        m_running = SetTimer(wnd, id, m_interval, nullptr) != 0;
    } else if (m_running) {
        KillTimer(wnd, id);
        m_running = false;
    }
}

void TTimer::Fire()
{
    if (m_enabled && OnTimer)
        OnTimer();
}
