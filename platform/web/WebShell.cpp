// The shell: web addresses open in a new tab of their own, and the wallpaper, which a
// page cannot set, is handed to the user as a download.
#include <emscripten.h>

#include "platform/web/WebPlatform.h"

namespace {
EM_ASYNC_JS(void, sw_wallpaper, (const char* name, const char* data, int size),
            { await SW.offerWallpaper(UTF8ToString(name), HEAPU8.slice(data, data + size)); });
}  // namespace

std::string TWebPlatform::FindExecutable(const std::string&) {
    // No program to start from a page: addresses go to ShellOpen.
    return std::string();
}

void TWebPlatform::ShellOpen(const std::string& address) {
    EM_ASM({ SW.open(UTF8ToString($0)); }, address.c_str());
}

void TWebPlatform::StartProcess(const std::string&, const std::string& commandLine) {
    // No program starts from a page: the address after the first word gets the default
    // action, as when a program cannot be started.
    const size_t space = commandLine.find(' ');
    if (space != std::string::npos) ShellOpen(commandLine.substr(space + 1));
}

void TWebPlatform::SetDesktopWallpaper(const std::string& path) {
    std::string bytes;
    if (!ReadFile(path, bytes)) return;
    const size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    sw_wallpaper(name.c_str(), bytes.data(), static_cast<int>(bytes.size()));
}
