// The clock and the message box.
#include <emscripten.h>

#include <cmath>
#include <cstdint>

#include "platform/web/WebPlatform.h"

namespace {
EM_JS(double, sw_now, (), { return performance.now(); });

EM_JS(void, sw_today, (int* out), {
    const d = new Date();
    HEAP32[out >> 2] = d.getFullYear();
    HEAP32[(out >> 2) + 1] = d.getMonth() + 1;
    HEAP32[(out >> 2) + 2] = d.getDate();
});

EM_JS(double, sw_seed, (int part), {
    if (part == 0) return Date.now();
    const a = new Uint32Array(1);
    crypto.getRandomValues(a);
    return a[0];
});

EM_ASYNC_JS(void, sw_error_box, (const char* title, int titleSize, const char* text, int textSize),
            {
                await SW.dialog(SW.decode(HEAPU8.subarray(title, title + titleSize)),
                                SW.decode(HEAPU8.subarray(text, text + textSize)), 'error');
            });
}  // namespace

uint32_t TWebPlatform::TickCount() {
    // performance.now() never goes back; the count wraps as Windows' does.
    return static_cast<uint32_t>(static_cast<uint64_t>(std::floor(sw_now())));
}

TDate TWebPlatform::Today() {
    int d[3] = {2000, 1, 1};
    sw_today(d);
    return TDate{d[0], d[1], d[2]};
}

uint64_t TWebPlatform::ClockSeed() {
    const uint64_t ms = static_cast<uint64_t>(sw_seed(0));
    return (ms << 20) ^ static_cast<uint64_t>(sw_seed(1));
}

void TWebPlatform::ShowErrorBox(const std::string& title, const std::string& text) {
    sw_error_box(title.data(), static_cast<int>(title.size()), text.data(),
                 static_cast<int>(text.size()));
}
