#include "actions/JobIni.h"

namespace {

const char MainSection[] = "Main";

std::string JobSection(int index) { return "Job" + std::to_string(index); }

// Reading and writing go through one field table per kind, so that the
// writer and the reader cannot disagree on a key, its order or its default.
class FieldIo {
public:
    FieldIo(MemIniFile* out, const MemIniFile* in, std::string section)
        : m_out(out), m_in(in), m_section(std::move(section))
    {
    }

    void Int(const char* key, int& field)
    {
        if (m_out)
            m_out->WriteInteger(m_section, key, field);
        else
            field = m_in->ReadInteger(m_section, key, field);
    }
    void Word(const char* key, uint32_t& field)
    {
        int value = int(field);
        Int(key, value);
        field = uint32_t(value);
    }
    void Bool(const char* key, bool& field)
    {
        if (m_out)
            m_out->WriteBool(m_section, key, field);
        else
            field = m_in->ReadBool(m_section, key, field);
    }
    void Text(const char* key, std::string& field)
    {
        if (m_out)
            m_out->WriteString(m_section, key, field);
        else
            field = m_in->ReadString(m_section, key, field);
    }
    void Hex(const char* key, std::string& field)
    {
        if (m_out)
            m_out->WriteString(m_section, key, EncodeHexText(field));
        else
            field = DecodeHexText(m_in->ReadString(m_section, key, std::string()));
    }

private:
    MemIniFile* m_out;
    const MemIniFile* m_in;
    std::string m_section;
};

// The keys of each kind, in the order they are written. Defaults come from
// the fields' initial values when reading into a fresh record.
void KindFields(FieldIo& io, MyJob* job)
{
    switch (job->Type) {
    case JOB_BEEP: {
        auto* j = static_cast<JobBeep*>(job);
        io.Int("Count", j->Count);
        io.Int("Duration", j->Duration);
        io.Int("Pause", j->Pause);
        io.Int("Freq", j->Freq);
        break;
    }
    case JOB_WAVE: {
        auto* j = static_cast<JobWave*>(job);
        io.Text("File", j->File);
        io.Int("Count", j->Count);
        io.Int("Pause", j->Pause);
        io.Int("volume", j->volume);
        io.Bool("Dir", j->Dir);
        io.Bool("Random", j->Random);
        io.Bool("Loop", j->Loop);
        break;
    }
    case JOB_BGMUSIC: {
        auto* j = static_cast<JobBgMusic*>(job);
        io.Text("File", j->File);
        io.Int("volume", j->volume);
        io.Int("Pause", j->Pause);
        io.Bool("Dir", j->Dir);
        io.Bool("Random", j->Random);
        break;
    }
    case JOB_MSG: {
        auto* j = static_cast<JobMsg*>(job);
        io.Bool("OnTop", j->OnTop);
        io.Hex("Message", j->Message);
        break;
    }
    case JOB_IMAGE: {
        auto* j = static_cast<JobImage*>(job);
        io.Text("FileOrDir", j->FileOrDir);
        io.Bool("Dir", j->Dir);
        io.Bool("Enlarge", j->Enlarge);
        io.Bool("Shrink", j->Shrink);
        io.Bool("KeepShape", j->KeepShape);
        io.Bool("Random", j->Random);
        io.Bool("Loop", j->Loop);
        io.Int("Count", j->Count);
        io.Int("Interval", j->Interval);
        break;
    }
    case JOB_WALLPAPER: {
        auto* j = static_cast<JobWallpaper*>(job);
        io.Text("FileOrDir", j->FileOrDir);
        io.Bool("Dir", j->Dir);
        io.Bool("Random", j->Random);
        io.Int("Option", j->Option);
        break;
    }
    case JOB_EXEC: {
        auto* j = static_cast<JobExec*>(job);
        io.Text("File", j->File);
        io.Text("Param", j->Param);
        io.Bool("Hide", j->Hide);
        io.Bool("Wait", j->Wait);
        break;
    }
    case JOB_WNDMSG: {
        auto* j = static_cast<JobWndMsg*>(job);
        io.Text("WndName", j->WndName);
        io.Text("ClassName", j->ClassName);
        io.Int("Message", j->Message);
        io.Int("Pause", j->Pause);
        io.Word("WParam", j->WParam);
        io.Word("LParam", j->LParam);
        io.Text("AppName", j->AppName);
        break;
    }
    case JOB_MOUSE: {
        auto* j = static_cast<JobMouse*>(job);
        io.Text("WndName", j->WndName);
        io.Text("ClassName", j->ClassName);
        io.Int("Event", j->Event);
        io.Int("Pause", j->Pause);
        io.Int("x", j->x);
        io.Int("y", j->y);
        io.Int("rel", j->rel);
        io.Bool("SendToWnd", j->SendToWnd);
        io.Text("AppName", j->AppName);
        break;
    }
    case JOB_KEY: {
        auto* j = static_cast<JobKey*>(job);
        io.Text("WndName", j->WndName);
        io.Text("ClassName", j->ClassName);
        io.Int("Event", j->Event);
        io.Text("Chars", j->Chars);
        io.Bool("UseChar", j->UseChar);
        io.Int("Pause", j->Pause);
        io.Bool("SendToWnd", j->SendToWnd);
        io.Int("State", j->State);
        io.Text("AppName", j->AppName);
        break;
    }
    case JOB_SHUT: {
        auto* j = static_cast<JobShut*>(job);
        io.Bool("ShowDlg", j->ShowDlg);
        io.Bool("Force", j->Force);
        io.Int("Option", j->Option);
        io.Bool("Wait", j->Wait);
        break;
    }
    default:
        break;
    }
}

} // namespace

std::string EncodeHexText(const std::string& text)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(text.size() * 2 + 2);
    for (unsigned char c : text) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    hex += "00";
    return hex;
}

std::string DecodeHexText(const std::string& hex)
{
    std::string text;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        int hi = HexDigitValue(hex[i]);
        int lo = HexDigitValue(hex[i + 1]);
        if (hi < 0 || lo < 0)
            break;
        char c = char(hi * 16 + lo);
        if (c == '\0')
            break;
        text += c;
    }
    return text;
}

int WriteJobList(MemIniFile* ini, const MyJob* head)
{
    if (!ini)
        return 0;
    ini->WriteInteger(MainSection, "Count", 0);
    int count = 0;
    for (const MyJob* job = head; job; job = job->Next, ++count) {
        std::string section = JobSection(count);
        ini->WriteInteger(section, "Type", job->Type);
        ini->WriteBool(section, "Enabled", job->Enabled);
        ini->WriteString(section, "Comment", job->Comment);
        FieldIo io(ini, nullptr, section);
        // The writer only reads the fields; the table is shared with the reader.
        KindFields(io, const_cast<MyJob*>(job));
    }
    ini->WriteInteger(MainSection, "Count", count);
    ini->UpdateFile();
    return count;
}

int ReadJobList(const MemIniFile* ini, MyJob** head)
{
    if (!head)
        return 0;
    *head = nullptr;
    if (!ini)
        return 0;
    int count = ini->ReadInteger(MainSection, "Count", 0);
    if (count <= 0)
        return 0;
    MyJob** tail = head;
    int i = 0;
    for (; i < count; ++i) {
        std::string section = JobSection(i);
        if (!ini->SectionExists(section))
            break;
        bool enabled = ini->ReadBool(section, "Enabled", true);
        int type = ini->ReadInteger(section, "Type", -1);
        std::string comment = ini->ReadString(section, "Comment", std::string());
        MyJob* job = NewJob(type);
        if (!job)
            continue;
        FieldIo io(nullptr, ini, section);
        KindFields(io, job);
        job->Enabled = enabled;
        job->Comment = std::move(comment);
        job->Next = nullptr;
        *tail = job;
        tail = &job->Next;
    }
    return i;
}
