// The card index: ten thumbnails a page in place of the wish box, unseen cards covered,
// the current card framed.
#include "app/MainUnit.h"
#include "common/MySysU.h"

namespace {
constexpr int kGridLeft = 458;
constexpr int kGridTop = 63;
constexpr int kGridWidth = 238;
constexpr int kGridHeight = 142;
}  // namespace

int StepIndexPage(int card, bool forward) {
    int page = card / 10;
    const int cell = card % 10;
    if (forward) {
        ++page;
        if (page > LastIndexPage) page = 0;
    } else {
        --page;
        if (page < 0) page = LastIndexPage;
    }
    return LowerTo(cell + 10 * page, MaxCard);
}

void TOrvaneFM::SetIndexMode(bool on, int look) {
    if (on) {
        IndexMode = true;
        DrawButton(WishCaption, 1);
        Os.SetMemoVisible(false);
        DrawIndex(look, true);
        DisableFortuneButton(true);
    } else {
        IndexMode = false;
        // A plain patch of panel below the explanation covers the grid in two copies.
        BlitToBuffer(BackBuffer, 458, 410, 238, 71, 458, 134, true);
        BlitToBuffer(BackBuffer, 458, 410, 238, 71, 458, 63, true);
        DrawButton(WishCaption, 0);
        Os.SetMemoVisible(true);
        Os.FocusMemo();
    }
}

void TOrvaneFM::DrawIndex(int look, bool flush) {
    const int page = CurrentCard / 10;
    const int column = CurrentCard % 5;
    const int row = CurrentCard % 10 > 4 ? 1 : 0;
    if (LoadedIndexPage != page) {
        LoadedIndexPage = page;
        IndexPage.Release();
        LoadJpegResource("Index" + ZeroPad(page, 2), IndexPage);
    }
    BlitToBuffer(IndexPage, 0, 0, kGridWidth, kGridHeight, kGridLeft, kGridTop, false);
    for (int i = 0; i < 10; ++i) {
        const int n = 10 * page + i;
        if (n >= 1 && n <= MaxCard && !SeenCards[n])
            BlitToBuffer(Quest, 0, 0, 46, 68, kGridLeft + 48 * (i % 5), kGridTop + 74 * (i / 5),
                         false);
    }
    if (look >= 0) {
        const int fx = kGridLeft + 48 * column, fy = kGridTop + 74 * row;
        const int s = 16 * look;
        BlitToBuffer(ButtonSheet, 118 + s, 58, 3, 11, fx, fy, false);
        BlitToBuffer(ButtonSheet, 118 + s, 58, 3, 11, fx + 43, fy, false);
        BlitToBuffer(ButtonSheet, 118 + s, 58, 3, 11, fx, fy + 57, false);
        BlitToBuffer(ButtonSheet, 118 + s, 58, 3, 11, fx + 43, fy + 57, false);
        BlitToBuffer(ButtonSheet, 124 + s, 58, 9, 3, fx + 2, fy, false);
        BlitToBuffer(ButtonSheet, 124 + s, 58, 9, 3, fx + 2, fy + 65, false);
        BlitToBuffer(ButtonSheet, 122 + s, 58, 9, 3, fx + 35, fy, false);
        BlitToBuffer(ButtonSheet, 122 + s, 58, 9, 3, fx + 35, fy + 65, false);
    }
    if (flush) FlushRect(kGridLeft, kGridTop, kGridWidth, kGridHeight);
}
