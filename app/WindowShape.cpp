// The window's outline comes from its mask picture.
#include "app/MainUnit.h"

void TOrvaneFM::BuildWindowShape(const TPicture& mask, uint32_t transparent) {
    // A mask that could not be read gives no shape at all: the window stays a rectangle
    // the user can see and grab, instead of an empty outline that shows and takes
    // nothing.
    if (mask.Empty()) {
        WindowShape.reset();
        return;
    }
    // The region is built from a 24-bit picture whatever the mask's own format. Our
    // pixels are the same in every format, so a mask already tagged 24-bit is used as it
    // is, and any other is copied once to change the tag.
    WindowShape = std::make_unique<TRegion>(Os);
    if (mask.BitsPerPixel == 24) {
        WindowShape->makeRgnFromBitmap(mask, transparent);
        return;
    }
    TPicture copy;
    copy.SetSize(mask.Width, mask.Height);
    CopyRect(mask, 0, 0, mask.Width, mask.Height, copy, 0, 0);
    copy.BitsPerPixel = 24;
    WindowShape->makeRgnFromBitmap(copy, transparent);
}
