// Starting and closing the program: what a first start, a resumed start and a failed
// start look like, and what closing writes.
#include "tests/headless/AppFixture.h"

#include <algorithm>

#include "common/MySysU.h"
#include "common/SjisTexts.h"
#include "content/DecodeAhead.h"

TEST_F(AppTest, FirstStartWithoutSettingsShowsTheTitleCardCentred) {
    Start();
    EXPECT_EQ(Os->Left, (1024 - 737) / 2);
    EXPECT_EQ(Os->Top, (768 - 584) / 2 - 6);
    EXPECT_EQ(Os->Width, 737);
    EXPECT_EQ(Os->Height, 584);
    EXPECT_EQ(State().CurrentCard, 0);
    EXPECT_TRUE(Os->Memo.Visible);
    EXPECT_FALSE(Os->MemoIsReadOnly);
    EXPECT_EQ(Os->Memo.Text, "");
    EXPECT_EQ(LabelText(TControl::LabelNo), "CARD.000");
    EXPECT_EQ(LabelText(TControl::LabelTittle), "") << "card 0 has no title";
    EXPECT_NE(LabelText(TControl::LabelKaisetu).find("占い実行"), std::string::npos);
    EXPECT_FALSE(Os->Labels[TControl::LabelCreator].Visible);
    for (TControl c :
         {TControl::LabelNo, TControl::LabelTittle, TControl::LabelKaisetu, TControl::LabelCreator})
        EXPECT_EQ(Os->Labels[c].Style.Background, PackColor(118, 132, 207));
    EXPECT_EQ(Os->Labels[TControl::LabelTittle].Style.TextColor, PackColor(31, 33, 55));
    EXPECT_EQ(Os->Labels[TControl::LabelTittle].Style.CellHeight, 24);
    EXPECT_EQ(Os->MemoMaxLength, 380);
    EXPECT_FALSE(State().Options.StayOnTop);
    EXPECT_FALSE(Os->Topmost);
    EXPECT_TRUE(State().Options.LightShow);
    EXPECT_FALSE(State().Options.MuteOn);
    EXPECT_EQ(Os->Pointer, 2);
    EXPECT_NE(Os->WindowRegion, nullptr) << "the window has its outline";
    EXPECT_EQ(Os->TimerInterval, 10);
    // The back buffer is on the window: a pixel outside the picture area shows BASE.
    EXPECT_EQ(Os->Surface.GetPixel(600, 150), Pics().BackBuffer.GetPixel(600, 150));
    EXPECT_FALSE(Os->FileExists(Dir + "z.html")) << "the browser probe is removed again";
}

TEST_F(AppTest, SmallScreenStaysOnTopByDefault) {
    Os->ScreenHeight = 600;
    Start();
    EXPECT_TRUE(State().Options.StayOnTop);
    EXPECT_TRUE(Os->Topmost);
    EXPECT_TRUE(State().MenuEntry(TMenuItem::MStayOnTop).Checked);
    EXPECT_EQ(Os->Top, (600 - 584) / 2 - 6);
}

TEST_F(AppTest, ResumedStartRestoresTheLastReading) {
    const std::string wish = Os->Utf8ToSjis("旅の無事");
    WriteIni(
        "ResumeOk=1\r\nCardNum=17\r\nLeft=-40\r\nTop=3000\r\nStarX=12\r\nStarY=-7\r\n"
        "CardOK=" +
        std::string(17, 'l') + "\r\nWish=" + wish + "\r\n");
    Start();
    // Below the screen nobody could reach it: it comes up inside the screen instead.
    EXPECT_EQ(Os->Left, 0);
    EXPECT_EQ(Os->Top, 768 - 584);
    EXPECT_EQ(State().CurrentCard, 17);
    EXPECT_EQ(State().PreviousCard, 0);
    EXPECT_EQ(State().StarX, 12);
    EXPECT_EQ(State().StarY, -7);
    EXPECT_EQ(Os->Memo.Text, wish);
    EXPECT_EQ(Os->MemoCaretPos, 4) << "the caret after the last character";
    EXPECT_EQ(LabelText(TControl::LabelNo), "CARD.017");
    EXPECT_EQ(Button(FortuneButton).State, 0) << "the restored wish is not a new edit";
    EXPECT_TRUE(Os->Memo.Visible);
}

TEST_F(AppTest, ResumedIndexViewKeepsTheWishBoxHidden) {
    WriteIni("ResumeOk=1\r\nCardNum=23\r\nIndexMode=1\r\n");
    Start();
    EXPECT_TRUE(State().IndexMode);
    EXPECT_FALSE(Os->Memo.Visible);
    EXPECT_EQ(State().LoadedIndexPage, 2);
    EXPECT_EQ(Button(WishCaption).State, 1);
}

TEST_F(AppTest, ResumeOffReadsButDoesNotApplyTheReading) {
    WriteIni("ResumeOk=0\r\nCardNum=17\r\nLeft=5\r\nTop=5\r\nIndexMode=1\r\nWish=abc\r\n");
    Start();
    EXPECT_EQ(State().CurrentCard, 0);
    EXPECT_EQ(Os->Left, 143);
    EXPECT_FALSE(State().IndexMode);
    EXPECT_EQ(State().SavedCard, 17);
    EXPECT_EQ(State().SavedWish, "abc");
    EXPECT_EQ(Os->Memo.Text, "");
}

TEST_F(AppTest, UnseenResumedCardShowsTheTitleCardPictureAndUnseenTexts) {
    WriteIni("ResumeOk=1\r\nCardNum=17\r\n");
    Start();
    EXPECT_EQ(LabelText(TControl::LabelNo), "CARD.017");
    EXPECT_EQ(LabelText(TControl::LabelTittle), "？？？");
    EXPECT_EQ(Os->Labels[TControl::LabelKaisetu].Text, sjis::kUnseenMessage);
    TPicture title;
    LoadJpeg("C000", title);
    EXPECT_EQ(Pics().CardSlot[1].Pixels, title.Pixels);
}

TEST_F(AppTest, FailedStartShowsTheErrorAndLeavesTheSettingsAlone) {
    WriteIni("Fate=7\r\nCardOK=lll\r\n");
    const std::string before = ReadIni();
    Os->HiddenResources.insert("BUTTON");
    TOrvaneFM form(*Os);
    EXPECT_FALSE(form.FormCreate());
    ASSERT_EQ(Os->Messages.size(), 1u);
    EXPECT_EQ(Os->Messages[0].Title, "Sablewick");
    EXPECT_EQ(Os->SjisToUtf8(Os->Messages[0].Text), "Button リソースが見つかりません");
    // The timer and input that may still arrive touch nothing that was never built.
    Os->Tick += 100;
    form.Events.Timer1Timer();
    form.Events.FormMouseDown(TControl::Form, TMouseButton::Left, {}, 500, 250);
    int key = 13;
    form.Events.FormKeyDown(TControl::Memo1, key, {});
    form.Events.FormDestroy();
    EXPECT_EQ(ReadIni(), before);
    EXPECT_EQ(Os->Messages.size(), 1u);
}

// The pictures decoded ahead reach the program through the object it is handed, and only
// that one: every picture of the start is taken from it.
TEST_F(AppTest, TheStartTakesItsPicturesFromTheDecodingItIsHanded) {
    const std::vector<TDecodeAhead::TSource> sources =
        TDecodeAhead::Find(*Os, kStartPictures, kStartPictureCount);
    ASSERT_EQ(sources.size(), kStartPictureCount);
    TDecodeAhead handed(sources), other(sources);
    Form = std::make_unique<TOrvaneFM>(*Os, &handed);
    ASSERT_TRUE(Form->FormCreate());
    TPicture pic;
    bool decoded = false;
    for (const TDecodeAhead::TSource& s : sources) {
        EXPECT_FALSE(handed.Take(s.Type, s.View, pic, decoded)) << "left untaken";
        EXPECT_TRUE(other.Take(s.Type, s.View, pic, decoded)) << "taken from another";
    }
}

TEST_F(AppTest, EntryPointRefusesASecondInstance) {
    Os->OtherInstanceRunning = true;
    Os->OtherInstanceMinimised = true;
    EXPECT_EQ(RunProgram(*Os), 0);
    EXPECT_TRUE(Os->OtherInstanceActivated);
    EXPECT_FALSE(Os->OtherInstanceMinimised) << "the running instance is restored";
    EXPECT_FALSE(Os->WindowCreated);
    EXPECT_FALSE(Os->FileExists(Dir + "Orvane.ini")) << "a second instance never writes";
}

TEST_F(AppTest, ClosingWritesTheSettingsOnceBeforeReleasing) {
    Start();
    EXPECT_FALSE(Os->FileExists(Dir + "Orvane.ini"));
    Click(703, 1);  // the close button's corner
    EXPECT_TRUE(State().Closing);
    EXPECT_TRUE(Os->CloseRequested);
    EXPECT_FALSE(Os->WindowCreated) << "gone once the press's handler returned";
    const std::string ini = ReadIni();
    EXPECT_NE(ini.find("MemDate=2026/12/08"), std::string::npos);
    EXPECT_EQ(ini.find("CardNum"), std::string::npos) << "no reading was made";
    EXPECT_TRUE(Pics().BackBuffer.Empty());
    EXPECT_EQ(Os->Sounds.back(), "stop");
}

TEST_F(AppTest, FirstTimerEventPlaysTheOpeningSoundOnce) {
    Start();
    Tick(10);
    Tick(500);
    ASSERT_GE(Os->Sounds.size(), 2u);
    EXPECT_EQ(Os->Sounds[0], "stop");
    EXPECT_EQ(Os->Sounds[1], "A01");
    EXPECT_EQ(std::count(Os->Sounds.begin(), Os->Sounds.end(), "A01"), 1);
}
