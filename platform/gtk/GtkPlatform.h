#pragma once
// The GTK 3 backend of TPlatform: the program as a native Linux desktop program. The
// window shows the program's back buffer through a Cairo surface, the labels and the wish
// box are GTK widgets, sound goes through SDL's audio subsystem, and the settings live in
// the user's configuration folder (or a folder given with --dir).
//
// LIMITATIONS: one main window per process. On Wayland the desktop places windows itself:
// SetWindowPos, GetWindowPos and GetMousePos outside the window have no meaning there, a
// drag by the program cannot move the window, and keep-above is up to the compositor.
// The window's visible shape is an X11 facility; elsewhere the pixels outside the shape
// are drawn transparent when the screen offers an alpha channel.
#include <gtk/gtk.h>

#include <functional>

#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/NestedHandlers.h"
#include "platform/CursorImage.h"
#include "platform/posix/PosixPlatform.h"

class TGtkSound;

class TGtkPlatform : public TPosixPlatform {
public:
    // `configDir` holds the settings and the wallpaper; it is created when missing.
    explicit TGtkPlatform(const std::string& configDir);
    ~TGtkPlatform() override;
    TGtkPlatform(const TGtkPlatform&) = delete;
    TGtkPlatform& operator=(const TGtkPlatform&) = delete;

    // The folder of ProgramPath(), as given (with its trailing slash).
    const std::string& ConfigDir() const { return FDir; }
    // Whether the folder could be made (or already was there).
    bool ConfigDirReady() const { return FDirReady; }

    // The program's path and the clock (GtkSystem.cpp).
    std::string ProgramPath() override;
    uint32_t TickCount() override;
    TDate Today() override;
    uint64_t ClockSeed() override;

    // Single instance (GtkInstance.cpp).
    // Starts registering the instance on the session bus, on a thread of its own, for
    // ActivateRunningInstance to take up; without it, that registers then.
    void BeginInstanceCheck();
    bool ActivateRunningInstance(const std::string& caption) override;
    void SetApplicationTitle(const std::string& title) override;

    // The main window (GtkWindow.cpp).
    void CreateMainWindow(TWindowEvents* events, int width, int height) override;
    void ShowMainWindow() override;
    void RunMessageLoop() override;
    void CloseMainWindow() override;
    void SetWindowPos(int left, int top) override;
    void GetWindowPos(int& left, int& top) override;
    void GetWindowSize(int& width, int& height) override;
    void MinimiseApplication() override;
    bool IsTopmost() override { return FTopmost; }
    void SetTopmost(bool topmost) override;
    void SetWindowRegion(TRegionHandle region) override;
    void GetScreenSize(int& width, int& height) override;
    std::vector<TScreenRect> MonitorWorkAreas() override;
    TScreenRect NearestWorkArea(const TScreenRect& rect) override;
    void GetMousePos(int& x, int& y) override;
    void Present(const TPicture& pic, int sx, int sy, int w, int h, int dx, int dy) override;
    void StartTimer(int intervalMs) override;

    // Labels and the wish box (GtkControls.cpp).
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

    // Menu and pointers (GtkMenu.cpp, GtkPointers.cpp).
    int TrackPopupMenu(int x, int y, const TMenuEntry* entries, int count) override;
    void LoadPointer(int number, const std::string& name) override;
    void SetPointer(int number) override;

    // Accessibility (GtkAccessibility.cpp): the painted objects as ATK objects, children
    // of the drawing widget's accessible after its real ones.
    void PublishAccessibles(const std::vector<TAccessible>& objects) override;
    bool KeyboardCuesShown() override;
    int PaintedAccessibleCount() const;
    AtkObject* PaintedAccessible(int index) const;
    int AccessibleIndex(AtkObject* painted) const;  // among all the container's children
    // The drawing widget itself has the keyboard (not the wish box): a painted button's
    // focus is real only then.
    bool PaintedHaveKeyboard() const { return FLayout && gtk_widget_is_focus(FLayout); }
    void AccessibleExtents(const TAccessible& a, AtkCoordType coords, int& x, int& y, int& w,
                           int& h);
    // A screen reader presses an object, or moves the focus to it.
    void ActOnAccessibleFromReader(int id);
    void FocusAccessibleFromReader(int id);

    // Sound (GtkSound.cpp).
    void PlaySoundBytes(const TResourceView& wav) override;
    void StopSoundPlaying() override;

    // Regions (GtkRegions.cpp).
    TRegionHandle CreateRectRegion(int left, int top, int right, int bottom) override;
    TRegionHandle CreateRegionFromRects(const TRegionRect* rects, size_t count) override;
    bool CombineRegionOr(TRegionHandle dest, TRegionHandle a, TRegionHandle b) override;
    bool CopyRegion(TRegionHandle dest, TRegionHandle src) override;
    void DeleteRegion(TRegionHandle region) override;
    bool RegionContains(TRegionHandle region, int x, int y) override;

    // Shell, wallpaper, message boxes (GtkShell.cpp).
    std::string FindExecutable(const std::string& file) override;
    void ShellOpen(const std::string& address) override;
    void StartProcess(const std::string& application, const std::string& commandLine) override;
    void SetDesktopWallpaper(const std::string& path) override;
    void ShowErrorBox(const std::string& title, const std::string& text) override;

    // Forgets the events object once it no longer exists (a start-up that threw).
    void DetachEvents() { FEvents = nullptr; }
    // The session ends (SIGTERM, SIGHUP, the X server going away): the program saves at
    // once; the caller ends the process right after.
    void EndSession();
    // Writes what the widgets show now into the file named by SABLEWICK_GTK_PROBE, for
    // the end-to-end tests (GtkProbe.cpp).
    void WriteProbe();

protected:
    // Each resource from a mapping of its own bytes of the program's file (GtkResources.cpp).
    const unsigned char* ResourceBytes(int index) override;

private:
    struct TChild {
        TControl Id = TControl::Form;
        GtkWidget* Outer = nullptr;  // what sits in the layout: an event box or the text view
        GtkWidget* Inner = nullptr;  // the label, or the text view again
        GtkCssProvider* Css = nullptr;
        std::string CssText;  // what Css holds: the same style is not parsed again
        int X = 0, Y = 0, W = 0, H = 0;
        TLabelStyle Style;
        bool Visible = true;
    };

    // True while events may reach the program: a live window with events, and no error
    // box of ours on screen.
    bool CanDeliver() const { return FEvents != nullptr && FModalDepth == 0 && FWindow; }
    // Runs one event handler; an error escaping it is shown and the program goes on. A
    // close asked for inside it destroys the window once the outermost handler returns.
    template <typename F>
    void Deliver(F&& handler);
    void DestroyMainWindow();
    // A close asked inside a handler: the window goes at the main loop's next turn, once
    // GTK has finished the signal the handler ran in (a text view still inserting the
    // character whose change the handler was told of).
    void DestroyWhenIdle();
    guint FDestroySource = 0;
    void FinishDestroy();
    // The steps of CreateMainWindow (GtkWindow.cpp).
    void BuildToplevel();
    void BuildLayout();
    void ConnectWindowSignals();
    void EndLostDrag();
    // Signal handlers that more than one widget connects.
    static gboolean OnLayoutButton(GtkWidget* layout, GdkEventButton* e, gpointer self);
    static gboolean OnLayoutMotion(GtkWidget* layout, GdkEventMotion* e, gpointer self);
    static gboolean OnLabelButton(GtkWidget* box, GdkEventButton* e, gpointer self);
    static gboolean OnLabelMotion(GtkWidget* box, GdkEventMotion* e, gpointer self);
    static void OnRealize(GtkWidget* widget, gpointer self);

    TChild* Child(TControl id);
    TChild& AddChild(TControl id, GtkWidget* outer, GtkWidget* inner, int x, int y, int w, int h);
    void ApplyStyle(TChild& child, const TLabelStyle& style);
    const std::string& FontFamily();
    double CellToEm();
    void ApplyPointer();
    void PlaceChildren();
    TShiftState ShiftFrom(guint state) const;
    // Event coordinates taken from the pointer's screen position and the window's
    // position as the program last set it, so a drag in progress never sees a window the
    // X server has not moved yet.
    void LocalPoint(const TChild* child, double rootX, double rootY, double ex, double ey, int& x,
                    int& y) const;
    void MouseButton(TControl sender, const TChild* child, GdkEventButton* e, bool down);
    void MouseMove(TControl sender, const TChild* child, GdkEventMotion* e);
    // Whether the program sees the key, where it goes (the wish box or the window) and
    // its code.
    bool ReadKey(GdkEventKey* e, bool& inMemo, int& key);
    bool HandleKey(GdkEventKey* e);
    bool HandleKeyRelease(GdkEventKey* e);
    void ForgetAccessibles();
    std::vector<AtkObject*> FPainted;  // the painted objects, as last published
    void Draw(cairo_t* cr);
    void BringToFront();
    bool StartLocalInstanceServer();

    std::string FDir;
    bool FDirReady = false;
    std::string FTitleSjis;
    TWindowEvents* FEvents = nullptr;
    GtkWidget* FWindow = nullptr;
    GtkWidget* FLayout = nullptr;
    int FWidth = 0, FHeight = 0;
    int FLeft = 0, FTop = 0;
    bool FTopmost = false;
    bool FButtonHeld = false;
    // The pointer's screen position with the input event being delivered: the program asks
    // for it during the event, and by then the pointer may have moved on.
    bool FHasEventPos = false;
    int FEventX = 0;
    int FEventY = 0;
    void DeliverPointerEvent(double rootX, double rootY, const std::function<void()>& handler);
    guint FTimer = 0;
    TNestedHandlers FHandlers;
    int FModalDepth = 0;
    bool FDestroying = false;
    bool FLoopRunning = false;
    GMainLoop* FLoop = nullptr;
    bool FSettingMemoText = false;
    int FMemoMaxLength = 0;
    bool FMemoReadOnly = true;
    bool FPreedit = false;

    // What the window shows: the program's presents land here and the draw handler
    // paints it. An image in the back buffer's pixel format, in memory shared with the X
    // server where it offers that (GtkWindow.cpp).
    cairo_surface_t* FMirror = nullptr;
    void CreateMirror(GdkScreen* screen);
    void DestroyMirror();
    cairo_region_t* FShape = nullptr;
    bool FAlphaVisual = false;

    std::map<TControl, TChild*> FChildren;
    std::string FFamily;
    double FCellToEm = 0;

    GdkCursor* FPointers[9] = {};
    TCursorImage FPointerImages[9];  // a shape's picture until its cursor is made
    GdkCursor* Pointer(int number);
    int FPointer = 0;

    std::unique_ptr<TGtkSound> FSound;

    GApplication* FApp = nullptr;
    std::thread FInstanceThread;  // registering FApp; sets the two below
    bool FRegistered = false;
    std::string FRegisterError;
    int FInstanceSocket = -1;
    std::string FInstanceSocketPath;
    guint FInstanceWatch = 0;

    GtkWidget* FOpenMenu = nullptr;  // while TrackPopupMenu runs, for the probe
};

// A GtkLayout whose accessible answers the painted objects of `owner` (GtkAccessibility.cpp).
GtkWidget* NewAccessibleLayout(TGtkPlatform* owner);

// Windows virtual-key code of a GDK key value, 0 when the program has no use for it.
int VirtualKeyOf(guint keyval);

// A font's ascent plus descent in Pango units, as pango_font_get_metrics gives them.
int FontCellHeight(PangoFont* font);

template <typename F>
void TGtkPlatform::Deliver(F&& handler) {
    if (!CanDeliver()) return;
    // An error escaping a handler never gets here: the program shows it itself.
    FHandlers.Run(handler, [this] { DestroyWhenIdle(); });
}
