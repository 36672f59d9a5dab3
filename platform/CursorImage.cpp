// Windows cursor and icon files, read by hand: the pointer resources travel as .cur files
// and the window's icon as an .ico file.
#include "platform/CursorImage.h"

#include "common/ByteOrder.h"

namespace {
size_t RowBytes(int width, int bits) {
    return ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
}

// One image's bitmap (a BITMAPINFOHEADER, the palette, the colour rows and the AND mask
// below them) into out's size and pixels. An icon's 32-bit image carries its own alpha
// and its mask is ignored, as the desktop reads icons; a cursor keeps the mask's
// inversion rule.
bool DecodeDib(const uint8_t* dib, size_t length, bool icon, TCursorImage& out) {
    if (length < 40) return false;
    const size_t headerSize = GetU32(dib);
    const int32_t width = static_cast<int32_t>(GetU32(dib + 4));
    // The height counts the colour image and the mask below it.
    const int32_t doubled = static_cast<int32_t>(GetU32(dib + 8));
    const int bits = GetU16(dib + 14);
    const uint32_t compression = GetU32(dib + 16);
    uint32_t colours = GetU32(dib + 32);
    if (headerSize < 40 || headerSize > length || compression != 0) return false;
    if (width <= 0 || width > 256 || doubled <= 0 || doubled > 512 || doubled % 2 != 0)
        return false;
    const int height = doubled / 2;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
    if (bits <= 8) {
        if (colours == 0 || colours > (1u << bits)) colours = 1u << bits;
    } else {
        colours = 0;
    }
    const size_t paletteAt = headerSize;
    const size_t colourAt = paletteAt + static_cast<size_t>(colours) * 4;
    const size_t colourRow = RowBytes(width, bits);
    const size_t maskAt = colourAt + colourRow * height;
    const size_t maskRow = RowBytes(width, 1);
    if (maskAt > length || maskRow * height > length - maskAt) return false;

    out.Width = width;
    out.Height = height;
    out.Rgba.assign(static_cast<size_t>(width) * height * 4, 0);
    for (int y = 0; y < height; ++y) {
        // Rows are stored bottom-up.
        const uint8_t* row = dib + colourAt + colourRow * (height - 1 - y);
        const uint8_t* mask = dib + maskAt + maskRow * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            uint8_t r = 0, g = 0, b = 0, a = 255;
            uint32_t index = 0;
            switch (bits) {
                case 1:
                    index = (row[x / 8] >> (7 - x % 8)) & 1;
                    break;
                case 4:
                    index = (row[x / 2] >> (x % 2 ? 0 : 4)) & 15;
                    break;
                case 8:
                    index = row[x];
                    break;
                case 24:
                    b = row[x * 3];
                    g = row[x * 3 + 1];
                    r = row[x * 3 + 2];
                    break;
                case 32:
                    b = row[x * 4];
                    g = row[x * 4 + 1];
                    r = row[x * 4 + 2];
                    a = row[x * 4 + 3];
                    break;
            }
            if (bits <= 8) {
                if (index >= colours) index = 0;
                const uint8_t* colour = dib + paletteAt + index * 4;
                b = colour[0];
                g = colour[1];
                r = colour[2];
            }
            const bool masked = (mask[x / 8] >> (7 - x % 8)) & 1;
            if (icon && bits == 32) {
                // The alpha channel alone says what shows.
            } else if (masked) {
                // Mask set: the screen shows through, or, in a cursor, is inverted where
                // the image has colour. A picture cannot invert; black reads on most
                // backgrounds.
                const bool inverts = !icon && (bits <= 8 ? index != 0 : (r | g | b) != 0);
                if (inverts) {
                    r = g = b = 0;
                    a = 255;
                } else {
                    a = 0;
                }
            } else if (bits != 32) {
                a = 255;
            }
            uint8_t* px = &out.Rgba[(static_cast<size_t>(y) * width + x) * 4];
            px[0] = r;
            px[1] = g;
            px[2] = b;
            px[3] = a;
        }
    }
    return true;
}
}  // namespace

bool DecodeCursorImage(const uint8_t* data, size_t size, TCursorImage& out) {
    out = TCursorImage();
    // The directory: reserved 0, type 2 (cursor), at least one entry of 16 bytes.
    if (!data || size < 22 || GetU16(data) != 0 || GetU16(data + 2) != 2 || GetU16(data + 4) < 1)
        return false;
    const uint8_t* entry = data + 6;
    const int hotX = GetU16(entry + 4);
    const int hotY = GetU16(entry + 6);
    const size_t length = GetU32(entry + 8);
    const size_t offset = GetU32(entry + 12);
    if (offset >= size || length > size - offset || length < 40) return false;
    if (!DecodeDib(data + offset, length, false, out)) {
        out = TCursorImage();
        return false;
    }
    out.HotX = hotX < out.Width ? hotX : out.Width - 1;
    out.HotY = hotY < out.Height ? hotY : out.Height - 1;
    return true;
}

bool DecodeIconImage(const uint8_t* data, size_t size, TCursorImage& out) {
    out = TCursorImage();
    // The directory: reserved 0, type 1 (icon), its entries of 16 bytes each.
    if (!data || size < 6 || GetU16(data) != 0 || GetU16(data + 2) != 1) return false;
    const size_t count = GetU16(data + 4);
    if (count == 0 || count > (size - 6) / 16) return false;
    // The largest bitmap picture, the deepest of equal sizes. Pictures stored as PNG
    // (the 256-pixel ones of newer icons) start with no bitmap header and are passed by.
    const uint8_t* best = nullptr;
    size_t bestLength = 0;
    int64_t bestScore = -1;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* entry = data + 6 + 16 * i;
        const size_t length = GetU32(entry + 8);
        const size_t offset = GetU32(entry + 12);
        if (offset >= size || length > size - offset || length < 40) continue;
        const uint8_t* dib = data + offset;
        if (GetU32(dib) < 40) continue;
        const int64_t w = static_cast<int32_t>(GetU32(dib + 4));
        const int64_t h = static_cast<int32_t>(GetU32(dib + 8)) / 2;
        const int64_t score = (w * h << 8) + GetU16(dib + 14);
        if (w > 0 && h > 0 && score > bestScore) {
            best = dib;
            bestLength = length;
            bestScore = score;
        }
    }
    if (!best || !DecodeDib(best, bestLength, true, out)) {
        out = TCursorImage();
        return false;
    }
    return true;
}

uint32_t PremultipliedArgb(const uint8_t* rgba) {
    const uint32_t a = rgba[3];
    auto times = [a](uint32_t c) {
        const uint32_t t = c * a + 0x80;
        return ((t >> 8) + t) >> 8;
    };
    return a << 24 | times(rgba[0]) << 16 | times(rgba[1]) << 8 | times(rgba[2]);
}
