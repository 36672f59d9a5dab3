// The card turn frame by frame, the pacing clock and the input lock while it runs.
#include <string>
#include <vector>

#include "tests/headless/AppFixture.h"

namespace {
// Plain colours for the pieces of the card area, so a frame on the window can be read
// back: which picture it shows and how wide.
const uint32_t kNami = MakePixel(3, 250, 4);
const uint32_t kFrame = MakePixel(250, 3, 252);
const uint32_t kBack = MakePixel(1, 2, 251);
const uint32_t kOldFace = MakePixel(249, 1, 2);

// A reading on full-size pictures: the old face narrows, the back widens, stays a frame
// longer, narrows, and the new face widens. "o" is the old face, "b" the back, "n" the
// new face, then the number of picture columns between the frame's side pieces.
const std::vector<std::string> kTurn = {"o304", "o262", "o202", "o116", "b2",   "b116", "b202",
                                        "b262", "b304", "b340", "b340", "b304", "b262", "b202",
                                        "b116", "n2",   "n116", "n202", "n262", "n304", "n340"};
}  // namespace

class SequencerTest : public AppTest {
protected:
    // Steps the sequencer once (55 ms later).
    void Step() {
        Os->Tick += FrameInterval;
        Os->FireTimer();
    }
    // Gives the backdrop, the frame, the back and the shown face plain colours.
    void PaintPlain() {
        FillRect(Pics().Nami, 0, 0, Pics().Nami.Width, Pics().Nami.Height, kNami);
        FillRect(Pics().WakuTate, 0, 0, Pics().WakuTate.Width, Pics().WakuTate.Height, kFrame);
        FillRect(Pics().WakuYoko, 0, 0, Pics().WakuYoko.Width, Pics().WakuYoko.Height, kFrame);
        for (int slot : {0, 1}) {
            TPicture& p = Pics().CardSlot[slot];
            ASSERT_EQ(p.Width, 340);
            ASSERT_EQ(p.Height, 500);
            FillRect(p, 0, 0, 340, 500, slot == 0 ? kBack : kOldFace);
        }
    }
    // The frame the window shows, read along the card area's middle row.
    std::string Shown() {
        int columns = 0;
        for (int x = 32; x < 380; ++x) {
            const uint32_t p = Os->Surface.GetPixel(x, 298);
            if (p != kNami && p != kFrame) ++columns;
        }
        const uint32_t centre = Os->Surface.GetPixel(206, 298);
        const char* what = centre == kBack ? "b" : centre == kOldFace ? "o" : "n";
        return what + std::to_string(columns);
    }
};

TEST_F(SequencerTest, AReadingTurnsTheCardOverAndSwapsThePictureWhileTheBackShows) {
    WriteIni("Fate=0\r\nOldDate=2026/12/01\r\n");
    Start();
    Tick(10);
    PaintPlain();
    Type("abc");
    Key(13);
    ASSERT_NE(State().AnimStep, 0);
    EXPECT_TRUE(Os->MemoIsReadOnly);
    const std::vector<uint32_t> oldFace = Pics().CardSlot[1].Pixels;
    std::vector<std::string> frames;
    size_t swappedAt = 0;  // the frame after which the slot holds the new picture
    while (State().AnimStep != 0) {
        const bool labelShown = Os->Labels[TControl::LabelNo].Visible;
        Step();
        frames.push_back(Shown());
        if (swappedAt == 0 && Pics().CardSlot[1].Pixels != oldFace) {
            swappedAt = frames.size();
            EXPECT_TRUE(labelShown) << "the texts stay until the picture changes";
            EXPECT_FALSE(Os->Labels[TControl::LabelNo].Visible) << "labels refilled while hidden";
            EXPECT_EQ(LabelText(TControl::LabelNo), "CARD.012");
        }
        ASSERT_LT(frames.size(), 40u);
    }
    EXPECT_EQ(frames, kTurn);
    EXPECT_EQ(swappedAt, 10u) << "the new face is loaded while the whole back shows";
    // The finishing steps.
    EXPECT_TRUE(Os->Labels[TControl::LabelNo].Visible);
    EXPECT_FALSE(Os->MemoIsReadOnly);
    EXPECT_EQ(Button(FortuneButton).State, 0) << "the same wish cannot be drawn twice in a row";
    EXPECT_EQ(State().CurrentCard, 12);
    // The window shows the composed card area.
    EXPECT_EQ(Os->Surface.GetPixel(206, 298), Pics().BackBuffer.GetPixel(206, 298));
}

TEST_F(SequencerTest, TheResumeRunTurnsLikeAReadingFromTheSavedOriginAndEndsOnTheNormalPicture) {
    // The alternate picture shows (the heart) and the wish was edited when the last
    // reading is replayed.
    WriteIni("ResumeOk=1\r\nCardNum=5\r\nStarX=4\r\nStarY=9\r\nCardOK=" + std::string(49, 'l') +
             "\r\n");
    Start();
    Tick(10);
    Click(686, 232);
    Idle();
    ASSERT_TRUE(State().ShowAlternate);
    Type("x");
    PaintPlain();
    Menu(TMenuItem::PopSaigen);
    ASSERT_NE(State().AnimStep, 0);
    std::vector<std::string> frames;
    while (State().AnimStep != 0 && frames.size() < 40) {
        Step();
        frames.push_back(Shown());
        if (frames.size() == 1) {
            EXPECT_FALSE(State().ShowAlternate);
            EXPECT_EQ(State().StarX, 4);
            EXPECT_EQ(State().StarY, 9);
        }
    }
    EXPECT_EQ(frames, kTurn);
    TPicture regular;
    ASSERT_TRUE(LoadJpeg("C005", regular));
    EXPECT_EQ(Pics().CardSlot[1].Pixels, regular.Pixels);
}

TEST_F(SequencerTest, TheHeartTurnKeepsTheTextsAndShowsTheOtherPicture) {
    WriteIni("ResumeOk=1\r\nCardNum=5\r\nCardOK=" + std::string(49, 'l') + "\r\n");
    Start();
    Tick(10);
    ASSERT_EQ(Button(HeartButton).State, kStateHeartOffer);
    const std::vector<uint32_t> regular = Pics().CardSlot[1].Pixels;
    const std::string title = LabelText(TControl::LabelTittle);
    Click(686, 232);
    EXPECT_NE(State().AnimStep, 0);
    EXPECT_TRUE(State().ShowAlternate);
    while (State().AnimStep != 0) {
        Step();
        EXPECT_TRUE(Os->Labels[TControl::LabelTittle].Visible) << "texts stay on screen";
    }
    EXPECT_TRUE(State().ShowAlternate);
    EXPECT_NE(Pics().CardSlot[1].Pixels, regular);
    EXPECT_EQ(LabelText(TControl::LabelTittle), title);
    EXPECT_EQ(Button(HeartButton).State, kStateNormal);
    EXPECT_FALSE(State().KeepCardTexts);
    // Any other turn clears the alternate view at its first step.
    Click(580, 233);  // random
    ASSERT_NE(State().AnimStep, 0);
    Step();
    EXPECT_FALSE(State().ShowAlternate);
}

TEST_F(SequencerTest, AlternateViewOfACardWithoutAnAlternatePictureShowsItsRegularPicture) {
    WriteIni("ResumeOk=1\r\nCardNum=49\r\nCardOK=" + std::string(49, 'l') + "\r\n");
    Start();
    const std::vector<uint32_t> regular = Pics().CardSlot[1].Pixels;
    Click(686, 232);
    Idle();
    EXPECT_TRUE(State().ShowAlternate);
    EXPECT_FALSE(Pics().CardSlot[1].Empty());
    EXPECT_EQ(Pics().CardSlot[1].Pixels, regular);
}

TEST_F(SequencerTest, PacingIsFiftyFiveMillisecondsAndSurvivesTheTickWrapping) {
    Os->Tick = 0xFFFFFFFFu - 20;
    WriteIni("Fate=0\r\nOldDate=2026/12/01\r\n");
    Start();
    PaintPlain();
    Type("abc");
    Key(13);
    Os->FireTimer();  // no step has run yet: the first event steps at once
    EXPECT_EQ(Shown(), kTurn[0]);
    for (int i = 0; i < 5; ++i) {
        Os->Tick += 10;
        Os->FireTimer();
    }
    EXPECT_EQ(Shown(), kTurn[0]) << "50 ms is not yet a frame";
    Os->Tick += 10;  // wraps past zero
    Os->FireTimer();
    EXPECT_EQ(Shown(), kTurn[1]);
    // A long stall is not made up: one step per event.
    Os->Tick += 10000;
    Os->FireTimer();
    Os->FireTimer();
    EXPECT_EQ(Shown(), kTurn[2]);
}

TEST_F(SequencerTest, InputDuringARunIsDroppedAndAReleaseDoesNotEndIt) {
    Start();
    Tick(10);
    Click(580, 233);  // random
    ASSERT_NE(State().AnimStep, 0);
    const int card = State().CurrentCard;
    Step();
    const int step = State().AnimStep;
    Click(580, 233);
    Key(27);
    Down(100, 100, TMouseButton::Middle);
    Up(100, 100, TMouseButton::Middle);
    EXPECT_EQ(State().AnimStep, step);
    EXPECT_EQ(State().CurrentCard, card);
    EXPECT_EQ(Os->Left, 143);
    EXPECT_EQ(Idle(), static_cast<int>(kTurn.size()) - 1) << "the rest of the turn";
    EXPECT_EQ(Button(RandomButton).State, 1) << "the random button is usable again";
    EXPECT_TRUE(State().Collection.SeenCards[card]);
}

TEST_F(SequencerTest, TheLinkRunOpensThePageOnItsEighthStep) {
    Os->BrowserForHtml = "C:\\Browser\\browse.exe";
    Start();
    Tick(10);
    Click(613, 549);
    ASSERT_NE(State().AnimStep, 0);
    for (int i = 0; i < 7; ++i) Step();
    EXPECT_TRUE(Os->ShellLaunches.empty());
    Step();
    ASSERT_EQ(Os->ShellLaunches.size(), 1u);
    EXPECT_EQ(Os->ShellLaunches[0].rfind("C:\\Browser\\browse.exe /url http", 0), 0u);
    EXPECT_EQ(State().AnimStep, 0);
    EXPECT_EQ(Button(HomepageButton).State, 1);
}
