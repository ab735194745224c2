// The task store against the real Task Scheduler of the test prefix. Every
// work item made here has a name starting "Ts" and is removed again.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "actions/IniFile.h"
#include "actions/JobIni.h"
#include "actions/JobPack.h"
#include "app/Globals.h"
#include "runner/RunTask.h"
#include "taskstore/TaskScheduler_win.h"
#include "win32/Handles.h"
#include "win32/Strings.h"

namespace {

struct WorkItemSetup {
    std::string Creator = OwnTaskCreator;
    std::string Comment;
    DWORD Flags = 0;
    std::string Application;
    std::string Data;
    bool DailyTrigger = false;
};

std::string UserDate(WORD year, WORD month, WORD day)
{
    SYSTEMTIME st = {};
    st.wYear = year, st.wMonth = month, st.wDay = day;
    char text[80] = "";
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, text, sizeof text);
    return text;
}

std::string UserTime(WORD hour, WORD minute)
{
    SYSTEMTIME st = {};
    st.wYear = 2000, st.wMonth = 1, st.wDay = 1, st.wHour = hour, st.wMinute = minute;
    char text[80] = "";
    GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &st, nullptr, text, sizeof text);
    return text;
}

// The file's bytes and its last write time: what a save would change.
std::string FileState(const std::string& path)
{
    std::string bytes;
    if (!ReadFileBytes(path, &bytes))
        return "missing";
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return bytes + "@" + std::to_string(data.ftLastWriteTime.dwHighDateTime) + ":" +
           std::to_string(data.ftLastWriteTime.dwLowDateTime);
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class TaskSchedulerTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_com = SUCCEEDED(CoInitialize(nullptr));
        char windows[MAX_PATH];
        GetWindowsDirectoryA(windows, MAX_PATH);
        TasksFolder = WithBackslash(windows) + "Tasks\\";
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        TempFolder = WithBackslash(temp);
        TempActionFile = TempFolder + "ATask.tmp";
        env = ProgramTaskEnvironment();
        env.Diagnostic = [this](const char* line) { diagnostics += line; };
    }
    void TearDown() override
    {
        for (const std::string& name : m_made)
            DeleteFileA(JobFile(name).c_str());
        if (m_com)
            CoUninitialize();
    }

    static std::string JobFile(const std::string& name) { return TasksFolder + name + ".job"; }

    // Writes a work item file through the Task Scheduler's own objects. The
    // file is saved under its full name: Wine takes no dotted names in
    // AddWorkItem.
    void Make(const std::string& name, const WorkItemSetup& setup)
    {
        m_made.push_back(name);
        DeleteFileA(JobFile(name).c_str());
        ComPtr<ITaskScheduler> scheduler;
        ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_CTaskScheduler, nullptr,
                                                  CLSCTX_INPROC_SERVER, IID_ITaskScheduler,
                                                  scheduler.PutVoid()));
        ComPtr<ITask> task;
        ASSERT_HRESULT_SUCCEEDED(
            scheduler->NewWorkItem(L"TsScratch", CLSID_CTask, IID_ITask, task.PutUnknown()));
        ASSERT_HRESULT_SUCCEEDED(task->SetCreator(Widen(setup.Creator).c_str()));
        ASSERT_HRESULT_SUCCEEDED(task->SetComment(Widen(setup.Comment).c_str()));
        ASSERT_HRESULT_SUCCEEDED(task->SetFlags(setup.Flags));
        ASSERT_HRESULT_SUCCEEDED(task->SetApplicationName(
            Widen(setup.Application.empty() ? env.ProgramPath : setup.Application).c_str()));
        ASSERT_HRESULT_SUCCEEDED(task->SetParameters(Widen(TaskParameters(name)).c_str()));
        if (!setup.Data.empty())
            ASSERT_HRESULT_SUCCEEDED(task->SetWorkItemData(
                WORD(setup.Data.size()),
                reinterpret_cast<BYTE*>(const_cast<char*>(setup.Data.data()))));
        if (setup.DailyTrigger) {
            WORD index = 0;
            ComPtr<ITaskTrigger> trigger;
            ASSERT_HRESULT_SUCCEEDED(task->CreateTrigger(&index, trigger.Put()));
            TASK_TRIGGER t = {};
            t.cbTriggerSize = sizeof t;
            t.wBeginYear = 2026, t.wBeginMonth = 12, t.wBeginDay = 11;
            t.wStartHour = 10, t.wStartMinute = 0;
            t.TriggerType = TASK_TIME_TRIGGER_DAILY;
            t.Type.Daily.DaysInterval = 1;
            ASSERT_HRESULT_SUCCEEDED(trigger->SetTrigger(&t));
        }
        ComPtr<IPersistFile> file;
        ASSERT_HRESULT_SUCCEEDED(task->QueryInterface(IID_IPersistFile, file.PutVoid()));
        ASSERT_HRESULT_SUCCEEDED(file->Save(Widen(JobFile(name)).c_str(), TRUE));
        ASSERT_TRUE(Exists(JobFile(name)));
    }

    // The listed records of this test's work items, by name.
    std::map<std::string, MyTask*> List(const TaskStoreEnvironment& with)
    {
        FreeListed();
        ListTasks(CreateComScheduler, with, [this](MyTask* task) { m_listed.push_back(task); });
        std::map<std::string, MyTask*> ours;
        for (MyTask* task : m_listed)
            if (std::find(m_made.begin(), m_made.end(), task->Name) != m_made.end())
                ours[task->Name] = task;
        return ours;
    }
    void FreeListed()
    {
        for (MyTask* task : m_listed) {
            FreeJobList(&task->Jobs);
            delete task;
        }
        m_listed.clear();
    }
    ~TaskSchedulerTest() override { FreeListed(); }

    static std::string PackedActions(const std::string& taskName, const std::string& message)
    {
        auto* msg = new JobMsg;
        msg->Message = message;
        JobList jobs(msg);
        MemIniFile ini;
        ini.WriteString("Main", "Name", taskName);
        WriteJobList(&ini, jobs.Head());
        return PackJobText(ini.GetText());
    }

    // Removes the work item of that name at the end of the test.
    void Track(const std::string& name) { m_made.push_back(name); }
    MyTask* Listed(const std::string& name)
    {
        auto ours = List(env);
        return ours.count(name) ? ours[name] : nullptr;
    }

    TaskStoreEnvironment env;
    std::string diagnostics;

private:
    bool m_com = false;
    std::vector<std::string> m_made;
    std::vector<MyTask*> m_listed;
};

TEST_F(TaskSchedulerTest, ListsOwnTasksWithCommentStateTriggersAndActions)
{
    WorkItemSetup morning;
    morning.Comment = "Every morning";
    morning.Flags = TASK_FLAG_RUN_ONLY_IF_LOGGED_ON;
    morning.DailyTrigger = true;
    morning.Data = PackedActions("Renamed since", "Hello");
    Make("TsMorning", morning);
    WorkItemSetup off;
    off.Flags = TASK_FLAG_DISABLED;
    Make("TsOff", off);
    // Another program's work items, one of them pointing elsewhere.
    WorkItemSetup foreign;
    foreign.Creator = "Someone";
    foreign.Application = "C:\\OTHER\\TOOL.EXE";
    Make("TsForeign", foreign);
    WorkItemSetup lower;
    lower.Creator = "vemkoscheduler";
    lower.Application = "C:\\OTHER\\TOOL.EXE";
    Make("TsLower", lower);
    const std::string foreignBefore = FileState(JobFile("TsForeign"));
    const std::string lowerBefore = FileState(JobFile("TsLower"));

    std::map<std::string, MyTask*> listed = List(env);
    EXPECT_EQ(diagnostics, "");
    ASSERT_EQ(listed.size(), 2u);
    ASSERT_TRUE(listed.count("TsMorning") && listed.count("TsOff"));

    const MyTask* a = listed["TsMorning"];
    EXPECT_EQ(a->FileName, "TsMorning.job");
    EXPECT_EQ(a->Comment, "Every morning");
    EXPECT_TRUE(a->Enabled);
    EXPECT_EQ(a->Triggers,
              "At " + UserTime(10, 0) + " every day, starting " + UserDate(2026, 12, 11) + "\r\n");
    ASSERT_EQ(CountJobs(a->Jobs), 1);
    ASSERT_EQ(a->Jobs->Type, JOB_MSG);
    EXPECT_EQ(static_cast<const JobMsg*>(a->Jobs)->Message, "Hello");

    // Saved without triggers: the stand-in trigger Wine writes is not shown.
    const MyTask* b = listed["TsOff"];
    EXPECT_FALSE(b->Enabled);
    EXPECT_EQ(b->Triggers, "");
    EXPECT_EQ(b->Jobs, nullptr);

    EXPECT_EQ(FileState(JobFile("TsForeign")), foreignBefore);
    EXPECT_EQ(FileState(JobFile("TsLower")), lowerBefore);
}

TEST_F(TaskSchedulerTest, ADottedNameOpensListsSavesAndDeletes)
{
    const std::string name = "Ts Backup 1.2";
    WorkItemSetup setup;
    setup.Comment = "dotted";
    setup.Data = PackedActions(name, "Dots");
    Make(name, setup);

    std::map<std::string, MyTask*> listed = List(env);
    ASSERT_EQ(listed.count(name), 1u);
    EXPECT_EQ(listed[name]->Comment, "dotted");
    EXPECT_EQ(CountJobs(listed[name]->Jobs), 1);

    {
        std::unique_ptr<IWorkItem> item = OpenTask(CreateComScheduler, name + ".job");
        ASSERT_TRUE(item);
        ASSERT_EQ(item->SetComment("changed"), S_OK);
        ASSERT_EQ(item->Save(), S_OK);
    }
    {
        std::unique_ptr<IWorkItem> item = OpenTask(CreateComScheduler, name + ".job");
        ASSERT_TRUE(item);
        std::string comment;
        ASSERT_EQ(item->GetComment(&comment), S_OK);
        EXPECT_EQ(comment, "changed");
    }
    // The save went into the task's own file, not under a stand-in name.
    EXPECT_FALSE(Exists(JobFile("Ts Backup 1_2")));

    EXPECT_EQ(DeleteTask(CreateComScheduler, name), S_OK);
    EXPECT_FALSE(Exists(JobFile(name)));
    EXPECT_LT(DeleteTask(CreateComScheduler, name), 0);
}

TEST_F(TaskSchedulerTest, AMovedProgramIsRepairedOnceAndThenLeftAlone)
{
    TaskStoreEnvironment moved = env;
    moved.ProgramPath = "C:\\NEWPLA~1\\SCHEDU~1.EXE";
    moved.ProgramFolder = "C:\\NEWPLA~1\\";
    for (const std::string name : {"TsMoved", "TsMoved 2.0"}) {
        SCOPED_TRACE(name);
        WorkItemSetup setup;
        setup.Application = "C:\\OLD\\SCHED.EXE";
        setup.Flags = TASK_FLAG_RUN_ONLY_IF_LOGGED_ON;
        Make(name, setup);

        ASSERT_EQ(List(moved).count(name), 1u);
        {
            std::unique_ptr<IWorkItem> item = OpenTask(CreateComScheduler, name + ".job");
            ASSERT_TRUE(item);
            std::optional<std::string> application;
            std::string parameters, folder;
            ASSERT_EQ(item->GetApplicationName(&application), S_OK);
            ASSERT_EQ(item->GetParameters(&parameters), S_OK);
            ASSERT_EQ(item->GetWorkingDirectory(&folder), S_OK);
            EXPECT_EQ(application.value_or("null"), moved.ProgramPath);
            EXPECT_EQ(parameters, "-run \"" + name + "\"");
            EXPECT_EQ(folder, moved.ProgramFolder);
        }

        // Letter case alone is no move: the next listing writes nothing.
        const std::string repaired = FileState(JobFile(name));
        TaskStoreEnvironment sameInOtherCase = moved;
        sameInOtherCase.ProgramPath = "c:\\newpla~1\\schedu~1.exe";
        ASSERT_EQ(List(sameInOtherCase).count(name), 1u);
        EXPECT_EQ(FileState(JobFile(name)), repaired);
    }
}

TEST_F(TaskSchedulerTest, RunModeLoadsTheActionsOfARealTask)
{
    const std::string name = "TsRun 1.5";
    WorkItemSetup setup;
    setup.Data = PackedActions(name, "From the run");
    Make(name, setup);
    CRunTask run;
    MyTask task;
    task.FileName = name + ".job";
    ASSERT_TRUE(run.LoadTaskActions(&task));
    EXPECT_EQ(task.Name, name);
    ASSERT_EQ(CountJobs(task.Jobs), 1);
    EXPECT_EQ(static_cast<const JobMsg*>(task.Jobs)->Message, "From the run");
    FreeJobList(&task.Jobs);
}

} // namespace

namespace {

JobMsg* NewMessage(const std::string& text)
{
    auto* msg = static_cast<JobMsg*>(NewJob(JOB_MSG));
    msg->Message = text;
    return msg;
}

// Letters that bzip2 cannot shrink.
std::string Noise(size_t length, unsigned seed)
{
    std::string text;
    for (size_t i = 0; i < length; ++i) {
        seed = seed * 1103515245u + 12345u;
        text += char('!' + (seed >> 16) % 90);
    }
    return text;
}

std::string DataOf(const std::string& name)
{
    std::unique_ptr<IWorkItem> item = OpenTask(CreateComScheduler, name + ".job");
    std::string data;
    if (item)
        item->GetWorkItemData(&data);
    return data;
}

} // namespace

TEST_F(TaskSchedulerTest, ANewTaskReachesTheFolderOnlyThroughCommitUnderAFreeName)
{
    WorkItemSetup setup;
    Make("Task1", setup); // Wine's NewWorkItem would not report this name as taken
    TaskEditEnvironment edit = ProgramTaskEditEnvironment(nullptr);
    std::vector<std::string> messages;
    edit.ShowError = [&messages](const char* m) { messages.push_back(m); };

    TaskEditState state;
    ASSERT_TRUE(BeginNewTask(CreateComScheduler, edit, &state));
    Track(state.Task->Name);
    EXPECT_NE(state.Task->Name, "Task1");
    const std::string name = state.Task->Name;
    EXPECT_FALSE(Exists(JobFile(name)));

    state.Task->Comment = "Made by the test";
    ASSERT_TRUE(ApplyTaskProperties(state.WorkItem.get(), *state.Task, true, CommentRule::Always,
                                    "", MsgFlagsFailed, edit));
    JobList rows(NewMessage("Hello from the new task"));
    StoreTaskActions(state.WorkItem.get(), state.Task, {rows.Head()}, edit);
    std::string user;
    ASSERT_TRUE(edit.Store.UserName(&user));
    SetTaskAccount(state.WorkItem.get(), user, "");
    EXPECT_FALSE(Exists(JobFile(name)));
    ASSERT_EQ(CommitTask(CreateComScheduler, edit, &state), CommitResult::Saved);
    EXPECT_TRUE(messages.empty());
    ASSERT_TRUE(Exists(JobFile(name)));

    std::unique_ptr<IWorkItem> item = OpenTask(CreateComScheduler, name + ".job");
    ASSERT_NE(item, nullptr);
    std::string creator, parameters, folder;
    std::optional<std::string> application;
    uint32_t flags = 0;
    item->GetCreator(&creator);
    item->GetParameters(&parameters);
    item->GetWorkingDirectory(&folder);
    item->GetApplicationName(&application);
    item->GetFlags(&flags);
    EXPECT_EQ(creator, "VemkoScheduler");
    EXPECT_EQ(parameters, "-run \"" + name + "\"");
    EXPECT_EQ(application.value_or(""), env.ProgramPath);
    EXPECT_EQ(folder, env.ProgramFolder);
    EXPECT_EQ(flags & (TaskFlagDisabled | TaskFlagRunOnlyIfLoggedOn), TaskFlagRunOnlyIfLoggedOn);
    MemIniFile ini;
    ini.SetText(UnpackJobText(DataOf(name)));
    EXPECT_EQ(ini.ReadString("Main", "Name", ""), name);

    MyTask* listed = Listed(name);
    ASSERT_NE(listed, nullptr);
    EXPECT_EQ(listed->Comment, "Made by the test");
    ASSERT_NE(listed->Jobs, nullptr);
    EXPECT_EQ(static_cast<JobMsg*>(listed->Jobs)->Message, "Hello from the new task");

    FreeJobList(&state.Task->Jobs);
    delete state.Task;
}

TEST_F(TaskSchedulerTest, RenamingWritesTheNewFileAndThenRemovesTheOld)
{
    WorkItemSetup setup;
    setup.Comment = "kept";
    setup.Data = PackedActions("TsOld", "moved along");
    setup.DailyTrigger = true;
    Make("TsOld", setup);
    Track("TsNew");
    TaskEditEnvironment edit = ProgramTaskEditEnvironment(nullptr);
    edit.ShowError = [](const char*) {};

    MyTask* record = Listed("TsOld");
    ASSERT_NE(record, nullptr);
    TaskEditState state;
    state.Task = record;
    state.WorkItem = OpenTask(CreateComScheduler, "TsOld.job");
    state.OldName = "TsOld";
    ASSERT_NE(state.WorkItem, nullptr);
    record->Name = "TsNew";
    record->FileName = "TsNew.job";
    ASSERT_TRUE(ApplyTaskProperties(state.WorkItem.get(), *record, false,
                                    CommentRule::WhenChanged, "kept", MsgOptionsFailed, edit));
    JobList rows(NewMessage("moved along"));
    StoreTaskActions(state.WorkItem.get(), record, {rows.Head()}, edit);
    ASSERT_EQ(CommitTask(CreateComScheduler, edit, &state), CommitResult::Saved);
    state.WorkItem.reset();
    EXPECT_FALSE(Exists(JobFile("TsOld")));
    EXPECT_EQ(state.OldName, "TsNew");

    MyTask* renamed = Listed("TsNew");
    ASSERT_NE(renamed, nullptr);
    EXPECT_EQ(renamed->Comment, "kept");
    EXPECT_NE(renamed->Triggers.find(UserTime(10, 0)), std::string::npos);
    ASSERT_NE(renamed->Jobs, nullptr);
    EXPECT_EQ(static_cast<JobMsg*>(renamed->Jobs)->Message, "moved along");
}

TEST_F(TaskSchedulerTest, AShrinkingSaveReadsBackIntactAndDataThatWouldNotFitIsRefused)
{
    WorkItemSetup setup;
    setup.DailyTrigger = true;
    Make("TsShrink", setup);
    TaskEditEnvironment edit = ProgramTaskEditEnvironment(nullptr);
    edit.ShowError = [](const char*) {};
    MyTask record;
    record.Name = "TsShrink";
    record.FileName = "TsShrink.job";

    auto commitWith = [&](const std::string& message) {
        TaskEditState state;
        state.Task = &record;
        state.WorkItem = OpenTask(CreateComScheduler, "TsShrink.job");
        state.OldName = "TsShrink";
        JobList rows(NewMessage(message));
        StoreTaskActions(state.WorkItem.get(), &record, {rows.Head()}, edit);
        FreeJobList(&record.Jobs);
        return CommitTask(CreateComScheduler, edit, &state);
    };
    ASSERT_EQ(commitWith(Noise(30000, 7)), CommitResult::Saved);
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(JobFile("TsShrink"), &bytes));
    const size_t bigFile = bytes.size();
    ASSERT_EQ(commitWith("short"), CommitResult::Saved);
    MyTask* listed = Listed("TsShrink");
    ASSERT_NE(listed, nullptr);
    EXPECT_NE(listed->Triggers.find(UserTime(10, 0)), std::string::npos);
    ASSERT_NE(listed->Jobs, nullptr);
    EXPECT_EQ(static_cast<JobMsg*>(listed->Jobs)->Message, "short");
    ASSERT_TRUE(ReadFileBytes(JobFile("TsShrink"), &bytes));
    RecordProperty("file bytes after the big and the short save",
                   std::to_string(bigFile) + " " + std::to_string(bytes.size()));

    // A packed list under 65536 bytes that the file could not hold beside
    // the task's strings keeps the data the task had.
    const std::string before = DataOf("TsShrink");
    size_t low = 10000, high = 200000;
    std::string message;
    for (int i = 0; i < 40 && low < high; ++i) {
        const size_t mid = (low + high) / 2;
        MemIniFile ini;
        JobList rows(NewMessage(Noise(mid, 11)));
        ini.WriteString("Main", "Name", "TsShrink");
        WriteJobList(&ini, rows.Head());
        const size_t packed = PackJobText(ini.GetText()).size();
        if (packed >= 65536)
            high = mid;
        else if (packed < 65536 - 40)
            low = mid + 1;
        else {
            message = Noise(mid, 11);
            break;
        }
    }
    ASSERT_FALSE(message.empty());
    std::unique_ptr<IWorkItem> item = OpenTask(CreateComScheduler, "TsShrink.job");
    JobList rows(NewMessage(message));
    record.Jobs = nullptr;
    MyTask probe = record;
    probe.Jobs = rows.Head();
    EXPECT_FALSE(SaveJobsToTask(item.get(), &probe, edit.Store));
    std::string data;
    item->GetWorkItemData(&data);
    EXPECT_EQ(data, before);
}
