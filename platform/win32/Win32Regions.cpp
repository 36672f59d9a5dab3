// Regions for the window shape: GDI regions behind the opaque TRegionHandle.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/win32/Win32Platform.h"

TRegionHandle TWin32Platform::CreateRectRegion(int left, int top, int right, int bottom) {
    return CreateRectRgn(left, top, right, bottom);
}

TRegionHandle TWin32Platform::CreateRegionFromRects(const TRegionRect* rects, size_t count) {
    if (!rects && count > 0) return nullptr;
    // RGNDATA: the header, then the rectangles; GDI is handed only rectangles with area,
    // and their bounds in the header.
    std::vector<RECT> kept;
    kept.reserve(count);
    RECT bounds = {0, 0, 0, 0};
    for (size_t i = 0; i < count; ++i) {
        const TRegionRect& r = rects[i];
        if (r.Right <= r.Left || r.Bottom <= r.Top) continue;
        const RECT rect = {r.Left, r.Top, r.Right, r.Bottom};
        if (kept.empty()) {
            bounds = rect;
        } else {
            bounds.left = std::min(bounds.left, rect.left);
            bounds.top = std::min(bounds.top, rect.top);
            bounds.right = std::max(bounds.right, rect.right);
            bounds.bottom = std::max(bounds.bottom, rect.bottom);
        }
        kept.push_back(rect);
    }
    if (kept.empty()) return CreateRectRgn(0, 0, 0, 0);
    const size_t rectBytes = kept.size() * sizeof(RECT);
    std::vector<uint8_t> data(sizeof(RGNDATAHEADER) + rectBytes);
    RGNDATAHEADER header = {};
    header.dwSize = sizeof(RGNDATAHEADER);
    header.iType = RDH_RECTANGLES;
    header.nCount = static_cast<DWORD>(kept.size());
    header.nRgnSize = static_cast<DWORD>(rectBytes);
    header.rcBound = bounds;
    std::memcpy(data.data(), &header, sizeof header);
    std::memcpy(data.data() + sizeof header, kept.data(), rectBytes);
    XFORM identity;
    identity.eM11 = 1.0f;
    identity.eM12 = 0.0f;
    identity.eM21 = 0.0f;
    identity.eM22 = 1.0f;
    identity.eDx = 0.0f;
    identity.eDy = 0.0f;
    return ExtCreateRegion(&identity, static_cast<DWORD>(data.size()),
                           reinterpret_cast<const RGNDATA*>(data.data()));
}

bool TWin32Platform::CombineRegionOr(TRegionHandle dest, TRegionHandle a, TRegionHandle b) {
    if (!dest || !a || !b) return false;
    return CombineRgn(static_cast<HRGN>(dest), static_cast<HRGN>(a), static_cast<HRGN>(b),
                      RGN_OR) != ERROR;
}

bool TWin32Platform::CopyRegion(TRegionHandle dest, TRegionHandle src) {
    if (!dest || !src) return false;
    return CombineRgn(static_cast<HRGN>(dest), static_cast<HRGN>(src), nullptr, RGN_COPY) != ERROR;
}

void TWin32Platform::DeleteRegion(TRegionHandle region) {
    if (region) DeleteObject(static_cast<HRGN>(region));
}

bool TWin32Platform::RegionContains(TRegionHandle region, int x, int y) {
    return region && PtInRegion(static_cast<HRGN>(region), x, y) != FALSE;
}
