#pragma once
// A trigger's description in the words the Windows Task Scheduler uses, for
// platforms whose Task Scheduler gives none (Wine's GetTriggerString is a
// stub). Portable: the trigger comes in as a mirror of TASK_TRIGGER.

#include <cstdint>
#include <functional>
#include <string>

// TASK_TRIGGER_TYPE
enum TriggerKind {
    TriggerOnce = 0,
    TriggerDaily = 1,
    TriggerWeekly = 2,
    TriggerMonthlyDate = 3,
    TriggerMonthlyDow = 4,
    TriggerOnIdle = 5,
    TriggerAtSystemStart = 6,
    TriggerAtLogon = 7,
};

constexpr uint32_t TriggerFlagHasEndDate = 0x1;
constexpr uint32_t TriggerFlagDisabled = 0x4;

// The fields of TASK_TRIGGER that the description uses.
struct TriggerFields {
    uint16_t BeginYear = 0, BeginMonth = 0, BeginDay = 0;
    uint16_t EndYear = 0, EndMonth = 0, EndDay = 0;
    uint16_t StartHour = 0, StartMinute = 0;
    uint32_t MinutesDuration = 0;
    uint32_t MinutesInterval = 0;
    uint32_t Flags = 0;
    int Kind = TriggerOnce;
    uint16_t DaysInterval = 0;  // daily
    uint16_t WeeksInterval = 0; // weekly
    uint16_t DaysOfTheWeek = 0; // weekly, monthly by weekday: bit 0 Sunday
    uint32_t Days = 0;          // monthly by date: bit 0 the 1st
    uint16_t Months = 0;        // monthly: bit 0 January
    uint16_t WhichWeek = 0;     // monthly by weekday: 1 first .. 5 last
};

using FormatDateFn = std::function<std::string(int year, int month, int day)>;
using FormatTimeFn = std::function<std::string(int hour, int minute)>;

// For example "At 10:00 every day, starting 12/11/2026"; the date and the time
// come from the callbacks (the user's short date, time without seconds).
std::string DescribeTrigger(const TriggerFields& trigger, const FormatDateFn& formatDate,
                            const FormatTimeFn& formatTime);

// Wine writes one disabled trigger into the file of a work item that has
// none; read back, it is the only trigger and it is disabled.
bool IsPlaceholderTrigger(uint16_t triggerCount, const TriggerFields& trigger);
