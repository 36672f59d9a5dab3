// The cost of showing one card-turn step on the GTK backend: presenting the 348 x 508
// picture area of the back buffer, beside a plain copy of as many pixels. Prints
// "present US", "present_drawn US" (until the X server has drawn it) and "copy US",
// each the best mean of five rounds.
#include <gtk/gtk.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/gtk/GtkNoGl.h"
#include "platform/gtk/GtkPlatform.h"
#include "support/QuietEvents.h"

namespace {
template <typename F>
double BestMicroseconds(F&& step) {
    double best = 1e18;
    for (int round = 0; round < 5; ++round) {
        int n = 0;
        const auto start = std::chrono::steady_clock::now();
        double elapsed = 0;
        do {
            step(n);
            ++n;
            elapsed =
                std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                    .count();
        } while (elapsed < 200000);
        if (elapsed / n < best) best = elapsed / n;
    }
    return best;
}
}  // namespace

int main(int argc, char** argv) {
    // As the program opens its display: without OpenGL.
    const bool ownGl = KeepGdkFromGl();
    if (!gtk_init_check(&argc, &argv)) return 3;
    ForgetGdkGlSetting(ownGl);
    TGtkPlatform os(g_get_tmp_dir());
    TQuietEvents events;
    os.CreateMainWindow(&events, 737, 584);
    TPicture back;
    back.SetSize(737, 584);
    for (size_t i = 0; i < back.Pixels.size(); ++i)
        back.Pixels[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;
    os.ShowMainWindow();
    for (int i = 0; i < 100; ++i) gtk_main_iteration_do(FALSE);
    // Each step changes the area, as a turning card does.
    auto touch = [&back](int n) { back.Pixels[100 * 737 + 100] = static_cast<uint32_t>(n); };
    const double present = BestMicroseconds([&](int n) {
        touch(n);
        os.Present(back, 31, 43, 348, 508, 31, 43);
    });
    const double drawn = BestMicroseconds([&](int n) {
        touch(n);
        os.Present(back, 31, 43, 348, 508, 31, 43);
        while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
        gdk_display_sync(gdk_display_get_default());
    });
    std::vector<uint32_t> copy(static_cast<size_t>(348) * 508);
    const double plain = BestMicroseconds([&](int n) {
        touch(n);
        for (int y = 0; y < 508; ++y)
            std::memcpy(&copy[static_cast<size_t>(y) * 348], back.Row(43 + y) + 31, 348 * 4);
        __asm__ __volatile__("" : : "r"(copy.data()) : "memory");
    });
    std::printf("present %.1f\npresent_drawn %.1f\ncopy %.1f\n", present, drawn, plain);
    os.CloseMainWindow();
    return 0;
}
