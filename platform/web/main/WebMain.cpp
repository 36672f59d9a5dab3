// The page's program: started when the page's script has loaded, ended with the window.
#include <emscripten.h>

#include <exception>

#include "app/MainUnit.h"
#include "platform/web/WebPlatform.h"

namespace {
TWebPlatform* gPlatform = nullptr;
}  // namespace

// The page is hidden or left (WebPage.js): the settings are written at once.
extern "C" EMSCRIPTEN_KEEPALIVE void sw_end_session() {
    if (gPlatform) gPlatform->EndSession();
}

int main() {
    EM_ASM(performance.mark('sablewick-main'));
    TWebPlatform platform;
    gPlatform = &platform;
    int status = 1;
    try {
        // No second thread in a page: the first frame's pictures are decoded as they are
        // needed.
        status = RunProgram(platform, nullptr);
    } catch (const std::exception& e) {
        platform.ShowErrorBox("Sablewick", e.what());
    }
    gPlatform = nullptr;
    return status;
}
