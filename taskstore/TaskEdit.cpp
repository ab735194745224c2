#include "taskstore/TaskEdit.h"

#include <cstdio>

#include "actions/IniFile.h"
#include "actions/JobIni.h"
#include "actions/JobPack.h"

const char MsgNoScheduler[] = "Failed to create TaskScheduler instance";
const char MsgCreateFailed[] = "Create new task failed";
const char MsgSetCommandFailed[] = "Failed to set command name with parms";
const char MsgSetFolderFailed[] = "Failed to set working directory";
const char MsgSetCreatorFailed[] = "Failed to set task author";
const char MsgSetParamsFailed[] = "Failed to set task parameters";
const char MsgOptionsFailed[] = "Failed to set task options";
const char MsgFlagsFailed[] = "Failed to set task flags";
const char MsgSetCommentFailed[] = "Failed to set task comment";
const char MsgRenameFailed[] = "Failed to rename the task.\r\nPlease try again later.";
const char MsgSaveAccountFailed[] =
    "Failed to save task.\r\n\r\nPlease make sure the account information is correct, the "
    "account has a non-blank password and you have the privilege to modify this task.";
const char MsgSaveLaterFailed[] = "Failed to save task.\r\n\r\nPlease try again later.";

namespace {

const char MainSection[] = "Main";
const char NoTriggersLine[] = "<Click to set triggers>";

void Show(const TaskEditEnvironment& env, const char* message)
{
    if (env.ShowError)
        env.ShowError(message);
}

bool FileExists(const TaskEditEnvironment& env, const std::string& path)
{
    return env.FileExists && env.FileExists(path);
}

std::string Lower(const TaskStoreEnvironment& env, const std::string& text)
{
    if (env.LowerCase)
        return env.LowerCase(text);
    std::string lower = text;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return lower;
}

void FreeRecord(MyTask* record)
{
    FreeJobList(&record->Jobs);
    delete record;
}

// The readable trigger descriptions, in index order.
std::vector<std::string> TriggerDescriptions(IWorkItem* item)
{
    std::vector<std::string> texts;
    uint16_t count = 0;
    if (!item || TsFailed(item->GetTriggerCount(&count)))
        return texts;
    for (uint16_t i = 0; i < count; ++i) {
        std::string text;
        if (TsSucceeded(item->GetTriggerString(i, &text)))
            texts.push_back(text);
    }
    return texts;
}

} // namespace

bool BeginNewTask(const SchedulerFactory& createScheduler, const TaskEditEnvironment& env,
                  TaskEditState* state)
{
    state->Task = nullptr;
    state->WorkItem.reset();
    std::unique_ptr<ITaskStoreScheduler> scheduler;
    if (TsFailed(createScheduler(&scheduler)) || !scheduler) {
        Show(env, MsgNoScheduler);
        return false;
    }
    auto* record = new MyTask;
    std::unique_ptr<IWorkItem> item;
    std::string name;
    for (unsigned i = 1;; ++i) {
        name = "Task" + std::to_string(i);
        // The Task Scheduler may not report a name whose file exists (Wine
        // never does): saving under it would overwrite that task.
        if (FileExists(env, env.TasksFolder + name + ".job"))
            continue;
        const long hr = scheduler->NewWorkItem(name, &item);
        if (TsSucceeded(hr) && item)
            break;
        if (hr == TS_E_FILE_EXISTS)
            continue;
        Show(env, MsgCreateFailed);
        delete record;
        return false;
    }
    record->Name = name;
    record->FileName = name + ".job";
    scheduler.reset();

    if (TsFailed(item->SetApplicationName(env.Store.ProgramPath))) {
        Show(env, MsgSetCommandFailed);
        delete record;
        return false;
    }
    if (TsFailed(item->SetWorkingDirectory(env.Store.ProgramFolder))) {
        Show(env, MsgSetFolderFailed);
        delete record;
        return false;
    }
    std::string user;
    if (env.Store.UserName && env.Store.UserName(&user))
        item->SetAccountInformation(user, nullptr);
    item->SetFlags(TaskFlagRunOnlyIfLoggedOn);

    state->Task = record;
    state->WorkItem = std::move(item);
    state->OldName = name;
    state->IsNew = true;
    return true;
}

std::vector<std::string> TriggerMemoLines(IWorkItem* item)
{
    std::vector<std::string> lines;
    for (const std::string& text : TriggerDescriptions(item)) {
        lines.push_back(text);
        lines.push_back(std::string());
    }
    if (lines.empty())
        lines.push_back(NoTriggersLine);
    return lines;
}

void ReadTriggerText(IWorkItem* item, MyTask* record)
{
    record->Triggers.clear();
    for (const std::string& text : TriggerDescriptions(item))
        record->Triggers += text + "\r\n";
}

bool ApplyTaskProperties(IWorkItem* item, const MyTask& record, bool runOnlyIfLoggedOn,
                         CommentRule rule, const std::string& commentText,
                         const char* flagMessage, const TaskEditEnvironment& env)
{
    if (TsFailed(item->SetCreator(OwnTaskCreator))) {
        Show(env, MsgSetCreatorFailed);
        return false;
    }
    if (TsFailed(item->SetParameters(TaskParameters(record.Name)))) {
        Show(env, MsgSetParamsFailed);
        return false;
    }
    uint32_t flags = 0;
    if (TsFailed(item->GetFlags(&flags))) {
        Show(env, flagMessage);
        return false;
    }
    if (record.Enabled)
        flags &= ~TaskFlagDisabled;
    else
        flags |= TaskFlagDisabled;
    if (runOnlyIfLoggedOn)
        flags |= TaskFlagRunOnlyIfLoggedOn;
    else
        flags &= ~TaskFlagRunOnlyIfLoggedOn;
    if (TsFailed(item->SetFlags(flags))) {
        Show(env, flagMessage);
        return false;
    }
    if (rule == CommentRule::Always || commentText != record.Comment) {
        const std::string& comment = rule == CommentRule::Always ? record.Comment : commentText;
        if (TsFailed(item->SetComment(comment))) {
            Show(env, MsgSetCommentFailed);
            return false;
        }
    }
    return true;
}

bool SaveJobsToTask(IWorkItem* item, const MyTask* record, const TaskStoreEnvironment& env)
{
    if (!item || !record)
        return false;
    // The text is built in memory: a scratch file left over from an earlier
    // run must not lend its sections to this list.
    MemIniFile ini;
    ini.WriteString(MainSection, "Name", record->Name);
    WriteJobList(&ini, record->Jobs);
    const std::string text = ini.GetText();
    if (!env.TempActionFile.empty())
        std::remove(env.TempActionFile.c_str());
    const std::string packed = PackJobText(text);
    if (packed.size() >= WorkItemDataLimit)
        return false;
    return TsSucceeded(item->SetWorkItemData(packed));
}

void StoreTaskActions(IWorkItem* item, MyTask* record, const std::vector<const MyJob*>& actions,
                      const TaskEditEnvironment& env)
{
    FreeJobList(&record->Jobs);
    MyJob** tail = &record->Jobs;
    for (const MyJob* action : actions) {
        if (!action)
            continue;
        MyJob* copy = nullptr;
        if (!CloneJob(action, &copy) || !copy)
            continue;
        copy->Next = nullptr;
        *tail = copy;
        tail = &copy->Next;
    }
    // A list that does not fit leaves the data the work item had.
    SaveJobsToTask(item, record, env.Store);
}

bool SetTaskAccount(IWorkItem* item, const std::string& user, const std::string& password)
{
    const long hr =
        item->SetAccountInformation(user, password.empty() ? nullptr : password.c_str());
    return TsSucceeded(hr) || hr == TS_E_NO_SECURITY_SERVICES;
}

CommitResult CommitTask(const SchedulerFactory& createScheduler, const TaskEditEnvironment& env,
                        TaskEditState* state)
{
    MyTask* record = state->Task;
    IWorkItem* item = state->WorkItem.get();
    if (!record || !item)
        return CommitResult::OtherFailure;
    const std::string path = env.TasksFolder + record->FileName;

    if (Lower(env.Store, record->Name) != Lower(env.Store, state->OldName)) {
        std::unique_ptr<ITaskStoreScheduler> scheduler;
        if (TsFailed(createScheduler(&scheduler)) || !scheduler) {
            Show(env, MsgRenameFailed);
            return CommitResult::OtherFailure;
        }
        // A file of that name that was there before is another task's: a
        // failed write leaves it alone.
        const bool existed = FileExists(env, path);
        if (TsFailed(scheduler->AddWorkItem(record->Name, item))) {
            if (!existed && FileExists(env, path))
                DeleteTask(createScheduler, record->Name);
            scheduler.reset();
            Show(env, MsgSaveAccountFailed);
            return CommitResult::SaveFailed;
        }
        // Only now that the new file is written does the old one go.
        scheduler->Delete(state->OldName);
        scheduler.reset();
        state->OldName = record->Name;
        return CommitResult::Saved;
    }

    if (TsFailed(item->QueryFile())) {
        Show(env, MsgSaveLaterFailed);
        return CommitResult::OtherFailure;
    }
    const bool existed = FileExists(env, path);
    const long saved = existed ? item->Save() : item->SaveAs(path);
    if (TsFailed(saved)) {
        if (state->IsNew && !existed && FileExists(env, path))
            DeleteTask(createScheduler, record->Name);
        Show(env, MsgSaveAccountFailed);
        return CommitResult::SaveFailed;
    }
    item->SaveCompleted();
    return CommitResult::Saved;
}

void DiscardNewTask(const SchedulerFactory& createScheduler, const TaskEditEnvironment& env,
                    TaskEditState* state)
{
    if (!state->Task)
        return;
    if (FileExists(env, env.TasksFolder + state->Task->FileName))
        DeleteTask(createScheduler, state->Task->Name);
    FreeRecord(state->Task);
    state->Task = nullptr;
}

void RestoreTaskName(TaskEditState* state)
{
    if (!state->Task)
        return;
    state->Task->Name = state->OldName;
    state->Task->FileName = state->OldName + ".job";
}
