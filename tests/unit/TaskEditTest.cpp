#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "FakeTaskScheduler.h"
#include "actions/IniFile.h"
#include "actions/JobIni.h"
#include "actions/JobPack.h"
#include "taskstore/TaskEdit.h"

namespace {

const char Tasks[] = "C:\\WINDOWS\\Tasks\\";

class TaskEditTest : public testing::Test {
protected:
    TaskEditTest()
    {
        env.Store.ProgramPath = ProgramShort;
        env.Store.ProgramFolder = FolderShort;
        env.Store.UserName = [](std::string* name) {
            *name = "alice";
            return true;
        };
        env.TasksFolder = Tasks;
        env.FileExists = [this](const std::string& path) {
            return path.compare(0, sizeof Tasks - 1, Tasks) == 0 &&
                   folder.HasFile(path.substr(sizeof Tasks - 1));
        };
        env.ShowError = [this](const char* message) { messages.push_back(message); };
    }
    ~TaskEditTest() override
    {
        state.WorkItem.reset();
        if (ownsRecord && state.Task) {
            FreeJobList(&state.Task->Jobs);
            delete state.Task;
        }
        for (MyJob* job : actions)
            FreeJob(&job);
    }

    SchedulerFactory Factory()
    {
        return [this](std::unique_ptr<ITaskStoreScheduler>* scheduler) {
            folder.Log.push_back("Create");
            if (folder.Failing.count("Create"))
                return TS_E_FAIL;
            scheduler->reset(new FakeScheduler(&folder));
            return TS_OK;
        };
    }
    void AddFile(const std::string& fileName, FakeItem item = FakeItem())
    {
        folder.Items.emplace_back(fileName, std::move(item));
    }
    // An existing task opened for editing, as the dialogs do.
    void Open(const std::string& name)
    {
        {
            FakeScheduler scheduler(&folder);
            std::unique_ptr<IWorkItem> activated;
            ASSERT_EQ(scheduler.Activate(name, &activated), TS_OK);
            ASSERT_EQ(activated->QueryTask(&state.WorkItem), TS_OK);
        }
        record.Name = name;
        record.FileName = name + ".job";
        state.Task = &record;
        state.OldName = name;
        state.IsNew = false;
        ownsRecord = false;
        folder.Log.clear();
    }
    void Rename(const std::string& name)
    {
        state.Task->Name = name;
        state.Task->FileName = name + ".job";
    }
    JobMsg* Message(const std::string& text)
    {
        auto* job = static_cast<JobMsg*>(NewJob(JOB_MSG));
        job->Message = text;
        actions.push_back(job);
        return job;
    }
    bool Logged(const std::string& call) const
    {
        return std::find(folder.Log.begin(), folder.Log.end(), call) != folder.Log.end();
    }
    std::vector<std::string> Files() const
    {
        std::vector<std::string> names;
        for (const auto& entry : folder.Items)
            names.push_back(entry.first);
        return names;
    }

    FakeFolder folder;
    TaskEditEnvironment env;
    TaskEditState state;
    MyTask record;
    bool ownsRecord = true;
    std::vector<std::string> messages;
    std::vector<MyJob*> actions;
};

TEST_F(TaskEditTest, NewTaskTakesTheFirstFreeNameAndIsSetUpToRunThisProgram)
{
    struct Case {
        std::vector<std::string> files;
        std::set<std::string> reportedTaken; // names NewWorkItem itself refuses
        std::string proposed;
    };
    const Case cases[] = {
        {{}, {}, "Task1"},
        {{"Task1.job", "Task2.job"}, {}, "Task3"},
        {{"Task2.job"}, {}, "Task1"},
        // Windows reports the existing name; Wine does not, and the file decides.
        {{}, {"Task1"}, "Task2"},
        {{"Task1.job"}, {"Task2"}, "Task3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.proposed);
        FakeFolder fresh;
        folder = fresh;
        for (const std::string& file : c.files)
            AddFile(file);
        folder.Taken = c.reportedTaken;
        TaskEditState s;
        ASSERT_TRUE(BeginNewTask(Factory(), env, &s));
        ASSERT_NE(s.Task, nullptr);
        EXPECT_EQ(s.Task->Name, c.proposed);
        EXPECT_EQ(s.Task->FileName, c.proposed + ".job");
        EXPECT_TRUE(s.Task->Enabled);
        EXPECT_EQ(s.OldName, c.proposed);
        EXPECT_TRUE(s.IsNew);
        // Nothing reaches the folder before the commit.
        EXPECT_EQ(Files(), c.files);
        const std::vector<std::string> expected = {
            c.proposed + ": SetApplicationName(" + ProgramShort + ")",
            c.proposed + ": SetWorkingDirectory(" + FolderShort + ")",
            c.proposed + ": SetAccountInformation(alice, null)",
            c.proposed + ": SetFlags(8192)",
        };
        std::vector<std::string> calls;
        for (const std::string& line : folder.Log)
            if (line.compare(0, c.proposed.size() + 2, c.proposed + ": ") == 0)
                calls.push_back(line);
        EXPECT_EQ(calls, expected);
        // The scheduler object is released before the work item is set up.
        const auto released = std::find(folder.Log.begin(), folder.Log.end(), "Release scheduler");
        const auto first = std::find(folder.Log.begin(), folder.Log.end(), expected[0]);
        EXPECT_LT(released, first);
        s.WorkItem.reset();
        delete s.Task;
    }
}

TEST_F(TaskEditTest, NewTaskFailuresShowTheirMessageAndLeaveNothing)
{
    struct Case {
        const char* fail; // folder-level or work-item-level failure
        bool onItem;
        const char* message;
    };
    const Case cases[] = {
        {"Create", false, MsgNoScheduler},
        {"New Task1", false, MsgCreateFailed},
        {"SetApplicationName(C:\\PROGRA~1\\SCHED\\SCHEDU~1.EXE)", true, MsgSetCommandFailed},
        {"SetWorkingDirectory(C:\\PROGRA~1\\SCHED\\)", true, MsgSetFolderFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fail);
        FakeFolder fresh;
        folder = fresh;
        messages.clear();
        if (!c.onItem)
            folder.Failing.insert(c.fail);
        TaskEditState s;
        if (c.onItem) {
            // The new work item fails at that step.
            struct FailingScheduler : FakeScheduler {
                FailingScheduler(FakeFolder* f, std::string call)
                    : FakeScheduler(f), m_folder(f), m_call(std::move(call))
                {
                }
                long NewWorkItem(const std::string& name, std::unique_ptr<IWorkItem>* item) override
                {
                    const long hr = FakeScheduler::NewWorkItem(name, item);
                    m_folder->Unsaved[name].Failing.insert(m_call);
                    return hr;
                }
                FakeFolder* m_folder;
                std::string m_call;
            };
            SchedulerFactory factory = [this, &c](std::unique_ptr<ITaskStoreScheduler>* out) {
                out->reset(new FailingScheduler(&folder, c.fail));
                return TS_OK;
            };
            EXPECT_FALSE(BeginNewTask(factory, env, &s));
        } else {
            EXPECT_FALSE(BeginNewTask(Factory(), env, &s));
        }
        EXPECT_EQ(s.Task, nullptr);
        EXPECT_EQ(s.WorkItem, nullptr);
        EXPECT_EQ(messages, std::vector<std::string>{c.message});
        EXPECT_TRUE(folder.Items.empty());
    }
}

TEST_F(TaskEditTest, TriggerMemoListsReadableTriggersOrAsksForSome)
{
    FakeItem item;
    item.Triggers = {"At 10:00 every day", "unreadable", "At logon"};
    item.Failing.insert("GetTriggerString1");
    AddFile("T.job", item);
    Open("T");
    EXPECT_EQ(TriggerMemoLines(state.WorkItem.get()),
              (std::vector<std::string>{"At 10:00 every day", "", "At logon", ""}));
    ReadTriggerText(state.WorkItem.get(), &record);
    EXPECT_EQ(record.Triggers, "At 10:00 every day\r\nAt logon\r\n");

    folder.Find("T")->Triggers.clear();
    EXPECT_EQ(TriggerMemoLines(state.WorkItem.get()),
              std::vector<std::string>{"<Click to set triggers>"});
    folder.Find("T")->Failing.insert("GetTriggerCount");
    ReadTriggerText(state.WorkItem.get(), &record);
    EXPECT_EQ(record.Triggers, "");
}

TEST_F(TaskEditTest, PropertiesSetTheManagedFlagBitsAndKeepTheOthers)
{
    struct Case {
        uint32_t before;
        bool enabled;
        bool loggedOnOnly;
        uint32_t after;
    };
    const Case cases[] = {
        {0x0, true, true, 0x2000},
        {0x2004, true, false, 0x0},
        {0x1, false, false, 0x5},
        {0x2000 | 0x40, false, true, 0x2044},
    };
    for (const Case& c : cases) {
        FakeFolder fresh;
        folder = fresh;
        FakeItem item;
        item.Flags = c.before;
        AddFile("T.job", item);
        Open("T");
        record.Enabled = c.enabled;
        EXPECT_TRUE(ApplyTaskProperties(state.WorkItem.get(), record, c.loggedOnOnly,
                                        CommentRule::Always, "", MsgFlagsFailed, env));
        EXPECT_EQ(folder.Find("T")->Flags, c.after) << c.before;
        EXPECT_EQ(folder.Find("T")->Creator, "VemkoScheduler");
        EXPECT_EQ(folder.Find("T")->Parameters, "-run \"T\"");
    }
}

TEST_F(TaskEditTest, CommentIsWrittenByTheDialogsRule)
{
    AddFile("T.job");
    Open("T");
    record.Comment = "same";
    ASSERT_TRUE(ApplyTaskProperties(state.WorkItem.get(), record, true, CommentRule::WhenChanged,
                                    "same", MsgOptionsFailed, env));
    EXPECT_FALSE(Logged("T: SetComment(same)"));
    ASSERT_TRUE(ApplyTaskProperties(state.WorkItem.get(), record, true, CommentRule::WhenChanged,
                                    "new text", MsgOptionsFailed, env));
    EXPECT_TRUE(Logged("T: SetComment(new text)"));
    record.Comment = "";
    ASSERT_TRUE(ApplyTaskProperties(state.WorkItem.get(), record, true, CommentRule::Always,
                                    "ignored", MsgFlagsFailed, env));
    EXPECT_TRUE(Logged("T: SetComment()"));
}

TEST_F(TaskEditTest, APropertyFailureShowsItsMessageAndStopsThere)
{
    struct Case {
        const char* fail;
        const char* message;
        const char* notCalled; // a later call that must not happen; empty when none
    };
    const Case cases[] = {
        {"SetCreator(VemkoScheduler)", MsgSetCreatorFailed, "T: SetParameters(-run \"T\")"},
        {"SetParameters(-run \"T\")", MsgSetParamsFailed, "T: GetFlags"},
        {"GetFlags", MsgOptionsFailed, "T: SetFlags(8192)"},
        {"SetFlags(8192)", MsgOptionsFailed, "T: SetComment(c)"},
        {"SetComment(c)", MsgSetCommentFailed, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fail);
        FakeFolder fresh;
        folder = fresh;
        messages.clear();
        FakeItem item;
        item.Failing.insert(c.fail);
        AddFile("T.job", item);
        Open("T");
        EXPECT_FALSE(ApplyTaskProperties(state.WorkItem.get(), record, true,
                                         CommentRule::WhenChanged, "c", MsgOptionsFailed, env));
        EXPECT_EQ(messages, std::vector<std::string>{c.message});
        if (*c.notCalled)
            EXPECT_FALSE(Logged(c.notCalled));
    }
}

TEST_F(TaskEditTest, StoredActionsAreCopiesAndTheDataUnpacksToThem)
{
    AddFile("Backup.job");
    Open("Backup");
    record.Jobs = NewJob(JOB_BEEP); // replaced
    std::vector<const MyJob*> rows = {Message("first"), nullptr, Message("second")};
    env.Store.TempActionFile = testing::TempDir() + "ATask.tmp";
    // A scratch file left from an earlier run lends nothing to the list.
    ASSERT_TRUE(WriteFileBytes(env.Store.TempActionFile,
                               "[Main]\r\nCount=3\r\n[Job3]\r\nType=0\r\n"));
    StoreTaskActions(state.WorkItem.get(), &record, rows, env);

    ASSERT_NE(record.Jobs, nullptr);
    EXPECT_NE(record.Jobs, rows[0]);
    EXPECT_EQ(static_cast<JobMsg*>(record.Jobs)->Message, "first");
    ASSERT_NE(record.Jobs->Next, nullptr);
    EXPECT_EQ(static_cast<JobMsg*>(record.Jobs->Next)->Message, "second");
    EXPECT_EQ(record.Jobs->Next->Next, nullptr);
    FreeJobList(&record.Jobs);

    const std::string packed = folder.Find("Backup")->Data;
    EXPECT_EQ(packed.compare(0, 10, "VSCHEDULER"), 0);
    MemIniFile ini;
    ini.SetText(UnpackJobText(packed));
    EXPECT_EQ(ini.ReadString("Main", "Name", ""), "Backup");
    EXPECT_EQ(ini.ReadInteger("Main", "Count", -1), 2);
    EXPECT_FALSE(ini.SectionExists("Job3"));
    MyJob* read = nullptr;
    EXPECT_EQ(ReadJobList(&ini, &read), 2);
    FreeJobList(&read);
    std::string left;
    EXPECT_FALSE(ReadFileBytes(env.Store.TempActionFile, &left));
}

TEST_F(TaskEditTest, AListTooLongToPackKeepsTheDataTheWorkItemHad)
{
    FakeItem item;
    item.Data = "old data";
    AddFile("Big.job", item);
    Open("Big");
    // Text that does not compress: pseudo-random letters.
    std::string noise;
    unsigned seed = 12345;
    for (int i = 0; i < 80000; ++i) {
        seed = seed * 1103515245u + 12345u;
        noise += char('!' + (seed >> 16) % 90);
    }
    std::vector<const MyJob*> rows = {Message(noise)};
    StoreTaskActions(state.WorkItem.get(), &record, rows, env);
    EXPECT_EQ(folder.Find("Big")->Data, "old data");
    EXPECT_TRUE(messages.empty());
    ASSERT_NE(record.Jobs, nullptr); // the record still took the copies
    FreeJobList(&record.Jobs);

    EXPECT_FALSE(SaveJobsToTask(nullptr, &record, env.Store));
    EXPECT_FALSE(SaveJobsToTask(state.WorkItem.get(), nullptr, env.Store));
}

TEST_F(TaskEditTest, AccountSucceedsAlsoWhereTheSystemKeepsNoAccounts)
{
    struct Case {
        long result;
        bool fails;
        bool ok;
    };
    const Case cases[] = {
        {TS_OK, false, true},
        {TS_E_NO_SECURITY_SERVICES, false, true},
        {TS_E_FAIL, false, false},
        {TS_OK, true, false},
    };
    for (const Case& c : cases) {
        FakeFolder fresh;
        folder = fresh;
        FakeItem item;
        item.AccountResult = c.result;
        if (c.fails)
            item.Failing.insert("SetAccountInformation(bob, secret)");
        AddFile("T.job", item);
        Open("T");
        EXPECT_EQ(SetTaskAccount(state.WorkItem.get(), "bob", "secret"), c.ok) << c.result;
    }
    SetTaskAccount(state.WorkItem.get(), "bob", "");
    EXPECT_TRUE(Logged("T: SetAccountInformation(bob, null)"));
}

TEST_F(TaskEditTest, NewTaskConfirmedUnderItsProposedNameIsSavedToItsFullFileName)
{
    ASSERT_TRUE(BeginNewTask(Factory(), env, &state));
    folder.Log.clear();
    EXPECT_EQ(CommitTask(Factory(), env, &state), CommitResult::Saved);
    EXPECT_EQ(Files(), std::vector<std::string>{"Task1.job"});
    EXPECT_TRUE(Logged("Task1: SaveAs(C:\\WINDOWS\\Tasks\\Task1.job)"));
    EXPECT_TRUE(Logged("Task1: SaveCompleted"));
    EXPECT_FALSE(Logged("AddWorkItem Task1"));
    EXPECT_TRUE(messages.empty());
}

TEST_F(TaskEditTest, NewTaskUnderAnotherNameIsAddedAndTheProposedNameFindsNothing)
{
    ASSERT_TRUE(BeginNewTask(Factory(), env, &state));
    Rename("Backup");
    folder.Log.clear();
    EXPECT_EQ(CommitTask(Factory(), env, &state), CommitResult::Saved);
    EXPECT_EQ(folder.Log, (std::vector<std::string>{"Create", "AddWorkItem Backup", "Delete Task1",
                                                    "Release scheduler"}));
    EXPECT_EQ(Files(), std::vector<std::string>{"Backup.job"});
    EXPECT_EQ(state.OldName, "Backup");
}

TEST_F(TaskEditTest, ALetterCaseChangeSavesIntoTheExistingFile)
{
    AddFile("Backup.job");
    Open("Backup");
    Rename("backup");
    EXPECT_EQ(CommitTask(Factory(), env, &state), CommitResult::Saved);
    EXPECT_EQ(folder.Log, (std::vector<std::string>{"Backup: QueryFile", "Backup: Save",
                                                    "Backup: SaveCompleted"}));
    EXPECT_EQ(Files(), std::vector<std::string>{"Backup.job"});
    EXPECT_EQ(record.Name, "backup");
}

TEST_F(TaskEditTest, RenameWritesTheNewFileBeforeDeletingTheOld)
{
    FakeItem item;
    item.Comment = "keep me";
    AddFile("Old.job", item);
    Open("Old");
    Rename("New");
    EXPECT_EQ(CommitTask(Factory(), env, &state), CommitResult::Saved);
    EXPECT_EQ(folder.Log, (std::vector<std::string>{"Create", "AddWorkItem New", "Delete Old",
                                                    "Release scheduler"}));
    EXPECT_EQ(Files(), std::vector<std::string>{"New.job"});
    EXPECT_EQ(folder.Find("New")->Comment, "keep me");
    EXPECT_EQ(state.OldName, "New");
}

TEST_F(TaskEditTest, AFailedRenameLeavesTheOldTaskAndRemovesTheHalfWrittenFile)
{
    AddFile("Old.job");
    Open("Old");
    Rename("New");
    folder.Failing.insert("Add New");
    EXPECT_EQ(CommitTask(Factory(), env, &state), CommitResult::SaveFailed);
    EXPECT_EQ(Files(), std::vector<std::string>{"Old.job"});
    EXPECT_FALSE(Logged("Delete Old"));
    EXPECT_EQ(messages, std::vector<std::string>{MsgSaveAccountFailed});
    EXPECT_EQ(state.OldName, "Old");
}

TEST_F(TaskEditTest, AFailedRenameOntoAnotherTasksNameLeavesThatTaskAlone)
{
    AddFile("Old.job");
    AddFile("Other.job");
    Open("Old");
    Rename("Other");
    folder.Failing.insert("Add Other");
    EXPECT_EQ(CommitTask(Factory(), env, &state), CommitResult::SaveFailed);
    EXPECT_FALSE(Logged("Delete Other"));
    EXPECT_TRUE(folder.HasFile("Other.job"));
    EXPECT_TRUE(folder.HasFile("Old.job"));
}

TEST_F(TaskEditTest, CommitFailuresReportWhatWentWrong)
{
    // No scheduler object for a rename.
    AddFile("Old.job");
    Open("Old");
    Rename("New");
    folder.Failing.insert("Create");
    EXPECT_EQ(CommitTask(Factory(), env, &state), CommitResult::OtherFailure);
    EXPECT_EQ(messages, std::vector<std::string>{MsgRenameFailed});

    // No file interface for a save.
    messages.clear();
    Rename("Old");
    folder.Find("Old")->Failing.insert("QueryFile");
    EXPECT_EQ(CommitTask(Factory(), env, &state), CommitResult::OtherFailure);
    EXPECT_EQ(messages, std::vector<std::string>{MsgSaveLaterFailed});

    // A failed save of an existing task keeps its file.
    messages.clear();
    folder.Find("Old")->Failing = {"Save"};
    EXPECT_EQ(CommitTask(Factory(), env, &state), CommitResult::SaveFailed);
    EXPECT_EQ(messages, std::vector<std::string>{MsgSaveAccountFailed});
    EXPECT_TRUE(folder.HasFile("Old.job"));
    EXPECT_FALSE(Logged("Delete Old"));
}

TEST_F(TaskEditTest, AFailedFirstSaveOfANewTaskLeavesNoFile)
{
    ASSERT_TRUE(BeginNewTask(Factory(), env, &state));
    folder.Unsaved["Task1"].Failing.insert("SaveAs(C:\\WINDOWS\\Tasks\\Task1.job)");
    EXPECT_EQ(CommitTask(Factory(), env, &state), CommitResult::SaveFailed);
    EXPECT_TRUE(Logged("Delete Task1"));
    EXPECT_TRUE(Files().empty());
    EXPECT_EQ(messages, std::vector<std::string>{MsgSaveAccountFailed});
}

TEST_F(TaskEditTest, CancelRemovesANewTaskAndRestoresAnExistingName)
{
    ASSERT_TRUE(BeginNewTask(Factory(), env, &state));
    DiscardNewTask(Factory(), env, &state); // never written: nothing to delete
    EXPECT_EQ(state.Task, nullptr);
    EXPECT_FALSE(Logged("Delete Task1"));

    ASSERT_TRUE(BeginNewTask(Factory(), env, &state));
    ASSERT_EQ(CommitTask(Factory(), env, &state), CommitResult::Saved);
    state.Task->Jobs = NewJob(JOB_BEEP);
    DiscardNewTask(Factory(), env, &state);
    EXPECT_TRUE(Logged("Delete Task1"));
    EXPECT_TRUE(Files().empty());
    EXPECT_EQ(state.Task, nullptr);

    AddFile("Old.job");
    Open("Old");
    Rename("Typed");
    record.Comment = "kept";
    RestoreTaskName(&state);
    EXPECT_EQ(record.Name, "Old");
    EXPECT_EQ(record.FileName, "Old.job");
    EXPECT_EQ(record.Comment, "kept");
}

} // namespace
