// Files by UTF-8 paths through the wide API: a path reaches Windows whole, whatever its
// folder names are.
#include "platform/win32/Win32Platform.h"

bool TWin32Platform::FileExists(const std::string& path) {
    if (path.empty()) return false;
    const DWORD attributes = GetFileAttributesW(Utf8ToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool TWin32Platform::ReadFile(const std::string& path, std::string& data) {
    data.clear();
    if (path.empty()) return false;
    HANDLE file = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size;
    // The program's files are small; anything near the address space is refused.
    if (!GetFileSizeEx(file, &size) || size.QuadPart > (1LL << 30)) {
        CloseHandle(file);
        return false;
    }
    std::string buffer(static_cast<size_t>(size.QuadPart), '\0');
    size_t done = 0;
    bool ok = true;
    while (done < buffer.size()) {
        DWORD got = 0;
        if (!::ReadFile(file, &buffer[done], static_cast<DWORD>(buffer.size() - done), &got,
                        nullptr)) {
            ok = false;
            break;
        }
        if (got == 0) break;  // the file shrank while we read it
        done += got;
    }
    CloseHandle(file);
    if (!ok) return false;
    buffer.resize(done);
    data.swap(buffer);
    return true;
}

bool TWin32Platform::WriteFile(const std::string& path, const std::string& data) {
    if (path.empty()) return false;
    const std::wstring wide = Utf8ToWide(path);
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    size_t done = 0;
    bool ok = true;
    while (done < data.size()) {
        const size_t chunk = data.size() - done > (1u << 20) ? (1u << 20) : data.size() - done;
        DWORD wrote = 0;
        if (!::WriteFile(file, data.data() + done, static_cast<DWORD>(chunk), &wrote, nullptr) ||
            wrote == 0) {
            ok = false;
            break;
        }
        done += wrote;
    }
    if (ok && !FlushFileBuffers(file)) ok = false;
    if (!CloseHandle(file)) ok = false;
    // A file cut short (a full disk) is worse than none: whoever reads it would take
    // the half for the whole.
    if (!ok) DeleteFileW(wide.c_str());
    return ok;
}

namespace {
// A virus scanner, the search indexer or a sync client opens a file just written for a
// moment, and while it holds it the file cannot be replaced. These are the answers for
// a file in someone else's hands; anything else will not go away by waiting.
bool HeldByAnother(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
           error == ERROR_LOCK_VIOLATION;
}

// Up to half a second in all: long enough for a scanner's look, short enough that a
// close never seems to hang.
constexpr int kReplaceAttempts = 10;
constexpr DWORD kReplaceRetryMs = 50;
}  // namespace

bool TWin32Platform::ReplaceFile(const std::string& from, const std::string& to) {
    if (from.empty() || to.empty()) return false;
    const std::wstring wideFrom = Utf8ToWide(from);
    const std::wstring wideTo = Utf8ToWide(to);
    // The move is one step on the volume: a failed attempt leaves both files as they were.
    for (int attempt = 1;; ++attempt) {
        if (MoveFileExW(wideFrom.c_str(), wideTo.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD error = GetLastError();
        if (attempt >= kReplaceAttempts || !HeldByAnother(error)) return false;
        Sleep(kReplaceRetryMs);
    }
}

bool TWin32Platform::DeleteFile(const std::string& path) {
    if (path.empty()) return false;
    return DeleteFileW(Utf8ToWide(path).c_str()) != FALSE;
}
