// The pretend user: presses, moves, releases, keys and typing, delivered as Windows
// delivers them.
#include <algorithm>
#include <cstdint>

#include "common/MySysU.h"
#include "platform/headless/HeadlessPlatform.h"

void THeadlessPlatform::PointerAt(int x, int y) {
    // Worked out in 64 bits: the window may have been put anywhere an int reaches.
    auto screen = [](int64_t v) {
        return static_cast<int>(std::max<int64_t>(INT32_MIN, std::min<int64_t>(INT32_MAX, v)));
    };
    MouseX = screen(int64_t{Left} + x);
    MouseY = screen(int64_t{Top} + y);
}

void THeadlessPlatform::RelativeTo(TControl control, int& x, int& y) {
    if (control == TControl::Form || control == TControl::Memo1) return;
    x -= Labels[control].X;
    y -= Labels[control].Y;
}

void THeadlessPlatform::PressMouse(TMouseButton button, int x, int y, TShiftState shift) {
    PointerAt(x, y);
    // Outside the window's shape the press reaches the window below, not the program.
    if (!WindowCreated || !InShape(x, y)) return;
    auto hit = [&](const TLabel& l) {
        return l.Exists && l.Visible && PointInRect(l.X, l.Y, l.W, l.H, x, y);
    };
    TControl target = TControl::Form;
    if (hit(Memo)) {
        target = TControl::Memo1;
    } else {
        for (const auto& kv : Labels)
            if (hit(kv.second)) target = kv.first;
    }
    Captured = true;
    Capture = target;
    if (target == TControl::Memo1) {
        // The box takes the focus and puts the caret where it was pressed (its end).
        MemoFocused = true;
        WindowFocused = false;
        MemoCaretPos = SjisLength(Memo.Text);
        Dispatch([&] { Events->Memo1MouseDown(button, shift, x - Memo.X, y - Memo.Y); });
        return;
    }
    int rx = x, ry = y;
    RelativeTo(target, rx, ry);
    Dispatch([&] { Events->FormMouseDown(target, button, shift, rx, ry); });
}

void THeadlessPlatform::ReleaseMouse(TMouseButton button, int x, int y, TShiftState shift) {
    PointerAt(x, y);
    if (!WindowCreated) return;
    // A release belongs to the press: one that pressed nothing of the program's
    // (outside its shape) is not the program's either.
    if (!Captured) return;
    Captured = false;
    const TControl target = Capture;
    if (target == TControl::Memo1) return;  // the wish box keeps its releases
    int rx = x, ry = y;
    RelativeTo(target, rx, ry);
    Dispatch([&] { Events->FormMouseUp(target, button, shift, rx, ry); });
}

void THeadlessPlatform::MoveMouse(int x, int y, TShiftState shift) {
    PointerAt(x, y);
    if (!WindowCreated) return;
    TControl target = TControl::Form;
    if (Captured) {
        target = Capture;
    } else {
        for (const auto& kv : Labels)
            if (kv.second.Exists && kv.second.Visible &&
                PointInRect(kv.second.X, kv.second.Y, kv.second.W, kv.second.H, x, y))
                target = kv.first;
    }
    if (target == TControl::Memo1) return;  // the wish box keeps its moves
    int rx = x, ry = y;
    RelativeTo(target, rx, ry);
    Dispatch([&] { Events->FormMouseMove(target, shift, rx, ry); });
}

void THeadlessPlatform::PressKey(int code, TShiftState shift) {
    if (!WindowCreated) return;
    const TControl sender = MemoFocused ? TControl::Memo1 : TControl::Form;
    int key = code;
    Dispatch([&] { Events->FormKeyDown(sender, key, shift); });
    // Then the focused wish box gets the key: editing keys only (text arrives typed);
    // Enter inserts no line break.
    if (key == 0 || !WindowCreated || !MemoFocused || MemoIsReadOnly || !Memo.Visible) return;
    std::string& text = Memo.Text;
    const int length = SjisLength(text);
    auto offset = [&](int chars) { return SjisByteOffset(text, chars); };
    if (key == kKeyBackspace && MemoCaretPos > 0) {
        const size_t from = offset(MemoCaretPos - 1), to = offset(MemoCaretPos);
        text.erase(from, to - from);
        --MemoCaretPos;
        Dispatch([&] { Events->Memo1Change(); });
    } else if (key == kKeyDelete && MemoCaretPos < length) {
        const size_t from = offset(MemoCaretPos), to = offset(MemoCaretPos + 1);
        text.erase(from, to - from);
        Dispatch([&] { Events->Memo1Change(); });
    } else if (key == kKeyLeft && MemoCaretPos > 0) {
        --MemoCaretPos;
    } else if (key == kKeyRight && MemoCaretPos < length) {
        ++MemoCaretPos;
    }
}

void THeadlessPlatform::ReleaseKey(int code, TShiftState shift) {
    if (!WindowCreated) return;
    const TControl sender = MemoFocused ? TControl::Memo1 : TControl::Form;
    int key = code;
    Dispatch([&] { Events->FormKeyUp(sender, key, shift); });
}

void THeadlessPlatform::HitKey(int code, TShiftState shift) {
    PressKey(code, shift);
    ReleaseKey(code, shift);
}

void THeadlessPlatform::ActOnAccessible(int id) {
    if (!WindowCreated || !Accessible(id)) return;
    Dispatch([&] { Events->AccessibleAction(id); });
}

void THeadlessPlatform::FocusAccessible(int id) {
    if (!WindowCreated || !Accessible(id)) return;
    Dispatch([&] { Events->AccessibleFocus(id); });
}

bool THeadlessPlatform::TypeText(const std::string& sjis) {
    bool accepted = false;
    if (!WindowCreated) return false;
    Dispatch([&] { accepted = PasteIntoMemo(sjis); });
    return accepted;
}
