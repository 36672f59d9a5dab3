// The one place that turns GetLastError into a message.
#include <cstdio>

#include "common/Errors.h"
#include "platform/win32/Win32Platform.h"

std::string Win32ErrorText(const char* what) {
    const DWORD code = GetLastError();
    wchar_t* buffer = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring message;
    if (n > 0 && buffer) {
        message.assign(buffer, n);
        // System messages end in CR LF.
        while (!message.empty() &&
               (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
            message.pop_back();
    }
    if (buffer) LocalFree(buffer);
    char codeText[32];
    std::snprintf(codeText, sizeof codeText, " (%lu)", static_cast<unsigned long>(code));
    return std::string(what) + ": " + WideToSjis(message) + codeText;
}

void ThrowWin32Error(const char* what) {
    throw EError(Win32ErrorText(what));
}
