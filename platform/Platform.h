#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/Dates.h"
#include "common/Picture.h"

// The one boundary between the program and the operating system. The program core
// never includes <windows.h>; it asks for everything through TPlatform. Three backends
// implement it: platform/win32 (the real Windows program), platform/gtk (the native Linux
// desktop program) and platform/headless (an in-memory desktop with a fixed clock, for
// the tests and the script driver). Which one runs is decided by which files a target
// compiles.
//
// Every text crossing this boundary is a code page 932 (Shift-JIS) byte string, except
// file paths, which are UTF-8 (a user's folder may have any name, and code page 932
// cannot spell most of them), and the two conversion helpers at the end.

// The controls whose events reach the window's handlers.
enum class TControl { Form, LabelNo, LabelTittle, LabelCreator, LabelKaisetu, Memo1 };

// The control's name in the program, for probes, logs and the script driver's output.
inline const char* ControlName(TControl c) {
    switch (c) {
        case TControl::LabelNo:
            return "LabelNo";
        case TControl::LabelTittle:
            return "LabelTittle";
        case TControl::LabelCreator:
            return "LabelCreator";
        case TControl::LabelKaisetu:
            return "LabelKaisetu";
        case TControl::Memo1:
            return "Memo1";
        case TControl::Form:
            break;
    }
    return "Form";
}
enum class TMouseButton { Left, Right, Middle };

// Keys are Windows' virtual-key numbers on every backend; these are the ones the program
// and the wish box treat specially.
enum TKey : int {
    kKeyBackspace = 0x08,
    kKeyTab = 0x09,
    kKeyEnter = 0x0D,
    kKeyEscape = 0x1B,
    kKeySpace = 0x20,
    kKeyLeft = 0x25,
    kKeyRight = 0x27,
    kKeyDelete = 0x2E,
};

struct TShiftState {
    bool Shift = false;
    bool Ctrl = false;
    bool Alt = false;
};

// Menu items of the options menu, top to bottom (separators are laid out by MenuLayout).
enum class TMenuItem {
    PopCenter,
    MStayOnTop,
    MuteOnChange,
    FezPenBlackChange,
    FezPenDownChange,
    LightShowChange,
    LightPointChange,
    CardUndo,
    PopSaigen,
    NextResume,
    WallMakeClick,
    Count
};
constexpr int kMenuItemCount = static_cast<int>(TMenuItem::Count);

struct TMenuEntry {
    const char* Caption = "";  // code page 932, "&" before the accelerator
    bool Enabled = true;
    bool Checked = false;
    bool SeparatorBefore = false;
};

// How a text label looks. Colours are packed as red + 256 x green + 65536 x blue.
struct TLabelStyle {
    bool Centred = false;   // else left-aligned
    bool VCentred = false;  // vertically centred (single line)
    bool WordWrap = false;  // wrapped at the label width, cut off below
    int CellHeight = 12;    // font cell height in pixels, internal leading included
    uint32_t Background = 0;
    uint32_t TextColor = 0;
};

// An opaque region owned by whoever created it, until handed to SetWindowRegion.
using TRegionHandle = void*;

// A rectangle of window pixels for a region: Right and Bottom lie just outside it.
struct TRegionRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TRegionRect& o) const {
        return Left == o.Left && Top == o.Top && Right == o.Right && Bottom == o.Bottom;
    }
};

// A read-only view of resource bytes, valid for the life of the process.
struct TResourceView {
    const uint8_t* Data = nullptr;
    size_t Size = 0;
};

// What a screen reader is told of the window's painted parts, which are pictures rather
// than controls: the buttons, the cells of the card index and the reading on show. The
// labels and the wish box are real controls and speak for themselves.
enum class TAccessRole {
    PushButton,  // a painted button
    ListItem,    // a cell of the card index
    Reading,     // the reading on show, announced when it changes
};

struct TAccessible {
    int Id = 0;  // the same object keeps its id for as long as it is published
    TAccessRole Role = TAccessRole::PushButton;
    std::string Name;                // code page 932
    int X = 0, Y = 0, W = 0, H = 0;  // in the program's pixels of the client area
    bool Unavailable = false;        // shown, but a press does nothing
    bool Pressed = false;
    bool Focusable = false;
    bool Focused = false;
    bool Selected = false;  // the index's cell of the card on show
    bool operator==(const TAccessible& o) const {
        return Id == o.Id && Role == o.Role && Name == o.Name && X == o.X && Y == o.Y && W == o.W &&
               H == o.H && Unavailable == o.Unavailable && Pressed == o.Pressed &&
               Focusable == o.Focusable && Focused == o.Focused && Selected == o.Selected;
    }
    bool operator!=(const TAccessible& o) const { return !(*this == o); }
};

// What the backend calls when something happens to the main window. TOrvaneFM
// implements it; the names are those of the window's event handlers.
class TWindowEvents {
public:
    virtual ~TWindowEvents() = default;
    virtual void FormPaint() = 0;
    virtual void Timer1Timer() = 0;
    // X and Y are relative to the sender (the window's client area, or a label's own
    // top-left corner).
    virtual void FormMouseDown(TControl sender, TMouseButton button, TShiftState shift, int x,
                               int y) = 0;
    virtual void FormMouseMove(TControl sender, TShiftState shift, int x, int y) = 0;
    virtual void FormMouseUp(TControl sender, TMouseButton button, TShiftState shift, int x,
                             int y) = 0;
    // Seen before the focused control gets the key (key preview); a key set to 0 is not
    // passed on.
    virtual void FormKeyDown(TControl sender, int& key, TShiftState shift) = 0;
    virtual void FormKeyUp(TControl sender, int& key, TShiftState shift) = 0;
    virtual void Memo1Change() = 0;
    virtual void Memo1MouseDown(TMouseButton button, TShiftState shift, int x, int y) = 0;
    // A screen reader asks for the default action of an accessible object (pressing it),
    // or moves the focus to it; `id` is its TAccessible::Id.
    virtual void AccessibleAction(int id) = 0;
    virtual void AccessibleFocus(int id) = 0;
    // The system asks the window to close (Alt+F4, the taskbar): the same path as the
    // close button.
    virtual void FormCloseQuery() = 0;
    // The window is being destroyed: it and its controls still exist, so their texts and
    // the window's position can be read; right after, they are gone and no event
    // follows. Runs once, whatever closed the window.
    virtual void FormDestroy() = 0;
    // The user's session ends (sign-out, shutdown, restart). The process may be ended as
    // soon as this returns, without the window ever being destroyed; nothing here may
    // wait for the user.
    virtual void FormEndSession() = 0;
};

// A rectangle of the screen: left, top, right and bottom edges (right and bottom
// outside it).
struct TScreenRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

class TPlatform {
public:
    virtual ~TPlatform() = default;

    // Process and single instance.
    // Full path of the program's own file (the first command-line item), UTF-8.
    virtual std::string ProgramPath() = 0;
    // Looks for a top-level window captioned `caption`; when found, restores it if
    // minimised, brings it to the foreground and returns true.
    virtual bool ActivateRunningInstance(const std::string& caption) = 0;
    virtual void SetApplicationTitle(const std::string& title) = 0;

    // Clock.
    virtual uint32_t TickCount() = 0;  // milliseconds, wraps at 2^32
    virtual TDate Today() = 0;
    virtual uint64_t ClockSeed() = 0;  // seeds the random generator

    // The main window: borderless, the given client size, hidden until ShowMainWindow.
    virtual void CreateMainWindow(TWindowEvents* events, int width, int height) = 0;
    virtual void ShowMainWindow() = 0;
    // Until the window is destroyed (FormDestroy has run by then).
    virtual void RunMessageLoop() = 0;
    // Destroys the window: at once, or when the event handler that asks has returned.
    virtual void CloseMainWindow() = 0;
    // Where the window is on the screen and how large it shows there, in screen pixels:
    // the program's own pixels may be shown larger on a high-resolution monitor.
    virtual void SetWindowPos(int left, int top) = 0;
    virtual void GetWindowPos(int& left, int& top) = 0;
    virtual void GetWindowSize(int& width, int& height) = 0;
    virtual void MinimiseApplication() = 0;
    virtual bool IsTopmost() = 0;
    virtual void SetTopmost(bool topmost) = 0;
    // The window takes ownership of the region and redraws.
    virtual void SetWindowRegion(TRegionHandle region) = 0;
    virtual void GetScreenSize(int& width, int& height) = 0;
    // The work areas (without task bars) of every monitor, and the one of the monitor
    // nearest to a rectangle, in screen coordinates.
    virtual std::vector<TScreenRect> MonitorWorkAreas() = 0;
    virtual TScreenRect NearestWorkArea(const TScreenRect& rect) = 0;
    // The pointer's screen position when the input event being handled happened.
    virtual void GetMousePos(int& x, int& y) = 0;
    // Copies the w x h rectangle at (sx, sy) of `pic` onto the window at (dx, dy).
    virtual void Present(const TPicture& pic, int sx, int sy, int w, int h, int dx, int dy) = 0;
    virtual void StartTimer(int intervalMs) = 0;

    // Text labels (child controls that forward presses, moves and releases).
    virtual void CreateLabel(TControl id, int x, int y, int w, int h, const TLabelStyle& style) = 0;
    virtual void SetLabelStyle(TControl id, const TLabelStyle& style) = 0;
    virtual void SetLabelText(TControl id, const std::string& text) = 0;
    virtual void SetLabelVisible(TControl id, bool visible) = 0;

    // The wish box: multi-line edit, no border, input method on when focused, Enter
    // inserts no line break, read-only and hidden when created.
    virtual void CreateMemo(int x, int y, int w, int h, int maxLength,
                            const TLabelStyle& style) = 0;
    virtual void SetMemoStyle(const TLabelStyle& style) = 0;
    virtual std::string MemoText() = 0;
    virtual void SetMemoText(const std::string& text) = 0;  // calls Memo1Change
    virtual bool MemoReadOnly() = 0;
    virtual void SetMemoReadOnly(bool readOnly) = 0;
    virtual void SetMemoVisible(bool visible) = 0;
    virtual void FocusMemo() = 0;
    // Takes the keyboard focus from the wish box to the window itself, where the program
    // moves it between its painted buttons.
    virtual void FocusWindow() = 0;
    virtual int MemoCaret() = 0;  // in characters
    virtual void SetMemoCaret(int pos) = 0;

    // Accessibility: the window's accessible objects, in reading order, each time they
    // change; the backend tells the system's screen reader what changed (focus, states,
    // objects come or gone, a new reading) in its platform's own way.
    virtual void PublishAccessibles(const std::vector<TAccessible>& objects) = 0;
    // Whether the system shows focus rectangles from the start, rather than only once
    // the keyboard has been used in the window.
    virtual bool KeyboardCuesShown() = 0;

    // Shows the popup menu at a screen position and returns the chosen item's index,
    // or -1 when the menu was dismissed.
    virtual int TrackPopupMenu(int x, int y, const TMenuEntry* entries, int count) = 0;

    // Sound: starts playing a whole WAV file's bytes (valid for the life of the process)
    // and returns at once, cutting off whatever played; stops whatever plays. Neither
    // reports anything: a missing sound device means silence.
    virtual void PlaySoundBytes(const TResourceView& wav) = 0;
    virtual void StopSoundPlaying() = 0;

    // Pointers: loads cursor resource `name` as pointer shape `number` (1 to 8), raising
    // EResNotFound (common/Errors.h) when the program has no such cursor; makes a loaded
    // shape the pointer over the whole window, its controls included.
    virtual void LoadPointer(int number, const std::string& name) = 0;
    virtual void SetPointer(int number) = 0;

    // Regions. Creation returns nullptr when the system refuses.
    virtual TRegionHandle CreateRectRegion(int left, int top, int right, int bottom) = 0;
    // The area the rectangles cover together; a rectangle without width or height adds
    // nothing, and no rectangles make an empty region.
    virtual TRegionHandle CreateRegionFromRects(const TRegionRect* rects, size_t count) = 0;
    // dest := a OR b; false on failure.
    virtual bool CombineRegionOr(TRegionHandle dest, TRegionHandle a, TRegionHandle b) = 0;
    // dest := a copy of src; false on failure.
    virtual bool CopyRegion(TRegionHandle dest, TRegionHandle src) = 0;
    virtual void DeleteRegion(TRegionHandle region) = 0;
    virtual bool RegionContains(TRegionHandle region, int x, int y) = 0;

    // Resources of the program's own module, by type and case-insensitive name.
    virtual bool FindResourceData(const std::string& type, const std::string& name,
                                  TResourceView& out) = 0;

    // Files. Paths are UTF-8 and reach the system unchanged; a message that shows one
    // converts it with Utf8ToSjis.
    virtual bool FileExists(const std::string& path) = 0;
    virtual bool ReadFile(const std::string& path, std::string& data) = 0;
    // Creates or truncates the file and writes all of data; false on any failure.
    virtual bool WriteFile(const std::string& path, const std::string& data) = 0;
    // Moves `from` over `to` in one step, replacing it, flushed to disk. A file another
    // program holds for a moment (a virus scanner, the search indexer) is tried again for
    // about half a second; whatever happens, `to` is either the old file or the new one.
    virtual bool ReplaceFile(const std::string& from, const std::string& to) = 0;
    virtual bool DeleteFile(const std::string& path) = 0;

    // Shell: the program that opens `file` ("" when none; both are UTF-8 paths); the
    // default action on an address; starting a program (a UTF-8 path) with a command line
    // of code page 932 text, not waited for. When the program cannot be started, the
    // command line after its first word (the address) gets the default action instead.
    virtual std::string FindExecutable(const std::string& file) = 0;
    virtual void ShellOpen(const std::string& address) = 0;
    virtual void StartProcess(const std::string& application, const std::string& commandLine) = 0;

    // Installs the picture file at a UTF-8 path as the desktop wallpaper (stored in the
    // user's settings, no change broadcast).
    virtual void SetDesktopWallpaper(const std::string& path) = 0;

    // A message box with an error icon.
    virtual void ShowErrorBox(const std::string& title, const std::string& text) = 0;

    // Code page 932 <-> UTF-8.
    virtual std::string SjisToUtf8(const std::string& sjis) = 0;
    virtual std::string Utf8ToSjis(const std::string& utf8) = 0;
};
