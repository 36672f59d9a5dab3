// Sound: the program's WAV bytes played by winmm from memory.
#include "platform/win32/Win32Platform.h"

#include <mmsystem.h>

void TWin32Platform::PlaySoundBytes(const TResourceView& wav) {
    if (!wav.Data) return;
    // With SND_MEMORY the "name" is the WAV bytes themselves; they stay valid for the
    // life of the process (resource views), as asynchronous playback needs. No default
    // sound stands in for one that cannot play.
    sndPlaySoundA(reinterpret_cast<LPCSTR>(wav.Data), SND_ASYNC | SND_NODEFAULT | SND_MEMORY);
}

void TWin32Platform::StopSoundPlaying() {
    sndPlaySoundA(nullptr, 0);
}
