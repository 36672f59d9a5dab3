// The WAVE container, read in place: the player is handed views of the program's own
// resource bytes.
#include "platform/gtk/WavData.h"

#include <cstring>

#include "common/ByteOrder.h"

size_t RiffFileSize(const uint8_t* data) {
    if (!data || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0)
        return 0;
    return static_cast<size_t>(GetU32(data + 4)) + 8;
}

bool ParseWav(const uint8_t* data, size_t size, TWavView& out) {
    out = TWavView();
    if (!data || size < 12 || std::memcmp(data, "RIFF", 4) != 0 ||
        std::memcmp(data + 8, "WAVE", 4) != 0)
        return false;
    bool haveFormat = false;
    size_t at = 12;
    while (at + 8 <= size) {
        const uint8_t* chunk = data + at;
        const size_t length = GetU32(chunk + 4);
        const size_t room = size - at - 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (length < 16 || length > room) return false;
            const int format = GetU16(chunk + 8);
            out.Channels = GetU16(chunk + 10);
            out.Rate = static_cast<int>(GetU32(chunk + 12));
            out.BitsPerSample = GetU16(chunk + 22);
            if (format != 1 || out.Channels < 1 || out.Channels > 2 || out.Rate < 1000 ||
                out.Rate > 192000 || (out.BitsPerSample != 8 && out.BitsPerSample != 16))
                return false;
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat) return false;
            out.Samples = chunk + 8;
            // A data chunk longer than the file is played as far as the file goes.
            out.SampleBytes = length < room ? length : room;
            const size_t frame = static_cast<size_t>(out.Channels) * (out.BitsPerSample / 8);
            out.SampleBytes -= out.SampleBytes % frame;
            return true;
        }
        // Chunks are padded to an even length.
        const size_t step = 8 + length + (length & 1);
        if (length > room || step > size - at) return false;
        at += step;
    }
    return false;
}
