// The program's folder is a folder of the page's memory. The files that must outlive the
// page (the settings) are kept in the page's local storage too, each written whole in
// one step; storage that is full or refused fails the write or the move, and the file
// stays as it was, in storage and in the folder.
#include <emscripten.h>
#include <sys/stat.h>

#include "platform/web/WebPlatform.h"

namespace {
EM_JS(int, sw_store, (const char* path, const char* data, int size),
      { return SW.store(UTF8ToString(path), HEAPU8.subarray(data, data + size)) ? 1 : 0; });

EM_JS(int, sw_unstore, (const char* path), { return SW.unstore(UTF8ToString(path)) ? 1 : 0; });

bool EndsWith(const std::string& s, const char* tail) {
    const std::string t(tail);
    return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}
}  // namespace

bool TWebPlatform::Lasting(const std::string& path) {
    return EndsWith(path, ".ini");
}

void TWebPlatform::MakeFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1))
        mkdir(path.substr(0, slash).c_str(), 0755);
}

bool TWebPlatform::WriteFile(const std::string& path, const std::string& data) {
    std::string before;
    const bool existed = Lasting(path) && ReadFile(path, before);
    if (!TPosixPlatform::WriteFile(path, data)) return false;
    if (Lasting(path) && !sw_store(path.c_str(), data.data(), static_cast<int>(data.size()))) {
        // The stored copy stayed as it was: so does the folder's.
        if (existed)
            TPosixPlatform::WriteFile(path, before);
        else
            TPosixPlatform::DeleteFile(path);
        return false;
    }
    return true;
}

bool TWebPlatform::ReplaceFile(const std::string& from, const std::string& to) {
    if (Lasting(to)) {
        std::string bytes;
        // The stored copy is replaced first: when the storage refuses, both files stay.
        if (!ReadFile(from, bytes)) return false;
        struct stat st;
        if (stat(to.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return false;
        if (!sw_store(to.c_str(), bytes.data(), static_cast<int>(bytes.size()))) return false;
    }
    if (!TPosixPlatform::ReplaceFile(from, to)) return false;
    if (Lasting(from)) sw_unstore(from.c_str());
    return true;
}

bool TWebPlatform::DeleteFile(const std::string& path) {
    if (!TPosixPlatform::DeleteFile(path)) return false;
    if (Lasting(path)) sw_unstore(path.c_str());
    return true;
}
