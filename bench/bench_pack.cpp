// Packs, unpacks and reads a 1,000-action list and prints the times and the
// peak memory, beside the bzip2 command's time for the same text.
//
//   bench_pack [ROUNDS]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#else
#include <sys/resource.h>
#endif

#include "actions/IniFile.h"
#include "actions/JobIni.h"
#include "actions/JobPack.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// A list such as a heavy user might keep: every kind, realistic paths and texts.
MyJob* MakeList(int count)
{
    MyJob* head = nullptr;
    MyJob** tail = &head;
    for (int i = 0; i < count; ++i) {
        MyJob* job = NewJob(i % JobTypeCount);
        job->Comment = "step " + std::to_string(i) + " of the evening routine";
        switch (job->Type) {
        case JOB_WAVE: static_cast<JobWave*>(job)->File = "C:\\Users\\Public\\Music\\Playlist " + std::to_string(i) + "\\"; break;
        case JOB_BGMUSIC: static_cast<JobBgMusic*>(job)->File = "D:\\Music\\Background\\track" + std::to_string(i) + ".mp3"; break;
        case JOB_MSG: static_cast<JobMsg*>(job)->Message = "Reminder " + std::to_string(i) + "\r\nTime to stretch, drink some water and save your work."; break;
        case JOB_IMAGE: static_cast<JobImage*>(job)->FileOrDir = "C:\\Users\\Public\\Pictures\\Holiday " + std::to_string(2000 + i % 25); break;
        case JOB_WALLPAPER: static_cast<JobWallpaper*>(job)->FileOrDir = "C:\\Windows\\Web\\Wallpaper\\"; break;
        case JOB_EXEC: {
            auto* e = static_cast<JobExec*>(job);
            e->File = "C:\\Program Files\\Backup Tool\\backup.exe";
            e->Param = "/profile:\"Nightly " + std::to_string(i) + "\" /quiet";
            break;
        }
        case JOB_WNDMSG:
        case JOB_MOUSE:
        case JOB_KEY: {
            auto* t = static_cast<JobWindowTarget*>(job);
            t->AppName = "notepad.exe";
            t->WndName = "Untitled - Notepad";
            t->ClassName = "Notepad";
            if (job->Type == JOB_KEY)
                static_cast<JobKey*>(job)->Chars = "Daily log " + std::to_string(i);
            break;
        }
        default: break;
        }
        *tail = job;
        tail = &job->Next;
    }
    return head;
}

size_t PeakMemoryKiB()
{
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS pmc = {};
    pmc.cb = sizeof pmc;
    GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
    return pmc.PeakWorkingSetSize / 1024;
#else
    rusage ru = {};
    getrusage(RUSAGE_SELF, &ru);
    return size_t(ru.ru_maxrss);
#endif
}

// Median wall time of a shell command over the rounds, or -1 when it fails.
double TimeCommand(const std::string& command, int rounds)
{
    std::vector<double> times;
    for (int r = 0; r < rounds; ++r) {
        auto t0 = Clock::now();
        if (std::system(command.c_str()) != 0)
            return -1;
        times.push_back(Ms(Clock::now() - t0));
    }
    return Median(times);
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    JobList list(MakeList(1000));
    MemIniFile ini;
    WriteJobList(&ini, list.Head());
    const std::string text = ini.GetText();

    std::vector<double> writeMs, packMs, unpackMs, readMs;
    size_t packedSize = 0;
    for (int r = 0; r < rounds; ++r) {
        auto t0 = Clock::now();
        MemIniFile w;
        WriteJobList(&w, list.Head());
        std::string t = w.GetText();
        auto t1 = Clock::now();
        std::string packed = PackJobText(t);
        auto t2 = Clock::now();
        std::string unpacked = UnpackJobText(packed);
        auto t3 = Clock::now();
        JobList back;
        MemIniFile rd;
        rd.SetText(unpacked);
        int n = ReadJobList(&rd, back.Place());
        auto t4 = Clock::now();
        if (unpacked != text || n != 1000) {
            std::fprintf(stderr, "bench_pack: round trip failed\n");
            return 1;
        }
        packedSize = packed.size();
        writeMs.push_back(Ms(t1 - t0));
        packMs.push_back(Ms(t2 - t1));
        unpackMs.push_back(Ms(t3 - t2));
        readMs.push_back(Ms(t4 - t3));
    }

    std::printf("1000 actions: INI text %zu bytes, packed %zu bytes (median of %d rounds)\n",
                text.size(), packedSize, rounds);
    std::printf("  write list   %8.2f ms\n", Median(writeMs));
    std::printf("  pack         %8.2f ms\n", Median(packMs));
    std::printf("  unpack       %8.2f ms\n", Median(unpackMs));
    std::printf("  read list    %8.2f ms\n", Median(readMs));
    const double ours = Median(packMs) + Median(unpackMs) + Median(readMs);
    std::printf("  pack + unpack + read %8.2f ms\n", ours);
    std::printf("  peak memory  %8zu KiB\n", PeakMemoryKiB());

#ifndef _WIN32
    const std::string file = "/tmp/bench_pack_text.ini";
    WriteFileBytes(file, text);
    double c = TimeCommand("bzip2 -9c " + file + " > " + file + ".bz2", rounds);
    double d = TimeCommand("bzip2 -dc " + file + ".bz2 > /dev/null", rounds);
    double startup = TimeCommand("bzip2 -9c < /dev/null > /dev/null", rounds);
    std::remove(file.c_str());
    std::remove((file + ".bz2").c_str());
    if (c >= 0 && d >= 0) {
        std::printf("bzip2 command, same text: compress %.2f ms, decompress %.2f ms, "
                    "together %.2f ms (of which process start about %.2f ms each)\n",
                    c, d, c + d, startup);
        std::printf("ratio (pack + unpack + read) / (bzip2 compress + decompress): %.2f\n",
                    ours / (c + d));
        std::printf("ratio against the codec less process start: %.2f\n",
                    ours / std::max(0.01, c + d - 2 * startup));
    }
#endif
    return 0;
}
