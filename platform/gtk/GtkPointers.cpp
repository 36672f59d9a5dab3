// Pointer shapes from the program's own cursor resources, shown over the whole window,
// the labels and the wish box included.
#include <utility>

#include "common/Errors.h"
#include "common/MySysU.h"
#include "common/SjisTexts.h"
#include "platform/CursorImage.h"
#include "platform/gtk/GtkPlatform.h"

namespace {
// The cursor of a picture, made from an image in memory as GDK makes one from a pixbuf
// (the same premultiplied pixels), but without a surface like the screen's for the
// picture: that would bring in Cairo's X11 machinery long before the window needs it.
GdkCursor* CursorFrom(GdkDisplay* display, const TCursorImage& image) {
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.Width, image.Height);
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < image.Height; ++y) {
        const uint8_t* in = image.Rgba.data() + static_cast<size_t>(y) * image.Width * 4;
        uint32_t* out = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < image.Width; ++x, in += 4) out[x] = PremultipliedArgb(in);
    }
    cairo_surface_mark_dirty(surface);
    GdkCursor* cursor = gdk_cursor_new_from_surface(display, surface, image.HotX, image.HotY);
    cairo_surface_destroy(surface);
    return cursor;
}
}  // namespace

void TGtkPlatform::LoadPointer(int number, const std::string& name) {
    if (number < 1 || number > 8) return;
    TResourceView view;
    TCursorImage image;
    if (!FindResourceData("CURSOR", name, view) || !DecodeCursorImage(view.Data, view.Size, image))
        throw EResNotFound(Format(sjis::kResNotFound, name.c_str()));
    if (!gdk_display_get_default()) return;
    // The cursor itself is made when the shape is first shown: the start shows one.
    if (FPointers[number]) g_object_unref(FPointers[number]);
    FPointers[number] = nullptr;
    FPointerImages[number] = std::move(image);
}

GdkCursor* TGtkPlatform::Pointer(int number) {
    TCursorImage& image = FPointerImages[number];
    if (!FPointers[number] && !image.Rgba.empty()) {
        FPointers[number] = CursorFrom(gdk_display_get_default(), image);
        image = TCursorImage();
    }
    return FPointers[number];
}

void TGtkPlatform::SetPointer(int number) {
    if (number < 1 || number > 8 || !Pointer(number)) return;
    FPointer = number;
    ApplyPointer();
}

void TGtkPlatform::ApplyPointer() {
    if (!FWindow || FPointer == 0) return;
    GdkCursor* cursor = Pointer(FPointer);
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
