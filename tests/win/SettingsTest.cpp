#include <gtest/gtest.h>

#include "app/Settings.h"
#include "win32/Handles.h"

namespace {

class SettingsTest : public testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteKeyA(HKEY_CURRENT_USER, SettingsKey);
        NewTaskMethod = 1;
        CheckUpdateInterval = 10;
    }
    void TearDown() override { RegDeleteKeyA(HKEY_CURRENT_USER, SettingsKey); }

    static DWORD Query(const char* name, DWORD* type)
    {
        UniqueKey key;
        DWORD value = 0, size = sizeof value;
        *type = REG_NONE;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, KEY_READ, key.Put()) != ERROR_SUCCESS)
            return 0;
        RegQueryValueExA(key.Get(), name, nullptr, type, reinterpret_cast<BYTE*>(&value), &size);
        return value;
    }
};

} // namespace

TEST_F(SettingsTest, FirstStartCreatesTheKeyAndKeepsTheDefaults)
{
    EXPECT_FALSE(LoadSettings());
    UniqueKey key;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, KEY_READ, key.Put()), ERROR_SUCCESS);
    EXPECT_EQ(NewTaskMethod, 1);
    EXPECT_EQ(CheckUpdateInterval, 10u);
}

TEST_F(SettingsTest, SavedValuesAreDwordsAndLoadBack)
{
    NewTaskMethod = 7;
    CheckUpdateInterval = 0xFFFFFFFFu;
    EXPECT_TRUE(SaveSettings());
    DWORD type;
    EXPECT_EQ(Query("NewTaskMethod", &type), 7u);
    EXPECT_EQ(type, DWORD(REG_DWORD));
    EXPECT_EQ(Query("CheckUpdateInterval", &type), 0xFFFFFFFFu);
    EXPECT_EQ(type, DWORD(REG_DWORD));

    NewTaskMethod = 1;
    CheckUpdateInterval = 10;
    EXPECT_TRUE(LoadSettings());
    EXPECT_EQ(NewTaskMethod, 7);
    EXPECT_EQ(CheckUpdateInterval, 0xFFFFFFFFu);
}

TEST_F(SettingsTest, OneMissingValueKeepsItsDefaultAndFailsTheLoad)
{
    NewTaskMethod = 0;
    ASSERT_TRUE(SaveSettings());
    UniqueKey key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, KEY_ALL_ACCESS, key.Put()),
              ERROR_SUCCESS);
    RegDeleteValueA(key.Get(), "CheckUpdateInterval");
    NewTaskMethod = 1;
    CheckUpdateInterval = 10;
    EXPECT_FALSE(LoadSettings());
    EXPECT_EQ(NewTaskMethod, 0); // the first value is still read
    EXPECT_EQ(CheckUpdateInterval, 10u);
}

// Leaves values behind for the registry check from outside (see the e2e script).
TEST(SettingsForOutside, SaveForQuery)
{
    NewTaskMethod = 2;
    CheckUpdateInterval = 0xFFFFFFFFu;
    EXPECT_TRUE(SaveSettings());
}
