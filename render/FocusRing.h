#pragma once
#include "common/Picture.h"

// The keyboard focus around a painted button: a dotted ring of alternating white and
// black pixels two pixels inside its w x h rectangle at (x, y), seen on light and dark
// sprites alike. Pixels outside the picture are left out.
void DrawFocusRing(TPicture& pic, int x, int y, int w, int h);
