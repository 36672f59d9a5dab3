// The sparkles on the running program: when a sparkle first shows, its plus-sign and dot
// shapes, its rebirth, clipping at the window's edge, the effect switched off over a
// card, and grabbing the light origin.
#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <utility>

#include "headless/AppFixture.h"

namespace {

using TPoint = std::pair<int, int>;
constexpr double kPi = 3.141592653589793;

class LightEffect : public AppTest {
protected:
    // One paced sequencer step.
    void Step() {
        Os->Tick += FrameInterval;
        Os->FireTimer();
    }
    // Every sparkle far behind the origin for its whole life, so none is drawn.
    void SilenceSparkles() {
        for (Sparkle& s : TFormAccess::Sparkles(*Form)) s = Sparkle{0.0, -1000, 0, 0, 1000};
    }
    void SetSparkle(int i, double angle, int radius, int crossSteps, int lifetime) {
        TFormAccess::Sparkles(*Form)[i] = Sparkle{angle, radius, 0, crossSteps, lifetime};
    }
    int AreaLeft() { return 161 + State().StarX; }
    int AreaTop() { return 253 + State().StarY; }
    // Window points of the light area that differ from the back buffer, in window
    // coordinates; only points on the window.
    std::set<TPoint> Drawn() {
        std::set<TPoint> out;
        for (int y = AreaTop(); y < AreaTop() + 87; ++y)
            for (int x = AreaLeft(); x < AreaLeft() + 87; ++x)
                if (Os->Surface.Contains(x, y) &&
                    Os->Surface.GetPixel(x, y) != Pics().BackBuffer.GetPixel(x, y))
                    out.insert({x, y});
        return out;
    }
    // The window points of a plus sign centred on (cx, cy) and of a dot.
    static std::set<TPoint> Plus(int cx, int cy) {
        return {{cx, cy - 1}, {cx - 1, cy}, {cx, cy}, {cx + 1, cy}, {cx, cy + 1}};
    }
    bool AllWhite(const std::set<TPoint>& points) {
        for (const TPoint& p : points)
            if ((Os->Surface.GetPixel(p.first, p.second) & 0xFFFFFF) != 0xFFFFFF) return false;
        return true;
    }
    // None of these back-buffer points is white already, so a sparkle there shows.
    void ExpectVisibleOn(const std::set<TPoint>& points) {
        for (const TPoint& p : points)
            ASSERT_NE(Pics().BackBuffer.GetPixel(p.first, p.second) & 0xFFFFFF, 0xFFFFFFu)
                << p.first << "," << p.second;
    }
    // Steps until some sparkle is on the window; false when none shows within 100 steps.
    bool StepUntilDrawn() {
        for (int i = 0; i < 100; ++i) {
            if (!Drawn().empty()) return true;
            Step();
        }
        return false;
    }
    bool Played(const std::string& name) {
        return std::find(Os->Sounds.begin(), Os->Sounds.end(), name) != Os->Sounds.end();
    }
};

TEST_F(LightEffect, ASparkleShowsFromTheStepThatTakesItToDistanceTwo) {
    for (int start : {0, -1, -9}) {
        SCOPED_TRACE(start);
        TearDown();
        SetUp();
        Start();
        SilenceSparkles();
        SetSparkle(0, 0.0, start, 43, 43);  // straight down from the origin
        const int ox = AreaLeft() + 44, oy = AreaTop() + 44;
        int firstStep = 0;
        for (int step = 1; step <= 12 && firstStep == 0; ++step) {
            Step();
            if (!Drawn().empty()) firstStep = step;
        }
        EXPECT_EQ(firstStep, 2 - start);
        // Drawn at distance 2: a plus sign centred one pixel right of and below the point.
        EXPECT_EQ(Drawn(), Plus(ox + 1, oy + 2 + 1));
        EXPECT_TRUE(AllWhite(Drawn()));
    }
}

TEST_F(LightEffect, PlusSignThenDotOffsetByOnePixelThenRebirthUndrawn) {
    Start();
    SilenceSparkles();
    // Toward +x: angle pi/2. Cross steps 2, lifetime 4, starting at distance 5.
    SetSparkle(3, kPi / 2, 5, 2, 4);
    const int ox = AreaLeft() + 44, oy = AreaTop() + 44;
    ExpectVisibleOn(Plus(ox + 7, oy + 1));
    Step();  // age 1, distance 6: plus sign
    EXPECT_EQ(Drawn(), Plus(ox + 6 + 1, oy + 1));
    EXPECT_TRUE(AllWhite(Drawn()));
    Step();  // age 2, distance 7: dot at the point itself
    EXPECT_EQ(Drawn(), (std::set<TPoint>{{ox + 7, oy}}));
    Step();  // age 3
    Step();  // age 4, the last drawn step
    EXPECT_EQ(Drawn(), (std::set<TPoint>{{ox + 9, oy}}));
    Step();  // reborn, not drawn
    EXPECT_TRUE(Drawn().empty());
    EXPECT_EQ(State().Sparkles[3].Age, 0);
    EXPECT_LE(State().Sparkles[3].Radius, 0);
    EXPECT_GE(State().Sparkles[3].Radius, -9);
}

TEST_F(LightEffect, SparklesNeverReachTheBackBuffer) {
    Start();
    const TPicture before = Pics().BackBuffer;
    bool anyDrawn = false;
    for (int i = 0; i < 60; ++i) {
        Step();
        anyDrawn = anyDrawn || !Drawn().empty();
    }
    EXPECT_TRUE(anyDrawn);
    EXPECT_TRUE(Pics().BackBuffer.Pixels == before.Pixels);
}

TEST_F(LightEffect, AreaLeavingTheWindowAtTheLeftIsClipped) {
    Start();
    Click(36, 300);  // the origin one pixel left of and above the press
    ASSERT_EQ(AreaLeft(), -9);
    SilenceSparkles();
    SetSparkle(0, -kPi / 2, 29, 0, 43);  // toward -x: a dot at area x 14, window x 5
    SetSparkle(1, -kPi / 2, 39, 0, 43);  // area x 4, window x -5: off the window
    SetSparkle(2, kPi / 2, 9, 0, 43);    // area x 54, window x 45
    const int y = AreaTop() + 44;
    ExpectVisibleOn({{5, y}, {45, y}});
    Step();
    EXPECT_EQ(Drawn(), (std::set<TPoint>{{5, y}, {45, y}}));
}

TEST_F(LightEffect, SwitchedOffOverACardTheAreaIsStillRefreshed) {
    WriteIni("ResumeOk=1\r\nCardNum=5\r\nStarX=-1\r\nStarY=-1\r\n");
    Start();
    ASSERT_NE(State().CurrentCard, 0);
    ASSERT_TRUE(StepUntilDrawn());
    Menu(TMenuItem::LightShowChange);
    ASSERT_FALSE(State().Options.LightShow);
    const TFormState frozen = State();
    Step();
    EXPECT_TRUE(Drawn().empty()) << "the next step wipes the sparkles from the window";
    const TFormState after = State();
    for (int i = 0; i < kSparkles; ++i)
        EXPECT_EQ(after.Sparkles[i].Age, frozen.Sparkles[i].Age) << i;
}

TEST_F(LightEffect, GrabRectangleEdges) {
    const struct {
        int X, Y;
        bool Grabs;
    } kPresses[] = {{35, 47, true},    {374, 546, true}, {34, 300, false},
                    {375, 300, false}, {200, 46, false}, {200, 547, false}};
    for (const auto& p : kPresses) {
        SCOPED_TRACE(std::to_string(p.X) + "," + std::to_string(p.Y));
        TearDown();
        SetUp();
        Start();
        // Sparkles on the window at the old place are wiped when the origin moves.
        ASSERT_TRUE(StepUntilDrawn());
        const std::set<TPoint> old = Drawn();
        const int oldLeft = AreaLeft(), oldTop = AreaTop();
        Os->Sounds.clear();
        Down(p.X, p.Y);
        EXPECT_EQ(State().AnimStep, p.Grabs ? 2 : 1);
        EXPECT_EQ(Os->Pointer, p.Grabs ? 1 : 6);
        EXPECT_TRUE(Played(p.Grabs ? "A11" : "A09"));
        EXPECT_EQ(State().StarX, p.Grabs ? p.X - 206 : -1);
        EXPECT_EQ(State().StarY, p.Grabs ? p.Y - 298 : -1);
        for (const TPoint& q : old)
            EXPECT_EQ(Os->Surface.GetPixel(q.first, q.second) ==
                          Pics().BackBuffer.GetPixel(q.first, q.second),
                      p.Grabs)
                << "old area at " << oldLeft << "," << oldTop;
        Up(p.X, p.Y);
        EXPECT_EQ(State().AnimStep, 0);
        EXPECT_EQ(Os->Pointer, 2);
    }
}

TEST_F(LightEffect, GrabNeedsLightShowOrTheTitleCard) {
    const struct {
        bool LightShow;
        int Card;
        bool Grabs;
    } kCases[] = {{true, 0, true}, {true, 5, true}, {false, 0, true}, {false, 5, false}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::to_string(c.LightShow) + " card " + std::to_string(c.Card));
        TearDown();
        SetUp();
        WriteIni("ResumeOk=1\r\nCardNum=" + std::to_string(c.Card) +
                 "\r\nLightShow=" + (c.LightShow ? "1" : "0") + "\r\nStarX=-1\r\nStarY=-1\r\n");
        Start();
        Down(200, 300);
        EXPECT_EQ(State().AnimStep, c.Grabs ? 2 : 1);
        EXPECT_EQ(Os->Pointer, c.Grabs ? 1 : 6);
        EXPECT_EQ(State().StarX, c.Grabs ? -6 : -1);
        Up(200, 300);
    }
}

}  // namespace
