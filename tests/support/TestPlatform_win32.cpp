// The Windows test program's platform: the real Win32 backend, used without a window
// (resources, files, regions, text conversion).
#include <string>

#include "platform/win32/Win32Platform.h"
#include "support/TestPlatform.h"

std::unique_ptr<TPlatform> CreateTestPlatform(const std::string& /*programDir*/) {
    // The backend takes every path whole, so it needs no program directory of its own.
    return std::make_unique<TWin32Platform>(GetModuleHandleW(nullptr));
}

std::string MakeTempDir(const std::string& tag) {
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    std::wstring base = (n > 0 && n <= MAX_PATH) ? std::wstring(temp, n) : std::wstring(L".\\");
    if (base.back() != L'\\') base += L'\\';
    const std::wstring prefix = base + L"sablewick-" + Utf8ToWide(tag) + L"-" +
                                std::to_wstring(GetCurrentProcessId()) + L"-";
    for (unsigned i = 0; i < 10000; ++i) {
        const std::wstring dir = prefix + std::to_wstring(i);
        if (CreateDirectoryW(dir.c_str(), nullptr)) return WideToUtf8(dir) + "\\";
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    return std::string();
}
