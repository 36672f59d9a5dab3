// Display scaling: the program keeps its 737 x 584 pixels, and the window shows them at
// the scale of its monitor (platform/WindowScale.h). Everything sized in physical pixels
// is made here: the window's size and shape, the controls' places and fonts, the
// pointers' size, and the program's points mapped back from the screen.
#include "platform/win32/Win32Platform.h"

// The dots per inch of a monitor: its own where Windows tells it (8.1 and later, asked
// for by name so the program still starts where it is missing), else the system's.
int MonitorDpi(HMONITOR monitor) {
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static GetDpiForMonitorFn getDpi = reinterpret_cast<GetDpiForMonitorFn>(
        SystemFunction(LoadSystemLibrary(L"shcore.dll"), "GetDpiForMonitor"));
    UINT x = 0, y = 0;
    if (getDpi && monitor && getDpi(monitor, 0 /* MDT_EFFECTIVE_DPI */, &x, &y) == S_OK && y)
        return static_cast<int>(y);
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

void TWin32Platform::ChooseScale(HMONITOR monitor, int dpi) {
    MONITORINFO info;
    info.cbSize = sizeof info;
    int workW = 0, workH = 0;
    if (monitor && GetMonitorInfoW(monitor, &info)) {
        workW = info.rcWork.right - info.rcWork.left;
        workH = info.rcWork.bottom - info.rcWork.top;
    }
    FDpi = dpi;
    FScale = TWindowScale::Choose(dpi, workW, workH, FWidth, FHeight);
}

void TWin32Platform::ApplyScale() {
    if (!FMain) return;
    ::SetWindowPos(FMain, nullptr, 0, 0, FScale.PhysicalWidth(), FScale.PhysicalHeight(),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The picture at the new size, drawn again from what the window shows.
    if (FDib) {
        SelectObject(FMemDC, FOldBitmap);
        DeleteObject(FDib);
        FDib = nullptr;
        FDibBits = nullptr;
    }
    if (!FMirror.Empty()) {
        const TPicture shown = FMirror;
        Present(shown, 0, 0, FWidth, FHeight, 0, 0);
    }
    ApplyWindowShape();
    LayoutControls();
    for (int n = 1; n <= 8; ++n)
        if (!FPointerNames[n].empty()) LoadPointer(n, FPointerNames[n]);
    if (FCurrentPointerNumber) SetPointer(FCurrentPointerNumber);
    InvalidateRect(FMain, nullptr, FALSE);
}

void TWin32Platform::ToProgramPoint(TControl sender, int& x, int& y) {
    if (FScale.Identity()) return;
    int originX = 0, originY = 0;
    if (sender != TControl::Form) {
        if (TChild* child = Child(sender)) {
            originX = child->X;
            originY = child->Y;
        }
    }
    // From the control's corner on the screen to the window's physical pixels, then to
    // the program's pixels, then back to the control's own corner.
    x = FScale.ToLogical(FScale.Edge(originX) + x) - originX;
    y = FScale.ToLogical(FScale.Edge(originY) + y) - originY;
}

void TWin32Platform::ApplyWindowShape() {
    if (!FMain || FShapeData.size() < sizeof(RGNDATAHEADER)) return;
    if (!FScaledShape || FScaledShapeFactor != FScale.Factor()) {
        // Built once per scale: each of the program's rectangles covers the physical
        // pixels that show its pixels, by the same rule as the picture, and the last
        // row and column of the window with them.
        const auto* in = reinterpret_cast<const RGNDATA*>(FShapeData.data());
        const DWORD count = in->rdh.nCount;
        const RECT* rects = reinterpret_cast<const RECT*>(in->Buffer);
        std::vector<char> out(sizeof(RGNDATAHEADER) + count * sizeof(RECT));
        auto* data = reinterpret_cast<RGNDATA*>(out.data());
        data->rdh = in->rdh;
        RECT* to = reinterpret_cast<RECT*>(data->Buffer);
        auto edgeX = [&](LONG v) { return v >= FWidth ? FScale.PhysicalWidth() : FScale.Edge(v); };
        auto edgeY = [&](LONG v) {
            return v >= FHeight ? FScale.PhysicalHeight() : FScale.Edge(v);
        };
        for (DWORD i = 0; i < count; ++i) {
            to[i].left = edgeX(rects[i].left);
            to[i].top = edgeY(rects[i].top);
            to[i].right = edgeX(rects[i].right);
            to[i].bottom = edgeY(rects[i].bottom);
        }
        data->rdh.rcBound = {edgeX(in->rdh.rcBound.left), edgeY(in->rdh.rcBound.top),
                             edgeX(in->rdh.rcBound.right), edgeY(in->rdh.rcBound.bottom)};
        data->rdh.nRgnSize = count * sizeof(RECT);
        HRGN scaled = ExtCreateRegion(nullptr, static_cast<DWORD>(out.size()), data);
        if (!scaled) return;
        if (FScaledShape) DeleteObject(FScaledShape);
        FScaledShape = scaled;
        FScaledShapeFactor = FScale.Factor();
    }
    // The window owns what it is given: a copy of the scaled shape.
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    if (!copy) return;
    if (CombineRgn(copy, FScaledShape, nullptr, RGN_COPY) == ERROR ||
        !SetWindowRgn(FMain, copy, TRUE))
        DeleteObject(copy);
}

void TWin32Platform::PlaceChild(TChild& child) {
    // The control covers the physical pixels of its rectangle; its text is drawn by
    // Windows at the monitor's resolution, in a font of the scaled height.
    const int left = FScale.Edge(child.X), top = FScale.Edge(child.Y);
    ::SetWindowPos(child.Hwnd, nullptr, left, top, FScale.Edge(child.X + child.W) - left,
                   FScale.Edge(child.Y + child.H) - top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWin32Platform::LayoutControls() {
    for (auto& entry : FChildren) {
        TChild& child = *entry.second;
        if (!child.Hwnd) continue;
        PlaceChild(child);
        ApplyLabelStyle(child, child.Style);
    }
}
