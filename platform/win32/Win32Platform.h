#pragma once
// The Windows backend of TPlatform. This folder is the only place that includes
// <windows.h>; the program's own texts are code page 932 byte strings and its file paths
// UTF-8, and both cross into the wide-character API through the conversions of
// Win32Text.cpp.
//
// LIMITATIONS: one main window per process (the program has one); the labels and the
// wish box are children of it.
#include <exception>
#include <map>
#include <string>
#include <vector>

// The program's own interface first: some of its method names (DeleteFile, ReplaceFile,
// FindExecutable) are A/W macros in <windows.h>, undone below so they stay
// the names the rest of the program calls.
#include "platform/Platform.h"
#include "platform/WindowScale.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#undef DeleteFile
#undef ReplaceFile
#undef FindExecutable

// ---- Texts (Win32Text.cpp)
std::wstring SjisToWide(const std::string& sjis);
std::string WideToSjis(const std::wstring& wide);
std::wstring Utf8ToWide(const std::string& utf8);
std::string WideToUtf8(const std::wstring& wide);

// ---- The labels' font (Win32Controls.cpp)
// The first face of the program's list of Japanese faces that `installed` (faces with
// Shift-JIS glyphs) holds, compared without regard to case; "" when none is there.
std::wstring PickJapaneseFace(const std::vector<std::wstring>& installed);
// The faces of the system that carry the Shift-JIS character set.
std::vector<std::wstring> InstalledJapaneseFaces();
// PickJapaneseFace(InstalledJapaneseFaces()), found by asking for the list's faces.
std::wstring FirstInstalledJapaneseFace();

// A screen reader's request, posted to the main window: wParam 1 for the default action,
// 0 for the focus; lParam the object's id (Win32Accessibility.cpp).
constexpr UINT kAccessibleRequest = WM_APP + 2;

// The main window's class, by which a running instance is found (Win32Window.cpp).
extern const wchar_t kMainClass[];

// Shift, Ctrl and Alt as the keyboard holds them now (Win32Window.cpp).
TShiftState ShiftFromKeyboard();
// Takes the character TranslateMessage queued for a key the program swallowed.
void DropTypedCharacter(HWND hwnd);

// ---- System DLLs loaded at first use (Win32Libraries.cpp)
// A DLL of the system folder by its file name, searched for nowhere else; null when it
// cannot be loaded. Each module stays loaded for the life of the process.
HMODULE LoadSystemLibrary(const wchar_t* name);
// The address of a function a module exports, or null (also for a null module).
void* SystemFunction(HMODULE module, const char* name);

// The dots per inch of a monitor (Win32Scale.cpp).
int MonitorDpi(HMONITOR monitor);

// ---- Errors (Win32Error.cpp)
// "what: <system message> (code)" for the calling thread's last error.
std::string Win32ErrorText(const char* what);
// Raises EError with Win32ErrorText(what).
[[noreturn]] void ThrowWin32Error(const char* what);

class TClientAccessible;

class TWin32Platform : public TPlatform {
public:
    explicit TWin32Platform(HINSTANCE instance);
    ~TWin32Platform() override;
    TWin32Platform(const TWin32Platform&) = delete;
    TWin32Platform& operator=(const TWin32Platform&) = delete;

    // The program's path and the clock (Win32System.cpp).
    std::string ProgramPath() override;
    uint32_t TickCount() override;
    TDate Today() override;
    uint64_t ClockSeed() override;

    // Single instance (Win32Instance.cpp).
    bool ActivateRunningInstance(const std::string& caption) override;
    void SetApplicationTitle(const std::string& title) override;

    // The main window (Win32Window.cpp).
    void CreateMainWindow(TWindowEvents* events, int width, int height) override;
    void ShowMainWindow() override;
    void RunMessageLoop() override;
    void CloseMainWindow() override;
    void SetWindowPos(int left, int top) override;
    void GetWindowPos(int& left, int& top) override;
    void GetWindowSize(int& width, int& height) override;
    void MinimiseApplication() override;
    bool IsTopmost() override;
    void SetTopmost(bool topmost) override;
    void SetWindowRegion(TRegionHandle region) override;
    void GetScreenSize(int& width, int& height) override;
    std::vector<TScreenRect> MonitorWorkAreas() override;
    TScreenRect NearestWorkArea(const TScreenRect& rect) override;
    void GetMousePos(int& x, int& y) override;
    void Present(const TPicture& pic, int sx, int sy, int w, int h, int dx, int dy) override;
    void StartTimer(int intervalMs) override;

    // Labels and the wish box (Win32Controls.cpp).
    void CreateLabel(TControl id, int x, int y, int w, int h, const TLabelStyle& style) override;
    void SetLabelStyle(TControl id, const TLabelStyle& style) override;
    void SetLabelText(TControl id, const std::string& text) override;
    void SetLabelVisible(TControl id, bool visible) override;
    void CreateMemo(int x, int y, int w, int h, int maxLength, const TLabelStyle& style) override;
    void SetMemoStyle(const TLabelStyle& style) override;
    std::string MemoText() override;
    void SetMemoText(const std::string& text) override;
    bool MemoReadOnly() override;
    void SetMemoReadOnly(bool readOnly) override;
    void SetMemoVisible(bool visible) override;
    void FocusMemo() override;
    void FocusWindow() override;
    int MemoCaret() override;
    void SetMemoCaret(int pos) override;

    // Popup menu and pointers (Win32Menu.cpp, Win32Pointers.cpp).
    int TrackPopupMenu(int x, int y, const TMenuEntry* entries, int count) override;
    void LoadPointer(int number, const std::string& name) override;
    void SetPointer(int number) override;

    // Accessibility (Win32Accessibility.cpp): MSAA for the painted objects.
    void PublishAccessibles(const std::vector<TAccessible>& objects) override;
    bool KeyboardCuesShown() override;

    // Sound (Win32Sound.cpp).
    void PlaySoundBytes(const TResourceView& wav) override;
    void StopSoundPlaying() override;

    // Shell, wallpaper, message boxes (Win32Shell.cpp).
    std::string FindExecutable(const std::string& file) override;
    void ShellOpen(const std::string& address) override;
    void StartProcess(const std::string& application, const std::string& commandLine) override;
    void SetDesktopWallpaper(const std::string& path) override;
    void ShowErrorBox(const std::string& title, const std::string& text) override;

    // Regions (Win32Regions.cpp).
    TRegionHandle CreateRectRegion(int left, int top, int right, int bottom) override;
    TRegionHandle CreateRegionFromRects(const TRegionRect* rects, size_t count) override;
    bool CombineRegionOr(TRegionHandle dest, TRegionHandle a, TRegionHandle b) override;
    bool CopyRegion(TRegionHandle dest, TRegionHandle src) override;
    void DeleteRegion(TRegionHandle region) override;
    bool RegionContains(TRegionHandle region, int x, int y) override;

    // Resources (Win32Resources.cpp).
    bool FindResourceData(const std::string& type, const std::string& name,
                          TResourceView& out) override;

    // Files (Win32Files.cpp).
    bool FileExists(const std::string& path) override;
    bool ReadFile(const std::string& path, std::string& data) override;
    bool WriteFile(const std::string& path, const std::string& data) override;
    bool ReplaceFile(const std::string& from, const std::string& to) override;
    bool DeleteFile(const std::string& path) override;

    // Text conversion (Win32Text.cpp).
    std::string SjisToUtf8(const std::string& sjis) override;
    std::string Utf8ToSjis(const std::string& utf8) override;

    HWND MainWindow() const { return FMain; }
    // How the program's pixels are shown on the window's monitor now.
    const TWindowScale& Scale() const { return FScale; }
    // Forgets the events object (the program's window class) once it no longer exists,
    // so that nothing reaches it while the window outlives it.
    void DetachEvents() { FEvents = nullptr; }

private:
    friend class TClientAccessible;
    // WM_GETOBJECT: the client area's accessible object, made at the first request.
    LRESULT AnswerGetObject(WPARAM wp, LPARAM lp);
    void ForgetAccessible();
    RECT ScreenRectOf(const TAccessible& a) const;
    // A screen reader's press or focus request, carried out from the message loop.
    void PostAccessibleRequest(int id, bool action);
    void OnAccessibleRequest(WPARAM action, LPARAM id);
    std::vector<TAccessible> FAccessibles;  // as last published
    TClientAccessible* FAccessible = nullptr;
    // The window itself has the keyboard (a painted button has the focus), so it gets it
    // back, not the wish box, when the window is activated again.
    bool FWindowHasFocus = false;

    // One child control (a label or the wish box), reached from its window through
    // GWLP_USERDATA by the shared subclass procedure.
    struct TChild {
        TWin32Platform* Owner = nullptr;
        TControl Id = TControl::Form;
        HWND Hwnd = nullptr;
        WNDPROC OldProc = nullptr;
        TLabelStyle Style;
        HBRUSH Background = nullptr;
        HFONT Font = nullptr;
        // Where the program put it, in its own pixels.
        int X = 0, Y = 0, W = 0, H = 0;
    };

    static LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK ChildProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT HandleMain(UINT msg, WPARAM wp, LPARAM lp);
    // The main window's messages that take more than a line (Win32Window.cpp).
    void OnPaint();
    // Draws a rectangle of the mirror (program pixels) on the window, at its scale.
    void ShowMirror(int x, int y, int w, int h);
    void OnDestroy();
    void OnDpiChanged(int dpi, const RECT& suggested);
    void OnCaptureLost(HWND taker);
    LRESULT HandleChild(TChild& child, UINT msg, WPARAM wp, LPARAM lp);
    // Mouse messages of the window or a label: forwarded to the events with capture, so
    // a drag goes on outside the window.
    bool ForwardMouse(TControl sender, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    bool SetCursorFor(HWND hwnd, LPARAM lp);
    HBRUSH ColourControl(HWND control, HDC dc);
    // True while events may be delivered: a main window with events, and no modal
    // error box of ours on screen.
    bool CanDeliver() const { return FEvents != nullptr && FModalDepth == 0; }
    // Runs one event handler while events may be delivered.
    template <typename F>
    void Deliver(F&& handler);

    TChild* Child(TControl id);
    TChild& NewChild(TControl id, HWND hwnd, const TLabelStyle& style);
    void ApplyLabelStyle(TChild& child, const TLabelStyle& style);
    void ApplyFont(TChild& child, int lfHeight);
    HFONT GothicFont(int lfHeight);
    // The face every label and the wish box use, chosen once (PickJapaneseFace, else the
    // face Windows maps the Shift-JIS character set to).
    const std::wstring& JapaneseFace();
    // COM for the shell, which may hand a launch to extensions that need a
    // single-threaded apartment: entered once, on the thread of the first shell call (the
    // user-interface thread), and left when the backend goes.
    void EnterComApartment();
    void DestroyMainWindow();

    HINSTANCE FInstance = nullptr;
    TWindowEvents* FEvents = nullptr;
    HWND FMain = nullptr;
    std::wstring FTitle;
    int FWidth = 0;
    int FHeight = 0;
    UINT_PTR FTimer = 0;
    // Nesting of message dispatch (a handler that closes the window defers the
    // destruction to the loop) and of our own modal boxes.
    int FDispatchDepth = 0;
    int FModalDepth = 0;

    // Presentation: a DIB section the size of the window, mirroring what it shows.
    HDC FMemDC = nullptr;
    HBITMAP FDib = nullptr;
    HGDIOBJ FOldBitmap = nullptr;
    uint32_t* FDibBits = nullptr;
    int FDibWidth = 0;
    HDC FPaintDC = nullptr;  // the DC of WM_PAINT while FormPaint runs

    // Display scaling (Win32Window.cpp): the monitor's dots per inch, the scale chosen
    // for it, and what the window shows in the program's own pixels, from which the
    // physical picture is drawn again when the scale changes.
    int FDpi = 96;
    TWindowScale FScale;
    TPicture FMirror;
    bool FMirrorUnshown = false;  // presented while hidden, not yet drawn on the window
    // The program's window shape as region data, and the same shape at FScale.
    std::vector<char> FShapeData;
    HRGN FScaledShape = nullptr;
    double FScaledShapeFactor = 0;
    void ChooseScale(HMONITOR monitor, int dpi);
    // Everything sized in physical pixels follows a new scale: the window, its picture,
    // its shape, the controls and their fonts, the pointers.
    void ApplyScale();
    void ApplyWindowShape();
    // The controls at their scaled places, with fonts of the scaled heights.
    void PlaceChild(TChild& child);
    void LayoutControls();
    // A point of a control's physical client area in the program's pixels, relative to
    // the control as the program knows it.
    void ToProgramPoint(TControl sender, int& x, int& y);

    std::map<TControl, TChild*> FChildren;
    std::map<int, HFONT> FFonts;  // by lfHeight
    std::wstring FFace;
    struct TComApartment {
        bool Entered = false;
        DWORD Thread = 0;
        ~TComApartment();
    } FCom;
    bool FSettingMemoText = false;
    std::string FReportedMemoText;  // the wish box's text as the program was last told it

    HCURSOR FPointers[9] = {};
    std::string FPointerNames[9];  // to load them again at another size
    int FCurrentPointerNumber = 0;
    HCURSOR FCurrentPointer = nullptr;

    // The press that holds the mouse capture, so that a capture taken away by the system
    // (a task switch in mid-drag) still ends the drag with a release.
    HWND FCaptureHwnd = nullptr;
    TControl FCaptureSender = TControl::Form;
    TMouseButton FCaptureButton = TMouseButton::Left;

    std::string FTitleSjis;
};

template <typename F>
void TWin32Platform::Deliver(F&& handler) {
    // The program catches what its handlers throw and shows it itself: nothing reaches
    // user32, which could not unwind a C++ exception. A handler called outside a message
    // (the change SetMemoText reports) is a handler too: a close it asks for waits.
    if (!CanDeliver()) return;
    ++FDispatchDepth;
    handler();
    --FDispatchDepth;
}
