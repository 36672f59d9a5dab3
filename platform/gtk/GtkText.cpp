// Texts, the clock and the embedded resources.
#include <iconv.h>

#include <cerrno>

#include "platform/gtk/GtkPlatform.h"
#include "platform/headless/EmbeddedResources.h"

namespace {
std::string Upper(const std::string& s) {
    std::string out = s;
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

// Converts between encodings; bytes that do not convert become "?" and the conversion
// goes on, so a bad byte never loses the rest of the text.
std::string Convert(const char* to, const char* from, const std::string& in) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return in;
    std::string out;
    char buffer[1024];
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    while (srcLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        const size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, static_cast<size_t>(dst - buffer));
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG) continue;
            out.push_back('?');
            ++src;
            --srcLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}
}  // namespace

std::string TGtkPlatform::SjisToUtf8(const std::string& sjis) {
    return Convert("UTF-8", "CP932", sjis);
}

std::string TGtkPlatform::Utf8ToSjis(const std::string& utf8) {
    return Convert("CP932", "UTF-8", utf8);
}

// A monotonic clock: changing the system time never stalls or races the animation.
uint32_t TGtkPlatform::TickCount() {
    return static_cast<uint32_t>(static_cast<uint64_t>(g_get_monotonic_time()) / 1000);
}

TDate TGtkPlatform::Today() {
    GDateTime* now = g_date_time_new_now_local();
    TDate d;
    d.Year = g_date_time_get_year(now);
    d.Month = g_date_time_get_month(now);
    d.Day = g_date_time_get_day_of_month(now);
    g_date_time_unref(now);
    return d;
}

uint64_t TGtkPlatform::ClockSeed() {
    return static_cast<uint64_t>(g_get_real_time()) * 6364136223846793005ull ^
           static_cast<uint64_t>(g_get_monotonic_time());
}

bool TGtkPlatform::FindResourceData(const std::string& type, const std::string& name,
                                    TResourceView& out) {
    const std::string wantType = Upper(type), wantName = Upper(name);
    for (int i = 0; i < kEmbeddedResourceCount; ++i) {
        const TEmbeddedResource& r = kEmbeddedResources[i];
        if (wantType == r.Type && wantName == r.Name) {
            out.Data = r.Begin;
            out.Size = static_cast<size_t>(r.End - r.Begin);
            return true;
        }
    }
    return false;
}
