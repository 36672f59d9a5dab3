// Pointer shapes: a quill pen while idle, a hand while dragging, a cross-hair while the
// light origin is grabbed, an hourglass while the wallpaper is made.
#include "app/MainUnit.h"

void TOrvaneFM::LoadPointers() {
    for (int n = 1; n <= 8; ++n) Os.LoadPointer(n, "cr" + std::to_string(n));
}

void TOrvaneFM::SetPointer(int n) {
    CurrentPointer = n;
    Os.SetPointer(n);
}

void TOrvaneFM::NormalPointer() {
    if (FezPenDown)
        SetPointer(FezPenBlack ? 5 : 4);
    else
        SetPointer(FezPenBlack ? 3 : 2);
}

void TOrvaneFM::DragPointer() { SetPointer(FezPenBlack ? 7 : 6); }
