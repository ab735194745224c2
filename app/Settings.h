#pragma once
// The user's preferences, kept under HKEY_CURRENT_USER\Software\Brantel\Scheduler.

#include <windows.h>

extern const char SettingsKey[];

// What "New" does: 1 the wizard, 2 the options dialog, anything else a menu of both.
extern int NewTaskMethod;
// Days between automatic update checks; compared unsigned.
extern DWORD CheckUpdateInterval;

// Both return true only when the key opened and both values were read or
// written; a value that cannot be read keeps its current value.
bool LoadSettings();
bool SaveSettings();
