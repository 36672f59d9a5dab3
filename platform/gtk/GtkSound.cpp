// Sound through SDL's audio subsystem alone: SDL reads the resource bytes in place from
// its own thread, converting to whatever the device takes.
#include "platform/gtk/GtkSound.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>

#include "platform/gtk/GtkPlatform.h"

TGtkSound::~TGtkSound() {
    if (FDevice) SDL_CloseAudioDevice(FDevice);
    if (FUsable) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void TGtkSound::Fill(void* p, uint8_t* stream, int length) {
    auto* self = static_cast<TGtkSound*>(p);
    size_t want = static_cast<size_t>(length);
    const size_t take = self->FLeft < want ? self->FLeft : want;
    if (take) {
        std::memcpy(stream, self->FData, take);
        self->FData += take;
        self->FLeft -= take;
    }
    std::memset(stream + take, self->FSilence, want - take);
}

bool TGtkSound::Open(const TWavView& format) {
    if (!FTried) {
        FTried = true;
        // The program handles its own signals; SDL must not take SIGINT and SIGTERM.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        FUsable = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
        if (!FUsable) std::fprintf(stderr, "sablewick: no sound: %s\n", SDL_GetError());
    }
    if (!FUsable) return false;
    if (FDevice && format.Channels == FChannels && format.Rate == FRate &&
        format.BitsPerSample == FBits)
        return true;
    if (FDevice) SDL_CloseAudioDevice(FDevice);
    FDevice = 0;
    SDL_AudioSpec want;
    std::memset(&want, 0, sizeof want);
    want.freq = format.Rate;
    want.format = format.BitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    want.channels = static_cast<Uint8>(format.Channels);
    // About 46 ms at 22 kHz: a new cue cuts the old one off without a noticeable delay.
    want.samples = 1024;
    want.callback = Fill;
    want.userdata = this;
    SDL_AudioSpec have;
    // The device takes exactly our format; SDL converts behind it when the hardware
    // wants another.
    FDevice = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (!FDevice) {
        // No sound device: silence, and the program goes on.
        std::fprintf(stderr, "sablewick: no sound device: %s\n", SDL_GetError());
        FUsable = false;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    FChannels = format.Channels;
    FRate = format.Rate;
    FBits = format.BitsPerSample;
    FSilence = have.silence;
    SDL_PauseAudioDevice(FDevice, 0);
    return true;
}

void TGtkSound::Play(const uint8_t* wav) {
    TWavView view;
    // The resource bytes carry their own length in the RIFF header.
    if (!ParseWav(wav, RiffFileSize(wav), view)) {
        Stop();
        return;
    }
    if (!Open(view)) return;
    SDL_LockAudioDevice(FDevice);
    FData = view.Samples;
    FLeft = view.SampleBytes;
    SDL_UnlockAudioDevice(FDevice);
}

void TGtkSound::Stop() {
    if (!FDevice) return;
    SDL_LockAudioDevice(FDevice);
    FData = nullptr;
    FLeft = 0;
    SDL_UnlockAudioDevice(FDevice);
}

void TGtkPlatform::PlaySoundBytes(const TResourceView& wav) {
    if (!wav.Data) return;
    if (!FSound) FSound.reset(new TGtkSound);
    FSound->Play(wav.Data);
}

void TGtkPlatform::StopSoundPlaying() {
    if (FSound) FSound->Stop();
}
