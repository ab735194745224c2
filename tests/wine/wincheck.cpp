// wincheck: end-to-end checks of our programs' windows, run under Wine by the
// tests (it is a Windows program so that it sees windows as Windows does).
//
//   wincheck launch-and-close [OPTIONS] EXE CAPTION [ARG...]
//       starts EXE with the ARGs, waits for its visible top-level window
//       CAPTION, closes it with WM_CLOSE and checks how the program ended
//   wincheck wait-window [OPTIONS] CAPTION
//       waits for a visible top-level window CAPTION of any program, and for
//       that program to be idle (painted), and prints the window's handle,
//       process, class and place
//   wincheck close-window [OPTIONS] CAPTION
//       sends WM_CLOSE to that window and waits until it is gone
//   wincheck run-silent [OPTIONS] EXE [ARG...]
//       starts EXE and checks that it ends, with the expected exit code,
//       without ever showing a top-level window
//   wincheck answer-message [OPTIONS] --text TEXT EXE CAPTION [ARG...]
//       starts EXE, waits for its message box CAPTION saying TEXT, presses
//       its OK button and checks how the program ended
//   wincheck beside [OPTIONS] EXE CAPTION -- COMMAND...
//       starts EXE and waits for its window CAPTION, runs the wincheck
//       COMMAND while it runs, then closes it and checks that it ended with 0
//
// OPTIONS
//   --class NAME      the window's class must be NAME too
//   --timeout SEC     how long each wait may take (default 20)
//   --exit-code N     the exit code expected of the program started (default 0)
//   --text TEXT       answer-message: the text of the message box
//
// Exit status: 0 the check passed; 1 it failed, with the reason on standard
// error; 2 usage error. Every wait polls against a deadline: nothing sleeps
// a fixed time.

#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#endif
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

const DWORD PollMs = 50;

struct Options {
    std::wstring ClassName; // empty: any class
    std::wstring Text;      // answer-message: the message box's text
    DWORD TimeoutMs = 20000;
    DWORD ExitCode = 0;
};

std::string Utf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

void Info(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::fputs("wincheck: ", stdout);
    std::vfprintf(stdout, format, args);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    va_end(args);
}

int Fail(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::fputs("wincheck: FAILED: ", stderr);
    std::vfprintf(stderr, format, args);
    std::fputc('\n', stderr);
    std::fflush(stderr);
    va_end(args);
    return 1;
}

int Usage()
{
    std::fputs("usage: wincheck launch-and-close [OPTIONS] EXE CAPTION [ARG...]\n"
               "       wincheck wait-window [OPTIONS] CAPTION\n"
               "       wincheck close-window [OPTIONS] CAPTION\n"
               "       wincheck run-silent [OPTIONS] EXE [ARG...]\n"
               "       wincheck answer-message [OPTIONS] --text TEXT EXE CAPTION [ARG...]\n"
               "       wincheck beside [OPTIONS] EXE CAPTION -- COMMAND...\n"
               "OPTIONS: --class NAME  --timeout SEC  --exit-code N  --text TEXT\n",
               stderr);
    return 2;
}

class Deadline {
public:
    explicit Deadline(DWORD ms) : m_end(GetTickCount64() + ms) {}
    DWORD Left() const
    {
        ULONGLONG now = GetTickCount64();
        return now >= m_end ? 0 : DWORD(m_end - now);
    }
    DWORD NextPoll() const { return Left() < PollMs ? Left() : PollMs; }

private:
    ULONGLONG m_end;
};

std::wstring WindowText(HWND hwnd)
{
    // For another program's window this reads the caption Windows keeps,
    // without a message that a hung program would never answer.
    wchar_t text[1024];
    int n = GetWindowTextW(hwnd, text, int(sizeof text / sizeof text[0]));
    return std::wstring(text, size_t(n > 0 ? n : 0));
}

std::wstring WindowClass(HWND hwnd)
{
    wchar_t name[256];
    int n = GetClassNameW(hwnd, name, int(sizeof name / sizeof name[0]));
    return std::wstring(name, size_t(n > 0 ? n : 0));
}

struct Search {
    const std::wstring* Caption;
    const Options* Opts;
    DWORD ProcessId; // 0: any process
    HWND Visible = nullptr;
    HWND Hidden = nullptr; // matches but not shown (yet)
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM param)
{
    Search* s = reinterpret_cast<Search*>(param);
    if (s->ProcessId) {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        if (pid != s->ProcessId)
            return TRUE;
    }
    if (WindowText(hwnd) != *s->Caption)
        return TRUE;
    // Class names, like Windows compares them, without regard to case.
    if (!s->Opts->ClassName.empty() && _wcsicmp(WindowClass(hwnd).c_str(), s->Opts->ClassName.c_str()) != 0)
        return TRUE;
    if (IsWindowVisible(hwnd) && !IsIconic(hwnd)) {
        s->Visible = hwnd;
        return FALSE;
    }
    s->Hidden = hwnd;
    return TRUE;
}

void Describe(HWND hwnd)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    RECT r = {};
    GetWindowRect(hwnd, &r);
    Info("window %#lx of process %lu, class \"%s\", caption \"%s\", at %ld,%ld size %ldx%ld",
         static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(hwnd)), static_cast<unsigned long>(pid),
         Utf8(WindowClass(hwnd)).c_str(), Utf8(WindowText(hwnd)).c_str(), r.left, r.top,
         r.right - r.left, r.bottom - r.top);
}

// Waits for a visible top-level window with that caption (of that process
// when process is given; its end stops the wait). Null, with the reason
// printed, when there is none by the deadline.
HWND WaitForWindow(const std::wstring& caption, const Options& opts, HANDLE process, DWORD processId)
{
    Deadline deadline(opts.TimeoutMs);
    for (;;) {
        Search s{&caption, &opts, processId};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&s));
        if (s.Visible)
            return s.Visible;
        if (process && WaitForSingleObject(process, 0) == WAIT_OBJECT_0) {
            DWORD code = 0;
            GetExitCodeProcess(process, &code);
            Fail("the program ended (exit code %lu) before showing a window \"%s\"",
                 static_cast<unsigned long>(code), Utf8(caption).c_str());
            return nullptr;
        }
        if (deadline.Left() == 0) {
            if (s.Hidden)
                Fail("window \"%s\" exists but was not visible within %lu ms", Utf8(caption).c_str(),
                     static_cast<unsigned long>(opts.TimeoutMs));
            else
                Fail("no top-level window \"%s\"%s%s within %lu ms", Utf8(caption).c_str(),
                     opts.ClassName.empty() ? "" : " of class ", Utf8(opts.ClassName).c_str(),
                     static_cast<unsigned long>(opts.TimeoutMs));
            return nullptr;
        }
        // The wait on the process is the pause between looks: it also ends
        // the moment the program does.
        if (process)
            WaitForSingleObject(process, deadline.NextPoll());
        else
            Sleep(deadline.NextPoll());
    }
}

// Waits until the program that owns the window has handled what is queued
// for it (its first paint included) and waits for input. False, with the
// reason printed, when it stays busy past the deadline.
bool WaitIdle(HWND hwnd, const Options& opts)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, pid);
    if (!process)
        return true; // gone already: whatever checks come next will tell
    DWORD result = WaitForInputIdle(process, opts.TimeoutMs);
    CloseHandle(process);
    if (result == WAIT_TIMEOUT) {
        Fail("the program of window %#lx was still busy after %lu ms",
             static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(hwnd)),
             static_cast<unsigned long>(opts.TimeoutMs));
        return false;
    }
    return true;
}

// How Windows programs split a command line back into arguments.
std::wstring QuoteArg(const std::wstring& arg)
{
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return arg;
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"')
            out.append(backslashes * 2 + 1, L'\\');
        else
            out.append(backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    out += L'"';
    return out;
}

bool StartProgram(int argc, wchar_t** argv, PROCESS_INFORMATION* pi);
int FinishProgram(HANDLE process, const Options& opts, int rc);

int LaunchAndClose(const Options& opts, int argc, wchar_t** argv)
{
    if (argc < 2)
        return Usage();
    const std::wstring caption = argv[1];
    std::vector<wchar_t*> args;
    args.push_back(argv[0]);
    for (int i = 2; i < argc; ++i)
        args.push_back(argv[i]);
    PROCESS_INFORMATION pi = {};
    if (!StartProgram(int(args.size()), args.data(), &pi))
        return 1;

    int rc = 0;
    HWND hwnd = WaitForWindow(caption, opts, pi.hProcess, pi.dwProcessId);
    if (!hwnd) {
        rc = 1;
    } else if (!WaitIdle(hwnd, opts)) {
        rc = 1;
    } else {
        Describe(hwnd);
        RECT r = {};
        GetWindowRect(hwnd, &r);
        if (r.right <= r.left || r.bottom <= r.top)
            rc = Fail("the window has no area");
        // Posted, not sent: a program that hangs must not hang the check.
        if (!PostMessageW(hwnd, WM_CLOSE, 0, 0) && !rc)
            rc = Fail("cannot post WM_CLOSE (error %lu)", static_cast<unsigned long>(GetLastError()));
    }
    return FinishProgram(pi.hProcess, opts, rc);
}

int WaitWindowCommand(const Options& opts, int argc, wchar_t** argv)
{
    if (argc != 1)
        return Usage();
    HWND hwnd = WaitForWindow(argv[0], opts, nullptr, 0);
    if (!hwnd || !WaitIdle(hwnd, opts))
        return 1;
    Describe(hwnd);
    return 0;
}

int CloseWindowCommand(const Options& opts, int argc, wchar_t** argv)
{
    if (argc != 1)
        return Usage();
    HWND hwnd = WaitForWindow(argv[0], opts, nullptr, 0);
    if (!hwnd)
        return 1;
    Describe(hwnd);
    if (!PostMessageW(hwnd, WM_CLOSE, 0, 0))
        return Fail("cannot post WM_CLOSE (error %lu)", static_cast<unsigned long>(GetLastError()));
    Deadline deadline(opts.TimeoutMs);
    while (IsWindow(hwnd)) {
        if (deadline.Left() == 0)
            return Fail("the window is still there %lu ms after WM_CLOSE", static_cast<unsigned long>(opts.TimeoutMs));
        Sleep(deadline.NextPoll());
    }
    Info("the window is gone");
    return 0;
}

bool StartProgram(int argc, wchar_t** argv, PROCESS_INFORMATION* pi)
{
    std::wstring commandLine = QuoteArg(argv[0]);
    for (int i = 1; i < argc; ++i)
        commandLine += L" " + QuoteArg(argv[i]);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, pi)) {
        Fail("cannot start %s (error %lu)", Utf8(argv[0]).c_str(), static_cast<unsigned long>(GetLastError()));
        return false;
    }
    CloseHandle(pi->hThread);
    Info("started %s, process %lu", Utf8(commandLine).c_str(), static_cast<unsigned long>(pi->dwProcessId));
    return true;
}

// Waits for the program to end and checks its exit code; ends it after a
// failed check. Returns rc, or 1 when this check fails.
int FinishProgram(HANDLE process, const Options& opts, int rc)
{
    if (rc && WaitForSingleObject(process, 0) != WAIT_OBJECT_0) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 5000);
    } else if (WaitForSingleObject(process, opts.TimeoutMs) != WAIT_OBJECT_0) {
        if (!rc)
            rc = Fail("the program did not end within %lu ms", static_cast<unsigned long>(opts.TimeoutMs));
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 5000);
    } else if (!rc) {
        DWORD code = 0;
        GetExitCodeProcess(process, &code);
        if (code != opts.ExitCode)
            rc = Fail("the program ended with exit code %lu, expected %lu", static_cast<unsigned long>(code),
                      static_cast<unsigned long>(opts.ExitCode));
        else
            Info("the program ended with exit code %lu", static_cast<unsigned long>(code));
    }
    CloseHandle(process);
    return rc;
}

struct ShownSearch {
    DWORD ProcessId;
    HWND Found = nullptr;
};

BOOL CALLBACK FindShown(HWND hwnd, LPARAM param)
{
    auto* s = reinterpret_cast<ShownSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == s->ProcessId && IsWindowVisible(hwnd)) {
        s->Found = hwnd;
        return FALSE;
    }
    return TRUE;
}

int RunSilent(const Options& opts, int argc, wchar_t** argv)
{
    if (argc < 1)
        return Usage();
    PROCESS_INFORMATION pi = {};
    if (!StartProgram(argc, argv, &pi))
        return 1;
    int rc = 0;
    Deadline deadline(opts.TimeoutMs);
    for (;;) {
        ShownSearch s{pi.dwProcessId};
        EnumWindows(FindShown, reinterpret_cast<LPARAM>(&s));
        if (s.Found) {
            Describe(s.Found);
            rc = Fail("the program showed a window");
            break;
        }
        if (WaitForSingleObject(pi.hProcess, deadline.NextPoll()) == WAIT_OBJECT_0 || deadline.Left() == 0)
            break;
    }
    return FinishProgram(pi.hProcess, opts, rc);
}

struct TextSearch {
    const std::wstring* Text;
    bool Found = false;
};

BOOL CALLBACK FindStatic(HWND hwnd, LPARAM param)
{
    auto* s = reinterpret_cast<TextSearch*>(param);
    if (_wcsicmp(WindowClass(hwnd).c_str(), L"Static") == 0 && WindowText(hwnd) == *s->Text) {
        s->Found = true;
        return FALSE;
    }
    return TRUE;
}

int AnswerMessage(const Options& opts, int argc, wchar_t** argv)
{
    if (argc < 2 || opts.Text.empty())
        return Usage();
    const std::wstring caption = argv[1];
    std::vector<wchar_t*> args;
    args.push_back(argv[0]);
    for (int i = 2; i < argc; ++i)
        args.push_back(argv[i]);
    PROCESS_INFORMATION pi = {};
    if (!StartProgram(int(args.size()), args.data(), &pi))
        return 1;
    Options box = opts;
    box.ClassName = L"#32770";
    int rc = 0;
    HWND hwnd = WaitForWindow(caption, box, pi.hProcess, pi.dwProcessId);
    if (!hwnd) {
        rc = 1;
    } else {
        Describe(hwnd);
        TextSearch s{&opts.Text};
        EnumChildWindows(hwnd, FindStatic, reinterpret_cast<LPARAM>(&s));
        if (!s.Found)
            rc = Fail("the message box does not say \"%s\"", Utf8(opts.Text).c_str());
        else
            Info("the message box says \"%s\"", Utf8(opts.Text).c_str());
        HWND ok = GetDlgItem(hwnd, IDOK);
        if (!ok)
            rc = Fail("the message box has no OK button");
        else if (!rc)
            PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
    }
    return FinishProgram(pi.hProcess, opts, rc);
}

int Dispatch(int argc, wchar_t** argv);

int Beside(const Options& opts, int argc, wchar_t** argv)
{
    int split = 0;
    while (split < argc && std::wcscmp(argv[split], L"--") != 0)
        ++split;
    if (split < 2 || split + 1 >= argc)
        return Usage();
    std::vector<wchar_t*> args;
    args.push_back(argv[0]);
    for (int i = 2; i < split; ++i)
        args.push_back(argv[i]);
    PROCESS_INFORMATION pi = {};
    if (!StartProgram(int(args.size()), args.data(), &pi))
        return 1;
    int rc = 0;
    HWND hwnd = WaitForWindow(argv[1], opts, pi.hProcess, pi.dwProcessId);
    if (!hwnd || !WaitIdle(hwnd, opts)) {
        rc = 1;
    } else {
        Describe(hwnd);
        // The nested command's arguments, with a program name in front.
        std::vector<wchar_t*> nested;
        nested.push_back(const_cast<wchar_t*>(L"wincheck"));
        for (int i = split + 1; i < argc; ++i)
            nested.push_back(argv[i]);
        rc = Dispatch(int(nested.size()), nested.data());
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0)
            rc = rc ? rc : Fail("the first program ended while the second ran");
        else
            PostMessageW(hwnd, WM_CLOSE, 0, 0);
    }
    Options first = opts;
    first.ExitCode = 0;
    return FinishProgram(pi.hProcess, first, rc);
}

bool ParseNumber(const wchar_t* text, unsigned long* value)
{
    wchar_t* end = nullptr;
    unsigned long v = std::wcstoul(text, &end, 10);
    if (!*text || *end)
        return false;
    *value = v;
    return true;
}

} // namespace

int wmain(int argc, wchar_t** argv) { return Dispatch(argc, argv); }

namespace {

int Dispatch(int argc, wchar_t** argv)
{
    if (argc < 2)
        return Usage();
    const std::wstring command = argv[1];
    Options opts;
    int i = 2;
    for (; i < argc && std::wcsncmp(argv[i], L"--", 2) == 0; ++i) {
        const std::wstring option = argv[i];
        if (i + 1 >= argc)
            return Usage();
        unsigned long n = 0;
        if (option == L"--class") {
            opts.ClassName = argv[++i];
        } else if (option == L"--timeout" && ParseNumber(argv[i + 1], &n) && n > 0 && n < 3600) {
            opts.TimeoutMs = DWORD(n * 1000);
            ++i;
        } else if (option == L"--exit-code" && ParseNumber(argv[i + 1], &n)) {
            opts.ExitCode = DWORD(n);
            ++i;
        } else if (option == L"--text") {
            opts.Text = argv[++i];
        } else {
            return Usage();
        }
    }
    if (command == L"launch-and-close")
        return LaunchAndClose(opts, argc - i, argv + i);
    if (command == L"wait-window")
        return WaitWindowCommand(opts, argc - i, argv + i);
    if (command == L"close-window")
        return CloseWindowCommand(opts, argc - i, argv + i);
    if (command == L"run-silent")
        return RunSilent(opts, argc - i, argv + i);
    if (command == L"answer-message")
        return AnswerMessage(opts, argc - i, argv + i);
    if (command == L"beside")
        return Beside(opts, argc - i, argv + i);
    return Usage();
}

} // namespace
