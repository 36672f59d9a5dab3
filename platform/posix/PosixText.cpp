// Text conversion through iconv, for the Linux backends.
#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/posix/PosixPlatform.h"

std::string ConvertText(const char* to, const char* from, const std::string& in) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return in;
    std::string out;
    char buffer[1024];
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    while (srcLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, static_cast<size_t>(dst - buffer));
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL: one "?" for the character that does not convert, as
            // Windows gives; from UTF-8 that is the whole sequence its lead byte begins.
            size_t skip = 1;
            const unsigned char lead = static_cast<unsigned char>(*src);
            if (std::strcmp(from, "UTF-8") == 0)
                skip = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
            skip = std::min(skip, srcLeft);
            out.push_back('?');
            src += skip;
            srcLeft -= skip;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

std::string TPosixPlatform::SjisToUtf8(const std::string& sjis) {
    return ConvertText("UTF-8", "CP932", sjis);
}

std::string TPosixPlatform::Utf8ToSjis(const std::string& utf8) {
    return ConvertText("CP932", "UTF-8", utf8);
}
