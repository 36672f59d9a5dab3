// One instance per desktop: the running one is found by its window's class and caption,
// the application title.
#include "platform/win32/Win32Platform.h"

void TWin32Platform::SetApplicationTitle(const std::string& title) {
    FTitleSjis = title;
    FTitle = SjisToWide(title);
    if (FMain) SetWindowTextW(FMain, FTitle.c_str());
}

bool TWin32Platform::ActivateRunningInstance(const std::string& caption) {
    // Our own window class as well as the caption: a folder named "Sablewick" open in
    // Explorer (the install folder has that name) is captioned the same.
    const std::wstring wide = SjisToWide(caption);
    HWND other = FindWindowW(kMainClass, wide.c_str());
    if (!other) return false;
    // Neither call is checked: the new process ends whether or not the running one
    // came forward.
    if (IsIconic(other)) OpenIcon(other);
    SetForegroundWindow(other);
    return true;
}
