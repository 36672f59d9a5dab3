#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/Picture.h"

// Decoders for the picture resources and the one encoder the program needs. A decoder
// that fails leaves `out` unchanged and returns false; it never crashes on bad bytes.

// JPEG (baseline and progressive), through libjpeg. The picture's BitsPerPixel is 24.
bool DecodeJpeg(const uint8_t* data, size_t size, TPicture& out);
// BMP with a "BM" file header: 1, 4, 8, 24 and 32 bits per pixel, palettes, bottom-up and
// top-down rows. BitsPerPixel is set from the file.
bool DecodeBmp(const uint8_t* data, size_t size, TPicture& out);
// A complete 24-bit bottom-up BMP file of the picture.
std::string EncodeBmp24(const TPicture& pic);

// The facts of a PCM WAVE file that the program's checks need.
struct TWaveInfo {
    int Channels = 0;
    int SampleRate = 0;
    int BitsPerSample = 0;
    uint32_t DataBytes = 0;
};
bool ParseWave(const uint8_t* data, size_t size, TWaveInfo& out);

// A .cur file's first image: its size and hot spot.
struct TCursorInfo {
    int Width = 0;
    int Height = 0;
    int HotX = 0;
    int HotY = 0;
};
bool ParseCursor(const uint8_t* data, size_t size, TCursorInfo& out);
