// Texts, the clock and the embedded resources.

#include <cerrno>

#include "common/MySysU.h"
#include "platform/gtk/GtkPlatform.h"
#include "platform/headless/EmbeddedResources.h"
#include "platform/posix/IconvText.h"

std::string TGtkPlatform::SjisToUtf8(const std::string& sjis) {
    return ConvertText("UTF-8", "CP932", sjis);
}

std::string TGtkPlatform::Utf8ToSjis(const std::string& utf8) {
    return ConvertText("CP932", "UTF-8", utf8);
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
    const std::string wantType = AsciiUpper(type), wantName = AsciiUpper(name);
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
