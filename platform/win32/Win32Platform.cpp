// The backend's own life: what it holds beyond the window is freed when it goes.
#include "platform/win32/Win32Platform.h"

TWin32Platform::TWin32Platform(HINSTANCE instance) : FInstance(instance) {
    if (!FInstance) FInstance = GetModuleHandleW(nullptr);
}

TWin32Platform::~TWin32Platform() {
    // The events object (the main window class of the program) is gone by now; nothing
    // may reach it while the window and its children are torn down.
    FEvents = nullptr;
    DestroyMainWindow();
    for (auto& entry : FChildren) {
        if (entry.second->Background) DeleteObject(entry.second->Background);
        delete entry.second;
    }
    FChildren.clear();
    for (auto& font : FFonts) DeleteObject(font.second);
    FFonts.clear();
    if (FMemDC) {
        SelectObject(FMemDC, FOldBitmap);
        DeleteDC(FMemDC);
    }
    if (FDib) DeleteObject(FDib);
    if (FScaledShape) DeleteObject(FScaledShape);
    // The pointers were loaded at a size of their own, not shared: freed here, after the
    // system's arrow has taken over from one still shown.
    for (HCURSOR& cursor : FPointers) {
        if (!cursor) continue;
        if (GetCursor() == cursor)
            SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
        DestroyCursor(cursor);
        cursor = nullptr;
    }
}
