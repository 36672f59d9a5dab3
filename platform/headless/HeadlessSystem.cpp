// The program's path and the pretend clock.
#include "platform/headless/HeadlessPlatform.h"

std::string THeadlessPlatform::ProgramPath() {
    return Dir + "Sablewick.exe";
}
