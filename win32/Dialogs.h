#pragma once
// The program's message boxes: "Error" with the error icon and "Warning"
// with the warning icon.

#include <windows.h>

#include <string>

void ErrorBox(HWND owner, const std::string& text);
void WarningBox(HWND owner, const std::string& text);
// Yes/No question; true for Yes.
bool AskYesNo(HWND owner, const std::string& text, const char* caption, UINT icon);
