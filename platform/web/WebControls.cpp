// The labels and the wish box: real page elements over the canvas, placed in program
// pixels (the window's scale enlarges them with it) and drawn by the browser at the
// device's own resolution.
#include <emscripten.h>

#include "platform/web/WebBytes.h"
#include "platform/web/WebPlatform.h"

namespace {
// The element of a control: 1 to 4 the labels, 5 the wish box.
EM_JS(void, sw_style_control,
      (int id, int placed, int x, int y, int w, int h, int centred, int vcentred, int wrap,
       int cell, int bg, int fg),
      {
          const node = id == 5 ? SW.memo() : SW.label(id);
          SW.style(
              node, placed ? x : null, y, w, h,
              {centred : centred, vcentred : vcentred, wrap : wrap, cell : cell, bg : bg, fg : fg});
      });

EM_JS(void, sw_set_visible, (int id, int visible), {
    const node = id == 5 ? SW.memo() : SW.label(id);
    node.hidden = !visible;
});

EM_JS(void, sw_set_label_text, (int id, const char* text, int size),
      { SW.setLabelText(id, HEAPU8.subarray(text, text + size)); });

EM_JS(char*, sw_memo_text, (int* size), {
    const bytes = SW.encode(SW.memoValue());
    const block = _malloc(Math.max(1, bytes.length));
    HEAPU8.set(bytes, block);
    HEAP32[size >> 2] = bytes.length;
    return block;
});

EM_JS(void, sw_set_memo_text, (const char* text, int size),
      { SW.setMemoValue(SW.decode(HEAPU8.subarray(text, text + size))); });

EM_JS(void, sw_memo_setup, (int maxLength), {
    const m = SW.memo();
    m.maxLength = maxLength;
});

// Characters are UTF-16 units in the page as in a Windows edit control.
EM_JS(int, sw_memo_flag, (int which, int value), { return SW.memoFlag(which, value); });

int ControlIndex(TControl id) {
    return static_cast<int>(id);
}

void Style(int index, const int* place, const TLabelStyle& s) {
    sw_style_control(index, place != nullptr, place ? place[0] : 0, place ? place[1] : 0,
                     place ? place[2] : 0, place ? place[3] : 0, s.Centred, s.VCentred, s.WordWrap,
                     s.CellHeight, static_cast<int>(s.Background), static_cast<int>(s.TextColor));
}
}  // namespace

void TWebPlatform::CreateLabel(TControl id, int x, int y, int w, int h, const TLabelStyle& style) {
    if (id == TControl::Form || id == TControl::Memo1) return;
    FPlaces[id] = {x, y, w, h};
    const int place[4] = {x, y, w, h};
    Style(ControlIndex(id), place, style);
    sw_set_visible(ControlIndex(id), 1);
}

void TWebPlatform::SetLabelStyle(TControl id, const TLabelStyle& style) {
    if (!FPlaces.count(id) || id == TControl::Memo1) return;
    Style(ControlIndex(id), nullptr, style);
}

void TWebPlatform::SetLabelText(TControl id, const std::string& text) {
    if (!FPlaces.count(id) || id == TControl::Memo1) return;
    sw_set_label_text(ControlIndex(id), text.data(), static_cast<int>(text.size()));
}

void TWebPlatform::SetLabelVisible(TControl id, bool visible) {
    if (!FPlaces.count(id) || id == TControl::Memo1) return;
    sw_set_visible(ControlIndex(id), visible);
}

void TWebPlatform::CreateMemo(int x, int y, int w, int h, int maxLength, const TLabelStyle& style) {
    FPlaces[TControl::Memo1] = {x, y, w, h};
    const int place[4] = {x, y, w, h};
    Style(5, place, style);
    sw_memo_setup(maxLength);
    // Read-only and hidden until the program shows it.
    sw_memo_flag(0, 1);
    sw_set_visible(5, 0);
}

void TWebPlatform::SetMemoStyle(const TLabelStyle& style) {
    if (FPlaces.count(TControl::Memo1)) Style(5, nullptr, style);
}

std::string TWebPlatform::MemoText() {
    if (!FPlaces.count(TControl::Memo1)) return std::string();
    int size = 0;
    char* block = sw_memo_text(&size);
    return TakePageBytes(block, size);
}

void TWebPlatform::SetMemoText(const std::string& text) {
    if (!FPlaces.count(TControl::Memo1)) return;
    const std::string before = MemoText();
    sw_set_memo_text(text.data(), static_cast<int>(text.size()));
    // A change is reported only when the text the box shows is another one.
    if (MemoText() != before) Dispatch([this] { FEvents->Memo1Change(); });
}

bool TWebPlatform::MemoReadOnly() {
    return FPlaces.count(TControl::Memo1) && sw_memo_flag(0, -1) != 0;
}

void TWebPlatform::SetMemoReadOnly(bool readOnly) {
    if (FPlaces.count(TControl::Memo1)) sw_memo_flag(0, readOnly ? 1 : 0);
}

void TWebPlatform::SetMemoVisible(bool visible) {
    if (FPlaces.count(TControl::Memo1)) sw_set_visible(5, visible);
}

void TWebPlatform::FocusMemo() {
    if (FPlaces.count(TControl::Memo1)) EM_ASM(SW.focusMemo());
}

void TWebPlatform::FocusWindow() {
    EM_ASM(SW.focusWindow());
}

int TWebPlatform::MemoCaret() {
    return FPlaces.count(TControl::Memo1) ? sw_memo_flag(1, -1) : 0;
}

void TWebPlatform::SetMemoCaret(int pos) {
    if (FPlaces.count(TControl::Memo1)) sw_memo_flag(1, pos < 0 ? 0 : pos);
}
