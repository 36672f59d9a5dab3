// Composing the card area: backdrop, the card picture scaled to its turning width, and
// the four-sided frame around it.
#include "render/ComposeCardArea.h"

#include <algorithm>

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
    if (dw == sw) {
        for (int y = rowFirst; y < rowLast; ++y)
            std::copy(src.Row(y) + colFirst, src.Row(y) + colLast, dst.Row(dy + y) + dx + colFirst);
        return;
    }
    // Destination column j covers source positions [j*sw, (j+1)*sw) measured in units of
    // 1/dw source pixel; source pixel i covers [i*dw, (i+1)*dw). Weights are the overlaps
    // and add up to sw for every column.
    for (int y = rowFirst; y < rowLast; ++y) {
        const uint32_t* in = src.Row(y);
        uint32_t* out = dst.Row(dy + y) + dx;
        for (int j = colFirst; j < colLast; ++j) {
            const long start = static_cast<long>(j) * sw;
            const long end = start + sw;
            long i = start / dw;
            const long iLast = (end - 1) / dw;
            uint32_t r = 0, g = 0, b = 0;
            for (; i <= iLast; ++i) {
                const long lo = std::max(start, i * dw);
                const long hi = std::min(end, (i + 1) * dw);
                const uint32_t weight = static_cast<uint32_t>(hi - lo);
                const uint32_t p = in[i];
                r += ((p >> 16) & 255) * weight;
                g += ((p >> 8) & 255) * weight;
                b += (p & 255) * weight;
            }
            const uint32_t half = static_cast<uint32_t>(sw) / 2;
            out[j] = (((r + half) / sw) << 16) | (((g + half) / sw) << 8) | ((b + half) / sw);
        }
    }
}

void TOrvaneFM::ComposeCardArea(int slot, int percent, bool flush) {
    BlitToBuffer(Nami, 0, 0, 348, 508, 32, 44, false);
    const TPicture& picture = CardSlot[slot];
    const CardSlotGeometry& s = CardGeom[slot];
    // A picture that failed to decode is an empty slot: only the backdrop shows.
    if (!picture.Empty()) {
        const int e = percent == 100 ? 0 : 1;
        const TComposeGeometry g = ComposeGeometry(s.W, percent);
        const int x = g.Left, w = g.Width, h2 = g.HalfWidth, y = s.Y, H = s.H;
        ScaleColumns(picture, BackBuffer, x, y, w);
        const int edge = h2 + 2 - e;
        CopyRect(WakuTate, 0, 0, 4, H + 4, BackBuffer, x + e - 4, y - 2);      // left edge
        CopyRect(WakuTate, 4, 0, 4, H + 4, BackBuffer, x + w - e, y - 2);      // right edge
        CopyRect(WakuYoko, 2, 0, edge, 4, BackBuffer, x - 2 + e, y - 4);       // top, left half
        CopyRect(WakuYoko, 174, 0, edge, 4, BackBuffer, 206, y - 4);           // top, right half
        CopyRect(WakuYoko, 1, 1, 1, 1, BackBuffer, x - 3 + e, y - 3);          // top-left corner
        CopyRect(WakuYoko, 346, 1, 1, 1, BackBuffer, x + w + 2 - e, y - 3);    // top-right corner
        CopyRect(WakuYoko, 2, 4, edge, 4, BackBuffer, x - 2 + e, y + H);       // bottom, left half
        CopyRect(WakuYoko, 174, 4, edge, 4, BackBuffer, 206, y + H);           // bottom, right half
        CopyRect(WakuYoko, 1, 6, 1, 1, BackBuffer, x - 3 + e, y + H + 2);      // bottom-left corner
        CopyRect(WakuYoko, 346, 6, 1, 1, BackBuffer, x + w + 2 - e, y + H + 2);  // bottom-right
    }
    if (flush) FlushRect(32, 44, 348, 508);
}
