#pragma once
// Process-wide values of the Windows program. Folder values end with a
// backslash; texts are in the system code page.

#include <windows.h>

#include <string>
#include <vector>

class CRunTask;

extern DWORD OsMajorVersion;
extern std::string TempFolder;
extern std::string TasksFolder;
extern std::string TempActionFile;
extern std::string ProgramFolder;
extern HCURSOR CrossCursor;
extern CRunTask* RunTask;
// The program's arguments, without its own name.
extern std::vector<std::string> ProgramArgs;

// The folder of the program file, with its trailing backslash.
std::string ProgramFileFolder();
// A folder path with a backslash at its end.
std::string WithBackslash(std::string folder);
