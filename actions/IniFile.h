#pragma once
// In-memory INI object. Its text layout and parsing rules are part of the
// action list format, so they are fixed here rather than left to a library:
//  - lines end at CR LF, CR or LF; each is trimmed of blanks and control
//    characters; empty lines and lines starting with ';' are skipped;
//  - "[name]" starts a section; lines before the first section are ignored;
//  - any other line is an entry: key before the first '=', value after it,
//    both trimmed; a line without '=' is an entry without a value;
//  - section and key names match without regard to case.
// The text it gives lists each section in the order first written, its keys
// in the order first written, and an empty line after each section.

#include <string>
#include <unordered_map>
#include <vector>

class MemIniFile {
public:
    // Bound to a file name (may be empty: nothing is ever written then). When
    // load is set and the file exists, the object starts with its contents.
    explicit MemIniFile(std::string fileName = std::string(), bool load = false);

    const std::string& FileName() const { return m_fileName; }

    void SetText(const std::string& text);
    std::string GetText() const;
    void Clear();

    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& key) const;

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& def) const;
    // Decimal, or hexadecimal after "0x"/"0X" when the value is longer than two
    // characters; anything else (or a value out of 32-bit range) gives def.
    int ReadInteger(const std::string& section, const std::string& key, int def) const;
    bool ReadBool(const std::string& section, const std::string& key, bool def) const;

    // Writing a key that exists replaces its value in place.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int value);
    void WriteBool(const std::string& section, const std::string& key, bool value);

    // Writes the text to the bound file; false when there is none or it fails.
    bool UpdateFile() const;

private:
    struct Entry {
        std::string Key;
        std::string Value;
        bool HasValue = true;
    };
    struct Section {
        std::string Name;
        std::vector<Entry> Entries;
    };

    const Section* FindSection(const std::string& name) const;
    // The section of that name, added at the end when there is none.
    Section& SectionFor(const std::string& name);
    // First entry with that key (const or not, as the section is).
    template <class S>
    static auto FindEntry(S& section, const std::string& key) -> decltype(&section.Entries[0]);

    std::string m_fileName;
    std::vector<Section> m_sections;
    std::unordered_map<std::string, size_t> m_index; // lower-case name -> section
};

// The value of one hexadecimal digit, upper or lower case; -1 for any other character.
int HexDigitValue(char c);

// Parses a 32-bit integer the way the INI object reads one; false when the
// text is not an integer.
bool ParseIniInteger(const std::string& text, int* value);

// Reads a whole file into bytes; false when it cannot be read.
bool ReadFileBytes(const std::string& fileName, std::string* bytes);
// Writes bytes to a file, replacing it; false on failure.
bool WriteFileBytes(const std::string& fileName, const std::string& bytes);
