#pragma once
#include <cstdint>

#include "platform/gtk/WavData.h"

// Plays the program's WAV bytes through SDL's audio subsystem, one sound at a time: a new
// sound cuts off the one before. The device is opened at the first sound; without one
// the program stays silent.
class TGtkSound {
public:
    TGtkSound() = default;
    ~TGtkSound();
    TGtkSound(const TGtkSound&) = delete;
    TGtkSound& operator=(const TGtkSound&) = delete;

    // The bytes stay the caller's and must outlive the playback (resource views do).
    void Play(const uint8_t* wav);
    void Stop();

private:
    bool Open(const TWavView& format);
    static void Fill(void* self, uint8_t* stream, int length);

    bool FTried = false;
    bool FUsable = false;
    uint32_t FDevice = 0;
    int FChannels = 0, FRate = 0, FBits = 0;
    // The sound now playing; read by SDL's audio thread under the device lock.
    const uint8_t* FData = nullptr;
    size_t FLeft = 0;
    uint8_t FSilence = 0;
};
