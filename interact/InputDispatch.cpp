// Mouse and keyboard dispatch. The window has no caption bar and no standard controls
// for its commands, so these handlers press the painted buttons, pick index cells, move
// the light origin, open the menu and drag the window. All input is refused while a
// sequence runs (AnimStep not 0) or the window is closing.
#include <algorithm>
#include <cstdint>

#include "app/MainUnit.h"
#include "common/MySysU.h"

bool TOrvaneFM::HitButton(int x, int y, int w, int h) const {
    return PointInRect(x, y, w, h, MouseDownX, MouseDownY);
}

void TOrvaneFM::EnableFortuneButton(bool paint) {
    ButtonRecord& b = Button(FortuneButton);
    if (b.State == kStateNormal) return;
    if (paint)
        DrawButton(FortuneButton, kStateNormal);
    else
        b.State = kStateNormal;
}

void TOrvaneFM::DisableFortuneButton(bool paint) {
    ButtonRecord& b = Button(FortuneButton);
    if (b.State == kStateDisabled) return;
    if (paint)
        DrawButton(FortuneButton, kStateDisabled);
    else
        b.State = kStateDisabled;
}

void TOrvaneFM::ReleaseButtons() {
    for (int i = PrevButton; i <= HeartButton; ++i) {
        if (Button(i).State != kStatePressed || i == HeartButton) continue;
        DrawButton(i, i == FortuneButton ? kStateDisabled : kStateNormal);
    }
}

void TOrvaneFM::FormMouseDown(TControl, TMouseButton button, TShiftState shift, int x, int y) {
    if (Closing || !Created) return;
    ReleaseHeldCreator();
    if (AnimStep != 0) return;
    {
        int sx = 0, sy = 0, left = 0, top = 0;
        Os.GetMousePos(sx, sy);
        Os.GetWindowPos(left, top);
        DragGrabX = int64_t{sx} - left;
        DragGrabY = int64_t{sy} - top;
    }
    MouseDownX = x;
    MouseDownY = y;

    if (button == TMouseButton::Right) {
        if (IndexMode) {
            SetIndexMode(false, kFrameResting);
            PlayCue(kCueIndexClose);
        } else {
            int sx = 0, sy = 0;
            Os.GetMousePos(sx, sy);
            OpenPopupMenu(sx, sy);
        }
        return;
    }
    if (button == TMouseButton::Middle) {
        StartDrag();
        return;
    }
    if (PressIndexCell(x, y, shift)) return;
    for (int id = CloseButton; id <= HeartButton; ++id) {
        const ButtonRecord& b = Button(id);
        if (HitButton(b.X, b.Y, b.Width, b.Height)) {
            PressButton(id);
            return;
        }
    }
    // No button: grab the light origin where sparkles are shown, else drag the window.
    if ((Options.LightShow || CurrentCard == 0) &&
        HitButton(kGrabLeft, kGrabTop, kGrabWidth, kGrabHeight)) {
        SetPointer(kPointerCrossHair);
        EraseLightArea();
        SetLightOriginFromPoint(x, y);
        RespawnAllSparkles();
        PlayCue(kCueNotice);
        AnimStep = kStepLightHeld;
        return;
    }
    StartDrag();
}

void TOrvaneFM::StartDrag() {
    DragPointer();
    PlayCue(kCueDragStart);
    AnimStep = kStepDrag;
}

bool TOrvaneFM::PressIndexCell(int x, int y, TShiftState shift) {
    // The index grid, widened by one pixel on each side; the lower row starts past the
    // upper half.
    if (!IndexMode || !HitButton(kGridLeft - 1, kGridTop, kGridWidth + 2, kGridHeight))
        return false;
    const int n = (x - (kGridLeft - 1)) / kCellPitchX +
                  (y > kGridTop + kGridHeight / 2 ? kGridColumns : 0) +
                  kCellsPerPage * LoadedIndexPage;
    if (n > MaxCard || n < 0) return true;
    SetCurrentCard(n);
    if (shift.Ctrl) {
        if (shift.Shift)
            MarkSeen(n, true);
        else if (shift.Alt)
            MarkUnseen(n, true);
    }
    DrawIndex(kFrameBusy, true);
    ReadingMade = true;
    StartCardTurn(kCuePick);
    return true;
}

void TOrvaneFM::PressButton(int id) {
    // The fortune button in its disabled look still closes an open index.
    if (id == FortuneButton && !AcceptsPress(id, Button(id).State)) {
        if (IndexMode) {
            SetIndexMode(false, kFrameResting);
            DrawButton(FortuneButton, kStateNormal);
            PlayCue(kCueIndexClose);
        }
        return;
    }
    // A press on a button that does not accept it is consumed: no drag either.
    if (!AcceptsPress(id, Button(id).State)) return;
    switch (id) {
        case CloseButton:
            Closing = true;
            Os.CloseMainWindow();
            return;
        case MinimiseButton:
            Os.MinimiseApplication();
            return;
        case PrevButton:
        case NextButton: {
            const bool forward = id == NextButton;
            DrawButton(id, kStatePressed);
            if (IndexMode) {
                DrawIndex(kFrameNone, true);
                SetCurrentCard(StepIndexPage(CurrentCard, forward));
                ReadingMade = true;
                StartCardTurn(kCuePage);
            } else {
                DrawButton(forward ? PrevButton : NextButton, kStatePressed);
                SetIndexMode(true, kFrameBusy);
                AnimStep = kStepIndexOpened;
                PlayCue(kCueIndexOpen);
            }
            return;
        }
        case FortuneButton:
            FortuneDraw();
            return;
        case RandomButton:
            RandomDraw();
            return;
        case CreatorButton:
            DrawButton(CreatorButton, kStatePressed);
            ShowCreatorComment(CurrentCard);
            AnimStep = kStepCreatorHeld;
            return;
        case HomepageButton:
            DrawButton(HomepageButton, kStatePressed);
            AnimStep = kStepLink;
            PlayCue(kCueDone);
            return;
        case HeartButton:
            DrawButton(HeartButton, kStatePressed);
            if (IndexMode) DrawIndex(kFrameBusy, true);
            ShowAlternate = !ShowAlternate;
            KeepCardTexts = true;
            StartCardTurn(kCueFortune);
            return;
    }
}

void TOrvaneFM::FormMouseMove(TControl, TShiftState, int x, int y) {
    if (Closing) return;
    if (AnimStep == kStepDrag || AnimStep == kStepLightHeld) {
        // The window follows the pointer in screen pixels (the event's own position is in
        // the program's pixels, coarser on a scaled display), worked out in 64 bits: a
        // window far away must not wrap.
        (void)x;
        (void)y;
        int sx = 0, sy = 0;
        Os.GetMousePos(sx, sy);
        auto clamp = [](int64_t v) {
            return static_cast<int>(std::max<int64_t>(INT32_MIN, std::min<int64_t>(INT32_MAX, v)));
        };
        Os.SetWindowPos(clamp(sx - DragGrabX), clamp(sy - DragGrabY));
    }
}

void TOrvaneFM::FormMouseUp(TControl, TMouseButton, TShiftState, int, int) {
    if (Closing) return;
    if (AnimStep == 0) return;
    if (AnimStep == kStepDrag || AnimStep == kStepLightHeld) {
        PlayCue(kCueDone);
    } else if (AnimStep == kStepCreatorHeld) {
        DrawButton(CreatorButton, kStateNormal);
        HideCreatorComment(CurrentCard);
    }
    if (AnimStep < kStepHeldEnd) {
        NormalPointer();
        AnimStep = kStepIdle;
    }
}

void TOrvaneFM::SendLeftClick(TControl sender, int x, int y, TShiftState shift) {
    FormMouseDown(sender, TMouseButton::Left, shift, x, y);
    FormMouseUp(sender, TMouseButton::Left, shift, x, y);
}

void TOrvaneFM::SendRightClick(TControl sender, int x, int y, TShiftState shift) {
    FormMouseDown(sender, TMouseButton::Right, shift, x, y);
    FormMouseUp(sender, TMouseButton::Right, shift, x, y);
}

void TOrvaneFM::FormKeyDown(TControl sender, int& key, TShiftState shift) {
    if (Closing || !Created) return;
    ReleaseHeldCreator();
    if (AnimStep != 0) return;
    if (IndexMode) {
        if (!shift.Shift && !shift.Ctrl && !shift.Alt) SendRightClick(sender, 20, 20, shift);
        return;
    }
    if (KeyboardFocusKey(key, shift)) return;
    if (key == kKeyEnter) {
        const ButtonRecord& b = Button(FortuneButton);
        SendLeftClick(sender, b.X, b.Y, shift);
    } else if (key == kKeyEscape) {
        Os.SetMemoText("");
        PlayCue(kCueClear);
    }
}

void TOrvaneFM::Memo1Change() {
    if (!Os.MemoReadOnly() && !Closing && Created) EnableFortuneButton(true);
}

void TOrvaneFM::Memo1MouseDown(TMouseButton button, TShiftState, int, int) {
    if (Closing || !Created) return;
    // The press gave the wish box the keyboard focus.
    FocusButton(kNoButtonFocus);
    if (button == TMouseButton::Right) PlayCue(kCueNotice);
}
