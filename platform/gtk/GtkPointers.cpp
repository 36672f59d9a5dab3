// Pointer shapes from the program's own cursor resources, shown over the whole window,
// the labels and the wish box included.
#include "common/Errors.h"
#include "common/MySysU.h"
#include "common/SjisTexts.h"
#include "platform/gtk/CursorImage.h"
#include "platform/gtk/GtkPlatform.h"

void TGtkPlatform::LoadPointer(int number, const std::string& name) {
    if (number < 1 || number > 8) return;
    TResourceView view;
    TCursorImage image;
    if (!FindResourceData("CURSOR", name, view) || !DecodeCursorImage(view.Data, view.Size, image))
        throw EResNotFound(Format(sjis::kResNotFound, name.c_str()));
    GdkDisplay* display = gdk_display_get_default();
    if (!display) return;
    // The pixel bytes are copied: the picture outlives this call.
    GBytes* bytes = g_bytes_new(image.Rgba.data(), image.Rgba.size());
    GdkPixbuf* pixbuf = gdk_pixbuf_new_from_bytes(bytes, GDK_COLORSPACE_RGB, TRUE, 8, image.Width,
                                                  image.Height, image.Width * 4);
    g_bytes_unref(bytes);
    GdkCursor* cursor = gdk_cursor_new_from_pixbuf(display, pixbuf, image.HotX, image.HotY);
    g_object_unref(pixbuf);
    if (FPointers[number]) g_object_unref(FPointers[number]);
    FPointers[number] = cursor;
}

void TGtkPlatform::SetPointer(int number) {
    if (number < 1 || number > 8 || !FPointers[number]) return;
    FPointer = number;
    ApplyPointer();
}

void TGtkPlatform::ApplyPointer() {
    if (!FWindow || FPointer == 0) return;
    GdkCursor* cursor = FPointers[FPointer];
    auto set = [cursor](GdkWindow* w) {
        if (w) gdk_window_set_cursor(w, cursor);
    };
    set(gtk_widget_get_window(FWindow));
    if (FLayout) set(gtk_layout_get_bin_window(GTK_LAYOUT(FLayout)));
    for (auto& entry : FChildren) {
        TChild* c = entry.second;
        if (!c->Outer || !gtk_widget_get_realized(c->Outer)) continue;
        if (c->Id == TControl::Memo1)
            set(gtk_text_view_get_window(GTK_TEXT_VIEW(c->Inner), GTK_TEXT_WINDOW_TEXT));
        else
            set(gtk_widget_get_window(c->Outer));
    }
}
