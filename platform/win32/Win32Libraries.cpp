// The system DLLs the program needs only for some of its work (the shell, sound, COM,
// screen readers, per-monitor scaling) are loaded when first used, not imported: a start
// that never plays a sound or opens a link pays nothing for them. They are loaded from
// the system folder only, never from the program's folder or the current one, where a
// planted DLL of the same name would be found first.
#include "platform/win32/Win32Platform.h"

HMODULE LoadSystemLibrary(const wchar_t* name) {
    // Loaded already (by the system itself, or an earlier call): the same module.
    HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module || GetLastError() != ERROR_INVALID_PARAMETER) return module;
    // A Windows 7 without the update that brought the search flags refuses them: the
    // full path in the system folder asks for the same file.
    wchar_t path[MAX_PATH];
    const UINT n = GetSystemDirectoryW(path, MAX_PATH);
    const size_t length = lstrlenW(name);
    if (n == 0 || n + 1 + length >= MAX_PATH) return nullptr;
    path[n] = L'\\';
    lstrcpynW(path + n + 1, name, static_cast<int>(MAX_PATH - n - 1));
    return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void* SystemFunction(HMODULE module, const char* name) {
    return module ? reinterpret_cast<void*>(GetProcAddress(module, name)) : nullptr;
}
