// sastool: reads and writes Scheduler action files (.sas) from the command line.
//
//   sastool unpack FILE     the INI text of a packed file
//   sastool pack FILE       the packed bytes of an INI text
//   sastool list FILE       the actions of a packed file, as the main window lists them
//   sastool normalize FILE  the INI text written back for the actions read
//
// FILE "-" is standard input. Exit status: 0 done; 1 no valid action list;
// 2 usage error or unreadable file.

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "actions/IniFile.h"
#include "actions/Job.h"
#include "actions/JobIni.h"
#include "actions/JobPack.h"
#include "actions/JobSummary.h"

namespace {

const char Usage[] = "usage: sastool unpack|pack|list|normalize FILE  (FILE - reads standard input)\n";

bool ReadInput(const char* name, std::string* bytes)
{
    if (std::strcmp(name, "-") != 0)
        return ReadFileBytes(name, bytes);
    bytes->clear();
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, stdin)) > 0)
        bytes->append(buf, n);
    return !std::ferror(stdin);
}

int WriteOutput(const std::string& bytes)
{
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() ||
        std::fflush(stdout) != 0) {
        std::fputs("sastool: cannot write the output\n", stderr);
        return 2;
    }
    return 0;
}

int ReadJobs(const std::string& bytes, JobList* jobs)
{
    if (ReadPackedJobs(bytes, jobs->Place()) > 0)
        return 0;
    std::fputs("It is not a valid scheduler actions file.\n", stderr);
    return 1;
}

int Run(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs(Usage, stderr);
        return 2;
    }
    const std::string command = argv[1];
    if (command != "unpack" && command != "pack" && command != "list" && command != "normalize") {
        std::fputs(Usage, stderr);
        return 2;
    }
    std::string input;
    if (!ReadInput(argv[2], &input)) {
        std::fprintf(stderr, "sastool: cannot read %s\n", argv[2]);
        return 2;
    }

    if (command == "unpack")
        return WriteOutput(UnpackJobText(input));
    if (command == "pack")
        return WriteOutput(PackJobText(input));

    JobList jobs;
    if (int rc = ReadJobs(input, &jobs))
        return rc;
    std::string out;
    if (command == "list") {
        out = DescribeJobList(jobs.Head());
    } else {
        MemIniFile ini;
        WriteJobList(&ini, jobs.Head());
        out = ini.GetText();
    }
    return WriteOutput(out);
}

} // namespace

int main(int argc, char** argv)
{
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "sastool: %s\n", e.what());
        return 2;
    }
}
