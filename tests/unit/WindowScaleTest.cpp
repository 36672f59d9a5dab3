// Showing the program's 737 x 584 pixels on a monitor that wants larger ones: the scale
// chosen for a monitor, the mapping of points and rectangles, and the picture drawn.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "interact/ButtonDatU.h"
#include "platform/WindowScale.h"

namespace {

TEST(WindowScale, FollowsTheMonitorButFitsItsWorkAreaAndNeverShrinks) {
    struct Case {
        int Dpi, WorkW, WorkH;
        int WantW, WantH;
    } cases[] = {
        {96, 1920, 1040, 737, 584},
        {120, 1920, 1040, 921, 730},
        {144, 1920, 1040, 1106, 876},
        {168, 1920, 1040, 1290, 1022},
        {192, 3840, 2100, 1474, 1168},
        // 200 % on a 1366 x 728 work area: the largest window that fits.
        {192, 1366, 728, 0, 728},
        // A small screen at 100 %, or a dpi below 96: never smaller than designed.
        {96, 800, 560, 737, 584},
        {72, 1920, 1040, 737, 584},
        {0, 1920, 1040, 737, 584},
    };
    for (const Case& c : cases) {
        const TWindowScale s = TWindowScale::Choose(c.Dpi, c.WorkW, c.WorkH, 737, 584);
        if (c.WantW) {
            EXPECT_EQ(s.PhysicalWidth(), c.WantW) << c.Dpi << " " << c.WorkW;
        }
        EXPECT_EQ(s.PhysicalHeight(), c.WantH) << c.Dpi << " " << c.WorkW;
        EXPECT_GE(s.Factor(), 1.0);
        if (s.Factor() > 1.0) {
            EXPECT_LE(s.PhysicalWidth(), c.WorkW);
            EXPECT_LE(s.PhysicalHeight(), c.WorkH);
        }
    }
}

TEST(WindowScale, EveryButtonEdgeMapsBackInsideAndTheNextPixelOutside) {
    const TButtonTable buttons = DesignedButtons();
    for (double f : {1.25, 1.5, 1.75, 2.0, 1.247}) {
        const TWindowScale s(f, 737, 584);
        for (int id = kFirstButton; id <= kLastButton; ++id) {
            const ButtonRecord& b = buttons[id];
            // The physical pixels of the button are exactly those that map into it.
            const int left = s.Edge(b.X), right = s.Edge(b.X + b.Width);
            const int top = s.Edge(b.Y), bottom = s.Edge(b.Y + b.Height);
            EXPECT_EQ(s.ToLogical(left), b.X) << f << " button " << id;
            EXPECT_EQ(s.ToLogical(left - 1), b.X - 1) << f << " button " << id;
            EXPECT_EQ(s.ToLogical(right - 1), b.X + b.Width - 1) << f << " button " << id;
            EXPECT_EQ(s.ToLogical(right), b.X + b.Width) << f << " button " << id;
            EXPECT_EQ(s.ToLogical(top), b.Y) << f << " button " << id;
            EXPECT_EQ(s.ToLogical(bottom - 1), b.Y + b.Height - 1) << f << " button " << id;
            EXPECT_EQ(s.ToLogical(bottom), b.Y + b.Height) << f << " button " << id;
        }
        // Every program pixel gets at least one physical pixel, in order, and points
        // beyond the window (a drag holding the mouse) follow the same rule.
        for (int x = -20; x < 760; ++x) {
            EXPECT_LT(s.Edge(x), s.Edge(x + 1)) << f << " at " << x;
            EXPECT_NEAR(s.Edge(x), x * f, 1.0) << f << " at " << x;
        }
        EXPECT_EQ(s.ToLogical(-1), -1);
    }
}

TEST(WindowScale, AtOneHundredPercentThePictureIsCopiedAsItIs) {
    TPicture pic;
    pic.SetSize(737, 584);
    for (size_t i = 0; i < pic.Pixels.size(); ++i)
        pic.Pixels[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;
    std::vector<uint32_t> dst(737 * 584, 0xABCDEF);
    const TPhysicalRect r =
        PresentScaled(pic, TWindowScale(1.0, 737, 584), 36, 48, 340, 500, dst.data(), 737);
    EXPECT_EQ(r.X, 36);
    EXPECT_EQ(r.W, 340);
    for (int y = 0; y < 584; ++y)
        for (int x = 0; x < 737; ++x) {
            const bool inside = x >= 36 && x < 376 && y >= 48 && y < 548;
            ASSERT_EQ(dst[y * 737 + x], inside ? pic.Pixels[y * 737 + x] : 0xABCDEFu)
                << x << "," << y;
        }
}

TEST(WindowScale, FlatColourStaysFlatAndALineKeepsItsPlace) {
    for (double f : {1.25, 1.5, 1.75, 2.0, 3.0}) {
        const TWindowScale s(f, 100, 80);
        TPicture pic;
        pic.SetSize(100, 80);
        for (uint32_t& p : pic.Pixels) p = 0x3A7FC1;
        // A one-pixel white line down column 40 and across row 30.
        for (int y = 0; y < 80; ++y) pic.Pixels[y * 100 + 40] = 0xFFFFFF;
        for (int x = 0; x < 100; ++x) pic.Pixels[30 * 100 + x] = 0xFFFFFF;
        std::vector<uint32_t> dst(static_cast<size_t>(s.PhysicalWidth()) * s.PhysicalHeight(), 0);
        PresentScaled(pic, s, 0, 0, 100, 80, dst.data(), s.PhysicalWidth());
        for (int py = 0; py < s.PhysicalHeight(); ++py) {
            const int ly = s.ToLogical(py);
            for (int px = 0; px < s.PhysicalWidth(); ++px) {
                const int lx = s.ToLogical(px);
                const uint32_t got = dst[static_cast<size_t>(py) * s.PhysicalWidth() + px];
                const bool nearLine = std::abs(lx - 40) <= 1 || std::abs(ly - 30) <= 1;
                if (!nearLine) {
                    ASSERT_EQ(got, 0x3A7FC1u) << f << " at " << px << "," << py;
                } else if (lx == 40 || ly == 30) {
                    // The pixels whose centre lies on the line are mostly white: its place.
                    ASSERT_GE(got & 0xFF, (0xC1u + 0xFF) / 2) << f << " at " << px << "," << py;
                }
            }
        }
        // At whole factors the line is exactly f pixels wide, where the mapping puts it.
        if (f == std::floor(f)) {
            const int k = static_cast<int>(f);
            for (int px = 0; px < s.PhysicalWidth(); ++px) {
                const bool white = px >= 40 * k && px < 41 * k;
                EXPECT_EQ(dst[5 * k * s.PhysicalWidth() + px] == 0xFFFFFFu, white)
                    << f << " " << px;
            }
        }
    }
}

TEST(WindowScale, ADirtyRectangleRedrawsWhatTheWholePictureWouldShowThere) {
    // Drawing a changed rectangle alone must give the same pixels as drawing the whole
    // window again, also where its edge pixels mix with their unchanged neighbours.
    for (double f : {1.25, 1.5, 1.75, 2.0}) {
        const TWindowScale s(f, 737, 584);
        TPicture before, after;
        before.SetSize(737, 584);
        for (size_t i = 0; i < before.Pixels.size(); ++i)
            before.Pixels[i] = static_cast<uint32_t>(i * 40503u) & 0xFFFFFF;
        after = before;
        for (int y = 48; y < 548; ++y)
            for (int x = 36; x < 376; ++x) after.Pixels[y * 737 + x] ^= 0x5A5A5A;
        const size_t n = static_cast<size_t>(s.PhysicalWidth()) * s.PhysicalHeight();
        std::vector<uint32_t> partial(n), whole(n);
        PresentScaled(before, s, 0, 0, 737, 584, partial.data(), s.PhysicalWidth());
        const TPhysicalRect r =
            PresentScaled(after, s, 36, 48, 340, 500, partial.data(), s.PhysicalWidth());
        PresentScaled(after, s, 0, 0, 737, 584, whole.data(), s.PhysicalWidth());
        EXPECT_EQ(partial, whole) << f;
        EXPECT_LE(r.X, s.Edge(36));
        EXPECT_GE(r.X + r.W, s.Edge(376));
        // The last physical row and column, past the last program pixel's edge, are drawn.
        PresentScaled(after, s, 700, 550, 37, 34, partial.data(), s.PhysicalWidth());
        EXPECT_EQ(partial.back(), whole.back()) << f;
    }
}

TEST(WindowScale, EachPhysicalPixelIsTheMeanOfTheProgramPixelsItCovers) {
    // Worked out here from the areas alone, in floating point: physical pixel p covers
    // [p / s, (p + 1) / s) of the program's pixels.
    auto channel = [](uint32_t c, int shift) { return static_cast<double>((c >> shift) & 0xFF); };
    for (double f : {1.25, 1.5, 1.75, 2.0}) {
        const TWindowScale s(f, 61, 23);
        TPicture pic;
        pic.SetSize(61, 23);
        for (size_t i = 0; i < pic.Pixels.size(); ++i)
            pic.Pixels[i] = static_cast<uint32_t>((i + 7) * 2246822519u) & 0xFFFFFF;
        const int pw = s.PhysicalWidth(), ph = s.PhysicalHeight();
        std::vector<uint32_t> dst(static_cast<size_t>(pw) * ph, 0);
        PresentScaled(pic, s, 0, 0, 61, 23, dst.data(), pw);
        auto cover = [&](int p, int x) {  // how much of pixel p program pixel x covers
            const double a = std::max(p / f, static_cast<double>(x));
            const double b = std::min((p + 1) / f, x + 1.0);
            return std::max(0.0, b - a) * f;
        };
        // The last physical pixel may reach past the last program pixel (the window's
        // size is rounded): what it covers is shown, so the sum is taken over that.
        for (int py = 0; py < ph; ++py)
            for (int px = 0; px < pw; ++px)
                for (int shift : {0, 8, 16}) {
                    double want = 0, total = 0;
                    for (int y = 0; y < 23; ++y)
                        for (int x = 0; x < 61; ++x) {
                            const double w = cover(px, x) * cover(py, y);
                            want += w * channel(pic.Pixels[y * 61 + x], shift);
                            total += w;
                        }
                    const double got = channel(dst[static_cast<size_t>(py) * pw + px], shift);
                    ASSERT_NEAR(got, want / total, 1.01) << f << " at " << px << "," << py;
                }
    }
}

}  // namespace
