#pragma once
// One task as the program knows it: a snapshot of a work item of the Task
// Scheduler. The record owns its action list; whoever deletes the record
// first frees the list with FreeJobList.

#include <string>

#include "actions/Job.h"

struct MyTask {
    std::string Name;     // the work item's name without ".job"
    bool Enabled = true;  // the work item is not disabled
    std::string FileName; // the work item's name, Name + ".job"
    std::string Comment;
    std::string Triggers; // one description per trigger, each ending in CR LF
    MyJob* Jobs = nullptr;
};
