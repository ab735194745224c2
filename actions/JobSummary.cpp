#include "actions/JobSummary.h"

#include "actions/TextPlatform.h"
#include "app/Global.h"

namespace {

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }
std::string Num(int v) { return std::to_string(v); }
std::string Unsigned(uint32_t v) { return std::to_string(v); }

std::string VolumePart(int volume)
{
    return (volume >= 0 && volume <= 100) ? ", volume: " + Num(volume) : ", default volume";
}

std::string LoopPart(int count)
{
    return ", loop" + (count != 0 ? " " + Num(count) + " times" : std::string(" infinitely"));
}

std::string TargetPart(const JobWindowTarget* j)
{
    return "app name: " + Quoted(j->AppName) + ", caption: " + Quoted(j->WndName) +
           ", class: " + Quoted(j->ClassName);
}

std::string KeyPart(const JobKey* j)
{
    if (j->UseChar)
        return Quoted(j->Chars) + ", ";
    const unsigned key = unsigned(j->Event) & 0xFF;
    for (int i = 0; i < KeyNameCount; ++i) {
        if (KeyCodes[i] != key)
            continue;
        std::string text;
        if (j->Event & 0x200)
            text += "Ctrl+";
        if (j->Event & 0x400)
            text += "Alt+";
        if (j->Event & 0x100)
            text += "Shift+";
        return text + KeyNames[i] + ", ";
    }
    unsigned shortCut = key;
    if (j->Event & 0x100)
        shortCut += 0x2000;
    if (j->Event & 0x200)
        shortCut += 0x4000;
    if (j->Event & 0x400)
        shortCut += 0x8000;
    if (j->Event & 0x800)
        shortCut += 0x1000;
    return ShortCutToText(shortCut) + ", ";
}

std::string Details(const MyJob* job)
{
    switch (job->Type) {
    case JOB_BEEP: {
        auto* j = static_cast<const JobBeep*>(job);
        return " (" + Num(j->Count) + " times, duration " + Num(j->Duration) + " ms, interval " +
               Num(j->Pause) + " ms, " + Num(j->Freq) + "Hz)";
    }
    case JOB_WAVE: {
        auto* j = static_cast<const JobWave*>(job);
        std::string s = " (" + Quoted(j->File) + VolumePart(j->volume);
        if (j->Dir) {
            s += ", directory";
            if (j->Random)
                s += ", random";
            else if (j->Loop)
                s += LoopPart(j->Count);
            s += ", interval " + Num(j->Pause);
        }
        return s + ")";
    }
    case JOB_BGMUSIC: {
        auto* j = static_cast<const JobBgMusic*>(job);
        std::string s = " (" + Quoted(j->File) + VolumePart(j->volume);
        if (j->Dir) {
            s += ", directory";
            if (j->Random)
                s += ", random";
            s += ", interval " + Num(j->Pause);
        }
        return s + ")";
    }
    case JOB_MSG: {
        auto* j = static_cast<const JobMsg*>(job);
        std::string s = " (";
        if (j->OnTop)
            s += "Always on top, ";
        s += "\"" + CurrentTextPlatform().LeadingChars(j->Message, 40);
        if (j->Message.size() > 40)
            s += "...";
        return s + "\")";
    }
    case JOB_IMAGE: {
        auto* j = static_cast<const JobImage*>(job);
        std::string s = " (" + Quoted(j->FileOrDir);
        if (j->Enlarge)
            s += ", enlarge";
        if (j->Shrink)
            s += ", shrink";
        if (j->KeepShape)
            s += ", keepshape";
        if (j->Dir) {
            s += ", slider show";
            if (j->Random)
                s += ", random";
            else if (j->Loop)
                s += LoopPart(j->Count);
            s += ", interval " + Num(j->Interval);
        }
        return s + ")";
    }
    case JOB_WALLPAPER: {
        auto* j = static_cast<const JobWallpaper*>(job);
        static const char* const styles[] = {", center", ", tile", ", stretch"};
        std::string s = " (" + Quoted(j->FileOrDir);
        if (j->Random)
            s += ", random";
        if (j->Option >= 0 && j->Option <= 2)
            s += styles[j->Option];
        return s + ")";
    }
    case JOB_EXEC: {
        auto* j = static_cast<const JobExec*>(job);
        std::string s = " (" + Quoted(j->File);
        if (!j->Param.empty())
            s += " " + j->Param;
        if (j->Hide)
            s += ", background";
        if (j->Wait)
            s += ", wait";
        return s + ")";
    }
    case JOB_WNDMSG: {
        auto* j = static_cast<const JobWndMsg*>(job);
        const char* type = j->Message == WndMsgClose   ? "CLOSE, "
                           : j->Message == WndMsgClick ? "CLICK, "
                                                       : "COMMAND, ";
        return " (wait " + Num(j->Pause) + " ms, " + TargetPart(j) + ", message: " + type +
               "Param 1: " + Unsigned(j->WParam) + ", Param 2: " + Unsigned(j->LParam) + ")";
    }
    case JOB_MOUSE: {
        auto* j = static_cast<const JobMouse*>(job);
        // Values outside the tables come only from edited files; show the number.
        std::string event = (j->Event >= 0 && j->Event < MouseEventCount)
                                ? MouseEventNames[j->Event]
                                : "event " + Num(j->Event);
        std::string corner = (j->rel >= 0 && j->rel < MouseCornerCount)
                                 ? MouseCornerNames[j->rel]
                                 : "corner " + Num(j->rel);
        return " (wait " + Num(j->Pause) + " ms, " + event + ", " + Num(j->x) + "," + Num(j->y) +
               ", relative to " + corner + ", " + TargetPart(j) + ")";
    }
    case JOB_KEY: {
        auto* j = static_cast<const JobKey*>(job);
        return " (wait " + Num(j->Pause) + " ms, " + KeyPart(j) + TargetPart(j) + ")";
    }
    case JOB_SHUT: {
        auto* j = static_cast<const JobShut*>(job);
        static const char* const ops[] = {"power off", "restart", "suspend", "hibernate", "lock"};
        std::string s = " (";
        if (j->ShowDlg) {
            s += "ask me what to do";
        } else {
            if (j->Option >= 1 && j->Option <= 5)
                s += ops[j->Option - 1];
            if (j->Force)
                s += ", forcibly";
        }
        if (j->Wait)
            s += ", wait";
        return s + ")";
    }
    default:
        return std::string();
    }
}

} // namespace

std::string ShortCutToText(unsigned shortCut)
{
    static const char* const navigation[] = {"Space", "PgUp", "PgDn", "End",  "Home",
                                             "Left",  "Up",   "Right", "Down"};
    const unsigned key = shortCut & 0xFF;
    std::string name;
    if (key == 0x08)
        name = "BkSp";
    else if (key == 0x09)
        name = "Tab";
    else if (key == 0x0D)
        name = "Enter";
    else if (key == 0x1B)
        name = "Esc";
    else if (key >= 0x20 && key <= 0x28)
        name = navigation[key - 0x20];
    else if (key == 0x2D)
        name = "Ins";
    else if (key == 0x2E)
        name = "Del";
    else if (key >= 0x30 && key <= 0x39)
        name = char('0' + key - 0x30);
    else if (key >= 0x41 && key <= 0x5A)
        name = char('A' + key - 0x41);
    else if (key >= 0x60 && key <= 0x69)
        name = char('0' + key - 0x60);
    else if (key >= 0x70 && key <= 0x87)
        name = "F" + std::to_string(key - 0x6F);
    else
        name = CurrentTextPlatform().KeyName(key, (shortCut & 0x1000) != 0);
    if (name.empty())
        return std::string();
    std::string text;
    if (shortCut & 0x2000)
        text += "Shift+";
    if (shortCut & 0x4000)
        text += "Ctrl+";
    if (shortCut & 0x8000)
        text += "Alt+";
    return text + name;
}

std::string DescribeJob(const MyJob* job)
{
    if (!job || !IsJobType(job->Type))
        return "Invalid action type";
    return std::string(JobTypeNames[job->Type]) + ". \r\n" + job->Comment + Details(job);
}

std::string DescribeJobList(const MyJob* head)
{
    std::string out;
    int number = 1;
    for (const MyJob* job = head; job; job = job->Next, ++number) {
        out += std::to_string(number);
        out += job->Enabled ? ": Enabled. " : ": Disabled. ";
        out += DescribeJob(job);
        out += "\r\n\r\n";
    }
    return out;
}
