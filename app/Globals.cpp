#include "app/Globals.h"

DWORD OsMajorVersion = 0;
std::string TempFolder;
std::string TasksFolder;
std::string TempActionFile;
std::string ProgramFolder;
HCURSOR CrossCursor = nullptr;
CRunTask* RunTask = nullptr;
std::vector<std::string> ProgramArgs;

std::string WithBackslash(std::string folder)
{
    if (folder.empty() || folder.back() != '\\')
        folder += '\\';
    return folder;
}

std::string ProgramFileFolder()
{
    char path[MAX_PATH];
    DWORD len = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string file(path, len < MAX_PATH ? len : 0);
    size_t slash = file.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
}
