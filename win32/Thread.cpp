#include "win32/Thread.h"

#include "win32/Application.h"

TThread::TThread(bool createSuspended)
{
    m_handle.Reset(CreateThread(nullptr, 0, ThreadProc, this, CREATE_SUSPENDED, &m_threadId));
    if (!createSuspended)
        Resume();
}

TThread::~TThread()
{
    if (m_handle && !m_finished && GetCurrentThreadId() != m_threadId) {
        Terminate();
        // A thread never resumed still holds its stack: let it run out.
        if (!m_started)
            Resume();
        WaitFor();
    }
}

void TThread::Resume()
{
    if (!m_handle)
        return;
    m_started = true;
    ResumeThread(m_handle.Get());
}

void TThread::ForceTerminate()
{
    if (m_handle && !m_finished) {
        TerminateThread(m_handle.Get(), 0);
        WaitForSingleObject(m_handle.Get(), INFINITE);
        m_finished = true;
    }
}

DWORD TThread::WaitFor()
{
    if (!m_handle)
        return ReturnValue;
    HANDLE h = m_handle.Get();
    if (Application.OnMainThread()) {
        // The thread may be waiting in Synchronize for this very thread.
        while (MsgWaitForMultipleObjects(1, &h, FALSE, INFINITE, QS_SENDMESSAGE) ==
               WAIT_OBJECT_0 + 1) {
            MSG msg;
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
        }
    } else {
        WaitForSingleObject(h, INFINITE);
    }
    return ReturnValue;
}

void TThread::Synchronize(const std::function<void()>& fn) { Application.Synchronize(fn); }

DWORD WINAPI TThread::ThreadProc(LPVOID param)
{
    auto* self = static_cast<TThread*>(param);
    try {
        if (!self->m_terminated)
            self->Execute();
    } catch (...) {
        // An exception ends the thread, never the process.
    }
    DWORD result = self->ReturnValue;
    const bool freeSelf = self->FreeOnTerminate;
    self->m_finished = true;
    if (freeSelf)
        delete self;
    return result;
}
