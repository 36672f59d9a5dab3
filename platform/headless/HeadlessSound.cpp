// Sound: what would play is recorded by its resource name.
#include "platform/headless/HeadlessPlatform.h"

void THeadlessPlatform::PlaySoundBytes(const TResourceView& wav) {
    const std::string name = ResourceNameAt(wav.Data);
    Sounds.push_back(name.empty() ? "?" : name);
}
