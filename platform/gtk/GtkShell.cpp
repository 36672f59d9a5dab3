// Web links through the desktop's default handlers, the wallpaper through the desktop's
// own settings, and message boxes.
#include <gdk/gdk.h>

#include <cstdio>
#include <cstring>

#include "common/MySysU.h"
#include "common/SjisTexts.h"
#include "platform/gtk/GtkPlatform.h"

namespace {
// Whether XDG_CURRENT_DESKTOP (a colon-separated list) names one of `names`.
bool DesktopIs(std::initializer_list<const char*> names) {
    const char* value = g_getenv("XDG_CURRENT_DESKTOP");
    if (!value) return false;
    gchar** parts = g_strsplit(value, ":", -1);
    bool found = false;
    for (gchar** p = parts; *p && !found; ++p)
        for (const char* name : names)
            if (g_ascii_strcasecmp(*p, name) == 0) found = true;
    g_strfreev(parts);
    return found;
}

// Sets string keys of a settings schema, when the schema is installed and has them.
bool SetDesktopKeys(const char* schemaId, std::initializer_list<const char*> keys,
                    const std::string& value) {
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    GSettingsSchema* schema =
        source ? g_settings_schema_source_lookup(source, schemaId, TRUE) : nullptr;
    if (!schema) return false;
    GSettings* settings = g_settings_new(schemaId);
    bool any = false;
    for (const char* key : keys) {
        if (!g_settings_schema_has_key(schema, key)) continue;
        any = g_settings_set_string(settings, key, value.c_str()) || any;
    }
    // Written through before the program goes on: it may be closed at once.
    g_settings_sync();
    g_object_unref(settings);
    g_settings_schema_unref(schema);
    return any;
}

// Xfce keeps one background per monitor and workspace in xfconf: every "last-image" of
// the desktop channel gets the file.
bool SetXfceBackground(const std::string& path) {
    gchar* out = nullptr;
    gint status = 0;
    const gchar* list[] = {"xfconf-query", "-c", "xfce4-desktop", "-l", nullptr};
    if (!g_spawn_sync(nullptr, const_cast<gchar**>(list), nullptr, G_SPAWN_SEARCH_PATH, nullptr,
                      nullptr, &out, nullptr, &status, nullptr) ||
        status != 0) {
        g_free(out);
        return false;
    }
    bool any = false;
    gchar** lines = g_strsplit(out ? out : "", "\n", -1);
    for (gchar** line = lines; *line; ++line) {
        if (!g_str_has_suffix(*line, "/last-image")) continue;
        const gchar* set[] = {"xfconf-query", "-c", "xfce4-desktop", "-p",
                              *line,          "-s", path.c_str(),    nullptr};
        gint done = 1;
        if (g_spawn_sync(nullptr, const_cast<gchar**>(set), nullptr,
                         static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_STDOUT_TO_DEV_NULL |
                                                  G_SPAWN_STDERR_TO_DEV_NULL),
                         nullptr, nullptr, nullptr, nullptr, &done, nullptr) &&
            done == 0)
            any = true;
    }
    g_strfreev(lines);
    g_free(out);
    return any;
}
}  // namespace

// The desktop's default handler opens each address (OpenLink's road without a browser of
// its own), so no program is looked up here.
std::string TGtkPlatform::FindExecutable(const std::string& /*file*/) {
    return std::string();
}

void TGtkPlatform::ShellOpen(const std::string& address) {
    const std::string uri = SjisToUtf8(address);
    GdkAppLaunchContext* context = gdk_display_get_app_launch_context(gdk_display_get_default());
    GError* error = nullptr;
    // Nothing is reported to the user when no handler opens it, as on Windows.
    if (!g_app_info_launch_default_for_uri(uri.c_str(), G_APP_LAUNCH_CONTEXT(context), &error)) {
        std::fprintf(stderr, "sablewick: cannot open %s: %s\n", uri.c_str(),
                     error ? error->message : "no handler");
        g_clear_error(&error);
    }
    g_object_unref(context);
}

void TGtkPlatform::StartProcess(const std::string& application, const std::string& commandLine) {
    // The command line is the browser's "/url ADDRESS", which only a Windows browser
    // understands; the address goes to the desktop's handler instead.
    (void)application;
    const size_t space = commandLine.find(' ');
    if (space != std::string::npos && space + 1 < commandLine.size())
        ShellOpen(commandLine.substr(space + 1));
}

void TGtkPlatform::SetDesktopWallpaper(const std::string& path) {
    gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
    const std::string fileUri = uri ? uri : path;
    g_free(uri);
    bool set = false;
    if (DesktopIs({"GNOME", "Unity", "Budgie", "Pantheon", "ubuntu"}))
        set = SetDesktopKeys("org.gnome.desktop.background", {"picture-uri", "picture-uri-dark"},
                             fileUri);
    else if (DesktopIs({"X-Cinnamon", "Cinnamon"}))
        set = SetDesktopKeys("org.cinnamon.desktop.background", {"picture-uri"}, fileUri);
    else if (DesktopIs({"MATE"}))
        set = SetDesktopKeys("org.mate.background", {"picture-filename"}, path);
    else if (DesktopIs({"XFCE"}))
        set = SetXfceBackground(path);
    if (set) return;
    // A desktop without a setting we know: the user sets the file by hand. The path goes
    // into the message as it is, since code page 932 may not spell every folder's name.
    const std::string text = Format(SjisToUtf8(sjis::kWallpaperByHand).c_str(), path.c_str());
    GtkWidget* box = gtk_message_dialog_new(
        FWindow && gtk_widget_get_visible(FWindow) ? GTK_WINDOW(FWindow) : nullptr,
        GTK_DIALOG_MODAL, GTK_MESSAGE_INFO, GTK_BUTTONS_OK, "%s", text.c_str());
    gtk_window_set_title(GTK_WINDOW(box), "Sablewick");
    ++FModalDepth;
    gtk_dialog_run(GTK_DIALOG(box));
    --FModalDepth;
    gtk_widget_destroy(box);
}

void TGtkPlatform::ShowErrorBox(const std::string& title, const std::string& text) {
    // A hidden main window (a start-up failure) is no parent to show a box over.
    GtkWindow* parent = FWindow && gtk_widget_get_visible(FWindow) ? GTK_WINDOW(FWindow) : nullptr;
    const std::string message = SjisToUtf8(text);
    std::fprintf(stderr, "sablewick: %s\n", message.c_str());
    GtkWidget* box = gtk_message_dialog_new(parent, GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR,
                                            GTK_BUTTONS_OK, "%s", message.c_str());
    gtk_window_set_title(GTK_WINDOW(box), SjisToUtf8(title).c_str());
    // The window's timer and input wait until the box is closed, so a failing handler
    // cannot run again underneath its own report.
    ++FModalDepth;
    gtk_dialog_run(GTK_DIALOG(box));
    --FModalDepth;
    gtk_widget_destroy(box);
}
