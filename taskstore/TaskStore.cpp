#include "taskstore/TaskStore.h"

#include <cstdio>

#include "actions/IniFile.h"
#include "actions/JobIni.h"
#include "actions/JobPack.h"
#include "app/CommandLine.h"

const char OwnTaskCreator[] = "VemkoScheduler";
const char DiagnosticNoEnumerator[] = "Failed to get enumerator\n";
const char DiagnosticActivateFailed[] = "Error: Activate Failed\n";
const char DiagnosticNoTaskInterface[] = "Error: QI for ITask failed in Activate.\n";

namespace {

void WriteDiagnostic(const TaskStoreEnvironment& env, const char* line)
{
    if (env.Diagnostic)
        env.Diagnostic(line);
    else
        std::printf("%s", line);
}

std::string LowerCase(const TaskStoreEnvironment& env, const std::string& text)
{
    return env.LowerCase ? env.LowerCase(text) : LowerCaseAscii(text);
}

void DeleteTempActionFile(const TaskStoreEnvironment& env)
{
    if (!env.TempActionFile.empty())
        std::remove(env.TempActionFile.c_str());
}

void DeleteRecord(MyTask* record)
{
    FreeJobList(&record->Jobs);
    delete record;
}

} // namespace

std::string TaskNameOf(const std::string& fileName)
{
    const size_t dot = fileName.rfind('.');
    const size_t slash = fileName.find_last_of("\\/");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return fileName;
    return fileName.substr(0, dot);
}

std::string TaskParameters(const std::string& name)
{
    return "-run \"" + name + "\"";
}

void ListTasks(const SchedulerFactory& createScheduler, const TaskStoreEnvironment& env,
               const std::function<void(MyTask*)>& onTask)
{
    std::unique_ptr<ITaskStoreScheduler> scheduler;
    if (TsFailed(createScheduler(&scheduler)) || !scheduler)
        return;
    std::unique_ptr<IWorkItemNames> names;
    if (TsFailed(scheduler->Enum(&names)) || !names) {
        WriteDiagnostic(env, DiagnosticNoEnumerator);
        return;
    }
    for (;;) {
        std::string name;
        const long next = names->Next(&name);
        if (next == TS_FALSE || TsFailed(next))
            break;
        std::unique_ptr<IWorkItem> activated;
        if (TsFailed(scheduler->Activate(name, &activated)) || !activated) {
            WriteDiagnostic(env, DiagnosticActivateFailed);
            break;
        }
        std::unique_ptr<IWorkItem> item;
        const long query = activated->QueryTask(&item);
        activated.reset();
        if (TsFailed(query) || !item) {
            WriteDiagnostic(env, DiagnosticNoTaskInterface);
            break;
        }
        auto* record = new MyTask;
        record->FileName = name;
        const bool own = LoadTask(record, item.get(), env);
        item.reset();
        if (own && onTask)
            onTask(record);
        else
            DeleteRecord(record);
    }
}

bool LoadTask(MyTask* record, IWorkItem* item, const TaskStoreEnvironment& env)
{
    if (!record || !item)
        return false;
    std::string creator;
    if (TsFailed(item->GetCreator(&creator)) || creator != OwnTaskCreator)
        return false;
    if (TsFailed(item->GetComment(&record->Comment)))
        return false;
    uint32_t flags = 0;
    if (TsFailed(item->GetFlags(&flags)))
        return false;
    record->Enabled = (flags & TaskFlagDisabled) == 0;

    record->Triggers.clear();
    uint16_t count = 0;
    if (TsSucceeded(item->GetTriggerCount(&count))) {
        for (uint16_t i = 0; i < count; ++i) {
            std::string text;
            if (TsSucceeded(item->GetTriggerString(i, &text)))
                record->Triggers += text + "\r\n";
        }
    }

    std::string packed;
    if (TsFailed(item->GetWorkItemData(&packed)))
        return false;
    DeleteTempActionFile(env);
    {
        MemIniFile ini(env.TempActionFile);
        ini.SetText(UnpackJobText(packed));
        FreeJobList(&record->Jobs);
        ReadJobList(&ini, &record->Jobs);
    }
    DeleteTempActionFile(env);

    // The name follows the file, not the copy kept in the work item data.
    record->Name = TaskNameOf(record->FileName);

    if (CommandLineNeedsRepair(item, env))
        RepairCommandLine(item, record->Name, env);
    return true;
}

bool CommandLineNeedsRepair(IWorkItem* item, const TaskStoreEnvironment& env)
{
    std::optional<std::string> application;
    if (TsFailed(item->GetApplicationName(&application)))
        return true;
    if (!application)
        return false;
    return LowerCase(env, *application) != LowerCase(env, env.ProgramPath);
}

void RepairCommandLine(IWorkItem* item, const std::string& name, const TaskStoreEnvironment& env)
{
    item->SetApplicationName(env.ProgramPath);
    item->SetWorkingDirectory(env.ProgramFolder);
    item->SetParameters(TaskParameters(name));
    uint32_t flags = 0;
    if (TsSucceeded(item->GetFlags(&flags)) && (flags & TaskFlagRunOnlyIfLoggedOn)) {
        std::string account;
        bool have = TsSucceeded(item->GetAccountInformation(&account)) && !account.empty();
        if (!have)
            have = env.UserName && env.UserName(&account);
        if (have)
            item->SetAccountInformation(account, nullptr);
    }
    item->Save();
}

std::unique_ptr<IWorkItem> OpenTask(const SchedulerFactory& createScheduler,
                                    const std::string& fileName)
{
    std::unique_ptr<ITaskStoreScheduler> scheduler;
    if (TsFailed(createScheduler(&scheduler)) || !scheduler)
        return nullptr;
    std::unique_ptr<IWorkItem> item;
    if (TsFailed(scheduler->Activate(fileName, &item)))
        return nullptr;
    return item;
}

long DeleteTask(const SchedulerFactory& createScheduler, const std::string& name)
{
    std::unique_ptr<ITaskStoreScheduler> scheduler;
    const long created = createScheduler(&scheduler);
    if (TsFailed(created))
        return created;
    if (!scheduler)
        return TS_E_FAIL;
    return scheduler->Delete(name);
}
