#include "update/CheckUpdateThd.h"

#include "app/Messages.h"
#include "ui/MainForm.h"

TCheckUpdateThd* CheckUpdateThd = nullptr;
double OwnVersion = 0;
double ServerVersion = 0;

void TCheckUpdateThd::Execute()
{
    // No server is asked yet: report a check that did not get through.
    if (MainForm && MainForm->Handle())
        PostMessageA(MainForm->Handle(), WM_UPDATECHECKED, 0, 0);
}
