// Pointer shapes from the program's own cursor resources, shown over the whole window.
#include "common/Errors.h"
#include "common/MySysU.h"
#include "common/SjisTexts.h"
#include "platform/win32/Win32Platform.h"

namespace {
// The size of a pointer on a monitor of `dpi`: the system's own for it where Windows
// tells it (10, version 1607 and later, asked for by name), else the system size grown
// with the monitor.
int PointerSize(int dpi) {
    using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
    static GetSystemMetricsForDpiFn forDpi = [] {
        HMODULE user = GetModuleHandleW(L"user32.dll");
        return user ? reinterpret_cast<GetSystemMetricsForDpiFn>(
                          reinterpret_cast<void*>(GetProcAddress(user, "GetSystemMetricsForDpi")))
                    : nullptr;
    }();
    if (forDpi) {
        const int size = forDpi(SM_CXCURSOR, static_cast<UINT>(dpi));
        if (size > 0) return size;
    }
    HDC screen = GetDC(nullptr);
    const int systemDpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return MulDiv(GetSystemMetrics(SM_CXCURSOR), dpi, systemDpi > 0 ? systemDpi : 96);
}
}  // namespace

void TWin32Platform::LoadPointer(int number, const std::string& name) {
    if (number < 1 || number > 8) return;
    // Loaded at the pointer size of the window's monitor; the hot spot scales with the
    // picture. Not shared, so each size is a cursor of its own, freed when replaced.
    const int size = PointerSize(FDpi);
    HCURSOR cursor = static_cast<HCURSOR>(
        LoadImageW(FInstance, SjisToWide(name).c_str(), IMAGE_CURSOR, size, size, 0));
    if (!cursor) throw EResNotFound(Format(sjis::kResNotFound, name.c_str()));
    if (FPointers[number]) {
        if (FCurrentPointer == FPointers[number]) FCurrentPointer = cursor;
        DestroyCursor(FPointers[number]);
    }
    FPointers[number] = cursor;
    FPointerNames[number] = name;
}

void TWin32Platform::SetPointer(int number) {
    if (number < 1 || number > 8 || !FPointers[number]) return;
    FCurrentPointer = FPointers[number];
    FCurrentPointerNumber = number;
    // Change the visible pointer at once when it is over one of our windows (or held by
    // a drag of ours); elsewhere the next WM_SETCURSOR over the window shows it.
    POINT p = {0, 0};
    GetCursorPos(&p);
    HWND under = WindowFromPoint(p);
    DWORD pid = 0;
    if (under) GetWindowThreadProcessId(under, &pid);
    if (GetCapture() != nullptr || pid == GetCurrentProcessId()) SetCursor(FCurrentPointer);
}
