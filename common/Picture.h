#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// A picture is our own pixel buffer: top-down rows, one uint32 per pixel holding
// 0x00RRGGBB, which is the byte order of a 32-bit DIB (blue, green, red, unused).
// Every drawing of the program is done on these buffers by our own code, so the
// headless backend and Windows show the same pixels.
struct TPicture {
    int Width = 0;
    int Height = 0;
    // The pixel format the picture stands for. Pixels are always stored as 32 bits;
    // the tag only matters where a format is checked (the window shape wants 24).
    int BitsPerPixel = 32;
    std::vector<uint32_t> Pixels;

    void SetSize(int width, int height);  // all pixels black
    void Release();                       // back to an empty 0 x 0 picture
    bool Empty() const { return Width <= 0 || Height <= 0; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < Width && y < Height; }
    uint32_t* Row(int y) { return Pixels.data() + static_cast<size_t>(y) * Width; }
    const uint32_t* Row(int y) const { return Pixels.data() + static_cast<size_t>(y) * Width; }
    uint32_t GetPixel(int x, int y) const { return Row(y)[x]; }
    void SetPixel(int x, int y, uint32_t pixel) { Row(y)[x] = pixel; }
};

// Pixel value from the three channels, and back.
inline uint32_t MakePixel(int r, int g, int b) {
    return (static_cast<uint32_t>(r & 255) << 16) | (static_cast<uint32_t>(g & 255) << 8) |
           static_cast<uint32_t>(b & 255);
}
inline int PixelRed(uint32_t p) {
    return (p >> 16) & 255;
}
inline int PixelGreen(uint32_t p) {
    return (p >> 8) & 255;
}
inline int PixelBlue(uint32_t p) {
    return p & 255;
}

// Clips a copy of the w x h rectangle at (sx, sy) of a srcW x srcH picture to (dx, dy) of
// a dstW x dstH one: whatever is cut off one side is cut off the other too. False when
// nothing is left to copy.
bool ClipCopy(int& sx, int& sy, int& w, int& h, int srcW, int srcH, int& dx, int& dy, int dstW,
              int dstH);

// Copies the w x h rectangle at (sx, sy) of src to (dx, dy) of dst, unscaled, clipped
// against both pictures. src and dst may be the same picture, overlapping or not.
void CopyRect(const TPicture& src, int sx, int sy, int w, int h, TPicture& dst, int dx, int dy);

// Fills a rectangle of the picture, clipped.
void FillRect(TPicture& pic, int x, int y, int w, int h, uint32_t pixel);
