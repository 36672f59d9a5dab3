// The Win32 backend where a Windows user's machine differs from ours: the input method,
// the labels' font, folders named in any script, files held by other programs, the
// browser's start and the program's manifest. Only in the Windows test program (run
// under Wine with a display).
#ifdef _WIN32
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/Win32Platform.h"
#include "support/QuietEvents.h"
#include "support/TestPlatform.h"

#include <imm.h>
#include <objbase.h>

namespace {

// This test program doubles as the child whose start-up record is examined, and as the
// parent that starts it through the backend. Both run before the tests do.
const wchar_t kReportSwitch[] = L"--sablewick-startup-report=";
const wchar_t kLaunchSwitch[] = L"--sablewick-launch=";

std::wstring SwitchValue(const std::wstring& commandLine, const wchar_t* name) {
    const size_t at = commandLine.find(name);
    if (at == std::wstring::npos) return std::wstring();
    std::wstring value = commandLine.substr(at + wcslen(name));
    const size_t end = value.find(L'"');
    return end == std::wstring::npos ? value : value.substr(0, end);
}

std::wstring SelfPath() {
    wchar_t self[MAX_PATH + 1] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return self;
}

// Writes "flags show title" of this process's start-up record to the file, and ends.
// Starts another copy through TWin32Platform::StartProcess with a start-up record of
// its own (a title, minimised), and ends.
[[maybe_unused]] const bool kChildModes = [] {
    const std::wstring commandLine = GetCommandLineW();
    const std::wstring report = SwitchValue(commandLine, kReportSwitch);
    if (!report.empty()) {
        STARTUPINFOW si;
        GetStartupInfoW(&si);
        std::ofstream out(WideToUtf8(report).c_str());
        out << si.dwFlags << ' ' << si.wShowWindow << ' '
            << (si.lpTitle ? WideToUtf8(si.lpTitle) : std::string());
        out.close();
        ExitProcess(0);
    }
    const std::wstring launch = SwitchValue(commandLine, kLaunchSwitch);
    if (!launch.empty()) {
        // launch is "EXE|REPORT": the program to start and where it reports.
        const size_t bar = launch.find(L'|');
        TWin32Platform os(GetModuleHandleW(nullptr));
        os.StartProcess(WideToUtf8(launch.substr(0, bar)),
                        "child " + WideToSjis(kReportSwitch + launch.substr(bar + 1)));
        ExitProcess(0);
    }
    return true;
}();

std::wstring Wide(const std::string& utf8) {
    return Utf8ToWide(utf8);
}

bool WaitForFile(const std::wstring& path, int seconds) {
    for (int i = 0; i < seconds * 20; ++i) {
        if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
            Sleep(100);  // let the writer finish
            return true;
        }
        Sleep(50);
    }
    return false;
}

std::string ReadAll(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<none>";
    char buffer[4096];
    DWORD got = 0;
    std::string text;
    while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    CloseHandle(file);
    return text;
}

// "Café ☆ Ωμέγα": é and the Greek are outside code page 932, the star inside it.
const char kForeignName[] = "Caf\xC3\xA9 \xE2\x98\x86 \xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1";

class Win32User : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = MakeTempDir("user");
        ASSERT_FALSE(Dir.empty());
        Foreign = Dir + kForeignName + "\\";
        ASSERT_TRUE(CreateDirectoryW(Wide(Foreign).c_str(), nullptr));
    }
    std::string Dir;
    std::string Foreign;
    TWin32Platform Os{GetModuleHandleW(nullptr)};
};

TEST_F(Win32User, TheWishBoxSwitchesTheInputMethodOnWhenItGetsTheFocus) {
    TQuietEvents events;
    Os.SetApplicationTitle("SablewickImeTest-" + std::to_string(GetCurrentProcessId()));
    Os.CreateMainWindow(&events, 737, 584);
    Os.CreateMemo(463, 82, 228, 121, 380, TLabelStyle());
    HWND memo = FindWindowExW(Os.MainWindow(), nullptr, L"Edit", nullptr);
    ASSERT_NE(memo, nullptr);
    Os.ShowMainWindow();
    Os.SetMemoReadOnly(false);
    Os.SetMemoVisible(true);
    // The user switched it off somewhere else; the box switches it on again.
    HIMC context = ImmGetContext(memo);
    ASSERT_NE(context, nullptr);
    ImmSetOpenStatus(context, FALSE);
    ImmReleaseContext(memo, context);
    SetFocus(Os.MainWindow());
    Os.FocusMemo();
    ASSERT_EQ(GetFocus(), memo);
    context = ImmGetContext(memo);
    ASSERT_NE(context, nullptr);
    EXPECT_TRUE(ImmGetOpenStatus(context));
    ImmReleaseContext(memo, context);
    Os.CloseMainWindow();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

TEST(Win32Font, TheFirstFaceOfTheListThatIsInstalledWins) {
    const std::wstring gothicJa = L"\xFF2D\xFF33 \x30B4\x30B7\x30C3\x30AF";
    // The list's order counts, not the system's.
    EXPECT_EQ(PickJapaneseFace({L"Arial", L"Yu Gothic", gothicJa}), gothicJa);
    EXPECT_EQ(PickJapaneseFace({L"Meiryo", L"MS Gothic", L"Yu Gothic UI"}), L"MS Gothic");
    // A Windows without MS Gothic (an English Windows 11): a face it always has.
    EXPECT_EQ(PickJapaneseFace({L"Arial", L"Meiryo", L"yu gothic"}), L"Yu Gothic");
    // Names are compared without regard to case.
    EXPECT_EQ(PickJapaneseFace({L"YU GOTHIC UI"}), L"Yu Gothic UI");
    // Nothing of ours ("@" faces are vertical writing and are never listed).
    EXPECT_EQ(PickJapaneseFace({L"Arial", L"@MS Gothic", L"IPAGothic"}), L"");
    EXPECT_EQ(PickJapaneseFace({}), L"");
}

TEST(Win32Font, AskingForTheFacesByNameChoosesAsTheWholeListDoes) {
    const std::wstring listed = PickJapaneseFace(InstalledJapaneseFaces());
    ASSERT_FALSE(listed.empty()) << "no face of the list is installed here";
    EXPECT_EQ(FirstInstalledJapaneseFace(), listed);
}

TEST_F(Win32User, LabelsAndTheWishBoxUseOneInstalledJapaneseFace) {
    TQuietEvents events;
    Os.SetApplicationTitle("SablewickFontTest-" + std::to_string(GetCurrentProcessId()));
    Os.CreateMainWindow(&events, 737, 584);
    TLabelStyle label;
    label.CellHeight = 16;
    Os.CreateLabel(TControl::LabelTittle, 445, 300, 250, 20, label);
    TLabelStyle memoStyle;
    memoStyle.CellHeight = 14;
    Os.CreateMemo(463, 82, 228, 121, 380, memoStyle);
    HWND hwnds[2] = {FindWindowExW(Os.MainWindow(), nullptr, L"Static", nullptr),
                     FindWindowExW(Os.MainWindow(), nullptr, L"Edit", nullptr)};
    const std::vector<std::wstring> installed = InstalledJapaneseFaces();
    ASSERT_FALSE(installed.empty()) << "no font with Japanese glyphs at all";
    const int heights[2] = {16, -14};
    std::wstring faces[2];
    for (int i = 0; i < 2; ++i) {
        ASSERT_NE(hwnds[i], nullptr);
        HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnds[i], WM_GETFONT, 0, 0));
        ASSERT_NE(font, nullptr);
        LOGFONTW lf = {};
        ASSERT_NE(GetObjectW(font, sizeof lf, &lf), 0);
        faces[i] = lf.lfFaceName;
        // The pixel heights of the layout, whatever the face.
        EXPECT_EQ(lf.lfHeight, heights[i]);
        EXPECT_EQ(lf.lfCharSet, SHIFTJIS_CHARSET);
        bool found = false;
        for (const std::wstring& have : installed)
            found = found || CompareStringOrdinal(have.c_str(), -1, faces[i].c_str(), -1, TRUE) ==
                                 CSTR_EQUAL;
        EXPECT_TRUE(found) << "control " << i << " asks for " << WideToUtf8(faces[i])
                           << ", which is not installed";
    }
    EXPECT_EQ(faces[0], faces[1]);
    // The face draws what the labels show, Latin as well as Japanese: a CJK-only fallback
    // face would show the card number as empty boxes.
    const wchar_t sample[] = L"CARD.012 Sablewick \x5360\x3044";
    HDC dc = GetDC(nullptr);
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnds[0], WM_GETFONT, 0, 0)));
    constexpr int n = static_cast<int>(sizeof sample / sizeof sample[0]) - 1;
    WORD glyphs[n] = {};
    ASSERT_EQ(GetGlyphIndicesW(dc, sample, n, glyphs, GGI_MARK_NONEXISTING_GLYPHS),
              static_cast<DWORD>(n));
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    for (WORD glyph : glyphs) EXPECT_NE(glyph, 0xFFFF) << WideToUtf8(faces[0]) << " lacks a glyph";
    const std::wstring preferred = PickJapaneseFace(installed);
    if (!preferred.empty()) {
        EXPECT_EQ(faces[0], preferred);
    }
    Os.CloseMainWindow();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

TEST_F(Win32User, FilesInAFolderCodePage932CannotSpellKeepTheirNames) {
    const std::string ini = Foreign + "Orvane.ini";
    const std::string temporary = ini + ".new";
    ASSERT_TRUE(Os.WriteFile(temporary, "[Orvane.ini]\r\nCardNum=7\r\n"));
    ASSERT_TRUE(Os.FileExists(temporary));
    ASSERT_TRUE(Os.ReplaceFile(temporary, ini));
    // The file is there under its own name, in the folder of its own name, and nowhere
    // else (no "Caf? ..." beside it).
    EXPECT_EQ(ReadAll(Wide(ini)), "[Orvane.ini]\r\nCardNum=7\r\n");
    EXPECT_EQ(GetFileAttributesW(Wide(temporary).c_str()), INVALID_FILE_ATTRIBUTES);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Wide(Dir + "*").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    std::vector<std::string> names;
    do {
        if (found.cFileName[0] != L'.') names.push_back(WideToUtf8(found.cFileName));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    EXPECT_EQ(names, std::vector<std::string>{kForeignName});
    std::string data;
    ASSERT_TRUE(Os.ReadFile(ini, data));
    EXPECT_EQ(data, "[Orvane.ini]\r\nCardNum=7\r\n");
    EXPECT_TRUE(Os.DeleteFile(ini));
    EXPECT_FALSE(Os.FileExists(ini));
}

// A scanner's hold: the target opened with no sharing at all, as long as `holdMs` or
// until released.
class THold {
public:
    explicit THold(const std::string& path) {
        File = CreateFileW(Wide(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    }
    ~THold() {
        if (Releaser.joinable()) Releaser.join();
        Release();
    }
    bool Held() const { return File != INVALID_HANDLE_VALUE; }
    void ReleaseAfter(int ms) {
        Releaser = std::thread([this, ms] {
            Sleep(ms);
            Release();
        });
    }
    void Release() {
        HANDLE file = Swap(INVALID_HANDLE_VALUE);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }

private:
    HANDLE Swap(HANDLE to) { return InterlockedExchangePointer(&File, to); }
    HANDLE volatile File = INVALID_HANDLE_VALUE;
    std::thread Releaser;
};

TEST_F(Win32User, ReplacingAFileAnotherProgramHoldsWaitsForItBriefly) {
    const std::string ini = Foreign + "Orvane.ini";
    const std::string temporary = ini + ".new";
    ASSERT_TRUE(Os.WriteFile(ini, "old"));

    // Held for a tenth of a second: the replace goes through once it is let go.
    ASSERT_TRUE(Os.WriteFile(temporary, "new"));
    {
        THold hold(ini);
        ASSERT_TRUE(hold.Held());
        hold.ReleaseAfter(100);
        EXPECT_TRUE(Os.ReplaceFile(temporary, ini));
    }
    EXPECT_EQ(ReadAll(Wide(ini)), "new");
    EXPECT_FALSE(Os.FileExists(temporary));

    // Held for longer than the tries: the replace fails and both files stay whole, so the
    // caller can remove its temporary file and report.
    ASSERT_TRUE(Os.WriteFile(temporary, "newer"));
    {
        THold hold(ini);
        ASSERT_TRUE(hold.Held());
        EXPECT_FALSE(Os.ReplaceFile(temporary, ini));
    }
    EXPECT_EQ(ReadAll(Wide(ini)), "new");
    EXPECT_EQ(ReadAll(Wide(temporary)), "newer");
    EXPECT_TRUE(Os.DeleteFile(temporary));

    // A failure no waiting cures (no file to move) is given up at once.
    EXPECT_FALSE(Os.ReplaceFile(temporary, ini));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(ReadAll(Wide(ini)), "new");
}

TEST(Win32Shell, TheShellRunsInASingleThreadedApartmentLeftWithTheBackend) {
    std::atomic<long> during{0}, after{0};
    // A thread of its own: whatever the test program's main thread did with COM does not
    // count.
    std::thread([&] {
        {
            TWin32Platform os(GetModuleHandleW(nullptr));
            os.FindExecutable("C:\\no such folder\\z.html");
            // A thread in a single-threaded apartment cannot join the multithreaded one.
            during = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            if (SUCCEEDED(during.load())) CoUninitialize();
        }
        // The backend left it: the thread is free again.
        after = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(after.load())) CoUninitialize();
    }).join();
    EXPECT_EQ(during.load(), RPC_E_CHANGED_MODE);
    EXPECT_EQ(after.load(), S_OK);
}

TEST_F(Win32User, TheBrowserGetsAStartUpRecordOfItsOwnAndAnyFolderName) {
    // The "browser" is a copy of this program in the foreign folder; it is started by a
    // parent that was itself started minimised with a title of its own.
    const std::wstring browser = Wide(Foreign + "browser.exe");
    ASSERT_TRUE(CopyFileW(SelfPath().c_str(), browser.c_str(), FALSE));
    const std::wstring report = Wide(Dir + "startup.txt");
    std::wstring parentLine = L"\"" + SelfPath() + L"\" " + kLaunchSwitch + browser + L"|" + report;
    std::vector<wchar_t> line(parentLine.begin(), parentLine.end());
    line.push_back(L'\0');
    wchar_t title[] = L"SablewickParentTitle";
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    si.lpTitle = title;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWMINNOACTIVE;
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &si, &pi));
    WaitForSingleObject(pi.hProcess, 30000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    ASSERT_TRUE(WaitForFile(report, 30)) << "the browser at a foreign path never started";
    std::istringstream fields(ReadAll(report));
    unsigned long flags = 99;
    int show = -1;
    std::string childTitle;
    fields >> flags >> show;
    std::getline(fields, childTitle);
    // Nothing of the parent's record: not its show state, not its title.
    EXPECT_EQ(flags & STARTF_USESHOWWINDOW, 0u);
    EXPECT_EQ(childTitle.find("SablewickParentTitle"), std::string::npos) << childTitle;
}

TEST_F(Win32User, ABrowserThatCannotStartLeavesTheAddressToTheShell) {
    // The address is a command script that leaves a mark: what the shell's default action
    // does with it shows that the address reached the shell.
    const std::string script = Dir + "address.cmd";
    const std::string mark = Dir + "opened.txt";
    ASSERT_TRUE(Os.WriteFile(script, "@echo opened> \"" + mark + "\"\r\n"));
    Os.StartProcess(Foreign + "no such browser.exe", "/url " + script);
    EXPECT_TRUE(WaitForFile(Wide(mark), 30)) << "the shell was never asked";
}

TEST(Win32Libraries, SystemDllsComeFromTheSystemFolderOnly) {
    wchar_t system[MAX_PATH] = {};
    ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
    HMODULE winmm = LoadSystemLibrary(L"winmm.dll");
    ASSERT_NE(winmm, nullptr);
    wchar_t loaded[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(winmm, loaded, MAX_PATH), 0u);
    EXPECT_EQ(CompareStringOrdinal(loaded, lstrlenW(system), system, -1, TRUE), CSTR_EQUAL)
        << WideToUtf8(loaded);
    EXPECT_NE(SystemFunction(winmm, "sndPlaySoundA"), nullptr);
    EXPECT_EQ(SystemFunction(winmm, "NoSuchFunction"), nullptr);
    EXPECT_EQ(SystemFunction(nullptr, "sndPlaySoundA"), nullptr);

    // A file of a DLL's name beside the program is what the plain search finds first; the
    // system search never looks there.
    std::wstring planted = SelfPath();
    planted = planted.substr(0, planted.find_last_of(L"\\/") + 1) + L"sablewick-planted.dll";
    {
        std::ofstream out(WideToUtf8(planted).c_str(), std::ios::binary);
        out << "not a DLL";
    }
    SetLastError(0);
    EXPECT_EQ(LoadLibraryW(L"sablewick-planted.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_EXE_FORMAT)) << "the plant is not found";
    SetLastError(0);
    EXPECT_EQ(LoadSystemLibrary(L"sablewick-planted.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    DeleteFileW(planted.c_str());
}

std::string ManifestResource(int number) {
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(number), MAKEINTRESOURCEW(24));
    if (!found) return std::string();
    HGLOBAL loaded = LoadResource(nullptr, found);
    if (!loaded) return std::string();
    return std::string(static_cast<const char*>(LockResource(loaded)),
                       SizeofResource(nullptr, found));
}

TEST(Win32Manifest, LongPathsAndDpiSettingsWithCommonControls6ForMessageBoxesOnly) {
    const std::string xml = ManifestResource(1);
    ASSERT_FALSE(xml.empty());
    EXPECT_NE(xml.find("<longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/"
                       "WindowsSettings\">true</longPathAware>"),
              std::string::npos);
    EXPECT_NE(xml.find(">true/pm</dpiAware>"), std::string::npos);
    EXPECT_NE(xml.find(">PerMonitorV2,PerMonitor</dpiAwareness>"), std::string::npos);
    // The program's own identity names the processor this build runs on: Windows refuses
    // to start an exe whose manifest names another one (Wine does not check).
    const std::string own =
        sizeof(void*) == 8 ? "processorArchitecture=\"amd64\"" : "processorArchitecture=\"x86\"";
    const size_t self = xml.find("name=\"Sablewick\"");
    ASSERT_NE(self, std::string::npos);
    EXPECT_NE(xml.substr(self, xml.find("/>", self) - self).find(own), std::string::npos)
        << "the program's identity should carry " << own;
    // The whole process would load the common controls at start for the labels.
    EXPECT_EQ(xml.find("Microsoft.Windows.Common-Controls"), std::string::npos);

    const std::string boxes = ManifestResource(101);
    ASSERT_FALSE(boxes.empty()) << "no manifest for the message boxes";
    // The one element, as Windows reads it: every attribute on the same identity.
    const size_t identity = boxes.find("name=\"Microsoft.Windows.Common-Controls\"");
    ASSERT_NE(identity, std::string::npos);
    const size_t open = boxes.rfind("<assemblyIdentity", identity);
    ASSERT_NE(open, std::string::npos);
    const std::string element = boxes.substr(open, boxes.find("/>", identity) - open);
    EXPECT_NE(element.find("version=\"6.0.0.0\""), std::string::npos) << element;
    EXPECT_NE(element.find("publicKeyToken=\"6595b64144ccf1df\""), std::string::npos) << element;
    EXPECT_NE(element.find("processorArchitecture=\"*\""), std::string::npos) << element;
    EXPECT_NE(boxes.rfind("<dependentAssembly>", open), std::string::npos);
}

// The file of the module a window's procedure lives in, lower case.
std::wstring ProcedureModule(HWND hwnd) {
    HMODULE module = nullptr;
    const auto proc = reinterpret_cast<LPCWSTR>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
    if (!GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            proc, &module))
        return std::wstring();
    wchar_t path[MAX_PATH + 1] = {};
    GetModuleFileNameW(module, path, MAX_PATH);
    std::wstring lower = path;
    CharLowerW(&lower[0]);
    return lower;
}

TEST_F(Win32User, AnErrorBoxHasTheSystemsLookWhileTheLabelsAreTheSystemsOwnControls) {
    TQuietEvents events;
    const std::string title = "SablewickBoxTest-" + std::to_string(GetCurrentProcessId());
    Os.SetApplicationTitle(title);
    Os.CreateMainWindow(&events, 737, 584);
    Os.CreateLabel(TControl::LabelTittle, 445, 300, 250, 20, TLabelStyle());
    Os.CreateMemo(463, 82, 228, 121, 380, TLabelStyle());
    for (const wchar_t* kind : {L"Static", L"Edit"}) {
        HWND control = FindWindowExW(Os.MainWindow(), nullptr, kind, nullptr);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(ProcedureModule(control).find(L"comctl32"), std::wstring::npos)
            << WideToUtf8(kind) << " comes from " << WideToUtf8(ProcedureModule(control));
    }
    // The box is modal: another thread finds it, reads its button and presses it.
    std::wstring buttonModule;
    std::thread presser([&] {
        for (int i = 0; i < 500; ++i) {
            HWND box = FindWindowW(L"#32770", Utf8ToWide(title).c_str());
            HWND button = box ? FindWindowExW(box, nullptr, L"Button", nullptr) : nullptr;
            if (button) {
                buttonModule = ProcedureModule(button);
                PostMessageW(box, WM_COMMAND, IDOK, 0);
                return;
            }
            Sleep(20);
        }
    });
    Os.ShowErrorBox(title, "test");
    presser.join();
    EXPECT_NE(buttonModule.find(L"common-controls"), std::wstring::npos)
        << "the box's button comes from " << WideToUtf8(buttonModule);
    Os.CloseMainWindow();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

}  // namespace
#endif
