// A stand-in for Windows Installer's MsiExec.exe in the uninstall tests.
//
// It writes what it was started with to the file named by FAKE_MSIEXEC_LOG:
//   args=<the command line after the program's name and one blank>
//   cmdline=<GetCommandLineA, whole>
//   module=<its own path>
//   pid=<its process id>
// The file appears whole (written aside, then renamed), so a reader that sees
// it never sees half of it. If FAKE_MSIEXEC_HOLD names an event, it then waits
// for that event, so a test can tell whether its starter waited for it.

#include <windows.h>

#include <string>

namespace {

// The same split as Windows' own: the name ends at a blank outside quotes.
const char* AfterProgramName(const char* line)
{
    bool quoted = false;
    while (*line && (quoted || (*line != ' ' && *line != '\t'))) {
        if (*line == '"')
            quoted = !quoted;
        ++line;
    }
    if (*line == ' ' || *line == '\t')
        ++line;
    return line;
}

std::string Env(const char* name)
{
    char buf[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableA(name, buf, sizeof(buf));
    return n && n < sizeof(buf) ? std::string(buf, n) : std::string();
}

bool WriteLog(const std::string& path, const std::string& text)
{
    std::string aside = path + ".part";
    HANDLE file = CreateFileA(aside.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr) &&
              written == text.size();
    ok = CloseHandle(file) && ok;
    return ok && MoveFileExA(aside.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const char* line = GetCommandLineA();
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);

    std::string log = Env("FAKE_MSIEXEC_LOG");
    if (log.empty())
        return 2;
    std::string text = "args=" + std::string(AfterProgramName(line)) + "\n";
    text += "cmdline=" + std::string(line) + "\n";
    text += "module=" + std::string(module) + "\n";
    text += "pid=" + std::to_string(GetCurrentProcessId()) + "\n";
    if (!WriteLog(log, text))
        return 3;

    std::string hold = Env("FAKE_MSIEXEC_HOLD");
    if (!hold.empty()) {
        HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, hold.c_str());
        if (release) {
            // Bounded, so a test that died never leaves us behind for good.
            WaitForSingleObject(release, 5 * 60 * 1000);
            CloseHandle(release);
        }
    }
    return 0;
}
