// Regions for the window shape: GDI regions behind the opaque TRegionHandle.
#include <cstring>

#include "platform/win32/Win32Platform.h"

TRegionHandle TWin32Platform::CreateRectRegion(int left, int top, int right, int bottom) {
    return CreateRectRgn(left, top, right, bottom);
}

TRegionHandle TWin32Platform::CreateRegionFromData(const void* data, uint32_t size) {
    // The data comes from a stream; its header is checked against the bytes really
    // given before GDI reads count x 16 bytes behind it.
    if (!data || size < sizeof(RGNDATAHEADER)) return nullptr;
    RGNDATAHEADER header;
    std::memcpy(&header, data, sizeof header);
    if (header.dwSize < sizeof(RGNDATAHEADER) || header.dwSize > size) return nullptr;
    if (header.iType != RDH_RECTANGLES) return nullptr;
    if (header.nCount > (size - header.dwSize) / sizeof(RECT)) return nullptr;
    XFORM identity;
    identity.eM11 = 1.0f;
    identity.eM12 = 0.0f;
    identity.eM21 = 0.0f;
    identity.eM22 = 1.0f;
    identity.eDx = 0.0f;
    identity.eDy = 0.0f;
    return ExtCreateRegion(&identity, size, static_cast<const RGNDATA*>(data));
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
