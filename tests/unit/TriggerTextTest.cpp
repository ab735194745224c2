#include <gtest/gtest.h>

#include "taskstore/TriggerText.h"

namespace {

std::string Date(int y, int m, int d)
{
    return std::to_string(m) + "/" + std::to_string(d) + "/" + std::to_string(y);
}

std::string Time(int h, int m)
{
    char text[8];
    std::snprintf(text, sizeof text, "%d:%02d", h, m);
    return text;
}

TriggerFields At(int kind, int hour = 10, int minute = 0)
{
    TriggerFields t;
    t.Kind = kind;
    t.BeginYear = 2026, t.BeginMonth = 12, t.BeginDay = 11;
    t.StartHour = uint16_t(hour), t.StartMinute = uint16_t(minute);
    return t;
}

TEST(TriggerText, WordsEachKindOfTrigger)
{
    const struct {
        const char* expected;
        TriggerFields trigger;
    } cases[] = {
        {"At 10:00 on 12/11/2026", At(TriggerOnce)},
        {"At 10:00 every day, starting 12/11/2026",
         [] {
             auto t = At(TriggerDaily);
             t.DaysInterval = 1;
             return t;
         }()},
        {"At 7:05 every 3 days, starting 12/11/2026",
         [] {
             auto t = At(TriggerDaily, 7, 5);
             t.DaysInterval = 3;
             return t;
         }()},
        {"At 10:00 every Mon, Wed, Sat of every week, starting 12/11/2026",
         [] {
             auto t = At(TriggerWeekly);
             t.WeeksInterval = 1, t.DaysOfTheWeek = 0x02 | 0x08 | 0x40;
             return t;
         }()},
        {"At 10:00 every Sun of every 2 weeks, starting 12/11/2026",
         [] {
             auto t = At(TriggerWeekly);
             t.WeeksInterval = 2, t.DaysOfTheWeek = 0x01;
             return t;
         }()},
        {"At 10:00 on day 1, 15, 31 of every month, starting 12/11/2026",
         [] {
             auto t = At(TriggerMonthlyDate);
             t.Days = 1u | (1u << 14) | (1u << 30), t.Months = 0xFFF;
             return t;
         }()},
        {"At 10:00 on day 2 of Jan, Dec, starting 12/11/2026",
         [] {
             auto t = At(TriggerMonthlyDate);
             t.Days = 2u, t.Months = 0x001 | 0x800;
             return t;
         }()},
        {"At 10:00 on the first Mon of every month, starting 12/11/2026",
         [] {
             auto t = At(TriggerMonthlyDow);
             t.WhichWeek = 1, t.DaysOfTheWeek = 0x02, t.Months = 0xFFF;
             return t;
         }()},
        {"At 10:00 on the last Fri of Mar, Jun, starting 12/11/2026",
         [] {
             auto t = At(TriggerMonthlyDow);
             t.WhichWeek = 5, t.DaysOfTheWeek = 0x20, t.Months = 0x004 | 0x020;
             return t;
         }()},
        {"At system startup", At(TriggerAtSystemStart)},
        {"At logon", At(TriggerAtLogon)},
        {"When idle", At(TriggerOnIdle)},
        {"Every 10 minute(s) from 10:00 for a duration of 2 hour(s) every day, starting "
         "12/11/2026",
         [] {
             auto t = At(TriggerDaily);
             t.DaysInterval = 1, t.MinutesInterval = 10, t.MinutesDuration = 120;
             return t;
         }()},
        {"Every 1 hour(s) from 10:00 for a duration of 90 minute(s) on 12/11/2026",
         [] {
             auto t = At(TriggerOnce);
             t.MinutesInterval = 60, t.MinutesDuration = 90;
             return t;
         }()},
        {"At 10:00 every day, starting 12/11/2026, ending 1/31/2027",
         [] {
             auto t = At(TriggerDaily);
             t.DaysInterval = 1, t.Flags = TriggerFlagHasEndDate;
             t.EndYear = 2027, t.EndMonth = 1, t.EndDay = 31;
             return t;
         }()},
        {"", At(42)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DescribeTrigger(c.trigger, Date, Time), c.expected);
}

TEST(TriggerText, OnlyALoneDisabledTriggerIsWinesPlaceholder)
{
    TriggerFields disabled = At(TriggerDaily);
    disabled.Flags = TriggerFlagDisabled;
    TriggerFields enabled = At(TriggerDaily);
    EXPECT_TRUE(IsPlaceholderTrigger(1, disabled));
    EXPECT_FALSE(IsPlaceholderTrigger(2, disabled));
    EXPECT_FALSE(IsPlaceholderTrigger(1, enabled));
}

} // namespace
