#pragma once
// The trigger property sheet of a work item: the Task Scheduler's own
// Schedule and Settings pages where it offers them (IProvideTaskPage), our
// own Schedule page where it does not (Wine). Either way the edits stay in
// the work item in memory; nothing is saved to its file.

#include <mstask.h>
#include <windows.h>

// Shows the sheet modally over owner and returns when it closes.
void EditTriggers(ITask* task, HWND owner);

// The controls of our own Schedule page, for the tests that drive it.
enum TriggerPageControl {
    IdTriggersLabel = 1000,
    IdTriggerList,
    IdNewTrigger,
    IdDeleteTrigger,
    IdDescription,
    IdDivider,
    IdKindLabel,
    IdKind,
    IdStartTimeLabel,
    IdStartTime,
    IdStartDateLabel,
    IdStartDate,
    IdKindGroup,
    IdEveryLabel,
    IdEvery,
    IdEverySpin,
    IdEveryUnit,
    IdMonthDaysLabel,
    IdMonthDays,
    IdMonthDaysHint,
    IdWhichWeekLabel,
    IdWhichWeek,
    IdKindNote,
    IdWeekDaysLabel,
    IdWeekDay0, // Monday .. Sunday: IdWeekDay0 + 0 .. 6
    IdMonthsLabel = IdWeekDay0 + 7,
    IdMonth0, // January .. December: IdMonth0 + 0 .. 11
    IdRepeat = IdMonth0 + 12,
    IdRepeatEvery,
    IdRepeatSpin,
    IdDurationLabel,
    IdDuration,
    IdDurationSpin,
    IdMinutesLabel,
    IdHasEndDate,
    IdEndDate,
    IdEnabled,
};
