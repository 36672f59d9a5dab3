// The composed card area pixel by pixel: backdrop, the picture at its turning width and
// the ten frame pieces, for full-size and smaller pictures at every width the turn uses.
#include <vector>

#include "render/ComposeCardArea.h"
#include "tests/headless/AppFixture.h"

namespace {
uint32_t Side(int col, int row) {
    return MakePixel(10 + col, row & 255, 1);
}
uint32_t Band(int x, int row) {
    return MakePixel(100 + row, x & 255, x >> 8 | 2);
}
const uint32_t kNami = MakePixel(7, 7, 7);
const uint32_t kFace = MakePixel(200, 50, 90);

// One channel (the byte at bit `shift`) of a picture row shown `width` columns wide:
// Average(col) is that channel averaged over the stretch of the row column `col` covers,
// as an exact number. The row is integrated piecewise: in units of 1/width source pixel,
// the integral up to n is the whole pixels before n / width plus the part of the next one.
class TRowIntegral {
public:
    TRowIntegral(const TPicture& src, int row, int shift, int width) : Width(width) {
        for (int x = 0; x < src.Width; ++x)
            Channel.push_back((src.GetPixel(x, row) >> shift) & 255);
        Before.push_back(0);
        for (long long c : Channel) Before.push_back(Before.back() + c);
    }
    double Average(int col) const {
        const long long sw = static_cast<long long>(Channel.size());
        const long long from = col * sw, to = from + sw;
        return static_cast<double>(Upto(to) - Upto(from)) / static_cast<double>(sw);
    }

private:
    long long Upto(long long n) const {
        const long long whole = n / Width, part = n % Width;
        return Before[static_cast<size_t>(whole)] * Width +
               (part ? Channel[static_cast<size_t>(whole)] * part : 0);
    }
    long long Width;
    std::vector<long long> Channel, Before;
};

// How far 16-bit fixed-point weights may move an average before it is rounded: one
// part in 65536 of full scale for every source column a destination column touches.
double Slack(int sourceWidth, int width) {
    return 255.0 * (sourceWidth / width + 2) / 65536;
}
}  // namespace

class ComposeTest : public AppTest {
protected:
    void Prepare(int w, int h) {
        Start();
        Pics().Nami.SetSize(348, 508);
        FillRect(Pics().Nami, 0, 0, 348, 508, kNami);
        Pics().WakuTate.SetSize(8, 504);
        for (int y = 0; y < 504; ++y)
            for (int x = 0; x < 8; ++x) Pics().WakuTate.SetPixel(x, y, Side(x, y));
        Pics().WakuYoko.SetSize(348, 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 348; ++x) Pics().WakuYoko.SetPixel(x, y, Band(x, y));
        TPicture& face = Pics().CardSlot[1];
        face.SetSize(w, h);
        FillRect(face, 0, 0, w, h, kFace);
        CardSlotGeometry& g = Pics().CardGeom[1];
        g = {w, h, w / 2, (340 - w) / 2 + 36, (500 - h) / 2 + 48};
    }
    uint32_t At(int x, int y) { return Pics().BackBuffer.GetPixel(x, y); }
};

TEST_F(ComposeTest, FramePiecesSitWhereTheTurnPutsThem) {
    struct Size {
        int w, h;
    } sizes[] = {{340, 500}, {310, 500}, {340, 404}};
    for (const Size& s : sizes) {
        for (int percent : {0, 35, 60, 78, 90, 100}) {
            Prepare(s.w, s.h);
            TFormAccess::ComposeCardArea(*Form, 1, percent, true);
            SCOPED_TRACE(testing::Message() << s.w << "x" << s.h << " at " << percent << "%");
            const TComposeGeometry g = ComposeGeometry(s.w, percent);
            const int e = percent == 100 ? 0 : 1;
            const int x = g.Left, w = g.Width, h2 = g.HalfWidth;
            const int y = Pics().CardGeom[1].Y, H = s.h;
            // The picture fills its displayed width (inside the side pieces).
            EXPECT_EQ(At(x + e, y), kFace);
            EXPECT_EQ(At(x + w - 1 - e, y + H - 1), kFace);
            // Side edges: columns 0-3 on the left, 4-7 on the right, rows y-2 .. y+H+1.
            EXPECT_EQ(At(x + e - 4, y - 2), Side(0, 0));
            EXPECT_EQ(At(x + e - 4, y + H + 1), Side(0, H + 3));
            EXPECT_EQ(At(x + e - 1, y + H - 1), Side(3, H + 1));
            EXPECT_EQ(At(x + e - 1, y + H + 1), Band(x + e - 1 - (x - 2 + e) + 2, 5))
                << "the bottom edge covers the inner side columns";
            EXPECT_EQ(At(x + w - e, y + 10), Side(4, 12));
            EXPECT_EQ(At(x + w - e + 3, y - 2), Side(7, 0));
            // Top and bottom edges: left halves from x 2, right halves from 174 at x 206.
            EXPECT_EQ(At(x - 2 + e, y - 4), Band(2, 0));
            EXPECT_EQ(At(205, y - 1), Band(2 + (205 - (x - 2 + e)), 3));
            EXPECT_EQ(At(206, y - 4), Band(174, 0));
            EXPECT_EQ(At(206 + h2 + 1 - e, y + H + 3), Band(174 + h2 + 1 - e, 7));
            EXPECT_EQ(At(x - 2 + e, y + H), Band(2, 4));
            // The four corner dots.
            EXPECT_EQ(At(x - 3 + e, y - 3), Band(1, 1));
            EXPECT_EQ(At(x + w + 2 - e, y - 3), Band(346, 1));
            EXPECT_EQ(At(x - 3 + e, y + H + 2), Band(1, 6));
            EXPECT_EQ(At(x + w + 2 - e, y + H + 2), Band(346, 6));
            // Beyond the frame only the backdrop shows.
            if (x + e - 5 >= 32) {
                EXPECT_EQ(At(x + e - 5, y + 20), kNami);
            }
            if (x + w - e + 4 < 380) {
                EXPECT_EQ(At(x + w - e + 4, y + 20), kNami);
            }
            EXPECT_EQ(At(x - 4 + e, y - 4), kNami) << "the outer corner pixel stays free";
            if (H < 500) {
                EXPECT_EQ(At(206, y - 6), kNami);
            }
            // Flushed: the window shows the same area.
            EXPECT_EQ(Os->Surface.GetPixel(206, y + 5), kFace);
        }
    }
}

TEST_F(ComposeTest, ATurnedAwayCardIsAFourPixelSliverAtTheCentreLine) {
    Prepare(340, 500);
    TFormAccess::ComposeCardArea(*Form, 1, 0, false);
    for (int x = 205; x <= 206; ++x) EXPECT_EQ(At(x, 300), kFace) << x;
    EXPECT_EQ(At(204, 300), Side(3, 254)) << "the frame sits one pixel further in";
    EXPECT_EQ(At(207, 300), Side(4, 254));
    EXPECT_EQ(At(199, 300), kNami);
    EXPECT_NE(Os->Surface.GetPixel(199, 300), kNami) << "not flushed";
}

TEST_F(ComposeTest, FullWidthFrameFillsTheMarginExactly) {
    Prepare(340, 500);
    TFormAccess::ComposeCardArea(*Form, 1, 100, false);
    EXPECT_EQ(At(36, 48), kFace);
    EXPECT_EQ(At(375, 547), kFace);
    EXPECT_EQ(At(32, 46), Side(0, 0));
    EXPECT_EQ(At(379, 549), Side(7, 503));
    EXPECT_EQ(At(34, 44), Band(2, 0));
    EXPECT_EQ(At(377, 551), Band(345, 7));
}

TEST_F(ComposeTest, AnEmptySlotShowsOnlyTheBackdrop) {
    Prepare(340, 500);
    Pics().CardSlot[1].Release();
    Pics().CardGeom[1] = CardSlotGeometry();
    for (int percent : {0, 90, 100}) TFormAccess::ComposeCardArea(*Form, 1, percent, true);
    for (int y = 44; y < 552; y += 37)
        for (int x = 32; x < 380; x += 29) ASSERT_EQ(At(x, y), kNami) << x << "," << y;
}

TEST_F(ComposeTest, ButtonsAreDrawnFromTheirSpriteColumn) {
    Start();
    for (int state = 0; state < 3; ++state) {
        TFormAccess::DrawButton(*Form, RandomButton, state);
        const ButtonRecord& b = Button(RandomButton);
        EXPECT_EQ(b.State, state);
        EXPECT_EQ(Os->Surface.GetPixel(b.X + 50, b.Y + 20),
                  Pics().ButtonSheet.GetPixel(b.SheetX + state * b.Width + 50, b.SheetY + 20));
    }
}

TEST_F(ComposeTest, ATurnShowsTheNewlyLoadedPictureAtEveryWidth) {
    Start();
    // A 404-high, a 310-wide and a full-size picture.
    for (int card : {48, 41, 5}) {
        TFormAccess::MarkSeen(*Form, card);
        TFormAccess::LoadFrontPicture(*Form, card);
        const TPicture& face = Pics().CardSlot[1];
        ASSERT_FALSE(face.Empty());
        // Centred in the 340 x 500 box at (36, 48).
        const int y = 48 + (500 - face.Height) / 2;
        for (int percent : {0, 35, 60, 78, 90, 100}) {
            TFormAccess::ComposeCardArea(*Form, 1, percent, false);
            const TComposeGeometry g = ComposeGeometry(face.Width, percent);
            const int e = percent == 100 ? 0 : 1;
            // Compare the middle rows inside the frame's side pieces.
            for (int row = 10; row < face.Height - 10; row += 7) {
                for (int shift : {16, 8, 0}) {
                    const TRowIntegral source(face, row, shift, g.Width);
                    for (int col = e; col < g.Width - e; ++col) {
                        const uint32_t shown = At(g.Left + col, y + row);
                        ASSERT_NEAR(static_cast<double>((shown >> shift) & 255),
                                    source.Average(col), 0.5 + Slack(face.Width, g.Width))
                            << "card " << card << " at " << percent << "%, " << col << "," << row
                            << ", channel at bit " << shift;
                    }
                }
            }
        }
    }
}
