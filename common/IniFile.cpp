#include "common/IniFile.h"

#include <cstdint>
#include <limits>
#include <utility>

namespace {

constexpr size_t kNone = static_cast<size_t>(-1);

// Code page 932: lead bytes of double-byte characters, and the bytes that may follow one.
bool IsLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
bool IsTrailByte(unsigned char c) {
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

// Length of the character starting at s[i]: 2 for a lead byte followed by a trail byte,
// else 1. A lead byte without a valid trail byte counts as a character of its own.
size_t CharLength(const std::string& s, size_t i) {
    if (IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() &&
        IsTrailByte(static_cast<unsigned char>(s[i + 1])))
        return 2;
    return 1;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

// Whether s[i] starts a double-byte character that ends before `end`. A byte below 0x81
// never does, so plain ASCII costs one comparison.
bool StartsPair(const std::string& s, size_t i, size_t end) {
    const auto c = static_cast<unsigned char>(s[i]);
    return c >= 0x81 && IsLeadByte(c) && i + 1 < end &&
           IsTrailByte(static_cast<unsigned char>(s[i + 1]));
}

// s[b, e) with ASCII letters folded to lower case; the bytes of double-byte characters
// are kept, as a trail byte may well be 0x41..0x5A.
std::string FoldName(const std::string& s, size_t b, size_t e) {
    std::string out(s, b, e - b);
    for (size_t i = 0; i < out.size(); ++i) {
        if (StartsPair(out, i, out.size()))
            ++i;
        else if (out[i] >= 'A' && out[i] <= 'Z')
            out[i] = static_cast<char>(out[i] - 'A' + 'a');
    }
    return out;
}

std::string FoldName(const std::string& s) {
    return FoldName(s, 0, s.size());
}

// Position in s[b, e) of byte `c` as a character of its own (not the trail byte of a
// double-byte character); the first one, or the last one when `last` is set.
size_t FindChar(const std::string& s, size_t b, size_t e, char c, bool last) {
    size_t found = kNone;
    for (size_t i = b; i < e; ++i) {
        if (StartsPair(s, i, e)) {
            ++i;
        } else if (s[i] == c) {
            found = i;
            if (!last) return found;
        }
    }
    return found;
}

// Narrows [b, e) of s to leave out the blanks at either end.
void TrimRange(const std::string& s, size_t& b, size_t& e) {
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
}

// The value as a reader sees it: trimmed, one pair of matching outer quotes removed.
std::string UnquoteValue(const std::string& raw) {
    std::string v = Trim(raw);
    if (v.size() >= 2 && v.front() == v.back() && (v.front() == '"' || v.front() == '\''))
        v = v.substr(1, v.size() - 2);
    return v;
}

// Cut to at most kIniMaxText bytes without splitting a double-byte character.
std::string CutText(const std::string& s) {
    if (s.size() <= kIniMaxText) return s;
    size_t i = 0;
    while (i < s.size()) {
        const size_t n = CharLength(s, i);
        if (i + n > kIniMaxText) break;
        i += n;
    }
    return s.substr(0, i);
}

bool HexDigit(char c, unsigned& v) {
    if (c >= '0' && c <= '9')
        v = static_cast<unsigned>(c - '0');
    else if (c >= 'a' && c <= 'f')
        v = static_cast<unsigned>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F')
        v = static_cast<unsigned>(c - 'A' + 10);
    else
        return false;
    return true;
}

const char kEscapeMarker[] = "\\~";

}  // namespace

TIniFile::TLine TIniFile::MakeLine(std::string text) {
    TLine line;
    line.Text = std::move(text);
    const std::string& s = line.Text;
    size_t b = 0, e = s.size();
    TrimRange(s, b, e);
    size_t close = kNone;
    if (b == e) {
        line.Kind = TLineKind::Blank;
    } else if (s[b] == ';') {
        line.Kind = TLineKind::Comment;
    } else if (s[b] == '[' && (close = FindChar(s, b, e, ']', true)) != kNone) {
        line.Kind = TLineKind::Section;
        size_t nb = b + 1, ne = close;
        TrimRange(s, nb, ne);
        line.Name = FoldName(s, nb, ne);
    } else {
        const size_t eq = FindChar(s, 0, s.size(), '=', false);
        if (eq != kNone) {
            size_t nb = 0, ne = eq;
            TrimRange(s, nb, ne);
            if (nb < ne) {
                line.Kind = TLineKind::Key;
                line.Name = FoldName(s, nb, ne);
                line.Equals = eq;
            }
        }
    }
    return line;
}

bool ParseIniInteger(const std::string& text, int& value) {
    const std::string t = Trim(text);
    size_t i = 0;
    bool hex = false;
    if (t.size() >= 3 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        hex = true;
        i = 2;
    } else if (!t.empty() && t[0] == '$') {
        hex = true;
        i = 1;
    }
    if (hex) {
        // Up to eight hexadecimal digits: the 32-bit pattern, so $FFFFFFFF is -1.
        if (i >= t.size()) return false;
        uint64_t v = 0;
        for (; i < t.size(); ++i) {
            unsigned d;
            if (!HexDigit(t[i], d)) return false;
            v = v * 16 + d;
            if (v > 0xFFFFFFFFull) return false;
        }
        const uint32_t bits = static_cast<uint32_t>(v);
        value = bits <= 0x7FFFFFFFu ? static_cast<int>(bits) : -static_cast<int>(~bits) - 1;
        return true;
    }
    bool negative = false;
    if (i < t.size() && (t[i] == '-' || t[i] == '+')) {
        negative = t[i] == '-';
        ++i;
    }
    if (i >= t.size()) return false;
    int64_t v = 0;
    const int64_t limit = negative ? -static_cast<int64_t>(std::numeric_limits<int>::min())
                                   : static_cast<int64_t>(std::numeric_limits<int>::max());
    for (; i < t.size(); ++i) {
        if (t[i] < '0' || t[i] > '9') return false;
        v = v * 10 + (t[i] - '0');
        if (v > limit) return false;
    }
    value = static_cast<int>(negative ? -v : v);
    return true;
}

void TIniFile::Parse(const std::string& content) {
    Lines.clear();
    ByteOrderMark.clear();
    size_t i = 0;
    // A byte-order mark written by an editor is not part of the first line's name. It is
    // kept and written back, so the next reading sees the same lines as this one.
    if (content.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        ByteOrderMark = content.substr(0, 3);
        i = 3;
    }
    std::string line;
    bool pending = false;
    for (; i < content.size(); ++i) {
        const char c = content[i];
        if (c == '\r' || c == '\n') {
            Lines.push_back(MakeLine(std::move(line)));
            line.clear();
            pending = false;
            if (c == '\r' && i + 1 < content.size() && content[i + 1] == '\n') ++i;
        } else {
            line += c;
            pending = true;
        }
    }
    if (pending) Lines.push_back(MakeLine(std::move(line)));
}

std::string TIniFile::Text() const {
    std::string out = ByteOrderMark;
    for (const TLine& line : Lines) {
        out += line.Text;
        out += "\r\n";
    }
    return out;
}

// Only the first section of a name is searched, as Windows does; within it, the first
// of duplicate keys wins.
size_t TIniFile::FindSection(const std::string& section) const {
    const std::string name = FoldName(section);
    for (size_t i = 0; i < Lines.size(); ++i)
        if (Lines[i].Kind == TLineKind::Section && Lines[i].Name == name) return i;
    return kNone;
}

size_t TIniFile::FindKey(size_t sectionLine, const std::string& key, size_t& sectionEnd) const {
    const std::string name = FoldName(key);
    size_t found = kNone;
    size_t i = sectionLine + 1;
    for (; i < Lines.size(); ++i) {
        const TLine& line = Lines[i];
        if (line.Kind == TLineKind::Section) break;
        if (found == kNone && line.Kind == TLineKind::Key && line.Name == name) found = i;
    }
    sectionEnd = i;
    return found;
}

bool TIniFile::ReadString(const std::string& section, const std::string& key,
                          std::string& value) const {
    const size_t s = FindSection(section);
    if (s == kNone) return false;
    size_t end;
    const size_t k = FindKey(s, key, end);
    if (k == kNone) return false;
    value = CutText(UnquoteValue(Lines[k].Text.substr(Lines[k].Equals + 1)));
    return true;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& def) const {
    std::string value;
    return ReadString(section, key, value) ? value : def;
}

int TIniFile::ReadInteger(const std::string& section, const std::string& key, int def) const {
    std::string text;
    int value;
    if (ReadString(section, key, text) && ParseIniInteger(text, value)) return value;
    return def;
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
    std::string text;
    int value;
    if (ReadString(section, key, text) && ParseIniInteger(text, value)) return value != 0;
    return def;
}

TDate TIniFile::ReadDate(const std::string& section, const std::string& key,
                         const TDate& def) const {
    std::string text;
    TDate value;
    if (ReadString(section, key, text) && ParseDate(text, value)) return value;
    return def;
}

void TIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
    // A line break in a value would end the line and could start a key of its own, so a
    // value that cannot stand in one line is always stored in the escaped form.
    const bool oneLine = value.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
    const std::string stored = oneLine ? value : EncodeIniText(value);

    const size_t s = FindSection(section);
    if (s == kNone) {
        if (!Lines.empty() && Lines.back().Kind != TLineKind::Blank) Lines.push_back(MakeLine(""));
        Lines.push_back(MakeLine("[" + section + "]"));
        Lines.push_back(MakeLine(key + "=" + stored));
        return;
    }
    size_t end;
    const size_t k = FindKey(s, key, end);
    if (k != kNone) {
        // Everything up to the "=" stays as the file had it, spelling of the key included.
        // Worked out again: the line must read as it will after the file is read back.
        Lines[k] = MakeLine(Lines[k].Text.substr(0, Lines[k].Equals + 1) + stored);
        return;
    }
    // After the section's last line of content, so blank lines and comments that lead
    // into the next section stay where they are.
    size_t insertAt = s + 1;
    for (size_t i = s + 1; i < end; ++i) {
        const TLineKind kind = Lines[i].Kind;
        if (kind != TLineKind::Blank && kind != TLineKind::Comment) insertAt = i + 1;
    }
    Lines.insert(Lines.begin() + static_cast<std::ptrdiff_t>(insertAt),
                 MakeLine(key + "=" + stored));
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
    WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void TIniFile::WriteDate(const std::string& section, const std::string& key, const TDate& value) {
    WriteString(section, key, FormatDate(value));
}

// The escaped form is "\~" followed by the text with these replacements:
//   "\" -> "\\",  CR -> "\r",  LF -> "\n",  NUL -> "\0",  tab -> "\t",
//   a space as the last character -> "\_",
//   a lead byte not followed by a trail byte -> "\x" and two upper-case hex digits.
// Double-byte characters are copied whole (their trail byte may be 0x5C, a backslash).
// The escaped form holds no line break, never starts or ends with a blank or a quote,
// so reading gives it back unchanged, and it always starts with the marker.
std::string EncodeIniText(const std::string& text) {
    bool plain = text.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
    if (plain && !text.empty()) {
        const char first = text.front(), last = text.back();
        if (IsBlank(first) || IsBlank(last)) plain = false;
        if (text.size() >= 2 && first == last && (first == '"' || first == '\'')) plain = false;
        if (text.compare(0, 2, kEscapeMarker) == 0) plain = false;
    }
    if (plain) return text;

    static const char kHex[] = "0123456789ABCDEF";
    std::string out = kEscapeMarker;
    for (size_t i = 0; i < text.size();) {
        const size_t n = CharLength(text, i);
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (n == 2) {
            out.append(text, i, 2);
        } else if (IsLeadByte(c)) {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\0') {
            out += "\\0";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == ' ' && i + 1 == text.size()) {
            out += "\\_";
        } else {
            out += static_cast<char>(c);
        }
        i += n;
    }
    return out;
}

// Undoes EncodeIniText; a text without the marker is plain and returned as it is. An
// escape cut off by the length limit at the end is dropped; an unknown escape is kept
// literally.
std::string DecodeIniText(const std::string& stored) {
    if (stored.compare(0, 2, kEscapeMarker) != 0) return stored;
    std::string out;
    size_t i = 2;
    while (i < stored.size()) {
        const size_t n = CharLength(stored, i);
        if (n == 2 || stored[i] != '\\') {
            out.append(stored, i, n);
            i += n;
            continue;
        }
        if (i + 1 >= stored.size()) break;
        const char e = stored[i + 1];
        switch (e) {
            case '\\':
                out += '\\';
                break;
            case 'r':
                out += '\r';
                break;
            case 'n':
                out += '\n';
                break;
            case '0':
                out += '\0';
                break;
            case 't':
                out += '\t';
                break;
            case '_':
                out += ' ';
                break;
            case 'x': {
                unsigned hi, lo;
                if (i + 3 >= stored.size()) return out;
                if (HexDigit(stored[i + 2], hi) && HexDigit(stored[i + 3], lo)) {
                    out += static_cast<char>(hi * 16 + lo);
                } else {
                    out.append(stored, i, 4);
                }
                i += 4;
                continue;
            }
            default:
                out.append(stored, i, 2);
                break;
        }
        i += 2;
    }
    return out;
}
