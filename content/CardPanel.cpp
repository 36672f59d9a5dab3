// The card panel: number, title and reading labels, the creator's words while the
// creator button is held, and the two card picture slots.
#include "app/MainUnit.h"
#include "common/MySysU.h"
#include "common/SjisTexts.h"
#include "content/CardFaces.h"

void TOrvaneFM::SetCardPanel(int card) {
    Os.SetLabelText(TControl::LabelNo, "CARD." + ZeroPad(card, 3));
    if (card >= 1 && card <= MaxCard && !Collection.SeenCards[card]) {
        Os.SetLabelText(TControl::LabelTittle, sjis::kUnseenTitle);
        Os.SetLabelText(TControl::LabelKaisetu, sjis::kUnseenMessage);
    } else {
        Os.SetLabelText(TControl::LabelTittle, CardLine(card, FieldTitle));
        Os.SetLabelText(TControl::LabelKaisetu, CardLine(card, FieldExplanation));
    }
}

void TOrvaneFM::ShowCardLabels(bool visible) {
    Os.SetLabelVisible(TControl::LabelNo, visible);
    Os.SetLabelVisible(TControl::LabelTittle, visible);
    Os.SetLabelVisible(TControl::LabelKaisetu, visible);
    // The reading as one text, for a screen reader to read out when it changes.
    if (visible) ShownReading = ReadingOf(CurrentCard);
    if (visible)
        DrawButton(HomepageButton,
                   CardLine(CurrentCard, FieldLink).empty() ? kStateDisabled : kStateNormal);
}

void TOrvaneFM::ShowCreatorComment(int card) {
    DrawButton(ExplanationCaption, kStateNormal);  // blank, under the creator label
    const std::string creator = CardLine(card, FieldCreator);
    Os.SetLabelText(TControl::LabelCreator, creator.size() > 2 ? creator.substr(2) : std::string());
    Os.SetLabelVisible(TControl::LabelCreator, true);
    const int code = CodeToInt(creator.substr(0, 2));
    std::string text = CardLine(card, FieldComment);
    if (ShowAlternate) {
        const std::string alternate = CardLine(card, FieldAlternateComment);
        if (!alternate.empty()) text = alternate;
    }
    Os.SetLabelText(TControl::LabelKaisetu, text);
    // The creator's own sound; PlayCue stays silent for a code with no sound.
    PlayCue(kCueCreator + code);
}

void TOrvaneFM::HideCreatorComment(int card) {
    Os.SetLabelVisible(TControl::LabelCreator, false);
    DrawButton(ExplanationCaption, kStateDisabled);  // the caption
    Os.SetLabelText(TControl::LabelKaisetu, CardLine(card, FieldExplanation));
}

void TOrvaneFM::LoadCardPicture(int card, int slot) {
    TPicture& picture = CardSlot[slot];
    picture.Release();
    const std::string name = FacePicture(card);
    bool loaded = false;
    if (slot == 1 && ShowAlternate) {
        // Only some marked cards have an alternate picture in the resources; the others
        // show their regular picture in the alternate view, so the slot always holds a
        // real picture of the card.
        TResourceView view;
        if (Os.FindResourceData("JPG", "h" + name, view)) {
            LoadJpegResource("h" + name, picture);
            loaded = true;
        }
    }
    if (!loaded) LoadJpegResource(name, picture);
    CardSlotGeometry& g = CardGeom[slot];
    g.W = picture.Width;
    g.H = picture.Height;
    g.HalfWidth = g.W / 2;
    g.X = (340 - g.W) / 2 + 36;
    g.Y = (500 - g.H) / 2 + 48;
}

int ShownFace(int card, const TCollection& collection) {
    if (card > 0 && card < kCardBack && (card > MaxCard || !collection.SeenCards[card])) return 0;
    return card;
}

std::string FacePicture(int card) {
    return "C" + ZeroPad(card, 3);
}

void TOrvaneFM::LoadFrontPicture(int card) {
    LoadCardPicture(ShownFace(card, Collection), 1);
}

void TOrvaneFM::UpdateHeartButton() {
    int look = 0;
    if (Collection.AllCardsSeen && HasAlternateMarker(CardLine(CurrentCard, FieldHeader)))
        look = ShowAlternate ? kStateNormal : kStateHeartOffer;
    DrawButton(HeartButton, look);
}
