// The scale between the program's pixels and a monitor's, and drawing the program's
// picture at it.
#include "platform/WindowScale.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
// The mean of two pixels, b weighing w / 256, rounded; red and blue travel together in
// one word, green in another, so a pixel costs two multiplications a side.
inline uint32_t Mix(uint32_t a, uint32_t b, uint32_t w) {
    const uint32_t v = 256 - w;
    const uint32_t rb = ((a & 0xFF00FFu) * v + (b & 0xFF00FFu) * w + 0x800080u) >> 8;
    const uint32_t g = ((a & 0x00FF00u) * v + (b & 0x00FF00u) * w + 0x008000u) >> 8;
    return (rb & 0xFF00FFu) | (g & 0x00FF00u);
}

// Mix with b weighing exactly half, byte by byte: the rounded-up mean, as Mix gives.
inline uint32_t Half(uint32_t a, uint32_t b) {
    return (a | b) - (((a ^ b) & 0xFEFEFEFEu) >> 1);
}

// A whole row of Mix(a[i], b[i], w): the rows of a physical row that straddles two
// program rows.
void MixRows(const uint32_t* a, const uint32_t* b, uint32_t w, uint32_t* to, int n) {
    int i = 0;
#if defined(__SSE2__)
    if (w == 128) {
        for (; i + 4 <= n; i += 4) {
            const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
            const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i), _mm_avg_epu8(va, vb));
        }
    } else {
        // Each channel widened to 16 bits: a * (256 - w) + b * w + 128 never passes
        // 65,408, so the same sum as Mix's fits and is shifted back.
        const __m128i zero = _mm_setzero_si128();
        const __m128i wb = _mm_set1_epi16(static_cast<short>(w));
        const __m128i wa = _mm_set1_epi16(static_cast<short>(256 - w));
        const __m128i half = _mm_set1_epi16(128);
        for (; i + 4 <= n; i += 4) {
            const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
            const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
            __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(va, zero), wa),
                                       _mm_mullo_epi16(_mm_unpacklo_epi8(vb, zero), wb));
            __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(va, zero), wa),
                                       _mm_mullo_epi16(_mm_unpackhi_epi8(vb, zero), wb));
            lo = _mm_srli_epi16(_mm_add_epi16(lo, half), 8);
            hi = _mm_srli_epi16(_mm_add_epi16(hi, half), 8);
            // The unused fourth byte of our pixels is zero on both sides and stays so.
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i), _mm_packus_epi16(lo, hi));
        }
    }
#endif
    if (w == 128) {
        for (; i < n; ++i) to[i] = Half(a[i], b[i]) & 0xFFFFFFu;
    } else {
        for (; i < n; ++i) to[i] = Mix(a[i], b[i], w);
    }
}

// Which program pixel a physical pixel starts in, and how much of the next one it takes
// (0 to 256): the stretch [p / s, (p + 1) / s) of a factor of at least 1 lies in at most
// two program pixels.
struct TTap {
    int Source = 0;
    uint32_t Next = 0;
};

TTap TapFor(int p, double s, int logicalSize) {
    TTap t;
    int i = static_cast<int>(std::floor(p / s));
    i = std::clamp(i, 0, logicalSize - 1);
    t.Source = i;
    if (i + 1 < logicalSize) {
        const double next = (p + 1) - (i + 1) * s;  // of one physical pixel
        if (next > 0) t.Next = static_cast<uint32_t>(std::lround(std::min(next, 1.0) * 256));
    }
    if (t.Next == 256) {
        t.Source = i + 1;
        t.Next = 0;
    }
    return t;
}

bool WholeFactor(double s, int& k) {
    k = static_cast<int>(s);
    return s == static_cast<double>(k);
}
}  // namespace

TWindowScale::TWindowScale(double factor, int logicalWidth, int logicalHeight)
    : S(std::max(1.0, factor)), W(logicalWidth), H(logicalHeight) {
    PhysW = static_cast<int>(std::floor(W * S + 0.5));
    PhysH = static_cast<int>(std::floor(H * S + 0.5));
}

TWindowScale TWindowScale::Choose(int dpi, int workWidth, int workHeight, int logicalWidth,
                                  int logicalHeight) {
    double s = dpi > 0 ? dpi / 96.0 : 1.0;
    // The largest scale at which the rounded window still fits the work area.
    if (workWidth > 0 && workHeight > 0 && logicalWidth > 0 && logicalHeight > 0) {
        const double fit =
            std::min((workWidth + 0.5) / logicalWidth, (workHeight + 0.5) / logicalHeight);
        if (s > fit) s = std::floor(fit * 1000) / 1000;
    }
    return TWindowScale(std::max(1.0, s), logicalWidth, logicalHeight);
}

int TWindowScale::ToLogical(int physical) const {
    if (S == 1.0) return physical;
    return static_cast<int>(std::floor((physical + 0.5) / S));
}

int TWindowScale::Edge(int logical) const {
    if (S == 1.0) return logical;
    // The first physical pixel whose centre lies in the program pixel `logical` or after
    // it; found from the estimate so that the two mappings agree to the pixel.
    int p = static_cast<int>(std::ceil(logical * S - 0.5)) - 2;
    while (ToLogical(p) < logical) ++p;
    return p;
}

int TWindowScale::Length(int logical) const {
    return static_cast<int>(std::floor(logical * S + 0.5));
}

TPhysicalRect PresentScaled(const TPicture& logical, const TWindowScale& scale, int x, int y, int w,
                            int h, uint32_t* dst, int dstStride) {
    TPhysicalRect out;
    // A scale made for no particular size takes the picture's.
    const int lw =
        scale.LogicalWidth() > 0 ? std::min(logical.Width, scale.LogicalWidth()) : logical.Width;
    const int lh = scale.LogicalHeight() > 0 ? std::min(logical.Height, scale.LogicalHeight())
                                             : logical.Height;
    const int x0 = std::max(0, x), y0 = std::max(0, y);
    const int x1 = std::min(lw, x + w), y1 = std::min(lh, y + h);
    if (x0 >= x1 || y0 >= y1) return out;

    if (scale.Identity()) {
        for (int row = y0; row < y1; ++row)
            std::memcpy(dst + static_cast<size_t>(row) * dstStride + x0, logical.Row(row) + x0,
                        static_cast<size_t>(x1 - x0) * sizeof(uint32_t));
        out = {x0, y0, x1 - x0, y1 - y0};
        return out;
    }

    // A physical pixel on either side of the rectangle's edge mixes a changed pixel
    // with its neighbour, so it is drawn again too.
    const int physW = scale.PhysicalWidth(), physH = scale.PhysicalHeight();
    const int px0 = std::max(0, scale.Edge(x0) - 1);
    const int py0 = std::max(0, scale.Edge(y0) - 1);
    const int px1 = x1 >= lw ? physW : std::min(physW, scale.Edge(x1) + 1);
    const int py1 = y1 >= lh ? physH : std::min(physH, scale.Edge(y1) + 1);
    out = {px0, py0, px1 - px0, py1 - py0};
    if (out.W <= 0 || out.H <= 0) return out;
    const double s = scale.Factor();

    int k = 0;
    if (WholeFactor(s, k)) {
        // Each program pixel becomes a k x k square: the first row of a square is
        // spread out, the others are copies of it.
        const int sx0 = px0 / k, sx1 = (px1 + k - 1) / k;
        for (int py = py0; py < py1; ++py) {
            uint32_t* to = dst + static_cast<size_t>(py) * dstStride;
            if (py > py0 && py % k != 0) {
                std::memcpy(to + px0, to - dstStride + px0, static_cast<size_t>(out.W) * 4);
                continue;
            }
            const uint32_t* from = logical.Row(std::min(py / k, lh - 1));
            if (k == 2) {
                // The common 200 %: a half square at either end, whole ones between.
                int px = px0;
                if (px % 2) to[px++] = from[px0 / 2];
                for (; px + 2 <= px1; px += 2) to[px] = to[px + 1] = from[px / 2];
                if (px < px1) to[px] = from[std::min(px / 2, lw - 1)];
                continue;
            }
            for (int sx = sx0; sx < sx1; ++sx) {
                const uint32_t c = from[std::min(sx, lw - 1)];
                const int a = std::max(px0, sx * k), b = std::min(px1, sx * k + k);
                for (int px = a; px < b; ++px) to[px] = c;
            }
        }
        return out;
    }

    // Most physical columns lie in one program column and are copies; the few that mix
    // two are listed apart and drawn over the copies.
    std::vector<int> source(static_cast<size_t>(out.W));
    std::vector<int> mixed;
    std::vector<uint32_t> weight;
    std::vector<uint32_t> dense(static_cast<size_t>(out.W));
    for (int px = px0; px < px1; ++px) {
        const TTap t = TapFor(px, s, lw);
        source[static_cast<size_t>(px - px0)] = t.Source;
        dense[static_cast<size_t>(px - px0)] = t.Next;
        if (t.Next) {
            mixed.push_back(px - px0);
            weight.push_back(t.Next);
        }
    }

    // Each program row is spread out once, into one of two rows kept for the physical
    // rows that mix it with the next one.
    std::vector<uint32_t> spread(static_cast<size_t>(out.W) * 2);
    int cached[2] = {-1, -1};
    auto row = [&](int r, int keep) -> const uint32_t* {
        for (int c = 0; c < 2; ++c)
            if (cached[c] == r) return spread.data() + static_cast<size_t>(c) * out.W;
        const int c = cached[0] == keep ? 1 : 0;
        cached[c] = r;
        uint32_t* to = spread.data() + static_cast<size_t>(c) * out.W;
        const uint32_t* from = logical.Row(r);
        const int* src = source.data();
        if (s == 1.5) {
            // The common 150 %: every two program pixels a, b become a, (a + b) / 2, b,
            // in groups that start at physical columns divisible by three.
            const int first = std::min(out.W, (3 - px0 % 3) % 3);
            const int end = first + (out.W - first) / 3 * 3;
            auto one = [&](int i) {
                const uint32_t w = dense[static_cast<size_t>(i)];
                const uint32_t a = from[src[i]];
                to[i] = !w         ? a
                        : w == 128 ? Half(a, from[src[i] + 1]) & 0xFFFFFFu
                                   : Mix(a, from[src[i] + 1], w);
            };
            for (int i = 0; i < first; ++i) one(i);
            int i = first;
#if defined(__SSE2__)
            // Two groups at a time: four program pixels in, six physical pixels out.
            for (; i + 6 <= end && src[i] + 3 < lw; i += 6) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + src[i]));
                const __m128i m = _mm_avg_epu8(v, _mm_srli_si128(v, 4));  // ab, bc, cd, d/2
                const __m128i am = _mm_unpacklo_epi32(v, m);              // a, ab, b, bc
                const __m128i bc = _mm_shuffle_epi32(v, _MM_SHUFFLE(3, 3, 2, 1));  // b, c
                _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i), _mm_unpacklo_epi64(am, bc));
                const __m128i cm = _mm_unpackhi_epi32(v, m);  // c, cd, d, -
                _mm_storel_epi64(reinterpret_cast<__m128i*>(to + i + 4),
                                 _mm_shuffle_epi32(cm, _MM_SHUFFLE(3, 3, 2, 1)));
            }
#endif
            for (; i < end; i += 3) {
                const uint32_t a = from[src[i]], b = from[src[i] + 1];
                to[i] = a;
                to[i + 1] = Half(a, b) & 0xFFFFFFu;
                to[i + 2] = b;
            }
            for (int i = end; i < out.W; ++i) one(i);
            return to;
        }
        for (int i = 0; i < out.W; ++i) to[i] = from[src[i]];
        for (size_t m = 0; m < mixed.size(); ++m) {
            const int i = mixed[m];
            const uint32_t w = weight[m];
            const uint32_t a = to[i], b = from[src[i] + 1];
            to[i] = w == 128 ? Half(a, b) & 0xFFFFFFu : Mix(a, b, w);
        }
        return to;
    };

    for (int py = py0; py < py1; ++py) {
        const TTap t = TapFor(py, s, lh);
        uint32_t* to = dst + static_cast<size_t>(py) * dstStride + px0;
        const uint32_t* a = row(t.Source, -1);
        if (!t.Next) {
            std::memcpy(to, a, static_cast<size_t>(out.W) * 4);
            continue;
        }
        const uint32_t* b = row(t.Source + 1, t.Source);
        a = row(t.Source, t.Source + 1);
        MixRows(a, b, t.Next, to, out.W);
    }
    return out;
}

TScreenRect NearestArea(const TScreenRect& rect, const std::vector<TScreenRect>& areas) {
    // The monitor the rectangle overlaps most, else the one closest to it, as
    // MonitorFromRect picks.
    if (areas.empty()) return TScreenRect();
    auto overlap = [&](const TScreenRect& a) {
        const int64_t w = std::max<int64_t>(
            0, std::min<int64_t>(rect.Right, a.Right) - std::max<int64_t>(rect.Left, a.Left));
        const int64_t h = std::max<int64_t>(
            0, std::min<int64_t>(rect.Bottom, a.Bottom) - std::max<int64_t>(rect.Top, a.Top));
        return w * h;
    };
    auto distance = [&](const TScreenRect& a) {
        const int64_t dx =
            std::max<int64_t>({0, int64_t{a.Left} - rect.Right, int64_t{rect.Left} - a.Right});
        const int64_t dy =
            std::max<int64_t>({0, int64_t{a.Top} - rect.Bottom, int64_t{rect.Top} - a.Bottom});
        return dx * dx + dy * dy;
    };
    size_t best = 0;
    for (size_t i = 1; i < areas.size(); ++i) {
        const int64_t a = overlap(areas[i]), b = overlap(areas[best]);
        if (a > b || (a == b && a == 0 && distance(areas[i]) < distance(areas[best]))) best = i;
    }
    return areas[best];
}
