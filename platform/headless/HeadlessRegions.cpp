// Regions as band lists of our own (RegionSet.h), counted while they live.
#include "platform/headless/HeadlessPlatform.h"
#include "platform/RegionSet.h"

namespace {
TRegionSet* AsRegion(TRegionHandle h) {
    return static_cast<TRegionSet*>(h);
}
}  // namespace

TRegionHandle THeadlessPlatform::CreateRectRegion(int left, int top, int right, int bottom) {
    ++LiveRegions;
    return new TRegionSet(TRegionSet::FromRect(left, top, right, bottom));
}

TRegionHandle THeadlessPlatform::CreateRegionFromRects(const TRegionRect* rects, size_t count) {
    if (!rects && count > 0) return nullptr;
    ++LiveRegions;
    return new TRegionSet(TRegionSet::FromRects(rects, count));
}

bool THeadlessPlatform::CombineRegionOr(TRegionHandle dest, TRegionHandle a, TRegionHandle b) {
    if (!dest || !a || !b) return false;
    *AsRegion(dest) = TRegionSet::Union(*AsRegion(a), *AsRegion(b));
    return true;
}

bool THeadlessPlatform::CopyRegion(TRegionHandle dest, TRegionHandle src) {
    if (!dest || !src) return false;
    *AsRegion(dest) = *AsRegion(src);
    return true;
}

void THeadlessPlatform::DeleteRegion(TRegionHandle region) {
    if (!region) return;
    --LiveRegions;
    delete AsRegion(region);
}

bool THeadlessPlatform::RegionContains(TRegionHandle region, int x, int y) {
    return region && AsRegion(region)->Contains(x, y);
}
