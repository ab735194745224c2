#include "win32/Registry.h"

#include <vector>

bool TRegistry::OpenKey(const std::string& path, bool canCreate)
{
    m_key.Reset();
    LONG rc = canCreate ? RegCreateKeyExA(m_root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                          m_access, nullptr, m_key.Put(), nullptr)
                        : RegOpenKeyExA(m_root, path.c_str(), 0, m_access, m_key.Put());
    if (rc != ERROR_SUCCESS)
        m_key.Release();
    return rc == ERROR_SUCCESS;
}

bool TRegistry::ReadString(const char* name, std::string* value) const
{
    DWORD type = 0, size = 0;
    if (!m_key || RegQueryValueExA(m_key.Get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    std::vector<char> buf(size + 1, '\0');
    if (RegQueryValueExA(m_key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buf.data()),
                         &size) != ERROR_SUCCESS)
        return false;
    value->assign(buf.data());
    return true;
}

bool TRegistry::ReadDword(const char* name, DWORD* value) const
{
    return ReadBinary(name, value, sizeof *value);
}

bool TRegistry::ReadBinary(const char* name, void* buffer, DWORD size) const
{
    DWORD got = size;
    return m_key && RegQueryValueExA(m_key.Get(), name, nullptr, nullptr,
                                     static_cast<BYTE*>(buffer), &got) == ERROR_SUCCESS;
}

bool TRegistry::WriteString(const char* name, const std::string& value)
{
    return m_key && RegSetValueExA(m_key.Get(), name, 0, REG_SZ,
                                   reinterpret_cast<const BYTE*>(value.c_str()),
                                   DWORD(value.size() + 1)) == ERROR_SUCCESS;
}

bool TRegistry::WriteDword(const char* name, DWORD value)
{
    return m_key && RegSetValueExA(m_key.Get(), name, 0, REG_DWORD,
                                   reinterpret_cast<const BYTE*>(&value), sizeof value) == ERROR_SUCCESS;
}

bool TRegistry::WriteBinary(const char* name, const void* buffer, DWORD size)
{
    return m_key && RegSetValueExA(m_key.Get(), name, 0, REG_BINARY,
                                   static_cast<const BYTE*>(buffer), size) == ERROR_SUCCESS;
}

bool TRegistry::DeleteValue(const char* name)
{
    return m_key && RegDeleteValueA(m_key.Get(), name) == ERROR_SUCCESS;
}
