// The shell (browser lookup and start), the desktop wallpaper and message boxes.
#include <vector>

#include "platform/win32/Win32Platform.h"

#include <objbase.h>
#include <shellapi.h>
// As in Win32Platform.h: these are our method names, not the A/W macros.
#undef FindExecutable

namespace {
// shell32 and ole32 are loaded by the first shell call (Win32Libraries.cpp), on the
// user-interface thread.
using CoInitializeExFn = HRESULT(WINAPI*)(LPVOID, DWORD);
using CoUninitializeFn = void(WINAPI*)();
using FindExecutableWFn = HINSTANCE(WINAPI*)(LPCWSTR, LPCWSTR, LPWSTR);
using ShellExecuteWFn = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);

HMODULE Shell32() {
    static const HMODULE module = LoadSystemLibrary(L"shell32.dll");
    return module;
}

HMODULE Ole32() {
    static const HMODULE module = LoadSystemLibrary(L"ole32.dll");
    return module;
}

// The manifest resource naming the common controls of version 6
// (resources/manifest.rc.in).
constexpr WORD kMessageBoxManifest = 101;

// Made at the first box and kept; INVALID_HANDLE_VALUE where the system has none to give,
// and the box is then shown in the classic look.
HANDLE MessageBoxContext(HINSTANCE instance) {
    static const HANDLE context = [instance] {
        ACTCTXW wanted;
        ZeroMemory(&wanted, sizeof wanted);
        wanted.cbSize = sizeof wanted;
        wanted.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
        wanted.hModule = instance;
        wanted.lpResourceName = MAKEINTRESOURCEW(kMessageBoxManifest);
        return CreateActCtxW(&wanted);
    }();
    return context;
}
}  // namespace

TWin32Platform::TComApartment::~TComApartment() {
    // Each successful entry is left once, by the thread that entered.
    if (!Entered || Thread != GetCurrentThreadId()) return;
    if (auto leave = reinterpret_cast<CoUninitializeFn>(SystemFunction(Ole32(), "CoUninitialize")))
        leave();
}

void TWin32Platform::EnterComApartment() {
    if (FCom.Entered || FCom.Thread != 0) return;
    FCom.Thread = GetCurrentThreadId();
    auto enter = reinterpret_cast<CoInitializeExFn>(SystemFunction(Ole32(), "CoInitializeEx"));
    // S_FALSE (already entered on this thread) counts as an entry to be left again;
    // a thread already in the multithreaded apartment (RPC_E_CHANGED_MODE) is left as it is.
    const HRESULT hr =
        enter ? enter(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE) : E_FAIL;
    FCom.Entered = SUCCEEDED(hr);
}

std::string TWin32Platform::FindExecutable(const std::string& file) {
    EnterComApartment();
    static const auto find =
        reinterpret_cast<FindExecutableWFn>(SystemFunction(Shell32(), "FindExecutableW"));
    if (!find) return std::string();
    wchar_t result[MAX_PATH + 1] = {};
    const std::wstring wide = Utf8ToWide(file);
    HINSTANCE r = find(wide.c_str(), nullptr, result);
    // Values up to 32 are error codes.
    if (reinterpret_cast<INT_PTR>(r) <= 32) return std::string();
    result[MAX_PATH] = L'\0';
    return WideToUtf8(result);
}

void TWin32Platform::ShellOpen(const std::string& address) {
    EnterComApartment();
    // The program may have just minimised itself; whatever the shell starts may come to
    // the front.
    AllowSetForegroundWindow(ASFW_ANY);
    static const auto open =
        reinterpret_cast<ShellExecuteWFn>(SystemFunction(Shell32(), "ShellExecuteW"));
    if (!open) return;
    const std::wstring wide = SjisToWide(address);
    open(nullptr, nullptr, wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void TWin32Platform::StartProcess(const std::string& application, const std::string& commandLine) {
    // A start-up record of its own: this program's (its shortcut's title, show state and
    // hot key) would tell the browser to start as the program itself was started.
    STARTUPINFOW si;
    ZeroMemory(&si, sizeof si);
    si.cb = sizeof si;
    const std::wstring app = Utf8ToWide(application);
    const std::wstring cmd = SjisToWide(commandLine);
    // CreateProcessW may write into its command line, so it gets a copy of its own.
    std::vector<wchar_t> buffer(cmd.begin(), cmd.end());
    buffer.push_back(L'\0');
    PROCESS_INFORMATION pi;
    ZeroMemory(&pi, sizeof pi);
    AllowSetForegroundWindow(ASFW_ANY);
    if (CreateProcessW(app.empty() ? nullptr : app.c_str(), buffer.data(), nullptr, nullptr, FALSE,
                       CREATE_DEFAULT_ERROR_MODE, nullptr, nullptr, &si, &pi)) {
        // Not waited for; the handles are only closed.
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return;
    }
    // The browser found at start is gone (uninstalled, moved): the shell opens the
    // address with whatever now handles it.
    const size_t space = commandLine.find(' ');
    if (space != std::string::npos && space + 1 < commandLine.size())
        ShellOpen(commandLine.substr(space + 1));
}

void TWin32Platform::SetDesktopWallpaper(const std::string& path) {
    std::wstring wide = Utf8ToWide(path);
    SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, &wide[0], SPIF_UPDATEINIFILE);
}

void TWin32Platform::ShowErrorBox(const std::string& title, const std::string& text) {
    // A hidden main window (a start-up failure) is no owner to show a box over.
    HWND owner = (FMain && IsWindowVisible(FMain)) ? FMain : nullptr;
    const std::wstring wTitle = SjisToWide(title);
    const std::wstring wText = SjisToWide(text);
    // The box runs its own message loop; the window's timer and input wait until it is
    // closed, so a failing handler cannot run again underneath its own report.
    ++FModalDepth;
    // The box's buttons are the common controls of version 6, in the system's look; the
    // context is active only while the box is made and shown.
    const HANDLE context = MessageBoxContext(FInstance);
    ULONG_PTR cookie = 0;
    const bool activated = context != INVALID_HANDLE_VALUE && ActivateActCtx(context, &cookie);
    MessageBoxW(owner, wText.c_str(), wTitle.c_str(), MB_ICONERROR | MB_OK | MB_SETFOREGROUND);
    if (activated) DeactivateActCtx(0, cookie);
    --FModalDepth;
}
