#pragma once
#include "common/Picture.h"

// Draws one sparkle into `target` from the 3 x 3 star picture: a plus sign centred on
// (px + 1, py + 1) while age < crossSteps, else a dot at (px, py), where (px, py) is
// `centre` moved by `radius` along `angle` (0 points down, growing toward +x).
void DrawSparkle(TPicture& target, const TPicture& star, int radius, double angle, int age,
                 int crossSteps, int centre);
