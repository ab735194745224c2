#include "actions/JobPack.h"

#include <cstring>

#include "actions/Bz2cb.h"
#include "actions/IniFile.h"
#include "actions/JobIni.h"

const char PackMagic[] = "VSCHEDULER";
const char Bzip2Header[] = "BZh91AY&SY";

namespace {

std::string UpToZero(const std::string& bytes, size_t from)
{
    if (from >= bytes.size())
        return std::string();
    size_t end = bytes.find('\0', from);
    return bytes.substr(from, end == std::string::npos ? std::string::npos : end - from);
}

} // namespace

std::string PackJobText(const std::string& text)
{
    MemoryStream input;
    input.Data = text;
    MemoryStream output;
    if (Bz2Compress(&input, &output, 9) == 0 && output.Data.size() >= PackMagicSize) {
        output.Data.replace(0, PackMagicSize, PackMagic, PackMagicSize);
        return output.Data;
    }
    return std::string(PackMagic, PackMagicSize) + text;
}

std::string UnpackJobText(const std::string& packed)
{
    MemoryStream input;
    input.Data = packed;
    if (input.Data.size() < PackMagicSize)
        input.Data.resize(PackMagicSize, '\0');
    input.Data.replace(0, PackMagicSize, Bzip2Header, PackMagicSize);

    MemoryStream output;
    if (Bz2Decompress(&input, &output) == 0)
        return UpToZero(output.Data, 0);
    return UpToZero(packed, PackMagicSize);
}

std::string ActionFileName(const std::string& chosen)
{
    static const char ext[] = ".sas";
    if (chosen.size() >= 4) {
        bool same = true;
        for (size_t i = 0; i < 4; ++i) {
            char c = chosen[chosen.size() - 4 + i];
            if (c >= 'A' && c <= 'Z')
                c = char(c - 'A' + 'a');
            same = same && c == ext[i];
        }
        if (same)
            return chosen;
    }
    return chosen + ext;
}

bool WriteActionFile(const std::string& fileName, const MyJob* head)
{
    // The INI object is bound to no file: the text goes to disk packed only.
    MemIniFile ini;
    WriteJobList(&ini, head);
    return WriteFileBytes(fileName, PackJobText(ini.GetText()));
}

int ReadPackedJobs(const std::string& packed, MyJob** head)
{
    MemIniFile ini;
    ini.SetText(UnpackJobText(packed));
    return ReadJobList(&ini, head);
}

int ReadActionFile(const std::string& fileName, MyJob** head)
{
    if (head)
        *head = nullptr;
    std::string bytes;
    if (!ReadFileBytes(fileName, &bytes))
        return -1;
    return ReadPackedJobs(bytes, head);
}
