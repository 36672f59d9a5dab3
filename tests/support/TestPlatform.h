#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"

// A platform of the build's own backend for tests that run on every target: the headless
// backend in the native suite, the real GTK backend in the GTK test program (on an X
// server), the real Win32 backend in the Windows test program (under Wine).
// `programDir` is a directory (with its trailing separator) that the test owns.
std::unique_ptr<TPlatform> CreateTestPlatform(const std::string& programDir);

// A fresh empty directory for one test, with its trailing separator, in the build's
// native path form.
std::string MakeTempDir(const std::string& tag);

// The screen and the user of the build's own backend, for the platform contract test:
// what the platform shows is read back the backend's own way (the headless desktop's
// records, the GTK widgets, the Windows controls and window), and the user acts as that
// system delivers input, so the test holds a backend to what it does, not to what it says.
class TBackendProbe {
public:
    virtual ~TBackendProbe() = default;

    // Lets the system do what it has queued (mapping, painting) before anything is read.
    virtual void Settle() = 0;
    // A pixel of the window as the system shows it, 0x00RRGGBB.
    virtual uint32_t WindowPixel(int x, int y) = 0;

    // A label or the wish box as the system shows it. In Look, a centred label's wrapping
    // is the system's own and not read.
    struct TShown {
        bool Exists = false;
        bool Visible = false;
        bool ReadOnly = false;  // the wish box
        std::string Text;       // code page 932
        TLabelStyle Look;
    };
    virtual TShown Control(TControl id) = 0;
    // The user types `sjis` into the wish box where its caret is, one character at a time
    // (no line breaks: Enter types none).
    virtual void TypeIntoMemo(const std::string& sjis) = 0;

    // How the user answers the next popup menu: the entry to choose, or -1 to dismiss it.
    virtual void AnswerMenu(int choice) = 0;
    // The entries the last menu showed, as the system showed them; SeparatorBefore tells
    // a separator above an entry.
    struct TShownItem {
        std::string Caption;  // code page 932, with the accelerator's "&"
        bool Enabled = false;
        bool Checked = false;
        bool SeparatorBefore = false;
    };
    virtual std::vector<TShownItem> LastMenu() = 0;

    // The hot spot of the pointer the system shows over the window; false when it shows
    // none of the program's.
    virtual bool PointerHotSpot(int& x, int& y) = 0;

    // What a screen reader finds of the painted objects, the system's own way (the
    // headless desktop's records, the ATK children of the drawing widget, the MSAA client
    // object), in their order: rectangles in window pixels at 100 %.
    struct TShownAccessible {
        std::string Name;  // code page 932
        TAccessRole Role = TAccessRole::PushButton;
        int X = 0, Y = 0, W = 0, H = 0;
        bool Unavailable = false;
        bool Focused = false;
        bool Selected = false;
    };
    virtual std::vector<TShownAccessible> Accessibles() = 0;
    // A screen reader's default action on the painted object named `sjis`; false when
    // the system finds no such object or refuses the action.
    virtual bool DoDefaultAction(const std::string& sjis) = 0;

    // From now on, the flushes to disk the backend asks of the system are noted.
    virtual void WatchFlushes() = 0;
    // Whether the bytes of the file at `path` were put on the disk (flushed, or written
    // through) since WatchFlushes.
    virtual bool DataFlushed(const std::string& path) = 0;
    // Whether the last move onto `path` was made to last since WatchFlushes: its folder
    // flushed after it, or the move itself written through.
    virtual bool MoveFlushed(const std::string& path) = 0;
    // Every write to a file past its first `bytes` bytes fails from now on, as on a full
    // disk; -1 lifts it.
    virtual void LimitFileSize(long bytes) = 0;
};
std::unique_ptr<TBackendProbe> CreateBackendProbe(TPlatform& os);
