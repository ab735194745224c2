// maketask: makes, shows and deletes Task Scheduler work items for the tests,
// laid out the way the program keeps its own tasks. Never shipped.
//
//   maketask create NAME ACTIONFILE --program PATH [--comment TEXT]
//            [--creator TEXT] [--disabled] [--logged-on-only]
//            [--trigger WHEN]... [--replace]
//   maketask show NAME
//   maketask delete NAME
//
// ACTIONFILE is an action file, packed or in the plain form, or a bare INI
// text. PATH is the scheduler.exe the task starts. WHEN is one of
//   once:YYYY-MM-DD@HH:MM   daily:HH:MM[/DAYS]   weekly:HH:MM:DAY[,DAY...]
//   none
// with DAY one of sun mon tue wed thu fri sat; daily and weekly triggers
// start today. Exit status 0 done, 1 failed (a message on standard error).

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include <fcntl.h>
#include <io.h>

#include "actions/IniFile.h"
#include "actions/JobIni.h"
#include "actions/JobPack.h"
#include "actions/JobSummary.h"
#include "taskstore/TaskScheduler_win.h"
#include "win32/Handles.h"

namespace {

const char Usage[] =
    "usage: maketask create NAME ACTIONFILE --program PATH [--comment TEXT] [--creator TEXT]\n"
    "                [--disabled] [--logged-on-only] [--trigger WHEN]... [--replace]\n"
    "       maketask show NAME\n"
    "       maketask delete NAME\n"
    "WHEN: once:YYYY-MM-DD@HH:MM, daily:HH:MM[/DAYS], weekly:HH:MM:mon,tue,..., none\n";

int Fail(const std::string& message)
{
    std::fprintf(stderr, "maketask: %s\n", message.c_str());
    return 1;
}

class ComSession {
public:
    ComSession() : m_hr(CoInitialize(nullptr)) {}
    ~ComSession()
    {
        if (SUCCEEDED(m_hr))
            CoUninitialize();
    }
    ComSession(const ComSession&) = delete;
    ComSession& operator=(const ComSession&) = delete;

private:
    HRESULT m_hr;
};

std::string Hex(long value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
    return text;
}

// --- triggers ---------------------------------------------------------------

// Reads a decimal number of 1 to `digits` digits at *pos, moving past it.
bool Number(const std::string& text, size_t* pos, size_t digits, int* value)
{
    size_t i = *pos;
    int v = 0;
    while (i < text.size() && i - *pos < digits && text[i] >= '0' && text[i] <= '9')
        v = v * 10 + (text[i++] - '0');
    if (i == *pos)
        return false;
    *pos = i;
    *value = v;
    return true;
}

bool Expect(const std::string& text, size_t* pos, char c)
{
    if (*pos >= text.size() || text[*pos] != c)
        return false;
    ++*pos;
    return true;
}

bool Clock(const std::string& text, size_t* pos, TASK_TRIGGER* t)
{
    int hour = 0, minute = 0;
    if (!Number(text, pos, 2, &hour) || !Expect(text, pos, ':') || !Number(text, pos, 2, &minute))
        return false;
    if (hour > 23 || minute > 59)
        return false;
    t->wStartHour = WORD(hour), t->wStartMinute = WORD(minute);
    return true;
}

bool DayBits(const std::string& list, WORD* bits)
{
    static const char* const names[7] = {"sun", "mon", "tue", "wed", "thu", "fri", "sat"};
    *bits = 0;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(',', start);
        if (end == std::string::npos)
            end = list.size();
        const std::string day = list.substr(start, end - start);
        int found = -1;
        for (int i = 0; i < 7; ++i)
            if (lstrcmpiA(day.c_str(), names[i]) == 0)
                found = i;
        if (found < 0)
            return false;
        *bits |= WORD(1u << found);
        start = end + 1;
    }
    return *bits != 0;
}

void StartToday(TASK_TRIGGER* t)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    t->wBeginYear = now.wYear, t->wBeginMonth = now.wMonth, t->wBeginDay = now.wDay;
}

// One trigger from its command-line form; false when it is not one.
bool ParseTrigger(const std::string& when, TASK_TRIGGER* t)
{
    *t = TASK_TRIGGER();
    t->cbTriggerSize = sizeof *t;
    const size_t colon = when.find(':');
    if (colon == std::string::npos)
        return false;
    const std::string kind = when.substr(0, colon);
    size_t pos = colon + 1;
    if (kind == "once") {
        int year = 0, month = 0, day = 0;
        if (!Number(when, &pos, 4, &year) || !Expect(when, &pos, '-') ||
            !Number(when, &pos, 2, &month) || !Expect(when, &pos, '-') ||
            !Number(when, &pos, 2, &day) || !Expect(when, &pos, '@') || !Clock(when, &pos, t))
            return false;
        if (year < 1601 || month < 1 || month > 12 || day < 1 || day > 31)
            return false;
        t->wBeginYear = WORD(year), t->wBeginMonth = WORD(month), t->wBeginDay = WORD(day);
        t->TriggerType = TASK_TIME_TRIGGER_ONCE;
        return pos == when.size();
    }
    if (kind == "daily") {
        if (!Clock(when, &pos, t))
            return false;
        int every = 1;
        if (Expect(when, &pos, '/') && (!Number(when, &pos, 5, &every) || every < 1 || every > 0xFFFF))
            return false;
        StartToday(t);
        t->TriggerType = TASK_TIME_TRIGGER_DAILY;
        t->Type.Daily.DaysInterval = WORD(every);
        return pos == when.size();
    }
    if (kind == "weekly") {
        WORD days = 0;
        if (!Clock(when, &pos, t) || !Expect(when, &pos, ':') || !DayBits(when.substr(pos), &days))
            return false;
        StartToday(t);
        t->TriggerType = TASK_TIME_TRIGGER_WEEKLY;
        t->Type.Weekly.WeeksInterval = 1;
        t->Type.Weekly.rgfDaysOfTheWeek = days;
        return true;
    }
    return false;
}

// --- create -----------------------------------------------------------------

struct CreateOptions {
    std::string Name;
    std::string ActionFile;
    std::string Program;
    std::string Comment;
    std::string Creator = OwnTaskCreator;
    uint32_t Flags = 0;
    std::vector<TASK_TRIGGER> Triggers;
    bool Replace = false;
};

bool ParseCreate(int argc, char** argv, CreateOptions* o, std::string* error)
{
    if (argc < 4) {
        *error = "create needs NAME and ACTIONFILE";
        return false;
    }
    o->Name = argv[2];
    o->ActionFile = argv[3];
    for (int i = 4; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string* out) {
            if (i + 1 >= argc) {
                *error = arg + " needs a value";
                return false;
            }
            *out = argv[++i];
            return true;
        };
        std::string text;
        if (arg == "--program") {
            if (!value(&o->Program))
                return false;
        } else if (arg == "--comment") {
            if (!value(&o->Comment))
                return false;
        } else if (arg == "--creator") {
            if (!value(&o->Creator))
                return false;
        } else if (arg == "--disabled") {
            o->Flags |= TaskFlagDisabled;
        } else if (arg == "--logged-on-only") {
            o->Flags |= TaskFlagRunOnlyIfLoggedOn;
        } else if (arg == "--replace") {
            o->Replace = true;
        } else if (arg == "--trigger") {
            if (!value(&text))
                return false;
            if (text == "none")
                continue;
            TASK_TRIGGER t;
            if (!ParseTrigger(text, &t)) {
                *error = "not a trigger: " + text;
                return false;
            }
            o->Triggers.push_back(t);
        } else {
            *error = "unknown option " + arg;
            return false;
        }
    }
    if (o->Name.empty()) {
        *error = "the task name is empty";
        return false;
    }
    if (o->Program.empty()) {
        *error = "create needs --program PATH, the scheduler.exe the task starts";
        return false;
    }
    return true;
}

// Packed, plain or bare INI text; false when none of them is an action list.
bool ReadActions(const std::string& fileName, JobList* jobs, std::string* error)
{
    std::string bytes;
    if (!ReadFileBytes(fileName, &bytes)) {
        *error = "cannot read " + fileName;
        return false;
    }
    if (ReadPackedJobs(bytes, jobs->Place()) > 0)
        return true;
    MemIniFile ini;
    ini.SetText(bytes);
    if (ReadJobList(&ini, jobs->Place()) > 0)
        return true;
    *error = fileName + " is not a valid action list";
    return false;
}

std::string ShortPath(const std::string& path)
{
    char buffer[MAX_PATH];
    DWORD len = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    if (len == 0 || len >= sizeof buffer)
        return path;
    return std::string(buffer, len);
}

// The program's file and folder as the running program would report them.
void ProgramPaths(const std::string& program, std::string* file, std::string* folder)
{
    char full[MAX_PATH];
    char* namePart = nullptr;
    DWORD len = GetFullPathNameA(program.c_str(), sizeof full, full, &namePart);
    const std::string path = (len > 0 && len < sizeof full) ? std::string(full, len) : program;
    const size_t slash = path.find_last_of("\\/");
    *file = ShortPath(path);
    *folder = ShortPath(slash == std::string::npos ? std::string() : path.substr(0, slash + 1));
}

std::string TaskData(const std::string& name, const MyJob* head)
{
    MemIniFile ini;
    ini.WriteString("Main", "Name", name);
    WriteJobList(&ini, head);
    return PackJobText(ini.GetText());
}

bool Check(long hr, const char* what, std::string* error)
{
    if (TsSucceeded(hr))
        return true;
    *error = std::string(what) + " failed (" + Hex(hr) + ")";
    return false;
}

bool AddTriggers(IWorkItem* item, const std::vector<TASK_TRIGGER>& triggers, std::string* error)
{
    ITask* task = ComTaskOf(item);
    if (!task && !triggers.empty()) {
        *error = "the work item has no ITask";
        return false;
    }
    for (TASK_TRIGGER t : triggers) {
        WORD index = 0;
        ComPtr<ITaskTrigger> trigger;
        if (!Check(task->CreateTrigger(&index, trigger.Put()), "CreateTrigger", error) ||
            !Check(trigger->SetTrigger(&t), "SetTrigger", error))
            return false;
    }
    return true;
}

int Create(const CreateOptions& o)
{
    std::string error;
    JobList jobs;
    if (!ReadActions(o.ActionFile, &jobs, &error))
        return Fail(error);
    std::string programFile, programFolder;
    ProgramPaths(o.Program, &programFile, &programFolder);

    if (OpenTask(CreateComScheduler, o.Name)) {
        if (!o.Replace)
            return Fail("a task named \"" + o.Name + "\" exists (--replace overwrites it)");
        if (!Check(DeleteTask(CreateComScheduler, o.Name), "Delete", &error))
            return Fail(error);
    }

    std::unique_ptr<ITaskStoreScheduler> scheduler;
    if (!Check(CreateComScheduler(&scheduler), "creating the Task Scheduler", &error))
        return Fail(error);
    std::unique_ptr<IWorkItem> item;
    long hr = scheduler->NewWorkItem(o.Name, &item);
    if (TsFailed(hr) && o.Name.find('.') != std::string::npos) {
        // Wine makes no work item with a dot in its name; AddWorkItem still
        // writes it under the real one.
        std::string standIn = o.Name;
        for (char& c : standIn)
            if (c == '.')
                c = '_';
        hr = scheduler->NewWorkItem(standIn, &item);
    }
    if (!Check(hr, "NewWorkItem", &error) || !item)
        return Fail(error.empty() ? "NewWorkItem gave no work item" : error);

    const bool set =
        Check(item->SetCreator(o.Creator), "SetCreator", &error) &&
        Check(item->SetComment(o.Comment), "SetComment", &error) &&
        Check(item->SetFlags(o.Flags), "SetFlags", &error) &&
        Check(item->SetApplicationName(programFile), "SetApplicationName", &error) &&
        Check(item->SetParameters(TaskParameters(o.Name)), "SetParameters", &error) &&
        Check(item->SetWorkingDirectory(programFolder), "SetWorkingDirectory", &error) &&
        Check(item->SetWorkItemData(TaskData(o.Name, jobs.Head())), "SetWorkItemData", &error) &&
        AddTriggers(item.get(), o.Triggers, &error);
    if (!set)
        return Fail(error);
    if (o.Flags & TaskFlagRunOnlyIfLoggedOn) {
        // What the program does for such a task: the user's account, no password.
        char user[256];
        DWORD size = sizeof user;
        if (GetUserNameA(user, &size) &&
            !Check(item->SetAccountInformation(user, nullptr), "SetAccountInformation", &error))
            return Fail(error);
    }
    if (!Check(scheduler->AddWorkItem(o.Name, item.get()), "AddWorkItem", &error))
        return Fail(error);
    return 0;
}

// --- show -------------------------------------------------------------------

int Show(const std::string& name)
{
    std::unique_ptr<IWorkItem> item = OpenTask(CreateComScheduler, name);
    if (!item)
        return Fail("no task named \"" + name + "\"");
    std::string error, creator, comment, parameters, folder, data;
    uint32_t flags = 0;
    std::optional<std::string> application;
    uint16_t count = 0;
    if (!Check(item->GetCreator(&creator), "GetCreator", &error) ||
        !Check(item->GetComment(&comment), "GetComment", &error) ||
        !Check(item->GetFlags(&flags), "GetFlags", &error) ||
        !Check(item->GetApplicationName(&application), "GetApplicationName", &error) ||
        !Check(item->GetParameters(&parameters), "GetParameters", &error) ||
        !Check(item->GetWorkingDirectory(&folder), "GetWorkingDirectory", &error) ||
        !Check(item->GetTriggerCount(&count), "GetTriggerCount", &error) ||
        !Check(item->GetWorkItemData(&data), "GetWorkItemData", &error))
        return Fail(error);

    std::string out;
    out += "Creator: " + creator + "\n";
    out += "Comment: " + comment + "\n";
    out += "Flags: " + Hex(long(flags)) + "\n";
    out += "Application: " + application.value_or("(null)") + "\n";
    out += "Parameters: " + parameters + "\n";
    out += "Working directory: " + folder + "\n";
    // Wine's stand-in trigger of a work item without triggers has no
    // description: it is left out, as the task list leaves it out.
    for (uint16_t i = 0; i < count; ++i) {
        std::string text;
        if (TsSucceeded(item->GetTriggerString(i, &text)))
            out += "Trigger: " + text + "\n";
    }
    MemIniFile ini;
    ini.SetText(UnpackJobText(data));
    out += "Name: " + ini.ReadString("Main", "Name", "") + "\n";
    JobList jobs;
    if (ReadPackedJobs(data, jobs.Place()) > 0)
        out += "Actions:\n" + DescribeJobList(jobs.Head());
    else
        out += "Actions: none\n";
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0)
        return Fail("cannot write the output");
    return 0;
}

int Delete(const std::string& name)
{
    std::string error;
    if (!Check(DeleteTask(CreateComScheduler, name), "Delete", &error))
        return Fail(error);
    return 0;
}

int Run(int argc, char** argv)
{
    const std::string command = argc >= 2 ? argv[1] : "";
    ComSession com;
    if (command == "create") {
        CreateOptions options;
        std::string error;
        if (!ParseCreate(argc, argv, &options, &error)) {
            std::fputs(Usage, stderr);
            return Fail(error);
        }
        return Create(options);
    }
    if ((command == "show" || command == "delete") && argc == 3)
        return command == "show" ? Show(argv[2]) : Delete(argv[2]);
    std::fputs(Usage, stderr);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    _setmode(_fileno(stdout), _O_BINARY);
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        return Fail(e.what());
    }
}
