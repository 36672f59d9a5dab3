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

// The program keeps its paths in code page 932. A folder name that code page cannot spell
// (Cyrillic on a Japanese program's path, say) would turn into '?' and every file next to
// the program would be lost; the short 8.3 form of the same path avoids that where the
// volume keeps short names.
std::string TWin32Platform::ProgramPath() {
    const std::wstring path = ModulePath();
    std::string sjis = WideToSjis(path);
    if (SjisToWide(sjis) != path) {
        const DWORD n = GetShortPathNameW(path.c_str(), nullptr, 0);
        if (n > 0) {
            std::wstring shortPath(n, L'\0');
            const DWORD m = GetShortPathNameW(path.c_str(), &shortPath[0], n);
            if (m > 0 && m < n) {
                shortPath.resize(m);
                const std::string shortSjis = WideToSjis(shortPath);
                if (SjisToWide(shortSjis) == shortPath) sjis = shortSjis;
            }
        }
    }
    return sjis;
}

uint32_t TWin32Platform::TickCount() { return GetTickCount(); }

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
    return (static_cast<uint64_t>(GetTickCount()) << 32) ^
           static_cast<uint64_t>(counter.QuadPart);
}
