// Regions as Cairo regions: the window shape is handed to GTK as one.
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/gtk/GtkPlatform.h"

namespace {
cairo_region_t* AsRegion(TRegionHandle h) {
    return static_cast<cairo_region_t*>(h);
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

TRegionHandle TGtkPlatform::CreateRegionFromRects(const TRegionRect* rects, size_t count) {
    if (!rects && count > 0) return nullptr;
    std::vector<cairo_rectangle_int_t> cairoRects;
    cairoRects.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const TRegionRect& r = rects[i];
        if (r.Right <= r.Left || r.Bottom <= r.Top) continue;
        // The width in 64 bits: edges far apart must not wrap into a small rectangle.
        const int64_t w = int64_t{r.Right} - r.Left, h = int64_t{r.Bottom} - r.Top;
        if (w > INT32_MAX || h > INT32_MAX) return nullptr;
        cairoRects.push_back({r.Left, r.Top, static_cast<int>(w), static_cast<int>(h)});
    }
    return Checked(
        cairo_region_create_rectangles(cairoRects.data(), static_cast<int>(cairoRects.size())));
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
