#include "taskstore/TaskScheduler_win.h"

#include "app/Globals.h"
#include "taskstore/TriggerText.h"
#include "win32/Dialogs.h"
#include "win32/Handles.h"
#include "win32/Strings.h"

namespace {

// How long a Delete is retried while the Task Scheduler service holds the file.
const DWORD DeleteRetryMs = 1000;
const DWORD DeleteRetryPauseMs = 50;

bool EndsWithJob(const std::string& name)
{
    return name.size() >= 4 && lstrcmpiA(name.c_str() + name.size() - 4, ".job") == 0;
}

std::string WithoutJob(const std::string& name)
{
    return EndsWithJob(name) ? name.substr(0, name.size() - 4) : name;
}

bool HasDot(const std::string& name)
{
    return name.find('.') != std::string::npos;
}

// Where the work item files are; Wine keeps them in the Windows folder's Tasks.
std::string JobFolder()
{
    if (!TasksFolder.empty())
        return TasksFolder;
    char windows[MAX_PATH];
    UINT len = GetWindowsDirectoryA(windows, MAX_PATH);
    if (len == 0 || len >= MAX_PATH)
        return "C:\\Windows\\Tasks\\";
    return WithBackslash(std::string(windows, len)) + "Tasks\\";
}

bool FileExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

HRESULT LastError()
{
    DWORD error = GetLastError();
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

// A string the Task Scheduler returned, copied and freed.
template <class Getter> HRESULT GetText(Getter get, std::string* text)
{
    CoTaskMem<WCHAR> wide;
    HRESULT hr = get(wide.Put());
    if (SUCCEEDED(hr))
        *text = Narrow(wide.Get());
    return hr;
}

class ComWorkItem : public IWorkItem {
public:
    // loadedFrom: the file that the work item was loaded from by hand, where
    // the Task Scheduler would save it somewhere else; empty otherwise.
    ComWorkItem(ComPtr<ITask>&& task, std::string loadedFrom)
        : m_task(std::move(task)), m_loadedFrom(std::move(loadedFrom))
    {
    }

    ITask* Task() const { return m_task.Get(); }
    void Rebind() { m_loadedFrom.clear(); }

    long QueryTask(std::unique_ptr<IWorkItem>* task) override
    {
        ComPtr<ITask> queried;
        HRESULT hr = m_task->QueryInterface(IID_ITask, queried.PutVoid());
        if (FAILED(hr) || !queried)
            return FAILED(hr) ? hr : E_NOINTERFACE;
        task->reset(new ComWorkItem(std::move(queried), m_loadedFrom));
        return S_OK;
    }
    long GetCreator(std::string* creator) override
    {
        return GetText([this](LPWSTR* p) { return m_task->GetCreator(p); }, creator);
    }
    long SetCreator(const std::string& creator) override
    {
        return m_task->SetCreator(Widen(creator).c_str());
    }
    long GetComment(std::string* comment) override
    {
        return GetText([this](LPWSTR* p) { return m_task->GetComment(p); }, comment);
    }
    long SetComment(const std::string& comment) override
    {
        return m_task->SetComment(Widen(comment).c_str());
    }
    long GetFlags(uint32_t* flags) override
    {
        DWORD value = 0;
        HRESULT hr = m_task->GetFlags(&value);
        if (SUCCEEDED(hr))
            *flags = value;
        return hr;
    }
    long SetFlags(uint32_t flags) override { return m_task->SetFlags(flags); }
    long GetTriggerCount(uint16_t* count) override
    {
        WORD value = 0;
        HRESULT hr = m_task->GetTriggerCount(&value);
        if (SUCCEEDED(hr))
            *count = value;
        return hr;
    }
    long GetTriggerString(uint16_t index, std::string* text) override
    {
        HRESULT hr =
            GetText([this, index](LPWSTR* p) { return m_task->GetTriggerString(index, p); }, text);
        if (SUCCEEDED(hr))
            return hr;
        // Wine has no descriptions of its own.
        std::string own = DescribeComTrigger(m_task.Get(), index);
        if (own.empty())
            return hr;
        *text = own;
        return S_OK;
    }
    long GetWorkItemData(std::string* bytes) override
    {
        WORD size = 0;
        CoTaskMem<BYTE> data;
        HRESULT hr = m_task->GetWorkItemData(&size, data.Put());
        if (SUCCEEDED(hr))
            bytes->assign(reinterpret_cast<const char*>(data.Get()), data.Get() ? size : 0);
        return hr;
    }
    long SetWorkItemData(const std::string& bytes) override
    {
        // The .job file finds its triggers through a 16-bit offset that
        // counts everything before them: data that would push them past it
        // could be written but never read back.
        if (bytes.size() > 0xFFFF || JobBytesBeforeTriggers(bytes.size()) > 0xFFFF)
            return HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE);
        return m_task->SetWorkItemData(
            WORD(bytes.size()),
            reinterpret_cast<BYTE*>(const_cast<char*>(bytes.empty() ? nullptr : bytes.data())));
    }
    long GetAccountInformation(std::string* account) override
    {
        return GetText([this](LPWSTR* p) { return m_task->GetAccountInformation(p); }, account);
    }
    long SetAccountInformation(const std::string& account, const char* password) override
    {
        const std::wstring secret = password ? Widen(password) : std::wstring();
        return m_task->SetAccountInformation(Widen(account).c_str(),
                                             password ? secret.c_str() : nullptr);
    }
    long GetApplicationName(std::optional<std::string>* name) override
    {
        CoTaskMem<WCHAR> wide;
        HRESULT hr = m_task->GetApplicationName(wide.Put());
        if (SUCCEEDED(hr))
            *name = wide.Get() ? std::optional<std::string>(Narrow(wide.Get())) : std::nullopt;
        return hr;
    }
    long SetApplicationName(const std::string& name) override
    {
        return m_task->SetApplicationName(Widen(name).c_str());
    }
    long GetParameters(std::string* parameters) override
    {
        return GetText([this](LPWSTR* p) { return m_task->GetParameters(p); }, parameters);
    }
    long SetParameters(const std::string& parameters) override
    {
        return m_task->SetParameters(Widen(parameters).c_str());
    }
    long GetWorkingDirectory(std::string* folder) override
    {
        return GetText([this](LPWSTR* p) { return m_task->GetWorkingDirectory(p); }, folder);
    }
    long SetWorkingDirectory(const std::string& folder) override
    {
        return m_task->SetWorkingDirectory(Widen(folder).c_str());
    }
    long QueryFile() override
    {
        ComPtr<IPersistFile> file;
        return m_task->QueryInterface(IID_IPersistFile, file.PutVoid());
    }
    long SaveAs(const std::string& fullName) override
    {
        ComPtr<IPersistFile> file;
        HRESULT hr = m_task->QueryInterface(IID_IPersistFile, file.PutVoid());
        if (FAILED(hr))
            return hr;
        hr = file->Save(Widen(fullName).c_str(), TRUE);
        if (SUCCEEDED(hr))
            m_loadedFrom.clear();
        return hr;
    }
    long SaveCompleted() override
    {
        ComPtr<IPersistFile> file;
        HRESULT hr = m_task->QueryInterface(IID_IPersistFile, file.PutVoid());
        if (FAILED(hr))
            return hr;
        return file->SaveCompleted(nullptr);
    }
    long Save() override
    {
        ComPtr<IPersistFile> file;
        HRESULT hr = m_task->QueryInterface(IID_IPersistFile, file.PutVoid());
        if (FAILED(hr))
            return hr;
        if (m_loadedFrom.empty())
            return file->Save(nullptr, TRUE);
        // The work item believes it lives under a stand-in name: write a new
        // file and put it in place of the one it came from.
        char temp[MAX_PATH];
        DWORD len = GetTempPathA(MAX_PATH, temp);
        if (len == 0 || len >= MAX_PATH)
            return LastError();
        const std::string scratch = std::string(temp, len) + "sched-" +
                                    std::to_string(GetCurrentProcessId()) + "-" +
                                    std::to_string(GetTickCount()) + ".job";
        DeleteFileA(scratch.c_str());
        hr = file->Save(Widen(scratch).c_str(), FALSE);
        if (FAILED(hr))
            return hr;
        if (!MoveFileExA(scratch.c_str(), m_loadedFrom.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) {
            hr = LastError();
            DeleteFileA(scratch.c_str());
            return hr;
        }
        return S_OK;
    }
    long Run() override
    {
        // Wine's Run saves under the stand-in name; nothing would run.
        if (!m_loadedFrom.empty())
            return E_NOTIMPL;
        return m_task->Run();
    }

private:
    // The length of a .job file up to its triggers with this much data: the
    // fixed part, the instance count, five counted strings (the file keeps
    // a default author and comment when there are none), the data and the
    // reserved part.
    size_t JobBytesBeforeTriggers(size_t dataSize)
    {
        size_t total = 0x44 + 2;
        auto add = [&total](HRESULT hr, LPWSTR text, size_t fallback) {
            total += 2;
            if (SUCCEEDED(hr) && text)
                total += (lstrlenW(text) + 1) * sizeof(WCHAR);
            else
                total += fallback * sizeof(WCHAR);
            CoTaskMemFree(text);
        };
        LPWSTR text = nullptr;
        HRESULT hr = m_task->GetApplicationName(&text);
        add(hr, text, 0);
        text = nullptr;
        hr = m_task->GetParameters(&text);
        add(hr, text, 0);
        text = nullptr;
        hr = m_task->GetWorkingDirectory(&text);
        add(hr, text, 0);
        text = nullptr;
        hr = m_task->GetCreator(&text);
        add(hr, text, 5);
        text = nullptr;
        hr = m_task->GetComment(&text);
        add(hr, text, 16);
        return total + 2 + dataSize + 10;
    }

    ComPtr<ITask> m_task;
    std::string m_loadedFrom;
};

class ComWorkItemNames : public IWorkItemNames {
public:
    explicit ComWorkItemNames(ComPtr<IEnumWorkItems>&& items) : m_items(std::move(items)) {}

    long Next(std::string* name) override
    {
        CoTaskMem<LPWSTR> names;
        ULONG fetched = 0;
        HRESULT hr = m_items->Next(1, names.Put(), &fetched);
        if (FAILED(hr))
            return hr;
        if (hr == S_FALSE || fetched == 0 || !names.Get())
            return S_FALSE;
        CoTaskMem<WCHAR> first;
        *first.Put() = names.Get()[0];
        *name = Narrow(first.Get());
        return S_OK;
    }

private:
    ComPtr<IEnumWorkItems> m_items;
};

class ComScheduler : public ITaskStoreScheduler {
public:
    ComScheduler(ComPtr<ITaskScheduler>&& scheduler, std::string folder)
        : m_scheduler(std::move(scheduler)), m_folder(std::move(folder))
    {
    }

    long Enum(std::unique_ptr<IWorkItemNames>* names) override
    {
        ComPtr<IEnumWorkItems> items;
        HRESULT hr = m_scheduler->Enum(items.Put());
        if (FAILED(hr))
            return hr;
        names->reset(new ComWorkItemNames(std::move(items)));
        return hr;
    }

    long Activate(const std::string& name, std::unique_ptr<IWorkItem>* item) override
    {
        // Windows takes the name with or without ".job", Wine only without.
        const std::string bare = WithoutJob(name);
        ComPtr<ITask> task;
        HRESULT hr = m_scheduler->Activate(Widen(bare).c_str(), IID_ITask, task.PutUnknown());
        if (SUCCEEDED(hr) && task) {
            item->reset(new ComWorkItem(std::move(task), std::string()));
            return hr;
        }
        // Wine refuses every name with a dot in it.
        if (HasDot(bare)) {
            HRESULT loaded = LoadFromFile(bare, item);
            if (SUCCEEDED(loaded))
                return loaded;
        }
        return FAILED(hr) ? hr : E_FAIL;
    }

    long Delete(const std::string& name) override
    {
        const DWORD start = GetTickCount();
        for (;;) {
            HRESULT hr = m_scheduler->Delete(Widen(name).c_str());
            if (FAILED(hr) && HasDot(name)) {
                hr = DeleteFileA((m_folder + name + ".job").c_str()) ? S_OK : LastError();
            }
            // The service reads a changed file for a moment.
            if (hr != HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION) ||
                GetTickCount() - start >= DeleteRetryMs)
                return hr;
            Sleep(DeleteRetryPauseMs);
        }
    }

    long NewWorkItem(const std::string& name, std::unique_ptr<IWorkItem>* item) override
    {
        ComPtr<ITask> task;
        HRESULT hr = m_scheduler->NewWorkItem(Widen(name).c_str(), CLSID_CTask, IID_ITask,
                                              task.PutUnknown());
        if (FAILED(hr))
            return hr;
        if (!task)
            return E_FAIL;
        item->reset(new ComWorkItem(std::move(task), std::string()));
        return hr;
    }

    long AddWorkItem(const std::string& name, IWorkItem* item) override
    {
        auto* work = dynamic_cast<ComWorkItem*>(item);
        if (!work)
            return E_INVALIDARG;
        HRESULT hr = m_scheduler->AddWorkItem(Widen(name).c_str(), work->Task());
        if (SUCCEEDED(hr) || !HasDot(name))
            return hr;
        // What Wine's AddWorkItem does, for a name it refuses.
        ComPtr<IPersistFile> file;
        hr = work->Task()->QueryInterface(IID_IPersistFile, file.PutVoid());
        if (FAILED(hr))
            return hr;
        hr = file->Save(Widen(m_folder + name + ".job").c_str(), TRUE);
        if (SUCCEEDED(hr))
            work->Rebind();
        return hr;
    }

private:
    // Opens the file TasksFolder + name + ".job" without Activate.
    HRESULT LoadFromFile(const std::string& name, std::unique_ptr<IWorkItem>* item)
    {
        const std::string path = m_folder + name + ".job";
        if (!FileExists(path))
            return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
        ComPtr<ITask> task;
        bool standIn = false;
        HRESULT hr =
            CoCreateInstance(CLSID_CTask, nullptr, CLSCTX_INPROC_SERVER, IID_ITask, task.PutVoid());
        if (FAILED(hr)) {
            // Wine makes work items only through NewWorkItem, under a name
            // without dots; Save must then not go to that name.
            std::string stand = name;
            for (char& c : stand)
                if (c == '.')
                    c = '_';
            hr = m_scheduler->NewWorkItem(Widen(stand).c_str(), CLSID_CTask, IID_ITask,
                                          task.PutUnknown());
            standIn = true;
        }
        if (FAILED(hr) || !task)
            return FAILED(hr) ? hr : E_FAIL;
        ComPtr<IPersistFile> file;
        hr = task->QueryInterface(IID_IPersistFile, file.PutVoid());
        if (FAILED(hr))
            return hr;
        hr = file->Load(Widen(path).c_str(), STGM_READ | STGM_SHARE_DENY_WRITE);
        if (FAILED(hr))
            return hr;
        item->reset(new ComWorkItem(std::move(task), standIn ? path : std::string()));
        return S_OK;
    }

    ComPtr<ITaskScheduler> m_scheduler;
    std::string m_folder;
};

std::string ShortPath(const std::string& path)
{
    char buffer[256];
    DWORD len = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    if (len == 0 || len >= sizeof buffer)
        return path;
    return std::string(buffer, len);
}

std::string LowerCaseWide(const std::string& text)
{
    std::wstring wide = Widen(text);
    if (!wide.empty())
        CharLowerBuffW(&wide[0], DWORD(wide.size()));
    return Narrow(wide);
}

} // namespace

std::string UserDate(int year, int month, int day)
{
    SYSTEMTIME st = {};
    st.wYear = WORD(year), st.wMonth = WORD(month), st.wDay = WORD(day);
    char text[80];
    if (!GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, text, sizeof text))
        return std::to_string(month) + "/" + std::to_string(day) + "/" + std::to_string(year);
    return text;
}

std::string UserTime(int hour, int minute)
{
    SYSTEMTIME st = {};
    st.wYear = 2000, st.wMonth = 1, st.wDay = 1;
    st.wHour = WORD(hour), st.wMinute = WORD(minute);
    char text[80];
    if (!GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &st, nullptr, text, sizeof text))
        return std::to_string(hour) + ":" + (minute < 10 ? "0" : "") + std::to_string(minute);
    return text;
}

TriggerFields FieldsOf(const TASK_TRIGGER& t)
{
    TriggerFields f;
    f.BeginYear = t.wBeginYear, f.BeginMonth = t.wBeginMonth, f.BeginDay = t.wBeginDay;
    f.EndYear = t.wEndYear, f.EndMonth = t.wEndMonth, f.EndDay = t.wEndDay;
    f.StartHour = t.wStartHour, f.StartMinute = t.wStartMinute;
    f.MinutesDuration = t.MinutesDuration, f.MinutesInterval = t.MinutesInterval;
    f.Flags = t.rgFlags;
    f.Kind = int(t.TriggerType);
    switch (t.TriggerType) {
    case TASK_TIME_TRIGGER_DAILY:
        f.DaysInterval = t.Type.Daily.DaysInterval;
        break;
    case TASK_TIME_TRIGGER_WEEKLY:
        f.WeeksInterval = t.Type.Weekly.WeeksInterval;
        f.DaysOfTheWeek = t.Type.Weekly.rgfDaysOfTheWeek;
        break;
    case TASK_TIME_TRIGGER_MONTHLYDATE:
        f.Days = t.Type.MonthlyDate.rgfDays;
        f.Months = t.Type.MonthlyDate.rgfMonths;
        break;
    case TASK_TIME_TRIGGER_MONTHLYDOW:
        f.WhichWeek = t.Type.MonthlyDOW.wWhichWeek;
        f.DaysOfTheWeek = t.Type.MonthlyDOW.rgfDaysOfTheWeek;
        f.Months = t.Type.MonthlyDOW.rgfMonths;
        break;
    default:
        break;
    }
    return f;
}


long CreateComScheduler(std::unique_ptr<ITaskStoreScheduler>* scheduler)
{
    ComPtr<ITaskScheduler> created;
    HRESULT hr = CoCreateInstance(CLSID_CTaskScheduler, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_ITaskScheduler, created.PutVoid());
    if (FAILED(hr))
        return hr;
    if (!created)
        return E_FAIL;
    scheduler->reset(new ComScheduler(std::move(created), JobFolder()));
    return hr;
}

TaskStoreEnvironment ProgramTaskEnvironment()
{
    TaskStoreEnvironment env;
    char path[MAX_PATH];
    DWORD len = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (len > 0 && len < MAX_PATH)
        env.ProgramPath = ShortPath(std::string(path, len));
    env.ProgramFolder = ShortPath(ProgramFolder.empty() ? ProgramFileFolder() : ProgramFolder);
    env.UserName = [](std::string* name) {
        char user[256];
        DWORD size = sizeof user;
        if (!GetUserNameA(user, &size))
            return false;
        *name = user;
        return true;
    };
    env.LowerCase = LowerCaseWide;
    env.TempActionFile = TempActionFile;
    return env;
}

TaskEditEnvironment ProgramTaskEditEnvironment(HWND owner)
{
    TaskEditEnvironment env;
    env.Store = ProgramTaskEnvironment();
    env.TasksFolder = TasksFolder;
    env.FileExists = FileExists;
    env.ShowError = [owner](const char* message) { ErrorBox(owner, message); };
    return env;
}

ITask* ComTaskOf(IWorkItem* item)
{
    auto* work = dynamic_cast<ComWorkItem*>(item);
    return work ? work->Task() : nullptr;
}

std::string DescribeComTrigger(ITask* task, WORD index)
{
    WORD count = 0;
    if (!task || FAILED(task->GetTriggerCount(&count)))
        return std::string();
    ComPtr<ITaskTrigger> trigger;
    if (FAILED(task->GetTrigger(index, trigger.Put())) || !trigger)
        return std::string();
    TASK_TRIGGER fields = {};
    fields.cbTriggerSize = sizeof fields;
    if (FAILED(trigger->GetTrigger(&fields)))
        return std::string();
    const TriggerFields portable = FieldsOf(fields);
    // What Wine saved for a work item without triggers is no trigger of the user's.
    if (IsPlaceholderTrigger(count, portable))
        return std::string();
    return DescribeTrigger(portable, UserDate, UserTime);
}
