#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The first image of a Windows cursor file (.cur), or the chosen one of an icon file
// (.ico, no hot spot), as straight RGBA bytes.
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

// The largest bitmap picture of a Windows icon file (.ico), the deepest of equal sizes;
// a 32-bit picture's transparency is its alpha channel, a shallower one's its AND mask.
// False when the file holds no readable bitmap picture; never reads past `size`.
bool DecodeIconImage(const uint8_t* data, size_t size, TCursorImage& out);

// One straight RGBA pixel as Cairo's premultiplied ARGB32 word: each channel times alpha
// over 255, rounded to the nearest, exactly as GDK converts a pixbuf.
uint32_t PremultipliedArgb(const uint8_t* rgba);
