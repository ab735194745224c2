// Entry point of scheduler.exe: the forms are created in a fixed order (the
// main form's start-up decides the run mode), then the message loop runs.

#include <windows.h>

#include "app/CommandLine.h"
#include "app/Globals.h"
#include "runner/ImageForm.h"
#include "runner/MsgForm.h"
#include "ui/AboutForm.h"
#include "ui/AccountForm.h"
#include "ui/FindWindowForm.h"
#include "ui/JobForm.h"
#include "ui/MainForm.h"
#include "ui/MakeParamForm.h"
#include "ui/TaskOptionForm.h"
#include "ui/TaskWizardForm.h"
#include "update/SettingsForm.h"
#include "win32/Application.h"

namespace {

template <class T> void CreateForm(T*& global)
{
    global = new T;
    Application.CreateForm(global);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    ProgramArgs = ProgramArguments(GetCommandLineA());
    if (!Application.Initialize(instance))
        return 0;
    CrossCursor = LoadCursorA(instance, "CROSSCUR");

    CreateForm(MainForm);
    if (!Application.Terminated()) {
        CreateForm(MsgForm);
        CreateForm(ImageForm);
        if (ProgramArgs.empty()) {
            CreateForm(AboutForm);
            CreateForm(AccountForm);
            CreateForm(FindWindowForm);
            CreateForm(JobForm);
            CreateForm(TaskOptionForm);
            CreateForm(MakeParamForm);
            CreateForm(SettingsForm);
            CreateForm(TaskWizardForm);
        }
    }
    Application.Run();
    return 0;
}
