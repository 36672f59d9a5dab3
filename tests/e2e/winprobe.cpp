// A small console helper for the end-to-end tests: asks Windows (Wine) itself about a
// top-level window, where X11 tools only see Wine's X windows. Without a window manager
// on the test X server, "minimised" exists only on the Windows side.
//
//   sablewick_winprobe state CAPTION     prints: found iconic=I visible=V topmost=T X Y W H
//                                        or: none
//   sablewick_winprobe minimize CAPTION  minimises the window as the taskbar would
//   sablewick_winprobe count CAPTION     prints how many top-level windows have that caption
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {
struct CountData {
    std::wstring caption;
    int count = 0;
};

BOOL CALLBACK CountWindow(HWND hwnd, LPARAM lp) {
    auto* data = reinterpret_cast<CountData*>(lp);
    wchar_t text[256] = {};
    GetWindowTextW(hwnd, text, 255);
    if (data->caption == text) ++data->count;
    return TRUE;
}
}  // namespace

int main() {
    // The caption may be any text: take the arguments in their wide form.
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc != 3) {
        std::fprintf(stderr, "usage: sablewick_winprobe state|minimize|count CAPTION\n");
        return 2;
    }
    const std::wstring wcommand = argv[1];
    const std::string command(wcommand.begin(), wcommand.end());
    const std::wstring caption = argv[2];
    if (command == "count") {
        CountData data;
        data.caption = caption;
        EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&data));
        std::printf("%d\n", data.count);
        return 0;
    }
    HWND hwnd = FindWindowW(nullptr, caption.c_str());
    if (!hwnd) {
        std::printf("none\n");
        return 1;
    }
    if (command == "state") {
        RECT r;
        GetWindowRect(hwnd, &r);
        const bool topmost = (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        std::printf("found iconic=%d visible=%d topmost=%d %ld %ld %ld %ld\n",
                    IsIconic(hwnd) ? 1 : 0, IsWindowVisible(hwnd) ? 1 : 0, topmost ? 1 : 0,
                    r.left, r.top, r.right - r.left, r.bottom - r.top);
        return 0;
    }
    if (command == "minimize") {
        ShowWindowAsync(hwnd, SW_MINIMIZE);
        for (int i = 0; i < 50 && !IsIconic(hwnd); ++i) Sleep(100);
        return IsIconic(hwnd) ? 0 : 1;
    }
    std::fprintf(stderr, "unknown command\n");
    return 2;
}
