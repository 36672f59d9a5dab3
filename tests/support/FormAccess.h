#pragma once
#include <string>
#include <vector>

#include "app/MainUnit.h"

// The few preconditions a test sets that no user action makes in one step: a close
// under way while input still arrives, an index page that no longer exists, a clock
// about to wrap, a card text with a code beyond the sounds, and for the fuzz targets a
// window reused from input to input. Everything else a test reads through State() and
// sets through the program's own roads.
struct TFormAccess {
    static bool& Closing(TOrvaneFM& f) { return f.Closing; }
    static int& AnimStep(TOrvaneFM& f) { return f.AnimStep; }
    static int& LoadedIndexPage(TOrvaneFM& f) { return f.LoadedIndexPage; }
    static uint32_t& LastStepTick(TOrvaneFM& f) { return f.LastStepTick; }
    static std::vector<std::string>& CardText(TOrvaneFM& f) { return f.CardText; }
    static std::string& ProgramDir(TOrvaneFM& f) { return f.ProgramDir; }
    static bool& ReadingMade(TOrvaneFM& f) { return f.ReadingMade; }
    static bool& ShowAlternate(TOrvaneFM& f) { return f.ShowAlternate; }

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
};
