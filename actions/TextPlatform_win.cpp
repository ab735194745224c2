#include "actions/TextPlatform.h"

#include <windows.h>

#include <vector>

namespace {

std::string LeadingChars(const std::string& text, size_t count)
{
    if (text.empty() || count == 0)
        return std::string();
    int wideLen = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
    if (wideLen <= 0)
        return text.substr(0, count);
    std::vector<wchar_t> wide(wideLen);
    MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), wide.data(), wideLen);
    int keep = int(count) < wideLen ? int(count) : wideLen;
    int len = WideCharToMultiByte(CP_ACP, 0, wide.data(), keep, nullptr, 0, nullptr, nullptr);
    if (len <= 0)
        return std::string();
    std::string result(len, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), keep, &result[0], len, nullptr, nullptr);
    return result;
}

std::string KeyName(unsigned vk, bool extended)
{
    UINT scan = MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
    if (scan == 0)
        return std::string();
    LONG param = LONG(scan << 16);
    if (extended)
        param |= 1 << 24;
    char name[256];
    int len = GetKeyNameTextA(param, name, sizeof name);
    return len > 0 ? std::string(name, len) : std::string();
}

} // namespace

TextPlatform& CurrentTextPlatform()
{
    static TextPlatform platform{LeadingChars, KeyName};
    return platform;
}
