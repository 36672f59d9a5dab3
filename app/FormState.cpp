// The main window's state gathered into one value, for the script driver and the tests.
#include <algorithm>

#include "app/MainUnit.h"

TFormState TOrvaneFM::State() const {
    TFormState s;
    s.Created = Created;
    s.Destroyed = Destroyed;
    s.Closing = Closing;
    s.AnimStep = AnimStep;
    s.CurrentCard = CurrentCard;
    s.PreviousCard = PreviousCard;
    s.Fate = Fate;
    s.SavedCard = SavedCard;
    s.SavedWish = SavedWish;
    s.ReadingMade = ReadingMade;
    s.Collection = Collection;
    s.SeenCards = EncodeSeenCards();
    s.Options = Options;
    s.OldDate = OldDate;
    s.MemDate = MemDate;
    s.IndexMode = IndexMode;
    s.LoadedIndexPage = LoadedIndexPage;
    s.ShowAlternate = ShowAlternate;
    s.KeepCardTexts = KeepCardTexts;
    s.StarX = StarX;
    s.StarY = StarY;
    s.Buttons = Buttons;
    std::copy(Menu, Menu + kMenuItemCount, s.Menu);
    std::copy(Sparkles, Sparkles + kSparkles, s.Sparkles);
    s.StarsStamped = StarsStamped;
    s.ProgramDir = ProgramDir;
    s.BrowserPath = BrowserPath;
    return s;
}
