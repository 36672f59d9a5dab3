// The main window on the page: its life, the loop over the page's events, its place,
// its scale for the device's pixel ratio, its shape and the pixels it shows.
#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/RegionSet.h"
#include "platform/web/WebPlatform.h"

namespace {
// Waits until the page has queued an event (the program is suspended meanwhile).
EM_ASYNC_JS(void, sw_wait_event, (), { await SW.waitEvent(); });

// The oldest queued event into `out` (nine numbers); false when none is queued.
EM_JS(int, sw_take_event, (int32_t * out), {
    const ev = SW.takeEvent();
    if (!ev) return 0;
    HEAP32.set(ev, out >> 2);
    return 1;
});

EM_JS(void, sw_viewport, (double* out), {
    const v = SW.viewport();
    HEAPF64.set(v, out >> 3);
});

EM_JS(int, sw_rescale_wanted, (), {
    const wanted = SW.rescaleWanted;
    SW.rescaleWanted = false;
    return wanted ? 1 : 0;
});

// 0x00RRGGBB words (a picture's) to a canvas's red, green, blue, alpha bytes; `to` may
// be `from`.
void ToCanvasBytes(const uint32_t* from, int count, uint32_t* to) {
    for (int i = 0; i < count; ++i) {
        const uint32_t c = from[i];
        to[i] = 0xFF000000u | ((c >> 16) & 0xFF) | (c & 0xFF00) | ((c & 0xFF) << 16);
    }
}

constexpr int kEventPaint = 1, kEventTimer = 2, kEventMouseDown = 3, kEventMouseMove = 4,
              kEventMouseUp = 5, kEventKeyDown = 6, kEventKeyUp = 7, kEventMemoChange = 8,
              kEventMemoMouseDown = 9, kEventAccAction = 10, kEventAccFocus = 11;

TMouseButton ButtonOf(int b) {
    return b == 1 ? TMouseButton::Right : b == 2 ? TMouseButton::Middle : TMouseButton::Left;
}

TShiftState ShiftOf(int bits) {
    TShiftState s;
    s.Shift = (bits & 1) != 0;
    s.Ctrl = (bits & 2) != 0;
    s.Alt = (bits & 4) != 0;
    return s;
}

TControl ControlOf(int c) {
    return c >= 1 && c <= 5 ? static_cast<TControl>(c) : TControl::Form;
}
}  // namespace

void TWebPlatform::CreateMainWindow(TWindowEvents* events, int width, int height) {
    FEvents = events;
    FWidth = width;
    FHeight = height;
    FCreated = true;
    FMirror.SetSize(width, height);
    ChooseScale();
}

void TWebPlatform::ChooseScale() {
    double v[3] = {0, 0, 1};
    sw_viewport(v);
    const double ratio = v[2] > 0 ? v[2] : 1.0;
    const int workW = static_cast<int>(std::lround(v[0] * ratio));
    const int workH = static_cast<int>(std::lround(v[1] * ratio));
    FScale = TWindowScale::Choose(static_cast<int>(std::lround(96 * ratio)), workW, workH, FWidth,
                                  FHeight);
    // The scale never goes below 100 %: on a screen narrower than the window (a phone)
    // the page shrinks the whole window to fit, rather than leave part of it off-screen.
    FFit = 1.0;
    if (workW > 0 && FScale.PhysicalWidth() > workW)
        FFit = std::min(FFit, static_cast<double>(workW) / FScale.PhysicalWidth());
    if (workH > 0 && FScale.PhysicalHeight() > workH)
        FFit = std::min(FFit, static_cast<double>(workH) / FScale.PhysicalHeight());
    FPhysical.assign(static_cast<size_t>(FScale.PhysicalWidth()) * FScale.PhysicalHeight(),
                     0xFF000000u);
    EM_ASM({ SW.sizeWindow($0, $1, $2, $3); }, FScale.PhysicalWidth(), FScale.PhysicalHeight(),
           FWidth, FHeight);
    PlaceWindow();
}

void TWebPlatform::PlaceWindow() {
    int w = 0, h = 0;
    GetWindowSize(w, h);
    EM_ASM({ SW.placeWindow($0, $1, $2, $3); }, FLeft, FTop, w, h);
}

void TWebPlatform::ShowMainWindow() {
    if (!FCreated || FDestroyed) return;
    EM_ASM(SW.showWindow());
    // The wish box is first in the tab order: a shown window gives it the focus.
    EM_ASM({
        const m = SW.memo();
        if (!m.hidden) SW.focusMemo();
    });
}

void TWebPlatform::RunMessageLoop() {
    TPageEvent e{};
    while (FCreated && !FDestroyed) {
        if (!sw_take_event(&e.Type)) {
            sw_wait_event();
            continue;
        }
        Deliver(e);
    }
}

void TWebPlatform::DeliverQueued() {
    TPageEvent e{};
    while (FCreated && !FDestroyed && sw_take_event(&e.Type)) Deliver(e);
}

void TWebPlatform::Deliver(const TPageEvent& e) {
    if (e.Type == kEventMouseDown || e.Type == kEventMouseMove || e.Type == kEventMouseUp ||
        e.Type == kEventMemoMouseDown) {
        FMouseX = e.ScreenX;
        FMouseY = e.ScreenY;
    }
    const TControl control = ControlOf(e.Control);
    const TShiftState shift = ShiftOf(e.Shift);
    int x = 0, y = 0;
    ToControl(control, e.X, e.Y, x, y);
    switch (e.Type) {
        case kEventPaint:
            if (sw_rescale_wanted()) ChooseScale();
            Dispatch([this] { FEvents->FormPaint(); });
            break;
        case kEventTimer:
            Dispatch([this] { FEvents->Timer1Timer(); });
            break;
        case kEventMouseDown:
            Dispatch([&] { FEvents->FormMouseDown(control, ButtonOf(e.Button), shift, x, y); });
            break;
        case kEventMouseMove:
            Dispatch([&] { FEvents->FormMouseMove(control, shift, x, y); });
            break;
        case kEventMouseUp:
            Dispatch([&] { FEvents->FormMouseUp(control, ButtonOf(e.Button), shift, x, y); });
            break;
        case kEventKeyDown:
        case kEventKeyUp: {
            int key = e.Key;
            if (e.Type == kEventKeyDown)
                Dispatch([&] { FEvents->FormKeyDown(control, key, shift); });
            else
                Dispatch([&] { FEvents->FormKeyUp(control, key, shift); });
            break;
        }
        case kEventMemoChange:
            Dispatch([this] { FEvents->Memo1Change(); });
            break;
        case kEventMemoMouseDown:
            Dispatch([&] { FEvents->Memo1MouseDown(ButtonOf(e.Button), shift, x, y); });
            break;
        case kEventAccAction:
            Dispatch([&] { FEvents->AccessibleAction(e.Key); });
            break;
        case kEventAccFocus:
            Dispatch([&] { FEvents->AccessibleFocus(e.Key); });
            break;
        default:
            break;
    }
}

void TWebPlatform::ToControl(TControl control, int physX, int physY, int& x, int& y) const {
    x = FScale.ToLogical(physX);
    y = FScale.ToLogical(physY);
    const auto place = FPlaces.find(control);
    if (control != TControl::Form && place != FPlaces.end()) {
        x -= place->second.X;
        y -= place->second.Y;
    }
}

void TWebPlatform::CloseMainWindow() {
    if (!FCreated || FDestroyed) return;
    FHandlers.Close([this] { DestroyWindow(); });
}

void TWebPlatform::DestroyWindow() {
    if (!FCreated || FDestroyed) return;
    FHandlers.Destroying();
    // The handler still sees the window and its controls; then they go.
    if (FEvents) FEvents->FormDestroy();
    FDestroyed = true;
    // The controls went with the window: their texts read empty and nothing set takes.
    FPlaces.clear();
    EM_ASM(SW.closed());
}

void TWebPlatform::SetWindowPos(int left, int top) {
    FLeft = left;
    FTop = top;
    if (FCreated) PlaceWindow();
}

void TWebPlatform::GetWindowPos(int& left, int& top) {
    left = FLeft;
    top = FTop;
}

void TWebPlatform::GetWindowSize(int& width, int& height) {
    width = static_cast<int>(std::lround(FScale.PhysicalWidth() * FFit));
    height = static_cast<int>(std::lround(FScale.PhysicalHeight() * FFit));
}

void TWebPlatform::MinimiseApplication() {
    EM_ASM(SW.minimise());
}

void TWebPlatform::SetWindowRegion(TRegionHandle region) {
    if (FRegion && FRegion != region) DeleteRegion(FRegion);
    FRegion = region;
    // The shape clips the window's elements, their presses included: outside it the
    // page shows, and takes the presses.
    std::string path;
    if (region) {
        for (const TRegionRect& r : static_cast<TRegionSet*>(region)->Rects())
            path += "M" + std::to_string(r.Left) + " " + std::to_string(r.Top) + "H" +
                    std::to_string(r.Right) + "V" + std::to_string(r.Bottom) + "H" +
                    std::to_string(r.Left) + "Z";
        if (path.empty()) path = "M0 0Z";
    }
    EM_ASM({ SW.setShape(UTF8ToString($0)); }, path.c_str());
}

void TWebPlatform::GetScreenSize(int& width, int& height) {
    // The page's viewport, as the window is placed in it.
    double v[3] = {0, 0, 1};
    sw_viewport(v);
    width = static_cast<int>(std::lround(v[0] * v[2]));
    height = static_cast<int>(std::lround(v[1] * v[2]));
}

std::vector<TScreenRect> TWebPlatform::MonitorWorkAreas() {
    int w = 0, h = 0;
    GetScreenSize(w, h);
    return {TScreenRect{0, 0, w, h}};
}

TScreenRect TWebPlatform::NearestWorkArea(const TScreenRect& rect) {
    return NearestArea(rect, MonitorWorkAreas());
}

void TWebPlatform::GetMousePos(int& x, int& y) {
    x = FMouseX;
    y = FMouseY;
}

void TWebPlatform::Present(const TPicture& pic, int sx, int sy, int w, int h, int dx, int dy) {
    if (!FCreated || FDestroyed || pic.Empty() || FPhysical.empty()) return;
    const double start = emscripten_get_now();
    if (!ClipCopy(sx, sy, w, h, pic.Width, pic.Height, dx, dy, FMirror.Width, FMirror.Height))
        return;
    const int stride = FScale.PhysicalWidth();
    TPhysicalRect r;
    if (FScale.Identity()) {
        // One pass: the picture's 0x00RRGGBB words straight to the canvas's red, green,
        // blue, alpha bytes. The mirror of program pixels, which only a scaled window
        // reads, is left as it is: a change of scale repaints the whole window.
        r = {dx, dy, w, h};
        for (int row = 0; row < h; ++row)
            ToCanvasBytes(pic.Row(sy + row) + sx, w,
                          FPhysical.data() + static_cast<size_t>(dy + row) * stride + dx);
    } else {
        for (int row = 0; row < h; ++row)
            std::copy_n(pic.Row(sy + row) + sx, w, FMirror.Row(dy + row) + dx);
        r = PresentScaled(FMirror, FScale, dx, dy, w, h, FPhysical.data(), stride);
        for (int row = r.Y; row < r.Y + r.H; ++row) {
            uint32_t* p = FPhysical.data() + static_cast<size_t>(row) * stride + r.X;
            ToCanvasBytes(p, r.W, p);
        }
    }
    if (r.W > 0 && r.H > 0) {
        EM_ASM({ SW.present($0, $1, $2, $3, $4); }, FPhysical.data(), r.X, r.Y, r.W, r.H);
        EM_ASM({ SW.notePresent($0, $1, $2); }, emscripten_get_now() - start, r.W, r.H);
    }
}

void TWebPlatform::StartTimer(int intervalMs) {
    if (!FCreated || FDestroyed) return;
    EM_ASM({ SW.startTimer($0); }, intervalMs);
}
