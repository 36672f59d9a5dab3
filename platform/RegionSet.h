#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/Platform.h"

// A region of our own, for the backends whose system has none to offer (headless, the
// browser): the area covered by a set of rectangles, kept as
// y-bands the way GDI keeps it. Each band covers the rows [Top, Bottom) with sorted,
// non-overlapping, non-touching spans [Left, Right); bands are sorted, never overlap,
// and two touching bands never hold the same spans (they are merged into one).

class TRegionSet {
public:
    TRegionSet() = default;  // empty

    // Empty when the rectangle has no width or no height.
    static TRegionSet FromRect(int left, int top, int right, int bottom);
    // The union of the rectangles; rectangles without area are left out.
    static TRegionSet FromRects(const TRegionRect* rects, size_t count);
    static TRegionSet FromRects(const std::vector<TRegionRect>& rects) {
        return FromRects(rects.data(), rects.size());
    }
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
    // A band's spans are Spans[First, First + Count): all spans live in one vector, so a
    // union allocates twice, not once per band.
    struct TBand {
        int Top;
        int Bottom;
        size_t First;
        size_t Count;
    };
    static TRegionSet UnionRange(const TRegionRect* rects, size_t first, size_t last);
    const TSpan* SpansOf(const TBand& band) const { return Spans.data() + band.First; }
    std::vector<TBand> Bands;
    std::vector<TSpan> Spans;
};
