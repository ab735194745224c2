#include "taskstore/TriggerEdit.h"

#include <algorithm>
#include <cctype>

const int PageTriggerKinds[8] = {TriggerDaily,       TriggerWeekly,     TriggerMonthlyDate,
                                 TriggerMonthlyDow,  TriggerOnce,       TriggerAtSystemStart,
                                 TriggerAtLogon,     TriggerOnIdle};
const char* const PageTriggerKindNames[8] = {
    "Daily", "Weekly", "Monthly, on days", "Monthly, on weekdays",
    "Once",  "At system startup", "At logon", "When idle"};

namespace {

constexpr uint16_t AllMonths = 0xFFF;
constexpr uint16_t AllWeekDays = 0x7F;
constexpr uint32_t AllMonthDays = 0x7FFFFFFF;

bool IsTimeKind(int kind)
{
    return kind == TriggerOnce || kind == TriggerDaily || kind == TriggerWeekly ||
           kind == TriggerMonthlyDate || kind == TriggerMonthlyDow;
}

bool ValidDate(int year, int month, int day)
{
    return year >= 1601 && year <= 30827 && month >= 1 && month <= 12 && day >= 1 &&
           day <= DaysInMonth(year, month);
}

long DateKey(int year, int month, int day)
{
    return (long(year) * 12 + month) * 32 + day;
}

TriggerProblem Problem(TriggerField field, const char* message)
{
    TriggerProblem p;
    p.Field = field;
    p.Message = message;
    return p;
}

std::string Trim(const std::string& text)
{
    size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin])))
        ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1])))
        --end;
    return text.substr(begin, end - begin);
}

// A day 1..31 made of digits only.
bool ParseDay(const std::string& text, int* day)
{
    if (text.empty() || text.size() > 2)
        return false;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > 31)
        return false;
    *day = value;
    return true;
}

} // namespace

TriggerPageLayout LayoutFor(int kind)
{
    TriggerPageLayout l;
    if (!IsTimeKind(kind)) {
        l.GroupCaption = "Schedule";
        l.Note = kind == TriggerAtSystemStart ? "The task runs each time the computer starts."
                 : kind == TriggerAtLogon     ? "The task runs each time a user logs on."
                                              : "The task runs when the computer is idle.";
        return l;
    }
    l.StartTime = l.StartDate = l.Repetition = true;
    l.EndDate = kind != TriggerOnce;
    switch (kind) {
    case TriggerOnce:
        l.GroupCaption = "Schedule task once";
        l.Note = "The task runs once, at the start time on the start date.";
        break;
    case TriggerDaily:
        l.GroupCaption = "Schedule task daily";
        l.Every = true;
        l.EveryUnit = "day(s)";
        break;
    case TriggerWeekly:
        l.GroupCaption = "Schedule task weekly";
        l.Every = l.WeekDays = true;
        l.EveryUnit = "week(s) on:";
        break;
    case TriggerMonthlyDate:
        l.GroupCaption = "Schedule task monthly";
        l.MonthDays = l.Months = true;
        break;
    case TriggerMonthlyDow:
        l.GroupCaption = "Schedule task monthly";
        l.WhichWeek = l.WeekDays = l.Months = true;
        break;
    }
    return l;
}

int WeekdayOf(int year, int month, int day)
{
    static const int offsets[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3)
        --year;
    return (year + year / 4 - year / 100 + year / 400 + offsets[(month - 1) % 12] + day) % 7;
}

int DaysInMonth(int year, int month)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

TriggerFields NewPageTrigger(int year, int month, int day)
{
    TriggerFields t;
    t.BeginYear = uint16_t(year), t.BeginMonth = uint16_t(month), t.BeginDay = uint16_t(day);
    t.StartHour = 9, t.StartMinute = 0;
    return WithKind(t, TriggerDaily);
}

TriggerFields WithKind(const TriggerFields& trigger, int kind)
{
    TriggerFields t = trigger;
    t.Kind = kind;
    const bool dated = ValidDate(t.BeginYear, t.BeginMonth, t.BeginDay);
    if (t.DaysInterval == 0)
        t.DaysInterval = 1;
    if (t.WeeksInterval == 0)
        t.WeeksInterval = 1;
    if ((t.DaysOfTheWeek & AllWeekDays) == 0)
        t.DaysOfTheWeek =
            uint16_t(1u << (dated ? WeekdayOf(t.BeginYear, t.BeginMonth, t.BeginDay) : 1));
    if ((t.Days & AllMonthDays) == 0)
        t.Days = 1u << (dated ? t.BeginDay - 1 : 0);
    if ((t.Months & AllMonths) == 0)
        t.Months = AllMonths;
    if (t.WhichWeek < 1 || t.WhichWeek > 5)
        t.WhichWeek = uint16_t(dated ? (t.BeginDay > 28 ? 5 : (t.BeginDay - 1) / 7 + 1) : 1);
    return t;
}

TriggerFields WithRepetition(const TriggerFields& trigger, bool repeat, uint32_t intervalMinutes,
                             uint32_t durationMinutes)
{
    TriggerFields t = trigger;
    if (repeat) {
        t.MinutesInterval = intervalMinutes;
        t.MinutesDuration = durationMinutes;
    } else {
        t.MinutesInterval = t.MinutesDuration = 0;
        t.Flags &= ~TriggerFlagKillAtDurationEnd;
    }
    return t;
}

TriggerFields Normalized(const TriggerFields& trigger)
{
    TriggerFields t = trigger;
    const int kind = t.Kind;
    if (kind != TriggerDaily)
        t.DaysInterval = 0;
    if (kind != TriggerWeekly)
        t.WeeksInterval = 0;
    if (kind != TriggerWeekly && kind != TriggerMonthlyDow)
        t.DaysOfTheWeek = 0;
    if (kind != TriggerMonthlyDate)
        t.Days = 0;
    if (kind != TriggerMonthlyDate && kind != TriggerMonthlyDow)
        t.Months = 0;
    if (kind != TriggerMonthlyDow)
        t.WhichWeek = 0;
    const TriggerPageLayout layout = LayoutFor(kind);
    if (!layout.EndDate)
        t.Flags &= ~TriggerFlagHasEndDate;
    if (!(t.Flags & TriggerFlagHasEndDate))
        t.EndYear = t.EndMonth = t.EndDay = 0;
    if (!layout.Repetition) {
        t.MinutesInterval = t.MinutesDuration = 0;
        t.Flags &= ~TriggerFlagKillAtDurationEnd;
    }
    return t;
}

bool SameTrigger(const TriggerFields& a, const TriggerFields& b)
{
    const TriggerFields x = Normalized(a), y = Normalized(b);
    return x.BeginYear == y.BeginYear && x.BeginMonth == y.BeginMonth &&
           x.BeginDay == y.BeginDay && x.EndYear == y.EndYear && x.EndMonth == y.EndMonth &&
           x.EndDay == y.EndDay && x.StartHour == y.StartHour &&
           x.StartMinute == y.StartMinute && x.MinutesDuration == y.MinutesDuration &&
           x.MinutesInterval == y.MinutesInterval && x.Flags == y.Flags && x.Kind == y.Kind &&
           x.DaysInterval == y.DaysInterval && x.WeeksInterval == y.WeeksInterval &&
           x.DaysOfTheWeek == y.DaysOfTheWeek && x.Days == y.Days && x.Months == y.Months &&
           x.WhichWeek == y.WhichWeek;
}

TriggerProblem CheckTrigger(const TriggerFields& t)
{
    const TriggerPageLayout layout = LayoutFor(t.Kind);
    if (!ValidDate(t.BeginYear, t.BeginMonth, t.BeginDay) || t.StartHour > 23 ||
        t.StartMinute > 59)
        return Problem(TriggerField::StartDate, "Choose a valid start date and time.");
    switch (t.Kind) {
    case TriggerDaily:
        if (t.DaysInterval < 1 || t.DaysInterval > MaxDaysInterval)
            return Problem(TriggerField::Every, "Enter a number of days from 1 to 365.");
        break;
    case TriggerWeekly:
        if (t.WeeksInterval < 1 || t.WeeksInterval > MaxWeeksInterval)
            return Problem(TriggerField::Every, "Enter a number of weeks from 1 to 52.");
        if ((t.DaysOfTheWeek & AllWeekDays) == 0)
            return Problem(TriggerField::WeekDays, "Choose at least one day of the week.");
        break;
    case TriggerMonthlyDate:
        if ((t.Days & AllMonthDays) == 0)
            return Problem(TriggerField::MonthDays,
                           "Enter the days of the month, for example 1, 15.");
        if ((t.Months & AllMonths) == 0)
            return Problem(TriggerField::Months, "Choose at least one month.");
        break;
    case TriggerMonthlyDow:
        if (t.WhichWeek < 1 || t.WhichWeek > 5)
            return Problem(TriggerField::WhichWeek, "Choose the week of the month.");
        if ((t.DaysOfTheWeek & AllWeekDays) == 0)
            return Problem(TriggerField::WeekDays, "Choose at least one day of the week.");
        if ((t.Months & AllMonths) == 0)
            return Problem(TriggerField::Months, "Choose at least one month.");
        break;
    default:
        break;
    }
    if (layout.Repetition && t.MinutesInterval > 0) {
        if (t.MinutesInterval > MaxRepeatMinutes)
            return Problem(TriggerField::Repetition,
                           "Enter a repetition interval from 1 to 99999 minutes.");
        if (t.MinutesDuration <= t.MinutesInterval || t.MinutesDuration > MaxRepeatMinutes)
            return Problem(TriggerField::Duration,
                           "The duration must be longer than the repetition interval, and at "
                           "most 99999 minutes.");
    }
    if (layout.EndDate && (t.Flags & TriggerFlagHasEndDate)) {
        if (!ValidDate(t.EndYear, t.EndMonth, t.EndDay))
            return Problem(TriggerField::EndDate, "Choose a valid end date.");
        if (DateKey(t.EndYear, t.EndMonth, t.EndDay) < DateKey(t.BeginYear, t.BeginMonth, t.BeginDay))
            return Problem(TriggerField::EndDate, "The end date must not be before the start date.");
    }
    return TriggerProblem();
}

std::string DayListText(uint32_t days)
{
    std::string text;
    for (int day = 1; day <= 31;) {
        if (!(days & (1u << (day - 1)))) {
            ++day;
            continue;
        }
        int last = day;
        while (last < 31 && (days & (1u << last)))
            ++last;
        if (!text.empty())
            text += ", ";
        if (last - day >= 2)
            text += std::to_string(day) + "-" + std::to_string(last);
        else if (last == day + 1)
            text += std::to_string(day) + ", " + std::to_string(last);
        else
            text += std::to_string(day);
        day = last + 1;
    }
    return text;
}

bool ParseDayList(const std::string& text, uint32_t* days)
{
    uint32_t result = 0;
    const std::string all = Trim(text);
    size_t start = 0;
    while (!all.empty() && start <= all.size()) {
        size_t comma = all.find(',', start);
        if (comma == std::string::npos)
            comma = all.size();
        const std::string item = Trim(all.substr(start, comma - start));
        const size_t dash = item.find('-');
        int first = 0, last = 0;
        if (dash == std::string::npos) {
            if (!ParseDay(item, &first))
                return false;
            last = first;
        } else if (!ParseDay(Trim(item.substr(0, dash)), &first) ||
                   !ParseDay(Trim(item.substr(dash + 1)), &last) || last < first) {
            return false;
        }
        for (int day = first; day <= last; ++day)
            result |= 1u << (day - 1);
        start = comma + 1;
    }
    *days = result;
    return true;
}

std::string TimeFormatWithoutSeconds(const std::string& format)
{
    // Pictures (runs of one letter), quoted text and separators between them.
    enum Kind { Picture, Quoted, Separator };
    struct Token {
        Kind What;
        std::string Text;
    };
    std::vector<Token> tokens;
    for (size_t i = 0; i < format.size();) {
        const char c = format[i];
        size_t j = i + 1;
        Kind what = Separator;
        if (c == '\'') {
            what = Quoted;
            while (j < format.size() && format[j] != '\'')
                ++j;
            j = std::min(j + 1, format.size());
        } else if (std::isalpha(static_cast<unsigned char>(c))) {
            what = Picture;
            while (j < format.size() && format[j] == c)
                ++j;
        } else {
            while (j < format.size() && format[j] != '\'' &&
                   !std::isalpha(static_cast<unsigned char>(format[j])))
                ++j;
        }
        tokens.push_back({what, format.substr(i, j - i)});
        i = j;
    }
    for (size_t i = 0; i < tokens.size();) {
        if (tokens[i].What != Picture || tokens[i].Text[0] != 's') {
            ++i;
            continue;
        }
        // The separator that joins the seconds to the minutes goes with them.
        size_t first = i, last = i;
        if (i >= 2 && tokens[i - 1].What == Separator)
            first = i - 1;
        else if (i + 1 < tokens.size() && tokens[i + 1].What == Separator)
            last = i + 1;
        tokens.erase(tokens.begin() + long(first), tokens.begin() + long(last) + 1);
        i = first;
    }
    std::string out;
    for (const Token& t : tokens)
        out += t.Text;
    return out;
}

std::vector<TriggerFields> ListedTriggers(const std::vector<TriggerFields>& stored)
{
    if (!stored.empty() && IsPlaceholderTrigger(uint16_t(stored.size()), stored[0]))
        return std::vector<TriggerFields>();
    return stored;
}

std::vector<TriggerWrite> PlanTriggerWrites(const std::vector<TriggerFields>& stored,
                                            const std::vector<TriggerFields>& wanted)
{
    std::vector<TriggerWrite> writes;
    const bool placeholder =
        !stored.empty() && IsPlaceholderTrigger(uint16_t(stored.size()), stored[0]);
    if (placeholder && wanted.empty())
        return writes;
    const size_t common = std::min(stored.size(), wanted.size());
    for (size_t i = 0; i < common; ++i) {
        if (SameTrigger(stored[i], wanted[i]))
            continue;
        TriggerWrite w;
        w.Action = TriggerWrite::Set;
        w.Index = uint16_t(i);
        w.Trigger = wanted[i];
        writes.push_back(w);
    }
    for (size_t i = stored.size(); i < wanted.size(); ++i) {
        TriggerWrite w;
        w.Action = TriggerWrite::Create;
        w.Index = uint16_t(i);
        w.Trigger = wanted[i];
        writes.push_back(w);
    }
    for (size_t i = stored.size(); i > wanted.size(); --i) {
        TriggerWrite w;
        w.Action = TriggerWrite::Delete;
        w.Index = uint16_t(i - 1);
        writes.push_back(w);
    }
    return writes;
}
