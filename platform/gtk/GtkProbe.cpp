// What the widgets show, written on request (SIGUSR1) into the file named by
// SABLEWICK_GTK_PROBE: the end-to-end tests read the real labels, wish box and menu
// from it, as the Windows tests read the real controls.
#include <cstdio>

#include "platform/gtk/GtkPlatform.h"

namespace {
// One line a value: line breaks are written as "\n".
std::string OneLine(const char* text) {
    std::string out;
    for (const char* p = text ? text : ""; *p; ++p) {
        if (*p == '\n')
            out += "\\n";
        else if (*p != '\r')
            out.push_back(*p);
    }
    return out;
}
}  // namespace

void TGtkPlatform::WriteProbe() {
    const char* path = g_getenv("SABLEWICK_GTK_PROBE");
    if (!path) return;
    GString* out = g_string_new(nullptr);
    g_string_append_printf(out, "window %d %d %d %d %d\n", FLeft, FTop, FWidth, FHeight,
                           FWindow && gtk_widget_get_visible(FWindow) ? 1 : 0);
    for (auto& entry : FChildren) {
        TChild* c = entry.second;
        if (!c->Outer) continue;
        const bool shown = gtk_widget_get_visible(c->Outer);
        if (c->Id == TControl::Memo1) {
            GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(c->Inner));
            GtkTextIter start, end;
            gtk_text_buffer_get_bounds(buffer, &start, &end);
            gchar* text = gtk_text_buffer_get_text(buffer, &start, &end, FALSE);
            g_string_append_printf(out, "control Memo1 %d %d %s\n", shown ? 1 : 0,
                                   gtk_text_view_get_editable(GTK_TEXT_VIEW(c->Inner)) ? 1 : 0,
                                   OneLine(text).c_str());
            g_free(text);
        } else {
            g_string_append_printf(out, "control %s %d 0 %s\n", ControlName(c->Id), shown ? 1 : 0,
                                   OneLine(gtk_label_get_text(GTK_LABEL(c->Inner))).c_str());
        }
    }
    g_string_append_printf(out, "pointer %d\n", FPointer);
    // Whether the window took the screen's alpha visual (a compositing desktop).
    g_string_append_printf(out, "visual %s\n", FAlphaVisual ? "alpha" : "plain");
    if (FOpenMenu) {
        g_string_append(out, "menu open\n");
        GList* items = gtk_container_get_children(GTK_CONTAINER(FOpenMenu));
        for (GList* i = items; i; i = i->next) {
            GtkWidget* item = GTK_WIDGET(i->data);
            if (GTK_IS_SEPARATOR_MENU_ITEM(item)) {
                g_string_append(out, "separator\n");
                continue;
            }
            const bool checked = GTK_IS_CHECK_MENU_ITEM(item) &&
                                 gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(item));
            g_string_append_printf(out, "item %d %d %s\n", checked ? 1 : 0,
                                   gtk_widget_get_sensitive(item) ? 1 : 0,
                                   gtk_menu_item_get_label(GTK_MENU_ITEM(item)));
        }
        g_list_free(items);
    } else {
        g_string_append(out, "menu none\n");
    }
    // Whole or not at all: the reader never sees half a file.
    const std::string temp = std::string(path) + ".tmp";
    if (g_file_set_contents(temp.c_str(), out->str, static_cast<gssize>(out->len), nullptr))
        std::rename(temp.c_str(), path);
    g_string_free(out, TRUE);
}
