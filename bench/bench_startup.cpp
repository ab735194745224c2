// Start-up benchmark, run under Wine: the time from process start to the
// main window being shown, and from a "-run" start to exit for a task that
// cannot be loaded, each beside a minimal Win32 program.
//
//   bench_startup SCHEDULER_EXE MINIMAL_EXE [ROUNDS [CONTROLS_EXE]]
//
// CONTROLS_EXE, a bare window with the main window's controls on the same
// platform pieces, shows how much of the difference the platform takes.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double Now()
{
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) * 1000.0 / double(freq.QuadPart);
}

double Median(std::vector<double> v)
{
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Search {
    DWORD Pid;
    const char* ClassName;
    HWND Found;
};

BOOL CALLBACK FindVisible(HWND hwnd, LPARAM param)
{
    auto* s = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[64];
    if (pid == s->Pid && IsWindowVisible(hwnd) && GetClassNameA(hwnd, cls, sizeof cls) &&
        lstrcmpA(cls, s->ClassName) == 0) {
        s->Found = hwnd;
        return FALSE;
    }
    return TRUE;
}

bool Start(const std::string& exe, const std::string& args, PROCESS_INFORMATION* pi)
{
    std::string line = "\"" + exe + "\"" + (args.empty() ? "" : " " + args);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    return CreateProcessA(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                          pi) != FALSE;
}

void Done(PROCESS_INFORMATION& pi)
{
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

// Milliseconds until a visible window of the class shows; the program is then closed.
double TimeToWindow(const std::string& exe, const char* className)
{
    PROCESS_INFORMATION pi;
    const double t0 = Now();
    if (!Start(exe, "", &pi))
        return -1;
    Search s{pi.dwProcessId, className, nullptr};
    while (!s.Found && Now() - t0 < 30000) {
        EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&s));
        if (!s.Found)
            Sleep(1);
    }
    const double t = Now() - t0;
    if (s.Found)
        PostMessageA(s.Found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 30000) != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 1);
    Done(pi);
    return s.Found ? t : -1;
}

double TimeToExit(const std::string& exe, const std::string& args)
{
    PROCESS_INFORMATION pi;
    const double t0 = Now();
    if (!Start(exe, args, &pi))
        return -1;
    if (WaitForSingleObject(pi.hProcess, 30000) != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, 1);
        Done(pi);
        return -1;
    }
    const double t = Now() - t0;
    Done(pi);
    return t;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_startup SCHEDULER_EXE MINIMAL_EXE [ROUNDS]\n");
        return 2;
    }
    const std::string scheduler = argv[1], minimal = argv[2];
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 9;
    const std::string controls = argc > 4 ? argv[4] : "";

    // One round to warm the caches, not counted. The two programs then take
    // turns at going first, so that neither always inherits the other's
    // after-effects (the wine server's and the X server's work).
    TimeToWindow(scheduler, "TMainForm");
    TimeToWindow(minimal, "MinimalWindow");
    std::vector<double> mainWindow, minimalWindow, runExit, minimalExit, controlsWindow;
    for (int r = 0; r < rounds; ++r) {
        const bool schedulerFirst = r % 2 == 0;
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn == 0) == schedulerFirst)
                mainWindow.push_back(TimeToWindow(scheduler, "TMainForm"));
            else
                minimalWindow.push_back(TimeToWindow(minimal, "MinimalWindow"));
        }
        if (!controls.empty())
            controlsWindow.push_back(TimeToWindow(controls, "ControlsWindow"));
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn == 0) == schedulerFirst)
                runExit.push_back(TimeToExit(scheduler, "-run \"No such task\""));
            else
                minimalExit.push_back(TimeToExit(minimal, "-close"));
        }
    }
    const double a = Median(mainWindow), b = Median(minimalWindow);
    const double c = Median(runExit), d = Median(minimalExit);
    std::printf("start to main window shown: scheduler %.1f ms, minimal program %.1f ms, ratio %.2f\n",
                a, b, b > 0 ? a / b : 0.0);
    std::printf("-run start to exit (task cannot be loaded): scheduler %.1f ms, minimal program "
                "open and close %.1f ms, ratio %.2f\n",
                c, d, d > 0 ? c / d : 0.0);
    if (!controls.empty()) {
        const double e = Median(controlsWindow);
        std::printf("floor: a bare window with the same controls, common controls 6 and COM "
                    "%.1f ms, ratio %.2f to the minimal program\n",
                    e, b > 0 ? e / b : 0.0);
    }
    std::printf("(medians of %d rounds)\n", rounds);
    return a < 0 || c < 0;
}
