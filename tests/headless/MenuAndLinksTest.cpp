// The options menu, the sound of every action, the pointer options and the creator web
// links, on the running program.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "headless/AppFixture.h"

namespace {

using TSounds = std::vector<std::string>;
const std::string kBrowser = "C:\\Browsers\\view.exe";

class MenuAndLinks : public AppTest {
protected:
    // A fresh program directory and start, for table rows that each need their own run.
    void Restart(const std::string& ini = "") {
        TearDown();
        SetUp();
        if (!ini.empty()) WriteIni(ini);
        Start();
    }
    // Opens the menu and dismisses it; the entries as they were shown.
    std::vector<TMenuEntry> Shown() {
        Os->PendingMenuChoice = -1;
        Down(206, 298, TMouseButton::Right);
        Up(206, 298, TMouseButton::Right);
        return Os->LastMenu;
    }
    bool Enabled(TMenuItem item) { return Shown()[static_cast<int>(item)].Enabled; }
    void Press(int id) { Click(Button(id).X, Button(id).Y); }
    // Opens the index, picks two cards of page 0 one after the other and closes it.
    void PickTwo(int first, int second) {
        Press(NextButton);
        Idle();
        for (int card : {first, second}) {
            Click(458 + 48 * (card % 5), 63 + 74 * (card / 5));
            Idle();
        }
        Key('X');
    }
    int ShapeArea() {
        int n = 0;
        for (int y = 0; y < kWindowHeight; ++y)
            for (int x = 0; x < kWindowWidth; ++x) n += Os->InShape(x, y);
        return n;
    }
    std::string Link() { return Form->CardLine(State().CurrentCard, FieldLink); }
};

TEST_F(MenuAndLinks, ItemsAreEnabledByTheirConditions) {
    using M = TMenuItem;
    const struct {
        const char* Name;
        std::string Ini;
        std::function<void()> Setup;
        bool Centre, LightPoint, Undo, Saigen, Wall;
    } kCases[] = {
        {"fresh start", "", [] {}, false, false, false, false, false},
        {"window moved", "", [this] { Os->SetWindowPos(3, 4); }, true, false, false, false, false},
        {"moved back by the command", "",
         [this] {
             Os->SetWindowPos(3, 4);
             Menu(M::PopCenter);
         },
         false, false, false, false, false},
        {"origin moved, title card, light off", "LightShow=0\r\n", [this] { Click(100, 100); },
         false, true, false, false, false},
        {"origin moved, card shown, light off",
         "ResumeOk=1\r\nCardNum=4\r\nStarX=9\r\nLightShow=0\r\n", [] {}, false, false, false, false,
         false},
        {"origin moved, card shown, light on", "ResumeOk=1\r\nCardNum=4\r\nStarX=9\r\n", [] {},
         false, true, false, false, false},
        {"origin half moved", "ResumeOk=1\r\nCardNum=4\r\nStarX=-1\r\nStarY=7\r\n", [] {}, false,
         false, false, false, false},
        {"a previous card", "", [this] { PickTwo(3, 7); }, false, false, true, false, false},
        {"previous card is the title card", "", [this] { PickTwo(0, 7); }, false, false, false,
         false, false},
        // Away to the title card and back: the card before the title card is the one
        // on show again, and undoing would show nothing new.
        {"previous card is the card on show", "",
         [this] {
             PickTwo(7, 0);
             PickTwo(7, 7);
             ASSERT_EQ(State().CurrentCard, 7);
             ASSERT_EQ(State().PreviousCard, 7);
         },
         false, false, false, false, false},
        {"saved card not shown", "CardNum=6\r\nWish=abc\r\n", [] {}, false, false, false, true,
         false},
        {"saved reading on show", "ResumeOk=1\r\nCardNum=6\r\nWish=abc\r\nStarX=-1\r\nStarY=-1\r\n",
         [] {}, false, false, false, false, false},
        {"saved card shown, wish changed",
         "ResumeOk=1\r\nCardNum=6\r\nWish=abc\r\nStarX=-1\r\nStarY=-1\r\n", [this] { Type("d"); },
         false, false, false, true, false},
        {"all cards seen", "CardOK=" + std::string(MaxCard, 'l') + "\r\n", [] {}, false, false,
         false, false, true},
        {"one card unseen", "CardOK=" + std::string(MaxCard - 1, 'l') + ".\r\n", [] {}, false,
         false, false, false, false},
        {"the first card unseen", "CardOK=." + std::string(MaxCard - 1, 'l') + "\r\n", [] {}, false,
         false, false, false, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.Name);
        Restart(c.Ini);
        c.Setup();
        const std::vector<TMenuEntry> m = Shown();
        ASSERT_EQ(m.size(), static_cast<size_t>(kMenuItemCount));
        auto on = [&](M item) { return m[static_cast<int>(item)].Enabled; };
        EXPECT_EQ(on(M::PopCenter), c.Centre);
        EXPECT_EQ(on(M::LightPointChange), c.LightPoint);
        EXPECT_EQ(on(M::CardUndo), c.Undo);
        EXPECT_EQ(on(M::PopSaigen), c.Saigen);
        EXPECT_EQ(on(M::WallMakeClick), c.Wall);
        for (M always : {M::MStayOnTop, M::MuteOnChange, M::FezPenBlackChange, M::FezPenDownChange,
                         M::LightShowChange, M::NextResume})
            EXPECT_TRUE(on(always)) << static_cast<int>(always);
    }
}

TEST_F(MenuAndLinks, StayOnTopKeepsTheShapeAndTheCaret) {
    Start();
    Type("wish");
    Os->SetMemoCaret(2);
    const int area = ShapeArea();
    const int regions = Os->LiveRegions;
    ASSERT_GT(area, 0);
    ASSERT_LT(area, kWindowWidth * kWindowHeight);
    for (bool on : {true, false, true}) {
        Menu(TMenuItem::MStayOnTop);
        EXPECT_EQ(Os->Topmost, on);
        EXPECT_EQ(State().Options.StayOnTop, on);
        EXPECT_EQ(State().MenuEntry(TMenuItem::MStayOnTop).Checked, on);
        ASSERT_NE(Os->WindowRegion, nullptr);
        EXPECT_NE(Os->WindowRegion, TFormAccess::WindowShape(*Form)->Handle())
            << "the window gets a copy";
        EXPECT_EQ(ShapeArea(), area);
        EXPECT_EQ(Os->MemoCaretPos, 2);
        EXPECT_EQ(Os->LiveRegions, regions) << "a region is leaked or lost";
    }
}

TEST_F(MenuAndLinks, TwoUndosReturnToTheCardShownBefore) {
    Start();
    PickTwo(3, 7);
    ASSERT_EQ(State().CurrentCard, 7);
    Menu(TMenuItem::CardUndo);
    EXPECT_EQ(State().AnimStep, 1000);
    EXPECT_TRUE(Os->MemoIsReadOnly);
    EXPECT_EQ(Idle(), 21);
    EXPECT_EQ(State().CurrentCard, 3);
    EXPECT_EQ(State().PreviousCard, 7);
    Menu(TMenuItem::CardUndo);
    Idle();
    EXPECT_EQ(State().CurrentCard, 7);
    EXPECT_EQ(State().PreviousCard, 3);
    EXPECT_FALSE(Os->MemoIsReadOnly);
}

// The card on show drawn again (the same wish, or its own cell of the index) is no new
// card: the one before it stays the card Undo brings back.
TEST_F(MenuAndLinks, DrawingTheCardOnShowAgainKeepsTheCardBeforeIt) {
    Start();
    const int fate = State().Fate;
    const int first = WishToCardBytes("a", fate);
    std::string second = "b";
    while (WishToCardBytes(second, fate) == first) second += "b";
    for (const std::string& wish : {std::string("a"), second, second}) {
        Os->SetMemoText(wish);
        Key(13);
        Idle();
    }
    EXPECT_EQ(State().CurrentCard, WishToCardBytes(second, fate));
    EXPECT_EQ(State().PreviousCard, first);
    EXPECT_TRUE(Enabled(TMenuItem::CardUndo));

    Restart();
    PickTwo(3, 7);
    Press(NextButton);
    Idle();
    Click(458 + 48 * 2, 63 + 74);  // card 7's own cell
    Idle();
    Key('X');
    EXPECT_EQ(State().CurrentCard, 7);
    EXPECT_EQ(State().PreviousCard, 3);
    Menu(TMenuItem::CardUndo);
    Idle();
    EXPECT_EQ(State().CurrentCard, 3);
}

TEST_F(MenuAndLinks, ResumeRunEndsOnTheNormalPictureWithTheSavedOriginAndWish) {
    WriteIni("CardNum=5\r\nStarX=10\r\nStarY=20\r\nWish=saved\r\nCardOK=" +
             std::string(MaxCard, 'l') + "\r\n");
    Start();
    PickTwo(3, 5);
    Press(HeartButton);  // the alternate picture of card 5
    Idle();
    TPicture normal, alternate;
    LoadJpeg("C005", normal);
    LoadJpeg("hC005", alternate);
    ASSERT_TRUE(State().ShowAlternate);
    ASSERT_TRUE(Pics().CardSlot[1].Pixels == alternate.Pixels);
    ASSERT_FALSE(normal.Pixels == alternate.Pixels);

    Os->Sounds.clear();
    Menu(TMenuItem::PopSaigen);
    EXPECT_EQ(State().AnimStep, 999);
    EXPECT_FALSE(State().ReadingMade);
    EXPECT_EQ(Os->Memo.Text, "saved");
    EXPECT_EQ(Os->MemoCaretPos, 5);
    EXPECT_EQ(Os->Sounds, (TSounds{"stop", "A11", "stop", "A02"}));
    // 999 does the first frame's work itself and goes on at 1001.
    EXPECT_EQ(Idle(), 21);
    EXPECT_EQ(State().CurrentCard, 5);
    EXPECT_FALSE(State().ShowAlternate);
    EXPECT_TRUE(Pics().CardSlot[1].Pixels == normal.Pixels);
    EXPECT_EQ(State().StarX, 10);
    EXPECT_EQ(State().StarY, 20);
    EXPECT_FALSE(Os->MemoIsReadOnly);
}

TEST_F(MenuAndLinks, ResumeRunShowsOrHidesTheIndexAsSaved) {
    WriteIni("CardNum=23\r\nIndexMode=1\r\n");
    Start();
    Menu(TMenuItem::PopSaigen);
    EXPECT_TRUE(State().IndexMode);
    Idle();
    EXPECT_EQ(State().LoadedIndexPage, 2);
    EXPECT_FALSE(Os->Memo.Visible);
}

// Every action and the sounds it asks for: each cue first stops what is playing.
TEST_F(MenuAndLinks, EveryActionPlaysItsCueAndMutedOnlyStops) {
    using M = TMenuItem;
    const std::string allSeen = "CardOK=" + std::string(MaxCard, 'l') + "\r\n";
    const TSounds kMenuCue = {"stop", "A11", "stop", "A10"};
    struct TRow {
        const char* Name;
        std::string Ini;
        std::function<void()> Setup, Action;
        TSounds Sounds;
    };
    auto none = [] {};
    auto menu = [this](M item) { return std::function<void()>([this, item] { Menu(item); }); };
    auto press = [this](int id) { return std::function<void()>([this, id] { Press(id); }); };
    auto openIndex = [this] {
        Press(NextButton);
        Idle();
    };
    const TRow kRows[] = {
        {"menu opened and dismissed", "", none, [this] { Shown(); }, {"stop", "A11"}},
        {"PopCenter", "", [this] { Os->SetWindowPos(1, 1); }, menu(M::PopCenter), kMenuCue},
        {"MStayOnTop", "", none, menu(M::MStayOnTop), kMenuCue},
        {"FezPenBlackChange", "", none, menu(M::FezPenBlackChange), kMenuCue},
        {"FezPenDownChange", "", none, menu(M::FezPenDownChange), kMenuCue},
        {"LightShowChange", "", none, menu(M::LightShowChange), kMenuCue},
        {"LightPointChange", "", [this] { Click(100, 100); }, menu(M::LightPointChange), kMenuCue},
        {"NextResume", "", none, menu(M::NextResume), kMenuCue},
        {"CardUndo",
         "",
         [this] { PickTwo(3, 7); },
         menu(M::CardUndo),
         {"stop", "A11", "stop", "A04"}},
        {"PopSaigen", "CardNum=3\r\n", none, menu(M::PopSaigen), {"stop", "A11", "stop", "A02"}},
        {"WallMakeClick", allSeen, none, menu(M::WallMakeClick), kMenuCue},
        {"fortune button", "", [this] { Type("x"); }, press(FortuneButton), {"stop", "A02"}},
        {"Enter", "", [this] { Type("x"); }, [this] { Key(13); }, {"stop", "A02"}},
        {"Escape", "", [this] { Type("x"); }, [this] { Key(27); }, {"stop", "A07"}},
        {"random button", "", none, press(RandomButton), {"stop", "A03"}},
        {"heart button", allSeen, none, press(HeartButton), {"stop", "A02"}},
        {"creator button on card 0", "", none, press(CreatorButton), {"stop", "B00"}},
        {"creator button on card 7",
         "ResumeOk=1\r\nCardNum=7\r\n",
         none,
         press(CreatorButton),
         {"stop", "creator"}},
        {"link button", "", none, press(HomepageButton), {"stop", "A10"}},
        {"index opened", "", none, press(PrevButton), {"stop", "A05"}},
        {"index page step", "", openIndex, press(NextButton), {"stop", "A08"}},
        {"index cell", "", openIndex, [this] { Click(510, 80); }, {"stop", "A04"}},
        {"index closed by right press",
         "",
         openIndex,
         [this] { Down(300, 300, TMouseButton::Right); },
         {"stop", "A06"}},
        {"index closed by fortune button", "", openIndex, press(FortuneButton), {"stop", "A06"}},
        {"index closed by a key", "", openIndex, [this] { Key('Q'); }, {"stop", "A06"}},
        {"middle drag",
         "",
         none,
         [this] {
             Down(600, 330, TMouseButton::Middle);
             Up(600, 330, TMouseButton::Middle);
         },
         {"stop", "A09", "stop", "A10"}},
        {"left drag", "", none, [this] { Click(420, 560); }, {"stop", "A09", "stop", "A10"}},
        {"light grab", "", none, [this] { Click(100, 100); }, {"stop", "A11", "stop", "A10"}},
        {"right press in the wish box",
         "",
         none,
         [this] {
             Down(468, 87, TMouseButton::Right);
             Up(468, 87, TMouseButton::Right);
         },
         {"stop", "A11"}},
    };
    for (TRow row : kRows) {
        for (bool muted : {false, true}) {
            SCOPED_TRACE(std::string(row.Name) + (muted ? ", muted" : ""));
            Restart(row.Ini + (muted ? "MuteOn=1\r\n" : ""));
            row.Setup();
            // "creator" stands for the sound of the shown card's creator code.
            for (std::string& s : row.Sounds)
                if (s == "creator")
                    s = "B" + Form->CardLine(State().CurrentCard, FieldCreator).substr(0, 2);
            Os->Sounds.clear();
            row.Action();
            TSounds want = row.Sounds;
            if (muted)
                want.erase(std::remove_if(want.begin(), want.end(),
                                          [](const std::string& s) { return s != "stop"; }),
                           want.end());
            EXPECT_EQ(Os->Sounds, want);
        }
    }
}

TEST_F(MenuAndLinks, MuteToggleIsSilentGoingOffAndHeardComingBack) {
    Start();
    Menu(TMenuItem::MuteOnChange);
    EXPECT_TRUE(State().Options.MuteOn);
    EXPECT_TRUE(State().MenuEntry(TMenuItem::MuteOnChange).Checked);
    EXPECT_EQ(Os->Sounds, (TSounds{"stop", "A11", "stop"}));
    Os->Sounds.clear();
    Menu(TMenuItem::MuteOnChange);
    EXPECT_FALSE(State().Options.MuteOn);
    EXPECT_EQ(Os->Sounds, (TSounds{"stop", "stop", "A10"}));
}

TEST_F(MenuAndLinks, PointerFollowsThePenOptions) {
    const struct {
        bool Black, Down;
        int Normal, Drag;
    } kPens[] = {
        {false, false, 2, 6}, {true, false, 3, 7}, {false, true, 4, 6}, {true, true, 5, 7}};
    for (const auto& p : kPens) {
        SCOPED_TRACE(std::to_string(p.Black) + std::to_string(p.Down));
        Restart(std::string("FezPenBlack=") + (p.Black ? "1" : "0") +
                "\r\nFezPenDown=" + (p.Down ? "1" : "0") + "\r\n");
        EXPECT_EQ(Os->Pointer, p.Normal);
        Down(600, 330, TMouseButton::Middle);
        EXPECT_EQ(Os->Pointer, p.Drag);
        Up(600, 330, TMouseButton::Middle);
        EXPECT_EQ(Os->Pointer, p.Normal);
        Click(100, 100);  // a grab shows the cross-hair only while held
        EXPECT_EQ(Os->Pointer, p.Normal);
    }
    // Toggling a pen option changes the pointer at once.
    Restart();
    const struct {
        TMenuItem Item;
        int Pointer;
    } kToggles[] = {{TMenuItem::FezPenDownChange, 4},
                    {TMenuItem::FezPenBlackChange, 5},
                    {TMenuItem::FezPenDownChange, 3},
                    {TMenuItem::FezPenBlackChange, 2}};
    for (const auto& toggle : kToggles) {
        Menu(toggle.Item);
        EXPECT_EQ(Os->Pointer, toggle.Pointer);
    }
}

TEST_F(MenuAndLinks, LinkRunTakesEightStepsThenStartsTheBrowserWithUrl) {
    Os->BrowserForHtml = kBrowser;
    Start();
    EXPECT_EQ(State().BrowserPath, kBrowser);
    EXPECT_FALSE(Os->FileExists(Dir + "z.html")) << "the probe is removed after the lookup";
    Press(HomepageButton);
    EXPECT_EQ(State().AnimStep, 550);
    EXPECT_EQ(Button(HomepageButton).State, kStatePressed);
    EXPECT_EQ(Idle(), 8);
    ASSERT_FALSE(Link().empty());
    EXPECT_EQ(Os->ShellLaunches, (TSounds{kBrowser + " /url " + Link()}));
    EXPECT_EQ(Button(HomepageButton).State, kStateNormal);
    EXPECT_FALSE(Os->Minimised);
}

TEST_F(MenuAndLinks, TheShellIsAskedOnceTheWindowIsShownAndTheProbeNeverStays) {
    Os->BrowserForHtml = kBrowser;
    Form = std::make_unique<TOrvaneFM>(*Os);
    ASSERT_TRUE(Form->FormCreate());
    // The probe is written during the start; the lookup waits for the shown window.
    EXPECT_TRUE(Os->FileExists(Dir + "z.html"));
    EXPECT_TRUE(State().BrowserPath.empty());
    Os->ShowMainWindow();
    Form->FormShown();
    EXPECT_EQ(State().BrowserPath, kBrowser);
    EXPECT_FALSE(Os->FileExists(Dir + "z.html"));
    // Once: a browser installed later is not seen until the next start.
    Os->BrowserForHtml = "/other/browser";
    Form->FormShown();
    EXPECT_EQ(State().BrowserPath, kBrowser);

    // A window closed before it was shown leaves no probe either.
    Form.reset();
    Form = std::make_unique<TOrvaneFM>(*Os);
    ASSERT_TRUE(Form->FormCreate());
    Close();
    EXPECT_FALSE(Os->FileExists(Dir + "z.html"));
}

TEST_F(MenuAndLinks, WithoutABrowserTheShellOpensTheAddress) {
    Start();
    EXPECT_TRUE(State().BrowserPath.empty());
    Press(HomepageButton);
    Idle();
    EXPECT_EQ(Os->ShellLaunches, (TSounds{"open " + Link()}));
}

TEST_F(MenuAndLinks, StayOnTopMinimisesBeforeTheBrowserStarts) {
    Os->BrowserForHtml = kBrowser;
    WriteIni("StayOnTop=1\r\n");
    Start();
    Press(HomepageButton);
    for (int i = 0; i < 7; ++i) {
        Os->Tick += FrameInterval;
        Os->FireTimer();
    }
    EXPECT_FALSE(Os->Minimised);
    EXPECT_TRUE(Os->ShellLaunches.empty());
    Idle();
    EXPECT_TRUE(Os->Minimised);
    EXPECT_EQ(Os->ShellLaunches.size(), 1u);
}

TEST_F(MenuAndLinks, LongAddressIsCutTo250BytesOnTheCommandLine) {
    Os->BrowserForHtml = kBrowser;
    Start();
    std::string address = "http://example.com/";
    while (address.size() < 300) address += "abcdefghij";
    TFormAccess::OpenLink(*Form, address);
    ASSERT_EQ(Os->ShellLaunches.size(), 1u);
    const std::string commandLine = Os->ShellLaunches[0].substr(kBrowser.size() + 1);
    EXPECT_EQ(commandLine, "/url " + address.substr(0, 250));
    EXPECT_EQ(commandLine.size(), 255u);
}

TEST_F(MenuAndLinks, AProbeFileThatWasThereStays) {
    Os->BrowserForHtml = kBrowser;
    ASSERT_TRUE(Os->WriteFile(Dir + "z.html", "<p>mine</p>"));
    Start();
    EXPECT_EQ(State().BrowserPath, kBrowser);
    std::string text;
    ASSERT_TRUE(Os->ReadFile(Dir + "z.html", text));
    EXPECT_EQ(text, "<p>mine</p>");
}

TEST_F(MenuAndLinks, AProbeThatCannotBeWrittenFailsTheStart) {
    Os->FailWriteAt = 0;
    Form = std::make_unique<TOrvaneFM>(*Os);
    EXPECT_FALSE(Form->FormCreate());
    ASSERT_EQ(Os->Messages.size(), 1u);
    EXPECT_EQ(Os->SjisToUtf8(Os->Messages[0].Text), "ファイル " + Dir + "z.html を作成できません");
}

}  // namespace
