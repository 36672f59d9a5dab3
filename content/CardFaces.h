#pragma once
#include <string>

#include "app/MainUnit.h"

// Which face the card slot shows for `card`: the title card's face stands in for a card
// not seen yet (the back and the title card show as they are).
int ShownFace(int card, const TCollection& collection);
// The picture resource of a card's regular face, "C000" to "C049" and "C999".
std::string FacePicture(int card);
