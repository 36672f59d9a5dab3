// What a screen reader and the keyboard find of the painted window: the objects
// published in each view, their states after each action, the default action's road,
// Tab and Space, the focus ring and the reading read out.
#include <algorithm>

#include "common/MySysU.h"
#include "render/FocusRing.h"
#include "tests/headless/AppFixture.h"

namespace {
std::vector<int> Ids(const std::vector<TAccessible>& objects) {
    std::vector<int> ids;
    for (const TAccessible& a : objects) ids.push_back(a.Id);
    return ids;
}
int Id(int button) {
    return AccessibleIdOfButton(button);
}
}  // namespace

class AccessibilityTest : public AppTest {
protected:
    const TAccessible& Object(int id) {
        const TAccessible* a = Os->Accessible(id);
        if (!a) {
            ADD_FAILURE() << "object " << id << " is not published";
            static TAccessible none;
            return none;
        }
        return *a;
    }
    std::string Name(int id) { return Os->SjisToUtf8(Object(id).Name); }
    void Hit(int key, TShiftState s = {}) { Os->HitKey(key, s); }
    // Whether the back buffer holds the focus ring around button `id`.
    bool RingAround(int id) {
        const ButtonRecord b = Button(id);
        const TPicture& buffer = Pics().BackBuffer;
        TPicture ring;
        ring.SetSize(buffer.Width, buffer.Height);
        CopyRect(buffer, 0, 0, buffer.Width, buffer.Height, ring, 0, 0);
        DrawFocusRing(ring, b.X, b.Y, b.Width, b.Height);
        for (int y = b.Y; y < b.Y + b.Height; ++y)
            for (int x = b.X; x < b.X + b.Width; ++x)
                if (ring.GetPixel(x, y) != buffer.GetPixel(x, y)) return false;
        return true;
    }
};

TEST_F(AccessibilityTest, TheMainViewPublishesTheShownButtonsInTabOrderAndTheReading) {
    Start();
    Tick(10);
    const std::vector<int> want = {Id(FortuneButton),  Id(RandomButton), Id(CreatorButton),
                                   Id(HomepageButton), Id(PrevButton),   Id(NextButton),
                                   Id(MinimiseButton), Id(CloseButton),  kAccReadingId};
    EXPECT_EQ(Ids(Os->Accessibles), want) << "the blank heart is no button";
    EXPECT_EQ(Name(Id(FortuneButton)), "占い実行");
    EXPECT_EQ(Name(Id(RandomButton)), "ランダム");
    EXPECT_EQ(Name(Id(PrevButton)), "前へ");
    EXPECT_EQ(Name(Id(NextButton)), "次へ");
    EXPECT_EQ(Name(Id(CreatorButton)), "クリエイター");
    EXPECT_EQ(Name(Id(MinimiseButton)), "最小化");
    EXPECT_EQ(Name(Id(CloseButton)), "閉じる");
    for (int id : {RandomButton, CloseButton, HomepageButton}) {
        const TAccessible& a = Object(Id(id));
        const ButtonRecord b = Button(id);
        EXPECT_EQ(a.Role, TAccessRole::PushButton);
        EXPECT_EQ(std::vector<int>({a.X, a.Y, a.W, a.H}),
                  std::vector<int>({b.X, b.Y, b.Width, b.Height}))
            << "drawn where the button is";
    }
    // The fortune button is shown disabled until there is a wish; typing enables it.
    EXPECT_TRUE(Object(Id(FortuneButton)).Unavailable);
    EXPECT_FALSE(Object(Id(FortuneButton)).Focusable);
    Type("abc");
    EXPECT_FALSE(Object(Id(FortuneButton)).Unavailable);
    EXPECT_EQ(Object(kAccReadingId).Role, TAccessRole::Reading);
    EXPECT_NE(Name(kAccReadingId).find("CARD.000"), std::string::npos);
    EXPECT_TRUE(Os->Announcements.empty()) << "what shows at start is not announced";
}

TEST_F(AccessibilityTest, TheOpenIndexPublishesItsTenCellsByNumberAndTitleOrAsNotYetMet) {
    WriteIni("CardOk=l.l" + std::string(46, '.') + "\r\n");
    Start();
    Tick(10);
    Click(590, 10);  // the right-hand triangle opens the index on page 0
    Idle();
    ASSERT_TRUE(State().IndexMode);
    for (int n = 0; n < 10; ++n) {
        const TAccessible& cell = Object(AccessibleIdOfCell(n));
        EXPECT_EQ(cell.Role, TAccessRole::ListItem);
        EXPECT_EQ(cell.X, 458 + 48 * (n % 5));
        EXPECT_EQ(cell.Y, 63 + 74 * (n / 5));
        EXPECT_EQ(cell.W, 46);
        EXPECT_EQ(cell.H, 68);
        EXPECT_EQ(cell.Selected, n == 0) << n;
    }
    EXPECT_EQ(Name(AccessibleIdOfCell(1)),
              "CARD.001 " + Os->SjisToUtf8(Form->CardLine(1, FieldTitle)));
    EXPECT_EQ(Name(AccessibleIdOfCell(2)), "CARD.002 まだ出会っていないカード");
    EXPECT_EQ(Name(AccessibleIdOfCell(3)),
              "CARD.003 " + Os->SjisToUtf8(Form->CardLine(3, FieldTitle)));
    EXPECT_EQ(Os->Accessible(AccessibleIdOfCell(10)), nullptr);
    // In the index the fortune button's press closes it: it is no longer unavailable.
    EXPECT_FALSE(Object(Id(FortuneButton)).Unavailable);

    Click(590, 10);  // the next page
    Idle();
    EXPECT_EQ(State().LoadedIndexPage, 1);
    EXPECT_EQ(Os->Accessible(AccessibleIdOfCell(0)), nullptr);
    EXPECT_TRUE(Object(AccessibleIdOfCell(10)).Selected);
    EXPECT_EQ(Name(AccessibleIdOfCell(19)), "CARD.019 まだ出会っていないカード");

    Os->HitKey('A');  // any key closes the index
    EXPECT_FALSE(State().IndexMode);
    for (const TAccessible& a : Os->Accessibles) EXPECT_NE(a.Role, TAccessRole::ListItem);
}

TEST_F(AccessibilityTest, TheDefaultActionTakesTheClicksRoadWithItsCueAndItsLock) {
    Start();
    Tick(10);
    Os->Sounds.clear();
    Os->ActOnAccessible(Id(RandomButton));
    EXPECT_EQ(State().AnimStep, 1000);
    EXPECT_EQ(Os->Sounds.back(), "A03") << "the random button's own cue";
    EXPECT_TRUE(Object(Id(RandomButton)).Pressed);
    // During the turn, as a click would be, the action is refused.
    const int card = State().CurrentCard;
    Os->Sounds.clear();
    Os->ActOnAccessible(Id(RandomButton));
    Os->ActOnAccessible(Id(NextButton));
    EXPECT_EQ(State().CurrentCard, card);
    EXPECT_FALSE(State().IndexMode);
    EXPECT_TRUE(Os->Sounds.empty());
    Idle();
    EXPECT_FALSE(Object(Id(RandomButton)).Pressed);

    // The disabled fortune button does nothing; with a wish it makes the reading.
    Os->ActOnAccessible(Id(FortuneButton));
    EXPECT_EQ(State().AnimStep, 0);
    Type("abc");
    Os->ActOnAccessible(Id(FortuneButton));
    EXPECT_EQ(State().AnimStep, 1000);
    EXPECT_TRUE(State().ReadingMade);
    Idle();

    // A cell of the open index is picked as a press on it is.
    Os->ActOnAccessible(Id(NextButton));
    Idle();
    ASSERT_TRUE(State().IndexMode);
    const int page = State().LoadedIndexPage;
    const int target = page * 10 + (page * 10 + 7 > MaxCard ? 0 : 7);
    Os->Sounds.clear();
    Os->ActOnAccessible(AccessibleIdOfCell(target));
    EXPECT_EQ(State().CurrentCard, target);
    EXPECT_EQ(Os->Sounds.back(), "A04");
}

TEST_F(AccessibilityTest, TheCreatorsActionShowsTheWordsUntilTheNextAction) {
    Start();
    Tick(10);
    Os->ActOnAccessible(Id(RandomButton));
    Idle();
    Os->Sounds.clear();
    Os->ActOnAccessible(Id(CreatorButton));
    EXPECT_TRUE(Os->Labels[TControl::LabelCreator].Visible);
    EXPECT_EQ(State().AnimStep, kStepCreatorHeld);
    EXPECT_TRUE(Object(Id(CreatorButton)).Pressed);
    ASSERT_FALSE(Os->Sounds.empty());
    EXPECT_EQ(Os->Sounds.back()[0], 'B') << "the creator's own sound";
    // The next action lets go first, then is carried out.
    Os->ActOnAccessible(Id(NextButton));
    EXPECT_FALSE(Os->Labels[TControl::LabelCreator].Visible);
    EXPECT_FALSE(Object(Id(CreatorButton)).Pressed);
    EXPECT_TRUE(State().IndexMode);
    Idle();
    Os->HitKey('A');

    // A key lets go too; a mouse press as well.
    Os->ActOnAccessible(Id(CreatorButton));
    Os->HitKey(kKeyTab);
    EXPECT_FALSE(Os->Labels[TControl::LabelCreator].Visible);
    EXPECT_EQ(State().AnimStep, 0);
    Os->ActOnAccessible(Id(CreatorButton));
    Down(600, 330);
    EXPECT_FALSE(Os->Labels[TControl::LabelCreator].Visible);
    EXPECT_EQ(State().AnimStep, kStepDrag) << "the press then goes on as a press";
    Up(600, 330);
}

TEST_F(AccessibilityTest, TabWalksTheEnabledButtonsAndBackToTheWishBox) {
    Start();
    Tick(10);
    ASSERT_TRUE(Os->MemoFocused);
    // The fortune button is disabled until there is a wish: Tab passes it.
    const int order[] = {RandomButton, CreatorButton,  HomepageButton, PrevButton,
                         NextButton,   MinimiseButton, CloseButton};
    for (int id : order) {
        Hit(kKeyTab);
        EXPECT_TRUE(Object(Id(id)).Focused) << id;
        EXPECT_TRUE(Os->WindowFocused) << "the window has the keyboard, not the box";
        EXPECT_FALSE(Os->MemoFocused);
        EXPECT_EQ(std::count_if(Os->Accessibles.begin(), Os->Accessibles.end(),
                                [](const TAccessible& a) { return a.Focused; }),
                  1);
    }
    Hit(kKeyTab);
    EXPECT_TRUE(Os->MemoFocused) << "after the last button, the wish box";
    EXPECT_EQ(Os->Memo.Text, "") << "Tab is the focus's, not a character";
    Hit(kKeyTab, TShiftState{true, false, false});
    EXPECT_TRUE(Object(Id(CloseButton)).Focused) << "Shift+Tab goes backwards";
    Hit(kKeyTab, TShiftState{true, false, false});
    EXPECT_TRUE(Object(Id(MinimiseButton)).Focused);
    // With a wish the fortune button takes its place first in the order. A press in the
    // wish box takes the focus back there.
    Click(463 + 60, 82 + 60);
    EXPECT_FALSE(Object(Id(MinimiseButton)).Focused);
    Type("abc");
    Hit(kKeyTab);
    EXPECT_TRUE(Object(Id(FortuneButton)).Focused);
}

TEST_F(AccessibilityTest, SpacePressesTheFocusedButtonDownAndUpAndEnterStaysTheFortune) {
    Start();
    Tick(10);
    Hit(kKeyTab);  // ランダム
    Os->Sounds.clear();
    Hit(kKeySpace);
    EXPECT_EQ(State().AnimStep, 1000);
    EXPECT_EQ(Os->Sounds.back(), "A03");
    EXPECT_EQ(Os->Memo.Text, "") << "no space typed into the box";
    Idle();

    Hit(kKeyTab);  // クリエイター
    ASSERT_TRUE(Object(Id(CreatorButton)).Focused);
    Os->PressKey(kKeySpace);
    EXPECT_TRUE(Os->Labels[TControl::LabelCreator].Visible) << "held down by the key";
    Os->PressKey(kKeySpace);  // the key's repeat changes nothing
    EXPECT_TRUE(Os->Labels[TControl::LabelCreator].Visible);
    Os->ReleaseKey(kKeySpace);
    EXPECT_FALSE(Os->Labels[TControl::LabelCreator].Visible);
    EXPECT_EQ(State().AnimStep, 0);

    // Enter is the fortune button wherever the focus is: nothing while it is disabled.
    const int card = State().CurrentCard;
    Hit(kKeyEnter);
    EXPECT_EQ(State().AnimStep, 0);
    EXPECT_EQ(State().CurrentCard, card);
}

TEST_F(AccessibilityTest, TheFocusRingShowsOnlyOnceTheKeyboardIsUsed) {
    Start();
    Tick(10);
    // A screen reader moving the focus, and the mouse, draw no ring.
    Os->FocusAccessible(Id(RandomButton));
    EXPECT_TRUE(Object(Id(RandomButton)).Focused);
    EXPECT_FALSE(RingAround(RandomButton));
    Click(Button(RandomButton).X + 5, Button(RandomButton).Y + 5);
    Idle();
    EXPECT_FALSE(RingAround(RandomButton));
    // The keyboard: the ring, on the screen too, moving with the focus.
    Hit(kKeyTab);
    ASSERT_TRUE(Object(Id(CreatorButton)).Focused);
    EXPECT_TRUE(RingAround(CreatorButton));
    const ButtonRecord b = Button(CreatorButton);
    EXPECT_EQ(Os->Surface.GetPixel(b.X + 2, b.Y + 2), Pics().BackBuffer.GetPixel(b.X + 2, b.Y + 2));
    Hit(kKeyTab);
    EXPECT_FALSE(RingAround(CreatorButton)) << "the sprite drawn again takes it away";
    EXPECT_TRUE(RingAround(HomepageButton));
}

TEST_F(AccessibilityTest, WhereTheSystemAlwaysShowsFocusTheRingShowsAtOnce) {
    Os->SystemKeyboardCues = true;
    Start();
    Tick(10);
    Os->FocusAccessible(Id(RandomButton));
    EXPECT_TRUE(RingAround(RandomButton));
}

TEST_F(AccessibilityTest, EachNewReadingIsAnnouncedOnceAsOneText) {
    WriteIni("Fate=0\r\nOldDate=2026/12/08\r\nMemDate=2026/12/08\r\n");
    Start();
    Tick(10);
    Type("abc");
    Hit(kKeyEnter);
    EXPECT_TRUE(Os->Announcements.empty()) << "not while the card turns";
    Idle();
    ASSERT_EQ(Os->Announcements.size(), 1u);
    const std::string said = Os->SjisToUtf8(Os->Announcements[0]);
    EXPECT_NE(said.find("CARD.012"), std::string::npos) << said;
    EXPECT_NE(said.find(Os->SjisToUtf8(Form->CardLine(12, FieldTitle))), std::string::npos);
    EXPECT_NE(said.find(Os->SjisToUtf8(Form->CardLine(12, FieldExplanation))), std::string::npos);
    // The same card again says nothing new; another card does.
    Hit(kKeyEnter);
    Idle();
    EXPECT_EQ(Os->Announcements.size(), 1u);
    Os->ActOnAccessible(Id(RandomButton));
    Idle();
    EXPECT_EQ(Os->Announcements.size(), 2u);
}

TEST(FocusRing, DotsAlternateTwoPixelsInsideAndStayInThePicture) {
    TPicture pic;
    pic.SetSize(20, 10);
    FillRect(pic, 0, 0, 20, 10, MakePixel(9, 9, 9));
    DrawFocusRing(pic, 0, 0, 10, 8);
    const uint32_t white = MakePixel(255, 255, 255), black = MakePixel(0, 0, 0);
    EXPECT_EQ(pic.GetPixel(2, 2), white);
    EXPECT_EQ(pic.GetPixel(3, 2), black);
    EXPECT_EQ(pic.GetPixel(7, 5), white) << "the far corner";
    EXPECT_EQ(pic.GetPixel(2, 3), black);
    EXPECT_EQ(pic.GetPixel(1, 1), MakePixel(9, 9, 9)) << "outside the ring";
    EXPECT_EQ(pic.GetPixel(4, 4), MakePixel(9, 9, 9)) << "inside it";
    EXPECT_EQ(pic.GetPixel(8, 2), MakePixel(9, 9, 9)) << "right of it";
    // Half outside the picture: the part inside is drawn, nothing else is touched.
    DrawFocusRing(pic, 15, -3, 10, 8);
    EXPECT_EQ(pic.GetPixel(17, 2), (17 + 2) & 1 ? black : white);
    // Too small for a ring: nothing.
    TPicture tiny;
    tiny.SetSize(4, 4);
    FillRect(tiny, 0, 0, 4, 4, MakePixel(9, 9, 9));
    DrawFocusRing(tiny, 0, 0, 3, 3);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(tiny.GetPixel(x, y), MakePixel(9, 9, 9));
}
