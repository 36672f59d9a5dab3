#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "platform/RegionSet.h"

namespace {

TEST(RegionSet, RectangleIsHalfOpenAndEmptyWithoutArea) {
    const TRegionSet r = TRegionSet::FromRect(2, 3, 5, 7);
    EXPECT_TRUE(r.Contains(2, 3));
    EXPECT_TRUE(r.Contains(4, 6));
    EXPECT_FALSE(r.Contains(5, 3));
    EXPECT_FALSE(r.Contains(2, 7));
    EXPECT_FALSE(r.Contains(1, 3));
    EXPECT_EQ(r.Bounds(), (TRegionRect{2, 3, 5, 7}));
    EXPECT_EQ(r.RectCount(), 1u);

    for (const TRegionSet& e :
         {TRegionSet::FromRect(0, 0, 0, 0), TRegionSet::FromRect(5, 0, 5, 9),
          TRegionSet::FromRect(0, 4, 9, 4), TRegionSet::FromRect(9, 9, 1, 1)}) {
        EXPECT_TRUE(e.Empty());
        EXPECT_EQ(e.Bounds(), TRegionRect());
        EXPECT_FALSE(e.Contains(0, 0));
    }
}

TEST(RegionSet, UnionNormalisesLikeGdi) {
    // Side by side on the same rows: one rectangle.
    EXPECT_EQ(TRegionSet::Union(TRegionSet::FromRect(0, 0, 5, 2), TRegionSet::FromRect(5, 0, 9, 2))
                  .Rects(),
              (std::vector<TRegionRect>{{0, 0, 9, 2}}));
    // One above the other with the same span: one rectangle.
    EXPECT_EQ(TRegionSet::Union(TRegionSet::FromRect(1, 0, 4, 1), TRegionSet::FromRect(1, 1, 4, 3))
                  .Rects(),
              (std::vector<TRegionRect>{{1, 0, 4, 3}}));
    // Overlapping crosswise: three bands.
    EXPECT_EQ(TRegionSet::Union(TRegionSet::FromRect(0, 2, 10, 4), TRegionSet::FromRect(4, 0, 6, 6))
                  .Rects(),
              (std::vector<TRegionRect>{{4, 0, 6, 2}, {0, 2, 10, 4}, {4, 4, 6, 6}}));
    // Apart: both kept, left to right within the band.
    EXPECT_EQ(TRegionSet::Union(TRegionSet::FromRect(6, 0, 8, 1), TRegionSet::FromRect(0, 0, 2, 1))
                  .Rects(),
              (std::vector<TRegionRect>{{0, 0, 2, 1}, {6, 0, 8, 1}}));

    TRegionSet self = TRegionSet::FromRect(0, 0, 3, 3);
    self.UnionWith(self);
    EXPECT_EQ(self, TRegionSet::FromRect(0, 0, 3, 3));
    self.UnionWith(TRegionSet());
    EXPECT_EQ(self.RectCount(), 1u);
}

// Random rectangles on a small grid, checked pixel by pixel against a plain bitmap, and
// the normalised form must not depend on the order of the rectangles.
TEST(RegionSet, UnionMatchesAPixelGrid) {
    std::mt19937 rng(20240517);
    for (int round = 0; round < 200; ++round) {
        bool grid[24][24] = {};
        std::vector<TRegionRect> rects;
        const int n = 1 + static_cast<int>(rng() % 12);
        for (int i = 0; i < n; ++i) {
            const int l = static_cast<int>(rng() % 20), t = static_cast<int>(rng() % 20);
            const TRegionRect r{l, t, l + static_cast<int>(rng() % 6),
                                t + static_cast<int>(rng() % 6)};
            rects.push_back(r);
            for (int y = r.Top; y < r.Bottom; ++y)
                for (int x = r.Left; x < r.Right; ++x) grid[y][x] = true;
        }
        TRegionSet incremental;
        for (const TRegionRect& r : rects)
            incremental.UnionWith(TRegionSet::FromRect(r.Left, r.Top, r.Right, r.Bottom));
        std::vector<TRegionRect> reversed(rects.rbegin(), rects.rend());
        const TRegionSet whole = TRegionSet::FromRects(reversed);
        ASSERT_EQ(incremental, whole) << "round " << round;

        int minX = 99, minY = 99, maxX = -1, maxY = -1;
        for (int y = -1; y < 25; ++y)
            for (int x = -1; x < 25; ++x) {
                const bool in = x >= 0 && y >= 0 && x < 24 && y < 24 && grid[y][x];
                ASSERT_EQ(whole.Contains(x, y), in) << "round " << round << " at " << x << "," << y;
                if (in) {
                    minX = std::min(minX, x), minY = std::min(minY, y);
                    maxX = std::max(maxX, x), maxY = std::max(maxY, y);
                }
            }
        if (maxX >= 0)
            EXPECT_EQ(whole.Bounds(), (TRegionRect{minX, minY, maxX + 1, maxY + 1}));
        else
            EXPECT_TRUE(whole.Empty());
    }
}

TEST(RegionSet, ManyOneRowRectangles) {
    // A window-mask-like outline: 600 rows of two runs, added one chunk at a time.
    TRegionSet shape;
    for (int y = 0; y < 600; ++y) {
        std::vector<TRegionRect> row = {{10, y, 100 + y % 7, y + 1}, {300, y, 400, y + 1}};
        shape.UnionWith(TRegionSet::FromRects(row));
    }
    EXPECT_EQ(shape.Bounds(), (TRegionRect{10, 0, 400, 600}));
    EXPECT_TRUE(shape.Contains(105, 6));
    EXPECT_FALSE(shape.Contains(105, 7));

    // 4001 rectangles in one go, none touching.
    std::vector<TRegionRect> stripes;
    for (int i = 0; i < 4001; ++i) stripes.push_back({2 * i, i % 3, 2 * i + 1, i % 3 + 1});
    const TRegionSet s = TRegionSet::FromRects(stripes);
    EXPECT_EQ(s.RectCount(), 4001u);
    EXPECT_TRUE(s.Contains(8000, 4000 % 3));
    EXPECT_FALSE(s.Contains(7999, 0));
}

TEST(RegionSet, RectanglesWithoutAreaAreLeftOut) {
    const std::vector<TRegionRect> two = {{0, 0, 2, 1}, {5, 5, 6, 9}};
    EXPECT_EQ(TRegionSet::FromRects(two).Rects(), two);
    // Reversed or flat, as GDI leaves them out.
    const std::vector<TRegionRect> some = {{0, 0, 2, 1}, {4, 4, 3, 9}, {7, 7, 9, 7}};
    EXPECT_EQ(TRegionSet::FromRects(some).RectCount(), 1u);
    EXPECT_TRUE(TRegionSet::FromRects(nullptr, 0).Empty());
}

}  // namespace
