// Regions as Cairo regions: the window shape is handed to GTK as one.
#include <cstring>
#include <utility>
#include <vector>

#include "platform/gtk/GtkPlatform.h"

namespace {
cairo_region_t* AsRegion(TRegionHandle h) {
    return static_cast<cairo_region_t*>(h);
}

int32_t Le32(const uint8_t* p) {
    uint32_t v = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                 static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
    int32_t s;
    std::memcpy(&s, &v, 4);
    return s;
}

cairo_region_t* Checked(cairo_region_t* r) {
    if (cairo_region_status(r) == CAIRO_STATUS_SUCCESS) return r;
    cairo_region_destroy(r);
    return nullptr;
}
}  // namespace

TRegionHandle TGtkPlatform::CreateRectRegion(int left, int top, int right, int bottom) {
    // Edges given in either order name the same rectangle, as on Windows.
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    const cairo_rectangle_int_t r = {left, top, right - left, bottom - top};
    return Checked(cairo_region_create_rectangle(&r));
}

TRegionHandle TGtkPlatform::CreateRegionFromData(const void* data, uint32_t size) {
    // A 32-byte header (its own size 32, type 1, the rectangle count, ...) and 16 bytes
    // for each rectangle: left, top, right, bottom.
    if (!data || size < 32) return nullptr;
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (Le32(bytes) != 32 || Le32(bytes + 4) != 1) return nullptr;
    const uint32_t count = static_cast<uint32_t>(Le32(bytes + 8));
    if (count > (size - 32) / 16) return nullptr;
    std::vector<cairo_rectangle_int_t> rects;
    rects.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* p = bytes + 32 + 16 * static_cast<size_t>(i);
        const int32_t l = Le32(p), t = Le32(p + 4), r = Le32(p + 8), b = Le32(p + 12);
        if (r <= l || b <= t) continue;
        rects.push_back({l, t, r - l, b - t});
    }
    return Checked(cairo_region_create_rectangles(rects.data(), static_cast<int>(rects.size())));
}

bool TGtkPlatform::CombineRegionOr(TRegionHandle dest, TRegionHandle a, TRegionHandle b) {
    if (!dest || !a || !b) return false;
    // Built aside first: the destination may be one of the sources.
    cairo_region_t* result = cairo_region_copy(AsRegion(a));
    if (cairo_region_union(result, AsRegion(b)) != CAIRO_STATUS_SUCCESS) {
        cairo_region_destroy(result);
        return false;
    }
    const bool ok = CopyRegion(dest, result);
    cairo_region_destroy(result);
    return ok;
}

bool TGtkPlatform::CopyRegion(TRegionHandle dest, TRegionHandle src) {
    if (!dest || !src) return false;
    if (dest == src) return true;
    cairo_region_t* d = AsRegion(dest);
    // Emptied, then filled: a region handle stays the same object.
    const cairo_rectangle_int_t none = {0, 0, 0, 0};
    cairo_region_intersect_rectangle(d, &none);
    return cairo_region_union(d, AsRegion(src)) == CAIRO_STATUS_SUCCESS;
}

void TGtkPlatform::DeleteRegion(TRegionHandle region) {
    if (region) cairo_region_destroy(AsRegion(region));
}

bool TGtkPlatform::RegionContains(TRegionHandle region, int x, int y) {
    return region && cairo_region_contains_point(AsRegion(region), x, y);
}
