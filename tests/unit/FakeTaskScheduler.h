#pragma once
// A fake Tasks folder behind our Task Scheduler interface: work items in
// enumeration order, every call logged, failures injected at any step.

#include <cctype>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "taskstore/WorkItemStore.h"

const char ProgramShort[] = "C:\\PROGRA~1\\SCHED\\SCHEDU~1.EXE";
const char FolderShort[] = "C:\\PROGRA~1\\SCHED\\";

// One work item of the fake Tasks folder.
struct FakeItem {
    std::string Creator = OwnTaskCreator;
    std::string Comment;
    uint32_t Flags = 0;
    std::vector<std::string> Triggers;
    std::string Data;
    std::string Account;
    std::optional<std::string> Application = std::string(ProgramShort);
    std::string Parameters;
    std::string Folder;
    std::set<std::string> Failing; // methods that fail, e.g. "GetComment", "GetTriggerString1"
    long AccountResult = TS_OK;    // what SetAccountInformation returns when it does not fail
};

// The fake Tasks folder: work items in enumeration order, the calls made on
// them and the failures to inject.
struct FakeFolder {
    std::vector<std::pair<std::string, FakeItem>> Items;
    std::set<std::string> Failing; // "Create", "Enum", "Next", "Activate <name>", "Query <name>",
                                   // "New <name>", "Add <name>"
    long DeleteResult = TS_OK;
    std::vector<std::string> Log;
    // Work items made by NewWorkItem, not yet written; by name without ".job".
    std::map<std::string, FakeItem> Unsaved;
    // A name that NewWorkItem reports as taken (as Windows does for an existing file).
    std::set<std::string> Taken;

    FakeItem* Find(const std::string& name)
    {
        for (auto& entry : Items)
            if (entry.first == name || entry.first == name + ".job")
                return &entry.second;
        return nullptr;
    }
    // File names compare without regard to letter case, as on Windows.
    static bool SameFile(const std::string& a, const std::string& b)
    {
        if (a.size() != b.size())
            return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(a[i])) !=
                std::tolower(static_cast<unsigned char>(b[i])))
                return false;
        return true;
    }
    bool HasFile(const std::string& fileName) const
    {
        for (const auto& entry : Items)
            if (SameFile(entry.first, fileName))
                return true;
        return false;
    }
    void RemoveFile(const std::string& fileName)
    {
        for (auto it = Items.begin(); it != Items.end(); ++it)
            if (SameFile(it->first, fileName)) {
                Items.erase(it);
                return;
            }
    }
    // The calls made on one work item, without its name.
    std::vector<std::string> CallsOn(const std::string& name) const
    {
        std::vector<std::string> calls;
        const std::string prefix = name + ": ";
        for (const std::string& line : Log)
            if (line.compare(0, prefix.size(), prefix) == 0)
                calls.push_back(line.substr(prefix.size()));
        return calls;
    }
};

class FakeWorkItem : public IWorkItem {
public:
    FakeWorkItem(FakeFolder* folder, std::string name, bool task, bool unsaved = false)
        : m_folder(folder), m_name(std::move(name)), m_task(task), m_unsaved(unsaved)
    {
    }
    const std::string& Name() const { return m_name; }
    // Writes the item as the file name + ".job" (replacing one of that name).
    void WriteFile(const std::string& name)
    {
        FakeItem copy = Item();
        m_folder->RemoveFile(name + ".job");
        m_folder->Items.emplace_back(name + ".job", copy);
        if (m_unsaved)
            m_folder->Unsaved.erase(m_name);
        m_name = name;
        m_unsaved = false;
    }
    ~FakeWorkItem() override
    {
        if (m_task)
            m_folder->Log.push_back("Release " + m_name);
    }

    long QueryTask(std::unique_ptr<IWorkItem>* task) override
    {
        m_folder->Log.push_back("Query " + m_name);
        if (m_folder->Failing.count("Query " + m_name))
            return TS_E_FAIL;
        task->reset(new FakeWorkItem(m_folder, m_name, true));
        return TS_OK;
    }
    long GetCreator(std::string* v) override { return Get("GetCreator", Item().Creator, v); }
    long SetCreator(const std::string& v) override { return Set("SetCreator", v, &Item().Creator); }
    long GetComment(std::string* v) override { return Get("GetComment", Item().Comment, v); }
    long SetComment(const std::string& v) override { return Set("SetComment", v, &Item().Comment); }
    long GetFlags(uint32_t* flags) override
    {
        if (!Call("GetFlags"))
            return TS_E_FAIL;
        *flags = Item().Flags;
        return TS_OK;
    }
    long SetFlags(uint32_t flags) override
    {
        if (Set("SetFlags", std::to_string(flags)) != TS_OK)
            return TS_E_FAIL;
        Item().Flags = flags;
        return TS_OK;
    }
    long GetTriggerCount(uint16_t* count) override
    {
        if (!Call("GetTriggerCount"))
            return TS_E_FAIL;
        *count = uint16_t(Item().Triggers.size());
        return TS_OK;
    }
    long GetTriggerString(uint16_t index, std::string* text) override
    {
        const std::string call = "GetTriggerString" + std::to_string(index);
        if (!Call(call) || index >= Item().Triggers.size())
            return TS_E_FAIL;
        *text = Item().Triggers[index];
        return TS_OK;
    }
    long GetWorkItemData(std::string* v) override { return Get("GetWorkItemData", Item().Data, v); }
    long SetWorkItemData(const std::string& v) override
    {
        if (!Call("SetWorkItemData"))
            return TS_E_FAIL;
        Item().Data = v;
        return TS_OK;
    }
    long GetAccountInformation(std::string* v) override
    {
        return Get("GetAccountInformation", Item().Account, v);
    }
    long SetAccountInformation(const std::string& account, const char* password) override
    {
        if (Set("SetAccountInformation",
                account + (password ? std::string(", ") + password : ", null")) != TS_OK)
            return TS_E_FAIL;
        Item().Account = account;
        return Item().AccountResult;
    }
    long GetApplicationName(std::optional<std::string>* name) override
    {
        if (!Call("GetApplicationName"))
            return TS_E_FAIL;
        *name = Item().Application;
        return TS_OK;
    }
    long SetApplicationName(const std::string& v) override { return Set("SetApplicationName", v); }
    long GetParameters(std::string* v) override
    {
        return Get("GetParameters", Item().Parameters, v);
    }
    long SetParameters(const std::string& v) override
    {
        return Set("SetParameters", v, &Item().Parameters);
    }
    long GetWorkingDirectory(std::string* v) override
    {
        return Get("GetWorkingDirectory", Item().Folder, v);
    }
    long SetWorkingDirectory(const std::string& v) override
    {
        return Set("SetWorkingDirectory", v);
    }
    long QueryFile() override { return Call("QueryFile") ? TS_OK : TS_E_FAIL; }
    // Failing entries name the whole call, e.g. "SaveAs(C:\\T\\Task1.job)".
    long Save() override
    {
        if (!Call("Save"))
            return TS_E_FAIL;
        if (m_unsaved)
            WriteFile(m_name);
        return TS_OK;
    }
    long SaveAs(const std::string& fullName) override
    {
        std::string name = fullName.substr(fullName.find_last_of('\\') + 1);
        name = name.substr(0, name.size() - 4);
        if (!Call("SaveAs(" + fullName + ")")) {
            // A failed write may leave part of the new file behind.
            m_folder->Items.emplace_back(name + ".job", FakeItem());
            return TS_E_FAIL;
        }
        WriteFile(name);
        return TS_OK;
    }
    long SaveCompleted() override { return Call("SaveCompleted") ? TS_OK : TS_E_FAIL; }
    long Run() override { return Call("Run") ? TS_OK : TS_E_FAIL; }

private:
    FakeItem& Item()
    {
        if (FakeItem* item = m_folder->Find(m_name))
            if (!m_unsaved)
                return *item;
        return m_folder->Unsaved[m_name];
    }
    // Logs the call; false when it is to fail.
    bool Call(const std::string& call)
    {
        m_folder->Log.push_back(m_name + ": " + call);
        return Item().Failing.count(call) == 0;
    }
    long Get(const std::string& call, const std::string& value, std::string* out)
    {
        if (!Call(call))
            return TS_E_FAIL;
        *out = value;
        return TS_OK;
    }
    long Set(const std::string& call, const std::string& value, std::string* field = nullptr)
    {
        if (!Call(call + "(" + value + ")"))
            return TS_E_FAIL;
        if (field)
            *field = value;
        return TS_OK;
    }

    FakeFolder* m_folder;
    std::string m_name;
    bool m_task;
    bool m_unsaved;
};

class FakeNames : public IWorkItemNames {
public:
    explicit FakeNames(FakeFolder* folder) : m_folder(folder) {}
    long Next(std::string* name) override
    {
        if (m_folder->Failing.count("Next"))
            return TS_E_FAIL;
        if (m_next >= m_folder->Items.size())
            return TS_FALSE;
        *name = m_folder->Items[m_next++].first;
        return TS_OK;
    }

private:
    FakeFolder* m_folder;
    size_t m_next = 0;
};

class FakeScheduler : public ITaskStoreScheduler {
public:
    explicit FakeScheduler(FakeFolder* folder) : m_folder(folder) {}
    ~FakeScheduler() override { m_folder->Log.push_back("Release scheduler"); }

    long Enum(std::unique_ptr<IWorkItemNames>* names) override
    {
        m_folder->Log.push_back("Enum");
        if (m_folder->Failing.count("Enum"))
            return TS_E_FAIL;
        names->reset(new FakeNames(m_folder));
        return TS_OK;
    }
    long Activate(const std::string& name, std::unique_ptr<IWorkItem>* item) override
    {
        m_folder->Log.push_back("Activate " + name);
        if (m_folder->Failing.count("Activate " + name) || !m_folder->Find(name))
            return TS_E_FAIL;
        item->reset(new FakeWorkItem(m_folder, name, false));
        return TS_OK;
    }
    long Delete(const std::string& name) override
    {
        m_folder->Log.push_back("Delete " + name);
        if (m_folder->DeleteResult == TS_OK)
            m_folder->RemoveFile(name + ".job");
        return m_folder->DeleteResult;
    }
    long NewWorkItem(const std::string& name, std::unique_ptr<IWorkItem>* item) override
    {
        m_folder->Log.push_back("NewWorkItem " + name);
        if (m_folder->Failing.count("New " + name))
            return TS_E_FAIL;
        if (m_folder->Taken.count(name))
            return TS_E_FILE_EXISTS;
        FakeItem fresh;
        fresh.Creator.clear();
        fresh.Application.reset();
        m_folder->Unsaved[name] = fresh;
        item->reset(new FakeWorkItem(m_folder, name, true, true));
        return TS_OK;
    }
    long AddWorkItem(const std::string& name, IWorkItem* item) override
    {
        m_folder->Log.push_back("AddWorkItem " + name);
        if (m_folder->Failing.count("Add " + name)) {
            // A failed write may leave part of the new file behind.
            m_folder->Items.emplace_back(name + ".job", FakeItem());
            return TS_E_FAIL;
        }
        static_cast<FakeWorkItem*>(item)->WriteFile(name);
        return TS_OK;
    }

private:
    FakeFolder* m_folder;
};

