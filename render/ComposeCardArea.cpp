// Composing the card area: backdrop, the card picture scaled to its turning width, and
// the four-sided frame around it.
#include "render/ComposeCardArea.h"

#include <algorithm>
#include <vector>

#include "app/MainUnit.h"

TComposeGeometry ComposeGeometry(int pictureWidth, int percent) {
    const int w = pictureWidth * percent / 100;
    int h2 = w / 2;
    // The lower bound comes first, and when it raised h2 the upper bound is skipped:
    // even a turned-away card shows a 4-pixel sliver.
    if (h2 < 2)
        h2 = 2;
    else if (h2 > pictureWidth / 2)
        h2 = pictureWidth / 2;
    TComposeGeometry g;
    g.HalfWidth = h2;
    g.Width = 2 * h2;
    g.Left = 36 + (340 - g.Width) / 2;
    return g;
}

void ScaleColumns(const TPicture& src, TPicture& dst, int dx, int dy, int dw) {
    const int sw = src.Width;
    if (sw <= 0 || dw <= 0 || src.Height <= 0) return;
    const int rowFirst = std::max(0, -dy);
    const int rowLast = std::min(src.Height, dst.Height - dy);
    const int colFirst = std::max(0, -dx);
    const int colLast = std::min(dw, dst.Width - dx);
    if (rowFirst >= rowLast || colFirst >= colLast) return;
    if (dw == sw) {
        for (int y = rowFirst; y < rowLast; ++y)
            std::copy(src.Row(y) + colFirst, src.Row(y) + colLast, dst.Row(dy + y) + dx + colFirst);
        return;
    }
    // Destination column j covers source positions [j*sw, (j+1)*sw) measured in units of
    // 1/dw source pixel; source pixel i covers [i*dw, (i+1)*dw). A column's weights are
    // those overlaps, scaled to add up to exactly 2^16. The spans are the same for every
    // row, so they are worked out once; the buffers only grow, so a turn allocates nothing
    // after its first frame.
    static thread_local std::vector<int> first, count, at;
    static thread_local std::vector<uint32_t> weights;
    first.resize(static_cast<size_t>(dw));
    count.resize(static_cast<size_t>(dw));
    at.resize(static_cast<size_t>(dw));
    weights.clear();
    for (int j = 0; j < dw; ++j) {
        const long long start = static_cast<long long>(j) * sw, end = start + sw;
        const long long i0 = start / dw, i1 = (end - 1) / dw;
        first[j] = static_cast<int>(i0);
        count[j] = static_cast<int>(i1 - i0 + 1);
        at[j] = static_cast<int>(weights.size());
        uint32_t given = 0;
        for (long long i = i0; i <= i1; ++i) {
            const long long overlap = std::min(end, (i + 1) * dw) - std::max(start, i * dw);
            uint32_t w = static_cast<uint32_t>((overlap * 65536 + sw / 2) / sw);
            if (i == i1) w = 65536 - given;  // rounding never loses or adds light
            given += w;
            weights.push_back(w);
        }
    }
    // Each channel is (32768 + the sum of value x weight) >> 16. Red and blue are summed
    // together in one 64-bit word, red from bit 32 and blue from bit 0: a channel's sum
    // stays below 2^24, so the two never meet, and the result is the same as one channel
    // at a time for one multiplication less per source pixel. Only the columns that land
    // inside the destination are worked out.
    constexpr uint64_t kHalf = (uint64_t{32768} << 32) | 32768u;
    for (int y = rowFirst; y < rowLast; ++y) {
        const uint32_t* in = src.Row(y);
        uint32_t* out = dst.Row(dy + y) + dx;
        for (int j = colFirst; j < colLast; ++j) {
            const uint32_t* p = in + first[j];
            const uint32_t* w = weights.data() + at[j];
            const int n = count[j];
            uint64_t rb = kHalf;
            uint32_t g = 32768;
            for (int k = 0; k < n; ++k) {
                const uint32_t c = p[k], wk = w[k];
                rb += ((static_cast<uint64_t>(c & 0xFF0000u) << 16) | (c & 0xFFu)) * wk;
                g += ((c >> 8) & 255) * wk;
            }
            out[j] =
                static_cast<uint32_t>(((rb >> 48) << 16) | ((rb >> 16) & 0xFF)) | ((g >> 16) << 8);
        }
    }
}

void TOrvaneFM::ComposeCardArea(int slot, int percent, bool flush) {
    BlitToBuffer(Nami, 0, 0, kAreaWidth, kAreaHeight, kAreaLeft, kAreaTop, false);
    const TPicture& picture = CardSlot[slot];
    const CardSlotGeometry& s = CardGeom[slot];
    // A picture that failed to decode is an empty slot: only the backdrop shows.
    if (!picture.Empty()) {
        const int e = percent == 100 ? 0 : 1;
        const TComposeGeometry g = ComposeGeometry(s.W, percent);
        const int x = g.Left, w = g.Width, h2 = g.HalfWidth, y = s.Y, H = s.H;
        ScaleColumns(picture, BackBuffer, x, y, w);
        const int edge = h2 + 2 - e;
        CopyRect(WakuTate, 0, 0, 4, H + 4, BackBuffer, x + e - 4, y - 2);    // left edge
        CopyRect(WakuTate, 4, 0, 4, H + 4, BackBuffer, x + w - e, y - 2);    // right edge
        CopyRect(WakuYoko, 2, 0, edge, 4, BackBuffer, x - 2 + e, y - 4);     // top, left half
        CopyRect(WakuYoko, 174, 0, edge, 4, BackBuffer, 206, y - 4);         // top, right half
        CopyRect(WakuYoko, 1, 1, 1, 1, BackBuffer, x - 3 + e, y - 3);        // top-left corner
        CopyRect(WakuYoko, 346, 1, 1, 1, BackBuffer, x + w + 2 - e, y - 3);  // top-right corner
        CopyRect(WakuYoko, 2, 4, edge, 4, BackBuffer, x - 2 + e, y + H);     // bottom, left half
        CopyRect(WakuYoko, 174, 4, edge, 4, BackBuffer, 206, y + H);         // bottom, right half
        CopyRect(WakuYoko, 1, 6, 1, 1, BackBuffer, x - 3 + e, y + H + 2);    // bottom-left corner
        CopyRect(WakuYoko, 346, 6, 1, 1, BackBuffer, x + w + 2 - e, y + H + 2);  // bottom-right
    }
    if (flush) FlushRect(kAreaLeft, kAreaTop, kAreaWidth, kAreaHeight);
}
