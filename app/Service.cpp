#include "app/Service.h"

#include <cstdio>

#include "win32/Handles.h"

namespace {

void Diagnostic(const char* line)
{
    std::fputs(line, stdout);
    std::fflush(stdout);
}

// Windows 95, 98 and Me: the scheduler agent is a program of its own.
DWORD EnsureAgent()
{
    if (FindWindowA("SAGEWINDOWCLASS", "SYSTEM AGENT COM WINDOW")) {
        Diagnostic("Task Scheduler is already running.\n");
        return 0;
    }
    char path[MAX_PATH];
    char* filePart = nullptr;
    if (!SearchPathA(nullptr, "mstask.exe", nullptr, MAX_PATH, path, &filePart))
        return GetLastError();
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(path, nullptr, nullptr, nullptr, FALSE,
                        CREATE_NEW_CONSOLE | CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &si, &pi))
        return GetLastError();
    UniqueHandle process(pi.hProcess), thread(pi.hThread);
    return 0;
}

// Windows 2000, XP and Server 2003: the "Schedule" service may be stopped.
DWORD EnsureScheduleService()
{
    UniqueService service;
    {
        UniqueService manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
        if (!manager)
            return 0;
        service.Reset(OpenServiceA(manager.Get(), "Schedule", SERVICE_QUERY_STATUS | SERVICE_START));
    }
    if (!service)
        return 0;
    SERVICE_STATUS status = {};
    if (!QueryServiceStatus(service.Get(), &status))
        return 0;
    if (status.dwCurrentState == SERVICE_RUNNING) {
        Diagnostic("Task Scheduler is already running.\n");
        return 0;
    }
    if (StartServiceA(service.Get(), 0, nullptr)) {
        Diagnostic("Task Scheduler has been started.\n");
        return 0;
    }
    DWORD error = GetLastError();
    // A service still on its way up was not "running" when asked, yet it runs.
    if (error == ERROR_SERVICE_ALREADY_RUNNING) {
        Diagnostic("Task Scheduler is already running.\n");
        return 0;
    }
    Diagnostic("Could not start Task Scheduler.\n");
    return error;
}

} // namespace

DWORD EnsureTaskSchedulerServiceFor(DWORD platformId, DWORD majorVersion)
{
    if (platformId == VER_PLATFORM_WIN32_WINDOWS)
        return EnsureAgent();
    if (platformId == VER_PLATFORM_WIN32_NT && majorVersion == 5)
        return EnsureScheduleService();
    // NT 4 has no scheduler to start; from Vista on the service always runs.
    return 0;
}

DWORD EnsureTaskSchedulerService()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version))
        return 0;
    return EnsureTaskSchedulerServiceFor(version.dwPlatformId, version.dwMajorVersion);
}
