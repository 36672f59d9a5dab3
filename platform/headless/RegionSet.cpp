#include "platform/headless/RegionSet.h"

#include <algorithm>
#include <cstring>

namespace {

uint32_t ReadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

int32_t ReadI32(const uint8_t* p) {
    const uint32_t u = ReadU32(p);
    int32_t v;
    std::memcpy(&v, &u, sizeof v);
    return v;
}

}  // namespace

TRegionSet TRegionSet::FromRect(int left, int top, int right, int bottom) {
    TRegionSet r;
    if (right > left && bottom > top) r.Bands.push_back({top, bottom, {{left, right}}});
    return r;
}

// Halving the list and joining the halves keeps building from thousands of one-row
// rectangles close to n log n instead of growing one band list rectangle by rectangle.
TRegionSet TRegionSet::UnionRange(const std::vector<TRegionRect>& rects, size_t first,
                                  size_t last) {
    if (last - first == 1) {
        const TRegionRect& r = rects[first];
        return FromRect(r.Left, r.Top, r.Right, r.Bottom);
    }
    const size_t mid = first + (last - first) / 2;
    return Union(UnionRange(rects, first, mid), UnionRange(rects, mid, last));
}

TRegionSet TRegionSet::FromRects(const std::vector<TRegionRect>& rects) {
    if (rects.empty()) return TRegionSet();
    return UnionRange(rects, 0, rects.size());
}

bool TRegionSet::FromData(const void* data, size_t size, TRegionSet& out) {
    if (data == nullptr || size < 32) return false;
    const uint8_t* p = static_cast<const uint8_t*>(data);
    const uint32_t headerSize = ReadU32(p);
    const uint32_t type = ReadU32(p + 4);
    const uint32_t count = ReadU32(p + 8);
    if (headerSize != 32 || type != 1) return false;
    // 64-bit arithmetic: a count near 2^32 must not wrap into a small size.
    if (static_cast<uint64_t>(count) * 16u > size - 32) return false;
    std::vector<TRegionRect> rects;
    rects.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* r = p + 32 + static_cast<size_t>(i) * 16;
        TRegionRect rect{ReadI32(r), ReadI32(r + 4), ReadI32(r + 8), ReadI32(r + 12)};
        if (rect.Right > rect.Left && rect.Bottom > rect.Top) rects.push_back(rect);
    }
    out = FromRects(rects);
    return true;
}

TRegionSet TRegionSet::Union(const TRegionSet& a, const TRegionSet& b) {
    if (a.Bands.empty()) return b;
    if (b.Bands.empty()) return a;

    // Every band edge of either region, in order; between two neighbouring edges each
    // region is either one band or nothing.
    std::vector<int> edges;
    edges.reserve(2 * (a.Bands.size() + b.Bands.size()));
    for (const TBand& band : a.Bands) {
        edges.push_back(band.Top);
        edges.push_back(band.Bottom);
    }
    for (const TBand& band : b.Bands) {
        edges.push_back(band.Top);
        edges.push_back(band.Bottom);
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());

    TRegionSet result;
    size_t ia = 0, ib = 0;
    std::vector<TSpan> spans;
    for (size_t e = 0; e + 1 < edges.size(); ++e) {
        const int y0 = edges[e], y1 = edges[e + 1];
        while (ia < a.Bands.size() && a.Bands[ia].Bottom <= y0) ++ia;
        while (ib < b.Bands.size() && b.Bands[ib].Bottom <= y0) ++ib;
        const std::vector<TSpan>* sa =
            (ia < a.Bands.size() && a.Bands[ia].Top <= y0) ? &a.Bands[ia].Spans : nullptr;
        const std::vector<TSpan>* sb =
            (ib < b.Bands.size() && b.Bands[ib].Top <= y0) ? &b.Bands[ib].Spans : nullptr;
        if (!sa && !sb) continue;

        spans.clear();
        size_t i = 0, j = 0;
        const size_t na = sa ? sa->size() : 0, nb = sb ? sb->size() : 0;
        while (i < na || j < nb) {
            TSpan next;
            if (j >= nb || (i < na && (*sa)[i].Left <= (*sb)[j].Left))
                next = (*sa)[i++];
            else
                next = (*sb)[j++];
            // Overlapping or touching spans become one, as GDI keeps them.
            if (!spans.empty() && next.Left <= spans.back().Right)
                spans.back().Right = std::max(spans.back().Right, next.Right);
            else
                spans.push_back(next);
        }

        if (!result.Bands.empty() && result.Bands.back().Bottom == y0 &&
            result.Bands.back().Spans == spans)
            result.Bands.back().Bottom = y1;
        else
            result.Bands.push_back({y0, y1, spans});
    }
    return result;
}

bool TRegionSet::Contains(int x, int y) const {
    auto band = std::upper_bound(Bands.begin(), Bands.end(), y,
                                 [](int value, const TBand& b) { return value < b.Bottom; });
    if (band == Bands.end() || band->Top > y) return false;
    auto span = std::upper_bound(band->Spans.begin(), band->Spans.end(), x,
                                 [](int value, const TSpan& s) { return value < s.Right; });
    return span != band->Spans.end() && span->Left <= x;
}

TRegionRect TRegionSet::Bounds() const {
    if (Bands.empty()) return TRegionRect();
    TRegionRect r{Bands.front().Spans.front().Left, Bands.front().Top,
                  Bands.front().Spans.back().Right, Bands.back().Bottom};
    for (const TBand& band : Bands) {
        r.Left = std::min(r.Left, band.Spans.front().Left);
        r.Right = std::max(r.Right, band.Spans.back().Right);
    }
    return r;
}

std::vector<TRegionRect> TRegionSet::Rects() const {
    std::vector<TRegionRect> rects;
    for (const TBand& band : Bands)
        for (const TSpan& s : band.Spans) rects.push_back({s.Left, band.Top, s.Right, band.Bottom});
    return rects;
}

size_t TRegionSet::RectCount() const {
    size_t n = 0;
    for (const TBand& band : Bands) n += band.Spans.size();
    return n;
}

bool TRegionSet::operator==(const TRegionSet& o) const {
    if (Bands.size() != o.Bands.size()) return false;
    for (size_t i = 0; i < Bands.size(); ++i) {
        if (Bands[i].Top != o.Bands[i].Top || Bands[i].Bottom != o.Bands[i].Bottom ||
            Bands[i].Spans != o.Bands[i].Spans)
            return false;
    }
    return true;
}
