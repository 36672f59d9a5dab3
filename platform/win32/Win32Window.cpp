// The main window: a borderless popup the size of the picture, painted only from the
// program's back buffer, with the 10 ms timer and mouse capture for drags.
#include <cstring>

#include "common/Errors.h"
#include "platform/win32/Win32Platform.h"

#include <imm.h>
#include <windowsx.h>

// Also named by the installer's "is it running" check (packaging/NSIS.template.in).
const wchar_t kMainClass[] = L"SablewickMainWindow";

namespace {
constexpr UINT_PTR kTimerId = 1;
// Posted by CloseMainWindow while a handler of the window is still running.
constexpr UINT kDestroyLater = WM_APP + 1;

TShiftState ShiftFromMouse(WPARAM wp) {
    TShiftState s;
    s.Shift = (wp & MK_SHIFT) != 0;
    s.Ctrl = (wp & MK_CONTROL) != 0;
    // Mouse messages carry no Alt flag; the key state at the time of the message does.
    s.Alt = GetKeyState(VK_MENU) < 0;
    return s;
}
}  // namespace

TShiftState ShiftFromKeyboard() {
    TShiftState s;
    s.Shift = GetKeyState(VK_SHIFT) < 0;
    s.Ctrl = GetKeyState(VK_CONTROL) < 0;
    s.Alt = GetKeyState(VK_MENU) < 0;
    return s;
}

void TWin32Platform::CreateMainWindow(TWindowEvents* events, int width, int height) {
    if (FMain) return;
    static bool registered = false;
    if (!registered) {
        WNDCLASSEXW wc;
        std::memset(&wc, 0, sizeof wc);
        wc.cbSize = sizeof wc;
        // No CS_DBLCLKS: a quick second press is a press like any other.
        wc.style = 0;
        wc.lpfnWndProc = MainProc;
        wc.hInstance = FInstance;
        wc.hIcon = LoadIconW(FInstance, L"MAINICON");
        wc.hIconSm = static_cast<HICON>(LoadImageW(FInstance, L"MAINICON", IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON),
                                                   GetSystemMetrics(SM_CYSMICON), 0));
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        // Hollow: the system never erases the window; FormPaint covers all of it.
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH));
        wc.lpszClassName = kMainClass;
        if (!RegisterClassExW(&wc)) ThrowWin32Error("RegisterClassEx");
        registered = true;
    }
    FEvents = events;
    FWidth = width;
    FHeight = height;
    FScale = TWindowScale(1.0, width, height);
    // WS_POPUP without a caption: no border at all, so the window rectangle is the
    // client rectangle and region pixel (x, y) is client pixel (x, y). WS_SYSMENU and
    // WS_MINIMIZEBOX give the taskbar button its minimise and close commands;
    // WS_CLIPCHILDREN keeps back-buffer copies from painting over the labels.
    const DWORD style = WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX;
    FMain = CreateWindowExW(WS_EX_APPWINDOW, kMainClass, FTitle.c_str(), style, 0, 0, width, height,
                            nullptr, nullptr, FInstance, this);
    if (!FMain) {
        FEvents = nullptr;
        ThrowWin32Error("CreateWindowEx");
    }
    // Only the wish box takes typed text. Without an input context of its own, a key
    // pressed over the window itself (the card index) never opens a composition window
    // on this borderless window.
    ImmAssociateContext(FMain, nullptr);
    // Sized for the monitor it starts on; the program keeps its own pixels.
    HMONITOR monitor = MonitorFromWindow(FMain, MONITOR_DEFAULTTOPRIMARY);
    ChooseScale(monitor, MonitorDpi(monitor));
    if (!FScale.Identity())
        ::SetWindowPos(FMain, nullptr, 0, 0, FScale.PhysicalWidth(), FScale.PhysicalHeight(),
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWin32Platform::ShowMainWindow() {
    if (!FMain) return;
    ShowWindow(FMain, SW_SHOW);
    UpdateWindow(FMain);
    SetForegroundWindow(FMain);
}

void TWin32Platform::RunMessageLoop() {
    MSG msg;
    for (;;) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    // A loop ended by anything but the window's own destruction still ends with it, so
    // the program's destroy handler runs while the window exists.
    DestroyMainWindow();
}

void TWin32Platform::CloseMainWindow() {
    if (!FMain) return;
    // Destroying the window inside one of its own handlers (the close button's press
    // arrives in a label's or the window's mouse handler) would pull the window out from
    // under the code still running there; the loop destroys it next instead.
    if (FDispatchDepth > 0)
        PostMessageW(FMain, kDestroyLater, 0, 0);
    else
        DestroyMainWindow();
}

void TWin32Platform::DestroyMainWindow() {
    if (FMain) DestroyWindow(FMain);
}

void TWin32Platform::SetWindowPos(int left, int top) {
    if (!FMain) return;
    ::SetWindowPos(FMain, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWin32Platform::GetWindowSize(int& width, int& height) {
    width = FScale.PhysicalWidth();
    height = FScale.PhysicalHeight();
}

void TWin32Platform::GetWindowPos(int& left, int& top) {
    left = 0;
    top = 0;
    if (!FMain) return;
    if (IsIconic(FMain)) {
        // A minimised window sits at (-32000, -32000); the position the user sees when
        // it comes back is its normal placement, given in work-area coordinates.
        WINDOWPLACEMENT wp;
        wp.length = sizeof wp;
        if (GetWindowPlacement(FMain, &wp)) {
            RECT work;
            SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
            left = wp.rcNormalPosition.left + work.left;
            top = wp.rcNormalPosition.top + work.top;
            return;
        }
    }
    RECT r;
    if (!GetWindowRect(FMain, &r)) return;
    left = r.left;
    top = r.top;
}

void TWin32Platform::MinimiseApplication() {
    if (FMain) ShowWindow(FMain, SW_MINIMIZE);
}

bool TWin32Platform::IsTopmost() {
    return FMain && (GetWindowLongW(FMain, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

void TWin32Platform::SetTopmost(bool topmost) {
    if (!FMain) return;
    ::SetWindowPos(FMain, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWin32Platform::SetWindowRegion(TRegionHandle region) {
    HRGN rgn = static_cast<HRGN>(region);
    if (!FScale.Identity() && rgn) {
        // The program's shape is in its own pixels: kept, and shown at the window's scale.
        const DWORD size = GetRegionData(rgn, 0, nullptr);
        FShapeData.assign(size, 0);
        if (size == 0 ||
            GetRegionData(rgn, size, reinterpret_cast<RGNDATA*>(FShapeData.data())) != size)
            FShapeData.clear();
        DeleteObject(rgn);
        ApplyWindowShape();
        return;
    }
    FShapeData.clear();
    if (rgn) {
        const DWORD size = GetRegionData(rgn, 0, nullptr);
        std::vector<char> data(size);
        if (size && GetRegionData(rgn, size, reinterpret_cast<RGNDATA*>(data.data())) == size)
            FShapeData = std::move(data);
    }
    // The system owns a region it accepted; one it refused is still ours to delete.
    if (!FMain || !SetWindowRgn(FMain, rgn, TRUE)) {
        if (rgn) DeleteObject(rgn);
    }
}

void TWin32Platform::GetScreenSize(int& width, int& height) {
    width = GetSystemMetrics(SM_CXSCREEN);
    height = GetSystemMetrics(SM_CYSCREEN);
}

namespace {
TScreenRect FromRect(const RECT& r) {
    TScreenRect s;
    s.Left = r.left;
    s.Top = r.top;
    s.Right = r.right;
    s.Bottom = r.bottom;
    return s;
}

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    MONITORINFO info;
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info))
        reinterpret_cast<std::vector<TScreenRect>*>(data)->push_back(FromRect(info.rcWork));
    return TRUE;
}
}  // namespace

std::vector<TScreenRect> TWin32Platform::MonitorWorkAreas() {
    std::vector<TScreenRect> areas;
    EnumDisplayMonitors(nullptr, nullptr, AddWorkArea, reinterpret_cast<LPARAM>(&areas));
    return areas;
}

TScreenRect TWin32Platform::NearestWorkArea(const TScreenRect& rect) {
    const RECT r = {rect.Left, rect.Top, rect.Right, rect.Bottom};
    MONITORINFO info;
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &info))
        return FromRect(info.rcWork);
    // No monitor answers: the primary screen's work area.
    RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return FromRect(work);
}

void TWin32Platform::GetMousePos(int& x, int& y) {
    // Where the pointer was when the message being handled was posted, not where it is
    // now: on a busy machine the pointer has moved on by the time a press is handled,
    // and a drag grabbed at the later point would jump by the difference.
    const DWORD pos = GetMessagePos();
    x = GET_X_LPARAM(pos);
    y = GET_Y_LPARAM(pos);
}

void TWin32Platform::StartTimer(int intervalMs) {
    if (!FMain) return;
    FTimer = SetTimer(FMain, kTimerId, static_cast<UINT>(intervalMs), nullptr);
}

void TWin32Platform::Present(const TPicture& pic, int sx, int sy, int w, int h, int dx, int dy) {
    if (!FMain || pic.Empty() || FWidth <= 0 || FHeight <= 0) return;
    if (!ClipCopy(sx, sy, w, h, pic.Width, pic.Height, dx, dy, FWidth, FHeight)) return;

    // What the window shows is kept in the program's pixels: every picture (the back
    // buffer, the sparkle square) lands there at its window position, and the physical
    // pixels are drawn from it, so a neighbour of a changed pixel is always at hand and
    // a new scale can draw everything again.
    if (FMirror.Width != FWidth || FMirror.Height != FHeight) FMirror.SetSize(FWidth, FHeight);
    CopyRect(pic, sx, sy, w, h, FMirror, dx, dy);
    // A hidden window shows nothing, and the system paints all of it once it is shown:
    // until then the pictures only gather in the mirror.
    if (!IsWindowVisible(FMain)) {
        FMirrorUnshown = true;
        return;
    }
    ShowMirror(dx, dy, w, h);
}

void TWin32Platform::ShowMirror(int x, int y, int w, int h) {
    const int physW = FScale.PhysicalWidth(), physH = FScale.PhysicalHeight();
    if (!FDib) {
        if (!FMemDC) {
            FMemDC = CreateCompatibleDC(nullptr);
            if (!FMemDC) return;
        }
        BITMAPINFO bi;
        std::memset(&bi, 0, sizeof bi);
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = physW;
        bi.bmiHeader.biHeight = -physH;  // top-down, like our pictures
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!dib) return;
        FDib = dib;
        FOldBitmap = SelectObject(FMemDC, FDib);
        FDibBits = static_cast<uint32_t*>(bits);
        FDibWidth = physW;
    }
    // GDI may still be drawing from the section; finish that before its bits change.
    GdiFlush();
    // A 32-bit DIB stores blue, green, red, unused: the byte order of 0x00RRGGBB. At
    // 100 % this is a plain copy.
    const TPhysicalRect r = PresentScaled(FMirror, FScale, x, y, w, h, FDibBits, FDibWidth);
    if (r.W <= 0 || r.H <= 0) return;
    HDC dc = FPaintDC ? FPaintDC : GetDC(FMain);
    if (!dc) return;
    BitBlt(dc, r.X, r.Y, r.W, r.H, FMemDC, r.X, r.Y, SRCCOPY);
    if (!FPaintDC) ReleaseDC(FMain, dc);
}

LRESULT CALLBACK TWin32Platform::MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        static_cast<TWin32Platform*>(cs->lpCreateParams)->FMain = hwnd;
    }
    auto* self = reinterpret_cast<TWin32Platform*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    ++self->FDispatchDepth;
    const LRESULT result = self->HandleMain(msg, wp, lp);
    --self->FDispatchDepth;
    return result;
}

LRESULT TWin32Platform::HandleMain(UINT msg, WPARAM wp, LPARAM lp) {
    HWND hwnd = FMain;
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_TIMER:
            if (wp == kTimerId) Deliver([this] { FEvents->Timer1Timer(); });
            return 0;
        case WM_CLOSE:
            if (FEvents)
                Deliver([this] { FEvents->FormCloseQuery(); });
            else
                DestroyWindow(hwnd);
            return 0;
        case kDestroyLater:
            DestroyWindow(hwnd);
            return 0;
        case kAccessibleRequest:
            OnAccessibleRequest(wp, lp);
            return 0;
        case WM_GETOBJECT:
            return AnswerGetObject(wp, lp);
        case WM_DESTROY:
            OnDestroy();
            return 0;
        case WM_DPICHANGED:
            OnDpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
            return 0;
        case WM_QUERYENDSESSION:
            // The program never holds up a sign-out, shutdown or restart.
            return TRUE;
        case WM_ENDSESSION:
            // The process may be ended as soon as this returns, with no WM_DESTROY:
            // the settings are written now. No box, no sound, nothing that waits.
            if (wp && FEvents) FEvents->FormEndSession();
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            FMain = nullptr;
            return DefWindowProcW(hwnd, msg, wp, lp);
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
        case WM_MOUSEMOVE:
            ForwardMouse(TControl::Form, hwnd, msg, wp, lp);
            return 0;
        case WM_CAPTURECHANGED:
            OnCaptureLost(reinterpret_cast<HWND>(lp));
            return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            // Keys reach the window itself when the wish box is hidden (the card index) or
            // a painted button has the focus.
            int key = static_cast<int>(wp);
            Deliver([&] { FEvents->FormKeyDown(TControl::Form, key, ShiftFromKeyboard()); });
            if (key == 0) DropTypedCharacter(hwnd);
            if (msg == WM_SYSKEYDOWN && key != 0)
                return DefWindowProcW(hwnd, msg, static_cast<WPARAM>(key), lp);
            return 0;
        }
        case WM_KEYUP:
        case WM_SYSKEYUP: {
            int key = static_cast<int>(wp);
            Deliver([&] { FEvents->FormKeyUp(TControl::Form, key, ShiftFromKeyboard()); });
            if (msg == WM_SYSKEYUP && key != 0)
                return DefWindowProcW(hwnd, msg, static_cast<WPARAM>(key), lp);
            return 0;
        }
        case WM_SETCURSOR:
            if (SetCursorFor(reinterpret_cast<HWND>(wp), lp)) return TRUE;
            break;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT: {
            HBRUSH brush = ColourControl(reinterpret_cast<HWND>(lp), reinterpret_cast<HDC>(wp));
            if (brush) return reinterpret_cast<LRESULT>(brush);
            break;
        }
        case WM_COMMAND: {
            TChild* memo = Child(TControl::Memo1);
            if (memo && reinterpret_cast<HWND>(lp) == memo->Hwnd && HIWORD(wp) == EN_CHANGE) {
                // SetMemoText reports its own change once, whatever the control does; and
                // the control reports a key refused at its limit as a change too, which is
                // none.
                if (FSettingMemoText) return 0;
                const std::string text = MemoText();
                if (text == FReportedMemoText) return 0;
                FReportedMemoText = text;
                Deliver([this] { FEvents->Memo1Change(); });
                return 0;
            }
            break;
        }
        case WM_ACTIVATE:
            // The wish box is first in the tab order: it gets the keyboard whenever the
            // window becomes active and the box is shown.
            if (LOWORD(wp) != WA_INACTIVE) {
                TChild* memo = Child(TControl::Memo1);
                // A painted button had it: the window keeps the keyboard for it.
                if (FWindowHasFocus) {
                    SetFocus(hwnd);
                    return 0;
                }
                if (memo && IsWindowVisible(memo->Hwnd)) {
                    SetFocus(memo->Hwnd);
                    return 0;
                }
            }
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void TWin32Platform::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(FMain, &ps);
    // Painting only copies the back buffer, so it goes on even under an error box of
    // ours.
    if (FEvents && dc) {
        FPaintDC = dc;
        // What was presented while the window was hidden.
        if (FMirrorUnshown && !FMirror.Empty()) ShowMirror(0, 0, FMirror.Width, FMirror.Height);
        FMirrorUnshown = false;
        const int saved = FModalDepth;
        FModalDepth = 0;
        Deliver([this] { FEvents->FormPaint(); });
        FModalDepth = saved;
        FPaintDC = nullptr;
    }
    EndPaint(FMain, &ps);
}

void DropTypedCharacter(HWND hwnd) {
    // TranslateMessage has already queued the character of a key the program took for
    // itself (Tab, Space on a button): it must not be typed too.
    MSG typed;
    while (PeekMessageW(&typed, hwnd, WM_CHAR, WM_CHAR, PM_REMOVE)) {
    }
}

void TWin32Platform::OnDestroy() {
    // Sent before any child is destroyed: the program's destroy handler reads the wish
    // box and the window's position here, and nothing reaches the program after it. It
    // runs under an error box of ours too (the session or the taskbar may close the
    // window while one is open).
    if (FTimer) KillTimer(FMain, kTimerId);
    FTimer = 0;
    if (FEvents) {
        const int saved = FModalDepth;
        FModalDepth = 0;
        Deliver([this] { FEvents->FormDestroy(); });
        FModalDepth = saved;
        FEvents = nullptr;
    }
    ForgetAccessible();
    PostQuitMessage(0);
}

void TWin32Platform::OnDpiChanged(int dpi, const RECT& suggested) {
    // Moved to a monitor of another resolution: Windows suggests where the window goes;
    // its size is ours to choose by the same rule as at start.
    ChooseScale(MonitorFromRect(&suggested, MONITOR_DEFAULTTONEAREST), dpi);
    ::SetWindowPos(FMain, nullptr, suggested.left, suggested.top, FScale.PhysicalWidth(),
                   FScale.PhysicalHeight(), SWP_NOZORDER | SWP_NOACTIVATE);
    ApplyScale();
}

void TWin32Platform::OnCaptureLost(HWND taker) {
    // Someone else took the mouse in mid-drag: end the drag as a release would, or the
    // program would wait for a release that never comes.
    if (!FCaptureHwnd || taker == FCaptureHwnd) return;
    const TControl sender = FCaptureSender;
    const TMouseButton button = FCaptureButton;
    FCaptureHwnd = nullptr;
    POINT p = {0, 0};
    GetCursorPos(&p);
    TChild* child = Child(sender);
    HWND target = (sender == TControl::Form || !child) ? FMain : child->Hwnd;
    ScreenToClient(target, &p);
    int x = p.x, y = p.y;
    ToProgramPoint(sender, x, y);
    Deliver([&] { FEvents->FormMouseUp(sender, button, ShiftFromKeyboard(), x, y); });
}

bool TWin32Platform::ForwardMouse(TControl sender, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    // Signed: while the mouse is captured, positions left of or above the window are
    // negative.
    int x = GET_X_LPARAM(lp);
    int y = GET_Y_LPARAM(lp);
    ToProgramPoint(sender, x, y);
    const TShiftState shift = ShiftFromMouse(wp);
    TMouseButton button = TMouseButton::Left;
    bool down = false, up = false;
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            down = true;
            button = TMouseButton::Left;
            break;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            down = true;
            button = TMouseButton::Right;
            break;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            down = true;
            button = TMouseButton::Middle;
            break;
        case WM_LBUTTONUP:
            up = true;
            button = TMouseButton::Left;
            break;
        case WM_RBUTTONUP:
            up = true;
            button = TMouseButton::Right;
            break;
        case WM_MBUTTONUP:
            up = true;
            button = TMouseButton::Middle;
            break;
        case WM_MOUSEMOVE:
            break;
        default:
            return false;
    }
    if (down) {
        // The left and middle buttons drag the window, so they hold the mouse until
        // released; the right button opens a menu, which takes the mouse itself.
        if (button != TMouseButton::Right) {
            FCaptureHwnd = hwnd;
            FCaptureSender = sender;
            FCaptureButton = button;
            SetCapture(hwnd);
        }
        Deliver([&] { FEvents->FormMouseDown(sender, button, shift, x, y); });
    } else if (up) {
        if (FCaptureHwnd && FCaptureButton == button) {
            // Cleared first, so the WM_CAPTURECHANGED of our own release is not taken
            // for a lost capture.
            FCaptureHwnd = nullptr;
            ReleaseCapture();
        }
        Deliver([&] { FEvents->FormMouseUp(sender, button, shift, x, y); });
    } else {
        Deliver([&] { FEvents->FormMouseMove(sender, shift, x, y); });
    }
    return true;
}

bool TWin32Platform::SetCursorFor(HWND /*hwnd*/, LPARAM lp) {
    // The program's pointer shows over the whole client area, the wish box included;
    // over the taskbar button and elsewhere the system decides.
    if (LOWORD(lp) != HTCLIENT || !FCurrentPointer) return false;
    SetCursor(FCurrentPointer);
    return true;
}
