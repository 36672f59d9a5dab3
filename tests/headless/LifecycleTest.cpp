// The window's end as Windows brings it: destroyed with its controls (the settings are
// written while they still exist), or the session ending under it. And where a saved
// window comes back when the monitors have changed.
#include <climits>
#include <cstdio>

#include "AppFixture.h"
#include "app/WindowPlacement.h"

namespace {

std::string IniValue(const std::string& ini, const std::string& key) {
    const std::string prefix = "\n" + key + "=";
    const size_t at = ini.find(prefix);
    if (at == std::string::npos) return "<none>";
    const size_t from = at + prefix.size();
    return ini.substr(from, ini.find('\r', from) - from);
}

TEST_F(AppTest, TheEntryPointSavesTheTypedWishWhenTheWindowCloses) {
    WriteIni("Fate=10\r\nOldDate=2026/12/08\r\n");
    // The whole life through the entry point, as the program runs: the loop reads the
    // user's actions, and the close button ends it.
    Os->LoopBody = [&] {
        Os->Dispatch([&] { Os->Events->Timer1Timer(); });
        Os->PasteIntoMemo(Os->Utf8ToSjis("旅の無事"));
        int enter = 13;
        Os->Dispatch([&] { Os->Events->FormKeyDown(TControl::Memo1, enter, {}); });
        for (int i = 0; i < 100 && Os->WindowCreated; ++i) {
            Os->Tick += FrameInterval;
            Os->Dispatch([&] { Os->Events->Timer1Timer(); });
        }
        Os->Dispatch(
            [&] { Os->Events->FormMouseDown(TControl::Form, TMouseButton::Left, {}, 703, 1); });
        Os->Dispatch(
            [&] { Os->Events->FormMouseUp(TControl::Form, TMouseButton::Left, {}, 703, 1); });
    };
    EXPECT_EQ(RunProgram(*Os), 0);
    EXPECT_FALSE(Os->WindowCreated);
    const std::string ini = ReadIni();
    EXPECT_EQ(IniValue(ini, "Wish"), Os->Utf8ToSjis("旅の無事"));
    EXPECT_NE(IniValue(ini, "CardNum"), "<none>");
    EXPECT_TRUE(Os->Messages.empty());
}

TEST_F(AppTest, AClosedWindowHasNoControlsAndHearsNothing) {
    Start();
    Type("abc");
    Close();
    EXPECT_FALSE(Os->WindowCreated);
    EXPECT_TRUE(State().Destroyed);
    EXPECT_EQ(Os->MemoText(), "") << "the wish box is gone with the window";
    EXPECT_FALSE(Os->PasteIntoMemo("x"));
    Os->SetLabelText(TControl::LabelNo, "CARD.001");
    EXPECT_EQ(Os->Labels[TControl::LabelNo].Text, "");
    // Nothing reaches the program after its destroy handler; a second close or destroy
    // does nothing.
    bool reached = false;
    Os->Dispatch([&] { reached = true; });
    EXPECT_FALSE(reached);
    const std::string ini = ReadIni();
    Os->DestroyWindow();
    Form->Events.FormDestroy();
    EXPECT_EQ(ReadIni(), ini);
}

TEST_F(AppTest, TheCloseButtonDestroysTheWindowOnlyAfterItsHandlerReturns) {
    Start();
    Type("abc");
    Key(13);
    Idle();
    bool aliveInHandler = false;
    Os->Dispatch([&] {
        Form->Events.FormMouseDown(TControl::Form, TMouseButton::Left, {}, 703, 1);
        Form->Events.FormMouseUp(TControl::Form, TMouseButton::Left, {}, 703, 1);
        aliveInHandler = Os->WindowCreated && Os->MemoText() == "abc";
    });
    EXPECT_TRUE(aliveInHandler);
    EXPECT_FALSE(Os->WindowCreated);
    EXPECT_EQ(IniValue(ReadIni(), "Wish"), "abc");
}

TEST_F(AppTest, TheSessionsEndSavesTheReadingAsACloseWouldWithoutABox) {
    WriteIni("Fate=10\r\nOldDate=2026/12/08\r\n");
    Start();
    Type("abc");
    Key(13);
    Idle();
    const size_t sounds = Os->Sounds.size();
    Os->EndSession();
    EXPECT_TRUE(Os->EndSessionQueried);
    const std::string atSessionEnd = ReadIni();
    EXPECT_EQ(IniValue(atSessionEnd, "Wish"), "abc");
    EXPECT_EQ(IniValue(atSessionEnd, "CardNum"), std::to_string(State().CurrentCard));
    EXPECT_EQ(Os->Sounds.size(), sounds) << "no sound, not even a stop";
    EXPECT_TRUE(Os->WindowCreated) << "the window is left as it is";
    EXPECT_FALSE(State().Closing);

    // Should the program live on, its close writes the same again.
    Close();
    const std::string atClose = ReadIni();
    EXPECT_EQ(IniValue(atClose, "Wish"), "abc");
    EXPECT_EQ(atClose, atSessionEnd);
    EXPECT_TRUE(Os->Messages.empty());
}

TEST_F(AppTest, AFailedSaveAtTheSessionsEndShowsNothingAndKeepsTheFile) {
    WriteIni("Fate=3\r\nCardOK=lll\r\n");
    const std::string before = ReadIni();
    Start();
    Os->FailWriteAt = 5;
    Os->EndSession();
    EXPECT_TRUE(Os->Messages.empty()) << "no box may hold up the session's end";
    EXPECT_EQ(ReadIni(), before);
    EXPECT_FALSE(Os->FileExists(Dir + "Orvane.ini.new"));
}

TEST_F(AppTest, EscapeOnAnEmptyWishBoxIsNoChange) {
    Start();
    ASSERT_EQ(Button(FortuneButton).State, kStateDisabled);
    Key(27);
    EXPECT_EQ(Button(FortuneButton).State, kStateDisabled) << "nothing was edited";
    Type("a");
    EXPECT_EQ(Button(FortuneButton).State, kStateNormal);
    Key(27);
    EXPECT_EQ(Os->MemoText(), "");
    EXPECT_EQ(Button(FortuneButton).State, kStateNormal) << "clearing the box is an edit";
}

TEST_F(AppTest, ASavedWindowOffEveryMonitorComesBackWhereItCanBeReached) {
    // Two monitors: the left one at negative coordinates, with a task bar at its bottom.
    Os->Monitors = {{-1920, 0, 0, 1040}, {0, 0, 1024, 768}};
    struct Case {
        int Left, Top;
        int WantLeft, WantTop;
    } cases[] = {
        {-1500, 300, -1500, 300},                        // on the left monitor: kept
        {-40, 100, -40, 100},                            // across both: kept
        {-1920 - 737 + 64, 976, -1920 - 737 + 64, 976},  // 64 x 64 showing: kept
        {-1920 - 737 + 63, 300, -1920, 300},             // one pixel less: brought in
        {1024 - 64, 100, 1024 - 64, 100},                // 64 columns on the right: kept
        {1024 - 63, 100, 1024 - 737, 100},               // 63: brought in
        // The other axis, at both edges of each monitor (the left one's task bar too).
        {100, 768 - 64, 100, 768 - 64},
        {100, 768 - 63, 100, 768 - 584},
        {100, -584 + 64, 100, -584 + 64},
        {100, -584 + 63, 100, 0},
        {-1500, 1040 - 64, -1500, 1040 - 64},
        {-1500, 1040 - 63, -1500, 1040 - 584},
        {5000, 5000, 1024 - 737, 768 - 584},  // a monitor that was unplugged
        {INT_MIN, INT_MIN, -1920, 0},
        {INT_MAX, INT_MAX, 1024 - 737, 768 - 584},
    };
    for (const Case& c : cases) {
        Form.reset();
        Os.reset(new THeadlessPlatform(Dir));
        Os->Monitors = {{-1920, 0, 0, 1040}, {0, 0, 1024, 768}};
        WriteIni("ResumeOk=1\r\nLeft=" + std::to_string(c.Left) +
                 "\r\nTop=" + std::to_string(c.Top) + "\r\n");
        Start();
        EXPECT_EQ(Os->Left, c.WantLeft) << c.Left << "," << c.Top;
        EXPECT_EQ(Os->Top, c.WantTop) << c.Left << "," << c.Top;
        Close();
        EXPECT_EQ(IniValue(ReadIni(), "Left"), std::to_string(c.WantLeft));
    }
}

}  // namespace

TEST(WindowPlacement, AWindowLargerThanTheWorkAreaKeepsItsCornerInside) {
    const TScreenRect small{100, 50, 740, 530};  // 640 x 480 beside a task bar
    int64_t left = 2000, top = -3000;
    ReachableWindowPos(left, top, 737, 584, {small}, small);
    EXPECT_EQ(left, 100);
    EXPECT_EQ(top, 50);
    // Reachable on a work area it only touches with 64 x 64 pixels.
    left = 740 - 64;
    top = 530 - 64;
    ReachableWindowPos(left, top, 737, 584, {small}, small);
    EXPECT_EQ(left, 740 - 64);
    EXPECT_EQ(top, 530 - 64);
    const TScreenRect r = SavedWindowRect(INT_MAX, INT_MIN, 737, 584);
    EXPECT_EQ(r.Right, INT_MAX);
    EXPECT_EQ(r.Top, INT_MIN);
    EXPECT_EQ(r.Bottom, INT_MIN + 584);
}

TEST_F(AppTest, OnAScaledDisplayTheWindowIsCentredAtItsSizeAndSmallScreensCountInItsPixels) {
    // 150 % on a 1920 x 900 screen: the window shows as 1106 x 876, and the screen is
    // 600 of the program's pixels high, under the 616 that keep the window on top.
    Os->DisplayScale = 1.5;
    Os->ScreenWidth = 1920;
    Os->ScreenHeight = 900;
    Start();
    EXPECT_EQ(Os->Left, (1920 - 1106) / 2);
    EXPECT_EQ(Os->Top, (900 - 876) / 2 - 9);
    EXPECT_TRUE(State().Options.StayOnTop);
    Close();
    // The same screen at 100 % is tall enough.
    Form.reset();
    Os.reset(new THeadlessPlatform(Dir));
    std::remove((Dir + "Orvane.ini").c_str());
    Os->ScreenWidth = 1920;
    Os->ScreenHeight = 900;
    Start();
    EXPECT_FALSE(State().Options.StayOnTop);
    EXPECT_EQ(Os->Top, (900 - 584) / 2 - 6);
}
