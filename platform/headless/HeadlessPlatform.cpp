// The headless backend: the real program on a pretend desktop. Its life; each concern is
// in the file of its name (HeadlessWindow.cpp, HeadlessControls.cpp, ...), and the pretend
// user in HeadlessInput.cpp.
#include "platform/headless/HeadlessPlatform.h"

THeadlessPlatform::THeadlessPlatform(const std::string& programDir) : Dir(programDir) {
    if (!Dir.empty() && Dir.back() != '/') Dir.push_back('/');
}

THeadlessPlatform::~THeadlessPlatform() {
    if (WindowRegion) DeleteRegion(WindowRegion);
}
