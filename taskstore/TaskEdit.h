#pragma once
// The writing side of the task store: what the two task dialogs do with the
// one work item they hold open. A new task starts under a provisional name;
// properties, account and actions change the work item in memory only; the
// work item reaches its .job file in CommitTask, and a cancelled new task
// leaves nothing behind.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "taskstore/Task.h"
#include "taskstore/TaskStore.h"
#include "taskstore/WorkItemStore.h"

// What the writing side needs beyond the reading side's environment.
struct TaskEditEnvironment {
    TaskStoreEnvironment Store;
    std::string TasksFolder; // with its trailing backslash
    std::function<bool(const std::string&)> FileExists;
    // A message box owned by the dialog: caption "Error", the error icon, OK.
    std::function<void(const char*)> ShowError;
};

// A dialog's editing state while it is shown.
struct TaskEditState {
    MyTask* Task = nullptr; // a new task's record is the dialog's until it hands it on
    std::unique_ptr<IWorkItem> WorkItem;
    std::string OldName; // the name created or opened under, or last written by CommitTask
    bool IsNew = false;
};

extern const char MsgNoScheduler[];       // "Failed to create TaskScheduler instance"
extern const char MsgCreateFailed[];      // "Create new task failed"
extern const char MsgSetCommandFailed[];  // "Failed to set command name with parms"
extern const char MsgSetFolderFailed[];   // "Failed to set working directory"
extern const char MsgSetCreatorFailed[];  // "Failed to set task author"
extern const char MsgSetParamsFailed[];   // "Failed to set task parameters"
extern const char MsgOptionsFailed[];     // "Failed to set task options" (options dialog)
extern const char MsgFlagsFailed[];       // "Failed to set task flags" (wizard)
extern const char MsgSetCommentFailed[];  // "Failed to set task comment"
extern const char MsgRenameFailed[];      // "Failed to rename the task.\r\nPlease try again later."
extern const char MsgSaveAccountFailed[]; // "Failed to save task.\r\n\r\nPlease make sure ..."
extern const char MsgSaveLaterFailed[];   // "Failed to save task.\r\n\r\nPlease try again later."

// The largest packed action list a work item takes, plus one.
constexpr size_t WorkItemDataLimit = 65536;

// A new record (enabled, no actions) and its provisional work item "TaskN",
// the first N whose name is free, in state.Task and state.WorkItem. False
// (both left null) after its message.
bool BeginNewTask(const SchedulerFactory& createScheduler, const TaskEditEnvironment& env,
                  TaskEditState* state);

// The lines of the trigger memo: each readable description and an empty line
// after it, or "<Click to set triggers>" when there is none.
std::vector<std::string> TriggerMemoLines(IWorkItem* item);
// The record's Triggers refreshed: each readable description and CR LF.
void ReadTriggerText(IWorkItem* item, MyTask* record);

enum class CommentRule {
    WhenChanged, // the options dialog: only a comment that differs from the record's
    Always,      // the wizard: the record's comment every time
};

// Creator, parameters, flags and comment into the work item. False after the
// message of the failed step; what was set before stays set.
bool ApplyTaskProperties(IWorkItem* item, const MyTask& record, bool runOnlyIfLoggedOn,
                         CommentRule rule, const std::string& commentText,
                         const char* flagMessage, const TaskEditEnvironment& env);

// The record's action list replaced by copies of the dialog's actions, in
// order (null entries skipped), and stored as the work item's data. A list
// that cannot be stored leaves the work item's old data, without a message.
void StoreTaskActions(IWorkItem* item, MyTask* record, const std::vector<const MyJob*>& actions,
                      const TaskEditEnvironment& env);

// The record's name and actions, packed, as the work item's data; false when
// the packed list is too long or the work item refuses it.
bool SaveJobsToTask(IWorkItem* item, const MyTask* record, const TaskStoreEnvironment& env);

// The account the task runs under; an empty password means none.
bool SetTaskAccount(IWorkItem* item, const std::string& user, const std::string& password);

enum class CommitResult { Saved, SaveFailed, OtherFailure };

// Writes the work item to its file, under the new name when the name changed
// (not only its letter case); a failed write removes what it left of a new
// file. The messages are shown here.
CommitResult CommitTask(const SchedulerFactory& createScheduler, const TaskEditEnvironment& env,
                        TaskEditState* state);

// Cancel of a new task: its file (if any) and its record go.
void DiscardNewTask(const SchedulerFactory& createScheduler, const TaskEditEnvironment& env,
                    TaskEditState* state);

// Cancel of an existing task: the record's name back to OldName.
void RestoreTaskName(TaskEditState* state);
