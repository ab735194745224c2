#pragma once
// A registry key opened for reading and writing values.

#include <windows.h>

#include <string>

#include "win32/Handles.h"

class TRegistry {
public:
    TRegistry(HKEY root, REGSAM access = KEY_ALL_ACCESS) : m_root(root), m_access(access) {}

    // Opens a key below the root; creates it when canCreate.
    bool OpenKey(const std::string& path, bool canCreate);
    void CloseKey() { m_key.Reset(); }
    HKEY Key() const { return m_key.Get(); }

    bool ReadString(const char* name, std::string* value) const;
    bool ReadDword(const char* name, DWORD* value) const;
    bool ReadBinary(const char* name, void* buffer, DWORD size) const;
    bool WriteString(const char* name, const std::string& value);
    bool WriteDword(const char* name, DWORD value);
    bool WriteBinary(const char* name, const void* buffer, DWORD size);
    bool DeleteValue(const char* name);

private:
    HKEY m_root;
    REGSAM m_access;
    UniqueKey m_key;
};
