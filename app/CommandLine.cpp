#include "app/CommandLine.h"

#include <cstdio>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The program name: up to the first blank, or between quotes, no escapes.
size_t SkipProgramName(const std::string& s)
{
    size_t i = 0;
    bool quoted = false;
    for (; i < s.size(); ++i) {
        if (s[i] == '"')
            quoted = !quoted;
        else if (!quoted && IsBlank(s[i]))
            break;
    }
    return i;
}

std::vector<std::string> SplitArguments(const std::string& s, size_t i)
{
    std::vector<std::string> args;
    for (;;) {
        while (i < s.size() && IsBlank(s[i]))
            ++i;
        if (i >= s.size())
            break;
        std::string arg;
        bool quoted = false;
        while (i < s.size() && (quoted || !IsBlank(s[i]))) {
            size_t slashes = 0;
            while (i < s.size() && s[i] == '\\') {
                ++slashes;
                ++i;
            }
            if (i < s.size() && s[i] == '"') {
                // 2n backslashes and a quote: n backslashes, the quote toggles;
                // 2n+1: n backslashes and a literal quote.
                arg.append(slashes / 2, '\\');
                if (slashes % 2) {
                    arg += '"';
                } else if (quoted && i + 1 < s.size() && s[i + 1] == '"') {
                    arg += '"'; // "" inside quotes is one quote
                    ++i;
                } else {
                    quoted = !quoted;
                }
                ++i;
            } else {
                arg.append(slashes, '\\');
                if (i < s.size() && (quoted || !IsBlank(s[i])))
                    arg += s[i++];
            }
        }
        args.push_back(arg);
    }
    return args;
}

} // namespace

std::string LowerCaseAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return text;
}

std::vector<std::string> ProgramArguments(const std::string& commandLine)
{
    size_t start = 0;
    while (start < commandLine.size() && IsBlank(commandLine[start]))
        ++start;
    std::vector<std::string> all = SplitArguments(commandLine, start);
    if (!all.empty()) {
        std::string first = LowerCaseAscii(all[0]);
        if (first == "-run" || first == "-service")
            return all;
    }
    return SplitArguments(commandLine, start + SkipProgramName(commandLine.substr(start)));
}

RunMode SelectMode(const std::vector<std::string>& args)
{
    if (args.empty())
        return RunMode::Interactive;
    std::string first = LowerCaseAscii(args[0]);
    if (first == "-run")
        return RunMode::Run;
    if (first == "-service")
        return RunMode::Service;
    return RunMode::Other;
}

std::string FormatVersion(double version, const std::string& decimalSeparator)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15G", version);
    std::string text = buf;
    size_t dot = text.find('.');
    if (dot != std::string::npos)
        text.replace(dot, 1, decimalSeparator);
    return text;
}
