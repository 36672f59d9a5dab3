// Pointer shapes from the program's own cursor resources, shown over the whole window.
#include "common/Errors.h"
#include "common/MySysU.h"
#include "common/SjisTexts.h"
#include "platform/win32/Win32Platform.h"

void TWin32Platform::LoadPointer(int number, const std::string& name) {
    if (number < 1 || number > 8) return;
    HCURSOR cursor = LoadCursorW(FInstance, SjisToWide(name).c_str());
    if (!cursor) throw EResNotFound(Format(sjis::kResNotFound, name.c_str()));
    FPointers[number] = cursor;
}

void TWin32Platform::SetPointer(int number) {
    if (number < 1 || number > 8 || !FPointers[number]) return;
    FCurrentPointer = FPointers[number];
    // Change the visible pointer at once when it is over one of our windows (or held by
    // a drag of ours); elsewhere the next WM_SETCURSOR over the window shows it.
    POINT p = {0, 0};
    GetCursorPos(&p);
    HWND under = WindowFromPoint(p);
    DWORD pid = 0;
    if (under) GetWindowThreadProcessId(under, &pid);
    if (GetCapture() != nullptr || pid == GetCurrentProcessId()) SetCursor(FCurrentPointer);
}
