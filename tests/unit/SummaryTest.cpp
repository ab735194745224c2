#include <gtest/gtest.h>

#include "actions/JobSummary.h"
#include "actions/TextPlatform.h"

namespace {

// The second line of a summary: everything after the kind's name line.
std::string Details(const MyJob& job)
{
    std::string text = DescribeJob(&job);
    size_t eol = text.find("\r\n");
    return eol == std::string::npos ? text : text.substr(eol + 2);
}

// Replaces the platform hooks for one test.
class PlatformOverride {
public:
    PlatformOverride() : m_saved(CurrentTextPlatform()) {}
    ~PlatformOverride() { CurrentTextPlatform() = m_saved; }

private:
    TextPlatform m_saved;
};

// A double-byte code page in miniature: a byte from 0x81 on leads a pair.
std::string DoubleByteLeading(const std::string& text, size_t count)
{
    size_t i = 0;
    for (size_t chars = 0; i < text.size() && chars < count; ++chars)
        i += (static_cast<unsigned char>(text[i]) >= 0x81 && i + 1 < text.size()) ? 2 : 1;
    return text.substr(0, i);
}

std::string NamedKey(unsigned vk, bool extended)
{
    return vk == 0xBA ? (extended ? "Ext;" : ";") : std::string();
}

} // namespace

TEST(Summary, BeepReadsAsTheUserSeesIt)
{
    JobBeep beep;
    beep.Comment = "Alarm";
    EXPECT_EQ(DescribeJob(&beep), "Beep. \r\nAlarm (3 times, duration 500 ms, interval 500 ms, 500Hz)");
    beep.Comment.clear();
    EXPECT_EQ(Details(beep), " (3 times, duration 500 ms, interval 500 ms, 500Hz)");
}

TEST(Summary, ShutdownNameEndsInTwoFullStops)
{
    JobShut shut;
    EXPECT_EQ(DescribeJob(&shut), "Shutdown, suspend, etc.. \r\n (ask me what to do, wait)");
}

TEST(Summary, UnknownTypeIsInvalid)
{
    MyJob odd(11);
    odd.Comment = "ignored";
    EXPECT_EQ(DescribeJob(&odd), "Invalid action type");
    EXPECT_EQ(DescribeJob(nullptr), "Invalid action type");
}

TEST(Summary, SoundFolderPlayOrder)
{
    struct Case {
        bool Dir, Random, Loop;
        int Count, Volume;
        const char* Expected;
    } cases[] = {
        {true, false, true, 2, -1, " (\"C:\\M\", default volume, directory, loop 2 times, interval 1000)"},
        {true, false, true, 0, 150, " (\"C:\\M\", default volume, directory, loop infinitely, interval 1000)"},
        {true, false, true, -1, 0, " (\"C:\\M\", volume: 0, directory, loop -1 times, interval 1000)"},
        {true, true, true, 2, 100, " (\"C:\\M\", volume: 100, directory, random, interval 1000)"},
        {true, false, false, 2, 101, " (\"C:\\M\", default volume, directory, interval 1000)"},
        {false, true, true, 2, 50, " (\"C:\\M\", volume: 50)"},
    };
    for (const Case& c : cases) {
        JobWave wave;
        wave.File = "C:\\M";
        wave.Dir = c.Dir, wave.Random = c.Random, wave.Loop = c.Loop;
        wave.Count = c.Count, wave.volume = c.Volume;
        EXPECT_EQ(Details(wave), c.Expected);
    }
}

TEST(Summary, BackgroundMusic)
{
    JobBgMusic bg;
    bg.File = "D:\\Songs";
    bg.Random = true;
    EXPECT_EQ(Details(bg), " (\"D:\\Songs\", default volume, directory, random, interval 1000)");
    bg.Dir = false;
    bg.volume = 30;
    EXPECT_EQ(Details(bg), " (\"D:\\Songs\", volume: 30)");
}

TEST(Summary, MessageIsCutAfterFortyCharacters)
{
    JobMsg msg;
    msg.Message = std::string(40, 'x');
    EXPECT_EQ(Details(msg), " (\"" + std::string(40, 'x') + "\")");
    msg.Message = std::string(41, 'x');
    EXPECT_EQ(Details(msg), " (\"" + std::string(40, 'x') + "...\")");
    msg.OnTop = true;
    msg.Message = "two\r\nlines";
    EXPECT_EQ(Details(msg), " (Always on top, \"two\r\nlines\")");
}

TEST(Summary, MessageCharactersAreCountedInTheCodePage)
{
    PlatformOverride restore;
    CurrentTextPlatform().LeadingChars = DoubleByteLeading;
    JobMsg msg;
    // 30 double-byte characters: 60 bytes, cut after 40 characters would keep
    // them all, and the byte length still adds the ellipsis.
    std::string wide;
    for (int i = 0; i < 30; ++i)
        wide += "\x82\xA0";
    msg.Message = wide;
    EXPECT_EQ(Details(msg), " (\"" + wide + "...\")");
    msg.Message = wide + std::string(20, 'y');
    EXPECT_EQ(Details(msg), " (\"" + wide + std::string(10, 'y') + "...\")");
}

TEST(Summary, Pictures)
{
    JobImage image;
    image.FileOrDir = "P";
    EXPECT_EQ(Details(image), " (\"P\", shrink, keepshape, slider show, interval 3000)");
    image.Loop = true;
    image.Count = 2;
    image.Enlarge = true;
    EXPECT_EQ(Details(image),
              " (\"P\", enlarge, shrink, keepshape, slider show, loop 2 times, interval 3000)");
    image.Count = 0;
    EXPECT_NE(Details(image).find(", loop infinitely, "), std::string::npos);
    image.Random = true;
    EXPECT_NE(Details(image).find(", slider show, random, interval 3000)"), std::string::npos);
    image.Dir = false;
    image.Shrink = image.KeepShape = image.Enlarge = false;
    EXPECT_EQ(Details(image), " (\"P\")");
}

TEST(Summary, WallpaperStyles)
{
    const char* expected[] = {" (\"W\", random, center)", " (\"W\", random, tile)",
                              " (\"W\", random, stretch)", " (\"W\", random)"};
    for (int option = 0; option < 4; ++option) {
        JobWallpaper wp;
        wp.FileOrDir = "W";
        wp.Option = option;
        EXPECT_EQ(Details(wp), expected[option]);
    }
    JobWallpaper plain;
    plain.FileOrDir = "W";
    plain.Random = false;
    plain.Option = -1;
    EXPECT_EQ(Details(plain), " (\"W\")");
}

TEST(Summary, Launch)
{
    JobExec exec;
    exec.File = "notepad.exe";
    EXPECT_EQ(Details(exec), " (\"notepad.exe\")");
    exec.Param = "a.txt";
    exec.Hide = exec.Wait = true;
    EXPECT_EQ(Details(exec), " (\"notepad.exe\" a.txt, background, wait)");
}

TEST(Summary, WindowMessage)
{
    JobWndMsg wm;
    wm.AppName = "app.exe";
    wm.WndName = "Cap";
    wm.ClassName = "Cls";
    wm.WParam = 0xFFFFFFFFu;
    wm.LParam = 7;
    EXPECT_EQ(Details(wm), " (wait 10000 ms, app name: \"app.exe\", caption: \"Cap\", class: \"Cls\", "
                           "message: COMMAND, Param 1: 4294967295, Param 2: 7)");
    struct Case {
        int Message;
        const char* Type;
    } cases[] = {{16, "CLOSE, "}, {1124, "CLICK, "}, {273, "COMMAND, "}, {256, "COMMAND, "}};
    for (const Case& c : cases) {
        wm.Message = c.Message;
        EXPECT_NE(Details(wm).find(std::string("message: ") + c.Type + "Param 1"), std::string::npos)
            << c.Message;
    }
}

TEST(Summary, Mouse)
{
    JobMouse mouse;
    mouse.Event = 3;
    mouse.x = -4;
    mouse.y = 12;
    mouse.rel = 2;
    mouse.WndName = "W";
    EXPECT_EQ(Details(mouse), " (wait 10000 ms, Left button double click, -4,12, relative to Bottom left, "
                              "app name: \"\", caption: \"W\", class: \"\")");
    mouse.Event = 17;
    mouse.rel = -1;
    EXPECT_EQ(Details(mouse), " (wait 10000 ms, event 17, -4,12, relative to corner -1, "
                              "app name: \"\", caption: \"W\", class: \"\")");
}

TEST(Summary, KeyForms)
{
    PlatformOverride restore;
    CurrentTextPlatform().KeyName = NamedKey;
    struct Case {
        int Event;
        const char* KeyPart;
    } cases[] = {
        {0x241, "Ctrl+A, "},                  // key stroke form
        {0x21B, "Ctrl+Esc, "},                // combination form
        {0x000, "(None), "},
        {0x71B, "Ctrl+Alt+Shift+Esc, "},      // combination order: Ctrl, Alt, Shift
        {0x741, "Shift+Ctrl+Alt+A, "},        // key stroke order: Shift, Ctrl, Alt
        {0x35, "5, "},
        {0x165, "Shift+5, "},                 // number pad digit
        {0x70, "F1, "},
        {0x487, "Alt+F24, "},
        {0x21, "PgUp, "},
        {0x28, "Down, "},
        {0x2D, "Ins, "},
        {0x22E, "Ctrl+Delete, "},             // Delete is in the table
        {0x5B, "Win, "},
        {0x1BA, "Shift+;, "},                 // named by the system
        {0x9BA, "Shift+Ext;, "},              // extended key
        {0x2FF, ", "},                        // a key without a name drops the prefixes too
    };
    for (const Case& c : cases) {
        JobKey key;
        key.Event = c.Event;
        key.AppName = "a";
        EXPECT_EQ(Details(key), std::string(" (wait 10000 ms, ") + c.KeyPart +
                                    "app name: \"a\", caption: \"\", class: \"\")")
            << std::hex << c.Event;
    }
    JobKey chars;
    chars.UseChar = true;
    chars.Chars = "hello";
    chars.Event = 0x241;
    chars.State = 1; // not shown
    EXPECT_EQ(Details(chars), " (wait 10000 ms, \"hello\", app name: \"\", caption: \"\", class: \"\")");
}

TEST(Summary, Shutdown)
{
    struct Case {
        bool ShowDlg;
        int Option;
        bool Force, Wait;
        const char* Expected;
    } cases[] = {
        {false, 1, true, true, " (power off, forcibly, wait)"},
        {false, 2, false, false, " (restart)"},
        {false, 3, false, true, " (suspend, wait)"},
        {false, 4, true, false, " (hibernate, forcibly)"},
        {false, 5, false, false, " (lock)"},
        {false, 9, true, false, " (, forcibly)"},
        {true, 1, true, false, " (ask me what to do)"},
    };
    for (const Case& c : cases) {
        JobShut shut;
        shut.ShowDlg = c.ShowDlg, shut.Option = c.Option, shut.Force = c.Force, shut.Wait = c.Wait;
        EXPECT_EQ(Details(shut), c.Expected);
    }
}
