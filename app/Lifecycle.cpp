// The main window's life: what is built at start, in which order, and how it is saved
// and released at the end.
#include <exception>

#include "app/MainUnit.h"
#include "common/MySysU.h"
#include "content/CardFaces.h"
#include "content/DecodeAhead.h"

namespace {
const uint32_t kPanelColor = PackColor(118, 132, 207);
const uint32_t kTitleColor = PackColor(31, 33, 55);
constexpr uint32_t kWindowTextColor = 0;

// The text controls as designed: their places and how their text looks.
struct TControlDesign {
    TControl Id;
    int X, Y, W, H;
    bool Centred;  // centred both ways, else left-aligned and word-wrapped
    int CellHeight;
    uint32_t TextColor;
};
const TControlDesign kControls[] = {
    {TControl::LabelNo, 445, 290, 50, 12, true, 12, kWindowTextColor},
    {TControl::LabelTittle, 439, 303, 276, 24, true, 24, kTitleColor},
    {TControl::LabelCreator, 463, 378, 228, 12, true, 12, kWindowTextColor},
    {TControl::LabelKaisetu, 463, 398, 228, 121, false, 12, kWindowTextColor},
    {TControl::Memo1, 463, 82, 228, 121, false, 12, kWindowTextColor},
};

TLabelStyle StyleOf(const TControlDesign& d) {
    TLabelStyle s;
    s.Centred = d.Centred;
    s.VCentred = d.Centred;
    s.WordWrap = !d.Centred;
    s.CellHeight = d.CellHeight;
    s.Background = kPanelColor;
    s.TextColor = d.TextColor;
    return s;
}
}  // namespace

void TOrvaneFM::StyleTextControls() {
    for (const TControlDesign& d : kControls) {
        if (d.Id == TControl::Memo1)
            Os.SetMemoStyle(StyleOf(d));
        else
            Os.SetLabelStyle(d.Id, StyleOf(d));
    }
}

TOrvaneFM::TOrvaneFM(TPlatform& os, TDecodeAhead* ahead) : Os(os), Ahead(ahead) {
    // The window and its children exist from here on, as laid out at design time.
    Os.CreateMainWindow(&Events, kWindowWidth, kWindowHeight);
    for (const TControlDesign& d : kControls) {
        if (d.Id == TControl::Memo1)
            Os.CreateMemo(d.X, d.Y, d.W, d.H, kWishMaxLength, StyleOf(d));
        else
            Os.CreateLabel(d.Id, d.X, d.Y, d.W, d.H, StyleOf(d));
    }
    Os.SetLabelText(TControl::LabelNo, "CARD.000");
    Os.SetLabelVisible(TControl::LabelCreator, false);
    InitMenu();
    Os.StartTimer(10);
}

TOrvaneFM::~TOrvaneFM() = default;

const TDecodeAhead::TWanted kStartPictures[] = {
    {"JPG", "Base"}, {"BMP", "BaseMsk"}, {"JPG", "Button"},
    {"JPG", "Nami"}, {"JPG", "C999"},    {"JPG", "Quest"},
};
const size_t kStartPictureCount = sizeof kStartPictures / sizeof kStartPictures[0];

bool TOrvaneFM::FormCreate() {
    try {
        // Dates are always written "yyyy/mm/dd" whatever the locale (FormatDate), and the
        // wish box's 380-character limit and the hollow background brush are set when
        // the window and the box are created.
        Random.Seed(Os.ClockSeed());
        ProgramDir = ExtractFilePath(Os.ProgramPath());
        InitButtonTable();
        FindBrowser();
        LoadAllSounds();
        SetLightOrigin(-1, -1);
        RespawnAllSparkles();
        CenterWindow();
        LoadSettings();
        CheckAllSeen();
        // The face to show is known from here: decoded ahead too, where that is under way,
        // while the window's outline and the rest are made.
        if (Ahead) {
            TDecodeAhead::TSource face = {"JPG", {}};
            if (Os.FindResourceData("JPG", FacePicture(ShownFace(CurrentCard, Collection)),
                                    face.View))
                Ahead->Add(face);
        }
        LoadJpegResource("Base", BackBuffer);
        {
            // The outline is made from the decoded mask itself, tagged as the 24-bit
            // picture it wants, rather than from a copy of the window's size.
            TPicture mask;
            LoadBitmapCopy("BaseMsk", mask);
            mask.BitsPerPixel = 24;
            BuildWindowShape(mask, 0);
        }
        ApplyStayOnTop(Options.StayOnTop);
        LoadJpegResource("Button", ButtonSheet);
        LoadBitmapCopy("WakuTate", WakuTate);
        LoadBitmapCopy("WakuYoko", WakuYoko);
        LoadJpegResource("Nami", Nami);
        // A card text that cannot be read leaves the list empty; every card line then
        // reads as empty instead of failing the start.
        LoadTextResource("CardT", CardText);
        CardSlot[0].Release();
        CardSlot[1].Release();
        LoadCardPicture(kCardBack, 0);
        LoadFrontPicture(CurrentCard);
        IndexPage.Release();
        LoadJpegResource("Quest", Quest);
        LoadBitmapCopy("Star", StarPic);
        LightScratch.SetSize(kLightAreaSize, kLightAreaSize);
        StyleTextControls();
        SetCardPanel(CurrentCard);
        ShowCardLabels(true);
        ComposeCardArea(1, 100, false);
        DrawAllButtons();
        LoadPointers();
        NormalPointer();
        if (Options.ResumeOk) RestoreWish();
        Os.SetMemoReadOnly(false);
        // Where the system always shows focus rectangles, so does the program.
        KeyboardCues = Os.KeyboardCuesShown();
        Created = true;
        if (IndexMode)
            SetIndexMode(true, kFrameResting);
        else
            Os.SetMemoVisible(true);
        PublishAccessibles();
        return true;
    } catch (const std::exception& e) {
        Created = false;
        // The window never shows, so the browser is never looked up: no probe stays.
        DropBrowserProbe();
        Os.ShowErrorBox(kAppTitle, e.what());
        return false;
    }
}

void TOrvaneFM::FormShown() {
    if (!Created) return;
    LookUpBrowser();
}

void TOrvaneFM::FormDestroy() {
    // The platform calls this while the window and its controls still exist, so the
    // wish and the position are read from what the user sees.
    if (Destroyed) return;
    Destroyed = true;
    const bool started = Created;
    Closing = true;
    // Closed before it was ever shown: the probe is not left behind.
    DropBrowserProbe();
    try {
        // A window whose start-up failed never read the settings; writing them now
        // would replace the user's file with defaults.
        if (started) SaveSettings();
        for (TPicture* p : {&BackBuffer, &ButtonSheet, &WakuTate, &WakuYoko, &Nami, &IndexPage,
                            &Quest, &StarPic, &LightScratch, &CardSlot[0], &CardSlot[1]})
            p->Release();
        CardText.clear();
        FreeAllSounds();
        StopSound();
        // The main window itself carries the title and the taskbar button: there is no
        // application window of its own to show again.
    } catch (const std::exception& e) {
        Os.ShowErrorBox(kAppTitle, e.what());
    }
    Created = false;
}

void TOrvaneFM::FormEndSession() {
    // Sign-out, shutdown or restart: the process may end as soon as this returns, so the
    // settings are written now, exactly as at a close. Nothing else is released and
    // nothing is shown: a box would hold up the session's end, and the user is gone.
    // Should the program live on, its close writes them again, to the same effect.
    if (!Created || Destroyed) return;
    try {
        SaveSettings();
    } catch (const std::exception&) {
        // Nobody is left to read a message; the previous file is still whole.
    }
}

void TOrvaneFM::FormCloseQuery() {
    if (Closing) return;
    Closing = true;
    Os.CloseMainWindow();
}
