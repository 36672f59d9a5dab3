#pragma once
#include <cstddef>
#include <cstdint>

// The parts of a PCM WAVE file that a player needs, as a view into its bytes.
struct TWavView {
    int Channels = 0;
    int Rate = 0;
    int BitsPerSample = 0;
    const uint8_t* Samples = nullptr;
    size_t SampleBytes = 0;
};

// Reads a RIFF WAVE file of at most `size` bytes: 8- or 16-bit integer PCM, one or two
// channels. False for anything else or anything cut short; the sample view never reaches
// past the file's bytes.
bool ParseWav(const uint8_t* data, size_t size, TWavView& out);

// How many bytes the RIFF file at `data` says it holds (its header included), or 0 when
// it does not start like a RIFF WAVE file.
size_t RiffFileSize(const uint8_t* data);
