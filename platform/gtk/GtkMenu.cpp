// The options menu: a GtkMenu built afresh each time it opens, run in a loop of its own
// until it closes, as a Windows popup menu is.
#include "platform/gtk/GtkPlatform.h"
// After our own headers: Xlib defines names such as KeyPress and None as macros.
#include <gdk/gdkx.h>

namespace {
// "&" marks the accelerator in the program's captions; GTK marks it with "_".
std::string Mnemonic(const std::string& caption) {
    std::string out;
    for (size_t i = 0; i < caption.size(); ++i) {
        const char c = caption[i];
        if (c == '&' && i + 1 < caption.size()) {
            ++i;
            out.push_back(caption[i] == '&' ? '&' : '_');
            if (caption[i] != '&') out.push_back(caption[i]);
        } else if (c == '_') {
            out += "__";
        } else {
            out.push_back(c);
        }
    }
    return out;
}

struct TMenuRun {
    GMainLoop* Loop = nullptr;
    int Chosen = -1;
};
}  // namespace

int TGtkPlatform::TrackPopupMenu(int x, int y, const TMenuEntry* entries, int count) {
    if (!FWindow || !entries || count <= 0) return -1;
    GtkWidget* menu = gtk_menu_new();
    gtk_menu_set_reserve_toggle_size(GTK_MENU(menu), TRUE);
    TMenuRun run;
    for (int i = 0; i < count; ++i) {
        const TMenuEntry& e = entries[i];
        if (e.SeparatorBefore)
            gtk_menu_shell_append(GTK_MENU_SHELL(menu), gtk_separator_menu_item_new());
        const std::string caption = Mnemonic(SjisToUtf8(e.Caption ? e.Caption : ""));
        // Only a checked item shows a check mark; the others are plain items, lined up
        // with the checked ones.
        GtkWidget* item = e.Checked ? gtk_check_menu_item_new_with_mnemonic(caption.c_str())
                                    : gtk_menu_item_new_with_mnemonic(caption.c_str());
        if (e.Checked) gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(item), TRUE);
        gtk_widget_set_sensitive(item, e.Enabled);
        g_object_set_data(G_OBJECT(item), "sablewick-index", GINT_TO_POINTER(i));
        g_signal_connect(item, "activate", G_CALLBACK(+[](GtkMenuItem* it, gpointer p) {
                             static_cast<TMenuRun*>(p)->Chosen = GPOINTER_TO_INT(
                                 g_object_get_data(G_OBJECT(it), "sablewick-index"));
                         }),
                         &run);
        gtk_menu_shell_append(GTK_MENU_SHELL(menu), item);
    }
    gtk_widget_show_all(menu);
    gtk_menu_attach_to_widget(GTK_MENU(menu), FWindow, nullptr);
    run.Loop = g_main_loop_new(nullptr, FALSE);
    // The menu closes before its item is activated: the loop ends one turn later, once
    // the choice is known.
    g_signal_connect(menu, "deactivate", G_CALLBACK(+[](GtkMenuShell*, gpointer p) {
                         // The idle holds the loop itself: it may run after this
                         // function has returned.
                         GMainLoop* loop = g_main_loop_ref(static_cast<TMenuRun*>(p)->Loop);
                         g_idle_add(
                             +[](gpointer q) -> gboolean {
                                 g_main_loop_quit(static_cast<GMainLoop*>(q));
                                 g_main_loop_unref(static_cast<GMainLoop*>(q));
                                 return G_SOURCE_REMOVE;
                             },
                             loop);
                     }),
                     &run);
    GdkEvent* trigger = gtk_get_current_event();
    GdkWindow* root = gdk_screen_get_root_window(gtk_widget_get_screen(FWindow));
    if (GDK_IS_X11_DISPLAY(gdk_display_get_default()) && root) {
        const GdkRectangle at = {x, y, 1, 1};
        gtk_menu_popup_at_rect(GTK_MENU(menu), root, &at, GDK_GRAVITY_NORTH_WEST,
                               GDK_GRAVITY_NORTH_WEST, trigger);
    } else {
        // Without screen coordinates the menu opens where the pointer is.
        gtk_menu_popup_at_pointer(GTK_MENU(menu), trigger);
    }
    if (trigger) gdk_event_free(trigger);
    FOpenMenu = menu;
    if (gtk_widget_get_visible(menu)) g_main_loop_run(run.Loop);
    FOpenMenu = nullptr;
    g_main_loop_unref(run.Loop);
    gtk_widget_destroy(menu);
    if (run.Chosen < 0 || run.Chosen >= count || !entries[run.Chosen].Enabled) return -1;
    return run.Chosen;
}
