#pragma once
// The reading side of the task store: listing the program's own tasks,
// loading one record from its work item, repairing a moved program's command
// line, and opening and deleting one work item.

#include <functional>
#include <memory>
#include <string>

#include "taskstore/Task.h"
#include "taskstore/WorkItemStore.h"

// What the task store needs from the running program.
struct TaskStoreEnvironment {
    std::string ProgramPath;   // short form of the program file's full path
    std::string ProgramFolder; // short form of ProgramFolder
    // The logged-on user's name; false when it cannot be had.
    std::function<bool(std::string*)> UserName;
    // Lower-cases a path for comparison; ASCII letters only when unset.
    std::function<std::string(const std::string&)> LowerCase;
    // The scratch file that the action reader's INI object is named after;
    // deleted around the reading. Nothing is deleted when empty.
    std::string TempActionFile;
    // Receives the diagnostic lines; standard output when unset.
    std::function<void(const char*)> Diagnostic;
};

extern const char DiagnosticNoEnumerator[];    // "Failed to get enumerator\n"
extern const char DiagnosticActivateFailed[];  // "Error: Activate Failed\n"
extern const char DiagnosticNoTaskInterface[]; // "Error: QI for ITask failed in Activate.\n"

// Hands every own task of the Tasks folder, in enumeration order, to onTask,
// which takes the record over.
void ListTasks(const SchedulerFactory& createScheduler, const TaskStoreEnvironment& env,
               const std::function<void(MyTask*)>& onTask);

// Fills the record (FileName set) from the open work item; true when it is one
// of the program's own tasks. Repairs the command line when it needs it.
bool LoadTask(MyTask* record, IWorkItem* item, const TaskStoreEnvironment& env);

// True when the work item's command line does not start the running program.
bool CommandLineNeedsRepair(IWorkItem* item, const TaskStoreEnvironment& env);
// Points the work item at the running program and saves it; results ignored.
void RepairCommandLine(IWorkItem* item, const std::string& name, const TaskStoreEnvironment& env);

// The work item of that name (FileName, with ".job"), or null.
std::unique_ptr<IWorkItem> OpenTask(const SchedulerFactory& createScheduler,
                                    const std::string& fileName);

// Deletes the task's work item (Name, without ".job"): the result of Delete,
// or the failure of creating the scheduler object.
long DeleteTask(const SchedulerFactory& createScheduler, const std::string& name);

// A file name without its extension (the text before the last '.' of the
// name part).
std::string TaskNameOf(const std::string& fileName);
// The parameters of a task's command line: -run "Name".
std::string TaskParameters(const std::string& name);
