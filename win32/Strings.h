#pragma once
// Text inside the program is 8-bit in the system code page; wide strings
// appear only at the COM and W-API boundary, through these two helpers.

#include <string>

std::wstring Widen(const std::string& text);
std::string Narrow(const wchar_t* text);
std::string Narrow(const std::wstring& text);
