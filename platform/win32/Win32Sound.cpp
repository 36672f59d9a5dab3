// Sound: the program's WAV bytes played by winmm from memory.
#include "platform/win32/Win32Platform.h"

#include <mmsystem.h>

namespace {
using SndPlaySoundFn = BOOL(WINAPI*)(LPCSTR, UINT);
// winmm is loaded by the first sound, on the thread that plays them all: until then
// nothing of ours plays, and there is nothing to stop.
SndPlaySoundFn gPlay = nullptr;
bool gLoaded = false;
}  // namespace

void TWin32Platform::PlaySoundBytes(const TResourceView& wav) {
    if (!wav.Data) return;
    if (!gLoaded) {
        gLoaded = true;
        gPlay = reinterpret_cast<SndPlaySoundFn>(
            SystemFunction(LoadSystemLibrary(L"winmm.dll"), "sndPlaySoundA"));
    }
    // With SND_MEMORY the "name" is the WAV bytes themselves; they stay valid for the
    // life of the process (resource views), as asynchronous playback needs. No default
    // sound stands in for one that cannot play.
    if (gPlay) gPlay(reinterpret_cast<LPCSTR>(wav.Data), SND_ASYNC | SND_NODEFAULT | SND_MEMORY);
}

void TWin32Platform::StopSoundPlaying() {
    if (gPlay) gPlay(nullptr, 0);
}
