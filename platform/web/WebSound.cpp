// Sound: a WAV resource's bytes decoded and played by the page's Web Audio.
#include <emscripten.h>

#include "platform/web/WebPlatform.h"

void TWebPlatform::PlaySoundBytes(const TResourceView& wav) {
    if (!wav.Data || wav.Size == 0) return;
    EM_ASM({ SW.play($0, $1); }, wav.Data, static_cast<int>(wav.Size));
}

void TWebPlatform::StopSoundPlaying() {
    EM_ASM(SW.stopSound());
}
