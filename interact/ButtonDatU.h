#pragma once

// The painted buttons and captions: their places on the window, their sprites on the
// button sheet and their current states. Numbered -4 to 6; the number is the button's
// identity everywhere in the program.

struct ButtonRecord {
    int X;
    int Y;
    int Width;
    int Height;
    int SheetX;  // sprite of state s at (SheetX + s * Width, SheetY)
    int SheetY;
    int State;
};

enum ButtonId {
    WishCaption = -4,
    ExplanationCaption = -3,
    CloseButton = -2,
    MinimiseButton = -1,
    PrevButton = 0,
    NextButton = 1,
    FortuneButton = 2,
    RandomButton = 3,
    CreatorButton = 4,
    HomepageButton = 5,
    HeartButton = 6,
};

constexpr int kFirstButton = -4;
constexpr int kLastButton = 6;

// Button states (the column of the sprite shown).
constexpr int kStateDisabled = 0;  // for the two captions: caption shown
constexpr int kStateNormal = 1;    // for the heart: the alternate picture is shown
constexpr int kStatePressed = 2;
constexpr int kStateHeartOffer = 3;  // the heart: an alternate picture is available

constexpr int kButtonCount = kLastButton - kFirstButton + 1;

// The painted buttons by number, kFirstButton to kLastButton: part of the main window's
// state, filled by its start-up from the design.
struct TButtonTable {
    ButtonRecord Records[kButtonCount] = {};
    ButtonRecord& operator[](int id) { return Records[id - kFirstButton]; }
    const ButtonRecord& operator[](int id) const { return Records[id - kFirstButton]; }
};

// The buttons as designed: places, sprites and first states.
TButtonTable DesignedButtons();

// Whether a press on button `id` in `state` runs its action.
bool AcceptsPress(int id, int state);
