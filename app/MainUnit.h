#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/RegionU.h"
#include "app/WindowEvents.h"
#include "common/Dates.h"
#include "common/Picture.h"
#include "common/Random.h"
#include "interact/ButtonDatU.h"
#include "platform/Platform.h"

// The main window and everything it owns. Its member functions live in the folder of
// the subsystem they belong to, one source file per concern:
//   app/       Lifecycle, Settings, OptionsMenu, WindowShape, WebLinks
//   content/   Resources, CardCatalog, CardPanel, SoundCues, Wallpaper
//   render/    BackBuffer, ComposeCardArea, Sequencer, LightEffects
//   interact/  InputDispatch, Fortune, CardIndex, Pointers

constexpr int kWindowWidth = 737;
constexpr int kWindowHeight = 584;
constexpr int MaxCard = 49;
constexpr int kCardBack = 999;
constexpr int kSoundSlots = 29;

// The sound cues: the slots of the sound table, one sound per kind of action. The
// interface cues are A01 to A11; a creator's own sound is kCueCreator + its code.
enum TCue : int {
    kCueOpening = 1,     // the first timer event after start
    kCueFortune = 2,     // a reading from the wish, the heart, the last reading replayed
    kCueRandom = 3,      // a card drawn at random
    kCuePick = 4,        // a thumbnail picked, the previous card brought back
    kCueIndexOpen = 5,   // a page button opens the card index
    kCueIndexClose = 6,  // the card index closes
    kCueClear = 7,       // Escape empties the wish box
    kCuePage = 8,        // a page button turns the open index
    kCueDragStart = 9,   // a window drag begins
    kCueDone = 10,       // a drag ends, the link button, a menu command
    kCueNotice = 11,     // the menu opens, a right press in the wish box, the light grabbed
    kCueCreator = 12,    // B00: the creator with code 00
};
constexpr int kSparkles = 16;
constexpr int kLightAreaSize = 87;
constexpr int FrameInterval = 55;
constexpr int LastIndexPage = MaxCard / 10;
constexpr const char* kAppTitle = "Sablewick";
constexpr const char* kIniName = "Orvane.ini";
constexpr int kWishMaxLength = 380;  // characters in the wish box

// The pointer shapes, numbered as the cursor resources cr1 to cr8.
enum TPointerShape : int {
    kPointerCrossHair = 1,  // the light origin held
    kPointerPen = 2,        // the white quill, tip at the top left
    kPointerBlackPen = 3,
    kPointerPenDown = 4,  // the white quill pointing down
    kPointerBlackPenDown = 5,
    kPointerHand = 6,  // a window drag
    kPointerBlackHand = 7,
    kPointerHourglass = 8,  // the wallpaper being made
};
constexpr int kPointerShapes = 8;

// The accessible objects' ids (TAccessible::Id): a painted button's is kAccButtonIds plus
// its number, an index cell's kAccCellIds plus its card's, the reading's its own.
constexpr int kAccButtonIds = 100;
constexpr int kAccCellIds = 200;
constexpr int kAccReadingId = 300;
int AccessibleIdOfButton(int button);
int AccessibleIdOfCell(int card);
// No painted button has the keyboard focus (the wish box may).
constexpr int kNoButtonFocus = -100;

// The sequencer's states (AnimStep): 0 is idle; a mouse button held (below
// kStepHeldEnd); a run of steps after opening the index or before opening a link; the
// card turn, whose four phases start at kStepTurn, kStepBackIn, kStepBackOut and
// kStepFaceIn. Any state but idle refuses new input.
enum TStep : int {
    kStepIdle = 0,
    kStepDrag = 1,         // the window follows the pointer
    kStepLightHeld = 2,    // the light origin follows the pointer
    kStepCreatorHeld = 3,  // the creator's words show while the button is held
    kStepHeldEnd = 100,
    kStepIndexOpened = 500,  // 500 to 507: sparkles, then the index's current cell
    kStepLink = 550,         // 550 to 557: sparkles, then the creator's page opens
    kStepReplay = 999,       // the last reading of the previous run, shown again
    kStepTurn = 1000,        // the shown face narrows away
    kStepBackIn = 2000,      // the card back widens in; the new face is loaded at its end
    kStepBackHold = 2006,    // the back stays fully shown for one more step
    kStepBackOut = 3000,     // the back narrows away
    kStepFaceIn = 4000,      // the new face widens in
};

// The picture area: the backdrop, the frame and the card, redrawn whole at each step of
// a turn. The light origin is grabbed on the card's own rectangle, one pixel up and left.
constexpr int kAreaLeft = 32;
constexpr int kAreaTop = 44;
constexpr int kAreaWidth = 348;
constexpr int kAreaHeight = 508;
constexpr int kGrabLeft = 35;
constexpr int kGrabTop = 47;
constexpr int kGrabWidth = 340;
constexpr int kGrabHeight = 500;

// The card index's grid, in place of the wish box: two rows of five thumbnails of
// 46 x 68, one every 48 pixels across and 74 down.
constexpr int kGridLeft = 458;
constexpr int kGridTop = 63;
constexpr int kGridWidth = 238;
constexpr int kGridHeight = 142;
constexpr int kGridColumns = 5;
constexpr int kCellsPerPage = 10;
constexpr int kCellPitchX = 48;
constexpr int kCellPitchY = 74;
constexpr int kThumbWidth = 46;
constexpr int kThumbHeight = 68;

// The looks of the frame around the current cell of the card index.
enum TFrameLook : int {
    kFrameNone = -1,    // no frame: the current card is about to change
    kFrameResting = 0,  // nothing under way
    kFrameBusy = 1,     // a card turn or the index's opening is under way
};

// Fields of a card record, the line offsets within its seven lines.
enum CardField {
    FieldHeader = 0,
    FieldTitle = 1,
    FieldExplanation = 2,
    FieldCreator = 3,
    FieldLink = 4,
    FieldComment = 5,
    FieldAlternateComment = 6,
};

struct CardSlotGeometry {
    int W = 0;
    int H = 0;
    int HalfWidth = 0;
    int X = 206;
    int Y = 298;
};

struct Sparkle {
    double Angle = 0;
    int Radius = 0;
    int Age = 0;
    int CrossSteps = 0;
    int Lifetime = 0;
};

// The options of the menu; each has a setter that keeps it and its check mark together.
struct TOptions {
    bool StayOnTop = false;
    bool MuteOn = false;
    bool FezPenBlack = false;
    bool FezPenDown = false;
    bool LightShow = true;
    bool ResumeOk = false;
};

// The collection: which of the cards 1 to 49 have been seen, and whether all have.
struct TCollection {
    bool SeenCards[MaxCard + 1] = {};
    bool AllCardsSeen = false;
};

// The main window's state as one value: what the script driver prints and what the
// tests read, so that neither reaches into the window's members.
struct TFormState {
    bool Created = false;    // the start ran to its end
    bool Destroyed = false;  // the window is gone; its settings were saved if the start finished
    bool Closing = false;
    int AnimStep = 0;  // a TStep, or a step within one of its runs
    int CurrentCard = 0;
    int PreviousCard = 0;
    int Fate = 0;
    int SavedCard = 0;  // the card the settings file held at start
    std::string SavedWish;
    bool ReadingMade = false;  // a reading was made this run: the wish is saved at close
    TCollection Collection;
    std::string SeenCards;  // the collection as the settings file stores it
    TOptions Options;
    TDate OldDate;
    TDate MemDate;
    bool IndexMode = false;
    int LoadedIndexPage = -1;
    bool ShowAlternate = false;
    bool KeepCardTexts = false;
    int StarX = -1;  // the light origin
    int StarY = -1;
    TButtonTable Buttons;
    TMenuEntry Menu[kMenuItemCount];
    Sparkle Sparkles[kSparkles];
    long StarsStamped = 0;  // stars stamped by the last wallpaper
    std::string ProgramDir;
    std::string BrowserPath;

    const TMenuEntry& MenuEntry(TMenuItem item) const { return Menu[static_cast<int>(item)]; }
};

class TDecodeAhead;

// The window's front door is short: it is built (with the window and its controls), its
// start is run, and its state is read as one value. Everything else arrives as the
// window's events, through the guard that calls the handlers; tests that need more go
// through tests/support/FormAccess.h.
class TOrvaneFM {
public:
    // `ahead`, when given, holds pictures of the start decoded on another thread; the
    // loaders take them from it (content/DecodeAhead.h).
    explicit TOrvaneFM(TPlatform& os, TDecodeAhead* ahead = nullptr);
    ~TOrvaneFM();
    TOrvaneFM(const TOrvaneFM&) = delete;
    TOrvaneFM& operator=(const TOrvaneFM&) = delete;

    // The events the window's backend delivers, guarded; they reach the handlers below.
    TWindowEventsGuard Events{*this};
    // Builds everything, as the entry point does once the window exists; false when a
    // step failed (the error was shown).
    bool FormCreate();
    // The window is on the screen: what its first frame did not need is done now.
    void FormShown();
    // The state as one value (app/FormState.cpp).
    TFormState State() const;
    // A field of a card's record in the card text, "" when there is none
    // (content/CardCatalog.cpp).
    std::string CardLine(int card, int field) const;

private:
    friend class TWindowEventsGuard;
    // The tests' one way in (tests/support/FormAccess.h).
    friend struct TFormAccess;

    TPlatform& Os;
    TDecodeAhead* const Ahead;
    TRandom Random;

    // ---- Lifecycle (app/Lifecycle.cpp)
    // The labels' and the wish box's fonts and colours, as designed.
    void StyleTextControls();
    void FormDestroy();
    void FormEndSession();
    void FormPaint();
    void FormCloseQuery();

    // ---- Settings (app/Settings.cpp)
    void LoadSettings();
    void SaveSettings();
    std::string SettingsPath() const;

    // ---- Options menu (app/OptionsMenu.cpp)
    void InitMenu();
    void SetResumeOk(bool value);
    void SetMuteOn(bool value);
    void SetFezPenBlack(bool value);
    void SetFezPenDown(bool value);
    void SetLightShow(bool value);
    void ApplyStayOnTop(bool value);
    void CenteredPosition(int& x, int& y);
    void CenterWindow();
    // Moves the window to a saved position, or into the nearest monitor's work area
    // when too little of it would show there (app/WindowPlacement.cpp).
    void PlaceWindow(int left, int top);
    void RestoreWish();
    void OpenPopupMenu(int screenX, int screenY);
    void PopupMenu1Popup();
    void MenuItemClick(TMenuItem item);
    void PopCenterClick();
    void MStayOnTopClick();
    void MuteOnChangeClick();
    void FezPenBlackChangeClick();
    void FezPenDownChangeClick();
    void LightShowChangeClick();
    void LightPointChangeClick();
    void CardUndoClick();
    void PopSaigenClick();
    void NextResumeClick();
    void WallMakeClickClick();

    // ---- Window shape (app/WindowShape.cpp)
    std::unique_ptr<TRegion> WindowShape;
    void BuildWindowShape(const TPicture& mask, uint32_t transparent);

    // ---- Creator web links (app/WebLinks.cpp)
    void FindBrowser();
    void LookUpBrowser();
    void DropBrowserProbe();
    void OpenLink(const std::string& address);
    void OpenLinkByShell(const std::string& address);
    void OpenLinkInBrowser(const std::string& address);

    // ---- Resources (content/Resources.cpp)
    bool LoadJpegResource(const std::string& name, TPicture& picture);
    bool LoadBitmapResource(const std::string& name, TPicture& picture);
    bool LoadBitmapCopy(const std::string& name, TPicture& picture);
    bool LoadTextResource(const std::string& name, std::vector<std::string>& lines);
    void LoadSoundResource(const std::string& name, int slot);
    void LoadAllSounds();
    void FreeAllSounds();
    TResourceView SoundTable[kSoundSlots + 1];  // slots 1..29

    // ---- Card panel (content/CardPanel.cpp)
    TPicture CardSlot[2];
    CardSlotGeometry CardGeom[2];
    void SetCardPanel(int card);
    void ShowCardLabels(bool visible);
    void ShowCreatorComment(int card);
    void HideCreatorComment(int card);
    void LoadCardPicture(int card, int slot);
    void LoadFrontPicture(int card);
    void UpdateHeartButton();

    // ---- Sound cues (content/SoundCues.cpp)
    void PlayCue(int n);  // a TCue, or kCueCreator + a creator code
    void StopSound();

    // ---- Wallpaper (content/Wallpaper.cpp)
    int WallOffsetR = 0;
    int WallOffsetG = 0;
    int WallOffsetB = 0;
    void MakeWallpaper();
    void StampStar(int x, int y, int shape, int amount);
    void LightenPixel(int x, int y, int amount);
    void CopyFrameStrip(int a, int b, int width, int height);

    // ---- Back buffer and composition (render/BackBuffer.cpp, render/ComposeCardArea.cpp)
    TPicture BackBuffer;
    TPicture ButtonSheet;
    TPicture WakuTate;
    TPicture WakuYoko;
    TPicture Nami;
    void FlushRect(int x, int y, int w, int h);
    void BlitToBuffer(const TPicture& src, int sx, int sy, int w, int h, int dx, int dy,
                      bool flush);
    void DrawButton(int index, int state);
    void DrawAllButtons();
    void ComposeCardArea(int slot, int percent, bool flush);
    // Nothing is kept per slot: every frame of a turn scales the slot's picture straight
    // into the back buffer. A frame comes every 55 ms and one scaling takes well under
    // one, so keeping the scaled widths of both slots (over 3 MB) would buy nothing the
    // user sees.

    // ---- Sequencer (render/Sequencer.cpp)
    // Starts the card turn to CurrentCard: input is refused and the wish box read-only
    // until it ends; `cue` confirms what started it.
    void StartCardTurn(int cue);
    void TurnMidpoint();    // the new face and its words, while the back shows
    void FinishCardTurn();  // buttons, labels and the wish box back, sparkles anew
    void Timer1Timer();
    void PaceAnimation();
    void AdvanceAnimation();

    // ---- Light effects (render/LightEffects.cpp)
    Sparkle Sparkles[kSparkles];
    TPicture StarPic;
    TPicture LightScratch;
    void RespawnSparkle(int index);
    void RespawnAllSparkles();
    void StepLightEffect();
    void EraseLightArea();
    void SetLightOrigin(int x, int y);
    void SetLightOriginFromPoint(int px, int py);

    // ---- Input (interact/InputDispatch.cpp)
    void FormMouseDown(TControl sender, TMouseButton button, TShiftState shift, int x, int y);
    void FormMouseMove(TControl sender, TShiftState shift, int x, int y);
    // The steps of a left press: a cell of the open index, a button, or a drag.
    bool PressIndexCell(int x, int y, TShiftState shift);
    void PressButton(int id);
    void StartDrag();
    void FormMouseUp(TControl sender, TMouseButton button, TShiftState shift, int x, int y);
    void FormKeyDown(TControl sender, int& key, TShiftState shift);
    void FormKeyUp(TControl sender, int& key, TShiftState shift);
    void Memo1Change();
    void Memo1MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    void SendLeftClick(TControl sender, int x, int y, TShiftState shift);
    void SendRightClick(TControl sender, int x, int y, TShiftState shift);
    bool HitButton(int x, int y, int w, int h) const;
    void EnableFortuneButton(bool paint);
    void DisableFortuneButton(bool paint);
    void ReleaseButtons();

    // ---- Accessibility and the keyboard's focus (interact/Accessibility.cpp)
    // What is published: every painted button shown, the open index's cells, the reading.
    std::vector<TAccessible> AccessibleObjects() const;
    // Tells the backend when the objects changed; run after every event.
    void PublishAccessibles();
    std::vector<TAccessible> Published;
    bool ButtonAvailable(int id) const;
    std::string ReadingOf(int card) const;
    std::string ShownReading;  // what the labels show, as one text
    void FocusButton(int id);  // kNoButtonFocus: none
    void MoveFocus(bool forward);
    // Tab and Space on a focused button; true when the key was the focus's.
    bool KeyboardFocusKey(int& key, TShiftState shift);
    void ReleaseHeldCreator();
    void AccessibleAction(int id);
    void AccessibleFocus(int id);
    int FocusedButton = kNoButtonFocus;
    bool KeyboardCues = false;  // the focus ring shows: the keyboard has been used
    bool SpacePressed = false;  // a focused button is held down by Space
    bool CreatorHeldByAction = false;

    // ---- Fortune and seen cards (interact/Fortune.cpp)
    int WishToCard(const std::string& wish) const;
    void SetCurrentCard(int n);
    void MarkSeen(int n, bool all);
    void MarkUnseen(int n, bool all);
    void CheckAllSeen();
    std::string EncodeSeenCards() const;
    void DecodeSeenCards(const std::string& text);
    void UpdateFate();
    void FortuneDraw();
    void RandomDraw();

    // ---- Card index (interact/CardIndex.cpp)
    TPicture IndexPage;
    TPicture Quest;
    void SetIndexMode(bool on, int look);  // look: a TFrameLook
    void DrawIndex(int look, bool flush);

    // ---- Pointers (interact/Pointers.cpp)
    void LoadPointers();
    void SetPointer(int n);  // a TPointerShape
    void NormalPointer();
    void DragPointer();

    // What the window holds; read from outside through State().
    std::string ProgramDir;  // with its trailing separator
    bool Created = false;    // FormCreate ran to its end
    bool Destroyed = false;  // FormDestroy ran
    bool Closing = false;

    // The settings file's values at start, and whether this run made a reading.
    int SavedCard = 0;
    bool SavedIndexMode = false;
    int SavedStarX = 0;
    int SavedStarY = 0;
    std::string SavedWish;
    bool ReadingMade = false;

    TOptions Options;
    TMenuEntry Menu[kMenuItemCount];
    std::string BrowserPath;
    // The probe the shell is asked about once the window is shown, and whether the
    // program wrote it (then it is deleted after the lookup) or found it there.
    std::string BrowserProbe;
    bool BrowserProbeWritten = false;
    bool BrowserLookupDue = false;
    std::vector<std::string> CardText;  // seven lines per card

    // The card, the collection and the personal number.
    int CurrentCard = 0;
    int PreviousCard = 0;
    int Fate = 0;
    TDate OldDate;
    TDate MemDate;
    TCollection Collection;

    // The sequencer.
    int AnimStep = kStepIdle;  // a TStep, or a step within one of its runs
    uint32_t LastStepTick = 0;
    bool StartupSoundPlayed = false;
    bool ShowAlternate = false;  // the alternate pictures and comments are shown
    bool KeepCardTexts = false;  // a turn that keeps the labels (the heart button)

    // The card index.
    bool IndexMode = false;
    int LoadedIndexPage = -1;

    // The light origin.
    int StarX = -1;
    int StarY = -1;

    // The buttons and the pointer's press and drag.
    TButtonTable Buttons;
    ButtonRecord& Button(int id) { return Buttons[id]; }
    void InitButtonTable() { Buttons = DesignedButtons(); }
    int MouseDownX = 0;  // the press HitButton tests against
    int MouseDownY = 0;
    // Where the pointer held the window when the press came, from the window's corner in
    // screen pixels: a drag keeps that point under the pointer, at any display scale.
    int64_t DragGrabX = 0;
    int64_t DragGrabY = 0;

    // Where the wallpaper's picture lies on the screen.
    int WallOffX = 0;
    int WallOffY = 0;
    long StarsStamped = 0;  // stars stamped by the last wallpaper
};

// Pure rules, testable without a window.
int WishToCardBytes(const std::string& wishBytes, int fate);
extern const int WishDigitTable[100];
int StepIndexPage(int card, bool forward);
int CodeToInt(const std::string& text);
bool HasAlternateMarker(const std::string& header);
std::string EncodeSeenText(const bool seen[MaxCard + 1]);
void DecodeSeenText(const std::string& text, bool seen[MaxCard + 1]);
int BrightenChannel(int c, int amount, int offset);
// Fate renewal: returns true when a new Fate must be drawn. `draw12` is asked for the
// random integer 0..11 only when the rule needs one.
template <typename Draw>
bool FateNeedsRenewal(long daysSinceOld, bool closedToday, Draw draw12) {
    if (daysSinceOld >= 31) return true;
    if (daysSinceOld < 12) return false;
    if (draw12() != 0) return false;
    return !closedToday;
}

// The program's start: the single-instance rule, then the window's life.
int RunProgram(TPlatform& os, TDecodeAhead* ahead = nullptr);
