// Sound cues: one numbered sound per action, played from the resource bytes in memory.
#include "app/MainUnit.h"

void TOrvaneFM::StopSound() {
    Os.StopSoundPlaying();
}

void TOrvaneFM::PlayCue(int n) {
    // Always stop first, muted or not: a new cue cuts off whatever is playing.
    StopSound();
    if (Options.MuteOn) return;
    // A creator code beyond the sound table would name a slot that does not exist;
    // such a cue stays silent instead of reading past the table.
    if (n < 1 || n > kSoundSlots || SoundTable[n].Data == nullptr) return;
    Os.PlaySoundBytes(SoundTable[n]);
}
