#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The first image of a Windows cursor file (.cur), as straight RGBA bytes.
struct TCursorImage {
    int Width = 0;
    int Height = 0;
    int HotX = 0;
    int HotY = 0;
    std::vector<uint8_t> Rgba;  // Width x Height x 4, top row first
};

// Decodes 1-, 4-, 8-, 24- and 32-bit cursor images with their AND mask. Pixels the mask
// makes transparent are transparent; pixels a monochrome cursor inverts (which a cursor
// picture cannot do) are black. False for anything malformed; never reads past `size`.
bool DecodeCursorImage(const uint8_t* data, size_t size, TCursorImage& out);
