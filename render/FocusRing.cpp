// The focus ring, drawn into the back buffer over a button's sprite; the sprite drawn
// again takes it away.
#include "render/FocusRing.h"

void DrawFocusRing(TPicture& pic, int x, int y, int w, int h) {
    constexpr int kInset = 2;
    const int left = x + kInset, top = y + kInset;
    const int right = x + w - 1 - kInset, bottom = y + h - 1 - kInset;
    if (right < left || bottom < top) return;
    auto dot = [&](int px, int py) {
        if (!pic.Contains(px, py)) return;
        // The colour follows the position, so the dots line up where the edges meet.
        pic.SetPixel(px, py, ((px + py) & 1) ? MakePixel(0, 0, 0) : MakePixel(255, 255, 255));
    };
    for (int px = left; px <= right; ++px) {
        dot(px, top);
        dot(px, bottom);
    }
    for (int py = top + 1; py < bottom; ++py) {
        dot(left, py);
        dot(right, py);
    }
}
