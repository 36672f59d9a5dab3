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

void TOrvaneFM::AdvanceAnimation() {
    const int step = AnimStep;
    if (step >= 0 && step <= 3) {
        StepLightEffect();
        return;
    }
    if (step >= 500 && step <= 506) {
        StepLightEffect();
        ++AnimStep;
        return;
    }
    if (step == 507) {
        StepLightEffect();
        DrawIndex(0, true);
        AnimStep = 0;
        ReleaseButtons();
        return;
    }
    if (step >= 550 && step <= 556) {
        StepLightEffect();
        ++AnimStep;
        return;
    }
    if (step == 557) {
        // The browser must not open behind a window that stays on top.
        if (StayOnTop) Os.MinimiseApplication();
        StepLightEffect();
        OpenLink(CardLine(CurrentCard, FieldLink).substr(0, 255));
        AnimStep = 0;
        ReleaseButtons();
        return;
    }
    switch (step) {
        case 999:
            ShowAlternate = false;
            EraseLightArea();
            SetLightOrigin(SavedStarX, SavedStarY);
            ComposeCardArea(1, 90, true);
            AnimStep = 1001;
            return;
        case 1000:
            if (!KeepCardTexts) ShowAlternate = false;
            EraseLightArea();
            ComposeCardArea(1, 90, true);
            break;
        case 1001: ComposeCardArea(1, 78, true); break;
        case 1002: ComposeCardArea(1, 60, true); break;
        case 1003:
            ComposeCardArea(1, 35, true);
            AnimStep = 2000;
            return;
        case 2000: ComposeCardArea(0, 0, true); break;
        case 2001: ComposeCardArea(0, 35, true); break;
        case 2002: ComposeCardArea(0, 60, true); break;
        case 2003: ComposeCardArea(0, 78, true); break;
        case 2004: ComposeCardArea(0, 90, true); break;
        case 2005:
            ComposeCardArea(0, 100, true);
            // The new face is loaded while the back is fully shown, so the old face is
            // never seen widening again.
            LoadFrontPicture(CurrentCard);
            if (!KeepCardTexts) {
                ShowCardLabels(false);
                SetCardPanel(CurrentCard);
            }
            if (IndexMode) DrawIndex(1, true);
            CheckAllSeen();
            break;
        case 2006:
            // The card back stays fully shown for one more step.
            AnimStep = 3000;
            return;
        case 3000: ComposeCardArea(0, 90, true); break;
        case 3001: ComposeCardArea(0, 78, true); break;
        case 3002: ComposeCardArea(0, 60, true); break;
        case 3003:
            ComposeCardArea(0, 35, true);
            AnimStep = 4000;
            return;
        case 4000: ComposeCardArea(1, 0, true); break;
        case 4001: ComposeCardArea(1, 35, true); break;
        case 4002: ComposeCardArea(1, 60, true); break;
        case 4003: ComposeCardArea(1, 78, true); break;
        case 4004: ComposeCardArea(1, 90, true); break;
        case 4005:
            ComposeCardArea(1, 100, true);
            AnimStep = 0;
            if (IndexMode) DrawIndex(0, true);
            ReleaseButtons();
            UpdateHeartButton();
            KeepCardTexts = false;
            ShowCardLabels(true);
            Os.SetMemoReadOnly(false);
            RespawnAllSparkles();
            return;
        default:
            // No other value is ever set; an unknown one ends in idle rather than
            // freezing input for good.
            AnimStep = 0;
            return;
    }
    ++AnimStep;
}
