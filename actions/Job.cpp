#include "actions/Job.h"

namespace {

template <class T> MyJob* CopyAs(const MyJob* source)
{
    return new T(*static_cast<const T*>(source));
}

// Deletes one record as the kind its Type names, so that every text field
// of that kind is released; an unknown Type is a bare base record.
void DeleteRecord(MyJob* job)
{
    switch (job->Type) {
    case JOB_BEEP: delete static_cast<JobBeep*>(job); break;
    case JOB_WAVE: delete static_cast<JobWave*>(job); break;
    case JOB_BGMUSIC: delete static_cast<JobBgMusic*>(job); break;
    case JOB_MSG: delete static_cast<JobMsg*>(job); break;
    case JOB_IMAGE: delete static_cast<JobImage*>(job); break;
    case JOB_WALLPAPER: delete static_cast<JobWallpaper*>(job); break;
    case JOB_EXEC: delete static_cast<JobExec*>(job); break;
    case JOB_WNDMSG: delete static_cast<JobWndMsg*>(job); break;
    case JOB_MOUSE: delete static_cast<JobMouse*>(job); break;
    case JOB_KEY: delete static_cast<JobKey*>(job); break;
    case JOB_SHUT: delete static_cast<JobShut*>(job); break;
    default: delete job; break;
    }
}

} // namespace

MyJob* NewJob(int type)
{
    switch (type) {
    case JOB_BEEP: return new JobBeep;
    case JOB_WAVE: return new JobWave;
    case JOB_BGMUSIC: return new JobBgMusic;
    case JOB_MSG: return new JobMsg;
    case JOB_IMAGE: return new JobImage;
    case JOB_WALLPAPER: return new JobWallpaper;
    case JOB_EXEC: return new JobExec;
    case JOB_WNDMSG: return new JobWndMsg;
    case JOB_MOUSE: return new JobMouse;
    case JOB_KEY: return new JobKey;
    case JOB_SHUT: return new JobShut;
    default: return nullptr;
    }
}

bool CloneJob(const MyJob* source, MyJob** copy)
{
    if (!source || !copy)
        return false;
    MyJob* result = nullptr;
    switch (source->Type) {
    case JOB_BEEP: result = CopyAs<JobBeep>(source); break;
    case JOB_WAVE: result = CopyAs<JobWave>(source); break;
    case JOB_BGMUSIC: result = CopyAs<JobBgMusic>(source); break;
    case JOB_MSG: result = CopyAs<JobMsg>(source); break;
    case JOB_IMAGE: result = CopyAs<JobImage>(source); break;
    case JOB_WALLPAPER: result = CopyAs<JobWallpaper>(source); break;
    case JOB_EXEC: result = CopyAs<JobExec>(source); break;
    case JOB_WNDMSG: result = CopyAs<JobWndMsg>(source); break;
    case JOB_MOUSE: result = CopyAs<JobMouse>(source); break;
    case JOB_KEY: result = CopyAs<JobKey>(source); break;
    case JOB_SHUT: result = CopyAs<JobShut>(source); break;
    default: break;
    }
    *copy = result;
    return result != nullptr;
}

void FreeJob(MyJob** place)
{
    if (!place || !*place)
        return;
    (*place)->Next = nullptr;
    FreeJobList(place);
}

void FreeJobList(MyJob** head)
{
    if (!head)
        return;
    while (MyJob* job = *head) {
        *head = job->Next;
        DeleteRecord(job);
    }
}

int CountJobs(const MyJob* head)
{
    int count = 0;
    for (; head; head = head->Next)
        ++count;
    return count;
}
