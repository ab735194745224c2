#pragma once
// The decisions of the trigger page: which fields a kind of trigger shows,
// the defaults of a new trigger or a changed kind, what makes a trigger
// invalid, and the writes that turn a work item's triggers into the page's
// list (Wine's placeholder included). Portable: triggers are TriggerFields.

#include <cstdint>
#include <string>
#include <vector>

#include "taskstore/TriggerText.h"

constexpr uint32_t TriggerFlagKillAtDurationEnd = 0x2;

// Limits of the page's number fields.
constexpr int MaxDaysInterval = 365;
constexpr int MaxWeeksInterval = 52;
constexpr uint32_t MaxRepeatMinutes = 99999;

// The kinds in the order of the page's kind list.
extern const int PageTriggerKinds[8];
extern const char* const PageTriggerKindNames[8];

// Which of the page's fields a kind of trigger has.
struct TriggerPageLayout {
    bool StartTime = false;
    bool StartDate = false;
    bool Every = false;       // days (daily) or weeks (weekly)
    bool WeekDays = false;    // weekly, monthly by weekday
    bool MonthDays = false;   // monthly by date
    bool WhichWeek = false;   // monthly by weekday
    bool Months = false;      // monthly
    bool Repetition = false;
    bool EndDate = false;
    const char* GroupCaption = ""; // the box around the kind's own fields
    const char* EveryUnit = "";    // after the Every number
    const char* Note = "";         // in the box, for kinds without fields of their own
};
TriggerPageLayout LayoutFor(int kind);

// 0 Sunday .. 6 Saturday, for a Gregorian date.
int WeekdayOf(int year, int month, int day);
int DaysInMonth(int year, int month);

// A new trigger as the page offers it: daily at 9:00 from the given day, enabled.
TriggerFields NewPageTrigger(int year, int month, int day);
// The trigger as another kind; the new kind's fields that are unset get
// defaults from the start date (its weekday, its day of the month, every month).
TriggerFields WithKind(const TriggerFields& trigger, int kind);
// Repetition on (every intervalMinutes for durationMinutes) or off.
TriggerFields WithRepetition(const TriggerFields& trigger, bool repeat, uint32_t intervalMinutes,
                             uint32_t durationMinutes);
// The trigger with the fields its kind does not use cleared: what is written.
TriggerFields Normalized(const TriggerFields& trigger);
bool SameTrigger(const TriggerFields& a, const TriggerFields& b);

// The first thing wrong with a trigger, or None.
enum class TriggerField { None, StartDate, Every, WeekDays, MonthDays, WhichWeek, Months,
                          Repetition, Duration, EndDate };
struct TriggerProblem {
    TriggerField Field = TriggerField::None;
    std::string Message;
};
TriggerProblem CheckTrigger(const TriggerFields& trigger);

// Days of the month as the page's text shows them, "1, 15, 31" (ranges of
// three or more as "1-5"); ParseDayList takes the same, with or without
// spaces, and fails on anything but days 1..31.
std::string DayListText(uint32_t days);
bool ParseDayList(const std::string& text, uint32_t* days);

// A time picture of the user's (GetTimeFormat's letters) without its seconds,
// for a time picker that shows hours and minutes: "h:mm:ss tt" -> "h:mm tt".
std::string TimeFormatWithoutSeconds(const std::string& format);

// The triggers the page lists: all of the work item's but Wine's placeholder.
std::vector<TriggerFields> ListedTriggers(const std::vector<TriggerFields>& stored);

// One change to the work item's triggers.
struct TriggerWrite {
    enum Op { Set, Create, Delete };
    Op Action = Set;
    uint16_t Index = 0;  // Set, Delete: the trigger; Create: the index it gets
    TriggerFields Trigger; // Set, Create
};
// The writes that make the stored triggers the wanted list, in the order to
// do them: changed triggers in place, then new ones at the end, or the ones
// past the end deleted from the last. A stored placeholder is replaced by
// the first wanted trigger, and kept while nothing is wanted.
std::vector<TriggerWrite> PlanTriggerWrites(const std::vector<TriggerFields>& stored,
                                            const std::vector<TriggerFields>& wanted);
