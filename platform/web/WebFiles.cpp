// The program's folder, in memory. The files that must outlive the page (the settings)
// are kept in the page's local storage as well, written whole in one step; storage that
// is full or refused fails the write and leaves the stored file as it was.
#include <emscripten.h>

#include "platform/web/WebPlatform.h"

namespace {
EM_JS(int, sw_store, (const char* path, const char* data, int size),
      { return SW.store(UTF8ToString(path), HEAPU8.subarray(data, data + size)) ? 1 : 0; });

EM_JS(int, sw_unstore, (const char* path), { return SW.unstore(UTF8ToString(path)) ? 1 : 0; });

bool EndsWith(const std::string& s, const char* tail) {
    const std::string t(tail);
    return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

// A path names a file in a folder: not empty, not a folder itself.
bool FileName(const std::string& path) {
    return !path.empty() && path.back() != '/' && path.find('\0') == std::string::npos;
}
}  // namespace

bool TWebPlatform::Lasting(const std::string& path) {
    return EndsWith(path, ".ini");
}

bool TWebPlatform::FileExists(const std::string& path) {
    return FFiles.count(path) != 0;
}

bool TWebPlatform::ReadFile(const std::string& path, std::string& data) {
    const auto f = FFiles.find(path);
    if (f == FFiles.end()) return false;
    data = f->second;
    return true;
}

bool TWebPlatform::WriteFile(const std::string& path, const std::string& data) {
    if (!FileName(path)) return false;
    if (Lasting(path) && !sw_store(path.c_str(), data.data(), static_cast<int>(data.size())))
        return false;
    FFiles[path] = data;
    return true;
}

bool TWebPlatform::ReplaceFile(const std::string& from, const std::string& to) {
    const auto f = FFiles.find(from);
    if (f == FFiles.end() || !FileName(to)) return false;
    if (from == to) return true;
    // The stored copy is replaced first: when the storage refuses, both files stay.
    if (Lasting(to) && !sw_store(to.c_str(), f->second.data(), static_cast<int>(f->second.size())))
        return false;
    if (Lasting(from)) sw_unstore(from.c_str());
    FFiles[to] = std::move(f->second);
    FFiles.erase(from);
    return true;
}

bool TWebPlatform::DeleteFile(const std::string& path) {
    const auto f = FFiles.find(path);
    if (f == FFiles.end()) return false;
    if (Lasting(path) && !sw_unstore(path.c_str())) return false;
    FFiles.erase(f);
    return true;
}
