// The program's path and the clock.
#include "platform/gtk/GtkPlatform.h"

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

// The program keeps its files beside "itself": here that is the configuration folder.
std::string TGtkPlatform::ProgramPath() {
    return FDir + "Sablewick";
}
