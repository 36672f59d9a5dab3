#pragma once
#include <cstdint>
#include <vector>

#include "platform/Platform.h"

// The window has no caption: it can be moved only by a part of it that shows on some
// monitor. At least this much of it, each way, must be on a monitor's work area for the
// user to find and grab it.
constexpr int kGrabbableSize = 64;

// Where a window of `width` x `height` saved at (left, top) is shown. Where it was saved
// when enough of it is on one of `workAreas` (monitors at negative coordinates
// included); otherwise moved the least distance into `nearest` (the work area of the
// monitor nearest to it), its top-left corner kept inside when it is larger.
void ReachableWindowPos(int64_t& left, int64_t& top, int width, int height,
                        const std::vector<TScreenRect>& workAreas, const TScreenRect& nearest);

// The saved rectangle in the form the platform takes, brought into int range (a saved
// position may be anywhere an int reaches, and its right edge beyond).
TScreenRect SavedWindowRect(int64_t left, int64_t top, int width, int height);
