#include "win32/Dialogs.h"

void ErrorBox(HWND owner, const std::string& text)
{
    MessageBoxA(owner, text.c_str(), "Error", MB_OK | MB_ICONERROR);
}

void WarningBox(HWND owner, const std::string& text)
{
    MessageBoxA(owner, text.c_str(), "Warning", MB_OK | MB_ICONWARNING);
}

bool AskYesNo(HWND owner, const std::string& text, const char* caption, UINT icon)
{
    return MessageBoxA(owner, text.c_str(), caption, MB_YESNO | icon) == IDYES;
}
