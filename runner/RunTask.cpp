#include "runner/RunTask.h"

#include "actions/IniFile.h"
#include "actions/JobIni.h"
#include "actions/JobPack.h"
#include "app/Globals.h"
#include "taskstore/TaskScheduler_win.h"
#include "ui/MainForm.h"
#include "win32/Application.h"

JobBgMusic* BgMusicJob = nullptr;

// The executors of these kinds are not part of the program yet; until they
// are, the run treats their actions as done at once.
void StartBgMusic() {}
void StopBgMusic()
{
    MyJob* job = BgMusicJob;
    BgMusicJob = nullptr;
    FreeJob(&job);
}
void ChangeWallpaper(const JobWallpaper*) {}
bool DoShutdown(const JobShut*, bool) { return true; }

CRunTask::CRunTask() { m_comInitialized = SUCCEEDED(CoInitialize(nullptr)); }

CRunTask::~CRunTask()
{
    MyJob* shutdown = m_pendingShutdown;
    FreeJob(&shutdown);
    if (m_task) {
        FreeJobList(&m_task->Jobs);
        delete m_task;
    }
    if (m_comInitialized)
        CoUninitialize();
}

bool CRunTask::LoadTaskActions(MyTask* task)
{
    std::unique_ptr<ITaskStoreScheduler> scheduler;
    if (TsFailed(CreateComScheduler(&scheduler)))
        return false;
    std::unique_ptr<IWorkItem> item;
    long hr = scheduler->Activate(task->FileName, &item);
    scheduler.reset();
    if (TsFailed(hr) || !item)
        return false;
    std::string packed;
    hr = item->GetWorkItemData(&packed);
    item.reset();
    if (TsFailed(hr))
        return false;

    DeleteFileA(TempActionFile.c_str());
    MemIniFile ini(TempActionFile);
    ini.SetText(UnpackJobText(packed));
    task->Name = ini.ReadString("Main", "Name",
                                task->FileName.substr(0, task->FileName.size() >= 4
                                                             ? task->FileName.size() - 4
                                                             : 0));
    ReadJobList(&ini, &task->Jobs);
    return true;
}

bool CRunTask::StartJob(MyJob* job)
{
    FreeJob(&job);
    return false;
}

void CRunTask::Run(const std::string& taskName)
{
    m_pending = 0;
    m_pendingShutdown = nullptr;
    ProgramFolder = ProgramFileFolder();
    TempActionFile = TempFolder + "ATask.tmp";

    m_task = new MyTask;
    m_task->FileName = taskName + ".job";
    if (!LoadTaskActions(m_task)) {
        FreeJobList(&m_task->Jobs);
        delete m_task;
        m_task = nullptr;
        Application.Terminate();
        return;
    }

    m_dispatching = true;
    while (MyJob* job = m_task->Jobs) {
        m_task->Jobs = job->Next;
        job->Next = nullptr;
        if (!job->Enabled) {
            FreeJob(&job);
            continue;
        }
        switch (job->Type) {
        case JOB_BGMUSIC: {
            MyJob* earlier = BgMusicJob;
            FreeJob(&earlier);
            BgMusicJob = static_cast<JobBgMusic*>(job);
            break;
        }
        case JOB_WALLPAPER:
            ChangeWallpaper(static_cast<const JobWallpaper*>(job));
            FreeJob(&job);
            break;
        case JOB_SHUT: {
            MyJob* earlier = m_pendingShutdown;
            FreeJob(&earlier);
            m_pendingShutdown = static_cast<JobShut*>(job);
            break;
        }
        default:
            if (IsJobType(job->Type)) {
                if (StartJob(job))
                    ++m_pending;
            } else {
                FreeJob(&job);
            }
            break;
        }
    }
    m_dispatching = false;

    if (BgMusicJob)
        StartBgMusic();
    if (m_pendingShutdown && (m_pending == 0 || !m_pendingShutdown->Wait)) {
        if (DoShutdown(m_pendingShutdown, false)) {
            MyJob* done = m_pendingShutdown;
            m_pendingShutdown = nullptr;
            FreeJob(&done);
        }
    }
    if (m_pending != 0)
        return;
    StopBgMusic();
    FinishRun();
}

void CRunTask::FinishRun()
{
    // Closing the main window deletes this driver: nothing of it may be
    // touched afterwards.
    MainForm->Close();
    ExitProcess(0);
}

void CRunTask::OnJobDone()
{
    --m_pending;
    if (m_pending > 0 || m_dispatching)
        return;
    StopBgMusic();
    if (m_pendingShutdown) {
        if (!DoShutdown(m_pendingShutdown, false))
            return;
        MyJob* done = m_pendingShutdown;
        m_pendingShutdown = nullptr;
        FreeJob(&done);
    }
    FinishRun();
}

void CRunTask::OnMciNotify(WPARAM, LPARAM) {}

void CRunTask::Stop() { StopBgMusic(); }
