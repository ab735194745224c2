// Task list benchmark, run under Wine: ListTasks over the COM Task Scheduler
// against a bare loop over the same COM calls that only enumerates, activates
// each work item and reads its work item data. It makes its own tasks in the
// Tasks folder, times both over several rounds, prints the medians, the ratio
// and the peak memory, and removes the tasks again. It then prints where the
// rest of ListTasks' time goes, each part timed alone over the same tasks.
//
//   bench_listtasks [TASKS [ACTIONS [ROUNDS]]]     defaults 1000, 20, 5

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "actions/IniFile.h"
#include "actions/JobIni.h"
#include "actions/JobPack.h"
#include "app/Globals.h"
#include "taskstore/TaskScheduler_win.h"
#include "win32/Handles.h"
#include "win32/Strings.h"

namespace {

const char NamePrefix[] = "ListBench ";

double Now()
{
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) * 1000.0 / double(freq.QuadPart);
}

double Median(std::vector<double> v)
{
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
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

struct Peak {
    size_t WorkingSetKiB = 0;
    size_t PagefileKiB = 0;
};

Peak PeakMemory()
{
    PROCESS_MEMORY_COUNTERS pmc = {};
    pmc.cb = sizeof pmc;
    GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
    return {pmc.PeakWorkingSetSize / 1024, pmc.PeakPagefileUsage / 1024};
}

std::string TaskName(int i)
{
    char number[16];
    std::snprintf(number, sizeof number, "%04d", i);
    return NamePrefix + std::string(number);
}

// A task such as a user keeps: every kind of action, realistic paths and texts.
MyJob* MakeActions(int task, int count)
{
    MyJob* head = nullptr;
    MyJob** tail = &head;
    for (int i = 0; i < count; ++i) {
        MyJob* job = NewJob(i % JobTypeCount);
        const std::string n = std::to_string(task) + "." + std::to_string(i);
        job->Comment = "step " + n + " of the evening routine";
        switch (job->Type) {
        case JOB_WAVE:
            static_cast<JobWave*>(job)->File = "C:\\Users\\Public\\Music\\Playlist " + n + "\\";
            break;
        case JOB_BGMUSIC:
            static_cast<JobBgMusic*>(job)->File = "D:\\Music\\Background\\track" + n + ".mp3";
            break;
        case JOB_MSG:
            static_cast<JobMsg*>(job)->Message =
                "Reminder " + n + "\r\nTime to stretch, drink some water and save your work.";
            break;
        case JOB_IMAGE:
            static_cast<JobImage*>(job)->FileOrDir = "C:\\Users\\Public\\Pictures\\Holiday " + n;
            break;
        case JOB_WALLPAPER:
            static_cast<JobWallpaper*>(job)->FileOrDir = "C:\\Windows\\Web\\Wallpaper\\";
            break;
        case JOB_EXEC: {
            auto* e = static_cast<JobExec*>(job);
            e->File = "C:\\Program Files\\Backup Tool\\backup.exe";
            e->Param = "/profile:\"Nightly " + n + "\" /quiet";
            break;
        }
        case JOB_WNDMSG:
        case JOB_MOUSE:
        case JOB_KEY: {
            auto* t = static_cast<JobWindowTarget*>(job);
            t->AppName = "notepad.exe";
            t->WndName = "Untitled - Notepad";
            t->ClassName = "Notepad";
            if (job->Type == JOB_KEY)
                static_cast<JobKey*>(job)->Chars = "Daily log " + n;
            break;
        }
        default:
            break;
        }
        *tail = job;
        tail = &job->Next;
    }
    return head;
}

std::string PackedTask(const std::string& name, int task, int actions)
{
    JobList jobs(MakeActions(task, actions));
    MemIniFile ini;
    ini.WriteString("Main", "Name", name);
    WriteJobList(&ini, jobs.Head());
    return PackJobText(ini.GetText());
}

// Work item files left by a run that did not finish.
void RemoveOldTasks()
{
    WIN32_FIND_DATAA found;
    const std::string pattern = TasksFolder + NamePrefix + "*.job";
    HANDLE find = FindFirstFileA(pattern.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do
        DeleteFileA((TasksFolder + found.cFileName).c_str());
    while (FindNextFileA(find, &found));
    FindClose(find);
}

// The tasks as the program writes them, with one daily trigger each.
bool MakeTasks(const TaskStoreEnvironment& env, const std::vector<std::string>& packed)
{
    std::unique_ptr<ITaskStoreScheduler> scheduler;
    if (TsFailed(CreateComScheduler(&scheduler)) || !scheduler)
        return false;
    for (size_t i = 0; i < packed.size(); ++i) {
        const std::string name = TaskName(int(i));
        std::unique_ptr<IWorkItem> item;
        if (TsFailed(scheduler->NewWorkItem(name, &item)) || !item)
            return false;
        item->SetCreator(OwnTaskCreator);
        item->SetComment("Benchmark task " + std::to_string(i));
        item->SetApplicationName(env.ProgramPath);
        item->SetParameters(TaskParameters(name));
        item->SetWorkingDirectory(env.ProgramFolder);
        if (TsFailed(item->SetWorkItemData(packed[i])))
            return false;
        ITask* task = ComTaskOf(item.get());
        WORD index = 0;
        ComPtr<ITaskTrigger> trigger;
        if (task && SUCCEEDED(task->CreateTrigger(&index, trigger.Put()))) {
            TASK_TRIGGER t = {};
            t.cbTriggerSize = sizeof t;
            t.wBeginYear = 2026, t.wBeginMonth = 12, t.wBeginDay = 11;
            t.wStartHour = WORD(6 + i % 12), t.wStartMinute = WORD(i % 60);
            t.TriggerType = TASK_TIME_TRIGGER_DAILY;
            t.Type.Daily.DaysInterval = 1;
            trigger->SetTrigger(&t);
        }
        if (TsFailed(scheduler->AddWorkItem(name, item.get())))
            return false;
    }
    return true;
}

// ListTasks collecting every record and then freeing them; the own tasks seen.
int TimedListTasks(const TaskStoreEnvironment& env, double* ms)
{
    std::vector<MyTask*> records;
    const double t0 = Now();
    ListTasks(CreateComScheduler, env, [&records](MyTask* task) { records.push_back(task); });
    for (MyTask* task : records) {
        FreeJobList(&task->Jobs);
        delete task;
    }
    *ms = Now() - t0;
    return int(records.size());
}

// What the task store reads of each work item beyond its data.
struct ExtraReads {
    bool Getters = false;  // creator, comment, flags, trigger count, application name
    bool Triggers = false; // the descriptions, ours where Wine has none
};

// The floor: enumerate, activate, read the work item data; the work items seen.
int TimedBareLoop(ExtraReads extra, double* ms)
{
    const double t0 = Now();
    int seen = 0;
    ComPtr<ITaskScheduler> scheduler;
    if (FAILED(CoCreateInstance(CLSID_CTaskScheduler, nullptr, CLSCTX_INPROC_SERVER,
                                IID_ITaskScheduler, scheduler.PutVoid())))
        return -1;
    ComPtr<IEnumWorkItems> items;
    if (FAILED(scheduler->Enum(items.Put())))
        return -1;
    for (;;) {
        CoTaskMem<LPWSTR> names;
        ULONG fetched = 0;
        if (items->Next(1, names.Put(), &fetched) != S_OK || fetched == 0)
            break;
        CoTaskMem<WCHAR> name;
        *name.Put() = names.Get()[0];
        // Wine activates names without their ".job" only.
        std::wstring bare = name.Get();
        if (bare.size() > 4 && lstrcmpiW(bare.c_str() + bare.size() - 4, L".job") == 0)
            bare.resize(bare.size() - 4);
        ComPtr<ITask> task;
        if (FAILED(scheduler->Activate(bare.c_str(), IID_ITask, task.PutUnknown())) || !task)
            continue;
        WORD size = 0;
        CoTaskMem<BYTE> data;
        if (SUCCEEDED(task->GetWorkItemData(&size, data.Put())) && size > 0)
            ++seen;
        if (extra.Getters) {
            CoTaskMem<WCHAR> text;
            DWORD flags = 0;
            WORD count = 0;
            task->GetCreator(text.Put());
            task->GetComment(text.Put());
            task->GetFlags(&flags);
            task->GetTriggerCount(&count);
            task->GetApplicationName(text.Put());
        }
        if (extra.Triggers) {
            WORD count = 0;
            task->GetTriggerCount(&count);
            for (WORD i = 0; i < count; ++i) {
                CoTaskMem<WCHAR> text;
                if (FAILED(task->GetTriggerString(i, text.Put())))
                    DescribeComTrigger(task.Get(), i);
            }
        }
    }
    *ms = Now() - t0;
    return seen;
}

double TimedUnpackAndRead(const std::vector<std::string>& packed)
{
    const double t0 = Now();
    for (const std::string& bytes : packed) {
        MemIniFile ini;
        ini.SetText(UnpackJobText(bytes));
        JobList jobs;
        ReadJobList(&ini, jobs.Place());
    }
    return Now() - t0;
}

double TimedUnpackOnly(const std::vector<std::string>& packed)
{
    const double t0 = Now();
    size_t total = 0;
    for (const std::string& bytes : packed)
        total += UnpackJobText(bytes).size();
    const double ms = Now() - t0;
    return total ? ms : -1;
}

// The scratch action file is deleted before and after each task is read.
double TimedScratchDeletes(const TaskStoreEnvironment& env, size_t tasks)
{
    const double t0 = Now();
    for (size_t i = 0; i < 2 * tasks; ++i)
        std::remove(env.TempActionFile.c_str());
    return Now() - t0;
}

} // namespace

int main(int argc, char** argv)
{
    const int taskCount = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    const int actionCount = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20;
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;

    ComSession com;
    // The folders the program itself uses when it lists its tasks.
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    TasksFolder = WithBackslash(windows) + "Tasks\\";
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    TempFolder = WithBackslash(temp);
    TempActionFile = TempFolder + "ATask.tmp";
    TaskStoreEnvironment env = ProgramTaskEnvironment();
    env.Diagnostic = [](const char* line) { std::fprintf(stderr, "ListTasks: %s", line); };

    RemoveOldTasks();
    double t0 = Now();
    std::vector<std::string> packed;
    size_t packedBytes = 0;
    for (int i = 0; i < taskCount; ++i) {
        packed.push_back(PackedTask(TaskName(i), i, actionCount));
        packedBytes += packed.back().size();
    }
    const double packMs = Now() - t0;
    t0 = Now();
    const bool made = MakeTasks(env, packed);
    const double makeMs = Now() - t0;
    if (!made) {
        std::fprintf(stderr, "bench_listtasks: cannot write the tasks\n");
        RemoveOldTasks();
        return 1;
    }
    std::printf("%d tasks of %d actions (%zu bytes of work item data on average): packed in "
                "%.0f ms, written in %.0f ms\n",
                taskCount, actionCount, packedBytes / size_t(taskCount), packMs, makeMs);
    const Peak beforeListing = PeakMemory();

    // One untimed pass each warms the file cache; then the two take turns.
    double ms = 0;
    int listed = TimedListTasks(env, &ms);
    int bare = TimedBareLoop({}, &ms);
    std::vector<double> listMs, bareMs;
    for (int r = 0; r < rounds; ++r) {
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn == 0) == (r % 2 == 0)) {
                listed = TimedListTasks(env, &ms);
                listMs.push_back(ms);
            } else {
                bare = TimedBareLoop({}, &ms);
                bareMs.push_back(ms);
            }
        }
    }
    const Peak afterListing = PeakMemory();
    const double a = Median(listMs), b = Median(bareMs);
    std::printf("ListTasks: %.1f ms (%d own tasks listed)\n", a, listed);
    std::printf("bare loop (enumerate, activate, read the data): %.1f ms (%d work items read)\n",
                b, bare);
    std::printf("ratio %.2f (target: at most 1.5)\n", b > 0 ? a / b : 0.0);
    std::printf("peak memory: working set %zu KiB, pagefile %zu KiB (before listing: %zu KiB, "
                "%zu KiB)\n",
                afterListing.WorkingSetKiB, afterListing.PagefileKiB, beforeListing.WorkingSetKiB,
                beforeListing.PagefileKiB);

    // Where the rest goes: the same work items, one more part of ListTasks' work at a time.
    std::vector<double> getters, triggers, unpackRead, unpackOnly, deletes;
    for (int r = 0; r < rounds; ++r) {
        TimedBareLoop({true, false}, &ms);
        getters.push_back(ms);
        TimedBareLoop({true, true}, &ms);
        triggers.push_back(ms);
        unpackRead.push_back(TimedUnpackAndRead(packed));
        unpackOnly.push_back(TimedUnpackOnly(packed));
        deletes.push_back(TimedScratchDeletes(env, packed.size()));
    }
    std::printf("parts, each over all tasks:\n");
    std::printf("  bare loop + creator, comment, flags, trigger count, application: %.1f ms\n",
                Median(getters));
    std::printf("  ... + trigger descriptions (ours where Wine has none): %.1f ms\n",
                Median(triggers));
    std::printf("  unpacking the data: %.1f ms; unpacking and reading the actions: %.1f ms\n",
                Median(unpackOnly), Median(unpackRead));
    std::printf("  deleting the scratch action file twice per task: %.1f ms\n", Median(deletes));
    std::printf("(medians of %d rounds)\n", rounds);

    t0 = Now();
    std::unique_ptr<ITaskStoreScheduler> scheduler;
    int removed = 0;
    if (TsSucceeded(CreateComScheduler(&scheduler)) && scheduler)
        for (int i = 0; i < taskCount; ++i)
            removed += TsSucceeded(scheduler->Delete(TaskName(i)));
    RemoveOldTasks();
    std::printf("%d tasks removed in %.0f ms\n", removed, Now() - t0);
    return listed == taskCount && bare >= taskCount ? 0 : 1;
}
