#pragma once
// The two things the action summaries need from the platform. Windows answers
// them from the system code page and the keyboard layout; the native build
// has plain stand-ins. Tests may replace either.

#include <cstddef>
#include <string>

struct TextPlatform {
    // The first count characters of an 8-bit text, counted after conversion
    // from the system code page to UTF-16, given back as 8-bit text.
    std::string (*LeadingChars)(const std::string& text, size_t count);
    // The name the system gives a key (by its scan code), or empty.
    std::string (*KeyName)(unsigned virtualKey, bool extended);
};

TextPlatform& CurrentTextPlatform();
