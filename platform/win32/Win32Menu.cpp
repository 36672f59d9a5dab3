// The options menu: built afresh each time it opens, from the program's entries.
#include "platform/win32/Win32Platform.h"

int TWin32Platform::TrackPopupMenu(int x, int y, const TMenuEntry* entries, int count) {
    if (!FMain || !entries || count <= 0) return -1;
    HMENU menu = CreatePopupMenu();
    if (!menu) return -1;
    for (int i = 0; i < count; ++i) {
        const TMenuEntry& e = entries[i];
        if (e.SeparatorBefore) AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        UINT flags = MF_STRING;
        if (e.Checked) flags |= MF_CHECKED;
        if (!e.Enabled) flags |= MF_GRAYED;
        // Identifiers start at 1: TrackPopupMenu's 0 means "nothing chosen".
        const std::wstring caption = SjisToWide(e.Caption ? e.Caption : "");
        AppendMenuW(menu, flags, static_cast<UINT_PTR>(i + 1), caption.c_str());
    }
    // Without the window in the foreground the menu would not close when the user
    // clicks elsewhere, and without the message afterwards a second menu could fail to
    // open (the documented TrackPopupMenu behaviour).
    SetForegroundWindow(FMain);
    const BOOL chosen = ::TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_NONOTIFY, x, y,
        0, FMain, nullptr);
    PostMessageW(FMain, WM_NULL, 0, 0);
    DestroyMenu(menu);
    if (chosen <= 0 || chosen > count) return -1;
    return static_cast<int>(chosen) - 1;
}
