// Code page 932 conversions: any bytes in either direction give well-formed output and
// the rest of the text is never lost to one bad byte.
#include <cstdint>
#include <string>

#include "common/MySysU.h"
#include "fuzz/FuzzSupport.h"

namespace {
bool ValidUtf8(const std::string& s) {
    size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        size_t n = 0;
        uint32_t cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF) {
            n = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            n = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            n = 3;
            cp = c & 0x07;
        } else
            return false;
        if (i + n >= s.size()) return false;
        for (size_t k = 1; k <= n; ++k) {
            const unsigned char t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (t & 0x3F);
        }
        if ((n == 2 && cp < 0x800) || (n == 3 && (cp < 0x10000 || cp > 0x10FFFF))) return false;
        if (cp >= 0xD800 && cp <= 0xDFFF) return false;
        i += n + 1;
    }
    return true;
}

bool Ascii(const std::string& s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static THeadlessPlatform os("/fuzz/");
    const std::string in(reinterpret_cast<const char*>(data), size);

    const std::string utf8 = os.SjisToUtf8(in);
    FUZZ_CHECK(ValidUtf8(utf8));
    // Every input byte gives at least one output byte (a character or a "?").
    FUZZ_CHECK(utf8.size() >= static_cast<size_t>(SjisLength(in)));
    const std::string sjis = os.Utf8ToSjis(in);
    if (Ascii(in)) {
        FUZZ_CHECK(utf8 == in);
        FUZZ_CHECK(sjis == in);
    }
    // Text converted from code page 932 converts back to bytes that read the same again.
    const std::string back = os.Utf8ToSjis(utf8);
    FUZZ_CHECK(os.SjisToUtf8(back) == utf8);

    // The helpers that walk code page 932 text byte by byte.
    FUZZ_CHECK(SjisLength(in) <= static_cast<int>(size));
    const std::string dir = ExtractFilePath(in);
    FUZZ_CHECK(in.compare(0, dir.size(), dir) == 0);
    FUZZ_CHECK(dir.empty() || dir.back() == '\\' || dir.back() == '/');
    return 0;
}
