#pragma once
// Making sure the Windows Task Scheduler runs.

#include <windows.h>

// 0 when the scheduler runs or nothing had to be done, else a Windows error code.
DWORD EnsureTaskSchedulerService();
// The same for a given system, so that every branch can be tried on one machine.
DWORD EnsureTaskSchedulerServiceFor(DWORD platformId, DWORD majorVersion);
