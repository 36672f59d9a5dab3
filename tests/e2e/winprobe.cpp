// A small console helper for the end-to-end tests: asks Windows (Wine) itself about a
// top-level window, where X11 tools only see Wine's X windows. Without a window manager
// on the test X server, "minimised" exists only on the Windows side.
//
//   sablewick_winprobe state CAPTION     prints: found iconic=I visible=V topmost=T X Y W H
//                                        or: none
//   sablewick_winprobe minimize CAPTION  minimises the window as the taskbar would
//   sablewick_winprobe count CAPTION     prints how many top-level windows have that caption
//   sablewick_winprobe endsession CAPTION  a sign-out as Windows does it: WM_QUERYENDSESSION,
//                                        WM_ENDSESSION, then the process is ended
//   sablewick_winprobe decoy CAPTION     shows a window of another class with that caption
//                                        until the probe is killed
//   sablewick_winprobe fonts CAPTION     one line per child control: class, the height,
//                                        character set and face of its font, and how many
//                                        of its characters the face has no glyph for,
//                                        tab-separated
//   sablewick_winprobe sjisfaces CAPTION the faces installed for Shift-JIS text, one a line
//   sablewick_winprobe texts CAPTION     one line per child control: class, visible (0/1)
//                                        and its text in UTF-8 (CR, LF and \ escaped)
//   sablewick_winprobe menu              prints "open X Y W H" for a popup menu on screen,
//                                        or "none"
//   sablewick_winprobe menuitems CAPTION the items of the popup menu that the window's
//                                        program has open, one line each: "separator" or
//                                        "item", enabled/grayed, checked/unchecked and the
//                                        caption in UTF-8, tab-separated; or "none"
//   sablewick_winprobe accessibles CAPTION  what a screen reader finds through MSAA in the
//                                        window's client area: one line per child, its
//                                        role, states, screen rectangle (X Y W H) and name
//                                        in UTF-8, tab-separated
//   sablewick_winprobe accdo CAPTION NAME   the default action of the child named NAME,
//                                        as a screen reader's "activate" does it
//   sablewick_winprobe accfocus CAPTION NAME  moves the focus to the child named NAME
//   sablewick_winprobe accwatch CAPTION SECONDS  the WinEvents the window raises for its
//                                        children while it is watched from outside, as a
//                                        screen reader hears them: "EVENT<TAB>NAME" a line
#include <windows.h>
#include <oleacc.h>
#include <shellapi.h>
#include <tlhelp32.h>

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
        if (c == L'\r')
            escaped += L"\\r";
        else if (c == L'\n')
            escaped += L"\\n";
        else if (c == L'\\')
            escaped += L"\\\\";
        else
            escaped += c;
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

// Reading another program's menu: a menu handle means something only inside the process
// that made it (Wine refuses it anywhere else), so the probe loads its own image into that
// process and runs ReadOpenMenu there on a thread of its own. Wine neither resolves the
// imports of an image that is not a DLL nor promises to relocate it, so that routine
// reaches everything through the block it is given: the user32 functions (user32 lies
// at the same address in every process of a prefix; the probe checks that) and the data.
// It must stay free of globals, string literals and library calls.
struct MenuCalls {
    HWND(WINAPI* findWindow)(LPCWSTR, LPCWSTR);
    BOOL(WINAPI* isWindowVisible)(HWND);
    LRESULT(WINAPI* sendMessageTimeout)(HWND, UINT, WPARAM, LPARAM, UINT, UINT, PDWORD_PTR);
    int(WINAPI* getMenuItemCount)(HMENU);
    BOOL(WINAPI* getMenuItemInfo)(HMENU, UINT, BOOL, LPMENUITEMINFOW);
};

constexpr int kMaxMenuItems = 40;
constexpr int kCaptionChars = 128;

struct MenuItemRecord {
    MENUITEMINFOW info;  // cbSize and fMask set by the probe
    BOOL read;
    wchar_t caption[kCaptionChars];
};

struct MenuReport {
    MenuCalls calls;
    wchar_t menuClass[8];  // the system's popup menu window class, "#32768"
    LONG done;
    LONG count;  // -1: no popup menu open
    MenuItemRecord items[kMaxMenuItems];
};

__attribute__((noinline)) DWORD WINAPI ReadOpenMenu(LPVOID param) {
    MenuReport* report = static_cast<MenuReport*>(param);
    report->count = -1;
    HWND window = report->calls.findWindow(report->menuClass, nullptr);
    DWORD_PTR answer = 0;
    if (window && report->calls.isWindowVisible(window) &&
        report->calls.sendMessageTimeout(window, MN_GETHMENU, 0, 0, SMTO_ABORTIFHUNG, 2000,
                                         &answer) &&
        answer) {
        HMENU menu = reinterpret_cast<HMENU>(answer);
        int count = report->calls.getMenuItemCount(menu);
        if (count > kMaxMenuItems) count = kMaxMenuItems;
        for (int i = 0; i < count; ++i) {
            MenuItemRecord* item = &report->items[i];
            item->info.dwTypeData = item->caption;
            item->info.cch = kCaptionChars - 1;
            item->read =
                report->calls.getMenuItemInfo(menu, static_cast<UINT>(i), TRUE, &item->info);
        }
        report->count = count;
    }
    report->done = 1;
    return 0;
}

template <typename T>
T ProcIn(HMODULE module, const char* name) {
    return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Runs ROUTINE(ARGUMENT) on a new thread of PROCESS and returns the thread's exit code,
// or false when it could not be run within the time.
bool RunRemote(HANDLE process, LPTHREAD_START_ROUTINE routine, LPVOID argument, DWORD* code) {
    HANDLE thread = CreateRemoteThread(process, nullptr, 0, routine, argument, 0, nullptr);
    if (!thread) return false;
    const bool finished = WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0;
    const bool got = finished && GetExitCodeThread(thread, code);
    CloseHandle(thread);
    return got;
}

// The address at which process PID has the module of that name or full path, or null.
// LoadLibraryW's answer on a remote thread would come back as the thread's exit code,
// which is 32 bits wide: a 64-bit module address would lose its upper half. The
// process's module list has the whole of it.
BYTE* ModuleIn(DWORD pid, const wchar_t* name) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, pid);
    if (snapshot == INVALID_HANDLE_VALUE) return nullptr;
    MODULEENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    BYTE* base = nullptr;
    for (BOOL more = Module32FirstW(snapshot, &entry); more && !base;
         more = Module32NextW(snapshot, &entry)) {
        if (!lstrcmpiW(entry.szModule, name) || !lstrcmpiW(entry.szExePath, name))
            base = entry.modBaseAddr;
    }
    CloseHandle(snapshot);
    return base;
}

// Writes TEXT into PROCESS and loads the library of that name there; the module's address
// there, or null.
BYTE* LoadRemote(HANDLE process, BYTE* scratch, const wchar_t* text,
                 LPTHREAD_START_ROUTINE loadLibrary) {
    const SIZE_T bytes = (lstrlenW(text) + 1) * sizeof(wchar_t);
    DWORD ignored = 0;
    if (!WriteProcessMemory(process, scratch, text, bytes, nullptr) ||
        !RunRemote(process, loadLibrary, scratch, &ignored))
        return nullptr;
    return ModuleIn(GetProcessId(process), text);
}

// Runs this probe's LOCAL routine inside the process of OWNER on a copy of BLOCK, which
// comes back filled in. The block carries functions of user32 and gdi32, which must lie
// at the same addresses there as here.
bool RunInOwnerProcess(HWND owner, LPTHREAD_START_ROUTINE local, void* block, SIZE_T size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(owner, &pid);
    HANDLE process = OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION |
                                     PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                                 FALSE, pid);
    if (!process) {
        std::fprintf(stderr, "cannot open the process %lu\n", pid);
        return false;
    }
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto loadLibrary = ProcIn<LPTHREAD_START_ROUTINE>(kernel, "LoadLibraryW");
    auto freeLibrary = ProcIn<LPTHREAD_START_ROUTINE>(kernel, "FreeLibrary");
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH - 1);
    auto* remote = static_cast<BYTE*>(VirtualAllocEx(process, nullptr, size + sizeof self,
                                                     MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    bool ok = false;
    DWORD ignored = 0;
    if (!remote) {
        std::fprintf(stderr, "no memory in the process\n");
    } else {
        BYTE* scratch = remote + size;
        bool same = true;
        for (const wchar_t* dll : {L"user32.dll", L"gdi32.dll"}) {
            BYTE* there = LoadRemote(process, scratch, dll, loadLibrary);
            const void* here = GetModuleHandleW(dll);
            if (there) RunRemote(process, freeLibrary, there, &ignored);
            if (there != here) {
                std::fprintf(stderr, "%ls lies at %p in the process, here at %p\n", dll,
                             static_cast<void*>(there), here);
                same = false;
            }
        }
        BYTE* base = same ? LoadRemote(process, scratch, self, loadLibrary) : nullptr;
        if (same && !base) std::fprintf(stderr, "the probe could not be loaded into the process\n");
        if (base) {
            // The same routine in the copy loaded there: the same offset from the image's
            // start.
            const SIZE_T offset =
                static_cast<SIZE_T>(reinterpret_cast<BYTE*>(local) -
                                    reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr)));
            auto routine = reinterpret_cast<LPTHREAD_START_ROUTINE>(base + offset);
            ok = WriteProcessMemory(process, remote, block, size, nullptr) &&
                 RunRemote(process, routine, remote, &ignored) &&
                 ReadProcessMemory(process, remote, block, size, nullptr);
            if (!ok) std::fprintf(stderr, "the routine did not run in the process\n");
            RunRemote(process, freeLibrary, base, &ignored);
        }
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return ok;
}

int PrintMenuItems(HWND owner) {
    HMODULE user = GetModuleHandleW(L"user32.dll");
    static MenuReport report;
    ZeroMemory(&report, sizeof report);
    report.calls.findWindow = ProcIn<decltype(report.calls.findWindow)>(user, "FindWindowW");
    report.calls.isWindowVisible =
        ProcIn<decltype(report.calls.isWindowVisible)>(user, "IsWindowVisible");
    report.calls.sendMessageTimeout =
        ProcIn<decltype(report.calls.sendMessageTimeout)>(user, "SendMessageTimeoutW");
    report.calls.getMenuItemCount =
        ProcIn<decltype(report.calls.getMenuItemCount)>(user, "GetMenuItemCount");
    report.calls.getMenuItemInfo =
        ProcIn<decltype(report.calls.getMenuItemInfo)>(user, "GetMenuItemInfoW");
    lstrcpyW(report.menuClass, L"#32768");
    for (MenuItemRecord& item : report.items) {
        item.info.cbSize = sizeof item.info;
        item.info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
    }
    if (!RunInOwnerProcess(owner, ReadOpenMenu, &report, sizeof report) || !report.done) return 1;

    if (report.count < 0) {
        std::printf("none\n");
        return 0;
    }
    for (int i = 0; i < report.count; ++i) {
        const MenuItemRecord& item = report.items[i];
        if (!item.read) {
            std::printf("unreadable\n");
        } else if (item.info.fType & MFT_SEPARATOR) {
            std::printf("separator\n");
        } else {
            std::printf("item\t%s\t%s\t", (item.info.fState & MFS_GRAYED) ? "grayed" : "enabled",
                        (item.info.fState & MFS_CHECKED) ? "checked" : "unchecked");
            std::wstring caption(item.caption, wcsnlen(item.caption, kCaptionChars));
            PrintUtf8(caption);
            std::printf("\n");
        }
    }
    return 0;
}

BOOL CALLBACK CountWindow(HWND hwnd, LPARAM lp) {
    auto* data = reinterpret_cast<CountData*>(lp);
    wchar_t text[256] = {};
    GetWindowTextW(hwnd, text, 255);
    if (data->caption == text) ++data->count;
    return TRUE;
}
}  // namespace

namespace {
// The font of a control of another process: its handle means something only in that
// process (and Wine answers WM_GETFONT from outside with nothing), so the face is read
// there, by ReadFontFace loaded into it as ReadOpenMenu is (the same rules: no globals,
// literals or library calls).
struct FontReport {
    LRESULT(WINAPI* sendMessage)(HWND, UINT, WPARAM, LPARAM);
    int(WINAPI* getObject)(HANDLE, int, LPVOID);
    HWND control;
    LONG got;
    LOGFONTW lf;
};

__attribute__((noinline)) DWORD WINAPI ReadFontFace(LPVOID param) {
    FontReport* report = static_cast<FontReport*>(param);
    HANDLE font = reinterpret_cast<HANDLE>(report->sendMessage(report->control, WM_GETFONT, 0, 0));
    report->got = font ? report->getObject(font, sizeof(LOGFONTW), &report->lf) : 0;
    return 0;
}

int CALLBACK PrintFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM) {
    PrintUtf8(font->lfFaceName);
    std::printf("\n");
    return 1;
}

BOOL CALLBACK PrintChildFont(HWND hwnd, LPARAM) {
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 63);
    static FontReport report;
    ZeroMemory(&report, sizeof report);
    report.sendMessage =
        ProcIn<decltype(report.sendMessage)>(GetModuleHandleW(L"user32.dll"), "SendMessageW");
    report.getObject =
        ProcIn<decltype(report.getObject)>(GetModuleHandleW(L"gdi32.dll"), "GetObjectW");
    report.control = hwnd;
    PrintUtf8(cls);
    if (RunInOwnerProcess(hwnd, ReadFontFace, &report, sizeof report) && report.got) {
        std::printf("\t%ld\t%d\t", report.lf.lfHeight, report.lf.lfCharSet);
        PrintUtf8(std::wstring(report.lf.lfFaceName, wcsnlen(report.lf.lfFaceName, LF_FACESIZE)));
        // The control's characters that this face has no glyph for (drawn as boxes),
        // asked of the same face in this process: the prefix's fonts are the same.
        std::wstring shown;
        for (wchar_t c : ControlText(hwnd))
            if (c > L' ') shown += c;
        int missing = 0;
        HDC dc = GetDC(nullptr);
        HFONT font = CreateFontIndirectW(&report.lf);
        if (dc && font && !shown.empty()) {
            HGDIOBJ old = SelectObject(dc, font);
            std::wstring glyphs(shown.size(), L'\0');
            GetGlyphIndicesW(dc, shown.c_str(), static_cast<int>(shown.size()),
                             reinterpret_cast<WORD*>(&glyphs[0]), GGI_MARK_NONEXISTING_GLYPHS);
            for (wchar_t g : glyphs)
                if (g == 0xFFFF) ++missing;
            SelectObject(dc, old);
        }
        if (font) DeleteObject(font);
        if (dc) ReleaseDC(nullptr, dc);
        std::printf("\t%d\n", missing);
    } else {
        std::printf("\tnone\n");
    }
    return TRUE;
}
// ---- MSAA, read from outside as a screen reader does.

// mingw's oleacc import library gives IID_IAccessible as an import thunk, not the id's
// bytes: it is spelled out here.
const IID kIidAccessible = {
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

std::wstring TakeBstr(BSTR text) {
    std::wstring out = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
    if (text) SysFreeString(text);
    return out;
}

VARIANT ChildId(long id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

const char* RoleName(long role) {
    switch (role) {
        case ROLE_SYSTEM_PUSHBUTTON:
            return "pushbutton";
        case ROLE_SYSTEM_LISTITEM:
            return "listitem";
        case ROLE_SYSTEM_STATICTEXT:
            return "statictext";
        case ROLE_SYSTEM_TEXT:
            return "text";
        case ROLE_SYSTEM_CLIENT:
            return "client";
        case ROLE_SYSTEM_WINDOW:
            return "window";
        default:
            return "other";
    }
}

std::string StateWords(long state) {
    static const struct {
        long bit;
        const char* word;
    } words[] = {{STATE_SYSTEM_UNAVAILABLE, "unavailable"}, {STATE_SYSTEM_FOCUSED, "focused"},
                 {STATE_SYSTEM_FOCUSABLE, "focusable"},     {STATE_SYSTEM_PRESSED, "pressed"},
                 {STATE_SYSTEM_SELECTED, "selected"},       {STATE_SYSTEM_SELECTABLE, "selectable"},
                 {STATE_SYSTEM_INVISIBLE, "invisible"},     {STATE_SYSTEM_READONLY, "readonly"}};
    std::string out;
    for (const auto& w : words) {
        if (!(state & w.bit)) continue;
        if (!out.empty()) out += ',';
        out += w.word;
    }
    return out.empty() ? "-" : out;
}

// One child of the client object: a simple element the parent answers for, or a child
// window's own object (asked about itself).
struct TChildView {
    std::wstring name;
    long role = 0, state = 0, x = 0, y = 0, w = 0, h = 0;
};

// The nth child window (from 1), in the order the standard client object counts them.
HWND NthChildWindow(HWND parent, long n) {
    HWND child = GetWindow(parent, GW_CHILD);
    while (child && --n > 0) child = GetWindow(child, GW_HWNDNEXT);
    return child;
}

TChildView ViewChild(HWND hwnd, IAccessible* parent, long id) {
    TChildView view;
    IAccessible* self = parent;
    VARIANT which = ChildId(id);
    IDispatch* dispatch = nullptr;
    if (parent->get_accChild(which, &dispatch) == S_OK && dispatch) {
        IAccessible* own = nullptr;
        if (SUCCEEDED(dispatch->QueryInterface(kIidAccessible, reinterpret_cast<void**>(&own))))
            self = own;
        dispatch->Release();
    } else if (HWND child = NthChildWindow(hwnd, id)) {
        // A child window whose object the parent does not hand out (Wine's standard
        // client object): a screen reader asks the window itself.
        IAccessible* own = nullptr;
        if (SUCCEEDED(AccessibleObjectFromWindow(child, static_cast<DWORD>(OBJID_CLIENT),
                                                 kIidAccessible, reinterpret_cast<void**>(&own))))
            self = own;
    }
    if (self != parent) which = ChildId(CHILDID_SELF);
    BSTR name = nullptr;
    if (self->get_accName(which, &name) == S_OK) view.name = TakeBstr(name);
    VARIANT v;
    VariantInit(&v);
    if (self->get_accRole(which, &v) == S_OK && v.vt == VT_I4) view.role = v.lVal;
    VariantInit(&v);
    if (self->get_accState(which, &v) == S_OK && v.vt == VT_I4) view.state = v.lVal;
    self->accLocation(&view.x, &view.y, &view.w, &view.h, which);
    if (self != parent) self->Release();
    return view;
}

IAccessible* ClientObject(HWND hwnd) {
    IAccessible* client = nullptr;
    if (FAILED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible,
                                          reinterpret_cast<void**>(&client))))
        return nullptr;
    return client;
}

long ChildCount(IAccessible* client) {
    long count = 0;
    if (client->get_accChildCount(&count) != S_OK) count = 0;
    return count;
}

int PrintAccessibles(HWND hwnd) {
    IAccessible* client = ClientObject(hwnd);
    if (!client) {
        std::printf("no accessible object\n");
        return 1;
    }
    const long count = ChildCount(client);
    for (long id = 1; id <= count; ++id) {
        const TChildView v = ViewChild(hwnd, client, id);
        std::printf("%s\t%s\t%ld %ld %ld %ld\t", RoleName(v.role), StateWords(v.state).c_str(), v.x,
                    v.y, v.w, v.h);
        PrintUtf8(v.name);
        std::printf("\n");
    }
    client->Release();
    return 0;
}

// The child id of the painted element named NAME, or 0.
long FindChild(HWND hwnd, IAccessible* client, const std::wstring& name) {
    const long count = ChildCount(client);
    for (long id = 1; id <= count; ++id)
        if (ViewChild(hwnd, client, id).name == name) return id;
    return 0;
}

int ActOn(HWND hwnd, const std::wstring& name, bool focus) {
    IAccessible* client = ClientObject(hwnd);
    if (!client) return 1;
    const long id = FindChild(hwnd, client, name);
    HRESULT hr = E_FAIL;
    if (id) {
        hr = focus ? client->accSelect(SELFLAG_TAKEFOCUS, ChildId(id))
                   : client->accDoDefaultAction(ChildId(id));
    }
    client->Release();
    std::printf("%s\n", !id ? "none" : hr == S_OK ? "done" : "refused");
    return hr == S_OK ? 0 : 1;
}

HWND gWatched = nullptr;

void CALLBACK HeardEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD,
                         DWORD) {
    if (hwnd != gWatched || object != OBJID_CLIENT || child == CHILDID_SELF) return;
    const char* what = nullptr;
    switch (event) {
        case EVENT_OBJECT_NAMECHANGE:
            what = "namechange";
            break;
        case EVENT_OBJECT_FOCUS:
            what = "focus";
            break;
        case EVENT_OBJECT_STATECHANGE:
            what = "statechange";
            break;
        case 0x8019:  // EVENT_OBJECT_LIVEREGIONCHANGED
            what = "liveregion";
            break;
        default:
            return;
    }
    // As a screen reader does: the object named by the event, asked at once.
    IAccessible* source = nullptr;
    VARIANT which;
    VariantInit(&which);
    std::wstring name;
    if (AccessibleObjectFromEvent(hwnd, object, child, &source, &which) == S_OK && source) {
        BSTR text = nullptr;
        if (source->get_accName(which, &text) == S_OK) name = TakeBstr(text);
        source->Release();
    }
    std::printf("%s\t", what);
    PrintUtf8(name);
    std::printf("\n");
    std::fflush(stdout);
}

int Watch(HWND hwnd, int seconds) {
    gWatched = hwnd;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, 0x8019, nullptr, HeardEvent, pid, 0,
                                         WINEVENT_OUTOFCONTEXT);
    if (!hook) {
        std::printf("no hook\n");
        return 1;
    }
    std::printf("watching\n");
    std::fflush(stdout);
    const DWORD until = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
    while (static_cast<LONG>(until - GetTickCount()) > 0) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    UnhookWinEvent(hook);
    return 0;
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
    const bool withArgument =
        argc == 4 && argv &&
        (std::wstring(argv[1]) == L"accdo" || std::wstring(argv[1]) == L"accfocus" ||
         std::wstring(argv[1]) == L"accwatch");
    if (!argv || (argc != 3 && !withArgument)) {
        std::fprintf(stderr,
                     "usage: sablewick_winprobe "
                     "state|minimize|count|texts|menuitems|endsession|decoy|fonts|sjisfaces|"
                     "accessibles CAPTION | accdo|accfocus CAPTION NAME | "
                     "accwatch CAPTION SECONDS | menu\n");
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
            std::printf("open %ld %ld %ld %ld\n", r.left, r.top, r.right - r.left,
                        r.bottom - r.top);
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
    if (command == "decoy") {
        // Another program's window with the same caption (as an Explorer window on a
        // folder of that name), kept until this probe is ended.
        HWND decoy = CreateWindowExW(0, L"Static", caption.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                     100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (!decoy) return 1;
        ShowWindow(decoy, SW_SHOWNOACTIVATE);
        std::printf("decoy\n");
        std::fflush(stdout);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
        return 0;
    }
    // The program's own window first: a decoy may carry the same caption.
    HWND hwnd = FindWindowW(L"SablewickMainWindow", caption.c_str());
    if (!hwnd) hwnd = FindWindowW(nullptr, caption.c_str());
    if (!hwnd) {
        std::printf("none\n");
        return 1;
    }
    if (command == "endsession") {
        // What Windows does at a sign-out: ask, announce the end, then end the process
        // without destroying any window.
        DWORD_PTR agreed = 0, done = 0;
        const BOOL asked = SendMessageTimeoutW(hwnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                               SMTO_ABORTIFHUNG, 5000, &agreed);
        const BOOL told = SendMessageTimeoutW(hwnd, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF,
                                              SMTO_ABORTIFHUNG, 5000, &done);
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
        const BOOL ended = process && TerminateProcess(process, 1);
        if (process) {
            WaitForSingleObject(process, 5000);
            CloseHandle(process);
        }
        std::printf("query=%d agreed=%d told=%d ended=%d\n", asked ? 1 : 0, agreed ? 1 : 0,
                    told ? 1 : 0, ended ? 1 : 0);
        return asked && told && ended ? 0 : 1;
    }
    if (command == "state") {
        RECT r;
        GetWindowRect(hwnd, &r);
        const bool topmost = (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        std::printf("found iconic=%d visible=%d topmost=%d %ld %ld %ld %ld\n",
                    IsIconic(hwnd) ? 1 : 0, IsWindowVisible(hwnd) ? 1 : 0, topmost ? 1 : 0, r.left,
                    r.top, r.right - r.left, r.bottom - r.top);
        return 0;
    }
    if (command == "texts") {
        EnumChildWindows(hwnd, PrintChild, 0);
        return 0;
    }
    if (command == "menuitems") return PrintMenuItems(hwnd);
    if (command == "minimize") {
        ShowWindowAsync(hwnd, SW_MINIMIZE);
        for (int i = 0; i < 50 && !IsIconic(hwnd); ++i) Sleep(100);
        return IsIconic(hwnd) ? 0 : 1;
    }
    if (command == "fonts") {
        EnumChildWindows(hwnd, PrintChildFont, 0);
        return 0;
    }
    if (command == "accessibles" || command == "accdo" || command == "accfocus" ||
        command == "accwatch") {
        // A screen reader's thread: the object comes marshalled from the program's.
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        int status = 0;
        if (command == "accessibles")
            status = PrintAccessibles(hwnd);
        else if (command == "accwatch")
            status = Watch(hwnd, _wtoi(argv[3]));
        else
            status = ActOn(hwnd, argv[3], command == "accfocus");
        CoUninitialize();
        return status;
    }
    if (command == "sjisfaces") {
        // The faces this prefix offers for Shift-JIS text, one a line.
        HDC dc = GetDC(nullptr);
        LOGFONTW query = {};
        query.lfCharSet = SHIFTJIS_CHARSET;
        EnumFontFamiliesExW(dc, &query, PrintFace, 0, 0);
        ReleaseDC(nullptr, dc);
        return 0;
    }
    std::fprintf(stderr, "unknown command\n");
    return 2;
}
