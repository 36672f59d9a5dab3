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

// A shape never loaded is none to show: the pointer stays, as a cursor handle that names
// no cursor would leave it.
void THeadlessPlatform::SetPointer(int number) {
    if (LoadedPointers.count(number)) Pointer = number;
}
