#include <gtest/gtest.h>

#include "actions/JobIni.h"

namespace {

// Reads INI text into a chain owned by the returned list.
int ReadText(const std::string& text, JobList* jobs)
{
    MemIniFile ini;
    ini.SetText(text);
    return ReadJobList(&ini, jobs->Place());
}

std::string WriteText(const MyJob* head)
{
    MemIniFile ini;
    WriteJobList(&ini, head);
    return ini.GetText();
}

// One action of every kind with no field at its default.
MyJob* EveryKind()
{
    auto* beep = new JobBeep;
    beep->Count = 4, beep->Duration = 100, beep->Pause = 200, beep->Freq = 880;
    auto* wave = new JobWave;
    wave->File = "C:\\Music\\a b.mp3", wave->Count = 2, wave->Pause = 0, wave->volume = 40;
    wave->Dir = false, wave->Random = true, wave->Loop = false;
    auto* bg = new JobBgMusic;
    bg->File = "C:\\Music\\", bg->volume = 0, bg->Dir = false, bg->Random = true, bg->Pause = 5;
    auto* msg = new JobMsg;
    msg->OnTop = true, msg->Message = "Line 1\r\nLine 2 = [x]";
    auto* image = new JobImage;
    image->FileOrDir = "D:\\Pics", image->Dir = false, image->Enlarge = true;
    image->Shrink = false, image->KeepShape = false, image->Random = true, image->Loop = true;
    image->Count = -3, image->Interval = 250;
    auto* wp = new JobWallpaper;
    wp->FileOrDir = "D:\\w.bmp", wp->Dir = false, wp->Random = false, wp->Option = 2;
    auto* exec = new JobExec;
    exec->File = "notepad.exe", exec->Param = "/p \"x y.txt\"", exec->Hide = true, exec->Wait = true;
    auto* wm = new JobWndMsg;
    wm->Pause = 1, wm->AppName = "app.exe", wm->WndName = "Cap", wm->ClassName = "Cls";
    wm->Message = 1124, wm->WParam = 0xFFFFFFFFu, wm->LParam = 0x80000001u;
    auto* mouse = new JobMouse;
    mouse->Pause = 2, mouse->AppName = "m.exe", mouse->WndName = "W", mouse->ClassName = "C";
    mouse->Event = 16, mouse->SendToWnd = true, mouse->rel = 3, mouse->x = -5, mouse->y = 7;
    auto* key = new JobKey;
    key->Pause = 3, key->AppName = "k.exe", key->WndName = "K", key->ClassName = "KC";
    key->Event = 0x641, key->Chars = "hello", key->UseChar = true, key->SendToWnd = true;
    key->State = 2;
    auto* shut = new JobShut;
    shut->ShowDlg = false, shut->Option = 5, shut->Force = false, shut->Wait = false;

    MyJob* all[] = {beep, wave, bg, msg, image, wp, exec, wm, mouse, key, shut};
    for (size_t i = 0; i < 11; ++i) {
        all[i]->Enabled = i % 2 == 0;
        all[i]->Comment = "comment " + std::to_string(i);
        all[i]->Next = i + 1 < 11 ? all[i + 1] : nullptr;
    }
    return beep;
}

} // namespace

TEST(JobIni, EveryKindRoundTripsWithEveryField)
{
    JobList original(EveryKind());
    std::string text = WriteText(original.Head());
    JobList back;
    ASSERT_EQ(ReadText(text, &back), 11);
    // Writing what was read gives the same text: every field came back.
    EXPECT_EQ(WriteText(back.Head()), text);
    ASSERT_EQ(CountJobs(back.Head()), 11);
    int type = 0;
    for (const MyJob* job = back.Head(); job; job = job->Next, ++type) {
        EXPECT_EQ(job->Type, type);
        EXPECT_EQ(job->Enabled, type % 2 == 0);
    }
    auto* wm = static_cast<const JobWndMsg*>(back.Head()->Next->Next->Next->Next->Next->Next->Next);
    EXPECT_EQ(wm->WParam, 0xFFFFFFFFu);
    EXPECT_EQ(wm->LParam, 0x80000001u);
    auto* msg = static_cast<const JobMsg*>(back.Head()->Next->Next->Next);
    EXPECT_EQ(msg->Message, "Line 1\r\nLine 2 = [x]");
}

TEST(JobIni, WrittenTextHasTheExactLayout)
{
    JobBeep beep;
    beep.Comment = "Alarm";
    JobShut shut;
    shut.Enabled = false;
    beep.Next = &shut;
    MemIniFile ini;
    ini.WriteString("Main", "Name", "Wake up");
    EXPECT_EQ(WriteJobList(&ini, &beep), 2);
    beep.Next = nullptr;
    EXPECT_EQ(ini.GetText(),
              "[Main]\r\nName=Wake up\r\nCount=2\r\n\r\n"
              "[Job0]\r\nType=0\r\nEnabled=1\r\nComment=Alarm\r\n"
              "Count=3\r\nDuration=500\r\nPause=500\r\nFreq=500\r\n\r\n"
              "[Job1]\r\nType=10\r\nEnabled=0\r\nComment=\r\n"
              "ShowDlg=1\r\nForce=1\r\nOption=1\r\nWait=1\r\n\r\n");
}

TEST(JobIni, KeyOrderOfWindowKinds)
{
    JobKey key;
    EXPECT_EQ(WriteText(&key),
              "[Main]\r\nCount=1\r\n\r\n[Job0]\r\nType=9\r\nEnabled=1\r\nComment=\r\n"
              "WndName=\r\nClassName=\r\nEvent=0\r\nChars=\r\nUseChar=0\r\nPause=10000\r\n"
              "SendToWnd=0\r\nState=3\r\nAppName=\r\n\r\n");
    JobMouse mouse;
    EXPECT_NE(WriteText(&mouse).find("WndName=\r\nClassName=\r\nEvent=0\r\nPause=10000\r\n"
                                     "x=0\r\ny=0\r\nrel=0\r\nSendToWnd=0\r\nAppName=\r\n"),
              std::string::npos);
}

TEST(JobIni, WriteWithoutObjectWritesNothing)
{
    JobBeep beep;
    EXPECT_EQ(WriteJobList(nullptr, &beep), 0);
    MemIniFile ini;
    EXPECT_EQ(WriteJobList(&ini, nullptr), 0);
    EXPECT_EQ(ini.GetText(), "[Main]\r\nCount=0\r\n\r\n");
}

TEST(JobIni, UnknownTypeWritesBaseKeysAndUsesItsIndex)
{
    MyJob odd(42);
    JobBeep beep;
    odd.Next = &beep;
    std::string text = WriteText(&odd);
    odd.Next = nullptr;
    EXPECT_NE(text.find("[Job0]\r\nType=42\r\nEnabled=1\r\nComment=\r\n\r\n[Job1]\r\nType=0"),
              std::string::npos);
    JobList back;
    EXPECT_EQ(ReadText(text, &back), 2);
    ASSERT_EQ(CountJobs(back.Head()), 1);
    EXPECT_EQ(back.Head()->Type, JOB_BEEP);
}

TEST(JobIni, MessageIsHexCoded)
{
    JobMsg msg;
    msg.Message = "a\r\nb";
    EXPECT_NE(WriteText(&msg).find("\r\nMessage=610D0A6200\r\n"), std::string::npos);
    msg.Message.clear();
    EXPECT_NE(WriteText(&msg).find("\r\nMessage=00\r\n"), std::string::npos);
    msg.Message = "\xFF\x80";
    EXPECT_NE(WriteText(&msg).find("\r\nMessage=FF8000\r\n"), std::string::npos);
}

TEST(JobIni, MessageDecoding)
{
    struct Case {
        const char* Value;
        const char* Expected;
    } cases[] = {
        {"610D0A6200", "a\r\nb"},
        {"610d0a62", "a\r\nb"},    // lower case, no terminator
        {"6162006364", "ab"},      // ends at the first zero byte
        {"61626", "ab"},           // odd digit left over
        {"6162ZZ6364", "ab"},      // stops at a pair that is not hex
        {"", ""},
    };
    for (const Case& c : cases) {
        JobList jobs;
        ASSERT_EQ(ReadText(std::string("[Main]\nCount=1\n[Job0]\nType=3\nMessage=") + c.Value, &jobs),
                  1);
        EXPECT_EQ(static_cast<const JobMsg*>(jobs.Head())->Message, c.Expected) << c.Value;
    }
    JobList missing;
    ReadText("[Main]\nCount=1\n[Job0]\nType=3\n", &missing);
    EXPECT_EQ(static_cast<const JobMsg*>(missing.Head())->Message, "");
}

TEST(JobIni, WParamOfAllBitsIsWrittenNegativeAndReadBack)
{
    JobWndMsg wm;
    wm.WParam = 0xFFFFFFFFu;
    std::string text = WriteText(&wm);
    EXPECT_NE(text.find("\r\nWParam=-1\r\n"), std::string::npos);
    JobList back;
    ReadText(text, &back);
    EXPECT_EQ(static_cast<const JobWndMsg*>(back.Head())->WParam, 0xFFFFFFFFu);

    JobList hex;
    ReadText("[Main]\nCount=1\n[Job0]\nType=7\nWParam=0x10\nLParam=0xFFFF0000\n", &hex);
    auto* read = static_cast<const JobWndMsg*>(hex.Head());
    EXPECT_EQ(read->WParam, 16u);
    EXPECT_EQ(read->LParam, 0xFFFF0000u);
}

TEST(JobIni, EnabledValues)
{
    struct Case {
        const char* Line;
        bool Expected;
    } cases[] = {{"Enabled=yes", true}, {"Enabled=2", true}, {"Enabled=1", true},
                 {"Enabled=0", false},  {"", true}};
    for (const Case& c : cases) {
        JobList jobs;
        ReadText(std::string("[Main]\nCount=1\n[Job0]\nType=0\n") + c.Line + "\n", &jobs);
        ASSERT_NE(jobs.Head(), nullptr);
        EXPECT_EQ(jobs.Head()->Enabled, c.Expected) << c.Line;
    }
}

TEST(JobIni, NamesMatchWithoutCase)
{
    JobList jobs;
    EXPECT_EQ(ReadText("[MAIN]\ncount=1\n[job0]\ntype=3\nONTOP=1\n", &jobs), 1);
    ASSERT_NE(jobs.Head(), nullptr);
    EXPECT_EQ(jobs.Head()->Type, JOB_MSG);
    EXPECT_TRUE(static_cast<const JobMsg*>(jobs.Head())->OnTop);
}

TEST(JobIni, TextValuesLoseOuterBlanks)
{
    JobExec exec;
    exec.Comment = "  note  ";
    exec.File = " C:\\a.exe\t";
    JobList back;
    ReadText(WriteText(&exec), &back);
    EXPECT_EQ(back.Head()->Comment, "note");
    EXPECT_EQ(static_cast<const JobExec*>(back.Head())->File, "C:\\a.exe");
}

TEST(JobIni, MissingKeysTakeTheirDefaults)
{
    JobList jobs;
    std::string text = "[Main]\nCount=11\n";
    for (int i = 0; i < 11; ++i)
        text += "[Job" + std::to_string(i) + "]\nType=" + std::to_string(i) + "\n";
    ASSERT_EQ(ReadText(text, &jobs), 11);
    // Reading defaults and writing them gives what fresh records write.
    JobList fresh;
    MyJob** tail = fresh.Place();
    for (int i = 0; i < 11; ++i) {
        *tail = NewJob(i);
        tail = &(*tail)->Next;
    }
    EXPECT_EQ(WriteText(jobs.Head()), WriteText(fresh.Head()));
    auto* image = static_cast<const JobImage*>(jobs.Head()->Next->Next->Next->Next);
    EXPECT_TRUE(image->Dir);
    EXPECT_TRUE(image->Shrink);
    EXPECT_FALSE(image->Loop);
    EXPECT_EQ(image->Interval, 3000);
}

TEST(JobIni, MalformedValuesTakeTheirDefaults)
{
    JobList jobs;
    ReadText("[Main]\nCount=1\n[Job0]\nType=0\nCount=many\nDuration=\nFreq=0x\n", &jobs);
    auto* beep = static_cast<const JobBeep*>(jobs.Head());
    EXPECT_EQ(beep->Count, 3);
    EXPECT_EQ(beep->Duration, 500);
    EXPECT_EQ(beep->Freq, 500);
}

TEST(JobIni, SectionWithUnusableTypeIsSkippedButCounted)
{
    JobList jobs;
    EXPECT_EQ(ReadText("[Main]\nCount=3\n[Job0]\nType=0\n[Job1]\nType=42\n[Job2]\nType=6\n"
                       "[Job3]\nType=3\n",
                       &jobs),
              3);
    ASSERT_EQ(CountJobs(jobs.Head()), 2);
    EXPECT_EQ(jobs.Head()->Type, JOB_BEEP);
    EXPECT_EQ(jobs.Head()->Next->Type, JOB_EXEC);
}

TEST(JobIni, ReadingStopsAtTheFirstMissingSection)
{
    JobList jobs;
    EXPECT_EQ(ReadText("[Main]\nCount=5\n[Job0]\nType=0\n[Job1]\nType=1\n[Job3]\nType=3\n", &jobs),
              2);
    EXPECT_EQ(CountJobs(jobs.Head()), 2);
}

TEST(JobIni, NoListWithoutAPositiveCount)
{
    for (const char* main : {"", "[Main]\n", "[Main]\nCount=x\n", "[Main]\nCount=0\n",
                             "[Main]\nCount=-4\n", "[Other]\nCount=1\n"}) {
        JobList jobs;
        EXPECT_EQ(ReadText(std::string(main) + "[Job0]\nType=0\n", &jobs), 0) << main;
        EXPECT_EQ(jobs.Head(), nullptr);
    }
}

TEST(JobIni, WriteJobListWritesTheBoundFile)
{
    std::string path = testing::TempDir() + "joblist-write.ini";
    std::remove(path.c_str());
    MemIniFile ini(path);
    JobBeep beep;
    EXPECT_EQ(WriteJobList(&ini, &beep), 1);
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(path, &bytes));
    EXPECT_EQ(bytes, ini.GetText());
    // An object bound to an existing file starts with its contents.
    MemIniFile again(path, true);
    EXPECT_EQ(again.ReadInteger("Main", "Count", 0), 1);
    std::remove(path.c_str());
}
