#pragma once
// The two-line text every list and summary shows for an action: the kind's
// name, then the comment followed by the kind's details in parentheses.

#include <string>

#include "actions/Job.h"

std::string DescribeJob(const MyJob* job);

// The whole chain as sastool lists it: per action its number from 1, its
// state and its text, then an empty line; CR LF line ends.
std::string DescribeJobList(const MyJob* head);

// Menu shortcut text of a key stroke: low byte the virtual key, 0x2000 Shift,
// 0x4000 Ctrl, 0x8000 Alt, 0x1000 extended key. Empty when the key has no name.
std::string ShortCutToText(unsigned shortCut);
