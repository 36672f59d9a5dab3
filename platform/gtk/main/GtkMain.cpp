// The Linux desktop program's entry point: the display, the settings folder, the
// session's signals, then the program itself.
#include <fontconfig/fontconfig.h>
#include <glib-unix.h>
#include <malloc.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "app/MainUnit.h"
#include "content/DecodeAhead.h"
#include "platform/gtk/GtkNoGl.h"
#include "platform/gtk/GtkPlatform.h"
// After our own headers: Xlib defines names such as KeyPress and None as macros.
#include <gdk/gdkx.h>

namespace {
TGtkPlatform* gPlatform = nullptr;

const char kUsage[] =
    "usage: sablewick [--dir DIR]\n"
    "  --dir DIR  keep Orvane.ini and WallOrvane.bmp in DIR (a portable copy) instead of\n"
    "             $XDG_CONFIG_HOME/sablewick (~/.config/sablewick)\n";

// The X server went away (the session ended without a word to us): the settings are
// written before Xlib ends the process.
int OnDisplayLost(Display*) {
    if (gPlatform) gPlatform->EndSession();
    _exit(1);
}

gboolean OnSessionEnd(gpointer) {
    // The session manager (or the system) ends the process: the settings are written
    // at once, nothing is shown and nothing waits.
    if (gPlatform) gPlatform->EndSession();
    _exit(0);
}

// How glibc's malloc keeps the memory the program frees. At most two arenas: the threads
// besides this one (pictures decoded ahead, the session bus, sound) allocate little, and
// an arena each would keep its touched pages for the whole run; with one arena for all,
// the pictures decoded ahead would wait on this thread's lock during the start. A fixed
// threshold of 128 KiB puts every picture-sized block in a mapping of its own, returned
// whole when it is freed: glibc's moving threshold would rise with the first picture
// freed, and the card faces of later readings would leave holes in the heap that stay
// resident.
void KeepFreedMemoryReturned() {
    mallopt(M_ARENA_MAX, 2);
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
}
}  // namespace

int main(int argc, char** argv) {
    KeepFreedMemoryReturned();
    std::string dir;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--dir" && i + 1 < argc) {
            dir = argv[++i];
        } else if (arg.compare(0, 6, "--dir=") == 0) {
            dir = arg.substr(6);
        } else if (arg.compare(0, 2, "--") == 0 && arg.find("--g") != 0 && arg != "--display") {
            std::fprintf(stderr, "sablewick: unknown option %s\n%s", arg.c_str(), kUsage);
            return 2;
        }
    }
    g_set_prgname("sablewick");
    // The program draws with Cairo only: GDK is kept from loading OpenGL as it opens the
    // display. The window still gets its alpha visual where the desktop composites.
    const bool ownGl = KeepGdkFromGl();
    const bool opened = gtk_init_check(&argc, &argv);
    // Still the only thread: the environment can change safely.
    ForgetGdkGlSetting(ownGl);
    if (!opened) {
        const char* x = g_getenv("DISPLAY");
        const char* wayland = g_getenv("WAYLAND_DISPLAY");
        std::fprintf(stderr,
                     "sablewick: cannot open a display (DISPLAY=%s, WAYLAND_DISPLAY=%s); "
                     "Sablewick needs a graphical desktop session\n",
                     x ? x : "unset", wayland ? wayland : "unset");
        return 3;
    }
    if (dir.empty()) dir = std::string(g_get_user_config_dir()) + "/sablewick";

    TGtkPlatform platform(dir);
    gPlatform = &platform;
    // Whether another instance runs is asked of the session bus on another thread, while
    // GTK reads its theme here (which it would otherwise do when the window is made):
    // the wait for the bus and the theme's parsing overlap.
    platform.BeginInstanceCheck();
    // Building the window keeps this thread busy for a good part of the start (GTK reads
    // its theme, the labels load their font); the pictures the first frame needs are
    // decoded meanwhile on another, where a second processor is free. Before them that
    // thread reads the font configuration, which the first label needs first: one after
    // the other, the two leave the processors to this thread and the X server.
    TDecodeAhead ahead(TDecodeAhead::Find(platform, kStartPictures, kStartPictureCount),
                       [] { FcInit(); });
    gtk_settings_get_default();
    g_unix_signal_add(SIGTERM, OnSessionEnd, nullptr);
    g_unix_signal_add(SIGHUP, OnSessionEnd, nullptr);
    // Ctrl+C in a terminal closes the window as its close button does.
    g_unix_signal_add(
        SIGINT,
        +[](gpointer) -> gboolean {
            if (gPlatform) gPlatform->CloseMainWindow();
            return G_SOURCE_CONTINUE;
        },
        nullptr);
    if (g_getenv("SABLEWICK_GTK_PROBE"))
        g_unix_signal_add(
            SIGUSR1,
            +[](gpointer) -> gboolean {
                if (gPlatform) gPlatform->WriteProbe();
                return G_SOURCE_CONTINUE;
            },
            nullptr);
    if (GDK_IS_X11_DISPLAY(gdk_display_get_default())) XSetIOErrorHandler(OnDisplayLost);

    int status = 1;
    try {
        status = RunProgram(platform, &ahead);
    } catch (const std::exception& e) {
        // Only a failure of the platform itself gets here; the program reports its own
        // start-up failures.
        platform.DetachEvents();
        platform.ShowErrorBox("Sablewick", e.what());
    }
    gPlatform = nullptr;
    return status;
}
