// The right-click options menu: its items, which are enabled when it opens, and what
// each does. Every option has a setter that keeps its field and check mark together.
#include <utility>

#include "app/MainUnit.h"
#include "common/MySysU.h"
#include "common/SjisTexts.h"

namespace {
TMenuEntry& Item(TMenuEntry* menu, TMenuItem item) {
    return menu[static_cast<int>(item)];
}
}  // namespace

void TOrvaneFM::InitMenu() {
    static const struct {
        TMenuItem Item;
        const char* Caption;
        bool SeparatorBefore;
    } kItems[] = {
        {TMenuItem::PopCenter, sjis::kMenuPopCenter, false},
        {TMenuItem::MStayOnTop, sjis::kMenuStayOnTop, false},
        {TMenuItem::MuteOnChange, sjis::kMenuMuteOn, false},
        {TMenuItem::FezPenBlackChange, sjis::kMenuFezPenBlack, true},
        {TMenuItem::FezPenDownChange, sjis::kMenuFezPenDown, false},
        {TMenuItem::LightShowChange, sjis::kMenuLightShow, false},
        {TMenuItem::LightPointChange, sjis::kMenuLightPoint, false},
        {TMenuItem::CardUndo, sjis::kMenuCardUndo, true},
        {TMenuItem::PopSaigen, sjis::kMenuPopSaigen, false},
        {TMenuItem::NextResume, sjis::kMenuNextResume, false},
        {TMenuItem::WallMakeClick, sjis::kMenuWallMake, true},
    };
    for (const auto& k : kItems) {
        TMenuEntry& e = Item(Menu, k.Item);
        e.Caption = k.Caption;
        e.SeparatorBefore = k.SeparatorBefore;
        e.Enabled = true;
        e.Checked = false;
    }
    Item(Menu, TMenuItem::LightShowChange).Checked = Options.LightShow;
}

void TOrvaneFM::SetResumeOk(bool value) {
    Options.ResumeOk = value;
    Item(Menu, TMenuItem::NextResume).Checked = value;
}

void TOrvaneFM::SetMuteOn(bool value) {
    Options.MuteOn = value;
    Item(Menu, TMenuItem::MuteOnChange).Checked = value;
}

void TOrvaneFM::SetFezPenBlack(bool value) {
    Options.FezPenBlack = value;
    Item(Menu, TMenuItem::FezPenBlackChange).Checked = value;
}

void TOrvaneFM::SetFezPenDown(bool value) {
    Options.FezPenDown = value;
    Item(Menu, TMenuItem::FezPenDownChange).Checked = value;
}

void TOrvaneFM::SetLightShow(bool value) {
    Options.LightShow = value;
    Item(Menu, TMenuItem::LightShowChange).Checked = value;
}

void TOrvaneFM::ApplyStayOnTop(bool value) {
    Options.StayOnTop = value;
    const bool topmost = Os.IsTopmost();
    if (value && !topmost) {
        Os.SetTopmost(true);
        Item(Menu, TMenuItem::MStayOnTop).Checked = true;
    } else if (!value && topmost) {
        Os.SetTopmost(false);
        Item(Menu, TMenuItem::MStayOnTop).Checked = false;
    }
    // Changing the topmost state may re-create the native window without its shape, and
    // the window owns the region it is given: hand it a fresh copy every time.
    if (WindowShape) Os.SetWindowRegion(WindowShape->CopyHandle());
}

void TOrvaneFM::CenteredPosition(int& x, int& y) {
    int screenW = 0, screenH = 0;
    Os.GetScreenSize(screenW, screenH);
    // The window as large as it shows on the screen; the 6 pixels above the centre grow
    // with it.
    int w = kWindowWidth, h = kWindowHeight;
    Os.GetWindowSize(w, h);
    x = (screenW - w) / 2;
    y = (screenH - h) / 2 - 6 * h / kWindowHeight;
}

void TOrvaneFM::CenterWindow() {
    int x = 0, y = 0;
    CenteredPosition(x, y);
    Os.SetWindowPos(x, y);
}

void TOrvaneFM::RestoreWish() {
    Os.SetMemoText(SavedWish);
    Os.SetMemoCaret(SjisLength(SavedWish));
}

void TOrvaneFM::OpenPopupMenu(int screenX, int screenY) {
    PopupMenu1Popup();
    const int chosen = Os.TrackPopupMenu(screenX, screenY, Menu, kMenuItemCount);
    if (chosen < 0 || chosen >= kMenuItemCount || !Menu[chosen].Enabled) return;
    MenuItemClick(static_cast<TMenuItem>(chosen));
}

void TOrvaneFM::PopupMenu1Popup() {
    PlayCue(kCueNotice);
    int left = 0, top = 0, cx = 0, cy = 0;
    Os.GetWindowPos(left, top);
    CenteredPosition(cx, cy);
    Item(Menu, TMenuItem::PopCenter).Enabled = !(left == cx && top == cy);
    // Sparkles are visible at all only with Options.LightShow on or before any card is drawn.
    Item(Menu, TMenuItem::LightPointChange).Enabled =
        StarX != -1 && StarY != -1 && (Options.LightShow || CurrentCard == 0);
    Item(Menu, TMenuItem::CardUndo).Enabled = PreviousCard != 0 && PreviousCard != CurrentCard;
    Item(Menu, TMenuItem::PopSaigen).Enabled =
        SavedCard != 0 && (CurrentCard != SavedCard || Os.MemoText() != SavedWish);
    Item(Menu, TMenuItem::WallMakeClick).Enabled = Collection.AllCardsSeen;
}

void TOrvaneFM::MenuItemClick(TMenuItem item) {
    switch (item) {
        case TMenuItem::PopCenter:
            PopCenterClick();
            break;
        case TMenuItem::MStayOnTop:
            MStayOnTopClick();
            break;
        case TMenuItem::MuteOnChange:
            MuteOnChangeClick();
            break;
        case TMenuItem::FezPenBlackChange:
            FezPenBlackChangeClick();
            break;
        case TMenuItem::FezPenDownChange:
            FezPenDownChangeClick();
            break;
        case TMenuItem::LightShowChange:
            LightShowChangeClick();
            break;
        case TMenuItem::LightPointChange:
            LightPointChangeClick();
            break;
        case TMenuItem::CardUndo:
            CardUndoClick();
            break;
        case TMenuItem::PopSaigen:
            PopSaigenClick();
            break;
        case TMenuItem::NextResume:
            NextResumeClick();
            break;
        case TMenuItem::WallMakeClick:
            WallMakeClickClick();
            break;
        case TMenuItem::Count:
            break;
    }
}

void TOrvaneFM::PopCenterClick() {
    CenterWindow();
    PlayCue(kCueDone);
}

void TOrvaneFM::MStayOnTopClick() {
    const int caret = Os.MemoCaret();
    ApplyStayOnTop(!Options.StayOnTop);
    Os.SetMemoCaret(caret);
    PlayCue(kCueDone);
}

void TOrvaneFM::MuteOnChangeClick() {
    SetMuteOn(!Options.MuteOn);
    PlayCue(kCueDone);
}

void TOrvaneFM::FezPenBlackChangeClick() {
    SetFezPenBlack(!Options.FezPenBlack);
    NormalPointer();
    PlayCue(kCueDone);
}

void TOrvaneFM::FezPenDownChangeClick() {
    SetFezPenDown(!Options.FezPenDown);
    NormalPointer();
    PlayCue(kCueDone);
}

void TOrvaneFM::LightShowChangeClick() {
    SetLightShow(!Options.LightShow);
    PlayCue(kCueDone);
}

void TOrvaneFM::LightPointChangeClick() {
    EraseLightArea();
    SetLightOrigin(-1, -1);
    RespawnAllSparkles();
    PlayCue(kCueDone);
}

void TOrvaneFM::CardUndoClick() {
    // A plain exchange, so a second undo returns to the first card.
    std::swap(CurrentCard, PreviousCard);
    StartCardTurn(kCuePick);
}

void TOrvaneFM::PopSaigenClick() {
    SetCurrentCard(SavedCard);
    // A restored reading left unchanged is not written back as a new one.
    ReadingMade = false;
    AnimStep = kStepReplay;
    if (IndexMode != SavedIndexMode) SetIndexMode(SavedIndexMode, kFrameBusy);
    Os.SetMemoReadOnly(true);
    RestoreWish();
    PlayCue(kCueFortune);
}

void TOrvaneFM::NextResumeClick() {
    SetResumeOk(!Options.ResumeOk);
    PlayCue(kCueDone);
}

void TOrvaneFM::WallMakeClickClick() {
    FormPaint();
    PlayCue(kCueDone);
    MakeWallpaper();
}
