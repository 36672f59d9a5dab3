#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "common/Picture.h"
#include "platform/NestedHandlers.h"
#include "platform/Platform.h"
#include "platform/WindowScale.h"
#include "platform/posix/PosixPlatform.h"

// The browser backend: the program in a page, its window a positioned element holding a
// canvas, its labels and wish box real page elements, its menu and its message boxes
// page elements too. Everything the page does reaches the program through one queue of
// events, which RunMessageLoop waits on and hands to the window's handlers one at a
// time, as a desktop's message loop does; the page's own scripts (WebPage.js) never call
// a handler themselves. Waits (the loop, a menu, a message box) suspend the program
// until the page answers (emscripten's Asyncify).
//
// The "screen" is the page's viewport in device pixels, so a window position means the
// same as on a desktop at the page's pixel ratio. The program's folder is a folder of
// the page's memory (emscripten's file system, through the POSIX file code the Linux
// backends share); the settings file is kept in the page's local storage as well.
class TWebPlatform : public TPosixPlatform {
public:
    TWebPlatform();
    ~TWebPlatform() override;

    // The page is being hidden or left (WebMain.cpp's pagehide handler): the program's
    // end of session, which writes the settings and waits for nothing.
    void EndSession();

    std::string ProgramPath() override;
    bool ActivateRunningInstance(const std::string& caption) override;
    void SetApplicationTitle(const std::string& title) override;

    uint32_t TickCount() override;
    TDate Today() override;
    uint64_t ClockSeed() override;

    void CreateMainWindow(TWindowEvents* events, int width, int height) override;
    void ShowMainWindow() override;
    void RunMessageLoop() override;
    // Hands every event the page has queued to the window's handlers and returns once
    // none is left, without waiting for more: for a test that plays the page's user
    // outside the loop.
    void DeliverQueued();
    void CloseMainWindow() override;
    void SetWindowPos(int left, int top) override;
    void GetWindowPos(int& left, int& top) override;
    void GetWindowSize(int& width, int& height) override;
    void MinimiseApplication() override;
    bool IsTopmost() override { return FTopmost; }
    void SetTopmost(bool topmost) override { FTopmost = topmost; }
    void SetWindowRegion(TRegionHandle region) override;
    void GetScreenSize(int& width, int& height) override;
    std::vector<TScreenRect> MonitorWorkAreas() override;
    TScreenRect NearestWorkArea(const TScreenRect& rect) override;
    void GetMousePos(int& x, int& y) override;
    void Present(const TPicture& pic, int sx, int sy, int w, int h, int dx, int dy) override;
    void StartTimer(int intervalMs) override;

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

    void PublishAccessibles(const std::vector<TAccessible>& objects) override;
    bool KeyboardCuesShown() override { return false; }

    int TrackPopupMenu(int x, int y, const TMenuEntry* entries, int count) override;

    void PlaySoundBytes(const TResourceView& wav) override;
    void StopSoundPlaying() override;

    void LoadPointer(int number, const std::string& name) override;
    void SetPointer(int number) override;

    TRegionHandle CreateRectRegion(int left, int top, int right, int bottom) override;
    TRegionHandle CreateRegionFromRects(const TRegionRect* rects, size_t count) override;
    bool CombineRegionOr(TRegionHandle dest, TRegionHandle a, TRegionHandle b) override;
    bool CopyRegion(TRegionHandle dest, TRegionHandle src) override;
    void DeleteRegion(TRegionHandle region) override;
    bool RegionContains(TRegionHandle region, int x, int y) override;

    bool WriteFile(const std::string& path, const std::string& data) override;
    bool ReplaceFile(const std::string& from, const std::string& to) override;
    bool DeleteFile(const std::string& path) override;

    std::string FindExecutable(const std::string& file) override;
    void ShellOpen(const std::string& address) override;
    void StartProcess(const std::string& application, const std::string& commandLine) override;
    void SetDesktopWallpaper(const std::string& path) override;

    void ShowErrorBox(const std::string& title, const std::string& text) override;

    std::string SjisToUtf8(const std::string& sjis) override;
    std::string Utf8ToSjis(const std::string& utf8) override;

private:
    // One event of the page's queue (the layout WebPage.js writes).
    struct TPageEvent {
        int32_t Type, Control, Button, Shift, X, Y, Key, ScreenX, ScreenY;
    };
    void Deliver(const TPageEvent& e);
    // Runs a window handler; a close asked for inside it waits until it returns.
    template <typename Handler>
    void Dispatch(Handler&& handler) {
        if (!FCreated || FDestroyed || !FEvents) return;
        FHandlers.Run(handler, [this] { DestroyWindow(); });
    }
    void DestroyWindow();
    // The scale of the page's pixel ratio and viewport, the canvas sized for it.
    void ChooseScale();
    // Where the window shows on the page, from its position and size.
    void PlaceWindow();
    // A press or move on `control` at physical pixels of the window, in program pixels
    // relative to the control, as the handlers take them.
    void ToControl(TControl control, int physX, int physY, int& x, int& y) const;
    // The files that outlive the page (the settings) are kept in local storage.
    static bool Lasting(const std::string& path);
    // Makes the folders above a path, as a desktop's program folder exists before it.
    static void MakeFolders(const std::string& path);

    TWindowEvents* FEvents = nullptr;
    TNestedHandlers FHandlers;
    bool FCreated = false;
    bool FDestroyed = false;
    bool FTopmost = false;
    int FLeft = 0, FTop = 0;
    int FWidth = 0, FHeight = 0;  // program pixels
    TWindowScale FScale;
    double FFit = 1.0;                // the window shrunk to fit a viewport narrower than it
    TPicture FMirror;                 // the window's pixels in program pixels
    std::vector<uint32_t> FPhysical;  // the canvas's pixels, RGBA bytes
    void* FRegion = nullptr;
    int FMouseX = 0, FMouseY = 0;
    struct TControlPlace {
        int X = 0, Y = 0, W = 0, H = 0;
    };
    std::map<TControl, TControlPlace> FPlaces;
    std::string FProgramPath;
};
