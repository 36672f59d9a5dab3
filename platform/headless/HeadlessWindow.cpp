// The main window: its life, the dispatch of its events, its place, its shape and the
// pixels it shows.
#include "platform/headless/HeadlessPlatform.h"

#include "platform/WindowScale.h"

void THeadlessPlatform::CreateMainWindow(TWindowEvents* events, int width, int height) {
    Events = events;
    Width = width;
    Height = height;
    WindowCreated = true;
    Surface.SetSize(width, height);
}

void THeadlessPlatform::ShowMainWindow() {
    WindowShown = true;
    // The wish box is first in the tab order: a shown window gives it the focus.
    if (Memo.Visible) MemoFocused = true;
    // Showing the window asks it to paint itself.
    Dispatch([this] { Events->FormPaint(); });
}

void THeadlessPlatform::RunMessageLoop() {
    if (LoopBody) LoopBody();
    // Whatever ended the loop, it ends with the window: asked to close as the system
    // asks (the close button's path), and destroyed if it still is not.
    if (WindowCreated && Events) Dispatch([this] { Events->FormCloseQuery(); });
    DestroyWindow();
}

void THeadlessPlatform::CloseMainWindow() {
    if (!WindowCreated) return;
    CloseRequested = true;
    Handlers.Close([this] { DestroyWindow(); });
}

void THeadlessPlatform::Dispatch(const std::function<void()>& handler) {
    if (!WindowCreated || !Events) return;
    // An error escaping a handler never gets here: the program shows it itself.
    Handlers.Run(handler, [this] { DestroyWindow(); });
}

void THeadlessPlatform::DestroyWindow() {
    if (!WindowCreated) return;
    Handlers.Destroying();
    if (Events) Handlers.Run([this] { Events->FormDestroy(); }, [] {});
    // The children go with their parent, after its destroy handler.
    auto gone = [](TLabel& control) {
        control.Exists = false;
        control.Visible = false;
        control.Text.clear();
    };
    for (auto& kv : Labels) gone(kv.second);
    gone(Memo);
    MemoFocused = false;
    MemoCaretPos = 0;
    MemoIsReadOnly = true;
    WindowCreated = false;
    WindowShown = false;
    TimerInterval = 0;
    if (WindowRegion) DeleteRegion(WindowRegion);
    WindowRegion = nullptr;
    Events = nullptr;
}

void THeadlessPlatform::EndSession() {
    if (!WindowCreated || !Events) return;
    EndSessionQueried = true;  // the program never refuses
    Events->FormEndSession();
}

void THeadlessPlatform::SetWindowPos(int left, int top) {
    Left = left;
    Top = top;
}

void THeadlessPlatform::GetWindowPos(int& left, int& top) {
    left = Left;
    top = Top;
}

void THeadlessPlatform::SetTopmost(bool topmost) {
    if (Topmost != topmost) ++TopmostChanges;
    Topmost = topmost;
}

void THeadlessPlatform::SetWindowRegion(TRegionHandle region) {
    if (WindowRegion) DeleteRegion(WindowRegion);
    WindowRegion = region;
}

bool THeadlessPlatform::InShape(int x, int y) {
    if (x < 0 || y < 0 || x >= Width || y >= Height) return false;
    return WindowRegion == nullptr || RegionContains(WindowRegion, x, y);
}

void THeadlessPlatform::GetScreenSize(int& width, int& height) {
    width = ScreenWidth;
    height = ScreenHeight;
}

void THeadlessPlatform::AdvanceClock(int ms) {
    for (int t = 0; t + 10 <= ms; t += 10) {
        Tick += 10;
        FireTimer();
    }
    Tick += static_cast<uint32_t>(ms % 10);
}

void THeadlessPlatform::FireTimer() {
    if (!WindowCreated || TimerInterval == 0) return;
    Dispatch([&] { Events->Timer1Timer(); });
}

std::vector<TScreenRect> THeadlessPlatform::MonitorWorkAreas() {
    if (!Monitors.empty()) return Monitors;
    TScreenRect screen;
    screen.Right = ScreenWidth;
    screen.Bottom = ScreenHeight;
    return {screen};
}

TScreenRect THeadlessPlatform::NearestWorkArea(const TScreenRect& rect) {
    return NearestArea(rect, MonitorWorkAreas());
}

void THeadlessPlatform::GetMousePos(int& x, int& y) {
    x = MouseX;
    y = MouseY;
}

void THeadlessPlatform::Present(const TPicture& pic, int sx, int sy, int w, int h, int dx, int dy) {
    CopyRect(pic, sx, sy, w, h, Surface, dx, dy);
}
