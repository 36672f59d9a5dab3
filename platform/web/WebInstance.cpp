// One window per browser: the first page to take the browser's lock runs the program;
// another says so in one line and starts nothing, so two pages never write the settings
// over each other.
#include <emscripten.h>

#include "platform/web/WebPlatform.h"

namespace {
EM_ASYNC_JS(int, sw_claim_instance, (), { return (await SW.claimInstance()) ? 1 : 0; });
}  // namespace

bool TWebPlatform::ActivateRunningInstance(const std::string&) {
    if (!sw_claim_instance()) return false;
    EM_ASM(SW.otherRunning());
    return true;
}

void TWebPlatform::SetApplicationTitle(const std::string& title) {
    EM_ASM({ document.title = SW.decode(HEAPU8.subarray($0, $0 + $1)); }, title.data(),
           static_cast<int>(title.size()));
}
