// Sound through SDL's audio subsystem alone: SDL reads the resource bytes in place from
// its own thread, converting to whatever the device takes. The library is loaded by name
// when the first sound is asked for: linked to the program, it and the twenty libraries
// it pulls in would be loaded and relocated before the window could show.
#include "platform/gtk/GtkSound.h"

#include <SDL.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <type_traits>

#include "platform/gtk/GtkPlatform.h"

namespace {
const char kSdlLibrary[] = "libSDL2-2.0.so.0";
}  // namespace

// The SDL functions the player calls, looked up in the library once it is loaded.
struct TGtkSound::TSdl {
    decltype(&::SDL_SetHint) SetHint = nullptr;
    decltype(&::SDL_GetError) GetError = nullptr;
    decltype(&::SDL_AudioInit) AudioInit = nullptr;
    decltype(&::SDL_AudioQuit) AudioQuit = nullptr;
    decltype(&::SDL_OpenAudioDevice) OpenAudioDevice = nullptr;
    decltype(&::SDL_CloseAudioDevice) CloseAudioDevice = nullptr;
    decltype(&::SDL_PauseAudioDevice) PauseAudioDevice = nullptr;
    decltype(&::SDL_LockAudioDevice) LockAudioDevice = nullptr;
    decltype(&::SDL_UnlockAudioDevice) UnlockAudioDevice = nullptr;

    // False, with the reason in `error`, when the library or one of them is missing.
    bool Load(std::string& error) {
        void* library = dlopen(kSdlLibrary, RTLD_NOW | RTLD_LOCAL);
        if (!library) {
            const char* why = dlerror();
            error = why ? why : kSdlLibrary;
            return false;
        }
        // The library stays loaded for the life of the process: its audio thread may
        // still be winding down when the player is gone.
        bool all = true;
        auto find = [&](auto& function, const char* name) {
            function =
                reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(library, name));
            if (!function) {
                all = false;
                error = std::string(name) + " not found in " + kSdlLibrary;
            }
        };
        find(SetHint, "SDL_SetHint");
        find(GetError, "SDL_GetError");
        find(AudioInit, "SDL_AudioInit");
        find(AudioQuit, "SDL_AudioQuit");
        find(OpenAudioDevice, "SDL_OpenAudioDevice");
        find(CloseAudioDevice, "SDL_CloseAudioDevice");
        find(PauseAudioDevice, "SDL_PauseAudioDevice");
        find(LockAudioDevice, "SDL_LockAudioDevice");
        find(UnlockAudioDevice, "SDL_UnlockAudioDevice");
        return all;
    }
};

TGtkSound::TGtkSound() = default;

TGtkSound::~TGtkSound() {
    if (!FThread.joinable()) return;
    {
        std::lock_guard<std::mutex> hold(FLock);
        FQuit = true;
    }
    FWake.notify_one();
    FThread.join();
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

void TGtkSound::Play(const uint8_t* wav) {
    TRequest request;
    // The resource bytes carry their own length in the RIFF header. A sound that cannot
    // be played still cuts off the one before.
    request.Play = ParseWav(wav, RiffFileSize(wav), request.Sound);
    Post(request);
}

void TGtkSound::Stop() {
    // Before the first sound there is nothing to stop, and no reason to start the player.
    if (!FThread.joinable()) return;
    Post(TRequest());
}

void TGtkSound::Post(const TRequest& request) {
    {
        std::lock_guard<std::mutex> hold(FLock);
        // A request not yet carried out is replaced: a newer sound cuts it off anyway.
        FRequest = request;
        FPending = true;
    }
    if (!FThread.joinable()) FThread = std::thread([this] { Run(); });
    FWake.notify_one();
}

void TGtkSound::Run() {
    for (;;) {
        TRequest request;
        {
            std::unique_lock<std::mutex> hold(FLock);
            FWake.wait(hold, [this] { return FQuit || FPending; });
            if (FQuit) break;
            request = FRequest;
            FPending = false;
        }
        Carry(request);
    }
    if (FDevice) FSdl->CloseAudioDevice(FDevice);
    FDevice = 0;
    if (FSdl) FSdl->AudioQuit();
}

void TGtkSound::Carry(const TRequest& request) {
    if (request.Play && Open(request.Sound)) {
        FSdl->LockAudioDevice(FDevice);
        FData = request.Sound.Samples;
        FLeft = request.Sound.SampleBytes;
        FSdl->UnlockAudioDevice(FDevice);
    } else if (FDevice) {
        FSdl->LockAudioDevice(FDevice);
        FData = nullptr;
        FLeft = 0;
        FSdl->UnlockAudioDevice(FDevice);
    }
}

bool TGtkSound::Open(const TWavView& format) {
    if (!FTried) {
        FTried = true;
        std::string error;
        auto sdl = std::make_unique<TSdl>();
        if (!sdl->Load(error)) {
            std::fprintf(stderr, "sablewick: no sound: %s\n", error.c_str());
            return false;
        }
        // The program handles its own signals; SDL must not take SIGINT and SIGTERM.
        sdl->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        // The audio subsystem alone (SDL_AUDIODRIVER still chooses the driver): the event
        // queue that SDL_InitSubSystem would add has nothing to carry here.
        if (sdl->AudioInit(nullptr) != 0) {
            std::fprintf(stderr, "sablewick: no sound: %s\n", sdl->GetError());
            sdl->AudioQuit();
            return false;
        }
        FSdl = std::move(sdl);
    }
    if (!FSdl) return false;
    if (FDevice && format.Channels == FChannels && format.Rate == FRate &&
        format.BitsPerSample == FBits)
        return true;
    if (FDevice) FSdl->CloseAudioDevice(FDevice);
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
    FDevice = FSdl->OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (!FDevice) {
        // No sound device: silence, and the program goes on.
        std::fprintf(stderr, "sablewick: no sound device: %s\n", FSdl->GetError());
        FSdl->AudioQuit();
        FSdl.reset();
        return false;
    }
    FChannels = format.Channels;
    FRate = format.Rate;
    FBits = format.BitsPerSample;
    FSilence = have.silence;
    FSdl->PauseAudioDevice(FDevice, 0);
    return true;
}

void TGtkPlatform::PlaySoundBytes(const TResourceView& wav) {
    if (!wav.Data) return;
    if (!FSound) FSound.reset(new TGtkSound);
    FSound->Play(wav.Data);
}

void TGtkPlatform::StopSoundPlaying() {
    if (FSound) FSound->Stop();
}
