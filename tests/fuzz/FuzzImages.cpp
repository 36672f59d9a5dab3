// The picture, sound and pointer loaders on any bytes. One source, four targets: the
// build defines FUZZ_JPEG, FUZZ_BMP, FUZZ_WAVE or FUZZ_CURSOR.
#include <cstdint>
#include <cstring>
#include <string>

#include "content/ImageCodecs.h"
#include "fuzz/FuzzSupport.h"

namespace {
// A picture the decoder must leave alone when it fails.
[[maybe_unused]] TPicture Sentinel() {
    TPicture p;
    p.SetSize(2, 3);
    p.BitsPerPixel = 8;
    p.Pixels[5] = 0x123456;
    return p;
}

[[maybe_unused]] bool IsSentinel(const TPicture& p) {
    return p.Width == 2 && p.Height == 3 && p.BitsPerPixel == 8 && p.Pixels.size() == 6 &&
           p.Pixels[5] == 0x123456;
}

[[maybe_unused]] void CheckPicture(const TPicture& p) {
    FUZZ_CHECK(p.Width > 0 && p.Height > 0);
    FUZZ_CHECK(p.Pixels.size() == static_cast<size_t>(p.Width) * p.Height);
    for (uint32_t px : p.Pixels) FUZZ_CHECK((px >> 24) == 0);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
#if defined(FUZZ_JPEG)
    TPicture pic = Sentinel();
    if (DecodeJpeg(data, size, pic)) {
        CheckPicture(pic);
        FUZZ_CHECK(pic.BitsPerPixel == 24);
    } else {
        FUZZ_CHECK(IsSentinel(pic));
    }
#elif defined(FUZZ_BMP)
    TPicture pic = Sentinel();
    if (DecodeBmp(data, size, pic)) {
        CheckPicture(pic);
        const int bpp = pic.BitsPerPixel;
        FUZZ_CHECK(bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24 || bpp == 32);
        // What the wallpaper writer makes of it decodes to the same pixels.
        const std::string file = EncodeBmp24(pic);
        TPicture again;
        FUZZ_CHECK(DecodeBmp(reinterpret_cast<const uint8_t*>(file.data()), file.size(), again));
        FUZZ_CHECK(again.Width == pic.Width && again.Height == pic.Height);
        FUZZ_CHECK(again.Pixels == pic.Pixels);
    } else {
        FUZZ_CHECK(IsSentinel(pic));
    }
#elif defined(FUZZ_WAVE)
    TWaveInfo info;
    info.Channels = -7;
    if (ParseWave(data, size, info)) {
        FUZZ_CHECK(info.Channels > 0 && info.SampleRate > 0 && info.BitsPerSample > 0);
        FUZZ_CHECK(info.DataBytes <= size);
    } else {
        FUZZ_CHECK(info.Channels == -7);
    }
#elif defined(FUZZ_CURSOR)
    TCursorInfo info;
    info.Width = -7;
    if (ParseCursor(data, size, info)) {
        FUZZ_CHECK(info.Width >= 1 && info.Width <= 256 && info.Height >= 1 && info.Height <= 256);
        FUZZ_CHECK(info.HotX >= 0 && info.HotY >= 0);
    } else {
        FUZZ_CHECK(info.Width == -7);
    }
#else
#error "define FUZZ_JPEG, FUZZ_BMP, FUZZ_WAVE or FUZZ_CURSOR"
#endif
    return 0;
}
