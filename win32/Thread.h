#pragma once
// A thread object in the manner of the forms' workers: created suspended,
// resumed by its starter, asked to stop with Terminate, optionally freeing
// itself when Execute returns. Synchronize runs a function on the main
// thread and waits for it.

#include <windows.h>

#include <atomic>
#include <functional>

#include "win32/Handles.h"

class TThread {
public:
    explicit TThread(bool createSuspended = true);
    // Asks the thread to stop and waits for it (unless it already ended).
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    void Resume();
    void Terminate() { m_terminated = true; }
    bool Terminated() const { return m_terminated; }
    // Ends the thread at once, wherever it is; for workers that are known to
    // hold no lock at that point.
    void ForceTerminate();
    // Waits for Execute to return, handling the main thread's messages meanwhile.
    DWORD WaitFor();
    bool Finished() const { return m_finished; }
    HANDLE Handle() const { return m_handle.Get(); }
    DWORD ThreadId() const { return m_threadId; }

    // Delete the object when Execute returns; set before Resume.
    bool FreeOnTerminate = false;
    DWORD ReturnValue = 0;

protected:
    virtual void Execute() = 0;
    void Synchronize(const std::function<void()>& fn);

private:
    static DWORD WINAPI ThreadProc(LPVOID param);

    UniqueHandle m_handle;
    DWORD m_threadId = 0;
    std::atomic<bool> m_terminated{false};
    std::atomic<bool> m_finished{false};
    bool m_started = false;
};
