// A small console helper for the end-to-end tests: asks Windows (Wine) itself about a
// top-level window, where X11 tools only see Wine's X windows. Without a window manager
// on the test X server, "minimised" exists only on the Windows side.
//
//   sablewick_winprobe state CAPTION     prints: found iconic=I visible=V topmost=T X Y W H
//                                        or: none
//   sablewick_winprobe minimize CAPTION  minimises the window as the taskbar would
//   sablewick_winprobe count CAPTION     prints how many top-level windows have that caption
//   sablewick_winprobe texts CAPTION     one line per child control: class, visible (0/1)
//                                        and its text in UTF-8 (CR, LF and \ escaped)
//   sablewick_winprobe menu              prints "open X Y W H" for a popup menu on screen,
//                                        or "none"
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

// The text of a control of another process: WM_GETTEXT is carried across processes,
// where GetWindowText would only give a caption.
std::wstring ControlText(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length))
        return L"<no answer>";
    std::wstring text(length + 1, L'\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&text[0]),
                        SMTO_ABORTIFHUNG, 2000, &got);
    text.resize(got);
    return text;
}

void PrintUtf8(const std::wstring& text) {
    std::wstring escaped;
    for (wchar_t c : text) {
        if (c == L'\r') escaped += L"\\r";
        else if (c == L'\n') escaped += L"\\n";
        else if (c == L'\\') escaped += L"\\\\";
        else escaped += c;
    }
    const int n = WideCharToMultiByte(CP_UTF8, 0, escaped.data(), static_cast<int>(escaped.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n : 0, '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, escaped.data(), static_cast<int>(escaped.size()), &out[0],
                            n, nullptr, nullptr);
    std::fwrite(out.data(), 1, out.size(), stdout);
}

BOOL CALLBACK PrintChild(HWND hwnd, LPARAM) {
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 63);
    PrintUtf8(cls);
    std::printf("\t%d\t", IsWindowVisible(hwnd) ? 1 : 0);
    PrintUtf8(ControlText(hwnd));
    std::printf("\n");
    return TRUE;
}

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
    if (argc == 2 && argv && std::wstring(argv[1]) == L"menu") {
        static wchar_t empty[] = L"";
        static wchar_t* padded[3];
        padded[0] = argv[0];
        padded[1] = argv[1];
        padded[2] = empty;
        argv = padded;
        argc = 3;
    }
    if (!argv || argc != 3) {
        std::fprintf(stderr, "usage: sablewick_winprobe state|minimize|count|texts CAPTION | menu\n");
        return 2;
    }
    const std::wstring wcommand = argv[1];
    const std::string command(wcommand.begin(), wcommand.end());
    const std::wstring caption = argv[2];
    if (command == "menu") {
        // The system's popup menu window class.
        HWND menu = FindWindowW(L"#32768", nullptr);
        RECT r;
        if (menu && IsWindowVisible(menu) && GetWindowRect(menu, &r)) {
            std::printf("open %ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        } else {
            std::printf("none\n");
        }
        return 0;
    }
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
    if (command == "texts") {
        EnumChildWindows(hwnd, PrintChild, 0);
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
