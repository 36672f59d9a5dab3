// Code page 932 and UTF-8 against the wide-character API. The code page is always named
// explicitly (never CP_ACP), so the program's Shift-JIS texts read the same on a Windows
// set to any locale.
#include <climits>

#include "platform/win32/Win32Platform.h"

namespace {
constexpr UINT kShiftJis = 932;

std::wstring ToWide(UINT codePage, const std::string& bytes) {
    if (bytes.empty()) return std::wstring();
    // Explicit lengths: a text may hold NUL bytes, which must survive the trip.
    if (bytes.size() > static_cast<size_t>(INT_MAX)) return std::wstring();
    const int inLen = static_cast<int>(bytes.size());
    const int n = MultiByteToWideChar(codePage, 0, bytes.data(), inLen, nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), inLen, &out[0], n);
    return out;
}

std::string FromWide(UINT codePage, DWORD flags, const std::wstring& wide) {
    if (wide.empty()) return std::string();
    if (wide.size() > static_cast<size_t>(INT_MAX)) return std::string();
    const int inLen = static_cast<int>(wide.size());
    const int n =
        WideCharToMultiByte(codePage, flags, wide.data(), inLen, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), inLen, &out[0], n, nullptr, nullptr);
    return out;
}
}  // namespace

std::wstring SjisToWide(const std::string& sjis) {
    return ToWide(kShiftJis, sjis);
}

// No best-fit mapping: a character code page 932 lacks becomes '?' rather than some
// look-alike that could change the meaning of a path.
std::string WideToSjis(const std::wstring& wide) {
    return FromWide(kShiftJis, WC_NO_BEST_FIT_CHARS, wide);
}

std::wstring Utf8ToWide(const std::string& utf8) {
    return ToWide(CP_UTF8, utf8);
}

std::string WideToUtf8(const std::wstring& wide) {
    return FromWide(CP_UTF8, 0, wide);
}

std::string TWin32Platform::SjisToUtf8(const std::string& sjis) {
    return WideToUtf8(SjisToWide(sjis));
}

std::string TWin32Platform::Utf8ToSjis(const std::string& utf8) {
    return WideToSjis(Utf8ToWide(utf8));
}
