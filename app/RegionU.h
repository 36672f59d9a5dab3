#pragma once
#include <cstdint>
#include <string>

#include "common/Errors.h"
#include "common/Picture.h"
#include "platform/Platform.h"

// The window shape: a region built from pixel runs of a mask picture.

class ERgnError : public EError {
public:
    explicit ERgnError(const std::string& message) : EError(message) {}
};

// Largest number of rectangles handed to one region call: the work buffer that holds
// them never grows with the mask.
constexpr int kRectsPerRegionCall = 4000;

// A read position over bytes in memory (the region data stream).
struct TMemoryStream {
    std::string Data;
    size_t Position = 0;
    // Copies up to n bytes; returns how many were read.
    size_t Read(void* out, size_t n);
    void Write(const void* in, size_t n);
};

// Creates an empty rectangle region; raises ERgnError when the system refuses.
TRegionHandle NewEmptyRegion(TPlatform& os);

class TRegion {
public:
    explicit TRegion(TPlatform& os);
    ~TRegion();
    TRegion(const TRegion&) = delete;
    TRegion& operator=(const TRegion&) = delete;

    TRegionHandle Handle() const { return FHandle; }
    // A new region with the same area; the caller owns it.
    TRegionHandle CopyHandle();
    // Replaces Handle with the region the stream describes, read from its position: a
    // 32-byte header (its own size 32, type 1, the rectangle count, a size and the bounds,
    // little-endian 32-bit numbers) and 16 bytes for each rectangle: left, top, right,
    // bottom. Raises ERgnError, keeping the old shape, when the stream is not that.
    void LoadFromStream(TMemoryStream& stream);
    // Replaces Handle with the region of every pixel whose colour (red + 256 x green +
    // 65536 x blue) differs from `transparent`. Only 24-bit pictures are accepted.
    void makeRgnFromBitmap(const TPicture& picture, uint32_t transparent);

private:
    TPlatform& Os;
    TRegionHandle FHandle = nullptr;
};

// The pixel runs of one picture as region data (header plus one-pixel-high rectangles),
// the stream makeRgnFromBitmap hands to LoadFromStream.
void WriteRegionRuns(const TPicture& picture, uint32_t transparent, TMemoryStream& stream);
