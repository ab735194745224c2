#include "app/Settings.h"

#include "win32/Handles.h"

const char SettingsKey[] = "Software\\Brantel\\Scheduler";

int NewTaskMethod = 1;
DWORD CheckUpdateInterval = 10;

namespace {

bool OpenSettingsKey(UniqueKey* key)
{
    return RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_ALL_ACCESS, nullptr, key->Put(), nullptr) == ERROR_SUCCESS;
}

// Reads into a copy so that a short or failed read leaves the value as it was.
bool ReadDword(HKEY key, const char* name, DWORD* value)
{
    DWORD data = *value, size = sizeof data;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&data), &size) !=
        ERROR_SUCCESS)
        return false;
    *value = data;
    return true;
}

bool WriteDword(HKEY key, const char* name, DWORD value)
{
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof value) == ERROR_SUCCESS;
}

} // namespace

bool LoadSettings()
{
    UniqueKey key;
    if (!OpenSettingsKey(&key))
        return false;
    DWORD method = DWORD(NewTaskMethod);
    bool ok = ReadDword(key.Get(), "NewTaskMethod", &method);
    NewTaskMethod = int(method);
    ok = ReadDword(key.Get(), "CheckUpdateInterval", &CheckUpdateInterval) && ok;
    return ok;
}

bool SaveSettings()
{
    UniqueKey key;
    if (!OpenSettingsKey(&key))
        return false;
    bool ok = WriteDword(key.Get(), "NewTaskMethod", DWORD(NewTaskMethod));
    ok = WriteDword(key.Get(), "CheckUpdateInterval", CheckUpdateInterval) && ok;
    return ok;
}
