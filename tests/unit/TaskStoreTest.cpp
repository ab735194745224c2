#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "actions/JobIni.h"
#include "actions/JobPack.h"
#include "FakeTaskScheduler.h"
#include "taskstore/TaskStore.h"

namespace {

class TaskStoreTest : public testing::Test {
protected:
    TaskStoreTest()
    {
        env.ProgramPath = ProgramShort;
        env.ProgramFolder = FolderShort;
        env.UserName = [this](std::string* name) {
            folder.Log.push_back("GetUserName");
            *name = "alice";
            return userNameWorks;
        };
        env.Diagnostic = [this](const char* line) { diagnostics += line; };
    }
    ~TaskStoreTest() override
    {
        for (MyTask* task : listed) {
            FreeJobList(&task->Jobs);
            delete task;
        }
    }

    FakeItem& Add(const std::string& fileName, FakeItem item = FakeItem())
    {
        folder.Items.emplace_back(fileName, std::move(item));
        return folder.Items.back().second;
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
    void List()
    {
        ListTasks(Factory(), env, [this](MyTask* task) {
            folder.Log.push_back("Listed " + task->Name);
            listed.push_back(task);
        });
    }
    std::vector<std::string> ListedNames() const
    {
        std::vector<std::string> names;
        for (const MyTask* task : listed)
            names.push_back(task->Name);
        return names;
    }
    // Calls that change a work item.
    static std::vector<std::string> Changes(const std::vector<std::string>& calls)
    {
        std::vector<std::string> changes;
        for (const std::string& call : calls)
            if (call.compare(0, 3, "Get") != 0)
                changes.push_back(call);
        return changes;
    }

    FakeFolder folder;
    TaskStoreEnvironment env;
    bool userNameWorks = true;
    std::string diagnostics;
    std::vector<MyTask*> listed;
};

using Calls = std::vector<std::string>;

TEST_F(TaskStoreTest, OnlyTheExactCreatorMarkMakesATaskOurs)
{
    const struct {
        const char* creator;
        bool own;
    } cases[] = {
        {"VemkoScheduler", true},
        {"vemkoscheduler", false},
        {"VEMKOSCHEDULER", false},
        {"VemkoScheduler ", false},
        {"", false},
        {"Wine", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.creator);
        FakeItem item;
        item.Creator = c.creator;
        item.Application = std::string("C:\\ELSEWH~1\\OLD.EXE"); // would need repair
        item.Flags = TaskFlagRunOnlyIfLoggedOn;
        folder = FakeFolder();
        Add("Task.job", item);
        for (MyTask* task : listed) {
            FreeJobList(&task->Jobs);
            delete task;
        }
        listed.clear();
        List();
        EXPECT_EQ(listed.size(), c.own ? 1u : 0u);
        // Another program's work item is read, never changed.
        if (!c.own)
            EXPECT_EQ(folder.CallsOn("Task.job"), Calls{"GetCreator"});
    }
}

TEST_F(TaskStoreTest, AFailedReadRejectsTheWorkItemAtThatStep)
{
    const struct {
        const char* failing;
        bool listed;
        const char* triggers;
    } cases[] = {
        {"GetCreator", false, ""},
        {"GetComment", false, ""},
        {"GetFlags", false, ""},
        {"GetWorkItemData", false, ""},
        {"GetTriggerCount", true, ""},
        {"GetTriggerString0", true, ""},
        {"GetApplicationName", true, "Daily\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failing);
        folder = FakeFolder();
        FakeItem item;
        item.Triggers = {"Daily"};
        item.Failing = {c.failing};
        Add("Task.job", item);
        MyTask record;
        record.FileName = "Task.job";
        FakeWorkItem work(&folder, "Task.job", true);
        EXPECT_EQ(LoadTask(&record, &work, env), c.listed);
        const Calls calls = folder.CallsOn("Task.job");
        if (!c.listed) {
            // Nothing after the failed step, and nothing changed.
            ASSERT_FALSE(calls.empty());
            EXPECT_EQ(calls.back(), c.failing);
            EXPECT_TRUE(Changes(calls).empty());
        } else {
            EXPECT_EQ(record.Triggers, c.triggers);
        }
        FreeJobList(&record.Jobs);
    }
}

TEST_F(TaskStoreTest, RecordTakesCommentStateAndTheFilesName)
{
    const struct {
        const char* fileName;
        uint32_t flags;
        const char* name;
        bool enabled;
    } cases[] = {
        {"Backup.job", 0, "Backup", true},
        {"Backup 1.2.job", TaskFlagDisabled, "Backup 1.2", false},
        {"Plain", TaskFlagDisabled | TaskFlagRunOnlyIfLoggedOn, "Plain", false},
        {"Odd.JOB", TaskFlagRunOnlyIfLoggedOn, "Odd", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fileName);
        folder = FakeFolder();
        FakeItem item;
        item.Comment = "Wake up\r\nnow";
        item.Flags = c.flags;
        // The name kept in the data is not the task's name.
        item.Data = PackJobText("[Main]\r\nName=Other\r\nCount=0\r\n");
        Add(c.fileName, item);
        MyTask record;
        record.FileName = c.fileName;
        FakeWorkItem work(&folder, c.fileName, true);
        ASSERT_TRUE(LoadTask(&record, &work, env));
        EXPECT_EQ(record.Name, c.name);
        EXPECT_EQ(record.FileName, c.fileName);
        EXPECT_EQ(record.Enabled, c.enabled);
        EXPECT_EQ(record.Comment, "Wake up\r\nnow");
        FreeJobList(&record.Jobs);
    }
}

TEST_F(TaskStoreTest, TriggersAreTheReadableDescriptionsInOrder)
{
    const struct {
        std::vector<std::string> triggers;
        const char* failing;
        const char* expected;
    } cases[] = {
        {{}, "", ""},
        {{"A"}, "", "A\r\n"},
        {{"A", "B", "C"}, "GetTriggerString1", "A\r\nC\r\n"},
        {{"A", "B"}, "GetTriggerCount", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        folder = FakeFolder();
        FakeItem item;
        item.Triggers = c.triggers;
        item.Failing = {c.failing};
        Add("T.job", item);
        MyTask record;
        record.FileName = "T.job";
        record.Triggers = "stale\r\n";
        FakeWorkItem work(&folder, "T.job", true);
        ASSERT_TRUE(LoadTask(&record, &work, env));
        EXPECT_EQ(record.Triggers, c.expected);
        FreeJobList(&record.Jobs);
    }
}

TEST_F(TaskStoreTest, ActionsComeFromTheWorkItemDataAndBadDataGivesNone)
{
    JobList jobs;
    {
        auto* msg = new JobMsg;
        msg->Message = "Hello";
        auto* beep = new JobBeep;
        msg->Next = beep;
        *jobs.Place() = msg;
    }
    MemIniFile ini;
    ini.WriteString("Main", "Name", "T");
    WriteJobList(&ini, jobs.Head());
    const struct {
        const char* label;
        std::string data;
        int count;
    } cases[] = {
        {"packed", PackJobText(ini.GetText()), 2},
        {"plain after the magic", std::string(PackMagic) + ini.GetText(), 2},
        {"empty", "", 0},
        {"short", "VSCH", 0},
        {"garbage", std::string("VSCHEDULER\x01\x02\x03garbage", 20), 0},
    };
    const std::string temp = testing::TempDir() + "TaskStoreTest-ATask.tmp";
    env.TempActionFile = temp;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        folder = FakeFolder();
        FakeItem item;
        item.Data = c.data;
        Add("T.job", item);
        ASSERT_TRUE(WriteFileBytes(temp, "[Main]\r\nCount=1\r\n[Job0]\r\nType=0\r\n"));
        MyTask record;
        record.FileName = "T.job";
        FakeWorkItem work(&folder, "T.job", true);
        ASSERT_TRUE(LoadTask(&record, &work, env));
        EXPECT_EQ(CountJobs(record.Jobs), c.count);
        if (c.count == 2) {
            ASSERT_EQ(record.Jobs->Type, JOB_MSG);
            EXPECT_EQ(static_cast<JobMsg*>(record.Jobs)->Message, "Hello");
        }
        // The scratch file is neither read nor left behind.
        std::string left;
        EXPECT_FALSE(ReadFileBytes(temp, &left));
        FreeJobList(&record.Jobs);
    }
}

TEST_F(TaskStoreTest, RepairIsNeededWhenTheApplicationIsNotTheRunningProgram)
{
    const struct {
        const char* label;
        std::optional<std::string> application;
        bool getFails;
        bool needed;
    } cases[] = {
        {"same", std::string(ProgramShort), false, false},
        {"case only", std::string("c:\\progra~1\\sched\\Schedu~1.exe"), false, false},
        {"moved", std::string("D:\\OLD\\SCHEDU~1.EXE"), false, true},
        {"empty", std::string(), false, true},
        {"null", std::nullopt, false, false},
        {"unreadable", std::string(ProgramShort), true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        folder = FakeFolder();
        FakeItem item;
        item.Application = c.application;
        if (c.getFails)
            item.Failing = {"GetApplicationName"};
        Add("T.job", item);
        FakeWorkItem work(&folder, "T.job", true);
        EXPECT_EQ(CommandLineNeedsRepair(&work, env), c.needed);
    }
}

TEST_F(TaskStoreTest, RepairRewritesTheCommandLineAccountAndSavesInOrder)
{
    const Calls commandLine = {
        std::string("SetApplicationName(") + ProgramShort + ")",
        std::string("SetWorkingDirectory(") + FolderShort + ")",
        "SetParameters(-run \"Backup 1.2\")",
        "GetFlags",
    };
    const struct {
        const char* label;
        uint32_t flags;
        const char* account;
        bool accountFails;
        bool userName;
        Calls accountStep;
    } cases[] = {
        {"runs whenever", 0, "", false, true, {}},
        {"logged on, account kept",
         TaskFlagRunOnlyIfLoggedOn,
         "bob",
         false,
         true,
         {"GetAccountInformation", "SetAccountInformation(bob, null)"}},
        {"logged on, no account",
         TaskFlagRunOnlyIfLoggedOn,
         "",
         false,
         true,
         {"GetAccountInformation", "SetAccountInformation(alice, null)"}},
        {"logged on, account unreadable",
         TaskFlagRunOnlyIfLoggedOn | TaskFlagDisabled,
         "bob",
         true,
         true,
         {"GetAccountInformation", "SetAccountInformation(alice, null)"}},
        {"logged on, no user name",
         TaskFlagRunOnlyIfLoggedOn,
         "",
         false,
         false,
         {"GetAccountInformation"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        folder = FakeFolder();
        userNameWorks = c.userName;
        FakeItem item;
        item.Application = std::string("D:\\OLD\\SCHEDU~1.EXE");
        item.Flags = c.flags;
        item.Account = c.account;
        if (c.accountFails)
            item.Failing = {"GetAccountInformation"};
        Add("Backup 1.2.job", item);
        MyTask record;
        record.FileName = "Backup 1.2.job";
        FakeWorkItem work(&folder, "Backup 1.2.job", true);
        ASSERT_TRUE(LoadTask(&record, &work, env));

        Calls expected = commandLine;
        expected.insert(expected.end(), c.accountStep.begin(), c.accountStep.end());
        expected.push_back("Save");
        Calls calls = folder.CallsOn("Backup 1.2.job");
        const auto repair = std::find(calls.begin(), calls.end(), expected.front());
        ASSERT_NE(repair, calls.end());
        EXPECT_EQ(Calls(repair, calls.end()), expected);
        FreeJobList(&record.Jobs);
    }
}

TEST_F(TaskStoreTest, FailedRepairStepsStillListTheTask)
{
    FakeItem item;
    item.Application = std::string("D:\\OLD\\SCHEDU~1.EXE");
    item.Failing = {"SetApplicationName(" + std::string(ProgramShort) + ")", "Save"};
    Add("T.job", item);
    List();
    EXPECT_EQ(ListedNames(), Calls{"T"});
    EXPECT_EQ(Changes(folder.CallsOn("T.job")).back(), "Save");
}

TEST_F(TaskStoreTest, NothingToRepairMeansNoChange)
{
    FakeItem item;
    item.Flags = TaskFlagRunOnlyIfLoggedOn;
    Add("T.job", item);
    List();
    EXPECT_EQ(ListedNames(), Calls{"T"});
    EXPECT_TRUE(Changes(folder.CallsOn("T.job")).empty());
}

TEST_F(TaskStoreTest, ListingKeepsTheEnumerationOrderAndSkipsForeignItems)
{
    Add("Zulu.job");
    FakeItem foreign;
    foreign.Creator = "Someone";
    Add("Other.job", foreign);
    Add("Alpha.job");
    Add("Mike.job");
    List();
    EXPECT_EQ(ListedNames(), (Calls{"Zulu", "Alpha", "Mike"}));
    EXPECT_EQ(diagnostics, "");
    // Each work item is released before its record is handed on.
    const auto released = std::find(folder.Log.begin(), folder.Log.end(), "Release Alpha.job");
    const auto handed = std::find(folder.Log.begin(), folder.Log.end(), "Listed Alpha");
    EXPECT_LT(released, handed);
    EXPECT_EQ(folder.Log.back(), "Release scheduler");
}

TEST_F(TaskStoreTest, ListingStopsAtTheFirstFailureKeepingEarlierTasks)
{
    const struct {
        const char* failing;
        Calls listed;
        const char* diagnostics;
    } cases[] = {
        {"Create", {}, ""},
        {"Enum", {}, DiagnosticNoEnumerator},
        {"Next", {}, ""},
        {"Activate B.job", {"A"}, DiagnosticActivateFailed},
        {"Query B.job", {"A"}, DiagnosticNoTaskInterface},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failing);
        folder = FakeFolder();
        diagnostics.clear();
        for (MyTask* task : listed) {
            FreeJobList(&task->Jobs);
            delete task;
        }
        listed.clear();
        Add("A.job");
        Add("B.job");
        Add("C.job");
        folder.Failing = {c.failing};
        List();
        EXPECT_EQ(ListedNames(), c.listed);
        EXPECT_EQ(diagnostics, c.diagnostics);
        EXPECT_EQ(std::count(folder.Log.begin(), folder.Log.end(), "Activate C.job"), 0);
    }
}

TEST_F(TaskStoreTest, OpenTaskHandsOverTheWorkItemAndReleasesTheScheduler)
{
    Add("Backup 1.2.job");
    std::unique_ptr<IWorkItem> item = OpenTask(Factory(), "Backup 1.2.job");
    ASSERT_TRUE(item);
    EXPECT_EQ(folder.Log, (Calls{"Create", "Activate Backup 1.2.job", "Release scheduler"}));

    EXPECT_FALSE(OpenTask(Factory(), "Missing.job"));
    folder.Failing = {"Create"};
    EXPECT_FALSE(OpenTask(Factory(), "Backup 1.2.job"));
}

TEST_F(TaskStoreTest, DeleteTaskGivesTheResultOfDeleteOrOfCreatingTheScheduler)
{
    folder.DeleteResult = TS_E_SHARING_VIOLATION;
    EXPECT_EQ(DeleteTask(Factory(), "Backup"), TS_E_SHARING_VIOLATION);
    EXPECT_EQ(folder.Log, (Calls{"Create", "Delete Backup", "Release scheduler"}));
    folder.DeleteResult = TS_OK;
    EXPECT_EQ(DeleteTask(Factory(), "Backup"), TS_OK);
    folder.Failing = {"Create"};
    EXPECT_EQ(DeleteTask(Factory(), "Backup"), TS_E_FAIL);
}

TEST(TaskStoreNames, NameIsTheFileNameWithoutItsExtension)
{
    const struct {
        const char* fileName;
        const char* name;
    } cases[] = {
        {"Backup.job", "Backup"},
        {"Backup 1.2.job", "Backup 1.2"},
        {"NoDot", "NoDot"},
        {"dir.x\\Task", "dir.x\\Task"},
        {".job", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TaskNameOf(c.fileName), c.name) << c.fileName;
    EXPECT_EQ(TaskParameters("Backup"), "-run \"Backup\"");
}

} // namespace
