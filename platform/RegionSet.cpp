#include "platform/RegionSet.h"

#include <algorithm>
#include <limits>

TRegionSet TRegionSet::FromRect(int left, int top, int right, int bottom) {
    TRegionSet r;
    if (right > left && bottom > top) {
        r.Bands.push_back({top, bottom, 0, 1});
        r.Spans.push_back({left, right});
    }
    return r;
}

// Halving the list and joining the halves keeps building from thousands of one-row
// rectangles close to n log n instead of growing one band list rectangle by rectangle.
TRegionSet TRegionSet::UnionRange(const TRegionRect* rects, size_t first, size_t last) {
    if (last - first == 1) {
        const TRegionRect& r = rects[first];
        return FromRect(r.Left, r.Top, r.Right, r.Bottom);
    }
    const size_t mid = first + (last - first) / 2;
    return Union(UnionRange(rects, first, mid), UnionRange(rects, mid, last));
}

TRegionSet TRegionSet::FromRects(const TRegionRect* rects, size_t count) {
    if (count == 0) return TRegionSet();
    return UnionRange(rects, 0, count);
}

TRegionSet TRegionSet::Union(const TRegionSet& a, const TRegionSet& b) {
    if (a.Bands.empty()) return b;
    if (b.Bands.empty()) return a;

    // Walks the band edges of both regions in order without gathering them: between two
    // neighbouring edges each region is either one band or nothing.
    TRegionSet result;
    result.Bands.reserve(a.Bands.size() + b.Bands.size());
    result.Spans.reserve(a.Spans.size() + b.Spans.size());
    size_t ia = 0, ib = 0;
    int y0 = std::min(a.Bands.front().Top, b.Bands.front().Top);
    for (;;) {
        while (ia < a.Bands.size() && a.Bands[ia].Bottom <= y0) ++ia;
        while (ib < b.Bands.size() && b.Bands[ib].Bottom <= y0) ++ib;
        if (ia == a.Bands.size() && ib == b.Bands.size()) break;
        const bool inA = ia < a.Bands.size() && a.Bands[ia].Top <= y0;
        const bool inB = ib < b.Bands.size() && b.Bands[ib].Top <= y0;
        // The next edge: where a band under way ends or the next one starts.
        int y1 = std::numeric_limits<int>::max();
        if (ia < a.Bands.size()) y1 = std::min(y1, inA ? a.Bands[ia].Bottom : a.Bands[ia].Top);
        if (ib < b.Bands.size()) y1 = std::min(y1, inB ? b.Bands[ib].Bottom : b.Bands[ib].Top);
        if (!inA && !inB) {
            y0 = y1;
            continue;
        }
        const TSpan* sa = inA ? a.SpansOf(a.Bands[ia]) : nullptr;
        const TSpan* sb = inB ? b.SpansOf(b.Bands[ib]) : nullptr;
        const size_t na = inA ? a.Bands[ia].Count : 0, nb = inB ? b.Bands[ib].Count : 0;

        const size_t first = result.Spans.size();
        size_t i = 0, j = 0;
        while (i < na || j < nb) {
            const TSpan next =
                (j >= nb || (i < na && sa[i].Left <= sb[j].Left)) ? sa[i++] : sb[j++];
            // Overlapping or touching spans become one, as GDI keeps them.
            if (result.Spans.size() > first && next.Left <= result.Spans.back().Right)
                result.Spans.back().Right = std::max(result.Spans.back().Right, next.Right);
            else
                result.Spans.push_back(next);
        }
        const size_t count = result.Spans.size() - first;

        // A band that continues the one above with the same spans extends it.
        if (!result.Bands.empty()) {
            TBand& above = result.Bands.back();
            if (above.Bottom == y0 && above.Count == count &&
                std::equal(result.Spans.begin() + static_cast<std::ptrdiff_t>(above.First),
                           result.Spans.begin() + static_cast<std::ptrdiff_t>(above.First + count),
                           result.Spans.begin() + static_cast<std::ptrdiff_t>(first))) {
                above.Bottom = y1;
                result.Spans.resize(first);
                y0 = y1;
                continue;
            }
        }
        result.Bands.push_back({y0, y1, first, count});
        y0 = y1;
    }
    return result;
}

bool TRegionSet::Contains(int x, int y) const {
    auto band = std::upper_bound(Bands.begin(), Bands.end(), y,
                                 [](int value, const TBand& b) { return value < b.Bottom; });
    if (band == Bands.end() || band->Top > y) return false;
    const TSpan* begin = SpansOf(*band);
    const TSpan* end = begin + band->Count;
    const TSpan* span =
        std::upper_bound(begin, end, x, [](int value, const TSpan& s) { return value < s.Right; });
    return span != end && span->Left <= x;
}

TRegionRect TRegionSet::Bounds() const {
    if (Bands.empty()) return TRegionRect();
    TRegionRect r{SpansOf(Bands.front())[0].Left, Bands.front().Top,
                  SpansOf(Bands.front())[Bands.front().Count - 1].Right, Bands.back().Bottom};
    for (const TBand& band : Bands) {
        r.Left = std::min(r.Left, SpansOf(band)[0].Left);
        r.Right = std::max(r.Right, SpansOf(band)[band.Count - 1].Right);
    }
    return r;
}

std::vector<TRegionRect> TRegionSet::Rects() const {
    std::vector<TRegionRect> rects;
    rects.reserve(Spans.size());
    for (const TBand& band : Bands)
        for (size_t i = 0; i < band.Count; ++i)
            rects.push_back({SpansOf(band)[i].Left, band.Top, SpansOf(band)[i].Right, band.Bottom});
    return rects;
}

size_t TRegionSet::RectCount() const {
    return Spans.size();
}

bool TRegionSet::operator==(const TRegionSet& o) const {
    if (Bands.size() != o.Bands.size()) return false;
    for (size_t i = 0; i < Bands.size(); ++i) {
        const TBand &x = Bands[i], &y = o.Bands[i];
        if (x.Top != y.Top || x.Bottom != y.Bottom || x.Count != y.Count ||
            !std::equal(SpansOf(x), SpansOf(x) + x.Count, o.SpansOf(y)))
            return false;
    }
    return true;
}
