#pragma once
#include <cstdint>
#include <string>

// Small integer, colour and text utilities shared by every part of the program.

// Clamps value into [low, high]; the low bound is tested first, so a range whose low
// bound lies above its high bound gives low.
int Clamp(int value, int low, int high);

// The one rectangle test of the program: left and top edges inside, right and bottom
// edges outside.
bool PointInRect(int x, int y, int w, int h, int px, int py);

// Colours packed as red + 256 x green + 65536 x blue (the Win32 colour value).
uint32_t PackColor(int r, int g, int b);
void SplitColor(uint32_t color, int& r, int& g, int& b);
// Conversions between a packed colour and a picture pixel.
uint32_t ColorToPixel(uint32_t color);

// The last `digits` digits of value + 1,000,000,000 in decimal: "C" + ZeroPad(5, 3)
// names the resource C005; 1234 with 3 digits gives "234".
std::string ZeroPad(int value, int digits);

// Printf-style formatting into a std::string (used for the program's messages).
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// Whether byte b starts a double-byte character in code page 932.
bool IsSjisLeadByte(unsigned char b);
// The directory part of a UTF-8 path, with its trailing separator ("\" or "/").
std::string ExtractFilePath(const std::string& path);
// ASCII letters upper-cased, every other byte kept (a Shift-JIS trail byte is no letter).
std::string AsciiUpper(std::string text);
// Number of characters in a code page 932 text (a double-byte character counts once).
int SjisLength(const std::string& text);
// Byte offset of character `chars` in a code page 932 text (its size when beyond the end).
size_t SjisByteOffset(const std::string& text, int chars);
