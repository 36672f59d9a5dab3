// The animation clock and sequencer: one timer, one state number, one step per frame.
#include "app/MainUnit.h"

void TOrvaneFM::Timer1Timer() {
    // Nothing runs on a window whose start-up failed: its pictures were never built.
    if (!Created) return;
    PaceAnimation();
    if (!StartupSoundPlayed) {
        StartupSoundPlayed = true;
        PlayCue(kCueOpening);
    }
}

void TOrvaneFM::PaceAnimation() {
    const uint32_t now = Os.TickCount();
    // Unsigned subtraction is the difference modulo 2^32, so the pace survives the tick
    // count wrapping around. Missed time is not made up.
    if (now - LastStepTick >= static_cast<uint32_t>(FrameInterval)) {
        LastStepTick = now;
        AdvanceAnimation();
    }
}

namespace {
// The widths of a turn's frames, in percent of the whole card: a face narrows away, the
// next widens in from nothing.
constexpr int kNarrowing[] = {90, 78, 60, 35};
constexpr int kWidening[] = {0, 35, 60, 78, 90, 100};

// The turn's four phases: which card slot shows (1 the face, 0 the back), at which
// widths, and where the phase goes when its last frame is drawn.
struct TTurnPhase {
    int First;
    int Slot;
    const int* Widths;
    int Frames;
    int Then;
};
constexpr TTurnPhase kTurnPhases[] = {
    {kStepTurn, 1, kNarrowing, 4, kStepBackIn},
    {kStepBackIn, 0, kWidening, 6, kStepBackHold},
    {kStepBackOut, 0, kNarrowing, 4, kStepFaceIn},
    {kStepFaceIn, 1, kWidening, 6, kStepIdle},
};

// Steps that only keep the sparkles going until the run's last step.
bool InRun(int step, int first) {
    return step >= first && step < first + 7;
}
}  // namespace

void TOrvaneFM::StartCardTurn(int cue) {
    AnimStep = kStepTurn;
    Os.SetMemoReadOnly(true);
    PlayCue(cue);
}

void TOrvaneFM::AdvanceAnimation() {
    const int step = AnimStep;
    if (step >= kStepIdle && step < kStepHeldEnd) {
        StepLightEffect();
        return;
    }
    if (InRun(step, kStepIndexOpened) || InRun(step, kStepLink)) {
        StepLightEffect();
        ++AnimStep;
        return;
    }
    if (step == kStepIndexOpened + 7) {
        StepLightEffect();
        DrawIndex(kFrameResting, true);
        AnimStep = kStepIdle;
        ReleaseButtons();
        return;
    }
    if (step == kStepLink + 7) {
        // The browser must not open behind a window that stays on top.
        if (Options.StayOnTop) Os.MinimiseApplication();
        StepLightEffect();
        OpenLink(CardLine(CurrentCard, FieldLink).substr(0, 255));
        AnimStep = kStepIdle;
        ReleaseButtons();
        return;
    }
    if (step == kStepReplay) {
        // The last reading of the previous run, shown with its own light origin; then
        // the turn goes on as from its first frame.
        ShowAlternate = false;
        EraseLightArea();
        SetLightOrigin(SavedStarX, SavedStarY);
        ComposeCardArea(1, kNarrowing[0], true);
        AnimStep = kStepTurn + 1;
        return;
    }
    if (step == kStepBackHold) {
        // The card back stays fully shown for one more step.
        AnimStep = kStepBackOut;
        return;
    }
    for (const TTurnPhase& phase : kTurnPhases) {
        if (step < phase.First || step >= phase.First + phase.Frames) continue;
        const int frame = step - phase.First;
        if (step == kStepTurn) {
            if (!KeepCardTexts) ShowAlternate = false;
            EraseLightArea();
        }
        ComposeCardArea(phase.Slot, phase.Widths[frame], true);
        const bool last = frame == phase.Frames - 1;
        if (last && phase.First == kStepBackIn) TurnMidpoint();
        if (last && phase.First == kStepFaceIn) {
            FinishCardTurn();
            return;
        }
        AnimStep = last ? phase.Then : step + 1;
        return;
    }
    // No other value is ever set; an unknown one ends in idle rather than freezing input
    // for good.
    AnimStep = kStepIdle;
}

void TOrvaneFM::TurnMidpoint() {
    // The new face is loaded while the back is fully shown, so the old face is never
    // seen widening again.
    LoadFrontPicture(CurrentCard);
    if (!KeepCardTexts) {
        ShowCardLabels(false);
        SetCardPanel(CurrentCard);
    }
    if (IndexMode) DrawIndex(kFrameBusy, true);
    CheckAllSeen();
}

void TOrvaneFM::FinishCardTurn() {
    AnimStep = kStepIdle;
    if (IndexMode) DrawIndex(kFrameResting, true);
    ReleaseButtons();
    UpdateHeartButton();
    KeepCardTexts = false;
    ShowCardLabels(true);
    Os.SetMemoReadOnly(false);
    RespawnAllSparkles();
}
