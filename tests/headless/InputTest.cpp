// Mouse and keyboard dispatch: hit edges, accepting states, drags, keys and the creator
// button held down.
#include "common/SjisTexts.h"
#include "tests/headless/AppFixture.h"

TEST_F(AppTest, ButtonEdgesAreHalfOpen) {
    Start();
    Tick(10);
    const ButtonRecord r = Button(RandomButton);
    Click(r.X + r.Width, r.Y);  // one pixel right of the button: a drag, no draw
    EXPECT_EQ(State().AnimStep, 0);
    EXPECT_EQ(State().CurrentCard, 0);
    Click(r.X + r.Width - 1, r.Y + r.Height - 1);
    EXPECT_EQ(State().AnimStep, 1000);
    EXPECT_GE(State().CurrentCard, 1);
    EXPECT_EQ(Button(RandomButton).State, kStatePressed);
}

TEST_F(AppTest, APressOnADisabledButtonIsConsumedWithoutADrag) {
    Start();
    Tick(10);
    Os->Sounds.clear();
    Down(471, 233);  // fortune button, disabled at start
    EXPECT_EQ(State().AnimStep, 0);
    EXPECT_TRUE(Os->Sounds.empty());
    Move(600, 300);
    EXPECT_EQ(Os->Left, 143) << "no drag started";
    Up(600, 300);
    Key(13);  // Enter on the disabled fortune button
    EXPECT_EQ(State().AnimStep, 0);
    EXPECT_FALSE(State().ReadingMade);
}

TEST_F(AppTest, EscapeThenEnterDrawsTheTitleCard) {
    WriteIni("ResumeOk=1\r\nCardNum=9\r\nCardOK=" + std::string(9, 'l') + "\r\n");
    Start();
    Tick(10);
    Type("x");
    Key(27);
    EXPECT_EQ(Os->Memo.Text, "");
    EXPECT_EQ(Os->Sounds.back(), "A07");
    EXPECT_EQ(Button(FortuneButton).State, 1) << "clearing the text is a change";
    Key(13);
    EXPECT_EQ(State().AnimStep, 1000);
    EXPECT_EQ(State().CurrentCard, 0);
    EXPECT_EQ(State().PreviousCard, 9);
    EXPECT_EQ(State().SeenCards, std::string(9, 'l') + std::string(40, '.'));
    Idle();
    EXPECT_EQ(LabelText(TControl::LabelNo), "CARD.000");
    EXPECT_EQ(Button(FortuneButton).State, 0);
}

TEST_F(AppTest, WindowDragsByBodyAndByMiddleButtonOverAButton) {
    Start();
    Tick(10);
    Os->Sounds.clear();
    Down(600, 330);  // the panel, no button
    EXPECT_EQ(State().AnimStep, 1);
    EXPECT_EQ(Os->Pointer, 6);
    EXPECT_EQ(Os->Sounds.back(), "A09");
    Move(610, 320);
    EXPECT_EQ(Os->Left, 153);
    EXPECT_EQ(Os->Top, 76);
    Up(610, 320);
    EXPECT_EQ(State().AnimStep, 0);
    EXPECT_EQ(Os->Pointer, 2);
    EXPECT_EQ(Os->Sounds.back(), "A10");
    // The middle button drags even over the random button, and draws nothing.
    Down(600, 240, TMouseButton::Middle);
    EXPECT_EQ(State().AnimStep, 1);
    EXPECT_EQ(State().CurrentCard, 0);
    Move(590, 240);
    Up(590, 240, TMouseButton::Middle);
    EXPECT_EQ(Os->Left, 143);
}

TEST_F(AppTest, LabelPressesUseLabelCoordinates) {
    Start();
    Tick(10);
    // A press at (1, 1) of the explanation label is tested against the window's buttons
    // at (1, 1): no button, outside the light grab area, so the window drags.
    Down(463 + 1, 398 + 1);
    EXPECT_EQ(State().AnimStep, 1);
    Move(463 + 21, 398 + 1);
    EXPECT_EQ(Os->Left, 163);
    Up(463 + 21 - 20, 398 + 1);  // the window moved with the pointer
    EXPECT_EQ(State().AnimStep, 0);
}

TEST_F(AppTest, CreatorButtonShowsTheCreatorWhileHeld) {
    WriteIni("ResumeOk=1\r\nCardNum=17\r\n");  // unseen: its words still show while held
    Start();
    Tick(10);
    Os->Sounds.clear();
    Click(457, 549);
    EXPECT_EQ(State().AnimStep, 0);
    Down(460, 560);
    EXPECT_EQ(State().AnimStep, 3);
    EXPECT_EQ(Button(CreatorButton).State, kStatePressed);
    EXPECT_EQ(Button(ExplanationCaption).State, 1);
    EXPECT_TRUE(Os->Labels[TControl::LabelCreator].Visible);
    const std::string creator = Form->CardLine(17, FieldCreator);
    EXPECT_EQ(Os->Labels[TControl::LabelCreator].Text, creator.substr(2));
    EXPECT_EQ(Os->Labels[TControl::LabelKaisetu].Text, Form->CardLine(17, FieldComment));
    EXPECT_EQ(Os->Sounds.back(), "B" + creator.substr(0, 2));
    Up(460, 560);
    EXPECT_EQ(State().AnimStep, 0);
    EXPECT_FALSE(Os->Labels[TControl::LabelCreator].Visible);
    EXPECT_EQ(Button(CreatorButton).State, 1);
    EXPECT_EQ(Button(ExplanationCaption).State, 0);
    EXPECT_EQ(Os->Labels[TControl::LabelKaisetu].Text, Form->CardLine(17, FieldExplanation))
        << "the explanation, not the unseen message";
}

TEST_F(AppTest, TitleCardCreatorPlaysTheProgramsOwnSound) {
    Start();
    Down(460, 560);
    EXPECT_EQ(Os->Sounds.back(), "B00");
    Up(460, 560);
}

TEST_F(AppTest, WishBoxRightPressPlaysItsCueWithoutTheMenu) {
    Start();
    Down(468, 87, TMouseButton::Right);  // inside the wish box
    Up(468, 87, TMouseButton::Right);
    EXPECT_EQ(Os->Sounds.back(), "A11");
    EXPECT_EQ(Os->MenuOpenings, 0);
    Down(600, 330, TMouseButton::Right);
    EXPECT_EQ(Os->MenuOpenings, 1);
    EXPECT_EQ(State().AnimStep, 0);
}

TEST_F(AppTest, ClosingRefusesAllInput) {
    Start();
    TFormAccess::Closing(*Form) = true;
    Click(580, 233);
    Key(27);
    Type("x");
    EXPECT_EQ(State().AnimStep, 0);
    EXPECT_EQ(State().CurrentCard, 0);
}

TEST_F(AppTest, MinimiseButtonMinimises) {
    Start();
    Click(674 + 11, 11 + 11);
    EXPECT_TRUE(Os->Minimised);
    EXPECT_EQ(State().AnimStep, 0);
}

TEST_F(AppTest, ACreatorCodeWithoutASoundStaysSilent) {
    Start();
    // Codes 00..17 have sounds B00..B17; a code beyond them must not read past the table.
    TFormAccess::CardText(*Form)[7 * 0 + FieldCreator] = "18Someone New";
    Os->Sounds.clear();
    Down(460, 560);
    EXPECT_EQ(State().AnimStep, 3);
    EXPECT_EQ(LabelText(TControl::LabelCreator), "Someone New");
    EXPECT_EQ(Os->Sounds, std::vector<std::string>{"stop"});
    Up(460, 560);
}
