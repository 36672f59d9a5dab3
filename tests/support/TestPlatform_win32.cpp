// The Windows test program's platform: the real Win32 backend. Its probe reads the
// controls, the window and the menu the way Windows shows them, plays the user by the
// messages Windows would send, and watches the file calls the program makes through its
// own import table.
#include <cstring>
#include <set>
#include <string>
#include <tuple>

#include "platform/win32/Win32Platform.h"
// After the platform's header, as the backend includes it.
#include <oleacc.h>

#include "support/TestPlatform.h"
#include "support/TempDirs.h"

std::unique_ptr<TPlatform> CreateTestPlatform(const std::string& /*programDir*/) {
    // The backend takes every path whole, so it needs no program directory of its own.
    return std::make_unique<TWin32Platform>(GetModuleHandleW(nullptr));
}

std::string MakeTempDir(const std::string& tag) {
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    std::wstring base = (n > 0 && n <= MAX_PATH) ? std::wstring(temp, n) : std::wstring(L".\\");
    if (base.back() != L'\\') base += L'\\';
    const std::wstring prefix = base + L"sablewick-" + Utf8ToWide(tag) + L"-" +
                                std::to_wstring(GetCurrentProcessId()) + L"-";
    for (unsigned i = 0; i < 10000; ++i) {
        const std::wstring dir = prefix + std::to_wstring(i);
        if (CreateDirectoryW(dir.c_str(), nullptr)) {
            RemoveAtExit(dir);
            return WideToUtf8(dir) + "\\";
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    return std::string();
}

namespace {
// ---- The program's file calls, seen through its import table

using TFileId = std::tuple<DWORD, DWORD, DWORD>;  // volume, index high, index low

bool IdOf(HANDLE file, TFileId& id) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info)) return false;
    id = TFileId(info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow);
    return true;
}

bool IdOf(const std::wstring& path, TFileId& id) {
    HANDLE file =
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool ok = IdOf(file, id);
    CloseHandle(file);
    return ok;
}

struct TFileCalls {
    decltype(&::FlushFileBuffers) Flush = nullptr;
    decltype(&::MoveFileExW) Move = nullptr;
    decltype(&::WriteFile) Write = nullptr;
    bool Watching = false;
    std::set<TFileId> Flushed;
    std::set<TFileId> MovedThrough;
    long long Limit = -1;
} gCalls;

BOOL WINAPI FlushHook(HANDLE file) {
    TFileId id;
    if (gCalls.Watching && IdOf(file, id)) gCalls.Flushed.insert(id);
    return gCalls.Flush(file);
}

BOOL WINAPI MoveHook(LPCWSTR from, LPCWSTR to, DWORD flags) {
    const BOOL moved = gCalls.Move(from, to, flags);
    TFileId id;
    if (moved && gCalls.Watching && (flags & MOVEFILE_WRITE_THROUGH) && IdOf(to, id))
        gCalls.MovedThrough.insert(id);
    return moved;
}

// A full disk: what fits before the limit is written, then writing fails.
BOOL WINAPI WriteHook(HANDLE file, LPCVOID data, DWORD size, LPDWORD wrote, LPOVERLAPPED over) {
    LARGE_INTEGER zero, at;
    zero.QuadPart = 0;
    if (gCalls.Limit >= 0 && !over && GetFileType(file) == FILE_TYPE_DISK &&
        SetFilePointerEx(file, zero, &at, FILE_CURRENT) && at.QuadPart + size > gCalls.Limit) {
        const long long room = gCalls.Limit - at.QuadPart;
        if (room <= 0) {
            if (wrote) *wrote = 0;
            SetLastError(ERROR_DISK_FULL);
            return FALSE;
        }
        size = static_cast<DWORD>(room);
    }
    return gCalls.Write(file, data, size, wrote, over);
}

// Puts `hook` where this program's import table holds `name` of kernel32; the function
// it held before.
void* HookImport(const char* name, void* hook) {
    auto* base = reinterpret_cast<uint8_t*>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         dll->Name; ++dll) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + dll->Name), "kernel32.dll") != 0 ||
            !dll->OriginalFirstThunk)
            continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), name) != 0) continue;
            DWORD old = 0;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
            void* before = reinterpret_cast<void*>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(hook);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
            return before;
        }
    }
    return nullptr;
}

void HookFileCalls() {
    static bool hooked = false;
    if (hooked) return;
    hooked = true;
    gCalls.Flush = reinterpret_cast<decltype(gCalls.Flush)>(
        HookImport("FlushFileBuffers", reinterpret_cast<void*>(&FlushHook)));
    gCalls.Move = reinterpret_cast<decltype(gCalls.Move)>(
        HookImport("MoveFileExW", reinterpret_cast<void*>(&MoveHook)));
    gCalls.Write = reinterpret_cast<decltype(gCalls.Write)>(
        HookImport("WriteFile", reinterpret_cast<void*>(&WriteHook)));
}

// ---- The menu, answered while it runs its own loop

struct TMenuAnswer {
    int Choice = -1;
    int Tries = 0;
    std::vector<TBackendProbe::TShownItem> Shown;
} gMenu;

void CALLBACK AnswerOpenMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND window = FindWindowW(L"#32768", nullptr);
    HMENU menu =
        window ? reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0)) : nullptr;
    if (!menu && ++gMenu.Tries < 400) return;
    KillTimer(nullptr, timer);
    if (!menu) return;
    bool separator = false;
    for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW info;
        std::memset(&info, 0, sizeof info);
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 255;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        if (info.fType & MFT_SEPARATOR) {
            separator = true;
            continue;
        }
        TBackendProbe::TShownItem shown;
        shown.Caption = WideToSjis(text);
        shown.Enabled = !(info.fState & (MFS_DISABLED | MFS_GRAYED));
        shown.Checked = (info.fState & MFS_CHECKED) != 0;
        shown.SeparatorBefore = separator;
        separator = false;
        gMenu.Shown.push_back(shown);
    }
    // The keys a user presses: down to the entry and Enter, or Escape. The menu's own
    // loop takes them from the queue.
    if (gMenu.Choice >= 0 && gMenu.Choice < static_cast<int>(gMenu.Shown.size())) {
        for (int i = 0; i <= gMenu.Choice; ++i) PostMessageW(window, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageW(window, WM_CHAR, L'\r', 0);
    } else {
        PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
    }
}

// ---- The controls

// The backend's identifiers of its labels: the first one's, plus the control's number.
constexpr int kFirstLabelId = 100;

class TWin32Probe : public TBackendProbe {
public:
    explicit TWin32Probe(TWin32Platform& os) : Os(os) { HookFileCalls(); }
    ~TWin32Probe() override {
        gCalls.Watching = false;
        gCalls.Limit = -1;
    }

    void Settle() override {
        if (HWND main = Os.MainWindow()) UpdateWindow(main);
        // What is queued, short of the end of the loop: a quit message stays for the loop.
        MSG msg;
        for (int i = 0; i < 1000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        GdiFlush();
    }

    uint32_t WindowPixel(int x, int y) override {
        HWND main = Os.MainWindow();
        HDC dc = main ? GetDC(main) : nullptr;
        if (!dc) return 0xFFFFFFFF;
        const COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(main, dc);
        if (c == CLR_INVALID) return 0xFFFFFFFF;
        return static_cast<uint32_t>(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c);
    }

    TShown Control(TControl id) override {
        TShown shown;
        HWND main = Os.MainWindow();
        HWND hwnd = nullptr;
        if (main)
            hwnd = id == TControl::Memo1 ? FindWindowExW(main, nullptr, L"Edit", nullptr)
                                         : GetDlgItem(main, kFirstLabelId + static_cast<int>(id));
        if (!hwnd || !IsWindow(hwnd)) return shown;
        shown.Exists = true;
        const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
        shown.Visible = (style & WS_VISIBLE) != 0;
        const int length = GetWindowTextLengthW(hwnd);
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        text.resize(static_cast<size_t>(GetWindowTextW(hwnd, &text[0], length + 1)));
        shown.Text = WideToSjis(text);
        if (id == TControl::Memo1) {
            shown.ReadOnly = (style & ES_READONLY) != 0;
        } else {
            shown.Look.Centred = (style & SS_TYPEMASK) == SS_CENTER;
            shown.Look.VCentred = (style & SS_CENTERIMAGE) != 0;
            shown.Look.WordWrap = (style & SS_TYPEMASK) == SS_LEFT;
        }
        // The colours the window gives the control when it paints.
        HDC dc = CreateCompatibleDC(nullptr);
        SendMessageW(main, id == TControl::Memo1 ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC,
                     reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd));
        shown.Look.Background = GetBkColor(dc);
        shown.Look.TextColor = GetTextColor(dc);
        DeleteDC(dc);
        LOGFONTW font;
        std::memset(&font, 0, sizeof font);
        HFONT handle = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
        if (handle && GetObjectW(handle, sizeof font, &font))
            shown.Look.CellHeight = font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
        return shown;
    }

    void TypeIntoMemo(const std::string& sjis) override {
        HWND main = Os.MainWindow();
        HWND memo = main ? FindWindowExW(main, nullptr, L"Edit", nullptr) : nullptr;
        if (!memo) return;
        for (wchar_t c : SjisToWide(sjis)) SendMessageW(memo, WM_CHAR, c, 1);
    }

    void AnswerMenu(int choice) override {
        gMenu = TMenuAnswer();
        gMenu.Choice = choice;
        SetTimer(nullptr, 0, 10, AnswerOpenMenu);
    }
    std::vector<TShownItem> LastMenu() override { return gMenu.Shown; }

    bool PointerHotSpot(int& x, int& y) override {
        HWND main = Os.MainWindow();
        if (!main) return false;
        // The window is asked for its pointer as Windows asks when the mouse is over it.
        SendMessageW(main, WM_SETCURSOR, reinterpret_cast<WPARAM>(main),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        HCURSOR cursor = GetCursor();
        if (!cursor || cursor == LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)))
            return false;
        ICONINFO info;
        if (!GetIconInfo(cursor, &info)) return false;
        x = static_cast<int>(info.xHotspot);
        y = static_cast<int>(info.yHotspot);
        if (info.hbmMask) DeleteObject(info.hbmMask);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        return true;
    }

    void WatchFlushes() override {
        gCalls.Flushed.clear();
        gCalls.MovedThrough.clear();
        gCalls.Watching = true;
    }
    bool DataFlushed(const std::string& path) override {
        TFileId id;
        return IdOf(Utf8ToWide(path), id) && gCalls.Flushed.count(id) != 0;
    }
    bool MoveFlushed(const std::string& path) override {
        TFileId id;
        return IdOf(Utf8ToWide(path), id) && gCalls.MovedThrough.count(id) != 0;
    }
    void LimitFileSize(long bytes) override { gCalls.Limit = bytes; }

    // The client object as a screen reader gets it (WM_GETOBJECT answered, unmarshalled
    // here in the same process); oleacc is loaded as the program loads it, by name, so
    // the test program imports nothing more.
    std::vector<TShownAccessible> Accessibles() override {
        std::vector<TShownAccessible> shown;
        IAccessible* client = ClientObject();
        if (!client) return shown;
        HWND main = Os.MainWindow();
        POINT origin = {0, 0};
        ClientToScreen(main, &origin);
        long count = 0;
        client->get_accChildCount(&count);
        for (long id = 1; id <= count; ++id) {
            VARIANT child;
            child.vt = VT_I4;
            child.lVal = id;
            IDispatch* real = nullptr;
            // The real child windows hand out objects of their own; the painted ones are
            // simple elements.
            if (client->get_accChild(child, &real) == S_OK && real) {
                real->Release();
                continue;
            }
            VARIANT role, state;
            role.vt = state.vt = VT_EMPTY;
            if (client->get_accRole(child, &role) != S_OK || role.vt != VT_I4) continue;
            if (role.lVal != ROLE_SYSTEM_PUSHBUTTON && role.lVal != ROLE_SYSTEM_LISTITEM &&
                role.lVal != ROLE_SYSTEM_STATICTEXT)
                continue;
            TShownAccessible a;
            a.Role = role.lVal == ROLE_SYSTEM_LISTITEM     ? TAccessRole::ListItem
                     : role.lVal == ROLE_SYSTEM_STATICTEXT ? TAccessRole::Reading
                                                           : TAccessRole::PushButton;
            BSTR name = nullptr;
            if (client->get_accName(child, &name) == S_OK && name) {
                a.Name = WideToSjis(std::wstring(name, Acc().Length(name)));
                Acc().Free(name);
            }
            long x = 0, y = 0, w = 0, h = 0;
            client->accLocation(&x, &y, &w, &h, child);
            a.X = x - origin.x;
            a.Y = y - origin.y;
            a.W = w;
            a.H = h;
            if (client->get_accState(child, &state) == S_OK && state.vt == VT_I4) {
                a.Unavailable = (state.lVal & STATE_SYSTEM_UNAVAILABLE) != 0;
                a.Focused = (state.lVal & STATE_SYSTEM_FOCUSED) != 0;
                a.Selected = (state.lVal & STATE_SYSTEM_SELECTED) != 0;
            }
            shown.push_back(a);
        }
        client->Release();
        return shown;
    }
    bool DoDefaultAction(const std::string& sjis) override {
        IAccessible* client = ClientObject();
        if (!client) return false;
        long count = 0;
        client->get_accChildCount(&count);
        bool done = false;
        for (long id = 1; id <= count && !done; ++id) {
            VARIANT child;
            child.vt = VT_I4;
            child.lVal = id;
            BSTR name = nullptr;
            if (client->get_accName(child, &name) != S_OK || !name) continue;
            const bool match = WideToSjis(std::wstring(name, Acc().Length(name))) == sjis;
            Acc().Free(name);
            if (match) done = client->accDoDefaultAction(child) == S_OK;
        }
        client->Release();
        return done;
    }

private:
    struct TAcc {
        HRESULT(WINAPI* FromWindow)(HWND, DWORD, REFIID, void**) = nullptr;
        void(WINAPI* FreeText)(BSTR) = nullptr;
        UINT(WINAPI* TextLength)(BSTR) = nullptr;
        void Free(BSTR text) const {
            if (FreeText) FreeText(text);
        }
        UINT Length(BSTR text) const { return TextLength ? TextLength(text) : 0; }
    };
    static const TAcc& Acc() {
        static TAcc acc = [] {
            TAcc a;
            HMODULE oleacc = LoadLibraryW(L"oleacc.dll");
            HMODULE oleaut = LoadLibraryW(L"oleaut32.dll");
            if (oleacc)
                a.FromWindow = reinterpret_cast<decltype(a.FromWindow)>(
                    reinterpret_cast<void*>(GetProcAddress(oleacc, "AccessibleObjectFromWindow")));
            if (oleaut) {
                a.FreeText = reinterpret_cast<decltype(a.FreeText)>(
                    reinterpret_cast<void*>(GetProcAddress(oleaut, "SysFreeString")));
                a.TextLength = reinterpret_cast<decltype(a.TextLength)>(
                    reinterpret_cast<void*>(GetProcAddress(oleaut, "SysStringLen")));
            }
            return a;
        }();
        return acc;
    }
    IAccessible* ClientObject() {
        // IID_IAccessible, spelled out: mingw's import library gives it as a thunk.
        static const IID kIid = {
            0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
        HWND main = Os.MainWindow();
        IAccessible* client = nullptr;
        if (!main || !Acc().FromWindow ||
            FAILED(Acc().FromWindow(main, static_cast<DWORD>(OBJID_CLIENT), kIid,
                                    reinterpret_cast<void**>(&client))))
            return nullptr;
        return client;
    }

    TWin32Platform& Os;
};
}  // namespace

std::unique_ptr<TBackendProbe> CreateBackendProbe(TPlatform& os) {
    return std::make_unique<TWin32Probe>(dynamic_cast<TWin32Platform&>(os));
}
