// The main window's life: what is built at start, in which order, and how it is saved
// and released at the end.
#include <exception>

#include "app/MainUnit.h"
#include "common/MySysU.h"

namespace {
const uint32_t kPanelColor = PackColor(118, 132, 207);
const uint32_t kTitleColor = PackColor(31, 33, 55);
constexpr uint32_t kWindowTextColor = 0;

TLabelStyle LabelStyle(bool centred, bool wrap, int cellHeight, uint32_t textColor) {
    TLabelStyle s;
    s.Centred = centred;
    s.VCentred = centred;
    s.WordWrap = wrap;
    s.CellHeight = cellHeight;
    s.Background = kPanelColor;
    s.TextColor = textColor;
    return s;
}
}  // namespace

TOrvaneFM::TOrvaneFM(TPlatform& os) : Os(os) {
    // The window and its children exist from here on, as laid out at design time.
    Os.CreateMainWindow(&Events, kWindowWidth, kWindowHeight);
    Os.CreateLabel(TControl::LabelNo, 445, 290, 50, 12, LabelStyle(true, false, 12, kWindowTextColor));
    Os.CreateLabel(TControl::LabelTittle, 439, 303, 276, 24, LabelStyle(true, false, 24, kTitleColor));
    Os.CreateLabel(TControl::LabelCreator, 463, 378, 228, 12, LabelStyle(true, false, 12, kWindowTextColor));
    Os.CreateLabel(TControl::LabelKaisetu, 463, 398, 228, 121, LabelStyle(false, true, 12, kWindowTextColor));
    Os.SetLabelText(TControl::LabelNo, "CARD.000");
    Os.SetLabelVisible(TControl::LabelCreator, false);
    Os.CreateMemo(463, 82, 228, 121, 380, LabelStyle(false, true, 12, kWindowTextColor));
    InitMenu();
    Os.StartTimer(10);
}

TOrvaneFM::~TOrvaneFM() = default;

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
        LoadJpegResource("Base", BackBuffer);
        {
            TPicture mask;
            LoadBitmapCopy("BaseMsk", mask);
            BuildWindowShape(mask, 0);
        }
        ApplyStayOnTop(StayOnTop);
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
        Os.SetLabelStyle(TControl::LabelNo, LabelStyle(true, false, 12, kWindowTextColor));
        Os.SetLabelStyle(TControl::LabelTittle, LabelStyle(true, false, 24, kTitleColor));
        Os.SetLabelStyle(TControl::LabelCreator, LabelStyle(true, false, 12, kWindowTextColor));
        Os.SetLabelStyle(TControl::LabelKaisetu, LabelStyle(false, true, 12, kWindowTextColor));
        Os.SetMemoStyle(LabelStyle(false, true, 12, kWindowTextColor));
        SetCardPanel(CurrentCard);
        ShowCardLabels(true);
        ComposeCardArea(1, 100, false);
        DrawAllButtons();
        LoadPointers();
        NormalPointer();
        if (ResumeOk) RestoreWish();
        Os.SetMemoReadOnly(false);
        Created = true;
        if (IndexMode)
            SetIndexMode(true, kFrameResting);
        else
            Os.SetMemoVisible(true);
        return true;
    } catch (const std::exception& e) {
        Created = false;
        Os.ShowErrorBox(kAppTitle, e.what());
        return false;
    }
}

void TOrvaneFM::FormDestroy() {
    // The platform calls this while the window and its controls still exist, so the
    // wish and the position are read from what the user sees.
    if (Destroyed) return;
    Destroyed = true;
    const bool started = Created;
    Closing = true;
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
