// uninstall.exe: the target of the uninstall entry Windows keeps for us.
// Given the installer's switches (such as "/x {product code}") it hands them
// to Windows Installer; started any other way it tells the user what to run.

#include <windows.h>

#include <shellapi.h>

namespace {

// The text after the program's name and the one blank that separates them.
// lpCmdLine would drop every blank there; we keep all but the first, so a
// command line like "uninstall.exe  /x" reads as not starting with a slash.
const char* ArgumentText(const char* line)
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

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const char* args = ArgumentText(GetCommandLineA());
    if (args[0] == '/') {
        // Windows Installer shows its own progress and errors; we do not wait.
        ShellExecuteA(nullptr, "open", "MsiExec.exe", args, nullptr, SW_SHOW);
    } else {
        MessageBoxA(nullptr, "Please run the Uninstall Application shortcut.", "Error",
                    MB_OK | MB_ICONERROR);
    }
    return 0;
}
