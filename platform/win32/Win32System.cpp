// The program's own path and the clock.
#include "platform/win32/Win32Platform.h"

namespace {
// The module's path, however long: GetModuleFileNameW cuts silently when the buffer is
// too small, so the buffer grows until the path fits.
std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (n == 0) return std::wstring();
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        if (path.size() >= 32768) return std::wstring();  // longer than any Windows path
        path.resize(path.size() * 2);
    }
}
}  // namespace

// Whole and in UTF-8: a folder named in any script is kept as it is, with no short (8.3)
// form, which volumes may not have.
std::string TWin32Platform::ProgramPath() {
    return WideToUtf8(ModulePath());
}

uint32_t TWin32Platform::TickCount() {
    return GetTickCount();
}

TDate TWin32Platform::Today() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    TDate d;
    d.Year = now.wYear;
    d.Month = now.wMonth;
    d.Day = now.wDay;
    return d;
}

uint64_t TWin32Platform::ClockSeed() {
    LARGE_INTEGER counter;
    counter.QuadPart = 0;
    QueryPerformanceCounter(&counter);
    return (static_cast<uint64_t>(GetTickCount()) << 32) ^ static_cast<uint64_t>(counter.QuadPart);
}
