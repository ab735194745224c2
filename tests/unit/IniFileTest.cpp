#include <gtest/gtest.h>

#include "actions/IniFile.h"

TEST(IniFile, LayoutKeepsFirstWrittenOrderAndReplacesInPlace)
{
    MemIniFile ini;
    ini.WriteString("Main", "Name", "Backup");
    ini.WriteInteger("Main", "Count", 0);
    ini.WriteInteger("Job0", "Type", 3);
    ini.WriteInteger("MAIN", "count", 1); // same key, other case: replaced in place
    EXPECT_EQ(ini.GetText(), "[Main]\r\nName=Backup\r\nCount=1\r\n\r\n[Job0]\r\nType=3\r\n\r\n");
}

TEST(IniFile, EmptyObjectGivesEmptyText)
{
    MemIniFile ini;
    EXPECT_EQ(ini.GetText(), "");
}

TEST(IniFile, ParsingRules)
{
    MemIniFile ini;
    ini.SetText("Orphan=1\n"
                "; comment\r\n"
                "  [ job0 ]  \r"
                "\ttype = 3 \r\n"
                ";Type=4\n"
                "Flag\n"
                "Text= a = b \x01\n"
                "Empty=\n"
                "[Job1]\n"
                "[job0]\n"
                "Extra=7");
    EXPECT_FALSE(ini.ValueExists("Main", "Orphan")); // before the first section
    EXPECT_TRUE(ini.SectionExists("JOB0"));
    EXPECT_TRUE(ini.SectionExists("Job1"));
    EXPECT_EQ(ini.ReadInteger("Job0", "Type", -1), 3);
    EXPECT_EQ(ini.ReadString("Job0", "Text", "x"), "a = b");
    EXPECT_EQ(ini.ReadString("Job0", "Empty", "x"), "");
    EXPECT_EQ(ini.ReadString("Job0", "Flag", "dflt"), "dflt"); // entry without a value
    EXPECT_EQ(ini.ReadInteger("Job0", "Extra", 0), 7);          // repeated header continues it
    EXPECT_EQ(ini.ReadString("Job1", "Type", "none"), "none");
}

TEST(IniFile, HighBytesAreNotTrimmed)
{
    MemIniFile ini;
    ini.SetText("[S]\nK=\xE9t\xE9\xA0\n");
    EXPECT_EQ(ini.ReadString("S", "K", ""), "\xE9t\xE9\xA0");
}

TEST(IniFile, IntegerReading)
{
    struct Case {
        const char* Text;
        int Expected;
    } cases[] = {
        {"42", 42},          {"-7", -7},         {"+5", 5},
        {"0x10", 16},        {"0X1f", 31},       {"0xFFFFFFFF", -1},
        {"0x", 99},          {"0x1FFFFFFFF", 99}, {"0xg", 99},
        {"", 99},            {"yes", 99},        {"12abc", 99},
        {"2147483647", 2147483647},              {"-2147483648", INT32_MIN},
        {"2147483648", 99},  {"4294967295", 99}, {"-", 99},
        {"00012", 12},
    };
    for (const Case& c : cases) {
        MemIniFile ini;
        ini.SetText(std::string("[S]\nK=") + c.Text + "\n");
        EXPECT_EQ(ini.ReadInteger("S", "K", 99), c.Expected) << c.Text;
    }
}

TEST(IniFile, BooleanReading)
{
    struct Case {
        const char* Line;
        bool Default;
        bool Expected;
    } cases[] = {
        {"K=yes", false, false}, {"K=yes", true, true}, {"K=2", false, true},
        {"K=1", false, true},    {"K=0", true, false},  {"K=-1", false, true},
        {"Other=0", true, true},
    };
    for (const Case& c : cases) {
        MemIniFile ini;
        ini.SetText(std::string("[S]\r\n") + c.Line + "\r\n");
        EXPECT_EQ(ini.ReadBool("S", "K", c.Default), c.Expected) << c.Line;
    }
}
