// The region data stream: a stream that lies about its rectangle count, or holds
// anything else, is refused with the old shape kept and no region handle lost; a stream
// that is accepted covers its rectangles.
#include <cstdint>
#include <cstring>
#include <string>

#include "app/RegionU.h"
#include "common/ByteOrder.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    THeadlessPlatform os("/fuzz/");
    {
        TRegion region(os);
        // The shape before: the one pixel (5, 5).
        TMemoryStream first;
        for (uint32_t v : {32u, 1u, 1u, 0u, 0u, 0u, 10u, 10u, 5u, 5u, 6u, 6u})
            AppendU32(first.Data, v);
        region.LoadFromStream(first);
        FUZZ_CHECK(os.RegionContains(region.Handle(), 5, 5));

        TMemoryStream stream;
        stream.Data.assign(reinterpret_cast<const char*>(data), size);
        bool refused = false;
        try {
            region.LoadFromStream(stream);
        } catch (const ERgnError&) {
            refused = true;
        }
        if (refused) {
            FUZZ_CHECK(os.RegionContains(region.Handle(), 5, 5));
            FUZZ_CHECK(!os.RegionContains(region.Handle(), 6, 6));
        } else {
            // Only a stream that holds every rectangle it claims is accepted.
            FUZZ_CHECK(size >= 32);
            const uint64_t count = GetU32(data + 8);
            FUZZ_CHECK(count * 16 <= size - 32);
            for (uint64_t i = 0; i < count && i < 64; ++i) {
                const uint8_t* r = data + 32 + i * 16;
                const int32_t left = GetI32(r), top = GetI32(r + 4), right = GetI32(r + 8),
                              bottom = GetI32(r + 12);
                if (right > left && bottom > top) {
                    FUZZ_CHECK(os.RegionContains(region.Handle(), left, top));
                    FUZZ_CHECK(os.RegionContains(region.Handle(), right - 1, bottom - 1));
                }
            }
        }
        FUZZ_CHECK(os.LiveRegions == 1);
        // A copy for the window is a region of its own.
        TRegionHandle copy = region.CopyHandle();
        FUZZ_CHECK(os.LiveRegions == 2);
        os.DeleteRegion(copy);
    }
    FUZZ_CHECK(os.LiveRegions == 0);
    return 0;
}
