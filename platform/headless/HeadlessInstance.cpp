// One instance per desktop: another instance is there when the test says so.
#include "platform/headless/HeadlessPlatform.h"

bool THeadlessPlatform::ActivateRunningInstance(const std::string& caption) {
    if (!OtherInstanceRunning || caption != "Sablewick") return false;
    OtherInstanceMinimised = false;
    OtherInstanceActivated = true;
    return true;
}

void THeadlessPlatform::SetApplicationTitle(const std::string& title) {
    AppTitle = title;
}
