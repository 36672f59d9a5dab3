// The back buffer: everything the window shows, apart from its labels and the wish box,
// is drawn here first and then shown rectangle by rectangle.
#include "app/MainUnit.h"
#include "render/FocusRing.h"

void TOrvaneFM::FlushRect(int x, int y, int w, int h) {
    // Rectangles that reach past the window (the light area near an edge) are clipped.
    if (x < 0) {
        w += x;
        x = 0;
    }
    if (y < 0) {
        h += y;
        y = 0;
    }
    if (x + w > BackBuffer.Width) w = BackBuffer.Width - x;
    if (y + h > BackBuffer.Height) h = BackBuffer.Height - y;
    if (w > 0 && h > 0) Os.Present(BackBuffer, x, y, w, h, x, y);
}

void TOrvaneFM::BlitToBuffer(const TPicture& src, int sx, int sy, int w, int h, int dx, int dy,
                             bool flush) {
    CopyRect(src, sx, sy, w, h, BackBuffer, dx, dy);
    if (flush) FlushRect(dx, dy, w, h);
}

void TOrvaneFM::DrawButton(int index, int state) {
    ButtonRecord& b = Button(index);
    b.State = state;
    const bool ring = index == FocusedButton && KeyboardCues;
    BlitToBuffer(ButtonSheet, b.SheetX + state * b.Width, b.SheetY, b.Width, b.Height, b.X, b.Y,
                 !ring);
    if (ring) {
        DrawFocusRing(BackBuffer, b.X, b.Y, b.Width, b.Height);
        FlushRect(b.X, b.Y, b.Width, b.Height);
    }
}

void TOrvaneFM::DrawAllButtons() {
    for (int i = kFirstButton; i <= kLastButton; ++i) {
        if (i == HeartButton)
            UpdateHeartButton();
        else
            DrawButton(i, Button(i).State);
    }
}

void TOrvaneFM::FormPaint() {
    // Before the window is built there is nothing to show; never touch what is missing.
    if (BackBuffer.Empty()) return;
    Os.Present(BackBuffer, 0, 0, BackBuffer.Width, BackBuffer.Height, 0, 0);
}
