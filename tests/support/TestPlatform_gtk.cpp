// The GTK test program's platform: the real GTK backend on the X server of the test run
// (tests/gtk/run_gtk_tests.sh and the CTest fixture start one). Its probe reads the
// widgets and the X server, and plays the user through the widgets' own signals.
#include <X11/extensions/Xfixes.h>
#include <gtk/gtk.h>
#include <stdlib.h>

#include <cmath>
#include <cstdio>

#include "platform/gtk/GtkNoGl.h"
#include "platform/gtk/GtkPlatform.h"
#include "support/PosixProbe.h"
#include "support/TestPlatform.h"
#include "support/TempDirs.h"
// After our own headers: Xlib defines names such as KeyPress and None as macros.
#include <gdk/gdkx.h>

std::unique_ptr<TPlatform> CreateTestPlatform(const std::string& programDir) {
    static const bool ready = [] {
        // GTK started as the program starts it: without OpenGL.
        const bool ours = KeepGdkFromGl();
        const bool opened = gtk_init_check(nullptr, nullptr);
        ForgetGdkGlSetting(ours);
        return opened;
    }();
    if (!ready) {
        std::fprintf(stderr, "no display: run the GTK tests under an X server\n");
        std::abort();
    }
    // GTK's complaint that it was used wrongly (a widget gone under its own signal) is a
    // failure, not a line in the log.
    g_log_set_always_fatal(static_cast<GLogLevelFlags>(G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_ERROR));
    return std::make_unique<TGtkPlatform>(programDir);
}

std::string MakeTempDir(const std::string& tag) {
    std::string pattern = "/tmp/sablewick-gtk-" + tag + "-XXXXXX";
    char* made = mkdtemp(&pattern[0]);
    if (!made) return std::string("/tmp/");
    RemoveAtExit(made);
    return std::string(made) + "/";
}

namespace {
// The backend names each of its widgets by the control it stands for.
const char kControlKey[] = "sablewick-control";

uint32_t Packed(const GdkRGBA& c) {
    auto byte = [](double v) { return static_cast<uint32_t>(std::lround(v * 255)); };
    return byte(c.red) | byte(c.green) << 8 | byte(c.blue) << 16;
}

// The program's window: the toplevel that holds the layout.
GtkWidget* MainWindow() {
    GtkWidget* found = nullptr;
    GList* toplevels = gtk_window_list_toplevels();
    for (GList* w = toplevels; w && !found; w = w->next) {
        GtkWidget* child = gtk_bin_get_child(GTK_BIN(w->data));
        if (child && GTK_IS_LAYOUT(child)) found = GTK_WIDGET(w->data);
    }
    g_list_free(toplevels);
    return found;
}

// The widget the layout holds for `id`.
GtkWidget* ControlWidget(TControl id) {
    GtkWidget* window = MainWindow();
    if (!window) return nullptr;
    GtkWidget* found = nullptr;
    GList* children = gtk_container_get_children(GTK_CONTAINER(gtk_bin_get_child(GTK_BIN(window))));
    for (GList* c = children; c && !found; c = c->next)
        if (GPOINTER_TO_INT(g_object_get_data(G_OBJECT(c->data), kControlKey)) ==
            static_cast<int>(id))
            found = GTK_WIDGET(c->data);
    g_list_free(children);
    return found;
}

// The popup menu on the screen now.
GtkMenuShell* OpenMenu() {
    GtkMenuShell* found = nullptr;
    GList* toplevels = gtk_window_list_toplevels();
    for (GList* w = toplevels; w && !found; w = w->next) {
        GtkWidget* child = gtk_bin_get_child(GTK_BIN(w->data));
        if (child && GTK_IS_MENU(child) && gtk_widget_get_mapped(child))
            found = GTK_MENU_SHELL(child);
    }
    g_list_free(toplevels);
    return found;
}

// A caption as the program writes it: GTK's "_" mnemonic mark back to "&".
std::string Ampersands(const std::string& label) {
    std::string out;
    for (size_t i = 0; i < label.size(); ++i) {
        if (label[i] == '_' && i + 1 < label.size()) {
            ++i;
            if (label[i] != '_') out.push_back('&');
            out.push_back(label[i]);
        } else if (label[i] == '&') {
            out += "&&";
        } else {
            out.push_back(label[i]);
        }
    }
    return out;
}

class TGtkProbe : public TPosixProbe {
public:
    explicit TGtkProbe(TPlatform& os) : Os(os) {}
    ~TGtkProbe() override {
        if (FMenuSource) g_source_remove(FMenuSource);
    }

    void Settle() override {
        // Until the window, when shown, is on the screen, and a little beyond for its
        // paint; bounded, so a window that never maps fails the reading, not the run.
        for (int round = 0; round < 500; ++round) {
            while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
            GtkWidget* window = MainWindow();
            const bool waiting =
                window && gtk_widget_get_visible(window) && !gtk_widget_get_mapped(window);
            if (!waiting && round >= 20) break;
            g_usleep(2000);
        }
        gdk_display_sync(gdk_display_get_default());
        while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
    }

    uint32_t WindowPixel(int x, int y) override {
        GtkWidget* window = MainWindow();
        if (!window || !gtk_widget_get_mapped(window)) return 0xFFFFFFFF;
        GdkPixbuf* shot = gdk_pixbuf_get_from_window(gtk_widget_get_window(window), x, y, 1, 1);
        if (!shot) return 0xFFFFFFFF;
        const guchar* p = gdk_pixbuf_get_pixels(shot);
        const uint32_t pixel = static_cast<uint32_t>(p[0]) << 16 | p[1] << 8 | p[2];
        g_object_unref(shot);
        return pixel;
    }

    TShown Control(TControl id) override {
        TShown shown;
        GtkWidget* outer = ControlWidget(id);
        if (!outer) return shown;
        shown.Exists = true;
        shown.Visible = gtk_widget_get_visible(outer);
        GtkWidget* inner = GTK_IS_BIN(outer) ? gtk_bin_get_child(GTK_BIN(outer)) : outer;
        if (GTK_IS_TEXT_VIEW(inner)) {
            GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(inner));
            GtkTextIter start, end;
            gtk_text_buffer_get_bounds(buffer, &start, &end);
            gchar* text = gtk_text_buffer_get_text(buffer, &start, &end, FALSE);
            // A line break is CR LF to the program, as in a Windows edit box.
            std::string crlf;
            for (const gchar* p = text; *p; ++p)
                crlf += *p == '\n' ? std::string("\r\n") : std::string(1, *p);
            g_free(text);
            shown.Text = Os.Utf8ToSjis(crlf);
            shown.ReadOnly = !gtk_text_view_get_editable(GTK_TEXT_VIEW(inner));
        } else {
            GtkLabel* label = GTK_LABEL(inner);
            shown.Text = Os.Utf8ToSjis(gtk_label_get_text(label));
            shown.Look.Centred = gtk_label_get_xalign(label) == 0.5f;
            shown.Look.VCentred = gtk_label_get_yalign(label) == 0.5f;
            shown.Look.WordWrap = gtk_label_get_line_wrap(label);
        }
        GtkStyleContext* outerStyle = gtk_widget_get_style_context(outer);
        GdkRGBA* background = nullptr;
        gtk_style_context_get(outerStyle, gtk_style_context_get_state(outerStyle),
                              "background-color", &background, nullptr);
        if (background) shown.Look.Background = Packed(*background);
        gdk_rgba_free(background);
        GtkStyleContext* style = gtk_widget_get_style_context(inner);
        GdkRGBA colour;
        gtk_style_context_get_color(style, gtk_style_context_get_state(style), &colour);
        shown.Look.TextColor = Packed(colour);
        PangoFontDescription* font = nullptr;
        gtk_style_context_get(style, gtk_style_context_get_state(style), "font", &font, nullptr);
        shown.Look.CellHeight = font ? Height(font, id == TControl::Memo1) : 0;
        if (font) pango_font_description_free(font);
        return shown;
    }

    void TypeIntoMemo(const std::string& sjis) override {
        GtkWidget* view = ControlWidget(TControl::Memo1);
        if (!view) return;
        // One character at a time, as the input method commits them.
        const std::string utf8 = Os.SjisToUtf8(sjis);
        for (const gchar* p = utf8.c_str(); *p; p = g_utf8_next_char(p)) {
            const std::string one(p, g_utf8_next_char(p) - p);
            g_signal_emit_by_name(view, "insert-at-cursor", one.c_str());
        }
    }

    void AnswerMenu(int choice) override {
        FChoice = choice;
        FShown.clear();
        if (FMenuSource) g_source_remove(FMenuSource);
        // Looked for while the menu runs its own loop, until it is on the screen.
        FTries = 0;
        FMenuSource = g_timeout_add(5, &TGtkProbe::AnswerOpenMenu, this);
    }
    std::vector<TShownItem> LastMenu() override { return FShown; }

    bool PointerHotSpot(int& x, int& y) override {
        GtkWidget* window = MainWindow();
        if (!window || !gtk_widget_get_mapped(window)) return false;
        // The pointer over the window's middle, and the X server asked what it shows.
        int left = 0, top = 0;
        gdk_window_get_origin(gtk_widget_get_window(window), &left, &top);
        GdkDisplay* display = gdk_display_get_default();
        GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(display));
        gdk_device_warp(pointer, gdk_display_get_default_screen(display),
                        left + gtk_widget_get_allocated_width(window) / 2,
                        top + gtk_widget_get_allocated_height(window) / 2);
        Settle();
        XFixesCursorImage* image = XFixesGetCursorImage(GDK_DISPLAY_XDISPLAY(display));
        if (!image) return false;
        x = image->xhot;
        y = image->yhot;
        XFree(image);
        return true;
    }

private:
    // A font's cell height in pixels: a label's is its ascent and descent, the wish box's
    // font is given as its size.
    static int Height(const PangoFontDescription* font, bool memo) {
        double size = pango_font_description_get_size(font) / double(PANGO_SCALE);
        if (!pango_font_description_get_size_is_absolute(font)) {
            // Points, at the screen's resolution: CSS pixels are 96 to the inch.
            const double dpi = gdk_screen_get_resolution(gdk_screen_get_default());
            size *= (dpi > 0 ? dpi : 96.0) / 72.0;
        }
        if (memo) return static_cast<int>(std::lround(size));
        PangoContext* context = pango_font_map_create_context(pango_cairo_font_map_get_default());
        PangoFont* loaded = pango_context_load_font(context, font);
        const int cell =
            loaded ? static_cast<int>(std::lround(FontCellHeight(loaded) / double(PANGO_SCALE)))
                   : 0;
        if (loaded) g_object_unref(loaded);
        g_object_unref(context);
        return cell;
    }

    static gboolean AnswerOpenMenu(gpointer p) {
        auto* self = static_cast<TGtkProbe*>(p);
        GtkMenuShell* menu = OpenMenu();
        if (!menu) {
            if (++self->FTries < 400) return G_SOURCE_CONTINUE;
            self->FMenuSource = 0;
            return G_SOURCE_REMOVE;
        }
        self->FMenuSource = 0;
        GtkWidget* chosen = nullptr;
        bool separator = false;
        GList* items = gtk_container_get_children(GTK_CONTAINER(menu));
        for (GList* i = items; i; i = i->next) {
            GtkWidget* item = GTK_WIDGET(i->data);
            if (GTK_IS_SEPARATOR_MENU_ITEM(item)) {
                separator = true;
                continue;
            }
            TShownItem shown;
            shown.Caption =
                self->Os.Utf8ToSjis(Ampersands(gtk_menu_item_get_label(GTK_MENU_ITEM(item))));
            shown.Enabled = gtk_widget_get_sensitive(item);
            shown.Checked = GTK_IS_CHECK_MENU_ITEM(item) &&
                            gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(item));
            shown.SeparatorBefore = separator;
            separator = false;
            if (static_cast<int>(self->FShown.size()) == self->FChoice) chosen = item;
            self->FShown.push_back(shown);
        }
        g_list_free(items);
        if (chosen)
            gtk_menu_shell_activate_item(menu, chosen, TRUE);
        else
            gtk_menu_shell_cancel(menu);
        return G_SOURCE_REMOVE;
    }

    std::vector<TShownAccessible> Accessibles() override {
        std::vector<TShownAccessible> shown;
        for (AtkObject* object : PaintedObjects()) {
            TShownAccessible a;
            a.Name = Os.Utf8ToSjis(atk_object_get_name(object) ? atk_object_get_name(object) : "");
            const AtkRole role = atk_object_get_role(object);
            a.Role = role == ATK_ROLE_LIST_ITEM   ? TAccessRole::ListItem
                     : role == ATK_ROLE_STATUSBAR ? TAccessRole::Reading
                                                  : TAccessRole::PushButton;
            atk_component_get_extents(ATK_COMPONENT(object), &a.X, &a.Y, &a.W, &a.H, ATK_XY_WINDOW);
            AtkStateSet* states = atk_object_ref_state_set(object);
            a.Unavailable = !atk_state_set_contains_state(states, ATK_STATE_ENABLED);
            a.Focused = atk_state_set_contains_state(states, ATK_STATE_FOCUSED);
            a.Selected = atk_state_set_contains_state(states, ATK_STATE_SELECTED);
            g_object_unref(states);
            shown.push_back(a);
            g_object_unref(object);
        }
        return shown;
    }
    bool DoDefaultAction(const std::string& sjis) override {
        bool done = false;
        const std::string name = Os.SjisToUtf8(sjis);
        for (AtkObject* object : PaintedObjects()) {
            const char* has = atk_object_get_name(object);
            if (!done && has && name == has && ATK_IS_ACTION(object) &&
                atk_action_get_n_actions(ATK_ACTION(object)) > 0)
                done = atk_action_do_action(ATK_ACTION(object), 0);
            g_object_unref(object);
        }
        return done;
    }

    // The painted objects among the drawing widget's ATK children, each referenced.
    static std::vector<AtkObject*> PaintedObjects() {
        std::vector<AtkObject*> found;
        GtkWidget* window = MainWindow();
        GtkWidget* layout = window ? gtk_bin_get_child(GTK_BIN(window)) : nullptr;
        if (!layout || !GTK_IS_LAYOUT(layout)) return found;
        AtkObject* container = gtk_widget_get_accessible(layout);
        const gint n = atk_object_get_n_accessible_children(container);
        for (gint i = 0; i < n; ++i) {
            AtkObject* child = atk_object_ref_accessible_child(container, i);
            if (!child) continue;
            const AtkRole role = atk_object_get_role(child);
            if (role == ATK_ROLE_PUSH_BUTTON || role == ATK_ROLE_LIST_ITEM ||
                role == ATK_ROLE_STATUSBAR)
                found.push_back(child);
            else
                g_object_unref(child);
        }
        return found;
    }

    TPlatform& Os;
    int FChoice = -1;
    int FTries = 0;
    guint FMenuSource = 0;
    std::vector<TShownItem> FShown;
};
}  // namespace

std::unique_ptr<TBackendProbe> CreateBackendProbe(TPlatform& os) {
    return std::make_unique<TGtkProbe>(os);
}
