#include "taskstore/TriggerText.h"

namespace {

const char* const DayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const MonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const WeekNames[5] = {"first", "second", "third", "fourth", "last"};

// The names whose bits are set, joined by ", ".
std::string BitList(uint32_t bits, int count, const std::function<std::string(int)>& name)
{
    std::string list;
    for (int i = 0; i < count; ++i) {
        if (!(bits & (1u << i)))
            continue;
        if (!list.empty())
            list += ", ";
        list += name(i);
    }
    return list;
}

std::string DayList(uint32_t bits)
{
    return BitList(bits, 7, [](int i) { return std::string(DayNames[i]); });
}

std::string MonthPart(uint16_t months)
{
    if ((months & 0xFFF) == 0 || (months & 0xFFF) == 0xFFF)
        return "every month";
    return BitList(months, 12, [](int i) { return std::string(MonthNames[i]); });
}

// "10 minute(s)", or whole hours as "2 hour(s)".
std::string Span(uint32_t minutes)
{
    if (minutes != 0 && minutes % 60 == 0)
        return std::to_string(minutes / 60) + " hour(s)";
    return std::to_string(minutes) + " minute(s)";
}

} // namespace

std::string DescribeTrigger(const TriggerFields& t, const FormatDateFn& formatDate,
                            const FormatTimeFn& formatTime)
{
    switch (t.Kind) {
    case TriggerOnIdle:
        return "When idle";
    case TriggerAtSystemStart:
        return "At system startup";
    case TriggerAtLogon:
        return "At logon";
    case TriggerOnce:
    case TriggerDaily:
    case TriggerWeekly:
    case TriggerMonthlyDate:
    case TriggerMonthlyDow:
        break;
    default:
        return std::string();
    }

    const std::string time = formatTime(t.StartHour, t.StartMinute);
    std::string text;
    if (t.MinutesInterval > 0 && t.MinutesDuration > t.MinutesInterval)
        text = "Every " + Span(t.MinutesInterval) + " from " + time + " for a duration of " +
               Span(t.MinutesDuration);
    else
        text = "At " + time;

    const std::string begin = formatDate(t.BeginYear, t.BeginMonth, t.BeginDay);
    switch (t.Kind) {
    case TriggerOnce:
        return text + " on " + begin;
    case TriggerDaily:
        text += t.DaysInterval > 1 ? " every " + std::to_string(t.DaysInterval) + " days"
                                   : std::string(" every day");
        break;
    case TriggerWeekly:
        text += " every " + DayList(t.DaysOfTheWeek) + " of every " +
                (t.WeeksInterval > 1 ? std::to_string(t.WeeksInterval) + " weeks"
                                     : std::string("week"));
        break;
    case TriggerMonthlyDate:
        text += " on day " + BitList(t.Days, 31, [](int i) { return std::to_string(i + 1); }) +
                " of " + MonthPart(t.Months);
        break;
    case TriggerMonthlyDow: {
        const int week = t.WhichWeek >= 1 && t.WhichWeek <= 5 ? t.WhichWeek - 1 : 0;
        text += std::string(" on the ") + WeekNames[week] + " " + DayList(t.DaysOfTheWeek) +
                " of " + MonthPart(t.Months);
        break;
    }
    }
    text += ", starting " + begin;
    if (t.Flags & TriggerFlagHasEndDate)
        text += ", ending " + formatDate(t.EndYear, t.EndMonth, t.EndDay);
    return text;
}

bool IsPlaceholderTrigger(uint16_t triggerCount, const TriggerFields& trigger)
{
    return triggerCount == 1 && (trigger.Flags & TriggerFlagDisabled) != 0;
}
