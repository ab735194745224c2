#pragma once
// A timer on the main thread's utility window; OnTimer runs on the main thread.

#include <functional>

class TTimer {
public:
    TTimer();
    ~TTimer();
    TTimer(const TTimer&) = delete;
    TTimer& operator=(const TTimer&) = delete;

    void SetInterval(unsigned ms);
    unsigned Interval() const { return m_interval; }
    void SetEnabled(bool enabled);
    bool Enabled() const { return m_enabled; }

    std::function<void()> OnTimer;

    void Fire();

private:
    void Update();

    unsigned m_interval = 1000;
    bool m_enabled = false;
    bool m_running = false;
};
