#include "common/MySysU.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

int Clamp(int value, int low, int high) {
    if (value < low) return low;
    if (value > high) return high;
    return value;
}

bool PointInRect(int x, int y, int w, int h, int px, int py) {
    return x <= px && px < x + w && y <= py && py < y + h;
}

uint32_t PackColor(int r, int g, int b) {
    return static_cast<uint32_t>(r & 255) | (static_cast<uint32_t>(g & 255) << 8) |
           (static_cast<uint32_t>(b & 255) << 16);
}

void SplitColor(uint32_t color, int& r, int& g, int& b) {
    r = color & 255;
    g = (color >> 8) & 255;
    b = (color >> 16) & 255;
}

uint32_t ColorToPixel(uint32_t color) {
    return ((color & 255) << 16) | (color & 0xFF00) | ((color >> 16) & 255);
}

std::string ZeroPad(int value, int digits) {
    // Computed in 64 bits so a value near the top of the int range cannot overflow.
    std::string s = std::to_string(static_cast<long long>(value) + 1000000000LL);
    if (digits <= 0) return std::string();
    if (static_cast<size_t>(digits) >= s.size()) return s;
    return s.substr(s.size() - digits);
}

std::string Format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    std::string out;
    if (n > 0) {
        std::vector<char> buf(static_cast<size_t>(n) + 1);
        std::vsnprintf(buf.data(), buf.size(), fmt, args);
        out.assign(buf.data(), static_cast<size_t>(n));
    }
    va_end(args);
    return out;
}

bool IsSjisLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

std::string ExtractFilePath(const std::string& path) {
    // In UTF-8 every byte of a multi-byte character is 0x80 or above, so a separator byte
    // is always a separator.
    const size_t last = path.find_last_of("\\/");
    return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

int SjisLength(const std::string& text) {
    int count = 0;
    for (size_t i = 0; i < text.size(); ++i, ++count)
        if (IsSjisLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ++i;
    return count;
}

size_t SjisByteOffset(const std::string& text, int chars) {
    size_t i = 0;
    for (int c = 0; c < chars && i < text.size(); ++c)
        i += (IsSjisLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
    return i;
}

std::string AsciiUpper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}
