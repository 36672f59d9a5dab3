// The browser backend's life: the page's script started, the program's folder read back
// from the page's storage, and the session's end.
#include "platform/web/WebPlatform.h"

#include <emscripten.h>

#include "common/ByteOrder.h"
#include "platform/web/WebBytes.h"

namespace {
// Every stored file as one block: for each, its path's length, the path, the bytes'
// length and the bytes (lengths as 4 bytes, least significant first).
EM_JS(char*, sw_stored_files, (int* size), { return SW.storedFilesBlock(size); });

uint32_t Get32(const std::string& s, size_t at) {
    return GetU32(reinterpret_cast<const uint8_t*>(s.data() + at));
}
}  // namespace

TWebPlatform::TWebPlatform() : FProgramPath("/sablewick/Sablewick.html") {
    EM_ASM(SW.init());
    int size = 0;
    char* block = sw_stored_files(&size);
    const std::string all = TakePageBytes(block, size);
    MakeFolders(FProgramPath);
    size_t at = 0;
    while (at + 4 <= all.size()) {
        const size_t pathLen = Get32(all, at);
        at += 4;
        if (at + pathLen + 4 > all.size()) break;
        std::string path = all.substr(at, pathLen);
        at += pathLen;
        const size_t dataLen = Get32(all, at);
        at += 4;
        if (at + dataLen > all.size()) break;
        // Only the files the program keeps are taken back; anything else stored under
        // the program's prefix is left alone.
        if (Lasting(path) && !path.empty() && path[0] == '/') {
            MakeFolders(path);
            TPosixPlatform::WriteFile(path, all.substr(at, dataLen));
        }
        at += dataLen;
    }
}

TWebPlatform::~TWebPlatform() {
    DeleteRegion(FRegion);
}

std::string TWebPlatform::ProgramPath() {
    return FProgramPath;
}

void TWebPlatform::EndSession() {
    // The page may still come back (a tab kept in the browser's history cache): the
    // window lives on, only its settings are written.
    if (!FCreated || FDestroyed || !FEvents) return;
    FEvents->FormEndSession();
}
