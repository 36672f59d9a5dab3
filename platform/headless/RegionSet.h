#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The headless backend's own region: the area covered by a set of rectangles, kept as
// y-bands the way GDI keeps it. Each band covers the rows [Top, Bottom) with sorted,
// non-overlapping, non-touching spans [Left, Right); bands are sorted, never overlap,
// and two touching bands never hold the same spans (they are merged into one).

struct TRegionRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TRegionRect& o) const {
        return Left == o.Left && Top == o.Top && Right == o.Right && Bottom == o.Bottom;
    }
};

class TRegionSet {
public:
    TRegionSet() = default;  // empty

    // Empty when the rectangle has no width or no height.
    static TRegionSet FromRect(int left, int top, int right, int bottom);
    // The union of the rectangles; rectangles without area are left out.
    static TRegionSet FromRects(const std::vector<TRegionRect>& rects);
    // Region data as ExtCreateRegion takes it: a 32-byte header (header size 32, type 1,
    // rectangle count, buffer size, bounds) and the rectangles. False on bad data.
    static bool FromData(const void* data, size_t size, TRegionSet& out);
    static TRegionSet Union(const TRegionSet& a, const TRegionSet& b);

    void UnionWith(const TRegionSet& other) { *this = Union(*this, other); }
    bool Contains(int x, int y) const;
    bool Empty() const { return Bands.empty(); }
    // The smallest rectangle around the area; all zero when empty.
    TRegionRect Bounds() const;
    // The rectangles of the normalised form, band by band, left to right.
    std::vector<TRegionRect> Rects() const;
    size_t RectCount() const;

    bool operator==(const TRegionSet& o) const;
    bool operator!=(const TRegionSet& o) const { return !(*this == o); }

private:
    struct TSpan {
        int Left;
        int Right;
        bool operator==(const TSpan& o) const { return Left == o.Left && Right == o.Right; }
    };
    struct TBand {
        int Top;
        int Bottom;
        std::vector<TSpan> Spans;
    };
    static TRegionSet UnionRange(const std::vector<TRegionRect>& rects, size_t first, size_t last);
    std::vector<TBand> Bands;
};
