// The card index: ten thumbnails a page in place of the wish box, unseen cards covered,
// the current card framed.
#include <algorithm>

#include "app/MainUnit.h"
#include "common/MySysU.h"

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
    return std::min(cell + 10 * page, MaxCard);
}

void TOrvaneFM::SetIndexMode(bool on, int look) {
    if (on) {
        IndexMode = true;
        DrawButton(WishCaption, kStateNormal);  // its index look
        Os.SetMemoVisible(false);
        DrawIndex(look, true);
        DisableFortuneButton(true);
    } else {
        IndexMode = false;
        // A plain patch of panel below the explanation covers the grid in two copies.
        const int half = kGridHeight / 2;
        BlitToBuffer(BackBuffer, kGridLeft, 410, kGridWidth, half, kGridLeft, kGridTop + half,
                     true);
        BlitToBuffer(BackBuffer, kGridLeft, 410, kGridWidth, half, kGridLeft, kGridTop, true);
        DrawButton(WishCaption, kStateDisabled);  // the wish caption
        Os.SetMemoVisible(true);
        FocusButton(kNoButtonFocus);
        Os.FocusMemo();
    }
}

void TOrvaneFM::DrawIndex(int look, bool flush) {
    const int page = CurrentCard / kCellsPerPage;
    const int column = CurrentCard % kGridColumns;
    const int row = CurrentCard % kCellsPerPage / kGridColumns;
    if (LoadedIndexPage != page) {
        LoadedIndexPage = page;
        IndexPage.Release();
        LoadJpegResource("Index" + ZeroPad(page, 2), IndexPage);
    }
    BlitToBuffer(IndexPage, 0, 0, kGridWidth, kGridHeight, kGridLeft, kGridTop, false);
    for (int i = 0; i < kCellsPerPage; ++i) {
        const int n = kCellsPerPage * page + i;
        if (n >= 1 && n <= MaxCard && !Collection.SeenCards[n])
            BlitToBuffer(Quest, 0, 0, kThumbWidth, kThumbHeight,
                         kGridLeft + kCellPitchX * (i % kGridColumns),
                         kGridTop + kCellPitchY * (i / kGridColumns), false);
    }
    if (look >= 0) {
        const int fx = kGridLeft + kCellPitchX * column, fy = kGridTop + kCellPitchY * row;
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
