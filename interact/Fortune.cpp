// Fortune drawing and the seen-card record: which card a reading shows, and which cards
// the user has already met.
#include "app/MainUnit.h"

const int WishDigitTable[100] = {
    2, 3, 9, 1, 5, 8, 4, 7, 6, 1,  //
    9, 7, 5, 3, 3, 6, 2, 8, 7, 4,  //
    3, 8, 1, 3, 5, 9, 6, 7, 1, 9,  //
    2, 5, 8, 6, 7, 7, 1, 9, 3, 4,  //
    5, 3, 1, 2, 9, 1, 8, 2, 6, 7,  //
    9, 1, 3, 2, 4, 5, 7, 6, 3, 6,  //
    8, 7, 1, 2, 4, 8, 1, 3, 9, 5,  //
    6, 8, 3, 2, 1, 3, 9, 8, 5, 5,  //
    8, 9, 5, 3, 2, 2, 6, 4, 5, 7,  //
    6, 8, 9, 3, 5, 7, 2, 4, 1, 5,  //
};

int WishToCardBytes(const std::string& wish, int fate) {
    const long len = static_cast<long>(wish.size());
    if (len == 0) return 0;
    long pos = len % 100;
    // 64 bits: the sum grows by at most 108 a byte, far inside the range for any wish.
    long long acc = static_cast<long long>(fate) + WishDigitTable[pos];
    for (unsigned char c : wish) {
        pos = (c + pos + len) % 100;
        acc += WishDigitTable[pos] + c % 100;
    }
    long long card = acc % MaxCard;
    if (card < 0) card += MaxCard;  // a Fate is kept in 0..48; stay in range regardless
    return static_cast<int>(card) + 1;
}

int TOrvaneFM::WishToCard(const std::string& wish) const {
    return WishToCardBytes(wish, Fate);
}

void TOrvaneFM::SetCurrentCard(int n) {
    if (CurrentCard != 0 && n != CurrentCard) PreviousCard = CurrentCard;
    CurrentCard = n;
}

void TOrvaneFM::MarkSeen(int n, bool all) {
    if (n >= 1 && n <= MaxCard)
        Collection.SeenCards[n] = true;
    else if (n <= 0 && all)
        for (int k = 1; k <= MaxCard; ++k) Collection.SeenCards[k] = true;
}

void TOrvaneFM::MarkUnseen(int n, bool all) {
    if (n >= 1 && n <= MaxCard)
        Collection.SeenCards[n] = false;
    else if (n <= 0 && all)
        for (int k = 1; k <= MaxCard; ++k) Collection.SeenCards[k] = false;
}

void TOrvaneFM::CheckAllSeen() {
    bool all = true;
    for (int k = 1; k <= MaxCard; ++k) all = all && Collection.SeenCards[k];
    Collection.AllCardsSeen = all;
}

std::string EncodeSeenText(const bool seen[MaxCard + 1]) {
    std::string text(MaxCard, '.');
    for (int k = 1; k <= MaxCard; ++k)
        if (seen[k]) text[k - 1] = 'l';
    return text;
}

void DecodeSeenText(const std::string& text, bool seen[MaxCard + 1]) {
    // The text is read into a buffer of at most 255 characters; characters after the
    // 49th are ignored anyway.
    const std::string buffer = text.substr(0, 255);
    for (int k = 1; k <= MaxCard; ++k)
        seen[k] = static_cast<int>(buffer.size()) >= k && buffer[k - 1] == 'l';
}

std::string TOrvaneFM::EncodeSeenCards() const {
    return EncodeSeenText(Collection.SeenCards);
}

void TOrvaneFM::DecodeSeenCards(const std::string& text) {
    DecodeSeenText(text, Collection.SeenCards);
}

void TOrvaneFM::UpdateFate() {
    // A Fate read from the file may be anything; bring it into 0..48 (negative values
    // too, so WishToCard always gives a card 1..49).
    Fate %= MaxCard;
    if (Fate < 0) Fate += MaxCard;
    const TDate today = Os.Today();
    const long days = DaysFromDate(today) - DaysFromDate(OldDate);
    const bool closedToday = MemDate == today;
    if (FateNeedsRenewal(days, closedToday, [this] { return Random.Next(12); })) {
        OldDate = today;
        Fate = Random.Next(MaxCard);
    }
}

void TOrvaneFM::FortuneDraw() {
    DrawButton(FortuneButton, kStatePressed);
    if (IndexMode) DrawIndex(kFrameNone, true);
    SetCurrentCard(WishToCard(Os.MemoText()));
    MarkSeen(CurrentCard, false);
    ReadingMade = true;
    StartCardTurn(kCueFortune);
}

void TOrvaneFM::RandomDraw() {
    DrawButton(RandomButton, kStatePressed);
    if (IndexMode) DrawIndex(kFrameNone, true);
    if (Random.Next(8) == 0) Random.Seed(Os.ClockSeed());
    SetCurrentCard(Random.Next(MaxCard) + 1);
    MarkSeen(CurrentCard, false);
    ReadingMade = true;
    StartCardTurn(kCueRandom);
}
