// The Win32 window, its labels and the wish box, driven by window messages as Windows
// sends them: which handler hears what, with which coordinates, and what the controls
// do with keys and text. Only in the Windows test program (run under Wine with a display).
#ifdef _WIN32
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/win32/Win32Platform.h"

#include <imm.h>

namespace {

struct TRecorder : TWindowEvents {
    std::vector<std::string> Log;
    int Changes = 0;
    int Ticks = 0;
    std::function<void(int&)> OnKey;
    std::function<void()> OnTick;
    std::function<void()> OnClose;

    static std::string Name(TControl c) { return ControlName(c); }
    static std::string Button(TMouseButton b) {
        return b == TMouseButton::Left ? "L" : b == TMouseButton::Right ? "R" : "M";
    }
    static std::string Mods(TShiftState s) {
        return std::string(s.Shift ? "S" : "") + (s.Ctrl ? "C" : "") + (s.Alt ? "A" : "");
    }

    void FormPaint() override {}
    void Timer1Timer() override {
        ++Ticks;
        if (OnTick) OnTick();
    }
    void FormMouseDown(TControl s, TMouseButton b, TShiftState m, int x, int y) override {
        Log.push_back("down " + Name(s) + " " + Button(b) + Mods(m) + " " + std::to_string(x) +
                      "," + std::to_string(y));
    }
    void FormMouseMove(TControl s, TShiftState, int x, int y) override {
        Log.push_back("move " + Name(s) + " " + std::to_string(x) + "," + std::to_string(y));
    }
    void FormMouseUp(TControl s, TMouseButton b, TShiftState m, int x, int y) override {
        Log.push_back("up " + Name(s) + " " + Button(b) + Mods(m) + " " + std::to_string(x) + "," +
                      std::to_string(y));
    }
    void FormKeyDown(TControl s, int& key, TShiftState) override {
        Log.push_back("key " + Name(s) + " " + std::to_string(key));
        if (OnKey) OnKey(key);
    }
    void FormKeyUp(TControl s, int& key, TShiftState) override {
        Log.push_back("keyup " + Name(s) + " " + std::to_string(key));
    }
    void AccessibleAction(int id) override { Log.push_back("action " + std::to_string(id)); }
    void AccessibleFocus(int id) override { Log.push_back("focus " + std::to_string(id)); }
    void Memo1Change() override { ++Changes; }
    void Memo1MouseDown(TMouseButton b, TShiftState, int x, int y) override {
        Log.push_back("memo " + Button(b) + " " + std::to_string(x) + "," + std::to_string(y));
    }
    void FormCloseQuery() override {
        Log.push_back("closequery");
        if (OnClose) OnClose();
    }
    void FormDestroy() override {
        Log.push_back("destroy");
        if (OnDestroy) OnDestroy();
    }
    void FormEndSession() override {
        Log.push_back("endsession");
        if (OnEndSession) OnEndSession();
    }
    std::function<void()> OnDestroy;
    std::function<void()> OnEndSession;
};

class Win32Window : public ::testing::Test {
protected:
    void SetUp() override {
        // A window destroyed by an earlier test left its quit message in the queue.
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Os.SetApplicationTitle("SablewickTest-" + std::to_string(GetCurrentProcessId()));
        Os.CreateMainWindow(&Events, 737, 584);
        ASSERT_NE(Os.MainWindow(), nullptr);
        TLabelStyle style;
        style.Background = 118 + 132 * 256 + 207 * 65536;
        Os.CreateLabel(TControl::LabelNo, 445, 290, 50, 12, style);
        Os.CreateMemo(463, 82, 228, 121, 380, style);
        Memo = FindWindowExW(Os.MainWindow(), nullptr, L"Edit", nullptr);
        Label = FindWindowExW(Os.MainWindow(), nullptr, L"Static", nullptr);
        ASSERT_NE(Memo, nullptr);
        ASSERT_NE(Label, nullptr);
    }
    void TearDown() override {
        // Drain what the window posted to itself (a deferred close, the quit message).
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    std::wstring MemoWide() {
        wchar_t text[512] = {};
        GetWindowTextW(Memo, text, 511);
        return text;
    }

    TRecorder Events;
    TWin32Platform Os{GetModuleHandleW(nullptr)};
    HWND Memo = nullptr;
    HWND Label = nullptr;
};

TEST_F(Win32Window, WishBoxStartsReadOnlyHiddenAndEmpty) {
    EXPECT_TRUE(Os.MemoReadOnly());
    EXPECT_FALSE(IsWindowVisible(Memo));
    EXPECT_EQ(Os.MemoText(), "");
    EXPECT_EQ(SendMessageW(Memo, EM_GETLIMITTEXT, 0, 0), 380);
    const LONG style = GetWindowLongW(Memo, GWL_STYLE);
    EXPECT_TRUE(style & ES_MULTILINE);
    EXPECT_FALSE(style & (WS_BORDER | WS_VSCROLL | WS_HSCROLL));
}

TEST_F(Win32Window, SettingTheTextReportsOneChangeAndKeepsCodePage932) {
    Os.SetMemoReadOnly(false);
    const std::string wish = "\x90\xE8\x82\xA2 ok";  // 占い ok
    Os.SetMemoText(wish);
    EXPECT_EQ(Events.Changes, 1);
    EXPECT_EQ(Os.MemoText(), wish);
    EXPECT_EQ(MemoWide(), L"\x5360\x3044 ok");
    // The caret counts characters, not bytes: after the two kanji is 2, not 4.
    Os.SetMemoCaret(2);
    EXPECT_EQ(Os.MemoCaret(), 2);
    Os.SetMemoText("");
    EXPECT_EQ(Events.Changes, 2);
    EXPECT_EQ(Os.MemoText(), "");
}

TEST_F(Win32Window, TypingChangesTheTextButEnterBreaksNoLine) {
    Os.SetMemoReadOnly(false);
    Os.SetMemoText("ab");
    Os.SetMemoCaret(2);
    const int before = Events.Changes;
    SendMessageW(Memo, WM_CHAR, L'c', 1);
    SendMessageW(Memo, WM_CHAR, L'\r', 1);
    SendMessageW(Memo, WM_CHAR, L'\n', 1);  // Ctrl+Enter
    SendMessageW(Memo, WM_CHAR, 0x1B, 1);   // Escape
    EXPECT_EQ(Os.MemoText(), "abc");
    EXPECT_EQ(Events.Changes, before + 1);  // the typed "c", reported by the control

    Os.SetMemoReadOnly(true);
    EXPECT_TRUE(Os.MemoReadOnly());
    SendMessageW(Memo, WM_CHAR, L'd', 1);
    EXPECT_EQ(Os.MemoText(), "abc");
}

TEST_F(Win32Window, KeysReachTheWindowFirstAndAZeroedKeyStopsThere) {
    Os.SetMemoReadOnly(false);
    Os.SetMemoText("abcdef");
    Os.SetMemoCaret(1);
    Events.OnKey = [](int& key) {
        if (key == VK_END) key = 0;
    };
    SendMessageW(Memo, WM_KEYDOWN, VK_END, 1);
    EXPECT_EQ(Os.MemoCaret(), 1);  // swallowed by the window
    SendMessageW(Memo, WM_KEYDOWN, VK_RIGHT, 1);
    EXPECT_EQ(Os.MemoCaret(), 2);  // passed on to the box
    ASSERT_EQ(Events.Log.size(), 2u);
    EXPECT_EQ(Events.Log[0], "key Memo1 35");
    EXPECT_EQ(Events.Log[1], "key Memo1 39");

    // With the box hidden the window takes the keys itself.
    SendMessageW(Os.MainWindow(), WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(Events.Log.back(), "key Form 13");
}

TEST_F(Win32Window, RightPressInTheWishBoxGoesToItsOwnHandler) {
    SendMessageW(Memo, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(7, 9));
    ASSERT_FALSE(Events.Log.empty());
    EXPECT_EQ(Events.Log.front(), "memo R 7,9");
}

TEST_F(Win32Window, LabelsForwardTheirMouseWithTheirOwnCoordinates) {
    SendMessageW(Label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
    SendMessageW(Label, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 3));
    SendMessageW(Label, WM_LBUTTONUP, 0, MAKELPARAM(61, 4));
    // A quick second press arrives as a double click; it is still a press.
    SendMessageW(Label, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(1, 2));
    SendMessageW(Label, WM_LBUTTONUP, 0, MAKELPARAM(1, 2));
    const std::vector<std::string> want = {"down LabelNo L 5,6", "move LabelNo 60,3",
                                           "up LabelNo L 61,4", "down LabelNo L 1,2",
                                           "up LabelNo L 1,2"};
    EXPECT_EQ(Events.Log, want);
}

TEST_F(Win32Window, WindowMouseCarriesModifiersAndNegativePositions) {
    HWND w = Os.MainWindow();
    SendMessageW(w, WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT | MK_CONTROL, MAKELPARAM(10, 20));
    // While captured, a position left of and above the window is negative.
    SendMessageW(w, WM_MOUSEMOVE, MK_MBUTTON, MAKELPARAM(-3, -4));
    SendMessageW(w, WM_MBUTTONUP, 0, MAKELPARAM(-3, -4));
    const std::vector<std::string> want = {"down Form RSC 10,20", "move Form -3,-4",
                                           "up Form M -3,-4"};
    EXPECT_EQ(Events.Log, want);
}

TEST_F(Win32Window, LabelTextAndStyle) {
    Os.SetLabelText(TControl::LabelNo, "CARD.\x82\x4F");  // CARD.０
    wchar_t text[32] = {};
    GetWindowTextW(Label, text, 31);
    EXPECT_STREQ(text, L"CARD.\xFF10");
    TLabelStyle centred;
    centred.Centred = centred.VCentred = true;
    Os.SetLabelStyle(TControl::LabelNo, centred);
    LONG style = GetWindowLongW(Label, GWL_STYLE);
    EXPECT_EQ(style & SS_TYPEMASK, SS_CENTER);
    EXPECT_TRUE(style & SS_CENTERIMAGE);
    TLabelStyle wrapped;
    wrapped.WordWrap = true;
    Os.SetLabelStyle(TControl::LabelNo, wrapped);
    style = GetWindowLongW(Label, GWL_STYLE);
    EXPECT_EQ(style & SS_TYPEMASK, SS_LEFT);
    EXPECT_FALSE(style & SS_CENTERIMAGE);
    EXPECT_TRUE(style & SS_NOTIFY);
    Os.SetLabelVisible(TControl::LabelNo, false);
    EXPECT_FALSE(GetWindowLongW(Label, GWL_STYLE) & WS_VISIBLE);
}

TEST_F(Win32Window, TopmostRegionAndPosition) {
    EXPECT_FALSE(Os.IsTopmost());
    Os.SetTopmost(true);
    EXPECT_TRUE(Os.IsTopmost());
    Os.SetTopmost(false);
    EXPECT_FALSE(Os.IsTopmost());

    Os.SetWindowRegion(Os.CreateRectRegion(0, 0, 10, 20));
    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(Os.MainWindow(), probe), SIMPLEREGION);
    RECT box;
    GetRgnBox(probe, &box);
    EXPECT_EQ(box.right, 10);
    EXPECT_EQ(box.bottom, 20);
    DeleteObject(probe);

    Os.SetWindowPos(120, 70);
    int left = 0, top = 0;
    Os.GetWindowPos(left, top);
    EXPECT_EQ(left, 120);
    EXPECT_EQ(top, 70);
}

TEST_F(Win32Window, CloseFromAHandlerWaitsForTheLoopAndDestroyRunsWhileTheWindowLives) {
    Os.SetWindowPos(111, 66);
    Os.SetMemoReadOnly(false);
    Os.SetMemoText("abc");
    // What the program's destroy handler sees: the window where the user left it and
    // the wish box with its text.
    int left = 0, top = 0;
    std::string wish;
    Events.OnDestroy = [&] {
        Os.GetWindowPos(left, top);
        wish = Os.MemoText();
    };
    // As the program does: the close request ends in CloseMainWindow from inside the
    // window's own message.
    Events.OnClose = [this] { Os.CloseMainWindow(); };
    HWND w = Os.MainWindow();
    SendMessageW(w, WM_CLOSE, 0, 0);
    EXPECT_EQ(Events.Log, std::vector<std::string>{"closequery"});
    EXPECT_TRUE(IsWindow(w));  // still there while its handler ran
    Os.RunMessageLoop();       // ends with the window
    EXPECT_EQ(Events.Log, (std::vector<std::string>{"closequery", "destroy"}));
    EXPECT_EQ(left, 111);
    EXPECT_EQ(top, 66);
    EXPECT_EQ(wish, "abc");
    EXPECT_FALSE(IsWindow(w));
    EXPECT_FALSE(IsWindow(Memo));
    EXPECT_EQ(Os.MainWindow(), nullptr);
    // The controls are gone with it, and no event reaches the program any more.
    EXPECT_EQ(Os.MemoText(), "");
    Os.SetMemoText("late");
    EXPECT_EQ(Os.MemoText(), "");
    EXPECT_EQ(Events.Log.size(), 2u);
}

TEST_F(Win32Window, TheSessionsEndIsAgreedToAndReportedBeforeTheProcessMayEnd) {
    HWND w = Os.MainWindow();
    EXPECT_EQ(SendMessageW(w, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    // An end that was called off is no end.
    SendMessageW(w, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    EXPECT_TRUE(Events.Log.empty());
    SendMessageW(w, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(Events.Log, std::vector<std::string>{"endsession"});
    EXPECT_TRUE(IsWindow(w)) << "nothing is destroyed: the process may end at any moment";
}

TEST_F(Win32Window, OnlyTheWishBoxHasAnInputContext) {
    HIMC main = ImmGetContext(Os.MainWindow());
    EXPECT_EQ(main, nullptr) << "keys over the window itself never start a composition";
    if (main) ImmReleaseContext(Os.MainWindow(), main);
    HIMC memo = ImmGetContext(Memo);
    EXPECT_NE(memo, nullptr);
    if (memo) ImmReleaseContext(Memo, memo);
}

TEST_F(Win32Window, TimerTicksUntilTheWindowCloses) {
    Events.OnTick = [this] {
        if (Events.Ticks == 3) Os.CloseMainWindow();
    };
    Os.StartTimer(10);
    Os.RunMessageLoop();
    EXPECT_EQ(Events.Ticks, 3);
}

TEST_F(Win32Window, RunningInstanceIsFoundByCaptionAndRestored) {
    const std::string caption = "SablewickTest-" + std::to_string(GetCurrentProcessId());
    ShowWindow(Os.MainWindow(), SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(Os.MainWindow()));
    TWin32Platform other(GetModuleHandleW(nullptr));
    EXPECT_TRUE(other.ActivateRunningInstance(caption));
    EXPECT_FALSE(IsIconic(Os.MainWindow()));
    EXPECT_FALSE(other.ActivateRunningInstance(caption + "-none"));
}

TEST_F(Win32Window, AnotherProgramsWindowWithTheSameCaptionIsNoInstance) {
    // An Explorer window on a folder named like the program has the same caption.
    const std::string caption = "SablewickDecoy-" + std::to_string(GetCurrentProcessId());
    const std::wstring wide = SjisToWide(caption);
    HWND decoy = CreateWindowExW(0, L"Static", wide.c_str(), WS_POPUP, 0, 0, 10, 10, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(decoy, nullptr);
    ASSERT_EQ(FindWindowW(nullptr, wide.c_str()), decoy);
    TWin32Platform other(GetModuleHandleW(nullptr));
    EXPECT_FALSE(other.ActivateRunningInstance(caption));
    DestroyWindow(decoy);
}

TEST_F(Win32Window, AMoveToAMonitorOfAnotherResolutionRescalesEverythingButTheProgramsPixels) {
    HWND w = Os.MainWindow();
    HMONITOR monitor = MonitorFromWindow(w, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info;
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetMonitorInfoW(monitor, &info));
    const TWindowScale want = TWindowScale::Choose(144, info.rcWork.right - info.rcWork.left,
                                                   info.rcWork.bottom - info.rcWork.top, 737, 584);
    ASSERT_GT(want.Factor(), 1.0) << "the test screen is too small to scale at all";
    Os.SetWindowPos(10, 20);
    RECT suggested = {30, 40, 30 + 1106, 40 + 876};
    SendMessageW(w, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(r.left, 30) << "where Windows suggests";
    EXPECT_EQ(r.top, 40);
    EXPECT_EQ(r.right - r.left, want.PhysicalWidth()) << "as large as fits the work area";
    EXPECT_EQ(r.bottom - r.top, want.PhysicalHeight());
    int width = 0, height = 0;
    Os.GetWindowSize(width, height);
    EXPECT_EQ(width, want.PhysicalWidth());

    // The label covers the physical pixels of its rectangle, with a font of the scaled
    // height, and a press in it comes back in the program's pixels, label-relative.
    RECT label;
    GetWindowRect(Label, &label);
    MapWindowPoints(nullptr, w, reinterpret_cast<POINT*>(&label), 2);
    EXPECT_EQ(label.left, want.Edge(445));
    EXPECT_EQ(label.right, want.Edge(445 + 50));
    EXPECT_EQ(label.bottom, want.Edge(290 + 12));
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Label, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, want.Length(12));
    SendMessageW(Label, WM_LBUTTONDOWN, MK_LBUTTON,
                 MAKELPARAM(want.Edge(445 + 49) - want.Edge(445), 0));
    SendMessageW(Label, WM_LBUTTONUP, 0, MAKELPARAM(0, 0));
    // The window's own last pixel of the close button, and the first one past it.
    SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(want.Edge(735) - 1, want.Edge(33) - 1));
    SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(want.Edge(735), want.Edge(33)));
    ASSERT_EQ(Events.Log.size(), 4u);
    EXPECT_EQ(Events.Log[0], "down LabelNo L 49,0");
    EXPECT_EQ(Events.Log[2], "down Form L 734,32");
    EXPECT_EQ(Events.Log[3], "up Form L 735,33");

    // Back on a 100 % monitor the window is the program's own size again.
    SendMessageW(w, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
    GetWindowRect(w, &r);
    EXPECT_EQ(r.right - r.left, 737);
    EXPECT_EQ(r.bottom - r.top, 584);
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Label, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, 12);
}

}  // namespace
#endif  // _WIN32
