#pragma once
// The program's arguments and the run mode they select.

#include <string>
#include <vector>

// Splits a command line as the C runtime does (blanks separate words; double
// quotes group; backslashes escape quotes) and drops the program's own name.
// A line whose first word is itself a mode switch ("-run", "-service", in any
// case) has no program name in front: some task services start a task's
// program that way, and the switch must not be taken for the program's name.
std::vector<std::string> ProgramArguments(const std::string& commandLine);

enum class RunMode { Interactive, Run, Service, Other };

// Only the first argument counts, compared in lower case.
RunMode SelectMode(const std::vector<std::string>& args);

std::string LowerCaseAscii(std::string text);

// A version number as the caption shows it: general format with up to 15
// significant digits, no trailing zeros, the given decimal separator.
std::string FormatVersion(double version, const std::string& decimalSeparator);
