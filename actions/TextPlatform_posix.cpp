// Stand-ins for a single-byte code page and a US keyboard layout.

#include "actions/TextPlatform.h"

namespace {

std::string LeadingBytes(const std::string& text, size_t count)
{
    return text.substr(0, count);
}

std::string UsKeyName(unsigned vk, bool extended)
{
    struct Name {
        unsigned Vk;
        const char* Plain;
        const char* Extended;
    };
    static const Name names[] = {
        {0x03, "Break", "Break"},     {0x0C, "Num 5", "Num 5"},
        {0x10, "Shift", "Shift"},     {0x11, "Ctrl", "Right Ctrl"},
        {0x12, "Alt", "Right Alt"},   {0x13, "Pause", "Pause"},
        {0x14, "Caps Lock", "Caps Lock"},
        {0x2C, "Sys Req", "Prnt Scrn"},
        {0x5B, "Left Windows", "Left Windows"},
        {0x5C, "Right Windows", "Right Windows"},
        {0x5D, "Application", "Application"},
        {0x6A, "Num *", "Num *"},     {0x6B, "Num +", "Num +"},
        {0x6D, "Num -", "Num -"},     {0x6E, "Num Del", "Num Del"},
        {0x6F, "/", "Num /"},         {0x90, "Pause", "Num Lock"},
        {0x91, "Scroll Lock", "Scroll Lock"},
        {0xA0, "Shift", "Shift"},     {0xA1, "Right Shift", "Right Shift"},
        {0xA2, "Ctrl", "Ctrl"},       {0xA3, "Right Ctrl", "Right Ctrl"},
        {0xA4, "Alt", "Alt"},         {0xA5, "Right Alt", "Right Alt"},
        {0xBA, ";", ";"},             {0xBB, "=", "="},
        {0xBC, ",", ","},             {0xBD, "-", "-"},
        {0xBE, ".", "."},             {0xBF, "/", "Num /"},
        {0xC0, "`", "`"},             {0xDB, "[", "["},
        {0xDC, "\\", "\\"},           {0xDD, "]", "]"},
        {0xDE, "'", "'"},             {0xE2, "\\", "\\"},
    };
    for (const Name& n : names)
        if (n.Vk == vk)
            return extended ? n.Extended : n.Plain;
    return std::string();
}

} // namespace

TextPlatform& CurrentTextPlatform()
{
    static TextPlatform platform{LeadingBytes, UsKeyName};
    return platform;
}
