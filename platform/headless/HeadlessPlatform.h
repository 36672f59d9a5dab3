#pragma once
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/NestedHandlers.h"
#include "platform/posix/PosixPlatform.h"

// The headless backend: an in-memory desktop with a fixed clock, for the tests and the
// script driver. It runs the real program; only the operating system is pretend.
//
// LIMITATIONS: labels and the wish box hold their texts but are not rendered (a shot
// shows their background colour); there is no real sound, browser or wallpaper: each
// request is recorded for the test to read. Files are real, in the program directory.
class THeadlessPlatform : public TPosixPlatform {
public:
    explicit THeadlessPlatform(const std::string& programDir);
    ~THeadlessPlatform() override;

    // ---- The pretend desktop, set by tests and the driver.
    int ScreenWidth = 1024;
    int ScreenHeight = 768;
    uint32_t Tick = 0;
    TDate TodayDate{2026, 12, 8};
    uint64_t Seed = 1;
    bool OtherInstanceRunning = false;
    bool OtherInstanceMinimised = false;
    bool OtherInstanceActivated = false;
    std::set<std::string> HiddenResources;  // upper-case names a test removed
    std::string BrowserForHtml;             // what FindExecutable answers for ".html"
    // Writes fail from this byte on, as on a full disk; -1 never.
    long FailWriteAt = -1;
    bool FailReplace = false;
    // The popup menu's answer: the item index to choose, or -1 to dismiss it.
    int PendingMenuChoice = -1;
    // What the main loop does; the script driver supplies it.
    std::function<void()> LoopBody;
    // The monitors' work areas; none means one monitor, the whole screen.
    std::vector<TScreenRect> Monitors;
    // The display's scaling: the window shows this much larger on the screen (its
    // pictures and points stay the program's own here).
    double DisplayScale = 1.0;
    // The system shows focus rectangles from the start (a Windows setting).
    bool SystemKeyboardCues = false;

    // ---- What the program did, for tests to read.
    struct TLabel {
        int X = 0, Y = 0, W = 0, H = 0;
        TLabelStyle Style;
        std::string Text;
        bool Visible = true;
        bool Exists = false;
    };
    struct TMessage {
        std::string Title;
        std::string Text;
    };
    TWindowEvents* Events = nullptr;
    std::string AppTitle;
    bool WindowCreated = false;
    bool WindowShown = false;
    bool CloseRequested = false;
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool Minimised = false;
    bool Topmost = false;
    int TopmostChanges = 0;
    int TimerInterval = 0;
    TPicture Surface;  // what the window shows
    void* WindowRegion = nullptr;
    std::map<TControl, TLabel> Labels;
    TLabel Memo;
    bool MemoIsReadOnly = true;
    bool MemoFocused = false;
    int MemoMaxLength = 0;
    int MemoCaretPos = 0;
    int MouseX = 0, MouseY = 0;  // screen
    int Pointer = 0;
    std::map<int, std::string> LoadedPointers;
    std::vector<std::string> Sounds;  // resource names, "stop" for a stop
    std::vector<std::string> ShellLaunches;
    std::vector<std::string> Wallpapers;
    std::vector<TMessage> Messages;
    std::vector<TMenuEntry> LastMenu;
    int MenuOpenings = 0;
    int LiveRegions = 0;
    bool WindowFocused = false;  // the window itself has the keyboard, not the wish box
    // What a screen reader finds: the objects last published, how often they changed,
    // and each new reading as the real backends announce it (the first one, shown at
    // start, is not announced).
    std::vector<TAccessible> Accessibles;
    int AccessiblePublications = 0;
    std::vector<std::string> Announcements;
    // The published object with that id (nullptr when none).
    const TAccessible* Accessible(int id) const;

    // ---- Events, delivered as Windows' message dispatch delivers them.
    // Runs one event handler of the window: a close asked for inside it destroys the
    // window once the outermost handler has returned (as the destruction the Windows
    // backend posts to its loop). Nothing is delivered to a destroyed window.
    void Dispatch(const std::function<void()>& handler);
    // Destroys the window as DestroyWindow does: the program's destroy handler first,
    // with the window and its controls alive; then the controls are gone (their texts
    // read empty, setting them does nothing) and no event reaches the program again.
    void DestroyWindow();
    // Sign-out, shutdown or restart: the session asks (the program agrees) and ends.
    // Nothing is destroyed; the process would end right after.
    void EndSession();
    bool EndSessionQueried = false;

    // ---- The pretend user, whose input reaches the program as Windows delivers it.
    // Points are the window's client coordinates at the moment of the event. A press
    // goes to the control under it (outside the window's shape to nobody): the wish box
    // takes it for itself and reports it, a label forwards it with its own coordinates;
    // the left and middle buttons hold the mouse for the control they pressed until
    // released, so a drag goes on outside it. The pointer's screen position follows.
    void PressMouse(TMouseButton button, int x, int y, TShiftState shift = {});
    void ReleaseMouse(TMouseButton button, int x, int y, TShiftState shift = {});
    void MoveMouse(int x, int y, TShiftState shift = {});
    // A key: the window sees it first (key preview), then the focused wish box edits
    // with it (Backspace, Delete, the arrows; Enter inserts no line break).
    // A key held down, then let go: PressKey and ReleaseKey; HitKey does both.
    void PressKey(int code, TShiftState shift = {});
    void ReleaseKey(int code, TShiftState shift = {});
    void HitKey(int code, TShiftState shift = {});
    // A screen reader's default action on an accessible object, or its move of the focus.
    void ActOnAccessible(int id);
    void FocusAccessible(int id);
    // Text typed or pasted into the wish box; false when it takes none (read-only,
    // hidden or gone).
    bool TypeText(const std::string& sjis);
    // The clock goes on; the timer fires every 10 ms of it.
    void AdvanceClock(int ms);
    // One timer event now, the clock where it is: Windows delivers a late or coalesced
    // WM_TIMER whenever the queue gets to it.
    void FireTimer();

    // The resource name a sound pointer belongs to ("" when none).
    std::string ResourceNameAt(const uint8_t* data) const;
    // Inserts code page 932 text at the caret as a paste does; false when read-only.
    bool PasteIntoMemo(const std::string& text);
    // Whether a window point lies inside the window's shape (true without a shape).
    bool InShape(int x, int y);

    // ---- TPlatform
    // The program's path and the clock (HeadlessSystem.cpp).
    std::string ProgramPath() override;
    uint32_t TickCount() override { return Tick; }
    TDate Today() override { return TodayDate; }
    uint64_t ClockSeed() override { return Seed; }
    // Single instance (HeadlessInstance.cpp).
    bool ActivateRunningInstance(const std::string& caption) override;
    void SetApplicationTitle(const std::string& title) override;
    // The main window (HeadlessWindow.cpp).
    void CreateMainWindow(TWindowEvents* events, int width, int height) override;
    void ShowMainWindow() override;
    void RunMessageLoop() override;
    void CloseMainWindow() override;
    void SetWindowPos(int left, int top) override;
    void GetWindowPos(int& left, int& top) override;
    void GetWindowSize(int& width, int& height) override {
        width = static_cast<int>(Width * DisplayScale + 0.5);
        height = static_cast<int>(Height * DisplayScale + 0.5);
    }
    void MinimiseApplication() override { Minimised = true; }
    bool IsTopmost() override { return Topmost; }
    void SetTopmost(bool topmost) override;
    void SetWindowRegion(TRegionHandle region) override;
    void GetScreenSize(int& width, int& height) override;
    std::vector<TScreenRect> MonitorWorkAreas() override;
    TScreenRect NearestWorkArea(const TScreenRect& rect) override;
    void GetMousePos(int& x, int& y) override;
    void Present(const TPicture& pic, int sx, int sy, int w, int h, int dx, int dy) override;
    void StartTimer(int intervalMs) override { TimerInterval = intervalMs; }
    // Labels and the wish box (HeadlessControls.cpp).
    void CreateLabel(TControl id, int x, int y, int w, int h, const TLabelStyle& style) override;
    void SetLabelStyle(TControl id, const TLabelStyle& style) override;
    void SetLabelText(TControl id, const std::string& text) override;
    void SetLabelVisible(TControl id, bool visible) override;
    void CreateMemo(int x, int y, int w, int h, int maxLength, const TLabelStyle& style) override;
    void SetMemoStyle(const TLabelStyle& style) override {
        if (Memo.Exists) Memo.Style = style;
    }
    std::string MemoText() override { return Memo.Exists ? Memo.Text : std::string(); }
    void SetMemoText(const std::string& text) override;
    bool MemoReadOnly() override { return Memo.Exists && MemoIsReadOnly; }
    void SetMemoReadOnly(bool readOnly) override {
        if (Memo.Exists) MemoIsReadOnly = readOnly;
    }
    void SetMemoVisible(bool visible) override;
    void FocusMemo() override;
    void FocusWindow() override;
    int MemoCaret() override { return Memo.Exists ? MemoCaretPos : 0; }
    void SetMemoCaret(int pos) override;
    // Menu, sound and pointers (HeadlessMenu.cpp, HeadlessSound.cpp, HeadlessPointers.cpp).
    int TrackPopupMenu(int x, int y, const TMenuEntry* entries, int count) override;
    void PlaySoundBytes(const TResourceView& wav) override;
    void StopSoundPlaying() override { Sounds.push_back("stop"); }
    void LoadPointer(int number, const std::string& name) override;
    void SetPointer(int number) override;
    void PublishAccessibles(const std::vector<TAccessible>& objects) override;
    bool KeyboardCuesShown() override { return SystemKeyboardCues; }
    // Regions (HeadlessRegions.cpp).
    TRegionHandle CreateRectRegion(int left, int top, int right, int bottom) override;
    TRegionHandle CreateRegionFromRects(const TRegionRect* rects, size_t count) override;
    bool CombineRegionOr(TRegionHandle dest, TRegionHandle a, TRegionHandle b) override;
    bool CopyRegion(TRegionHandle dest, TRegionHandle src) override;
    void DeleteRegion(TRegionHandle region) override;
    bool RegionContains(TRegionHandle region, int x, int y) override;
    // Resources and files: the embedded ones and the real ones of platform/posix, with
    // what a test took away or made fail (HeadlessResources.cpp, HeadlessFiles.cpp).
    bool FindResourceData(const std::string& type, const std::string& name,
                          TResourceView& out) override;
    bool ReplaceFile(const std::string& from, const std::string& to) override;
    // Shell, wallpaper, message boxes (HeadlessShell.cpp).
    std::string FindExecutable(const std::string& file) override;
    void ShellOpen(const std::string& address) override;
    void StartProcess(const std::string& application, const std::string& commandLine) override;
    void SetDesktopWallpaper(const std::string& path) override;
    void ShowErrorBox(const std::string& title, const std::string& text) override;

protected:
    ssize_t WriteSome(int fd, const char* data, size_t size, size_t offset) override;

private:
    static void Place(TLabel& control, int x, int y, int w, int h, const TLabelStyle& style);
    std::string Dir;
    TNestedHandlers Handlers;
    // The control holding the mouse between a press and its release.
    bool Captured = false;
    TControl Capture = TControl::Form;
    // A point of the window relative to a control (the window itself or a label).
    void RelativeTo(TControl control, int& x, int& y);
    // The pointer's screen position for a point of the window.
    void PointerAt(int x, int y);
};
