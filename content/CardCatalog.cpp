// The card catalogue: all words of the 50 cards, seven lines a card, addressed by card
// number and field.
#include <cstdlib>

#include "app/MainUnit.h"
#include "common/Errors.h"
#include "common/MySysU.h"
#include "common/SjisTexts.h"

std::string TOrvaneFM::CardLine(int card, int field) const {
    const long index = 7L * card + field;
    if (index < 0 || index >= static_cast<long>(CardText.size()))
        throw EError(Format(sjis::kListIndexError, static_cast<int>(index)));
    return CardText[static_cast<size_t>(index)];
}

int CodeToInt(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && text[i] == '0') ++i;
    std::string rest = i < text.size() ? text.substr(i) : std::string("0");
    bool digits = !rest.empty() && rest.size() <= 9;
    for (char c : rest) digits = digits && c >= '0' && c <= '9';
    if (!digits) throw EError(Format(sjis::kNotInteger, text.c_str()));
    return std::atoi(rest.c_str());
}

bool HasAlternateMarker(const std::string& header) {
    return header.size() >= 2 && header.compare(0, 2, sjis::kAlternateMarker) == 0;
}
