// The GTK test program's platform: the real GTK backend on the X server of the test run
// (tests/gtk/run_gtk_tests.sh starts one).
#include <gtk/gtk.h>
#include <stdlib.h>

#include <cstdio>

#include "platform/gtk/GtkPlatform.h"
#include "support/TestPlatform.h"

std::unique_ptr<TPlatform> CreateTestPlatform(const std::string& programDir) {
    static const bool ready = gtk_init_check(nullptr, nullptr);
    if (!ready) {
        std::fprintf(stderr, "no display: run the GTK tests under an X server\n");
        std::abort();
    }
    return std::make_unique<TGtkPlatform>(programDir);
}

std::string MakeTempDir(const std::string& tag) {
    std::string pattern = "/tmp/sablewick-gtk-" + tag + "-XXXXXX";
    char* made = mkdtemp(&pattern[0]);
    return made ? std::string(made) + "/" : std::string("/tmp/");
}
