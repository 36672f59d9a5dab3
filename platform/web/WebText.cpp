// Code page 932 and UTF-8, through the page's own Shift_JIS decoder and its inverse
// (WebPage.js).
#include <emscripten.h>

#include "platform/web/WebBytes.h"
#include "platform/web/WebPlatform.h"

namespace {
EM_JS(char*, sw_convert, (int toSjis, const char* text, int size, int* outSize),
      { return SW.convert(toSjis, text, size, outSize); });

std::string Convert(bool toSjis, const std::string& in) {
    if (in.empty()) return in;
    int size = 0;
    char* block = sw_convert(toSjis, in.data(), static_cast<int>(in.size()), &size);
    return TakePageBytes(block, size);
}
}  // namespace

std::string TWebPlatform::SjisToUtf8(const std::string& sjis) {
    return Convert(false, sjis);
}

std::string TWebPlatform::Utf8ToSjis(const std::string& utf8) {
    return Convert(true, utf8);
}
