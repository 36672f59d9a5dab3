// The card turn step by step, the pacing clock and the input lock while it runs.
#include <vector>

#include "tests/headless/AppFixture.h"

class SequencerTest : public AppTest {
protected:
    // Steps the sequencer once (55 ms later) and returns the AnimStep it ran.
    int Step() {
        const int ran = Form->AnimStep;
        Os->Tick += FrameInterval;
        Form->Timer1Timer();
        return ran;
    }
};

TEST_F(SequencerTest, AReadingRunsTwentyOneStepsAndSwapsThePictureWhileTheBackShows) {
    WriteIni("Fate=0\r\nOldDate=2026/12/01\r\n");
    Start();
    Tick(10);
    Type("abc");
    Key(13);
    ASSERT_EQ(Form->AnimStep, 1000);
    EXPECT_TRUE(Os->MemoIsReadOnly);
    const std::vector<uint32_t> oldFace = Form->CardSlot[1].Pixels;
    std::vector<int> steps;
    while (Form->AnimStep != 0) {
        const int ran = Step();
        steps.push_back(ran);
        if (ran == 2004) {
            EXPECT_EQ(Form->CardSlot[1].Pixels, oldFace) << "the old face stays until 2005";
            EXPECT_TRUE(Os->Labels[TControl::LabelNo].Visible);
        }
        if (ran == 2005) {
            EXPECT_NE(Form->CardSlot[1].Pixels, oldFace);
            EXPECT_FALSE(Os->Labels[TControl::LabelNo].Visible) << "labels refilled while hidden";
            EXPECT_EQ(LabelText(TControl::LabelNo), "CARD.012");
        }
        ASSERT_LT(steps.size(), 40u);
    }
    const std::vector<int> expected = {1000, 1001, 1002, 1003, 2000, 2001, 2002, 2003, 2004, 2005, 2006,
                                       3000, 3001, 3002, 3003, 4000, 4001, 4002, 4003, 4004, 4005};
    EXPECT_EQ(steps, expected);
    // The finishing steps.
    EXPECT_TRUE(Os->Labels[TControl::LabelNo].Visible);
    EXPECT_FALSE(Os->MemoIsReadOnly);
    EXPECT_EQ(Button(FortuneButton).State, 0) << "the same wish cannot be drawn twice in a row";
    EXPECT_EQ(Form->CurrentCard, 12);
    // The window shows the composed card area.
    EXPECT_EQ(Os->Surface.GetPixel(206, 298), Form->BackBuffer.GetPixel(206, 298));
}

TEST_F(SequencerTest, TheResumeRunSkipsTheFirstStepAndEndsOnTheNormalPicture) {
    WriteIni("CardNum=5\r\nStarX=4\r\nStarY=9\r\nCardOK=lllll\r\n");
    Start();
    Form->AnimStep = 999;
    Form->ShowAlternate = true;
    int steps = 0;
    while (Form->AnimStep != 0 && steps < 40) {
        Step();
        ++steps;
        if (steps == 1) {
            EXPECT_FALSE(Form->ShowAlternate);
            EXPECT_EQ(Form->StarX, 4);
            EXPECT_EQ(Form->StarY, 9);
        }
    }
    // 999 does the work of 1000 itself and goes on at 1001: the same number of frames.
    EXPECT_EQ(steps, 21);
}

TEST_F(SequencerTest, TheHeartTurnKeepsTheTextsAndShowsTheOtherPicture) {
    WriteIni("ResumeOk=1\r\nCardNum=5\r\nCardOK=" + std::string(49, 'l') + "\r\n");
    Start();
    Tick(10);
    ASSERT_EQ(Button(HeartButton).State, kStateHeartOffer);
    const std::vector<uint32_t> regular = Form->CardSlot[1].Pixels;
    const std::string title = LabelText(TControl::LabelTittle);
    Click(686, 232);
    EXPECT_EQ(Form->AnimStep, 1000);
    EXPECT_TRUE(Form->ShowAlternate);
    while (Form->AnimStep != 0) {
        Step();
        EXPECT_TRUE(Os->Labels[TControl::LabelTittle].Visible) << "texts stay on screen";
    }
    EXPECT_TRUE(Form->ShowAlternate);
    EXPECT_NE(Form->CardSlot[1].Pixels, regular);
    EXPECT_EQ(LabelText(TControl::LabelTittle), title);
    EXPECT_EQ(Button(HeartButton).State, kStateNormal);
    EXPECT_FALSE(Form->KeepCardTexts);
    // Any other turn clears the alternate view at its first step.
    Form->SetCurrentCard(6);
    Form->AnimStep = 1000;
    Step();
    EXPECT_FALSE(Form->ShowAlternate);
}

TEST_F(SequencerTest, AlternateViewOfACardWithoutAnAlternatePictureShowsItsRegularPicture) {
    WriteIni("ResumeOk=1\r\nCardNum=49\r\nCardOK=" + std::string(49, 'l') + "\r\n");
    Start();
    const std::vector<uint32_t> regular = Form->CardSlot[1].Pixels;
    Click(686, 232);
    Idle();
    EXPECT_TRUE(Form->ShowAlternate);
    EXPECT_FALSE(Form->CardSlot[1].Empty());
    EXPECT_EQ(Form->CardSlot[1].Pixels, regular);
}

TEST_F(SequencerTest, PacingIsFiftyFiveMillisecondsAndSurvivesTheTickWrapping) {
    Os->Tick = 0xFFFFFFFFu - 20;
    Start();
    Form->AnimStep = 1000;
    Form->Timer1Timer();  // LastStepTick starts at 0: the first event steps at once
    EXPECT_EQ(Form->AnimStep, 1001);
    for (int i = 0; i < 5; ++i) {
        Os->Tick += 10;
        Form->Timer1Timer();
    }
    EXPECT_EQ(Form->AnimStep, 1001) << "50 ms is not yet a frame";
    Os->Tick += 10;  // wraps past zero
    Form->Timer1Timer();
    EXPECT_EQ(Form->AnimStep, 1002);
    // A long stall is not made up: one step per event.
    Os->Tick += 10000;
    Form->Timer1Timer();
    Form->Timer1Timer();
    EXPECT_EQ(Form->AnimStep, 1003);
}

TEST_F(SequencerTest, InputDuringARunIsDroppedAndAReleaseDoesNotEndIt) {
    Start();
    Tick(10);
    Click(580, 233);  // random
    ASSERT_EQ(Form->AnimStep, 1000);
    const int card = Form->CurrentCard;
    Step();
    Click(580, 233);
    Key(27);
    Down(100, 100, TMouseButton::Middle);
    Up(100, 100, TMouseButton::Middle);
    EXPECT_EQ(Form->AnimStep, 1001);
    EXPECT_EQ(Form->CurrentCard, card);
    EXPECT_EQ(Os->Left, 143);
    EXPECT_EQ(Idle(), 20);
    EXPECT_EQ(Button(RandomButton).State, 1) << "the random button is usable again";
    EXPECT_TRUE(Form->SeenCards[card]);
}

TEST_F(SequencerTest, TheLinkRunOpensThePageOnItsEighthStep) {
    Os->BrowserForHtml = "C:\\Browser\\browse.exe";
    Start();
    Tick(10);
    Click(613, 549);
    ASSERT_EQ(Form->AnimStep, 550);
    for (int i = 0; i < 7; ++i) Step();
    EXPECT_TRUE(Os->ShellLaunches.empty());
    Step();
    ASSERT_EQ(Os->ShellLaunches.size(), 1u);
    EXPECT_EQ(Os->ShellLaunches[0].rfind("C:\\Browser\\browse.exe /url http", 0), 0u);
    EXPECT_EQ(Form->AnimStep, 0);
    EXPECT_EQ(Button(HomepageButton).State, 1);
}
