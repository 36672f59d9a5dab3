// The Windows program's entry point.
#include <exception>

#include "app/MainUnit.h"
#include "content/DecodeAhead.h"
#include "platform/win32/Win32Platform.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    TWin32Platform platform(instance);
    try {
        // The window, its controls and their fonts keep this thread busy for much of the
        // start; the pictures of the first frame are decoded meanwhile on another.
        TDecodeAhead ahead(TDecodeAhead::Find(platform, kStartPictures, kStartPictureCount));
        return RunProgram(platform, &ahead);
    } catch (const std::exception& e) {
        // Only a failure of the platform itself (no window could be made) gets here;
        // the program reports its own start-up failures. The program's window object is
        // gone by now, while its window may still take paint messages under the box.
        platform.DetachEvents();
        platform.ShowErrorBox("Sablewick", e.what());
        return 1;
    }
}
