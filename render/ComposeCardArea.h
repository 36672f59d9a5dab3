#pragma once
#include "common/Picture.h"

// Geometry of one displayed card width: the half width h2 and the left edge x' of a
// picture of width W shown at `percent` of its width, centred on the line x = 206.
struct TComposeGeometry {
    int HalfWidth;  // h2
    int Width;      // w' = 2 h2
    int Left;       // x'
};
TComposeGeometry ComposeGeometry(int pictureWidth, int percent);

// Copies the whole of src into dst's rectangle (dx, dy, dw, src.Height), scaling
// horizontally only. Each destination column is the area average of the source columns
// it covers, so a narrowing card keeps its detail instead of dropping columns.
void ScaleColumns(const TPicture& src, TPicture& dst, int dx, int dy, int dw);
