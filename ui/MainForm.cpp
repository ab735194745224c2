#include "ui/MainForm.h"

#include <mmsystem.h>
#include <objbase.h>

#include "app/CommandLine.h"
#include "app/Globals.h"
#include "app/Messages.h"
#include "app/Service.h"
#include "app/Settings.h"
#include "runner/RunTask.h"
#include "taskstore/TaskScheduler_win.h"
#include "ui/FindWindowForm.h"
#include "ui/HookWindow.h"
#include "ui/JobForm.h"
#include "update/CheckUpdateThd.h"
#include "win32/Application.h"
#include "win32/Dialogs.h"
#include "win32/Registry.h"

TMainForm* MainForm = nullptr;

namespace {

const char RunningEventName[] = "VemkoSchedulerRunning";
const char MainCaption[] = "Scheduler";

std::string FirstArgument()
{
    return ProgramArgs.empty() ? std::string() : LowerCaseAscii(ProgramArgs[0]);
}

std::string UserDecimalSeparator()
{
    char sep[8] = ".";
    if (!GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, sep, sizeof sep))
        lstrcpyA(sep, ".");
    return sep;
}

} // namespace

TMainForm::TMainForm()
{
    FormClassName = "TMainForm";
    DesignCaption = MainCaption;
    DesignClientWidth = 475;
    DesignClientHeight = 323;
    FontHeight = 12;
    HelpButton = true;
    Position = FormPosition::ScreenCenter;
    ProgramFolder = ProgramFileFolder();
    SetWindowProcHook([this](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
        return MainWindowProc(msg, wParam, lParam, result);
    });
    TrayiconTimer.SetInterval(1000);
    TrayiconTimer.OnTimer = [this] { TrayiconTimerTimer(); };
    PopupMenuRunTask.Add("&Stop", [this] { Close1Click(); });
}

TMainForm::~TMainForm() = default;

void TMainForm::CreateControls()
{
    // A run never shows the main window: it only receives the run's messages.
    if (FirstArgument() == "-run")
        return;
    lblTasks.Create(this, "&Tasks:", 8, 8, 150, 14);
    listTasks.Create(this, 8, 24, 200, 258, 14);
    listTasks.SetAnchors(AnchorLeft | AnchorTop | AnchorBottom);
    lblSummary.Create(this, "&Summary:", 216, 8, 150, 14);
    memoComment.Create(this, 216, 24, 251, 258, true);
    memoComment.SetAnchors(AnchorAll);

    const int y = 290, h = 25;
    btnHelp.Create(this,
                   static_cast<HICON>(LoadImageA(nullptr, IDI_QUESTION, IMAGE_ICON, Scale(16),
                                                 Scale(16), LR_SHARED)),
                   "Help", 8, y, 25, h);
    btnTaskNew.Create(this, "&New", 38, y, 56, h);
    btnTaskModify.Create(this, "&Edit", 98, y, 56, h);
    btnTaskDel.Create(this, "&Delete", 158, y, 56, h);
    btnTaskRun.Create(this, "&Run", 218, y, 56, h);
    btnSettings.Create(this, "Sett&ings", 291, y, 56, h);
    btnAbout.Create(this, "&About", 351, y, 56, h);
    btnClose.Create(this, "E&xit", 411, y, 56, h);
    for (TControl* c : {static_cast<TControl*>(&btnHelp), static_cast<TControl*>(&btnTaskNew),
                        static_cast<TControl*>(&btnTaskModify), static_cast<TControl*>(&btnTaskDel),
                        static_cast<TControl*>(&btnTaskRun)})
        c->SetAnchors(AnchorLeft | AnchorBottom);
    for (TControl* c : {&btnSettings, &btnAbout, &btnClose})
        c->SetAnchors(AnchorRight | AnchorBottom);
    btnTaskModify.SetEnabled(false);
    btnTaskDel.SetEnabled(false);
    btnTaskRun.SetEnabled(false);
    btnClose.OnClick = [this] { Close(); };
}

void TMainForm::FormCanResize(int& newWidth, int& newHeight, bool&)
{
    if (newWidth < Scale(483))
        newWidth = Scale(483);
    if (newHeight < Scale(357))
        newHeight = Scale(357);
}

void TMainForm::FormCreate()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (GetVersionExA(&version))
        OsMajorVersion = version.dwMajorVersion;
    Application.SetTitle(Caption());

    const std::string first = FirstArgument();
    char temp[MAX_PATH + 1];
    DWORD len = GetTempPathA(MAX_PATH, temp);
    if (len == 0 || len > MAX_PATH) {
        if (first != "-run")
            ErrorBox(Handle(), "Can not get system temprary directory");
        Application.ShowMainForm = false;
        Application.Terminate();
        return;
    }
    TempFolder = WithBackslash(std::string(temp, len));

    if (first == "-run") {
        StartRunMode();
        return;
    }

    if (EnsureTaskSchedulerService() != 0)
        WarningBox(nullptr, "Can not start Task Scheduler service. Please start it manually. "
                            "Otherwise the tasks won't run.");
    if (!ProgramArgs.empty()) {
        // "-service" has done its work; any other argument ends silently.
        Application.ShowMainForm = false;
        Application.Terminate();
        return;
    }
    StartInteractive();
}

void TMainForm::StartRunMode()
{
    m_runMode = true;
    Application.ShowMainForm = false;
    const std::string name = ProgramArgs.size() > 1 ? ProgramArgs[1] : std::string();
    SetCaption(name);
    PopupMenuRunTask.SetCaption(0, "Stop task \"" + name + "\"");

    m_tray.reset(new TTrayIcon);
    m_tray->SetHint("Scheduler is running task \"" + name + "\"");
    m_tray->SetIcon(LoadIconA(Application.Instance(), "TRAYICON"));
    m_tray->PopupMenu = &PopupMenuRunTask;
    if (!m_tray->Show())
        TrayiconTimer.SetEnabled(true);

    RunTask = new CRunTask;
    RunTask->Run(name);
}

void TMainForm::StartInteractive()
{
    // One interactive instance at a time.
    m_runningEvent.Reset(CreateEventA(nullptr, FALSE, FALSE, RunningEventName));
    if (m_runningEvent && GetLastError() == ERROR_ALREADY_EXISTS) {
        Application.ShowMainForm = false;
        Application.Terminate();
        return;
    }

    if (!StartHookWindow(Handle())) {
        ErrorBox(nullptr, "Create window failed.");
        Application.ShowMainForm = false;
        Application.Terminate();
        return;
    }

    // Read access is enough, and is what a standard user gets on this key.
    std::string folder;
    TRegistry registry(HKEY_LOCAL_MACHINE, KEY_READ);
    if (registry.OpenKey("Software\\Microsoft\\SchedulingAgent", false))
        registry.ReadString("TasksFolder", &folder);
    registry.CloseKey();
    if (folder.empty()) {
        ErrorBox(nullptr, "Can not get system task scheduler directory");
        Application.ShowMainForm = false;
        Application.Terminate();
        return;
    }
    char expanded[MAX_PATH];
    DWORD len = ExpandEnvironmentStringsA(folder.c_str(), expanded, MAX_PATH);
    if (len > 0 && len <= MAX_PATH)
        folder = expanded;
    TasksFolder = WithBackslash(folder);
    TempActionFile = TempFolder + "ATask.tmp";

    if (FAILED(CoInitialize(nullptr))) {
        ErrorBox(nullptr, "Initialize COM faild");
        Application.ShowMainForm = false;
        Application.Terminate();
        return;
    }
    m_comInitialized = true;

    LoadSettings();
    if (!CheckUpdateThd) {
        CheckUpdateThd = new TCheckUpdateThd;
        CheckUpdateThd->FreeOnTerminate = true;
        CheckUpdateThd->Manual = false;
        CheckUpdateThd->Resume();
    }

    PostMessageA(Handle(), WM_FILLTASKLIST, 0, 0);
    Application.ShowMainForm = true;
}

void TMainForm::FillTaskList()
{
    ListTasks(CreateComScheduler, ProgramTaskEnvironment(),
              [this](MyTask* task) { listTasks.Add(task->Name, task, task->Enabled); });
}

bool TMainForm::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT* result)
{
    if (msg != WM_FILLTASKLIST)
        return false;
    FillTaskList();
    *result = 0;
    return true;
}

void TMainForm::FreeTaskRecords()
{
    for (int i = 0; i < listTasks.Count(); ++i) {
        auto* task = static_cast<MyTask*>(listTasks.Object(i));
        listTasks.SetObject(i, nullptr);
        if (task) {
            FreeJobList(&task->Jobs);
            delete task;
        }
    }
}

void TMainForm::TrayiconTimerTimer()
{
    if (m_tray && m_tray->Show())
        TrayiconTimer.SetEnabled(false);
}

void TMainForm::Close1Click() { Close(); }

void TMainForm::FormClose(CloseAction&)
{
    if (!m_runMode)
        return;
    if (RunTask) {
        RunTask->Stop();
        delete RunTask;
        RunTask = nullptr;
    }
    TrayiconTimer.SetEnabled(false);
    if (m_tray && m_tray->Visible())
        m_tray->Hide();
}

void TMainForm::FormDestroy()
{
    // A run that never got going (its task could not be loaded) ends here.
    if (RunTask) {
        delete RunTask;
        RunTask = nullptr;
    }
    if (m_tray)
        m_tray->Hide();
    FreeTaskRecords();
    StopHookWindow();
    if (m_comInitialized) {
        CoUninitialize();
        m_comInitialized = false;
    }
}

void TMainForm::UpdateChecked(bool succeeded)
{
    if (succeeded) {
        std::string caption = MainCaption;
        if (ServerVersion > OwnVersion)
            caption += " (Version " + FormatVersion(ServerVersion, UserDecimalSeparator()) +
                       " is available)";
        SetCaption(caption);
        Application.SetTitle(caption);
    }
    CheckUpdateThd = nullptr;
}

bool TMainForm::MainWindowProc(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    switch (msg) {
    case WM_JOBDONE:
        if (JobTestRunning) {
            if (JobForm)
                JobForm->EndTest();
        } else if (RunTask) {
            RunTask->OnJobDone();
        }
        *result = 0;
        return true;
    case MM_MCINOTIFY:
        if (!JobTestRunning && RunTask)
            RunTask->OnMciNotify(wParam, lParam);
        *result = 0;
        return true;
    case WM_COPYDATA: {
        auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (!data || data->dwData != CopyDataHookCommand)
            return false;
        if (FindWindowForm && FindWindowForm->Capturing())
            FindWindowForm->OnCommandCaptured(data->lpData);
        *result = TRUE;
        return true;
    }
    case WM_UPDATECHECKED:
        UpdateChecked(wParam == 1);
        *result = 0;
        return true;
    }
    return false;
}
