#include <gtest/gtest.h>

#include "taskstore/TriggerEdit.h"

namespace {

TriggerFields Daily(int hour, int everyDays = 1)
{
    TriggerFields t = NewPageTrigger(2026, 12, 11);
    t.StartHour = uint16_t(hour);
    t.DaysInterval = uint16_t(everyDays);
    return t;
}

TriggerFields Placeholder()
{
    TriggerFields t = Daily(0);
    t.Flags = TriggerFlagDisabled;
    return t;
}

TEST(TriggerEdit, EachKindShowsItsOwnFields)
{
    const struct {
        int kind;
        bool time, every, weekDays, monthDays, whichWeek, months, repetition, endDate;
    } cases[] = {
        {TriggerOnce, true, false, false, false, false, false, true, false},
        {TriggerDaily, true, true, false, false, false, false, true, true},
        {TriggerWeekly, true, true, true, false, false, false, true, true},
        {TriggerMonthlyDate, true, false, false, true, false, true, true, true},
        {TriggerMonthlyDow, true, false, true, false, true, true, true, true},
        {TriggerAtSystemStart, false, false, false, false, false, false, false, false},
        {TriggerAtLogon, false, false, false, false, false, false, false, false},
        {TriggerOnIdle, false, false, false, false, false, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        const TriggerPageLayout l = LayoutFor(c.kind);
        EXPECT_EQ(l.StartTime, c.time);
        EXPECT_EQ(l.StartDate, c.time);
        EXPECT_EQ(l.Every, c.every);
        EXPECT_EQ(l.WeekDays, c.weekDays);
        EXPECT_EQ(l.MonthDays, c.monthDays);
        EXPECT_EQ(l.WhichWeek, c.whichWeek);
        EXPECT_EQ(l.Months, c.months);
        EXPECT_EQ(l.Repetition, c.repetition);
        EXPECT_EQ(l.EndDate, c.endDate);
        // A kind without fields of its own says when it runs instead.
        if (!c.every && !c.weekDays && !c.monthDays)
            EXPECT_STRNE(l.Note, "");
    }
}

TEST(TriggerEdit, WeekdaysAndMonthLengths)
{
    EXPECT_EQ(WeekdayOf(2026, 12, 11), 5); // Friday
    EXPECT_EQ(WeekdayOf(2000, 2, 29), 2);
    EXPECT_EQ(WeekdayOf(2024, 1, 1), 1);
    EXPECT_EQ(WeekdayOf(2026, 3, 1), 0);
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    EXPECT_EQ(DaysInMonth(2026, 4), 30);
}

TEST(TriggerEdit, NewTriggerIsAnEnabledDailyTriggerThatPassesTheChecks)
{
    const TriggerFields t = NewPageTrigger(2026, 12, 11);
    EXPECT_EQ(t.Kind, TriggerDaily);
    EXPECT_EQ(t.DaysInterval, 1);
    EXPECT_EQ(t.Flags, 0u);
    EXPECT_EQ(t.StartHour, 9);
    EXPECT_EQ(CheckTrigger(t).Field, TriggerField::None);
    for (int kind : PageTriggerKinds)
        EXPECT_EQ(CheckTrigger(WithKind(t, kind)).Field, TriggerField::None) << kind;
}

TEST(TriggerEdit, ChangedKindTakesItsDefaultsFromTheStartDateAndKeepsWhatIsSet)
{
    TriggerFields t = NewPageTrigger(2026, 12, 30); // a Wednesday in the last week
    TriggerFields weekly = WithKind(t, TriggerWeekly);
    EXPECT_EQ(weekly.DaysOfTheWeek, 1 << 3);
    EXPECT_EQ(weekly.WeeksInterval, 1);
    TriggerFields byDate = WithKind(t, TriggerMonthlyDate);
    EXPECT_EQ(byDate.Days, 1u << 29);
    EXPECT_EQ(byDate.Months, 0xFFF);
    TriggerFields byWeekday = WithKind(t, TriggerMonthlyDow);
    EXPECT_EQ(byWeekday.WhichWeek, 5);
    EXPECT_EQ(WithKind(NewPageTrigger(2026, 12, 8), TriggerMonthlyDow).WhichWeek, 2);

    t.DaysOfTheWeek = 0x41, t.Months = 0x003;
    EXPECT_EQ(WithKind(t, TriggerWeekly).DaysOfTheWeek, 0x41);
    EXPECT_EQ(WithKind(t, TriggerMonthlyDow).Months, 0x003);
}

TEST(TriggerEdit, RepetitionOffClearsIntervalDurationAndStopAtEnd)
{
    TriggerFields t = WithRepetition(Daily(10), true, 15, 120);
    EXPECT_EQ(t.MinutesInterval, 15u);
    EXPECT_EQ(t.MinutesDuration, 120u);
    t.Flags |= TriggerFlagKillAtDurationEnd | TriggerFlagHasEndDate;
    t = WithRepetition(t, false, 15, 120);
    EXPECT_EQ(t.MinutesInterval, 0u);
    EXPECT_EQ(t.MinutesDuration, 0u);
    EXPECT_EQ(t.Flags, TriggerFlagHasEndDate);
}

TEST(TriggerEdit, ChecksFindTheFieldInTheWay)
{
    auto with = [](int kind, void (*change)(TriggerFields&)) {
        TriggerFields t = WithKind(NewPageTrigger(2026, 12, 11), kind);
        change(t);
        return t;
    };
    const struct {
        TriggerField field;
        TriggerFields trigger;
    } cases[] = {
        {TriggerField::StartDate, with(TriggerDaily, [](TriggerFields& t) { t.BeginDay = 32; })},
        {TriggerField::StartDate, with(TriggerOnce, [](TriggerFields& t) { t.BeginMonth = 2, t.BeginDay = 29; })},
        {TriggerField::StartDate, with(TriggerDaily, [](TriggerFields& t) { t.StartHour = 24; })},
        {TriggerField::Every, with(TriggerDaily, [](TriggerFields& t) { t.DaysInterval = 0; })},
        {TriggerField::Every, with(TriggerDaily, [](TriggerFields& t) { t.DaysInterval = 366; })},
        {TriggerField::Every, with(TriggerWeekly, [](TriggerFields& t) { t.WeeksInterval = 53; })},
        {TriggerField::WeekDays, with(TriggerWeekly, [](TriggerFields& t) { t.DaysOfTheWeek = 0x80; })},
        {TriggerField::MonthDays, with(TriggerMonthlyDate, [](TriggerFields& t) { t.Days = 0; })},
        {TriggerField::Months, with(TriggerMonthlyDate, [](TriggerFields& t) { t.Months = 0xF000; })},
        {TriggerField::WhichWeek, with(TriggerMonthlyDow, [](TriggerFields& t) { t.WhichWeek = 6; })},
        {TriggerField::WeekDays, with(TriggerMonthlyDow, [](TriggerFields& t) { t.DaysOfTheWeek = 0; })},
        {TriggerField::Months, with(TriggerMonthlyDow, [](TriggerFields& t) { t.Months = 0; })},
        // The Task Scheduler refuses a duration that is not longer than the interval.
        {TriggerField::Duration, with(TriggerDaily, [](TriggerFields& t) { t.MinutesInterval = 10, t.MinutesDuration = 10; })},
        {TriggerField::Duration, with(TriggerOnce, [](TriggerFields& t) { t.MinutesInterval = 10, t.MinutesDuration = 0; })},
        {TriggerField::Repetition, with(TriggerDaily, [](TriggerFields& t) { t.MinutesInterval = 100000, t.MinutesDuration = 100001; })},
        {TriggerField::EndDate, with(TriggerDaily, [](TriggerFields& t) { t.Flags |= TriggerFlagHasEndDate, t.EndYear = 2026, t.EndMonth = 12, t.EndDay = 10; })},
        {TriggerField::EndDate, with(TriggerWeekly, [](TriggerFields& t) { t.Flags |= TriggerFlagHasEndDate; })},
        // Fine: an end date on the start date; end dates and repetition where the kind has none.
        {TriggerField::None, with(TriggerDaily, [](TriggerFields& t) { t.Flags |= TriggerFlagHasEndDate, t.EndYear = 2026, t.EndMonth = 12, t.EndDay = 11; })},
        {TriggerField::None, with(TriggerOnce, [](TriggerFields& t) { t.Flags |= TriggerFlagHasEndDate; })},
        {TriggerField::None, with(TriggerAtLogon, [](TriggerFields& t) { t.MinutesInterval = 10; })},
        {TriggerField::None, with(TriggerDaily, [](TriggerFields& t) { t.MinutesInterval = 10, t.MinutesDuration = 11; })},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        const TriggerProblem p = CheckTrigger(cases[i].trigger);
        EXPECT_EQ(int(p.Field), int(cases[i].field)) << "case " << i << ": " << p.Message;
        EXPECT_EQ(p.Message.empty(), cases[i].field == TriggerField::None) << "case " << i;
    }
}

TEST(TriggerEdit, NormalizedKeepsOnlyTheKindsFields)
{
    TriggerFields t = WithKind(NewPageTrigger(2026, 12, 11), TriggerWeekly);
    t.Flags = TriggerFlagHasEndDate | TriggerFlagKillAtDurationEnd;
    t.EndYear = 2027, t.EndMonth = 1, t.EndDay = 1;
    t.MinutesInterval = 5, t.MinutesDuration = 60;
    const TriggerFields weekly = Normalized(t);
    EXPECT_EQ(weekly.WeeksInterval, 1);
    EXPECT_NE(weekly.DaysOfTheWeek, 0);
    EXPECT_EQ(weekly.DaysInterval, 0);
    EXPECT_EQ(weekly.Days, 0u);
    EXPECT_EQ(weekly.Months, 0);
    EXPECT_EQ(weekly.Flags, t.Flags);

    t.Kind = TriggerAtLogon;
    const TriggerFields logon = Normalized(t);
    EXPECT_EQ(logon.Flags, 0u);
    EXPECT_EQ(logon.MinutesInterval, 0u);
    EXPECT_EQ(logon.EndYear, 0);
    EXPECT_EQ(logon.DaysOfTheWeek, 0);

    // Fields of other kinds do not make two triggers differ; their own do.
    TriggerFields a = Daily(10), b = Daily(10);
    b.Months = 0x5;
    EXPECT_TRUE(SameTrigger(a, b));
    b.DaysInterval = 2;
    EXPECT_FALSE(SameTrigger(a, b));
    b = a;
    b.Flags = TriggerFlagDisabled;
    EXPECT_FALSE(SameTrigger(a, b));
}

TEST(TriggerEdit, DayListsReadAndWrite)
{
    const struct {
        uint32_t days;
        const char* text;
    } cases[] = {
        {0, ""},
        {1u, "1"},
        {1u | (1u << 14) | (1u << 30), "1, 15, 31"},
        {0x1Fu, "1-5"},
        {0x3u | (1u << 9), "1, 2, 10"},
        {0x7FFFFFFFu, "1-31"},
        {(1u << 27) | (1u << 28) | (1u << 29) | (1u << 30), "28-31"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DayListText(c.days), c.text);
        uint32_t parsed = 0xDEAD;
        EXPECT_TRUE(ParseDayList(c.text, &parsed)) << c.text;
        EXPECT_EQ(parsed, c.days) << c.text;
    }
    uint32_t days = 0;
    EXPECT_TRUE(ParseDayList(" 3 ,1-2,2 ", &days));
    EXPECT_EQ(days, 0x7u);
    for (const char* bad : {"0", "32", "1,,2", "a", "5-3", "1-", "-4", "1.5", "1 2", "001", ","}) {
        days = 0x1234;
        EXPECT_FALSE(ParseDayList(bad, &days)) << bad;
        EXPECT_EQ(days, 0x1234u) << bad;
    }
}

TEST(TriggerEdit, TimeFormatsLoseTheirSeconds)
{
    const struct {
        const char* format;
        const char* expected;
    } cases[] = {
        {"h:mm:ss tt", "h:mm tt"},
        {"HH:mm:ss", "HH:mm"},
        {"H.mm.ss", "H.mm"},
        {"tt hh:mm:ss", "tt hh:mm"},
        {"ss:mm", "mm"},
        {"h:mm tt", "h:mm tt"},
        {"'ss' h:mm", "'ss' h:mm"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TimeFormatWithoutSeconds(c.format), c.expected) << c.format;
}

TEST(TriggerEdit, PlaceholderIsNotListed)
{
    EXPECT_TRUE(ListedTriggers({Placeholder()}).empty());
    // A disabled trigger beside others is the user's.
    EXPECT_EQ(ListedTriggers({Placeholder(), Daily(10)}).size(), 2u);
    EXPECT_EQ(ListedTriggers({Daily(10)}).size(), 1u);
}

std::string Writes(const std::vector<TriggerWrite>& writes)
{
    std::string text;
    for (const TriggerWrite& w : writes) {
        if (!text.empty())
            text += " ";
        text += (w.Action == TriggerWrite::Set      ? "set"
                 : w.Action == TriggerWrite::Create ? "new"
                                                    : "del") +
                std::to_string(w.Index);
        if (w.Action != TriggerWrite::Delete)
            text += "@" + std::to_string(w.Trigger.StartHour);
    }
    return text;
}

TEST(TriggerEdit, WritesTurnTheStoredTriggersIntoTheWantedOnes)
{
    const struct {
        const char* what;
        std::vector<TriggerFields> stored, wanted;
        const char* writes;
    } cases[] = {
        {"unchanged", {Daily(8), Daily(9)}, {Daily(8), Daily(9)}, ""},
        {"one changed", {Daily(8), Daily(9)}, {Daily(8), Daily(11)}, "set1@11"},
        {"added", {Daily(8)}, {Daily(8), Daily(10)}, "new1@10"},
        {"first deleted", {Daily(8), Daily(9), Daily(10)}, {Daily(9), Daily(10)},
         "set0@9 set1@10 del2"},
        {"last two deleted", {Daily(8), Daily(9), Daily(10)}, {Daily(8)}, "del2 del1"},
        {"all deleted", {Daily(8), Daily(9)}, {}, "del1 del0"},
        {"added to none", {}, {Daily(10)}, "new0@10"},
        {"placeholder replaced", {Placeholder()}, {Daily(10)}, "set0@10"},
        {"placeholder replaced, one more added", {Placeholder()}, {Daily(10), Daily(11)},
         "set0@10 new1@11"},
        {"placeholder kept while nothing is wanted", {Placeholder()}, {}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Writes(PlanTriggerWrites(c.stored, c.wanted)), c.writes) << c.what;
}

} // namespace
