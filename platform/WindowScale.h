#pragma once
#include <cstdint>
#include <vector>

#include "common/Picture.h"
#include "platform/Platform.h"

// How the program's own pixels (its 737 x 584 window, every rectangle, hit test and
// picture in them) are shown on a monitor whose resolution asks for larger ones. The
// program never sees the scale: a backend maps at the boundary, with this one rule.
//
// Physical pixel p shows the stretch [p / s, (p + 1) / s) of the program's pixels. Its
// colour is the area-weighted mean of the (at most two) program pixels under it, and a
// point on it means the program pixel under its centre, floor((p + 0.5) / s). So a
// program rectangle [x0, x1) becomes the physical pixels [Edge(x0), Edge(x1)), which are
// exactly those that map back into it: a button's last pixel maps inside the button,
// the next one outside, at every scale.
class TWindowScale {
public:
    TWindowScale() = default;  // 100 %
    TWindowScale(double factor, int logicalWidth, int logicalHeight);

    // The scale for a monitor of `dpi` dots per inch (96 is 100 %) whose work area is
    // workWidth x workHeight: dpi / 96, but no larger than lets the whole window fit the
    // work area, and never below 1.
    static TWindowScale Choose(int dpi, int workWidth, int workHeight, int logicalWidth,
                               int logicalHeight);

    double Factor() const { return S; }
    bool Identity() const { return S == 1.0; }
    int LogicalWidth() const { return W; }
    int LogicalHeight() const { return H; }
    // The window's size in physical pixels: the logical size times the factor, rounded.
    int PhysicalWidth() const { return PhysW; }
    int PhysicalHeight() const { return PhysH; }

    // The physical pixel boundary of a program pixel boundary.
    int Edge(int logical) const;
    // The program pixel under physical pixel (or point) p; outside the window (a captured
    // drag) the same rule goes on beyond its edges.
    int ToLogical(int physical) const;
    // A length in program pixels (a font height, a pointer size) in physical pixels.
    int Length(int logical) const;

private:
    double S = 1.0;
    int W = 0, H = 0;
    int PhysW = 0, PhysH = 0;
};

// Of the monitors' work areas, the one a rectangle overlaps most, else the one closest
// to it, as Windows' MonitorFromRect picks; an empty rectangle when there are none.
TScreenRect NearestArea(const TScreenRect& rect, const std::vector<TScreenRect>& areas);

// Where a physical rectangle starts and how large it is.
struct TPhysicalRect {
    int X = 0, Y = 0, W = 0, H = 0;
};

// Draws the part of the physical window that shows the program rectangle (x, y, w, h)
// of `logical` (a picture of the whole window), plus the pixels that mix it with its
// neighbours, into `dst` (the physical window's pixels, `dstStride` pixels a row).
// Returns the physical rectangle written. At 100 % it is a plain copy; at whole factors
// each program pixel becomes a square of equal pixels.
TPhysicalRect PresentScaled(const TPicture& logical, const TWindowScale& scale, int x, int y, int w,
                            int h, uint32_t* dst, int dstStride);
