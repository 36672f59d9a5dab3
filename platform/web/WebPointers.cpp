// Pointers: the program's own cursor resources, with their hot spots, as the page's
// pointer over the whole window.
#include <emscripten.h>

#include "common/Errors.h"
#include "common/MySysU.h"
#include "common/SjisTexts.h"
#include "platform/CursorImage.h"
#include "platform/web/WebPlatform.h"

void TWebPlatform::LoadPointer(int number, const std::string& name) {
    TResourceView view;
    TCursorImage image;
    if (!FindResourceData("CURSOR", name, view) || !DecodeCursorImage(view.Data, view.Size, image))
        throw EResNotFound(Format(sjis::kResNotFound, name.c_str()));
    EM_ASM({ SW.loadCursor($0, $1, $2, $3, $4, $5); }, number, image.Rgba.data(), image.Width,
           image.Height, image.HotX, image.HotY);
}

void TWebPlatform::SetPointer(int number) {
    EM_ASM({ SW.useCursor($0); }, number);
}
