// The card index view on the running program: cell picks, page steps, covers, the
// selection frame, opening and closing, marking, and the view surviving a restart.
#include <algorithm>
#include <set>
#include <string>

#include "common/MySysU.h"
#include "headless/AppFixture.h"

namespace {

constexpr int kGridX = 458, kGridY = 63;

// The seen-card text for the settings file: 'l' for each card in `seen`.
std::string SeenText(const std::set<int>& seen) {
    std::string t(MaxCard, '.');
    for (int n : seen) t[n - 1] = 'l';
    return t;
}
std::set<int> AllCards() {
    std::set<int> all;
    for (int n = 1; n <= MaxCard; ++n) all.insert(n);
    return all;
}

struct TRect {
    int X = 0, Y = 0, W = 0, H = 0;
};
// Pixels of a w x h block of `a` at (ax, ay) that differ from `b` at (bx, by), leaving out
// the points of `a` inside `skip`.
int Differing(const TPicture& a, int ax, int ay, const TPicture& b, int bx, int by, int w, int h,
              TRect skip = {}) {
    int n = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (!PointInRect(skip.X, skip.Y, skip.W, skip.H, ax + x, ay + y))
                n += a.GetPixel(ax + x, ay + y) != b.GetPixel(bx + x, by + y);
    return n;
}

class IndexView : public AppTest {
protected:
    // Starts with the index shown on `card`, as a resumed reading does.
    void StartInIndex(int card, const std::set<int>& seen = AllCards()) {
        WriteIni("ResumeOk=1\r\nIndexMode=1\r\nCardNum=" + std::to_string(card) +
                 "\r\nCardOK=" + SeenText(seen) + "\r\n");
        Start();
        ASSERT_TRUE(State().IndexMode);
    }
    static int CellX(int cell) { return kGridX + 48 * (cell % 5); }
    static int CellY(int cell) { return kGridY + 74 * (cell % 10 / 5); }
    // Number of frame-piece pixels around `cell` that differ from the sheet's look.
    int FrameMismatch(int cell, int look) {
        const TPicture& b = Pics().BackBuffer;
        const TPicture& s = Pics().ButtonSheet;
        const int fx = CellX(cell), fy = CellY(cell), k = 16 * look;
        int bad = 0;
        // Vertical pieces, only the rows that no horizontal piece is drawn over.
        for (int dx : {0, 43})
            for (int dy : {3, 60})
                bad += Differing(b, fx + dx, fy + dy, s, 118 + k, 58 + dy % 57, 3, 5);
        for (int dy : {0, 65}) {
            bad += Differing(b, fx + 2, fy + dy, s, 124 + k, 58, 9, 3);
            bad += Differing(b, fx + 35, fy + dy, s, 122 + k, 58, 9, 3);
        }
        return bad;
    }
    // The inside of a cell, clear of any frame piece.
    int CellMismatch(int cell, const TPicture& src, int sx, int sy) {
        return Differing(Pics().BackBuffer, CellX(cell) + 3, CellY(cell) + 3, src, sx + 3, sy + 3,
                         40, 62);
    }
    int ThumbMismatch(int cell) {
        return CellMismatch(cell, Pics().IndexPage, CellX(cell) - kGridX, CellY(cell) - kGridY);
    }
    int QuestMismatch(int cell) { return CellMismatch(cell, Pics().Quest, 0, 0); }
    bool Played(const std::string& name) {
        return std::find(Os->Sounds.begin(), Os->Sounds.end(), name) != Os->Sounds.end();
    }
    bool WindowShowsBuffer(int x, int y, int w, int h) {
        return Differing(Os->Surface, x, y, Pics().BackBuffer, x, y, w, h) == 0;
    }
};

TEST_F(IndexView, CellPicksFollowTheGridEdgesAndRows) {
    StartInIndex(23);
    const struct {
        int X, Y, Card;
    } kPicks[] = {
        {457, 63, 20},  {696, 204, 29}, {600, 134, 22}, {600, 135, 27},
        {504, 100, 20}, {505, 100, 21}, {696, 63, 24},  {457, 204, 25},
    };
    for (const auto& p : kPicks) {
        Os->Sounds.clear();
        Click(p.X, p.Y);
        EXPECT_EQ(State().CurrentCard, p.Card) << p.X << "," << p.Y;
        EXPECT_EQ(State().AnimStep, 1000) << p.X << "," << p.Y;
        EXPECT_TRUE(Played("A04")) << p.X << "," << p.Y;
        EXPECT_TRUE(Os->MemoIsReadOnly);
        Idle();
    }
    // Just outside the widened grid the press is no pick.
    for (const auto& p : {std::pair<int, int>{456, 100}, {697, 100}, {600, 205}}) {
        Down(p.first, p.second);
        EXPECT_NE(State().AnimStep, 1000) << p.first << "," << p.second;
        EXPECT_EQ(State().CurrentCard, 25);
        Up(p.first, p.second);
    }
    // A page that would put a card above 49 under the pointer picks nothing.
    TFormAccess::LoadedIndexPage(*Form) = 5;
    Os->Sounds.clear();
    Click(600, 100);
    EXPECT_EQ(State().CurrentCard, 25);
    EXPECT_EQ(State().AnimStep, 0);
    EXPECT_TRUE(Os->Sounds.empty());
}

TEST(IndexPageStep, WrapsAroundAndKeepsTheCell) {
    const struct {
        int Card;
        bool Forward;
        int Want;
    } kSteps[] = {{23, true, 33}, {43, true, 3},  {3, false, 43},  {45, true, 5},  {5, false, 45},
                  {49, true, 9},  {9, false, 49}, {49, false, 39}, {0, false, 40}, {40, true, 0}};
    for (const auto& s : kSteps)
        EXPECT_EQ(StepIndexPage(s.Card, s.Forward), s.Want) << s.Card << (s.Forward ? " +" : " -");
    for (int card = 0; card <= MaxCard; ++card)
        for (bool forward : {false, true}) EXPECT_LE(StepIndexPage(card, forward), MaxCard);
}

TEST_F(IndexView, TriangleButtonsStepPagesInTheView) {
    StartInIndex(43);
    const struct {
        int Button, Want;
    } kSteps[] = {{NextButton, 3}, {PrevButton, 43}, {PrevButton, 33}, {NextButton, 43}};
    for (const auto& s : kSteps) {
        Os->Sounds.clear();
        Click(Button(s.Button).X, Button(s.Button).Y);
        EXPECT_EQ(State().CurrentCard, s.Want);
        EXPECT_TRUE(Played("A08"));
        EXPECT_EQ(Idle(), 21);
        EXPECT_EQ(State().LoadedIndexPage, s.Want / 10);
        EXPECT_EQ(FrameMismatch(s.Want % 10, 0), 0) << "frame on card " << s.Want;
        EXPECT_TRUE(State().IndexMode);
    }
}

TEST_F(IndexView, UnseenCardsAreCoveredAndTheTitleCardNeverIs) {
    StartInIndex(0, {2, 4, 11});
    for (int cell = 0; cell < 10; ++cell) {
        const bool covered = cell != 0 && cell != 2 && cell != 4;
        EXPECT_EQ(QuestMismatch(cell) == 0, covered) << "cell " << cell;
        EXPECT_EQ(ThumbMismatch(cell) == 0, !covered) << "cell " << cell;
    }
    EXPECT_TRUE(WindowShowsBuffer(kGridX, kGridY, 238, 142));
    // The cover sits in the right cell of the second row too.
    Click(CellX(6), CellY(6));
    Idle();
    EXPECT_EQ(QuestMismatch(6), 0);
    EXPECT_GT(ThumbMismatch(6), 0);
}

TEST_F(IndexView, FramePiecesStandAtTheCurrentCellInBothLooks) {
    StartInIndex(17);
    ASSERT_GT(Differing(Pics().ButtonSheet, 118, 58, Pics().ButtonSheet, 134, 58, 15, 11), 0)
        << "the two looks must differ for this test to tell them apart";
    EXPECT_EQ(FrameMismatch(7, 0), 0);
    EXPECT_GT(FrameMismatch(7, 1), 0);
    EXPECT_GT(FrameMismatch(2, 0), 0) << "no frame on another cell";

    Click(CellX(3), CellY(3));  // the pick shows the active look at once
    EXPECT_EQ(FrameMismatch(3, 1), 0);
    EXPECT_TRUE(WindowShowsBuffer(kGridX, kGridY, 238, 142));
    EXPECT_EQ(ThumbMismatch(7), 0) << "the old cell is drawn plain again";
    Idle();
    EXPECT_EQ(FrameMismatch(3, 0), 0);

    // A page step takes the frame away until the new card is shown.
    Click(Button(NextButton).X, Button(NextButton).Y);
    EXPECT_GT(FrameMismatch(3, 0), 0);
    EXPECT_GT(FrameMismatch(3, 1), 0);
    EXPECT_EQ(State().LoadedIndexPage, 1);
    Idle();
    EXPECT_EQ(State().LoadedIndexPage, 2);
    EXPECT_EQ(FrameMismatch(3, 0), 0);
}

TEST_F(IndexView, OpeningRunEndsOnTheRestingLookWithButtonsReleased) {
    Start();
    Click(Button(NextButton).X, Button(NextButton).Y);
    EXPECT_TRUE(State().IndexMode);
    EXPECT_EQ(State().AnimStep, 500);
    EXPECT_TRUE(Played("A05"));
    EXPECT_EQ(Button(PrevButton).State, kStatePressed);
    EXPECT_EQ(Button(NextButton).State, kStatePressed);
    EXPECT_EQ(Button(FortuneButton).State, kStateDisabled);
    EXPECT_EQ(Button(WishCaption).State, 1);
    EXPECT_FALSE(Os->Memo.Visible);
    EXPECT_EQ(FrameMismatch(0, 1), 0);
    EXPECT_EQ(State().LoadedIndexPage, 0);
    EXPECT_EQ(Idle(), 8);
    EXPECT_EQ(FrameMismatch(0, 0), 0);
    EXPECT_TRUE(WindowShowsBuffer(kGridX, kGridY, 238, 142));
    EXPECT_EQ(Button(PrevButton).State, kStateNormal);
    EXPECT_EQ(Button(NextButton).State, kStateNormal);
    EXPECT_EQ(Button(FortuneButton).State, kStateDisabled);
}

TEST_F(IndexView, HidingRestoresThePanelStripAndFocusesTheWishBox) {
    Start();
    TPicture strip;
    strip.SetSize(238, 71);
    CopyRect(Pics().BackBuffer, 458, 410, 238, 71, strip, 0, 0);
    Click(Button(PrevButton).X, Button(PrevButton).Y);
    Idle();
    ASSERT_GT(Differing(Pics().BackBuffer, 458, 63, strip, 0, 0, 238, 71), 0);
    Os->Sounds.clear();
    Down(300, 300, TMouseButton::Right);
    Up(300, 300, TMouseButton::Right);
    EXPECT_FALSE(State().IndexMode);
    EXPECT_EQ(Os->MenuOpenings, 0) << "a right press in the view closes it, no menu";
    EXPECT_TRUE(Played("A06"));
    // The wish caption, drawn back after the patch, reaches into the area's top rows.
    const ButtonRecord& caption = Button(WishCaption);
    const TRect captionRect{caption.X, caption.Y, caption.Width, caption.Height};
    EXPECT_EQ(Differing(Pics().BackBuffer, 458, 63, strip, 0, 0, 238, 71, captionRect), 0);
    EXPECT_EQ(Differing(Pics().BackBuffer, caption.X, caption.Y, Pics().ButtonSheet, caption.SheetX,
                        caption.SheetY, caption.Width, caption.Height),
              0);
    EXPECT_EQ(Differing(Pics().BackBuffer, 458, 134, strip, 0, 0, 238, 71), 0);
    EXPECT_EQ(Differing(Pics().BackBuffer, 458, 410, strip, 0, 0, 238, 71), 0);
    EXPECT_TRUE(WindowShowsBuffer(kGridX, kGridY, 238, 142));
    EXPECT_EQ(Button(WishCaption).State, 0);
    EXPECT_TRUE(Os->Memo.Visible);
    EXPECT_TRUE(Os->MemoFocused);
    EXPECT_EQ(State().LoadedIndexPage, 0) << "the page picture stays loaded";
}

TEST_F(IndexView, FortuneButtonAndPlainKeysCloseItModifiedKeysDoNot) {
    enum Action { RightPress, Fortune, KeyA, Enter, Escape, ShiftA, CtrlA, AltA };
    const struct {
        Action What;
        bool Closes;
    } kActions[] = {{RightPress, true}, {Fortune, true}, {KeyA, true},   {Enter, true},
                    {Escape, true},     {ShiftA, false}, {CtrlA, false}, {AltA, false}};
    for (const auto& a : kActions) {
        SCOPED_TRACE(a.What);
        TearDown();
        SetUp();
        StartInIndex(12);
        EXPECT_EQ(Button(FortuneButton).State, kStateDisabled);
        TShiftState mod;
        mod.Shift = a.What == ShiftA;
        mod.Ctrl = a.What == CtrlA;
        mod.Alt = a.What == AltA;
        switch (a.What) {
            case RightPress:
                Down(206, 298, TMouseButton::Right);
                break;
            case Fortune:
                Click(Button(FortuneButton).X, Button(FortuneButton).Y);
                break;
            case Enter:
                Key(13);
                break;
            case Escape:
                Key(27);
                break;
            default:
                Key('A', mod);
                break;
        }
        EXPECT_EQ(State().IndexMode, !a.Closes);
        EXPECT_EQ(Played("A06"), a.Closes);
        EXPECT_EQ(State().AnimStep, 0);
        EXPECT_EQ(State().CurrentCard, 12) << "closing draws no card";
        if (a.What == Fortune) {
            EXPECT_EQ(Button(FortuneButton).State, kStateNormal);
        }
        if (!a.Closes) {
            EXPECT_TRUE(Os->Sounds.empty());
        }
    }
}

TEST_F(IndexView, CtrlShiftOnTheTitleCardMarksAllSeenCtrlAltUnmarks) {
    StartInIndex(0, {3});
    TShiftState ctrlShift, ctrlAlt;
    ctrlShift.Ctrl = ctrlShift.Shift = true;
    ctrlAlt.Ctrl = ctrlAlt.Alt = true;

    Click(CellX(5), CellY(5), ctrlShift);  // on a card: only that card
    Idle();
    EXPECT_EQ(State().SeenCards, SeenText({3, 5}));
    Click(CellX(0), CellY(0), ctrlShift);
    Idle();
    EXPECT_EQ(State().SeenCards, SeenText(AllCards()));
    EXPECT_TRUE(State().Collection.AllCardsSeen);
    for (int cell = 1; cell < 10; ++cell) EXPECT_EQ(ThumbMismatch(cell), 0) << cell;

    Click(CellX(0), CellY(0), ctrlAlt);
    Idle();
    EXPECT_EQ(State().SeenCards, SeenText({}));
    EXPECT_FALSE(State().Collection.AllCardsSeen);
    for (int cell = 1; cell < 10; ++cell) EXPECT_EQ(QuestMismatch(cell), 0) << cell;
    EXPECT_EQ(ThumbMismatch(0), 0);

    // Ctrl alone marks nothing.
    TShiftState ctrl;
    ctrl.Ctrl = true;
    Click(CellX(0), CellY(0), ctrl);
    Idle();
    EXPECT_EQ(State().SeenCards, SeenText({}));
}

// The collection is complete only with every card from the first to the last: either end
// missing keeps the reward locked until that very card is marked.
TEST_F(IndexView, TheCollectionIsCompleteOnlyOnceItsFirstAndLastCardsAreSeenToo) {
    TShiftState ctrlShift;
    ctrlShift.Ctrl = ctrlShift.Shift = true;
    for (int missing : {1, MaxCard}) {
        SCOPED_TRACE(missing);
        std::set<int> seen = AllCards();
        seen.erase(missing);
        Form.reset();
        StartInIndex(missing, seen);
        EXPECT_FALSE(State().Collection.AllCardsSeen);
        Click(CellX(missing), CellY(missing), ctrlShift);
        Idle();
        EXPECT_TRUE(State().Collection.AllCardsSeen);
    }
}

TEST_F(IndexView, ShownStateIsSavedAndResumedOnlyWithResumeOk) {
    WriteIni("ResumeOk=1\r\n");
    Start();
    Click(Button(NextButton).X, Button(NextButton).Y);
    Idle();
    Close();
    EXPECT_NE(ReadIni().find("IndexMode=1"), std::string::npos) << ReadIni();

    Form.reset();
    Start();
    EXPECT_TRUE(State().IndexMode);
    EXPECT_FALSE(Os->Memo.Visible);
    EXPECT_EQ(FrameMismatch(0, 0), 0);
    EXPECT_EQ(Button(FortuneButton).State, kStateDisabled);
    Close();

    WriteIni("ResumeOk=0\r\nIndexMode=1\r\n");
    Form.reset();
    Start();
    EXPECT_FALSE(State().IndexMode);
    EXPECT_TRUE(Os->Memo.Visible);
}

}  // namespace
