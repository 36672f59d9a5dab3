// Files by code page 932 paths through the wide API.
#include "platform/win32/Win32Platform.h"

bool TWin32Platform::FileExists(const std::string& path) {
    if (path.empty()) return false;
    const DWORD attributes = GetFileAttributesW(SjisToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool TWin32Platform::ReadFile(const std::string& path, std::string& data) {
    data.clear();
    if (path.empty()) return false;
    HANDLE file = CreateFileW(SjisToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
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
        if (!::ReadFile(file, &buffer[done], static_cast<DWORD>(buffer.size() - done), &got, nullptr)) {
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
    const std::wstring wide = SjisToWide(path);
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

bool TWin32Platform::ReplaceFile(const std::string& from, const std::string& to) {
    if (from.empty() || to.empty()) return false;
    return MoveFileExW(SjisToWide(from).c_str(), SjisToWide(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool TWin32Platform::DeleteFile(const std::string& path) {
    if (path.empty()) return false;
    return DeleteFileW(SjisToWide(path).c_str()) != FALSE;
}
