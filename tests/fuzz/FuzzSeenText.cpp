// The seen-card text: any stored text decodes to exactly the cards whose character is
// "l", and encoding gives the 49-character form that decodes to the same set.
#include <cstdint>
#include <string>

#include "app/MainUnit.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    bool seen[MaxCard + 1];
    for (bool& s : seen) s = true;
    DecodeSeenText(text, seen);
    for (int k = 1; k <= MaxCard; ++k)
        FUZZ_CHECK(seen[k] == (static_cast<size_t>(k) <= size && text[k - 1] == 'l'));
    const std::string encoded = EncodeSeenText(seen);
    FUZZ_CHECK(encoded.size() == static_cast<size_t>(MaxCard));
    FUZZ_CHECK(encoded.find_first_not_of("l.") == std::string::npos);
    bool again[MaxCard + 1] = {};
    DecodeSeenText(encoded, again);
    for (int k = 1; k <= MaxCard; ++k) FUZZ_CHECK(again[k] == seen[k]);
    return 0;
}
