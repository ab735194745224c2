#include <gtest/gtest.h>

#include "app/CommandLine.h"

using Args = std::vector<std::string>;

TEST(CommandLine, ArgumentsAfterTheProgramName)
{
    struct Case {
        const char* Line;
        Args Expected;
    } cases[] = {
        {"scheduler.exe", {}},
        {"\"C:\\Program Files\\Scheduler\\scheduler.exe\"", {}},
        {"\"C:\\Program Files\\Scheduler\\scheduler.exe\" -run \"Backup 1.2\"", {"-run", "Backup 1.2"}},
        {"C:\\Scheduler\\scheduler.exe -RUN Daily", {"-RUN", "Daily"}},
        {"scheduler.exe -run", {"-run"}},
        {"scheduler.exe -run \"\"", {"-run", ""}},
        {"scheduler.exe   -service  ", {"-service"}},
        {"scheduler.exe -run \"say \\\"hi\\\"\"", {"-run", "say \"hi\""}},
        {"scheduler.exe -run a\\\\b", {"-run", "a\\\\b"}},
        {"scheduler.exe -run \"a\\\\\"", {"-run", "a\\"}},
        {"scheduler.exe /x", {"/x"}},
        // Started by a task service with the parameters alone.
        {"-run \"Morning news\"", {"-run", "Morning news"}},
        {"-Run Morning", {"-Run", "Morning"}},
        {"-service", {"-service"}},
        {"  -run x", {"-run", "x"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProgramArguments(c.Line), c.Expected) << c.Line;
}

TEST(CommandLine, FirstArgumentSelectsTheMode)
{
    struct Case {
        Args Arguments;
        RunMode Expected;
    } cases[] = {
        {{}, RunMode::Interactive},
        {{"-run", "Task"}, RunMode::Run},
        {{"-RUN"}, RunMode::Run},
        {{"-Run", "a", "b"}, RunMode::Run},
        {{"-service"}, RunMode::Service},
        {{"-SERVICE", "x"}, RunMode::Service},
        {{"-runx"}, RunMode::Other},
        {{"run"}, RunMode::Other},
        {{""}, RunMode::Other},
        {{"Task", "-run"}, RunMode::Other},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SelectMode(c.Arguments), c.Expected);
}

TEST(CommandLine, VersionInTheCaption)
{
    EXPECT_EQ(FormatVersion(1.9, "."), "1.9");
    EXPECT_EQ(FormatVersion(2.0, "."), "2");
    EXPECT_EQ(FormatVersion(1.85, ","), "1,85");
    EXPECT_EQ(FormatVersion(10.125, "."), "10.125");
    EXPECT_EQ(FormatVersion(0.1 + 0.2, "."), "0.3");
}
