#pragma once
// Our own narrow view of the Windows Task Scheduler 1.0: the operations the
// task store calls, with 8-bit strings and HRESULT-valued long results. The
// Windows build implements it over COM (TaskScheduler_win.h); tests use a
// fake. Part of the portable core: no windows.h here.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

// Result codes tested by value; every other result only counts as failure
// (negative) or success. Through 32 bits, so that they stay negative where
// long is wider than HRESULT.
constexpr long TsCode(uint32_t code)
{
    return static_cast<int32_t>(code);
}
constexpr long TS_OK = 0;
constexpr long TS_FALSE = 1;
constexpr long TS_E_FAIL = TsCode(0x80004005);
constexpr long TS_E_NOTIMPL = TsCode(0x80004001);
constexpr long TS_E_INVALIDARG = TsCode(0x80070057);
constexpr long TS_E_FILE_EXISTS = TsCode(0x80070050);
constexpr long TS_E_SHARING_VIOLATION = TsCode(0x80070020);
constexpr long TS_E_NO_SECURITY_SERVICES = TsCode(0x80041312);

inline bool TsFailed(long result)
{
    return result < 0;
}
inline bool TsSucceeded(long result)
{
    return result >= 0;
}

// The flag bits of a work item that the program manages.
constexpr uint32_t TaskFlagDisabled = 0x4;
constexpr uint32_t TaskFlagRunOnlyIfLoggedOn = 0x2000;

// The creator mark of the program's own work items.
extern const char OwnTaskCreator[]; // "VemkoScheduler"

// One work item held in memory; changes reach its file only through Save.
class IWorkItem {
public:
    virtual ~IWorkItem() = default;

    // The activated object asked for its task interface: a new reference.
    virtual long QueryTask(std::unique_ptr<IWorkItem>* task) = 0;

    virtual long GetCreator(std::string* creator) = 0;
    virtual long SetCreator(const std::string& creator) = 0;
    virtual long GetComment(std::string* comment) = 0;
    virtual long SetComment(const std::string& comment) = 0;
    virtual long GetFlags(uint32_t* flags) = 0;
    virtual long SetFlags(uint32_t flags) = 0;
    virtual long GetTriggerCount(uint16_t* count) = 0;
    virtual long GetTriggerString(uint16_t index, std::string* text) = 0;
    // The application-defined bytes; empty when there are none.
    virtual long GetWorkItemData(std::string* bytes) = 0;
    virtual long SetWorkItemData(const std::string& bytes) = 0;
    virtual long GetAccountInformation(std::string* account) = 0;
    // A null password marks a task that needs none.
    virtual long SetAccountInformation(const std::string& account, const char* password) = 0;
    // No value when the work item has a null name.
    virtual long GetApplicationName(std::optional<std::string>* name) = 0;
    virtual long SetApplicationName(const std::string& name) = 0;
    virtual long GetParameters(std::string* parameters) = 0;
    virtual long SetParameters(const std::string& parameters) = 0;
    virtual long GetWorkingDirectory(std::string* folder) = 0;
    virtual long SetWorkingDirectory(const std::string& folder) = 0;
    // Whether the work item offers its file interface (IPersistFile).
    virtual long QueryFile() = 0;
    // Writes the work item to the file it was read from or created for.
    virtual long Save() = 0;
    // Writes the work item to a new file of that full name, which becomes its own.
    virtual long SaveAs(const std::string& fullName) = 0;
    // Tells the work item that the save is complete.
    virtual long SaveCompleted() = 0;
    // Asks the Task Scheduler to start the task now.
    virtual long Run() = 0;
};

// Walks the work item names of the Tasks folder.
class IWorkItemNames {
public:
    virtual ~IWorkItemNames() = default;
    // One name (with ".job"); TS_FALSE when none is left.
    virtual long Next(std::string* name) = 0;
};

// One scheduler object; every command makes its own.
class ITaskStoreScheduler {
public:
    virtual ~ITaskStoreScheduler() = default;
    virtual long Enum(std::unique_ptr<IWorkItemNames>* names) = 0;
    // The work item of that name (with or without ".job"), read from its file.
    virtual long Activate(const std::string& name, std::unique_ptr<IWorkItem>* item) = 0;
    // Removes the file of the work item; the name without ".job".
    virtual long Delete(const std::string& name) = 0;
    // A new work item in memory only; TS_E_FILE_EXISTS when the name is taken.
    virtual long NewWorkItem(const std::string& name, std::unique_ptr<IWorkItem>* item) = 0;
    // Writes the work item as a new file of that name.
    virtual long AddWorkItem(const std::string& name, IWorkItem* item) = 0;
};

// Creates a scheduler object; the result of creating it.
using SchedulerFactory = std::function<long(std::unique_ptr<ITaskStoreScheduler>*)>;
