#pragma once
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/gtk/WavData.h"

// Plays the program's WAV bytes through SDL's audio subsystem, one sound at a time: a new
// sound cuts off the one before. Nothing of SDL is loaded at start: the first sound loads
// the library and opens the device on a thread of the player's own, so neither the start
// nor the window ever waits for the sound system. Without SDL or a device the program
// stays silent.
class TGtkSound {
public:
    TGtkSound();
    ~TGtkSound();
    TGtkSound(const TGtkSound&) = delete;
    TGtkSound& operator=(const TGtkSound&) = delete;

    // The bytes stay the caller's and must outlive the playback (resource views do).
    void Play(const uint8_t* wav);
    void Stop();

private:
    struct TSdl;
    // What the player thread is asked to do next; only the latest request counts.
    struct TRequest {
        bool Play = false;
        TWavView Sound;
    };

    void Post(const TRequest& request);
    void Run();
    void Carry(const TRequest& request);
    bool Open(const TWavView& format);
    static void Fill(void* self, uint8_t* stream, int length);

    // Shared with the player thread under FLock.
    std::mutex FLock;
    std::condition_variable FWake;
    std::thread FThread;
    bool FQuit = false;
    bool FPending = false;
    TRequest FRequest;

    // The player thread's own.
    std::unique_ptr<TSdl> FSdl;
    bool FTried = false;
    uint32_t FDevice = 0;
    int FChannels = 0, FRate = 0, FBits = 0;
    uint8_t FSilence = 0;
    // The sound now playing; read by SDL's audio thread under the device lock.
    const uint8_t* FData = nullptr;
    size_t FLeft = 0;
};
