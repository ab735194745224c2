#include "actions/IniFile.h"

#include <cstdio>
#include <cstdint>

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string Trim(const std::string& s, size_t begin, size_t end)
{
    while (begin < end && IsBlank(s[begin]))
        ++begin;
    while (end > begin && IsBlank(s[end - 1]))
        --end;
    return s.substr(begin, end - begin);
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

std::string LowerCase(const std::string& s)
{
    std::string r(s);
    for (char& c : r)
        c = Lower(c);
    return r;
}

bool SameText(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    return true;
}

} // namespace

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool ParseIniInteger(const std::string& text, int* value)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        // Hexadecimal: up to 32 bits, taken as the signed value of those bits.
        uint32_t v = 0;
        for (size_t i = 2; i < text.size(); ++i) {
            int d = HexDigitValue(text[i]);
            if (d < 0 || (v >> 28) != 0)
                return false;
            v = (v << 4) | uint32_t(d);
        }
        *value = int32_t(v);
        return true;
    }
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    if (i == text.size())
        return false;
    int64_t v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        v = v * 10 + (text[i] - '0');
        if (v > int64_t(INT32_MAX) + 1)
            return false;
    }
    if (negative)
        v = -v;
    if (v > INT32_MAX)
        return false;
    *value = int32_t(v);
    return true;
}

bool ReadFileBytes(const std::string& fileName, std::string* bytes)
{
    FILE* f = std::fopen(fileName.c_str(), "rb");
    if (!f)
        return false;
    bytes->clear();
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        bytes->append(buf, n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

bool WriteFileBytes(const std::string& fileName, const std::string& bytes)
{
    FILE* f = std::fopen(fileName.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (std::fclose(f) == 0) && ok;
    return ok;
}

MemIniFile::MemIniFile(std::string fileName, bool load) : m_fileName(std::move(fileName))
{
    std::string text;
    if (load && !m_fileName.empty() && ReadFileBytes(m_fileName, &text))
        SetText(text);
}

void MemIniFile::Clear()
{
    m_sections.clear();
    m_index.clear();
}

void MemIniFile::SetText(const std::string& text)
{
    Clear();
    Section* current = nullptr;
    size_t pos = 0;
    const size_t size = text.size();
    while (pos < size) {
        size_t end = pos;
        while (end < size && text[end] != '\r' && text[end] != '\n')
            ++end;
        std::string line = Trim(text, pos, end);
        // A line ends at CR LF, CR or LF.
        pos = end;
        if (pos < size && text[pos++] == '\r' && pos < size && text[pos] == '\n')
            ++pos;

        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[' && line[line.size() - 1] == ']') {
            std::string name = Trim(line, 1, line.size() - 1);
            // A repeated header goes on with the section first given that name.
            current = &SectionFor(name);
            continue;
        }
        if (!current)
            continue;
        Entry entry;
        size_t eq = line.find('=');
        if (eq == std::string::npos) {
            entry.Key = line;
            entry.HasValue = false;
        } else {
            entry.Key = Trim(line, 0, eq);
            entry.Value = Trim(line, eq + 1, line.size());
        }
        current->Entries.push_back(std::move(entry));
    }
}

std::string MemIniFile::GetText() const
{
    std::string text;
    for (const Section& section : m_sections) {
        text += '[';
        text += section.Name;
        text += "]\r\n";
        for (const Entry& entry : section.Entries) {
            text += entry.Key;
            if (entry.HasValue) {
                text += '=';
                text += entry.Value;
            }
            text += "\r\n";
        }
        text += "\r\n";
    }
    return text;
}

const MemIniFile::Section* MemIniFile::FindSection(const std::string& name) const
{
    auto it = m_index.find(LowerCase(name));
    return it == m_index.end() ? nullptr : &m_sections[it->second];
}

MemIniFile::Section& MemIniFile::SectionFor(const std::string& name)
{
    auto inserted = m_index.emplace(LowerCase(name), m_sections.size());
    if (inserted.second)
        m_sections.push_back(Section{name, {}});
    return m_sections[inserted.first->second];
}

template <class S>
auto MemIniFile::FindEntry(S& section, const std::string& key) -> decltype(&section.Entries[0])
{
    for (auto& entry : section.Entries)
        if (entry.HasValue && SameText(entry.Key, key))
            return &entry;
    return nullptr;
}

bool MemIniFile::SectionExists(const std::string& section) const
{
    return FindSection(section) != nullptr;
}

bool MemIniFile::ValueExists(const std::string& section, const std::string& key) const
{
    const Section* s = FindSection(section);
    return s && FindEntry(*s, key);
}

std::string MemIniFile::ReadString(const std::string& section, const std::string& key,
                                   const std::string& def) const
{
    const Section* s = FindSection(section);
    if (!s)
        return def;
    const Entry* e = FindEntry(*s, key);
    return e ? e->Value : def;
}

int MemIniFile::ReadInteger(const std::string& section, const std::string& key, int def) const
{
    int value;
    return ParseIniInteger(ReadString(section, key, std::string()), &value) ? value : def;
}

bool MemIniFile::ReadBool(const std::string& section, const std::string& key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void MemIniFile::WriteString(const std::string& section, const std::string& key,
                             const std::string& value)
{
    Section& s = SectionFor(section);
    if (Entry* e = FindEntry(s, key)) {
        e->Value = value;
        return;
    }
    s.Entries.push_back(Entry{key, value, true});
}

void MemIniFile::WriteInteger(const std::string& section, const std::string& key, int value)
{
    WriteString(section, key, std::to_string(value));
}

void MemIniFile::WriteBool(const std::string& section, const std::string& key, bool value)
{
    WriteString(section, key, value ? "1" : "0");
}

bool MemIniFile::UpdateFile() const
{
    return !m_fileName.empty() && WriteFileBytes(m_fileName, GetText());
}
