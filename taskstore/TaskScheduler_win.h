#pragma once
// The task store's view of the Task Scheduler over its COM interfaces
// (mstask), with what Wine's Task Scheduler needs besides: names with a dot
// opened and deleted through their files, the ".job" of a name dropped before
// Activate, a Delete retried while the service reads the file, and trigger
// descriptions of our own where GetTriggerString gives none.

#include <mstask.h>
#include <windows.h>

#include <memory>
#include <string>

#include "taskstore/TaskEdit.h"
#include "taskstore/TaskStore.h"
#include "taskstore/TriggerText.h"

// A new scheduler object (CoCreateInstance of CLSID_CTaskScheduler); the
// result of creating it. Fits SchedulerFactory.
long CreateComScheduler(std::unique_ptr<ITaskStoreScheduler>* scheduler);

// The running program as the task store sees it: short paths of the program
// file and ProgramFolder, the logged-on user, TempActionFile.
TaskStoreEnvironment ProgramTaskEnvironment();

// The same for a task dialog: TasksFolder, the file system, and error
// messages owned by the dialog's window.
TaskEditEnvironment ProgramTaskEditEnvironment(HWND owner);

// A date and a time in the user's short formats (no seconds).
std::string UserDate(int year, int month, int day);
std::string UserTime(int hour, int minute);
// The portable fields of a trigger.
TriggerFields FieldsOf(const TASK_TRIGGER& t);

// The ITask behind a work item of the COM scheduler (no reference added), or
// null for any other work item.
ITask* ComTaskOf(IWorkItem* item);

// The description of one trigger in the user's date and time formats, or
// empty when the trigger cannot be read or is Wine's placeholder.
std::string DescribeComTrigger(ITask* task, WORD index);
