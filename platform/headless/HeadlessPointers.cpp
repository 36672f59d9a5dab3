// Pointers: the shapes loaded and the one shown, by number.
#include "common/Errors.h"
#include "common/MySysU.h"
#include "common/SjisTexts.h"
#include "platform/headless/HeadlessPlatform.h"

void THeadlessPlatform::LoadPointer(int number, const std::string& name) {
    TResourceView view;
    // A missing pointer is a missing resource, as on Windows.
    if (!FindResourceData("CURSOR", name, view))
        throw EResNotFound(Format(sjis::kResNotFound, name.c_str()));
    LoadedPointers[number] = AsciiUpper(name);
}
