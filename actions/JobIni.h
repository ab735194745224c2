#pragma once
// The INI text of an action list: section "Main" with "Count" (and, in a
// task's data, "Name" before it), then one section "Job<i>" per action.

#include <string>

#include "actions/IniFile.h"
#include "actions/Job.h"

// Writes the chain into the INI object and then the object's text to its file.
// Returns the number of actions written; 0 when there is no INI object.
int WriteJobList(MemIniFile* ini, const MyJob* head);

// Reads the actions of the INI object into a new chain placed in *head.
// Returns the number of action sections visited: "Count" when every section
// was present, else the index of the first missing one; 0 or less means no
// valid list.
int ReadJobList(const MemIniFile* ini, MyJob** head);

// A message text as the hex digits of its bytes and one zero byte.
std::string EncodeHexText(const std::string& text);
// Decodes hex digit pairs until the value ends or a pair is not two digits;
// the text ends at the first zero byte.
std::string DecodeHexText(const std::string& hex);
