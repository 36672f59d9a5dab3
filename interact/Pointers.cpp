// Pointer shapes: a quill pen while idle, a hand while dragging, a cross-hair while the
// light origin is grabbed, an hourglass while the wallpaper is made.
#include "app/MainUnit.h"

void TOrvaneFM::LoadPointers() {
    for (int n = kPointerCrossHair; n <= kPointerShapes; ++n)
        Os.LoadPointer(n, "cr" + std::to_string(n));
}

void TOrvaneFM::SetPointer(int n) {
    Os.SetPointer(n);
}

void TOrvaneFM::NormalPointer() {
    if (Options.FezPenDown)
        SetPointer(Options.FezPenBlack ? kPointerBlackPenDown : kPointerPenDown);
    else
        SetPointer(Options.FezPenBlack ? kPointerBlackPen : kPointerPen);
}

void TOrvaneFM::DragPointer() {
    SetPointer(Options.FezPenBlack ? kPointerBlackHand : kPointerHand);
}
