#include "interact/ButtonDatU.h"

TButtonTable DesignedButtons() {
    static const ButtonRecord kInitial[] = {
        {552, 60, 51, 19, 310, 113, 0},   // WishCaption
        {559, 374, 36, 19, 310, 132, 0},  // ExplanationCaption
        {703, 1, 33, 33, 118, 0, 1},      // CloseButton
        {674, 11, 23, 23, 118, 33, 1},    // MinimiseButton
        {535, 2, 39, 37, 0, 0, 1},        // PrevButton
        {580, 2, 39, 37, 0, 37, 1},       // NextButton
        {471, 233, 103, 39, 0, 74, 0},    // FortuneButton
        {580, 233, 103, 39, 0, 113, 1},   // RandomButton
        {457, 549, 150, 35, 0, 152, 1},   // CreatorButton
        {613, 549, 106, 35, 0, 187, 1},   // HomepageButton
        {686, 232, 47, 40, 218, 0, 0},    // HeartButton
    };
    TButtonTable table;
    for (int i = 0; i < kButtonCount; ++i) table.Records[i] = kInitial[i];
    return table;
}

bool AcceptsPress(int id, int state) {
    switch (id) {
        case CloseButton:
        case MinimiseButton:
            return true;
        case HeartButton:
            return state == kStateNormal || state == kStateHeartOffer;
        case WishCaption:
        case ExplanationCaption:
            return false;
        default:
            return state == kStateNormal;
    }
}
