#pragma once
#include <string>
#include <vector>

#include "common/Dates.h"

// Our own private-profile (ini) reader and writer, used on every platform so there is
// one tested code path. It keeps every line of the file it was given (other sections,
// comments, unknown keys) and changes only the values written to it.
//
// Matching of section and key names folds ASCII letters only; Shift-JIS bytes are never
// folded. The first of duplicate keys wins. Lines starting with ";" are comments. Spaces
// and tabs around names and values are trimmed, and one pair of matching outer quotes
// around a value is removed.
class TIniFile {
public:
    // Parses file content (CR LF, CR or LF line ends).
    void Parse(const std::string& content);
    // The content to write back, lines ended by CR LF.
    std::string Text() const;

    bool ReadString(const std::string& section, const std::string& key, std::string& value) const;
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& def) const;
    // Decimal, "0x"/"0X" hexadecimal (at least three characters) or "$" hexadecimal;
    // anything unreadable, or outside the 32-bit range, gives the default.
    int ReadInteger(const std::string& section, const std::string& key, int def) const;
    // Read as an integer; any value other than 0 is true.
    bool ReadBool(const std::string& section, const std::string& key, bool def) const;
    TDate ReadDate(const std::string& section, const std::string& key, const TDate& def) const;

    // Replaces the key's value in place, or adds the key at the end of its section,
    // creating the section at the end of the file when missing.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int value);
    void WriteBool(const std::string& section, const std::string& key, bool value);
    void WriteDate(const std::string& section, const std::string& key, const TDate& value);

private:
    enum class TLineKind : unsigned char { Blank, Comment, Section, Key, Other };
    // A line as the file has it, and what it is, worked out once when the line is read or
    // written: a lookup compares folded names instead of re-reading every line.
    struct TLine {
        std::string Text;
        TLineKind Kind = TLineKind::Other;
        std::string Name;   // a section's or key's name, trimmed, ASCII letters folded
        size_t Equals = 0;  // where a key line's "=" is
    };
    static TLine MakeLine(std::string text);
    size_t FindSection(const std::string& section) const;
    size_t FindKey(size_t sectionLine, const std::string& key, size_t& sectionEnd) const;

    std::string ByteOrderMark;  // written back as it was found
    std::vector<TLine> Lines;
};

// Texts read back are cut to this many characters.
constexpr size_t kIniMaxText = 2047;

// A text value that may hold line breaks or other characters that cannot stand in one
// ini line is stored in an escaped form; plain texts are stored unchanged.
std::string EncodeIniText(const std::string& text);
std::string DecodeIniText(const std::string& stored);
// Reads an integer the way ReadInteger does; false when unreadable.
bool ParseIniInteger(const std::string& text, int& value);
