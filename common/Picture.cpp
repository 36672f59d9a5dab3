#include "common/Picture.h"

#include <algorithm>
#include <cstring>

void TPicture::SetSize(int width, int height) {
    Width = std::max(width, 0);
    Height = std::max(height, 0);
    Pixels.assign(static_cast<size_t>(Width) * Height, 0u);
}

void TPicture::Release() {
    Width = 0;
    Height = 0;
    BitsPerPixel = 32;
    Pixels.clear();
    Pixels.shrink_to_fit();
}

bool ClipCopy(int& sx, int& sy, int& w, int& h, int srcW, int srcH, int& dx, int& dy, int dstW,
              int dstH) {
    // Clip the source rectangle, moving the destination along with it, then the same
    // against the destination.
    if (sx < 0) {
        w += sx;
        dx -= sx;
        sx = 0;
    }
    if (sy < 0) {
        h += sy;
        dy -= sy;
        sy = 0;
    }
    if (dx < 0) {
        w += dx;
        sx -= dx;
        dx = 0;
    }
    if (dy < 0) {
        h += dy;
        sy -= dy;
        dy = 0;
    }
    w = std::min({w, srcW - sx, dstW - dx});
    h = std::min({h, srcH - sy, dstH - dy});
    return w > 0 && h > 0;
}

void CopyRect(const TPicture& src, int sx, int sy, int w, int h, TPicture& dst, int dx, int dy) {
    if (!ClipCopy(sx, sy, w, h, src.Width, src.Height, dx, dy, dst.Width, dst.Height)) return;
    const size_t bytes = static_cast<size_t>(w) * sizeof(uint32_t);
    if (&src == &dst && dy > sy) {
        // Copying downwards within one picture: walk the rows bottom-up so no source
        // row is overwritten before it is read. memmove covers overlaps within a row.
        for (int row = h - 1; row >= 0; --row)
            std::memmove(dst.Row(dy + row) + dx, src.Row(sy + row) + sx, bytes);
    } else {
        for (int row = 0; row < h; ++row)
            std::memmove(dst.Row(dy + row) + dx, src.Row(sy + row) + sx, bytes);
    }
}

void FillRect(TPicture& pic, int x, int y, int w, int h, uint32_t pixel) {
    int x0 = std::max(x, 0), y0 = std::max(y, 0);
    int x1 = std::min(x + w, pic.Width), y1 = std::min(y + h, pic.Height);
    for (int row = y0; row < y1; ++row) std::fill(pic.Row(row) + x0, pic.Row(row) + x1, pixel);
}
