// The options menu: a page menu at the pointer, answered when the user chooses or
// dismisses it (the program waits meanwhile, as in a desktop's menu loop).
#include <emscripten.h>

#include <cmath>

#include "platform/web/WebPlatform.h"

namespace {
// Entries as one block of code page 932 captions, each followed by a zero byte, and a
// flag word each: 1 enabled, 2 checked, 4 a separator above it.
EM_ASYNC_JS(int, sw_track_menu,
            (double cssX, double cssY, const char* captions, const int* flags, int count), {
                const entries = [];
                let at = captions;
                for (let i = 0; i < count; ++i) {
                    let end = at;
                    while (HEAPU8[end]) ++end;
                    const f = HEAP32[(flags >> 2) + i];
                    entries.push({
                        caption : SW.decode(HEAPU8.subarray(at, end)),
                        enabled : (f & 1) != 0,
                        checked : (f & 2) != 0,
                        separatorBefore : (f & 4) != 0
                    });
                    at = end + 1;
                }
                return await SW.trackMenu(cssX, cssY, entries);
            });

EM_JS(double, sw_pixel_ratio, (), { return window.devicePixelRatio || 1; });
}  // namespace

int TWebPlatform::TrackPopupMenu(int x, int y, const TMenuEntry* entries, int count) {
    if (!entries || count <= 0) return -1;
    std::string captions;
    std::vector<int> flags;
    for (int i = 0; i < count; ++i) {
        captions += entries[i].Caption ? entries[i].Caption : "";
        captions.push_back('\0');
        flags.push_back((entries[i].Enabled ? 1 : 0) | (entries[i].Checked ? 2 : 0) |
                        (entries[i].SeparatorBefore ? 4 : 0));
    }
    // Screen positions are the page's device pixels.
    const double ratio = sw_pixel_ratio();
    const int choice = sw_track_menu(x / ratio, y / ratio, captions.data(), flags.data(), count);
    return choice >= 0 && choice < count ? choice : -1;
}
