// UninstallCheck: end-to-end checks of uninstall.exe, run under Wine.
//
//   UninstallCheck UNINSTALL_EXE FAKE_MSIEXEC_EXE
//
// Both paths may be Windows paths or absolute Unix paths (read through Z:).
// uninstall.exe starts "MsiExec.exe" through ShellExecute, which under Wine
// looks in the system folders first and then along PATH, never in the
// current or the program's folder. A stand-in dropped into system32 would not
// do: Wine runs its builtin for any program there. So for the run the system
// msiexec.exe is moved aside and the stand-in waits in a folder put first on
// PATH. The original goes back at the end, or at the start of the next run if
// this one died. Then it runs uninstall.exe with each command line of a table
// and checks that it either shows its error box or hands the text, unchanged,
// to MsiExec.exe without waiting for it.
//
// Exit status: 0 every case passed; 1 some failed, each with its reason;
// 2 usage or setup error. Every wait polls against a deadline.

#include <windows.h>

#include <tlhelp32.h>

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const DWORD PollMs = 50;
const DWORD DeadlineMs = 60000;

const char ErrorCaption[] = "Error";
const char ErrorText[] = "Please run the Uninstall Application shortcut.";
const char Guid[] = "{12345678-1234-1234-1234-123456789ABC}";

struct Case {
    const char* Name;
    std::string Tail;     // what follows the quoted program path, blanks and all
    bool StartsInstaller; // false: the error box is expected
    std::string Expected; // the installer's parameters, when it is started
};

std::vector<Case> Cases()
{
    const std::string g = Guid;
    return {
        {"no arguments", "", false, ""},
        {"only a blank", " ", false, ""},
        {"text without a slash", " x " + g, false, ""},
        {"dash instead of slash", " -x " + g, false, ""},
        {"blank before the slash", "  /x " + g, false, ""},
        {"quoted switch", " \"/x\" " + g, false, ""},
        {"remove by product code", " /x " + g, true, "/x " + g},
        {"switch joined to the code", " /X" + g + " /qb", true, "/X" + g + " /qb"},
        {"quotes and inner blanks kept", " /x \"" + g + "\"  /l*v \"C:\\a b.log\"", true,
         "/x \"" + g + "\"  /l*v \"C:\\a b.log\""},
        {"lone slash", " /", true, "/"},
    };
}

std::string Failure;

bool Fail(const char* format, ...)
{
    char buf[2048];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buf, sizeof(buf), format, args);
    va_end(args);
    Failure = buf;
    return false;
}

std::string WindowsPath(std::string path)
{
    if (path.size() > 1 && path[0] == '/' && path[1] != '/')
        path = "Z:" + path;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadFileText(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    std::string text;
    char buf[4096];
    DWORD n = 0;
    while (ReadFile(file, buf, sizeof(buf), &n, nullptr) && n)
        text.append(buf, n);
    CloseHandle(file);
    return text;
}

// The value of "key=" in the stand-in's log, or "" with found false.
std::string LogValue(const std::string& log, const std::string& key, bool* found)
{
    std::string prefix = key + "=";
    size_t at = 0;
    while (at < log.size()) {
        size_t end = log.find('\n', at);
        if (end == std::string::npos)
            end = log.size();
        if (log.compare(at, prefix.size(), prefix) == 0) {
            *found = true;
            return log.substr(at + prefix.size(), end - at - prefix.size());
        }
        at = end + 1;
    }
    *found = false;
    return std::string();
}

std::string Text(HWND hwnd)
{
    char buf[1024] = {};
    DWORD_PTR n = 0;
    if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof(buf), reinterpret_cast<LPARAM>(buf),
                             SMTO_ABORTIFHUNG, 5000, &n))
        GetWindowTextA(hwnd, buf, sizeof(buf));
    return buf;
}

std::string ClassOf(HWND hwnd)
{
    char buf[256] = {};
    GetClassNameA(hwnd, buf, sizeof(buf));
    return buf;
}

struct Search {
    DWORD Pid;
    HWND Found;
};

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM param)
{
    Search* s = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == s->Pid && IsWindowVisible(hwnd) && ClassOf(hwnd) == "#32770") {
        s->Found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND DialogOf(DWORD pid)
{
    Search s = {pid, nullptr};
    EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&s));
    return s.Found;
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM param)
{
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
    return TRUE;
}

std::vector<HWND> Children(HWND parent)
{
    std::vector<HWND> out;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&out));
    return out;
}

ULONGLONG StartTime(HANDLE process)
{
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(process, &created, &ended, &kernel, &user))
        return 0;
    return (ULONGLONG(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// Processes that parent started: their parent id is its, and they began after
// it did (Wine soon hands out an ended process's id again). Wine's desktop
// process does not count.
std::vector<std::string> ChildProcesses(HANDLE parent, DWORD pid)
{
    std::vector<std::string> out;
    ULONGLONG born = StartTime(parent);
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE)
        return out;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snap, &entry); more; more = Process32Next(snap, &entry)) {
        if (entry.th32ParentProcessID != pid || entry.th32ProcessID == pid)
            continue;
        // Wine's user32 starts the desktop from the first program that needs it.
        if (lstrcmpiA(entry.szExeFile, "explorer.exe") == 0)
            continue;
        HANDLE child = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
        bool younger = child && StartTime(child) >= born;
        if (child)
            CloseHandle(child);
        if (younger)
            out.push_back(std::string(entry.szExeFile) + " (" +
                          std::to_string(entry.th32ProcessID) + ")");
    }
    CloseHandle(snap);
    return out;
}

// The standard icons a message box may show, to name what it shows.
struct StockIcon {
    const char* Name;
    LPCSTR Id;
};
const StockIcon StockIcons[] = {
    {"error", MAKEINTRESOURCEA(32513)},       // IDI_ERROR
    {"warning", MAKEINTRESOURCEA(32515)},     // IDI_WARNING
    {"information", MAKEINTRESOURCEA(32516)}, // IDI_INFORMATION
    {"question", MAKEINTRESOURCEA(32514)},    // IDI_QUESTION
};

// Pixels of an icon drawn on black and on white: where they agree it is opaque.
struct IconPixels {
    std::vector<COLORREF> Color;
    std::vector<bool> Opaque;
};

IconPixels Render(HICON icon, int size)
{
    IconPixels out;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ old = SelectObject(dc, bmp);
    std::vector<COLORREF> onBlack, onWhite;
    for (int pass = 0; pass < 2; ++pass) {
        RECT all = {0, 0, size, size};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(pass ? WHITE_BRUSH : BLACK_BRUSH)));
        DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
        std::vector<COLORREF>& px = pass ? onWhite : onBlack;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x)
                px.push_back(GetPixel(dc, x, y));
        }
    }
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    out.Color = onBlack;
    for (size_t i = 0; i < onBlack.size(); ++i)
        out.Opaque.push_back(onBlack[i] == onWhite[i]);
    return out;
}

// Which stock icon the screen shows at the control's top left, or nullptr.
const char* ShownIcon(HWND control)
{
    int size = GetSystemMetrics(SM_CXICON);
    POINT at = {0, 0};
    ClientToScreen(control, &at);
    HDC screen = GetDC(nullptr);
    std::vector<COLORREF> shown;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x)
            shown.push_back(GetPixel(screen, at.x + x, at.y + y));
    }
    ReleaseDC(nullptr, screen);
    for (const StockIcon& stock : StockIcons) {
        IconPixels ref = Render(LoadIconA(nullptr, stock.Id), size);
        size_t opaque = 0, same = 0;
        for (size_t i = 0; i < shown.size(); ++i) {
            if (ref.Opaque[i]) {
                ++opaque;
                same += ref.Color[i] == shown[i];
            }
        }
        if (opaque > shown.size() / 4 && same == opaque)
            return stock.Name;
    }
    return nullptr;
}

class Checker {
public:
    std::string Work;
    std::string Uninstall;
    std::string Log;       // this case's
    std::string Installer; // the stand-in, first on PATH
    HANDLE Release = nullptr;

    bool Run(const Case& c)
    {
        // A log of its own per case: a stand-in a failed case left behind
        // may still write to the one before.
        Log = Work + "\\msiexec-" + std::to_string(++Count) + ".log";
        DeleteFileA(Log.c_str());
        SetEnvironmentVariableA("FAKE_MSIEXEC_LOG", Log.c_str());
        ResetEvent(Release);
        std::string line = "\"" + Uninstall + "\"" + c.Tail;
        std::vector<char> buf(line.begin(), line.end());
        buf.push_back('\0');
        STARTUPINFOA si = {};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi = {};
        if (!CreateProcessA(nullptr, buf.data(), nullptr, nullptr, FALSE, 0, nullptr, Work.c_str(),
                            &si, &pi))
            return Fail("could not start %s (error %lu)", line.c_str(), GetLastError());
        CloseHandle(pi.hThread);
        bool ok = c.StartsInstaller ? CheckStarts(c, pi) : CheckRefuses(pi);
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
            // A failed case may leave it showing its box: end it so the next case starts clean.
            TerminateProcess(pi.hProcess, 1);
            WaitForSingleObject(pi.hProcess, DeadlineMs);
        }
        CloseHandle(pi.hProcess);
        SetEvent(Release);
        return ok;
    }

private:
    int Count = 0;

    bool WaitExit(HANDLE process, const char* what)
    {
        if (WaitForSingleObject(process, DeadlineMs) != WAIT_OBJECT_0)
            return Fail("uninstall.exe did not end %s within %lu s", what, DeadlineMs / 1000);
        DWORD code = 1;
        GetExitCodeProcess(process, &code);
        if (code != 0)
            return Fail("uninstall.exe ended %s with exit code %lu, not 0", what, code);
        return true;
    }

    bool CheckRefuses(const PROCESS_INFORMATION& pi)
    {
        HWND box = nullptr;
        for (DWORD waited = 0; !box; waited += PollMs) {
            box = DialogOf(pi.dwProcessId);
            if (box)
                break;
            if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0) {
                DWORD code = 0;
                GetExitCodeProcess(pi.hProcess, &code);
                return Fail("it ended (exit code %lu) without showing a message box%s", code,
                            Exists(Log) ? ", and MsiExec.exe was started" : "");
            }
            if (waited >= DeadlineMs)
                return Fail("no message box within %lu s", DeadlineMs / 1000);
            Sleep(PollMs);
        }

        std::string caption = Text(box);
        if (caption != ErrorCaption)
            return Fail("the message box's caption is \"%s\", not \"%s\"", caption.c_str(),
                        ErrorCaption);
        bool text = false;
        HWND icon = nullptr;
        std::vector<HWND> buttons;
        std::string seen;
        for (HWND child : Children(box)) {
            std::string cls = ClassOf(child);
            if (lstrcmpiA(cls.c_str(), "Button") == 0) {
                buttons.push_back(child);
            } else if (lstrcmpiA(cls.c_str(), "Static") == 0) {
                LONG style = GetWindowLongA(child, GWL_STYLE);
                if ((style & SS_TYPEMASK) == SS_ICON) {
                    icon = child;
                } else {
                    std::string t = Text(child);
                    seen += " \"" + t + "\"";
                    text = text || t == ErrorText;
                }
            }
        }
        if (!text)
            return Fail("the message box does not say \"%s\"; its text:%s", ErrorText,
                        seen.empty() ? " none" : seen.c_str());
        if (!icon)
            return Fail("the message box shows no icon");
        // Painting may lag behind the window's appearance: wait for a known icon.
        const char* shown = nullptr;
        for (DWORD waited = 0; !(shown = ShownIcon(icon)); waited += PollMs) {
            if (waited >= DeadlineMs)
                return Fail("the message box's icon is none of the standard ones");
            Sleep(PollMs);
        }
        if (lstrcmpA(shown, "error") != 0)
            return Fail("the message box shows the %s icon, not the error icon", shown);
        if (GetWindow(box, GW_OWNER))
            return Fail("the message box has an owner window; it should stand alone");
        if (buttons.size() != 1 || GetDlgCtrlID(buttons[0]) != IDOK)
            return Fail("the message box should have one button, OK; it has %u",
                        unsigned(buttons.size()));

        // While the box is up nothing may have been started.
        std::vector<std::string> started = ChildProcesses(pi.hProcess, pi.dwProcessId);
        if (!started.empty())
            return Fail("it started %s as well as showing the box", started[0].c_str());
        if (Exists(Log))
            return Fail("it started MsiExec.exe as well as showing the box");

        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(buttons[0]));
        if (!WaitExit(pi.hProcess, "after OK"))
            return false;
        if (Exists(Log))
            return Fail("MsiExec.exe was started");
        return true;
    }

    bool CheckStarts(const Case& c, const PROCESS_INFORMATION& pi)
    {
        for (DWORD waited = 0; !Exists(Log); waited += PollMs) {
            if (DialogOf(pi.dwProcessId))
                return Fail("it showed a message box instead of starting MsiExec.exe");
            if (waited >= DeadlineMs)
                return Fail("MsiExec.exe was not started within %lu s", DeadlineMs / 1000);
            Sleep(PollMs);
        }
        std::string log = ReadFileText(Log);
        bool found = false;
        std::string args = LogValue(log, "args", &found);
        if (!found)
            return Fail("the stand-in's log has no args line:\n%s", log.c_str());
        if (args != c.Expected)
            return Fail("MsiExec.exe got [%s], not [%s] (its command line: %s)", args.c_str(),
                        c.Expected.c_str(), LogValue(log, "cmdline", &found).c_str());
        std::string module = LogValue(log, "module", &found);
        if (lstrcmpiA(module.c_str(), Installer.c_str()) != 0)
            return Fail("the MsiExec.exe started was %s, not %s", module.c_str(),
                        Installer.c_str());

        // The stand-in holds on until released: uninstall.exe must end meanwhile.
        DWORD fakePid = strtoul(LogValue(log, "pid", &found).c_str(), nullptr, 10);
        HANDLE fake = OpenProcess(SYNCHRONIZE, FALSE, fakePid);
        bool ok = WaitExit(pi.hProcess, "while MsiExec.exe ran");
        if (ok && fake && WaitForSingleObject(fake, 0) != WAIT_TIMEOUT)
            ok = Fail("MsiExec.exe ended before it was released: the hold did not work");
        SetEvent(Release);
        if (fake) {
            WaitForSingleObject(fake, DeadlineMs);
            CloseHandle(fake);
        }
        return ok;
    }
};

void RemoveTree(const std::string& dir)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA((dir + "\\" + fd.cFileName).c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
}

// Moves the system's msiexec.exe aside for the run; Restore puts it back.
class InstallerAside {
public:
    std::string Target;
    std::string Saved;

    InstallerAside()
    {
        char sys[MAX_PATH] = {};
        GetSystemDirectoryA(sys, MAX_PATH);
        Target = std::string(sys) + "\\msiexec.exe";
        Saved = Target + ".uninstall-check-saved";
    }

    bool Move()
    {
        Restore();
        return !Exists(Target) || MoveFileA(Target.c_str(), Saved.c_str());
    }

    // Whatever lies at Target beside a saved copy is not the original.
    void Restore()
    {
        if (Exists(Saved))
            MoveFileExA(Saved.c_str(), Target.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
};

bool UnderWine()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: UninstallCheck UNINSTALL_EXE FAKE_MSIEXEC_EXE\n", stderr);
        return 2;
    }
    if (!UnderWine()) {
        // On Windows the system's msiexec.exe is not ours to move aside.
        std::fputs("uninstall-check: runs only under Wine\n", stderr);
        return 2;
    }
    Checker checker;
    checker.Uninstall = WindowsPath(argv[1]);
    std::string fake = WindowsPath(argv[2]);
    if (!Exists(checker.Uninstall) || !Exists(fake)) {
        std::fprintf(stderr, "uninstall-check: no %s\n",
                     Exists(fake) ? checker.Uninstall.c_str() : fake.c_str());
        return 2;
    }

    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    // One fixed name, so a run clears what a killed one left.
    checker.Work = std::string(temp) + "uninstall-check";
    RemoveTree(checker.Work);
    if (!CreateDirectoryA(checker.Work.c_str(), nullptr)) {
        std::fprintf(stderr, "uninstall-check: cannot make %s\n", checker.Work.c_str());
        return 2;
    }
    checker.Installer = checker.Work + "\\MsiExec.exe";
    if (!CopyFileA(fake.c_str(), checker.Installer.c_str(), FALSE)) {
        std::fprintf(stderr, "uninstall-check: cannot copy %s into %s\n", fake.c_str(),
                     checker.Work.c_str());
        RemoveTree(checker.Work);
        return 2;
    }
    InstallerAside aside;
    if (!aside.Move()) {
        std::fprintf(stderr, "uninstall-check: cannot move %s aside (error %lu)\n",
                     aside.Target.c_str(), GetLastError());
        RemoveTree(checker.Work);
        return 2;
    }
    std::vector<char> path(32768);
    DWORD n = GetEnvironmentVariableA("PATH", path.data(), DWORD(path.size()));
    std::string search =
        checker.Work + (n && n < path.size() ? ";" + std::string(path.data()) : "");
    SetEnvironmentVariableA("PATH", search.c_str());

    std::string hold = "UninstallCheck-release-" + std::to_string(GetCurrentProcessId());
    checker.Release = CreateEventA(nullptr, TRUE, FALSE, hold.c_str());
    SetEnvironmentVariableA("FAKE_MSIEXEC_HOLD", hold.c_str());

    int passed = 0, failed = 0;
    for (const Case& c : Cases()) {
        Failure.clear();
        if (checker.Run(c)) {
            std::printf("PASS: %s\n", c.Name);
            ++passed;
        } else {
            std::printf("FAIL: %s: %s\n", c.Name, Failure.c_str());
            ++failed;
        }
        std::fflush(stdout);
    }
    CloseHandle(checker.Release);
    aside.Restore();
    RemoveTree(checker.Work);
    std::printf("uninstall: %d passed, %d failed\n", passed, failed);
    return failed ? 1 : 0;
}
