// Regions as band lists of our own (platform/RegionSet.h): the page has none.
#include "platform/RegionSet.h"
#include "platform/web/WebPlatform.h"

namespace {
TRegionSet* AsRegion(TRegionHandle h) {
    return static_cast<TRegionSet*>(h);
}
}  // namespace

TRegionHandle TWebPlatform::CreateRectRegion(int left, int top, int right, int bottom) {
    return new TRegionSet(TRegionSet::FromRect(left, top, right, bottom));
}

TRegionHandle TWebPlatform::CreateRegionFromRects(const TRegionRect* rects, size_t count) {
    if (!rects && count > 0) return nullptr;
    return new TRegionSet(TRegionSet::FromRects(rects, count));
}

bool TWebPlatform::CombineRegionOr(TRegionHandle dest, TRegionHandle a, TRegionHandle b) {
    if (!dest || !a || !b) return false;
    *AsRegion(dest) = TRegionSet::Union(*AsRegion(a), *AsRegion(b));
    return true;
}

bool TWebPlatform::CopyRegion(TRegionHandle dest, TRegionHandle src) {
    if (!dest || !src) return false;
    *AsRegion(dest) = *AsRegion(src);
    return true;
}

void TWebPlatform::DeleteRegion(TRegionHandle region) {
    if (region == FRegion) FRegion = nullptr;
    delete AsRegion(region);
}

bool TWebPlatform::RegionContains(TRegionHandle region, int x, int y) {
    return region && AsRegion(region)->Contains(x, y);
}
