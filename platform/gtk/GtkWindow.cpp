// The main window: an undecorated, fixed-size GTK window whose layout paints the
// program's back buffer and hosts the labels and the wish box; the 10 ms timer; the
// window's place on the screen and its shape.
#include <algorithm>
#include <cstring>
#include <exception>

#include "platform/CursorImage.h"
#include "platform/WindowScale.h"
#include "platform/gtk/GtkPlatform.h"
// After our own headers: Xlib defines names such as KeyPress and None as macros.
#include <gdk/gdkx.h>
#include "platform/gtk/GtkSound.h"

namespace {
// Whether screen coordinates mean anything: on X11 they do; a Wayland client never learns
// where its window is.
bool HasScreenCoordinates() {
    return GDK_IS_X11_DISPLAY(gdk_display_get_default());
}

TScreenRect FromGdk(const GdkRectangle& r) {
    TScreenRect s;
    s.Left = r.x;
    s.Top = r.y;
    s.Right = r.x + r.width;
    s.Bottom = r.y + r.height;
    return s;
}

// Read by our own decoder: gdk-pixbuf's would first load its loader list and the icon
// module, a good part of the start-up's time and memory for one small picture.
GdkPixbuf* IconFrom(TPlatform& os) {
    TResourceView ico;
    TCursorImage image;
    if (!os.FindResourceData("ICON", "MAINICON", ico) ||
        !DecodeIconImage(ico.Data, ico.Size, image))
        return nullptr;
    // The pixel bytes are copied: the picture outlives this call.
    GBytes* bytes = g_bytes_new(image.Rgba.data(), image.Rgba.size());
    GdkPixbuf* icon = gdk_pixbuf_new_from_bytes(bytes, GDK_COLORSPACE_RGB, TRUE, 8, image.Width,
                                                image.Height, image.Width * 4);
    g_bytes_unref(bytes);
    return icon;
}
}  // namespace

TShiftState TGtkPlatform::ShiftFrom(guint state) const {
    TShiftState s;
    s.Shift = (state & GDK_SHIFT_MASK) != 0;
    s.Ctrl = (state & GDK_CONTROL_MASK) != 0;
    s.Alt = (state & GDK_MOD1_MASK) != 0;
    return s;
}

void TGtkPlatform::CreateMainWindow(TWindowEvents* events, int width, int height) {
    if (FWindow) return;
    FEvents = events;
    FWidth = width;
    FHeight = height;
    FDestroying = false;
    BuildToplevel();
    CreateMirror(gtk_widget_get_screen(FWindow));
    BuildLayout();
    ConnectWindowSignals();
    gtk_window_move(GTK_WINDOW(FWindow), FLeft, FTop);
    if (FShape) SetWindowRegion(cairo_region_copy(FShape));
    SetTopmost(FTopmost);
}

// The undecorated window of a fixed size, with the program's title and icon.
void TGtkPlatform::BuildToplevel() {
    FWindow = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    GtkWindow* window = GTK_WINDOW(FWindow);
    gtk_window_set_title(window, SjisToUtf8(FTitleSjis.empty() ? "Sablewick" : FTitleSjis).c_str());
    gtk_window_set_decorated(window, FALSE);
    gtk_window_set_resizable(window, FALSE);
    gtk_window_set_default_size(window, FWidth, FHeight);
    if (GdkPixbuf* icon = IconFrom(*this)) {
        gtk_window_set_icon(window, icon);
        g_object_unref(icon);
    }
    // Where the desktop composites windows, the pixels outside the shape are drawn
    // transparent, which is the only shape a Wayland window can have.
    GdkScreen* screen = gtk_widget_get_screen(FWindow);
    GdkVisual* rgba = gdk_screen_get_rgba_visual(screen);
    if (rgba && gdk_screen_is_composited(screen)) {
        gtk_widget_set_visual(FWindow, rgba);
        gtk_widget_set_app_paintable(FWindow, TRUE);
        FAlphaVisual = true;
    }
}

// The layout fills the window: it paints the mirror, hosts the labels and the wish box
// where the program puts them, and takes the window's own presses, moves and releases.
void TGtkPlatform::BuildLayout() {
    // A layout requests only the size it is given, whatever its children would like, so
    // a long card text can never grow the window.
    FLayout = NewAccessibleLayout(this);
    // The window's own keyboard focus, while a painted button has it.
    gtk_widget_set_can_focus(FLayout, TRUE);
    gtk_widget_set_size_request(FLayout, FWidth, FHeight);
    gtk_widget_set_app_paintable(FLayout, TRUE);
    gtk_widget_add_events(
        FLayout, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK);
    gtk_container_add(GTK_CONTAINER(FWindow), FLayout);
    gtk_widget_show(FLayout);
    g_signal_connect(
        FLayout, "draw", G_CALLBACK(+[](GtkWidget* w, cairo_t* cr, gpointer p) {
            auto* self = static_cast<TGtkPlatform*>(p);
            if (gtk_cairo_should_draw_window(cr, gtk_layout_get_bin_window(GTK_LAYOUT(w))))
                self->Draw(cr);
            return FALSE;
        }),
        this);
    g_signal_connect_after(FLayout, "size-allocate",
                           G_CALLBACK(+[](GtkWidget*, GdkRectangle*, gpointer p) {
                               static_cast<TGtkPlatform*>(p)->PlaceChildren();
                           }),
                           this);
    g_signal_connect(FLayout, "button-press-event", G_CALLBACK(OnLayoutButton), this);
    g_signal_connect(FLayout, "button-release-event", G_CALLBACK(OnLayoutButton), this);
    g_signal_connect(FLayout, "motion-notify-event", G_CALLBACK(OnLayoutMotion), this);
}

// The wish box's events bubble up to the layout too: only those of the layout's own
// window are the window's.
gboolean TGtkPlatform::OnLayoutButton(GtkWidget* layout, GdkEventButton* e, gpointer self) {
    if (e->window == gtk_layout_get_bin_window(GTK_LAYOUT(layout)))
        static_cast<TGtkPlatform*>(self)->MouseButton(TControl::Form, nullptr, e,
                                                      e->type != GDK_BUTTON_RELEASE);
    return TRUE;
}

gboolean TGtkPlatform::OnLayoutMotion(GtkWidget* layout, GdkEventMotion* e, gpointer self) {
    if (e->window == gtk_layout_get_bin_window(GTK_LAYOUT(layout)))
        static_cast<TGtkPlatform*>(self)->MouseMove(TControl::Form, nullptr, e);
    return TRUE;
}

// A window of ours that comes to exist takes the program's pointer.
void TGtkPlatform::OnRealize(GtkWidget*, gpointer self) {
    static_cast<TGtkPlatform*>(self)->ApplyPointer();
}

// What the desktop tells the window: keys, a close asked for, its destruction, where it
// was put, and a drag's mouse taken away.
void TGtkPlatform::ConnectWindowSignals() {
    g_signal_connect(FWindow, "key-press-event",
                     G_CALLBACK(+[](GtkWidget*, GdkEventKey* e, gpointer p) {
                         return static_cast<gboolean>(static_cast<TGtkPlatform*>(p)->HandleKey(e));
                     }),
                     this);
    g_signal_connect(
        FWindow, "key-release-event", G_CALLBACK(+[](GtkWidget*, GdkEventKey* e, gpointer p) {
            return static_cast<gboolean>(static_cast<TGtkPlatform*>(p)->HandleKeyRelease(e));
        }),
        this);
    // The desktop asks the window to close (a taskbar's close, Alt+F4 of the window
    // manager): the same path as the close button.
    g_signal_connect(FWindow, "delete-event", G_CALLBACK(+[](GtkWidget*, GdkEvent*, gpointer p) {
                         auto* self = static_cast<TGtkPlatform*>(p);
                         if (self->FEvents)
                             self->Deliver([self] { self->FEvents->FormCloseQuery(); });
                         else
                             self->DestroyMainWindow();
                         return TRUE;
                     }),
                     this);
    // Runs before the children are destroyed, whoever destroys the window.
    g_signal_connect(FWindow, "destroy", G_CALLBACK(+[](GtkWidget*, gpointer p) {
                         static_cast<TGtkPlatform*>(p)->FinishDestroy();
                     }),
                     this);
    g_signal_connect(FWindow, "configure-event",
                     G_CALLBACK(+[](GtkWidget*, GdkEventConfigure* e, gpointer p) {
                         auto* self = static_cast<TGtkPlatform*>(p);
                         // A window manager may place the window itself; while the
                         // program drags it, its own positions stand.
                         if (!self->FButtonHeld) {
                             self->FLeft = e->x;
                             self->FTop = e->y;
                         }
                         return FALSE;
                     }),
                     this);
    g_signal_connect(FWindow, "realize", G_CALLBACK(OnRealize), this);
    g_signal_connect(FWindow, "grab-broken-event",
                     G_CALLBACK(+[](GtkWidget*, GdkEvent*, gpointer p) {
                         static_cast<TGtkPlatform*>(p)->EndLostDrag();
                         return FALSE;
                     }),
                     this);
}

// Someone else took the mouse in mid-drag: the drag ends as a release would end it, or
// the program would wait for one forever.
void TGtkPlatform::EndLostDrag() {
    if (!FButtonHeld) return;
    FButtonHeld = false;
    int x = 0;
    int y = 0;
    GetMousePos(x, y);
    x -= FLeft;
    y -= FTop;
    Deliver([&] { FEvents->FormMouseUp(TControl::Form, TMouseButton::Left, TShiftState(), x, y); });
}

void TGtkPlatform::ShowMainWindow() {
    if (!FWindow) return;
    gtk_window_move(GTK_WINDOW(FWindow), FLeft, FTop);
    // The wish box is first in the tab order: a shown window gives it the keyboard.
    if (TChild* memo = Child(TControl::Memo1))
        if (memo->Visible) gtk_widget_grab_focus(memo->Inner);
    gtk_widget_show(FWindow);
    gtk_window_present(GTK_WINDOW(FWindow));
    // The first frame goes into the mirror before the window's first paint, which comes
    // from the main loop after this, so the window never shows an empty picture. Sent
    // after the window's mapping (the X server takes requests in order), the whole
    // picture's pixels do not hold the mapping up.
    Deliver([this] { FEvents->FormPaint(); });
}

void TGtkPlatform::RunMessageLoop() {
    if (!FWindow) return;
    FLoop = g_main_loop_new(nullptr, FALSE);
    FLoopRunning = true;
    g_main_loop_run(FLoop);
    FLoopRunning = false;
    g_main_loop_unref(FLoop);
    FLoop = nullptr;
    // A loop ended by anything but the window's destruction still ends with it.
    DestroyMainWindow();
}

void TGtkPlatform::CloseMainWindow() {
    if (!FWindow) return;
    FHandlers.Close([this] { DestroyMainWindow(); });
}

void TGtkPlatform::DestroyWhenIdle() {
    if (FDestroySource || !FWindow) return;
    FDestroySource = g_idle_add_full(
        G_PRIORITY_HIGH,
        +[](gpointer p) -> gboolean {
            auto* self = static_cast<TGtkPlatform*>(p);
            self->FDestroySource = 0;
            self->DestroyMainWindow();
            return G_SOURCE_REMOVE;
        },
        this, nullptr);
}

void TGtkPlatform::DestroyMainWindow() {
    if (FWindow && !FDestroying) gtk_widget_destroy(FWindow);
}

void TGtkPlatform::FinishDestroy() {
    if (FDestroying) return;
    FDestroying = true;
    if (FTimer) g_source_remove(FTimer);
    FTimer = 0;
    if (FEvents) {
        // The program saves its settings here, reading the wish box, which still exists.
        // It runs under an error box of ours too.
        const int saved = FModalDepth;
        FModalDepth = 0;
        Deliver([this] { FEvents->FormDestroy(); });
        FModalDepth = saved;
        FEvents = nullptr;
    }
    ForgetAccessibles();
    FHandlers.Destroying();
    if (FDestroySource) g_source_remove(FDestroySource);
    FDestroySource = 0;
    // The children go with the window, right after this handler.
    for (auto& entry : FChildren) {
        if (entry.second->Css) g_object_unref(entry.second->Css);
        delete entry.second;
    }
    FChildren.clear();
    FWindow = nullptr;
    FLayout = nullptr;
    DestroyMirror();
    if (FLoop && FLoopRunning) g_main_loop_quit(FLoop);
}

void TGtkPlatform::CreateMirror(GdkScreen* screen) {
    // Made like the root window's images: in memory shared with the X server where it
    // offers that. A present is then one copy of the rectangle into it (the card turn's
    // step costs about as much as copying its area), and painting the window is a copy
    // the server makes from that memory, where a private picture would be uploaded
    // through another shared buffer of its size at every paint. (A pixmap filled by
    // PutImage saves the 1.7 MB but costs several times a plain copy at every present.)
    FMirror = gdk_window_create_similar_image_surface(gdk_screen_get_root_window(screen),
                                                      CAIRO_FORMAT_RGB24, FWidth, FHeight, 1);
}

void TGtkPlatform::DestroyMirror() {
    if (FMirror) cairo_surface_destroy(FMirror);
    FMirror = nullptr;
}

void TGtkPlatform::Draw(cairo_t* cr) {
    cairo_surface_t* mirror = FMirror;
    if (!mirror) return;
    if (FAlphaVisual) {
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_rgba(cr, 0, 0, 0, 0);
        cairo_paint(cr);
        if (FShape) {
            gdk_cairo_region(cr, FShape);
            cairo_clip(cr);
        }
    }
    cairo_set_source_surface(cr, mirror, 0, 0);
    cairo_paint(cr);
}

void TGtkPlatform::Present(const TPicture& pic, int sx, int sy, int w, int h, int dx, int dy) {
    if (!FMirror || pic.Empty()) return;
    if (!ClipCopy(sx, sy, w, h, pic.Width, pic.Height, dx, dy, FWidth, FHeight)) return;
    // The picture's pixels are 0x00RRGGBB words, which is Cairo's RGB24: a surface over
    // them needs no conversion, and one copy puts the rectangle into the mirror.
    cairo_surface_t* source = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(const_cast<uint32_t*>(pic.Row(0))), CAIRO_FORMAT_RGB24,
        pic.Width, pic.Height, pic.Width * 4);
    cairo_t* cr = cairo_create(FMirror);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, source, dx - sx, dy - sy);
    cairo_rectangle(cr, dx, dy, w, h);
    cairo_fill(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(source);
    if (FLayout) gtk_widget_queue_draw_area(FLayout, dx, dy, w, h);
}

void TGtkPlatform::StartTimer(int intervalMs) {
    if (!FWindow) return;
    if (FTimer) g_source_remove(FTimer);
    FTimer = g_timeout_add(
        static_cast<guint>(std::max(1, intervalMs)),
        +[](gpointer p) -> gboolean {
            auto* self = static_cast<TGtkPlatform*>(p);
            self->Deliver([self] { self->FEvents->Timer1Timer(); });
            return G_SOURCE_CONTINUE;
        },
        this);
}

void TGtkPlatform::SetWindowPos(int left, int top) {
    FLeft = left;
    FTop = top;
    if (FWindow) gtk_window_move(GTK_WINDOW(FWindow), left, top);
}

void TGtkPlatform::GetWindowPos(int& left, int& top) {
    left = FLeft;
    top = FTop;
}

// GTK measures the screen in the same logical pixels as the window: on a scaled
// (high-resolution) monitor GTK itself enlarges both, so the window's size on the screen
// is its size in the program's pixels.
void TGtkPlatform::GetWindowSize(int& width, int& height) {
    width = FWidth;
    height = FHeight;
}

void TGtkPlatform::MinimiseApplication() {
    if (FWindow) gtk_window_iconify(GTK_WINDOW(FWindow));
}

void TGtkPlatform::SetTopmost(bool topmost) {
    FTopmost = topmost;
    if (FWindow) gtk_window_set_keep_above(GTK_WINDOW(FWindow), topmost);
}

void TGtkPlatform::SetWindowRegion(TRegionHandle region) {
    auto* shape = static_cast<cairo_region_t*>(region);
    if (FShape) cairo_region_destroy(FShape);
    FShape = shape;
    if (!FWindow) return;
    // Both shapes: the desktop shows through outside it, and presses there reach
    // whatever lies below.
    gtk_widget_shape_combine_region(FWindow, FShape);
    gtk_widget_input_shape_combine_region(FWindow, FShape);
    gtk_widget_queue_draw(FWindow);
}

void TGtkPlatform::GetScreenSize(int& width, int& height) {
    GdkDisplay* display = gdk_display_get_default();
    GdkMonitor* monitor = display ? gdk_display_get_primary_monitor(display) : nullptr;
    if (!monitor && display) monitor = gdk_display_get_monitor(display, 0);
    GdkRectangle r = {0, 0, 1024, 768};
    if (monitor) gdk_monitor_get_geometry(monitor, &r);
    width = r.width;
    height = r.height;
}

std::vector<TScreenRect> TGtkPlatform::MonitorWorkAreas() {
    std::vector<TScreenRect> areas;
    GdkDisplay* display = gdk_display_get_default();
    const int n = display ? gdk_display_get_n_monitors(display) : 0;
    for (int i = 0; i < n; ++i) {
        GdkRectangle r;
        gdk_monitor_get_workarea(gdk_display_get_monitor(display, i), &r);
        areas.push_back(FromGdk(r));
    }
    if (areas.empty()) {
        int w = 0, h = 0;
        GetScreenSize(w, h);
        TScreenRect s;
        s.Right = w;
        s.Bottom = h;
        areas.push_back(s);
    }
    return areas;
}

TScreenRect TGtkPlatform::NearestWorkArea(const TScreenRect& rect) {
    return NearestArea(rect, MonitorWorkAreas());
}

void TGtkPlatform::GetMousePos(int& x, int& y) {
    if (FHasEventPos) {
        x = FEventX;
        y = FEventY;
        return;
    }
    x = 0;
    y = 0;
    GdkDisplay* display = gdk_display_get_default();
    GdkSeat* seat = display ? gdk_display_get_default_seat(display) : nullptr;
    GdkDevice* pointer = seat ? gdk_seat_get_pointer(seat) : nullptr;
    if (pointer) gdk_device_get_position(pointer, nullptr, &x, &y);
}

void TGtkPlatform::LocalPoint(const TChild* child, double rootX, double rootY, double ex, double ey,
                              int& x, int& y) const {
    if (!HasScreenCoordinates()) {
        x = static_cast<int>(ex);
        y = static_cast<int>(ey);
        return;
    }
    x = static_cast<int>(rootX) - FLeft - (child ? child->X : 0);
    y = static_cast<int>(rootY) - FTop - (child ? child->Y : 0);
}

void TGtkPlatform::MouseButton(TControl sender, const TChild* child, GdkEventButton* e, bool down) {
    // A quick second press comes as a press of its own too; the double-click event
    // after it is no press for the program.
    if (e->type != GDK_BUTTON_PRESS && e->type != GDK_BUTTON_RELEASE) return;
    TMouseButton button = TMouseButton::Left;
    switch (e->button) {
        case 1:
            button = TMouseButton::Left;
            break;
        case 2:
            button = TMouseButton::Middle;
            break;
        case 3:
            button = TMouseButton::Right;
            break;
        default:
            return;
    }
    if (down && HasScreenCoordinates()) {
        // Where the window really is, as the X server reported it with this press.
        FLeft = static_cast<int>(e->x_root - e->x) - (child ? child->X : 0);
        FTop = static_cast<int>(e->y_root - e->y) - (child ? child->Y : 0);
    }
    int x = 0, y = 0;
    LocalPoint(child, e->x_root, e->y_root, e->x, e->y, x, y);
    const TShiftState shift = ShiftFrom(e->state);
    if (down) {
        // The left and middle buttons drag the window; the right one opens a menu,
        // which takes the mouse itself.
        if (button != TMouseButton::Right) FButtonHeld = true;
        DeliverPointerEvent(e->x_root, e->y_root,
                            [&] { FEvents->FormMouseDown(sender, button, shift, x, y); });
    } else {
        if (button != TMouseButton::Right) FButtonHeld = false;
        DeliverPointerEvent(e->x_root, e->y_root,
                            [&] { FEvents->FormMouseUp(sender, button, shift, x, y); });
    }
}

void TGtkPlatform::MouseMove(TControl sender, const TChild* child, GdkEventMotion* e) {
    int x = 0, y = 0;
    LocalPoint(child, e->x_root, e->y_root, e->x, e->y, x, y);
    const TShiftState shift = ShiftFrom(e->state);
    DeliverPointerEvent(e->x_root, e->y_root, [&] { FEvents->FormMouseMove(sender, shift, x, y); });
}

void TGtkPlatform::DeliverPointerEvent(double rootX, double rootY,
                                       const std::function<void()>& handler) {
    // Kept and put back: a handler may run a menu, whose own events come through here.
    const bool had = FHasEventPos;
    const int oldX = FEventX, oldY = FEventY;
    FHasEventPos = HasScreenCoordinates();
    FEventX = static_cast<int>(rootX);
    FEventY = static_cast<int>(rootY);
    Deliver(handler);
    FHasEventPos = had;
    FEventX = oldX;
    FEventY = oldY;
}

bool TGtkPlatform::ReadKey(GdkEventKey* e, bool& inMemo, int& key) {
    if (!CanDeliver()) return false;
    TChild* memo = Child(TControl::Memo1);
    inMemo = memo && gtk_window_get_focus(GTK_WINDOW(FWindow)) == memo->Inner && memo->Visible;
    // While the input method composes, its keys are its own (Enter commits the text).
    if (inMemo && FPreedit) return false;
    key = VirtualKeyOf(e->keyval);
    return key != 0;
}

bool TGtkPlatform::HandleKey(GdkEventKey* e) {
    bool inMemo = false;
    int key = 0;
    if (!ReadKey(e, inMemo, key)) return false;
    const TShiftState shift = ShiftFrom(e->state);
    // Key preview: the window sees the key before the wish box and may swallow it.
    Deliver([&] { FEvents->FormKeyDown(inMemo ? TControl::Memo1 : TControl::Form, key, shift); });
    if (key == 0 || !FWindow) return true;
    // Enter never breaks the line, and Escape, which empties the box, is not typed.
    if (inMemo && (e->keyval == GDK_KEY_Return || e->keyval == GDK_KEY_KP_Enter ||
                   e->keyval == GDK_KEY_ISO_Enter || e->keyval == GDK_KEY_Escape))
        return true;
    return false;
}

bool TGtkPlatform::HandleKeyRelease(GdkEventKey* e) {
    bool inMemo = false;
    int key = 0;
    if (!ReadKey(e, inMemo, key)) return false;
    const TShiftState shift = ShiftFrom(e->state);
    Deliver([&] { FEvents->FormKeyUp(inMemo ? TControl::Memo1 : TControl::Form, key, shift); });
    return key == 0;
}

int VirtualKeyOf(guint keyval) {
    if (keyval >= GDK_KEY_a && keyval <= GDK_KEY_z)
        return static_cast<int>(keyval - GDK_KEY_a) + 'A';
    if (keyval >= GDK_KEY_A && keyval <= GDK_KEY_Z)
        return static_cast<int>(keyval - GDK_KEY_A) + 'A';
    if (keyval >= GDK_KEY_0 && keyval <= GDK_KEY_9)
        return static_cast<int>(keyval - GDK_KEY_0) + '0';
    if (keyval >= GDK_KEY_KP_0 && keyval <= GDK_KEY_KP_9)
        return static_cast<int>(keyval - GDK_KEY_KP_0) + 0x60;
    if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F24)
        return static_cast<int>(keyval - GDK_KEY_F1) + 0x70;
    switch (keyval) {
        case GDK_KEY_BackSpace:
            return 0x08;
        case GDK_KEY_Tab:
        case GDK_KEY_ISO_Left_Tab:
            return 0x09;
        case GDK_KEY_Return:
        case GDK_KEY_KP_Enter:
        case GDK_KEY_ISO_Enter:
            return 0x0D;
        case GDK_KEY_Shift_L:
        case GDK_KEY_Shift_R:
            return 0x10;
        case GDK_KEY_Control_L:
        case GDK_KEY_Control_R:
            return 0x11;
        case GDK_KEY_Alt_L:
        case GDK_KEY_Alt_R:
            return 0x12;
        case GDK_KEY_Pause:
            return 0x13;
        case GDK_KEY_Escape:
            return 0x1B;
        case GDK_KEY_space:
            return 0x20;
        case GDK_KEY_Page_Up:
        case GDK_KEY_KP_Page_Up:
            return 0x21;
        case GDK_KEY_Page_Down:
        case GDK_KEY_KP_Page_Down:
            return 0x22;
        case GDK_KEY_End:
        case GDK_KEY_KP_End:
            return 0x23;
        case GDK_KEY_Home:
        case GDK_KEY_KP_Home:
            return 0x24;
        case GDK_KEY_Left:
        case GDK_KEY_KP_Left:
            return 0x25;
        case GDK_KEY_Up:
        case GDK_KEY_KP_Up:
            return 0x26;
        case GDK_KEY_Right:
        case GDK_KEY_KP_Right:
            return 0x27;
        case GDK_KEY_Down:
        case GDK_KEY_KP_Down:
            return 0x28;
        case GDK_KEY_Insert:
        case GDK_KEY_KP_Insert:
            return 0x2D;
        case GDK_KEY_Delete:
        case GDK_KEY_KP_Delete:
            return 0x2E;
        default:
            break;
    }
    // Any other key (punctuation, the input method's own keys) still is a key: the card
    // index closes on any key, as on Windows.
    const guint32 ch = gdk_keyval_to_unicode(keyval);
    return ch != 0 ? 0xBA : 0;
}
