#include "win32/Strings.h"

#include <windows.h>

std::wstring Widen(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    int len = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(len > 0 ? len : 0, L'\0');
    if (len > 0)
        MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), &wide[0], len);
    return wide;
}

static std::string NarrowN(const wchar_t* text, int size)
{
    if (!text || size <= 0)
        return std::string();
    int len = WideCharToMultiByte(CP_ACP, 0, text, size, nullptr, 0, nullptr, nullptr);
    std::string narrow(len > 0 ? len : 0, '\0');
    if (len > 0)
        WideCharToMultiByte(CP_ACP, 0, text, size, &narrow[0], len, nullptr, nullptr);
    return narrow;
}

std::string Narrow(const wchar_t* text)
{
    return text ? NarrowN(text, int(wcslen(text))) : std::string();
}

std::string Narrow(const std::wstring& text) { return NarrowN(text.data(), int(text.size())); }
