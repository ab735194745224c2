#include <gtest/gtest.h>

#include <cstdio>

#include "actions/IniFile.h"
#include "actions/JobPack.h"

TEST(ActionFile, ExportNameGetsTheExtension)
{
    struct Case {
        const char* Chosen;
        const char* Expected;
    } cases[] = {
        {"C:\\lists\\morning", "C:\\lists\\morning.sas"},
        {"C:\\lists\\morning.txt", "C:\\lists\\morning.txt.sas"},
        {"C:\\lists\\morning.SAS", "C:\\lists\\morning.SAS"},
        {"C:\\lists\\morning.sas", "C:\\lists\\morning.sas"},
        {"morning.sa", "morning.sa.sas"},
        {"sas", "sas.sas"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ActionFileName(c.Chosen), c.Expected);
}

TEST(ActionFile, WrittenFileReadsBack)
{
    const std::string path = testing::TempDir() + "actions-roundtrip.sas";
    JobExec exec;
    exec.File = "calc.exe";
    JobMsg msg;
    msg.Message = "done";
    msg.Enabled = false;
    exec.Next = &msg;
    ASSERT_TRUE(WriteActionFile(path, &exec));
    exec.Next = nullptr;

    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(path, &bytes));
    EXPECT_EQ(bytes.compare(0, 10, "VSCHEDULER"), 0);
    EXPECT_EQ(UnpackJobText(bytes).find("Name="), std::string::npos); // files carry no task name

    JobList jobs;
    EXPECT_EQ(ReadActionFile(path, jobs.Place()), 2);
    ASSERT_EQ(CountJobs(jobs.Head()), 2);
    EXPECT_EQ(static_cast<const JobExec*>(jobs.Head())->File, "calc.exe");
    EXPECT_FALSE(jobs.Head()->Next->Enabled);

    // Writing again replaces the file.
    ASSERT_TRUE(WriteActionFile(path, &msg));
    JobList again;
    EXPECT_EQ(ReadActionFile(path, again.Place()), 1);
    std::remove(path.c_str());
}

TEST(ActionFile, UnreadableFileIsReported)
{
    JobList jobs;
    EXPECT_EQ(ReadActionFile(testing::TempDir() + "no-such-file.sas", jobs.Place()), -1);
    EXPECT_EQ(jobs.Head(), nullptr);
}

TEST(ActionFile, FixtureTextReadsThroughEveryForm)
{
    std::string text;
    ASSERT_TRUE(ReadFileBytes(FIXTURE_DIR "mixed.ini", &text));
    for (const std::string& packed : {PackJobText(text), std::string("VSCHEDULER") + text}) {
        JobList jobs;
        EXPECT_EQ(ReadPackedJobs(packed, jobs.Place()), 5);
        EXPECT_EQ(CountJobs(jobs.Head()), 4); // the section of type 42 is dropped
    }
}
