#pragma once
#include <string>
#include <vector>

#include "app/MainUnit.h"

// The tests' one way into the window: a friend of it, used only by tests, benchmarks and
// fuzz targets. Three kinds of things pass here:
// - the few preconditions no user action makes in one step: a close under way while
//   input still arrives, an index page that no longer exists, a clock about to wrap, a
//   card text of the test's own, a window reused from one fuzz input to the next;
// - the window's pictures, which the drawing tests read and paint their own into;
// - a subsystem's step that a drawing test, a benchmark or a fuzz target runs by itself,
//   without the road of events that leads there.
// Everything else a test reads through State() and does through the program's own roads.

// The window's pictures and the card slots' geometry, by reference.
struct TFormPictures {
    TPicture& BackBuffer;
    TPicture& ButtonSheet;
    TPicture& WakuTate;
    TPicture& WakuYoko;
    TPicture& Nami;
    TPicture (&CardSlot)[2];
    CardSlotGeometry (&CardGeom)[2];
    TPicture& IndexPage;
    TPicture& Quest;
    TPicture& StarPic;
};

struct TFormAccess {
    // ---- Preconditions
    static bool& Closing(TOrvaneFM& f) { return f.Closing; }
    static int& AnimStep(TOrvaneFM& f) { return f.AnimStep; }
    static int& LoadedIndexPage(TOrvaneFM& f) { return f.LoadedIndexPage; }
    static uint32_t& LastStepTick(TOrvaneFM& f) { return f.LastStepTick; }
    static std::vector<std::string>& CardText(TOrvaneFM& f) { return f.CardText; }
    static std::string& ProgramDir(TOrvaneFM& f) { return f.ProgramDir; }
    static bool& ReadingMade(TOrvaneFM& f) { return f.ReadingMade; }
    static bool& ShowAlternate(TOrvaneFM& f) { return f.ShowAlternate; }
    static TRandom& Random(TOrvaneFM& f) { return f.Random; }
    static Sparkle (&Sparkles(TOrvaneFM& f))[kSparkles] { return f.Sparkles; }
    // Every card seen at once (the collection complete), as a full settings file gives.
    static void SeeAll(TOrvaneFM& f) {
        f.MarkSeen(0, true);
        f.CheckAllSeen();
    }

    // Back to the state of a window just built, before its start read the settings: a
    // fuzz target reuses one window, and no input may see what the one before it left.
    static void Restart(TOrvaneFM& f) {
        f.Options = TOptions{};
        f.SavedCard = 0;
        f.SavedIndexMode = false;
        f.SavedStarX = f.SavedStarY = 0;
        f.SavedWish.clear();
        f.ReadingMade = false;
        f.CurrentCard = f.PreviousCard = f.Fate = 0;
        f.OldDate = f.MemDate = TDate{};
        f.Collection = TCollection{};
        f.ShowAlternate = f.KeepCardTexts = false;
        f.IndexMode = false;
        f.LoadedIndexPage = -1;
        f.StarX = f.StarY = -1;
    }

    // ---- Pictures
    static TFormPictures Pictures(TOrvaneFM& f) {
        return {f.BackBuffer, f.ButtonSheet, f.WakuTate,  f.WakuYoko, f.Nami,
                f.CardSlot,   f.CardGeom,    f.IndexPage, f.Quest,    f.StarPic};
    }
    static const TRegion* WindowShape(TOrvaneFM& f) { return f.WindowShape.get(); }

    // ---- A subsystem's step by itself
    static void LoadSettings(TOrvaneFM& f) { f.LoadSettings(); }
    static void SaveSettings(TOrvaneFM& f) { f.SaveSettings(); }
    static void SetCurrentCard(TOrvaneFM& f, int card) { f.SetCurrentCard(card); }
    static void MarkSeen(TOrvaneFM& f, int card) { f.MarkSeen(card, false); }
    static void CheckAllSeen(TOrvaneFM& f) { f.CheckAllSeen(); }
    static bool LoadTextResource(TOrvaneFM& f, const std::string& name,
                                 std::vector<std::string>& lines) {
        return f.LoadTextResource(name, lines);
    }
    static bool LoadBitmapCopy(TOrvaneFM& f, const std::string& name, TPicture& picture) {
        return f.LoadBitmapCopy(name, picture);
    }
    static void LoadFrontPicture(TOrvaneFM& f, int card) { f.LoadFrontPicture(card); }
    static void SetCardPanel(TOrvaneFM& f, int card) { f.SetCardPanel(card); }
    static void ShowCardLabels(TOrvaneFM& f, bool visible) { f.ShowCardLabels(visible); }
    static void ShowCreatorComment(TOrvaneFM& f, int card) { f.ShowCreatorComment(card); }
    static void HideCreatorComment(TOrvaneFM& f, int card) { f.HideCreatorComment(card); }
    static void UpdateHeartButton(TOrvaneFM& f) { f.UpdateHeartButton(); }
    static void OpenLink(TOrvaneFM& f, const std::string& address) { f.OpenLink(address); }
    static void BlitToBuffer(TOrvaneFM& f, const TPicture& src, int sx, int sy, int w, int h,
                             int dx, int dy, bool flush) {
        f.BlitToBuffer(src, sx, sy, w, h, dx, dy, flush);
    }
    static void DrawButton(TOrvaneFM& f, int index, int state) { f.DrawButton(index, state); }
    static void ComposeCardArea(TOrvaneFM& f, int slot, int percent, bool flush) {
        f.ComposeCardArea(slot, percent, flush);
    }
    static void AdvanceAnimation(TOrvaneFM& f) { f.AdvanceAnimation(); }
    static void StepLightEffect(TOrvaneFM& f) { f.StepLightEffect(); }
    static void BuildWindowShape(TOrvaneFM& f, const TPicture& mask, uint32_t transparent) {
        f.BuildWindowShape(mask, transparent);
    }
    static void MakeWallpaper(TOrvaneFM& f) { f.MakeWallpaper(); }
    // One star of the wallpaper's sky, its colour not shifted.
    static void StampPlainStar(TOrvaneFM& f, int x, int y, int shape, int amount) {
        f.WallOffsetR = f.WallOffsetG = f.WallOffsetB = 0;
        f.StampStar(x, y, shape, amount);
    }
};
