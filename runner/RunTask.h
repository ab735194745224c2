#pragma once
// The run-mode driver: loads the task named on the command line, hands its
// enabled actions to their workers and ends the process when the last one
// has reported.

#include <windows.h>

#include "actions/Job.h"
#include "taskstore/Task.h"

class CRunTask {
public:
    CRunTask();  // initialises COM for the main thread
    ~CRunTask(); // and uninitialises it

    // Loads the task and hands out its actions. Returns while actions are
    // under way; ends the process itself when nothing is left to wait for;
    // asks the application to terminate when the task cannot be loaded.
    void Run(const std::string& taskName);
    // One action has finished.
    void OnJobDone();
    // A notification of the background music device.
    void OnMciNotify(WPARAM flags, LPARAM deviceId);
    // Ends whatever still runs.
    void Stop();

    // Fills the record's name and actions from the task's work item.
    bool LoadTaskActions(MyTask* task);

private:
    // Hands one enabled action to the worker of its kind; true when it counts
    // as pending. Takes ownership of the action.
    bool StartJob(MyJob* job);
    void FinishRun();

    int m_pending = 0;
    bool m_dispatching = false;
    JobShut* m_pendingShutdown = nullptr;
    MyTask* m_task = nullptr;
    bool m_comInitialized = false;
};

// Background music of the run, held by the driver; null when there is none.
extern JobBgMusic* BgMusicJob;

// Seams of the executors that run on the main thread.
void StartBgMusic();
void StopBgMusic();
void ChangeWallpaper(const JobWallpaper* job);
// True when it acted (shut down, or the user chose at the prompt).
bool DoShutdown(const JobShut* job, bool repeat);
