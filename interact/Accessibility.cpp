// What a screen reader and the keyboard find of the painted window: the buttons, the
// index's cells and the reading, published to the backend as plain objects; the focus
// among the buttons, moved by Tab and pressed by Space; and a screen reader's action,
// which goes down the same road as a click.
#include <algorithm>

#include "app/MainUnit.h"
#include "common/MySysU.h"
#include "common/SjisTexts.h"

namespace {
// The order Tab takes from the wish box: the commands beside it, the card's own buttons,
// the page triangles, then the window's.
const int kTabOrder[] = {FortuneButton, RandomButton, HeartButton,    CreatorButton, HomepageButton,
                         PrevButton,    NextButton,   MinimiseButton, CloseButton};

const char* ButtonName(int id) {
    switch (id) {
        case CloseButton:
            return sjis::kAccClose;
        case MinimiseButton:
            return sjis::kAccMinimise;
        case PrevButton:
            return sjis::kAccPrev;
        case NextButton:
            return sjis::kAccNext;
        case FortuneButton:
            return sjis::kAccFortune;
        case RandomButton:
            return sjis::kAccRandom;
        case CreatorButton:
            return sjis::kAccCreator;
        case HomepageButton:
            return sjis::kAccHomepage;
        case HeartButton:
            return sjis::kAccHeart;
    }
    return "";
}

// The labels' area, where the reading is shown.
constexpr int kReadingLeft = 439, kReadingTop = 290, kReadingWidth = 276, kReadingHeight = 229;
}  // namespace

int AccessibleIdOfButton(int button) {
    return kAccButtonIds + button;
}
int AccessibleIdOfCell(int card) {
    return kAccCellIds + card;
}

bool TOrvaneFM::ButtonAvailable(int id) const {
    const int state = Buttons[id].State;
    // In the index the fortune button's disabled look still closes the index.
    if (id == FortuneButton && IndexMode) return true;
    // The heart in its blank look is not shown as a button at all.
    return AcceptsPress(id, state);
}

std::vector<TAccessible> TOrvaneFM::AccessibleObjects() const {
    std::vector<TAccessible> objects;
    for (int id : kTabOrder) {
        const ButtonRecord& b = Buttons[id];
        if (id == HeartButton && b.State == kStateDisabled) continue;
        TAccessible a;
        a.Id = AccessibleIdOfButton(id);
        a.Role = TAccessRole::PushButton;
        a.Name = ButtonName(id);
        a.X = b.X;
        a.Y = b.Y;
        a.W = b.Width;
        a.H = b.Height;
        a.Unavailable = !ButtonAvailable(id);
        a.Pressed = b.State == kStatePressed;
        a.Focusable = !a.Unavailable;
        a.Focused = id == FocusedButton;
        objects.push_back(a);
    }
    if (IndexMode && LoadedIndexPage >= 0) {
        for (int cell = 0; cell < kCellsPerPage; ++cell) {
            const int n = kCellsPerPage * LoadedIndexPage + cell;
            if (n > MaxCard) break;
            TAccessible a;
            a.Id = AccessibleIdOfCell(n);
            a.Role = TAccessRole::ListItem;
            const bool seen = n == 0 || Collection.SeenCards[n];
            a.Name = "CARD." + ZeroPad(n, 3) + " " +
                     (seen ? CardLine(n, FieldTitle) : std::string(sjis::kAccUnseenCell));
            a.X = kGridLeft + kCellPitchX * (cell % kGridColumns);
            a.Y = kGridTop + kCellPitchY * (cell / kGridColumns);
            a.W = kThumbWidth;
            a.H = kThumbHeight;
            a.Selected = n == CurrentCard;
            objects.push_back(a);
        }
    }
    TAccessible reading;
    reading.Id = kAccReadingId;
    reading.Role = TAccessRole::Reading;
    reading.Name = ShownReading;
    reading.X = kReadingLeft;
    reading.Y = kReadingTop;
    reading.W = kReadingWidth;
    reading.H = kReadingHeight;
    objects.push_back(reading);
    return objects;
}

void TOrvaneFM::PublishAccessibles() {
    if (!Created || Destroyed) return;
    std::vector<TAccessible> objects = AccessibleObjects();
    if (objects == Published) return;
    Published = std::move(objects);
    Os.PublishAccessibles(Published);
}

std::string TOrvaneFM::ReadingOf(int card) const {
    // As the labels show it: the number, then the title and the reading (an unseen card's
    // placeholders included), one text so that it is read out as one.
    std::string title = CardLine(card, FieldTitle), text = CardLine(card, FieldExplanation);
    if (card >= 1 && card <= MaxCard && !Collection.SeenCards[card]) {
        title = sjis::kUnseenTitle;
        text = sjis::kUnseenMessage;
    }
    std::string reading = std::string(sjis::kAccReading) + " CARD." + ZeroPad(card, 3);
    for (const std::string* part : {&title, &text})
        if (!part->empty()) reading += " " + *part;
    return reading;
}

void TOrvaneFM::FocusButton(int id) {
    const int old = FocusedButton;
    FocusedButton = id;
    if (old != kNoButtonFocus && old != id) DrawButton(old, Button(old).State);
    if (id != kNoButtonFocus) {
        Os.FocusWindow();
        DrawButton(id, Button(id).State);
    }
}

void TOrvaneFM::MoveFocus(bool forward) {
    const int count = static_cast<int>(sizeof kTabOrder / sizeof kTabOrder[0]);
    // Positions 0 .. count-1 are the buttons; count is the wish box.
    int at = count;
    for (int i = 0; i < count; ++i)
        if (kTabOrder[i] == FocusedButton) at = i;
    for (int step = 0; step < count + 1; ++step) {
        at = forward ? (at + 1) % (count + 1) : (at + count) % (count + 1);
        if (at == count) {
            FocusButton(kNoButtonFocus);
            Os.FocusMemo();
            return;
        }
        if (ButtonAvailable(kTabOrder[at])) {
            FocusButton(kTabOrder[at]);
            return;
        }
    }
}

void TOrvaneFM::ReleaseHeldCreator() {
    // A screen reader's press of the creator button holds it until the next action.
    if (!CreatorHeldByAction) return;
    CreatorHeldByAction = false;
    if (AnimStep == kStepCreatorHeld) FormMouseUp(TControl::Form, TMouseButton::Left, {}, 0, 0);
}

void TOrvaneFM::AccessibleAction(int id) {
    if (Closing || !Created) return;
    ReleaseHeldCreator();
    const int button = id - kAccButtonIds;
    if (button >= CloseButton && button <= HeartButton) {
        const ButtonRecord& b = Button(button);
        if (button == CreatorButton) {
            // The press alone: the creator's words stay until the next action, since a
            // screen reader has no "hold".
            FormMouseDown(TControl::Form, TMouseButton::Left, {}, b.X, b.Y);
            CreatorHeldByAction = AnimStep == kStepCreatorHeld;
            return;
        }
        SendLeftClick(TControl::Form, b.X, b.Y, {});
        return;
    }
    const int card = id - kAccCellIds;
    if (card >= 0 && card <= MaxCard && IndexMode && card / kCellsPerPage == LoadedIndexPage) {
        const int cell = card % kCellsPerPage;
        // Inside the thumbnail, as a press there would be.
        SendLeftClick(TControl::Form, kGridLeft + kCellPitchX * (cell % kGridColumns) + 4,
                      kGridTop + kCellPitchY * (cell / kGridColumns) + 4, {});
    }
}

void TOrvaneFM::AccessibleFocus(int id) {
    if (Closing || !Created) return;
    const int button = id - kAccButtonIds;
    if (button >= CloseButton && button <= HeartButton && ButtonAvailable(button))
        FocusButton(button);
}

bool TOrvaneFM::KeyboardFocusKey(int& key, TShiftState shift) {
    if (key == kKeyTab && !shift.Ctrl && !shift.Alt) {
        KeyboardCues = true;
        MoveFocus(!shift.Shift);
        key = 0;
        return true;
    }
    if (key == kKeySpace && FocusedButton != kNoButtonFocus) {
        // Down now, up with the key's release: the creator's words show while it is held.
        KeyboardCues = true;
        const ButtonRecord& b = Button(FocusedButton);
        SpacePressed = true;
        FormMouseDown(TControl::Form, TMouseButton::Left, shift, b.X, b.Y);
        key = 0;
        return true;
    }
    return false;
}

void TOrvaneFM::FormKeyUp(TControl sender, int& key, TShiftState shift) {
    if (Closing || !Created) return;
    if (key == kKeySpace && SpacePressed) {
        SpacePressed = false;
        FormMouseUp(sender, TMouseButton::Left, shift, 0, 0);
        key = 0;
    }
}
