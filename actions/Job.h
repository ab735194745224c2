#pragma once
// The action record and the chains that hold actions.
//
// An action is a plain record told apart by Type alone; every operation that
// treats the kinds differently switches on Type. Each kind begins with the base
// fields and adds its own. An action belongs to exactly one chain at a time and
// whoever holds it last frees it with FreeJob or FreeJobList.

#include <cstdint>
#include <string>

enum JobTypeCode {
    JOB_BEEP = 0,
    JOB_WAVE = 1,
    JOB_BGMUSIC = 2,
    JOB_MSG = 3,
    JOB_IMAGE = 4,
    JOB_WALLPAPER = 5,
    JOB_EXEC = 6,
    JOB_WNDMSG = 7,
    JOB_MOUSE = 8,
    JOB_KEY = 9,
    JOB_SHUT = 10,
};
constexpr int JobTypeCount = 11;

inline bool IsJobType(int type) { return type >= 0 && type < JobTypeCount; }

struct MyJob {
    int Type = -1;
    bool Enabled = true;
    std::string Comment;
    MyJob* Next = nullptr;

    MyJob() = default;
    explicit MyJob(int type) : Type(type) {}
};

struct JobBeep : MyJob {
    int Count = 3;
    int Duration = 500;
    int Pause = 500;
    int Freq = 500;
    JobBeep() : MyJob(JOB_BEEP) {}
};

struct JobWave : MyJob {
    std::string File;
    int Count = 0;
    int Pause = 1000;
    int volume = -1;
    bool Dir = true;
    bool Random = false;
    bool Loop = true;
    JobWave() : MyJob(JOB_WAVE) {}
};

struct JobBgMusic : MyJob {
    std::string File;
    int volume = -1;
    bool Dir = true;
    bool Random = false;
    int Pause = 1000;
    JobBgMusic() : MyJob(JOB_BGMUSIC) {}
};

struct JobMsg : MyJob {
    bool OnTop = false;
    std::string Message;
    JobMsg() : MyJob(JOB_MSG) {}
};

struct JobImage : MyJob {
    std::string FileOrDir;
    bool Dir = true;
    bool Enlarge = false;
    bool Shrink = true;
    bool KeepShape = true;
    bool Random = false;
    bool Loop = false;
    int Count = 0;
    int Interval = 3000;
    JobImage() : MyJob(JOB_IMAGE) {}
};

struct JobWallpaper : MyJob {
    std::string FileOrDir;
    bool Dir = true;
    bool Random = true;
    int Option = 0;
    JobWallpaper() : MyJob(JOB_WALLPAPER) {}
};

struct JobExec : MyJob {
    std::string File;
    std::string Param;
    bool Hide = false;
    bool Wait = false;
    JobExec() : MyJob(JOB_EXEC) {}
};

// The window target shared by the window message, mouse and key kinds.
struct JobWindowTarget : MyJob {
    int Pause = 10000;
    std::string AppName;
    std::string WndName;
    std::string ClassName;

protected:
    explicit JobWindowTarget(int type) : MyJob(type) {}
};

struct JobWndMsg : JobWindowTarget {
    int Message = 273;
    uint32_t WParam = 0;
    uint32_t LParam = 0;
    JobWndMsg() : JobWindowTarget(JOB_WNDMSG) {}
};

struct JobMouse : JobWindowTarget {
    int Event = 0;
    bool SendToWnd = false;
    int rel = 0;
    int x = 0;
    int y = 0;
    JobMouse() : JobWindowTarget(JOB_MOUSE) {}
};

struct JobKey : JobWindowTarget {
    int Event = 0;
    std::string Chars;
    bool UseChar = false;
    bool SendToWnd = false;
    int State = 3;
    JobKey() : JobWindowTarget(JOB_KEY) {}
};

struct JobShut : MyJob {
    bool ShowDlg = true;
    int Option = 1;
    bool Force = true;
    bool Wait = true;
    JobShut() : MyJob(JOB_SHUT) {}
};

// A new action of the given kind with every field at its default, Enabled true
// and Next null; null when type is not a type code.
MyJob* NewJob(int type);

// Copies source (every field, Next included) into a new action stored in *copy.
// False with *copy null when the source's Type is not a type code; false
// without effect when either argument is null.
bool CloneJob(const MyJob* source, MyJob** copy);

// Frees the one action held in *place (its Next is cut first, so the rest of
// the chain is untouched) and nulls the place.
void FreeJob(MyJob** place);

// Frees every action of the chain whose head is in *head and nulls the head.
void FreeJobList(MyJob** head);

// Number of actions in a chain.
int CountJobs(const MyJob* head);

// Owns a chain for the length of a scope.
class JobList {
public:
    JobList() = default;
    explicit JobList(MyJob* head) : m_head(head) {}
    ~JobList() { FreeJobList(&m_head); }
    JobList(const JobList&) = delete;
    JobList& operator=(const JobList&) = delete;

    MyJob* Head() const { return m_head; }
    MyJob** Place() { return &m_head; }
    MyJob* Release()
    {
        MyJob* head = m_head;
        m_head = nullptr;
        return head;
    }

private:
    MyJob* m_head = nullptr;
};
