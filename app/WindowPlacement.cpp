// Putting the window back where it was saved, unless that is where nobody can reach it.
#include "app/WindowPlacement.h"

#include <algorithm>
#include <limits>

#include "app/MainUnit.h"

namespace {
int64_t Overlap(int64_t a0, int64_t a1, int64_t b0, int64_t b1) {
    return std::max<int64_t>(0, std::min(a1, b1) - std::max(a0, b0));
}

int ToInt(int64_t v) {
    return static_cast<int>(
        std::clamp<int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}
}  // namespace

void ReachableWindowPos(int64_t& left, int64_t& top, int width, int height,
                        const std::vector<TScreenRect>& workAreas, const TScreenRect& nearest) {
    const int64_t needW = std::min(width, kGrabbableSize);
    const int64_t needH = std::min(height, kGrabbableSize);
    for (const TScreenRect& a : workAreas) {
        if (Overlap(left, left + width, a.Left, a.Right) >= needW &&
            Overlap(top, top + height, a.Top, a.Bottom) >= needH)
            return;
    }
    // Into the nearest work area; a window larger than it keeps its top-left corner
    // inside, so the part the user grabs is on the screen.
    left = std::max<int64_t>(nearest.Left, std::min<int64_t>(left, int64_t{nearest.Right} - width));
    top = std::max<int64_t>(nearest.Top, std::min<int64_t>(top, int64_t{nearest.Bottom} - height));
}

TScreenRect SavedWindowRect(int64_t left, int64_t top, int width, int height) {
    TScreenRect r;
    r.Left = ToInt(left);
    r.Top = ToInt(top);
    r.Right = ToInt(left + width);
    r.Bottom = ToInt(top + height);
    return r;
}

void TOrvaneFM::PlaceWindow(int left, int top) {
    int64_t x = left, y = top;
    ReachableWindowPos(x, y, kWindowWidth, kWindowHeight, Os.MonitorWorkAreas(),
                       Os.NearestWorkArea(SavedWindowRect(x, y, kWindowWidth, kWindowHeight)));
    Os.SetWindowPos(ToInt(x), ToInt(y));
}
