// The four labels and the wish box: what they hold, as the Windows controls hold it.
#include <algorithm>

#include "common/MySysU.h"
#include "platform/headless/HeadlessPlatform.h"

void THeadlessPlatform::Place(TLabel& control, int x, int y, int w, int h,
                              const TLabelStyle& style) {
    control.X = x;
    control.Y = y;
    control.W = w;
    control.H = h;
    control.Style = style;
    control.Exists = true;
}

void THeadlessPlatform::CreateLabel(TControl id, int x, int y, int w, int h,
                                    const TLabelStyle& style) {
    Place(Labels[id], x, y, w, h, style);
}

// A label that does not exist (never created, or destroyed with the window) takes
// nothing, as a window handle that names no window.
void THeadlessPlatform::SetLabelStyle(TControl id, const TLabelStyle& style) {
    if (Labels[id].Exists) Labels[id].Style = style;
}

void THeadlessPlatform::SetLabelText(TControl id, const std::string& text) {
    if (Labels[id].Exists) Labels[id].Text = text;
}

void THeadlessPlatform::SetLabelVisible(TControl id, bool visible) {
    if (Labels[id].Exists) Labels[id].Visible = visible;
}

void THeadlessPlatform::CreateMemo(int x, int y, int w, int h, int maxLength,
                                   const TLabelStyle& style) {
    Place(Memo, x, y, w, h, style);
    Memo.Visible = false;
    MemoIsReadOnly = true;
    MemoMaxLength = maxLength;
}

void THeadlessPlatform::SetMemoText(const std::string& text) {
    // Setting the text the box already holds is no change: nothing is reported.
    if (!Memo.Exists || Memo.Text == text) return;
    Memo.Text = text;
    // Setting the text puts the caret at the start, as an edit control does.
    MemoCaretPos = 0;
    Dispatch([&] { Events->Memo1Change(); });
}

void THeadlessPlatform::SetMemoVisible(bool visible) {
    if (!Memo.Exists) return;
    Memo.Visible = visible;
    if (!visible) MemoFocused = false;
}

void THeadlessPlatform::SetMemoCaret(int pos) {
    if (!Memo.Exists) return;
    MemoCaretPos = std::max(0, std::min(pos, SjisLength(Memo.Text)));
}

bool THeadlessPlatform::PasteIntoMemo(const std::string& text) {
    if (!Memo.Exists || MemoIsReadOnly || !Memo.Visible) return false;
    // Only as much as fits within the box's character limit is inserted.
    const int room = MemoMaxLength - SjisLength(Memo.Text);
    if (room <= 0) return true;
    const std::string insert = text.substr(0, SjisByteOffset(text, room));
    const size_t at = SjisByteOffset(Memo.Text, MemoCaretPos);
    Memo.Text.insert(at, insert);
    MemoCaretPos += SjisLength(insert);
    if (Events && !insert.empty()) Events->Memo1Change();
    return true;
}

void THeadlessPlatform::FocusMemo() {
    MemoFocused = Memo.Exists && Memo.Visible;
    if (MemoFocused) WindowFocused = false;
}

void THeadlessPlatform::FocusWindow() {
    if (!WindowCreated) return;
    MemoFocused = false;
    WindowFocused = true;
}
