// One instance per user session: through the session bus, or without one a socket in the
// user's runtime folder; a second start asks the running one to come forward.
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <glib-unix.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/gtk/GtkPlatform.h"

namespace {
const char kApplicationId[] = "org.sablewick.Sablewick";
}  // namespace

void TGtkPlatform::SetApplicationTitle(const std::string& title) {
    FTitleSjis = title;
    const std::string utf8 = SjisToUtf8(title);
    g_set_application_name(utf8.c_str());
    if (FWindow) gtk_window_set_title(GTK_WINDOW(FWindow), utf8.c_str());
}

void TGtkPlatform::BringToFront() {
    if (!FWindow) return;
    gtk_window_deiconify(GTK_WINDOW(FWindow));
    gtk_window_present(GTK_WINDOW(FWindow));
}

void TGtkPlatform::BeginInstanceCheck() {
    if (FApp || FInstanceSocket >= 0) return;
    // One instance per session through the session bus: a second start asks the first to
    // come forward and ends.
    FApp = g_application_new(kApplicationId, G_APPLICATION_DEFAULT_FLAGS);
    g_signal_connect(FApp, "activate", G_CALLBACK(+[](GApplication*, gpointer p) {
                         static_cast<TGtkPlatform*>(p)->BringToFront();
                     }),
                     this);
    // Registering is mostly waiting for the bus: it is done on a thread of its own while
    // this one goes on. Nothing else touches the application until the thread is joined;
    // its calls from the bus are delivered on the main context all the same.
    FInstanceThread = std::thread([this] {
        GError* error = nullptr;
        FRegistered = g_application_register(FApp, nullptr, &error);
        if (error) FRegisterError = error->message;
        g_clear_error(&error);
    });
}

bool TGtkPlatform::ActivateRunningInstance(const std::string& /*caption*/) {
    if (!FApp && FInstanceSocket < 0) BeginInstanceCheck();
    if (!FInstanceThread.joinable()) return false;  // already answered
    FInstanceThread.join();
    if (FRegistered) {
        if (g_application_get_is_remote(FApp)) {
            g_application_activate(FApp);
            if (GDBusConnection* bus = g_application_get_dbus_connection(FApp))
                g_dbus_connection_flush_sync(bus, nullptr, nullptr);
            return true;
        }
        if (g_application_get_dbus_connection(FApp)) return false;
    } else {
        std::fprintf(stderr, "sablewick: %s\n",
                     FRegisterError.empty() ? "no session bus" : FRegisterError.c_str());
    }
    // No session bus: a socket in the user's runtime folder marks the running instance.
    return !StartLocalInstanceServer();
}

// Returns false when another instance answered on the socket (it has been asked to come
// forward); true when this process now listens there, or cannot (it runs all the same).
bool TGtkPlatform::StartLocalInstanceServer() {
    const std::string path = std::string(g_get_user_runtime_dir()) + "/sablewick-instance";
    sockaddr_un address;
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return true;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (probe < 0) return true;
    if (::connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        const char request[] = "activate\n";
        (void)!::write(probe, request, sizeof request - 1);
        ::close(probe);
        return false;
    }
    const int refused = errno;
    ::close(probe);
    // A socket nobody listens on is left from an instance that crashed.
    if (refused == ECONNREFUSED) ::unlink(path.c_str());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return true;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 4) != 0) {
        ::close(fd);
        return true;
    }
    FInstanceSocket = fd;
    FInstanceSocketPath = path;
    FInstanceWatch = g_unix_fd_add(
        fd, G_IO_IN,
        +[](gint listening, GIOCondition, gpointer p) -> gboolean {
            const int client = ::accept(listening, nullptr, nullptr);
            if (client >= 0) ::close(client);
            static_cast<TGtkPlatform*>(p)->BringToFront();
            return G_SOURCE_CONTINUE;
        },
        this);
    return true;
}
