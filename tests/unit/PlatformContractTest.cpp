// What the program counts on from its platform, the whole of Platform.h, checked on the
// build's own backend: the headless one in the native suite, the real GTK one on an X
// server, the real Win32 one (code page 932, GDI, the module's resource section, Windows
// files and controls) in the Windows test program under Wine. What each shows is read
// back through its probe (support/TestPlatform.h), the system's own way.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/Errors.h"
#include "common/SjisTexts.h"
#include "support/TestPlatform.h"

namespace {

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = MakeTempDir("platform");
        ASSERT_FALSE(Dir.empty());
        Os = CreateTestPlatform(Dir);
    }
    std::string Dir;
    std::unique_ptr<TPlatform> Os;
};

// ---- Code page 932 ---------------------------------------------------------------------

using PlatformText = PlatformTest;

TEST_F(PlatformText, JapaneseRoundTripsBothWays) {
    struct Case {
        const char* utf8;
        std::string sjis;
    } cases[] = {
        {"\xE5\x8D\xA0\xE3\x81\x84\xE5\xAE\x9F\xE8\xA1\x8C",
         "\x90\xE8\x82\xA2\x8E\xC0\x8D\x73"},                      // 占い実行
        {"\xEF\xBD\xB1\xEF\xBD\xB2\xEF\xBD\xB3", "\xB1\xB2\xB3"},  // half-width ｱｲｳ: one byte each
        // 表示ソ: trail bytes 0x5C, the byte of a backslash, inside double-byte characters.
        {"\xE8\xA1\xA8\xE7\xA4\xBA\xE3\x82\xBD", "\x95\x5C\x8E\xA6\x83\x5C"},
        {"\xE2\x91\xA0", "\x87\x40"},  // ①, a code page 932 extension over plain Shift-JIS
        {"\xEF\xBD\x9E", "\x81\x60"},  // ～ is U+FF5E in code page 932, not the wave dash
        {"CARD.007", "CARD.007"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Os->Utf8ToSjis(c.utf8), c.sjis) << c.utf8;
        EXPECT_EQ(Os->SjisToUtf8(c.sjis), c.utf8) << c.utf8;
    }
    EXPECT_EQ(Os->SjisToUtf8(""), "");
    EXPECT_EQ(Os->Utf8ToSjis(""), "");
}

TEST_F(PlatformText, EveryFixedTextOfTheProgramConvertsBothWays) {
    for (const TTextPair& t : kTextPairs) {
        EXPECT_EQ(Os->SjisToUtf8(t.Sjis), t.Utf8);
        EXPECT_EQ(Os->Utf8ToSjis(t.Utf8), t.Sjis);
    }
}

TEST_F(PlatformText, TextsAreTakenWholeNotUpToTheirFirstZeroByte) {
    const std::string sjis("a\0\x90\xE8", 4);
    const std::string utf8("a\0\xE5\x8D\xA0", 5);
    EXPECT_EQ(Os->SjisToUtf8(sjis), utf8);
    EXPECT_EQ(Os->Utf8ToSjis(utf8), sjis);
}

TEST_F(PlatformText, BadBytesAreReplacedAndTheRestOfTheTextSurvives) {
    // Not code page 932: a byte that starts no character, a lead byte at the very end,
    // a lead byte before a space.
    for (const std::string& bad : {std::string("A\xFF"
                                               "B"),
                                   std::string("AB\x82"), std::string("A\x82 B")}) {
        const std::string out = Os->SjisToUtf8(bad);
        ASSERT_FALSE(out.empty()) << bad;
        EXPECT_EQ(out.front(), 'A') << bad;
        if (bad.back() == 'B') {
            EXPECT_EQ(out.back(), 'B') << bad;
        }
    }
    // A character code page 932 cannot hold (an emoji) becomes question marks, never a
    // stray lead byte that would swallow the next character.
    const std::string out = Os->Utf8ToSjis(
        "A\xF0\x9F\x98\x80"
        "B");
    ASSERT_GE(out.size(), 3u);
    EXPECT_EQ(out.front(), 'A');
    EXPECT_EQ(out.back(), 'B');
    for (size_t i = 1; i + 1 < out.size(); ++i) EXPECT_EQ(out[i], '?');
}

// ---- Files -----------------------------------------------------------------------------

using PlatformFiles = PlatformTest;

TEST_F(PlatformFiles, WriteReadOverwriteAndDelete) {
    const std::string path = Dir + "data.bin";
    EXPECT_FALSE(Os->FileExists(path));
    std::string got = "stale";
    EXPECT_FALSE(Os->ReadFile(path, got));

    // Every byte value, CR LF and NUL: files are bytes, with no text-mode translation.
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<char>(i));
    bytes += "\r\n\n\r";
    ASSERT_TRUE(Os->WriteFile(path, bytes));
    EXPECT_TRUE(Os->FileExists(path));
    ASSERT_TRUE(Os->ReadFile(path, got));
    EXPECT_EQ(got, bytes);

    // A shorter write leaves nothing of the longer file behind.
    ASSERT_TRUE(Os->WriteFile(path, "ab"));
    ASSERT_TRUE(Os->ReadFile(path, got));
    EXPECT_EQ(got, "ab");

    ASSERT_TRUE(Os->WriteFile(path, ""));
    ASSERT_TRUE(Os->ReadFile(path, got));
    EXPECT_EQ(got, "");

    EXPECT_TRUE(Os->DeleteFile(path));
    EXPECT_FALSE(Os->FileExists(path));
    EXPECT_FALSE(Os->DeleteFile(path));
}

// Paths are UTF-8 and reach the system whole: the file on the disk has the very name,
// Japanese and a letter code page 932 cannot spell alike.
TEST_F(PlatformFiles, FileNamesAreUtf8AndReachTheDiskWhole) {
    const std::string name = "\xE5\x8D\xA0\xE3\x81\x84-Jos\xC3\xA9.ini";  // 占い-José.ini
    const std::string path = Dir + name;
    ASSERT_TRUE(Os->WriteFile(path, "[Orvane.ini]\r\n"));
    EXPECT_TRUE(Os->FileExists(path));
    std::string got;
    ASSERT_TRUE(Os->ReadFile(path, got));
    EXPECT_EQ(got, "[Orvane.ini]\r\n");
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::u8path(Dir)))
        names.push_back(entry.path().filename().u8string());
    EXPECT_EQ(names, std::vector<std::string>{name}) << "the name on the disk";
    // A name that differs only in its second character is another file.
    EXPECT_FALSE(Os->FileExists(Dir + "\xE5\x8D\xA0\xE3\x81\x85-Jos\xC3\xA9.ini"));
    EXPECT_TRUE(Os->DeleteFile(path));
    EXPECT_FALSE(Os->FileExists(path));
}

TEST_F(PlatformFiles, DirectoriesAreNotFiles) {
    const std::string sub = Dir + "sub";
    std::filesystem::create_directory(sub);
    EXPECT_FALSE(Os->FileExists(sub));
    std::string got;
    EXPECT_FALSE(Os->ReadFile(sub, got));
    EXPECT_FALSE(Os->WriteFile(sub, "x"));
}

TEST_F(PlatformFiles, ReplaceMovesTheNewFileOverTheOld) {
    const std::string target = Dir + "Orvane.ini";
    const std::string temp = Dir + "Orvane.ini.new";
    ASSERT_TRUE(Os->WriteFile(target, "old"));
    ASSERT_TRUE(Os->WriteFile(temp, "new"));
    ASSERT_TRUE(Os->ReplaceFile(temp, target));
    std::string got;
    ASSERT_TRUE(Os->ReadFile(target, got));
    EXPECT_EQ(got, "new");
    EXPECT_FALSE(Os->FileExists(temp));
}

// What WriteFile wrote is on the disk when it returns, and a ReplaceFile's move lasts
// once it returns: a power cut just after either loses nothing.
TEST_F(PlatformFiles, AWriteAndAMoveAreOnTheDiskWhenTheyReturn) {
    std::unique_ptr<TBackendProbe> probe = CreateBackendProbe(*Os);
    const std::string target = Dir + "Orvane.ini";
    const std::string temp = Dir + "Orvane.ini.new";
    ASSERT_TRUE(Os->WriteFile(target, "old"));
    probe->WatchFlushes();
    ASSERT_TRUE(Os->WriteFile(temp, "new"));
    EXPECT_TRUE(probe->DataFlushed(temp));
    EXPECT_FALSE(probe->DataFlushed(target)) << "only the file written counts";
    ASSERT_TRUE(Os->ReplaceFile(temp, target));
    EXPECT_TRUE(probe->MoveFlushed(target));
}

// A disk that fills up while a file is written: the write fails, and no file is left
// that a reader would take for the whole.
TEST_F(PlatformFiles, AWriteCutShortLeavesNoHalfFile) {
    std::unique_ptr<TBackendProbe> probe = CreateBackendProbe(*Os);
    const std::string path = Dir + "WallOrvane.bmp";
    const std::string bytes(4096, 'w');
    probe->LimitFileSize(100);
    const bool wrote = Os->WriteFile(path, bytes);
    probe->LimitFileSize(-1);
    EXPECT_FALSE(wrote);
    EXPECT_FALSE(Os->FileExists(path));
    // Room again: the same write succeeds.
    EXPECT_TRUE(Os->WriteFile(path, bytes));
    std::string got;
    ASSERT_TRUE(Os->ReadFile(path, got));
    EXPECT_EQ(got, bytes);
}

TEST_F(PlatformFiles, FailedWriteOrReplaceKeepsTheOldFile) {
    const std::string target = Dir + "Orvane.ini";
    ASSERT_TRUE(Os->WriteFile(target, "old"));
    // The new file cannot be written (its folder does not exist, or is a file), so
    // there is nothing to move over the old one.
    const std::string inMissingDir =
        Dir + "no-such-dir" + (Dir.back() == '/' ? "/" : "\\") + "x.new";
    EXPECT_FALSE(Os->WriteFile(inMissingDir, "new"));
    EXPECT_FALSE(Os->FileExists(inMissingDir));
    const std::string underFile = target + (Dir.back() == '/' ? "/" : "\\") + "x.new";
    EXPECT_FALSE(Os->WriteFile(underFile, "new"));
    EXPECT_FALSE(Os->ReplaceFile(inMissingDir, target));
    EXPECT_FALSE(Os->ReplaceFile(Dir + "never-written.new", target));
    std::string got;
    ASSERT_TRUE(Os->ReadFile(target, got));
    EXPECT_EQ(got, "old");
    // All or nothing the other way too: a move that cannot take the target's place (a
    // folder is there) leaves the new file where it was, whole.
    const std::string temp = Dir + "Orvane.ini.new";
    const std::string folder = Dir + "folder";
    std::filesystem::create_directory(std::filesystem::u8path(folder));
    ASSERT_TRUE(Os->WriteFile(temp, "new"));
    EXPECT_FALSE(Os->ReplaceFile(temp, folder));
    ASSERT_TRUE(Os->ReadFile(temp, got));
    EXPECT_EQ(got, "new");
    EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::u8path(folder)));
}

TEST_F(PlatformFiles, ReadOnlyDirectoryRefusesNewFiles) {
    const std::string sub = Dir + "locked";
    std::filesystem::create_directory(sub);
    std::filesystem::permissions(
        sub, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    const std::string sep = Dir.back() == '/' ? "/" : "\\";
    // Some accounts (root; Windows, where read-only does not apply to folders) may write
    // anyway; then there is nothing to test.
    bool writable = false;
    {
        std::ofstream probe(sub + sep + "probe");
        writable = probe.good();
    }
    if (writable) {
        std::filesystem::remove(sub + sep + "probe");
        std::filesystem::permissions(sub, std::filesystem::perms::owner_all);
        GTEST_SKIP() << "this account writes into read-only folders";
    }
    EXPECT_FALSE(Os->WriteFile(sub + sep + "Orvane.ini", "x"));
    EXPECT_FALSE(Os->FileExists(sub + sep + "Orvane.ini"));
    std::filesystem::permissions(sub, std::filesystem::perms::owner_all);
}

// ---- Regions ---------------------------------------------------------------------------

// Region data as the window shape code writes it: a 32-byte header (size 32, type 1,
// count, buffer size 0, bounds) and 16 bytes per rectangle.
using PlatformRegions = PlatformTest;

TEST_F(PlatformRegions, RectangleIsHalfOpen) {
    TRegionHandle r = Os->CreateRectRegion(2, 3, 10, 8);
    ASSERT_NE(r, nullptr);
    EXPECT_TRUE(Os->RegionContains(r, 2, 3));
    EXPECT_TRUE(Os->RegionContains(r, 9, 7));
    EXPECT_FALSE(Os->RegionContains(r, 10, 7));
    EXPECT_FALSE(Os->RegionContains(r, 9, 8));
    EXPECT_FALSE(Os->RegionContains(r, 1, 3));
    Os->DeleteRegion(r);

    TRegionHandle empty = Os->CreateRectRegion(0, 0, 0, 0);
    ASSERT_NE(empty, nullptr);
    EXPECT_FALSE(Os->RegionContains(empty, 0, 0));
    Os->DeleteRegion(empty);
}

TEST_F(PlatformRegions, OrIntoOneOfItsOwnSourcesAndCopyIsIndependent) {
    TRegionHandle a = Os->CreateRectRegion(0, 0, 10, 10);
    TRegionHandle b = Os->CreateRectRegion(20, 0, 30, 10);
    // The shape is grown in place: the destination is also the first source.
    ASSERT_TRUE(Os->CombineRegionOr(a, a, b));
    EXPECT_TRUE(Os->RegionContains(a, 5, 5));
    EXPECT_TRUE(Os->RegionContains(a, 25, 5));
    EXPECT_FALSE(Os->RegionContains(a, 15, 5));

    TRegionHandle copy = Os->CreateRectRegion(0, 0, 0, 0);
    ASSERT_TRUE(Os->CopyRegion(copy, a));
    TRegionHandle c = Os->CreateRectRegion(10, 0, 20, 10);
    ASSERT_TRUE(Os->CombineRegionOr(a, a, c));
    EXPECT_TRUE(Os->RegionContains(a, 15, 5));
    EXPECT_FALSE(Os->RegionContains(copy, 15, 5));  // the copy did not follow
    Os->DeleteRegion(a);
    Os->DeleteRegion(b);
    Os->DeleteRegion(c);
    EXPECT_TRUE(Os->RegionContains(copy, 25, 5));  // and outlives its source
    Os->DeleteRegion(copy);
}

TEST_F(PlatformRegions, FromRectanglesCoversTheirUnion) {
    // Overlapping, touching, reversed and empty rectangles: only the area counts.
    const TRegionRect rects[] = {
        {3, 4, 7, 5}, {5, 4, 9, 5}, {0, 8, 2, 9}, {6, 6, 2, 7}, {1, 1, 1, 3}};
    TRegionHandle r = Os->CreateRegionFromRects(rects, 5);
    ASSERT_NE(r, nullptr);
    EXPECT_TRUE(Os->RegionContains(r, 3, 4));
    EXPECT_TRUE(Os->RegionContains(r, 8, 4));
    EXPECT_FALSE(Os->RegionContains(r, 9, 4));
    EXPECT_FALSE(Os->RegionContains(r, 3, 5));
    EXPECT_TRUE(Os->RegionContains(r, 1, 8));
    EXPECT_FALSE(Os->RegionContains(r, 4, 6)) << "a reversed rectangle has no area";
    EXPECT_FALSE(Os->RegionContains(r, 1, 1)) << "nor has one without width";
    Os->DeleteRegion(r);

    TRegionHandle e = Os->CreateRegionFromRects(nullptr, 0);
    ASSERT_NE(e, nullptr);
    EXPECT_FALSE(Os->RegionContains(e, 0, 0));
    Os->DeleteRegion(e);
    EXPECT_EQ(Os->CreateRegionFromRects(nullptr, 3), nullptr);
}

TEST_F(PlatformRegions, FromRectanglesWith4001OnePixelRows) {
    std::vector<TRegionRect> rects;
    for (int y = 0; y <= 4000; ++y) rects.push_back({y % 7, y, y % 7 + 3, y + 1});
    TRegionHandle r = Os->CreateRegionFromRects(rects.data(), rects.size());
    ASSERT_NE(r, nullptr);
    for (int y : {0, 1, 6, 3999, 4000}) {
        EXPECT_TRUE(Os->RegionContains(r, y % 7, y)) << y;
        EXPECT_TRUE(Os->RegionContains(r, y % 7 + 2, y)) << y;
        EXPECT_FALSE(Os->RegionContains(r, y % 7 + 3, y)) << y;
    }
    EXPECT_FALSE(Os->RegionContains(r, 0, 4001));
    Os->DeleteRegion(r);
}

// ---- Resources -------------------------------------------------------------------------

using PlatformResources = PlatformTest;

TEST_F(PlatformResources, FoundByTypeAndNameWhateverTheCase) {
    TResourceView a, b, c;
    ASSERT_TRUE(Os->FindResourceData("JPG", "Base", a));
    ASSERT_TRUE(Os->FindResourceData("jpg", "BASE", b));
    ASSERT_TRUE(Os->FindResourceData("JPG", "base", c));
    ASSERT_GE(a.Size, 3u);
    EXPECT_EQ(a.Data[0], 0xFF);  // a JPEG file, whole: it starts with its SOI marker
    EXPECT_EQ(a.Data[1], 0xD8);
    // Views of the same bytes, never copies.
    EXPECT_EQ(a.Data, b.Data);
    EXPECT_EQ(a.Data, c.Data);
    EXPECT_EQ(a.Size, b.Size);

    TResourceView wav;
    ASSERT_TRUE(Os->FindResourceData("WAV", "a01", wav));
    ASSERT_GE(wav.Size, 12u);
    EXPECT_EQ(std::memcmp(wav.Data, "RIFF", 4), 0);
    EXPECT_EQ(std::memcmp(wav.Data + 8, "WAVE", 4), 0);
}

TEST_F(PlatformResources, PointersAreCursorResources) {
    TResourceView v;
    for (int n = 1; n <= 8; ++n)
        EXPECT_TRUE(Os->FindResourceData("CURSOR", "cr" + std::to_string(n), v)) << n;
    EXPECT_FALSE(Os->FindResourceData("CURSOR", "cr9", v));
}

TEST_F(PlatformResources, MissingNameOrWrongTypeIsNotFound) {
    TResourceView v;
    v.Size = 123;
    EXPECT_FALSE(Os->FindResourceData("JPG", "NoSuchPicture", v));
    EXPECT_FALSE(Os->FindResourceData("WAV", "Base", v));  // BASE is a JPG
    EXPECT_FALSE(Os->FindResourceData("JPG", "", v));
    EXPECT_FALSE(Os->FindResourceData("JPG", "Bas", v));  // no prefix matching
}

// ---- The window ------------------------------------------------------------------------

// Records what the window tells the program, and knows whether the window was destroyed
// while one of its handlers was still running.
struct TRecorder : TWindowEvents {
    TPlatform* Os = nullptr;
    int Changes = 0;
    int Ticks = 0;
    int Destroys = 0;
    int EventsAfterDestroy = 0;
    bool DestroyedInsideAHandler = false;
    std::string WishAtDestroy;
    int LeftAtDestroy = 0, TopAtDestroy = 0;
    std::function<void()> OnTick;
    std::function<void()> OnChange;

    // A handler runs: noted while it runs.
    template <typename F>
    void Run(F&& body) {
        if (Destroys) ++EventsAfterDestroy;
        ++Depth;
        body();
        --Depth;
    }
    void FormPaint() override {
        Run([] {});
    }
    void Timer1Timer() override {
        Run([this] {
            ++Ticks;
            if (OnTick) OnTick();
        });
    }
    void FormMouseDown(TControl, TMouseButton, TShiftState, int, int) override {
        Run([] {});
    }
    void FormMouseMove(TControl, TShiftState, int, int) override {
        Run([] {});
    }
    void FormMouseUp(TControl, TMouseButton, TShiftState, int, int) override {
        Run([] {});
    }
    void FormKeyDown(TControl, int&, TShiftState) override {
        Run([] {});
    }
    void FormKeyUp(TControl, int&, TShiftState) override {
        Run([] {});
    }
    void AccessibleAction(int id) override {
        Run([&] { Actions.push_back(id); });
    }
    void AccessibleFocus(int id) override {
        Run([&] { Focuses.push_back(id); });
    }
    std::vector<int> Actions;
    std::vector<int> Focuses;
    void Memo1Change() override {
        Run([this] {
            ++Changes;
            if (OnChange) OnChange();
        });
    }
    void Memo1MouseDown(TMouseButton, TShiftState, int, int) override {
        Run([] {});
    }
    void FormCloseQuery() override {
        Run([] {});
    }
    void FormDestroy() override {
        if (Destroys) ++EventsAfterDestroy;
        if (Depth > 0) DestroyedInsideAHandler = true;
        ++Destroys;
        WishAtDestroy = Os->MemoText();
        Os->GetWindowPos(LeftAtDestroy, TopAtDestroy);
    }
    void FormEndSession() override {
        Run([] {});
    }

private:
    int Depth = 0;
};

// A window of the program's size, its controls as the test makes them, and the probe
// that reads them back. The window goes at the end as the program's does: destroyed,
// then the loop run to its end.
class PlatformWindow : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        Events.Os = Os.get();
        Probe = CreateBackendProbe(*Os);
        Os->CreateMainWindow(&Events, 737, 584);
    }
    void TearDown() override {
        if (Events.Destroys == 0) {
            Os->CloseMainWindow();
            Os->RunMessageLoop();
        }
        Probe.reset();
    }
    static TLabelStyle Style(bool centred, int cell, uint32_t background, uint32_t text) {
        TLabelStyle s;
        s.Centred = s.VCentred = centred;
        s.WordWrap = !centred;
        s.CellHeight = cell;
        s.Background = background;
        s.TextColor = text;
        return s;
    }
    // The look as shown matches the one given (a centred label's wrapping is the
    // system's; a face's cell height may round a pixel either way).
    static void ExpectLook(const TLabelStyle& shown, const TLabelStyle& given, bool label) {
        if (label) {
            EXPECT_EQ(shown.Centred, given.Centred);
            EXPECT_EQ(shown.VCentred, given.VCentred);
            if (!given.Centred) {
                EXPECT_EQ(shown.WordWrap, given.WordWrap);
            }
        }
        EXPECT_NEAR(shown.CellHeight, given.CellHeight, 1);
        EXPECT_EQ(shown.Background, given.Background);
        EXPECT_EQ(shown.TextColor, given.TextColor);
    }

    TRecorder Events;
    std::unique_ptr<TBackendProbe> Probe;
};

TEST_F(PlatformWindow, LabelsShowTheirTextLookAndVisibility) {
    const TLabelStyle centred = Style(true, 12, 0xCF8476, 0);
    const TLabelStyle title = Style(true, 24, 0xCF8476, 0x37211F);
    const TLabelStyle wrapped = Style(false, 12, 0x102030, 0x405060);
    Os->CreateLabel(TControl::LabelNo, 445, 290, 50, 12, centred);
    Os->CreateLabel(TControl::LabelTittle, 439, 303, 276, 24, title);
    Os->CreateLabel(TControl::LabelKaisetu, 463, 398, 228, 121, wrapped);
    // Japanese, and an "&", which is shown and marks no accelerator.
    const std::string text = "\x90\xE8\x82\xA2 & CARD.\x82\x4F";  // 占い & CARD.０
    Os->SetLabelText(TControl::LabelTittle, text);
    Os->SetLabelText(TControl::LabelKaisetu, "line one\r\nline two");
    Probe->Settle();
    TBackendProbe::TShown shown = Probe->Control(TControl::LabelTittle);
    ASSERT_TRUE(shown.Exists);
    EXPECT_TRUE(shown.Visible);
    EXPECT_EQ(shown.Text, text);
    ExpectLook(shown.Look, title, true);
    ExpectLook(Probe->Control(TControl::LabelNo).Look, centred, true);
    EXPECT_EQ(Probe->Control(TControl::LabelNo).Text, "");
    ExpectLook(Probe->Control(TControl::LabelKaisetu).Look, wrapped, true);
    EXPECT_FALSE(Probe->Control(TControl::LabelCreator).Exists) << "never made";

    // Styled again, hidden and shown again.
    Os->SetLabelStyle(TControl::LabelKaisetu, centred);
    Os->SetLabelVisible(TControl::LabelNo, false);
    Probe->Settle();
    ExpectLook(Probe->Control(TControl::LabelKaisetu).Look, centred, true);
    EXPECT_FALSE(Probe->Control(TControl::LabelNo).Visible);
    EXPECT_TRUE(Probe->Control(TControl::LabelTittle).Visible) << "only the one hidden";
    Os->SetLabelVisible(TControl::LabelNo, true);
    EXPECT_TRUE(Probe->Control(TControl::LabelNo).Visible);
    // A label never made takes nothing.
    Os->SetLabelText(TControl::LabelCreator, "x");
    EXPECT_FALSE(Probe->Control(TControl::LabelCreator).Exists);
}

TEST_F(PlatformWindow, TheWishBoxStartsHiddenReadOnlyAndEmptyAndShowsWhatItIsGiven) {
    const TLabelStyle style = Style(false, 12, 0xCF8476, 0x112233);
    Os->CreateMemo(463, 82, 228, 121, 380, style);
    Probe->Settle();
    TBackendProbe::TShown shown = Probe->Control(TControl::Memo1);
    ASSERT_TRUE(shown.Exists);
    EXPECT_FALSE(shown.Visible);
    EXPECT_TRUE(shown.ReadOnly);
    EXPECT_TRUE(Os->MemoReadOnly());
    EXPECT_EQ(shown.Text, "");
    ExpectLook(shown.Look, style, false);
    Os->SetMemoReadOnly(false);
    Os->SetMemoVisible(true);
    const TLabelStyle other = Style(false, 16, 0x010203, 0x040506);
    Os->SetMemoStyle(other);
    Probe->Settle();
    shown = Probe->Control(TControl::Memo1);
    EXPECT_TRUE(shown.Visible);
    EXPECT_FALSE(shown.ReadOnly);
    EXPECT_FALSE(Os->MemoReadOnly());
    ExpectLook(shown.Look, other, false);
    Os->SetMemoVisible(false);
    EXPECT_FALSE(Probe->Control(TControl::Memo1).Visible);
}

// The caret counts characters (a line break two, as a Windows edit box counts it), the
// user's typing goes in where it is, and the box takes no more than its limit from the
// user, while the program's own text is never cut.
TEST_F(PlatformWindow, TheUserTypesAtTheCaretUpToTheLimit) {
    Os->CreateMemo(463, 82, 228, 121, 5, TLabelStyle());
    Os->SetMemoReadOnly(false);
    Os->SetMemoVisible(true);
    const std::string aiu = "\x82\xA0\x82\xA2\x82\xA4";  // あいう
    Os->SetMemoText(aiu);
    EXPECT_EQ(Os->MemoCaret(), 0) << "a text set puts the caret at its start";
    Os->SetMemoCaret(1);
    EXPECT_EQ(Os->MemoCaret(), 1);
    Probe->TypeIntoMemo("x");
    EXPECT_EQ(Probe->Control(TControl::Memo1).Text, "\x82\xA0x\x82\xA2\x82\xA4");
    EXPECT_EQ(Os->MemoText(), "\x82\xA0x\x82\xA2\x82\xA4");
    EXPECT_EQ(Os->MemoCaret(), 2);
    Os->SetMemoCaret(99);
    EXPECT_EQ(Os->MemoCaret(), 4) << "at most its end";
    Probe->TypeIntoMemo("yz");  // five characters fit
    EXPECT_EQ(Os->MemoText(), "\x82\xA0x\x82\xA2\x82\xA4y");

    Os->SetMemoText("a\r\nb");
    Os->SetMemoCaret(3);
    EXPECT_EQ(Os->MemoCaret(), 3);
    Probe->TypeIntoMemo("\x82\xA6");  // え, after the line break
    EXPECT_EQ(Os->MemoText(),
              "a\r\n\x82\xA6"
              "b");
    EXPECT_EQ(Os->MemoCaret(), 4);

    Os->SetMemoText("abcdefgh");
    EXPECT_EQ(Os->MemoText(), "abcdefgh") << "the program's own text is not cut";
    Os->SetMemoCaret(8);
    Probe->TypeIntoMemo("i");
    EXPECT_EQ(Os->MemoText(), "abcdefgh");
}

// Memo1Change comes for a change and only for one: the program's own SetMemoText once,
// the user's typing once a character, and nothing for the same text again, for typing
// refused by a read-only box or by a full one.
TEST_F(PlatformWindow, AChangeIsReportedOnlyForARealChange) {
    Os->CreateMemo(463, 82, 228, 121, 4, TLabelStyle());
    Os->SetMemoReadOnly(false);
    Os->SetMemoVisible(true);
    Os->SetMemoText("abc");
    EXPECT_EQ(Events.Changes, 1);
    Os->SetMemoText("abc");
    EXPECT_EQ(Events.Changes, 1);
    Os->SetMemoCaret(3);
    Probe->TypeIntoMemo("d");
    EXPECT_EQ(Events.Changes, 2);
    Probe->TypeIntoMemo("e");  // the box is full
    EXPECT_EQ(Events.Changes, 2);
    Os->SetMemoText("");
    Os->SetMemoText("");
    EXPECT_EQ(Events.Changes, 3);
    Os->SetMemoReadOnly(true);
    Probe->TypeIntoMemo("q");
    EXPECT_EQ(Os->MemoText(), "");
    EXPECT_EQ(Events.Changes, 3);
}

TEST_F(PlatformWindow, PresentedRectanglesReachTheWindowsPixelsShownOrNot) {
    TPicture pic;
    pic.SetSize(100, 80);
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 100; ++x)
            pic.SetPixel(x, y, static_cast<uint32_t>(x * 2) << 16 | (y * 3) << 8 | 200);
    TPicture black;
    black.SetSize(737, 584);
    // What is presented before the window is shown is there when it is.
    Os->Present(black, 0, 0, 737, 584, 0, 0);
    Os->Present(pic, 0, 0, 100, 80, 0, 0);
    Os->ShowMainWindow();
    // A rectangle of the picture at another place, and one over the window's edge, cut.
    Os->Present(pic, 10, 5, 50, 40, 300, 200);
    Os->Present(pic, 0, 0, 100, 80, 700, 550);
    Probe->Settle();
    EXPECT_EQ(Probe->WindowPixel(300, 200), pic.GetPixel(10, 5));
    EXPECT_EQ(Probe->WindowPixel(349, 239), pic.GetPixel(59, 44));
    EXPECT_EQ(Probe->WindowPixel(325, 210), pic.GetPixel(35, 15));
    EXPECT_EQ(Probe->WindowPixel(350, 200), 0u) << "just right of the rectangle";
    EXPECT_EQ(Probe->WindowPixel(300, 240), 0u) << "just below it";
    EXPECT_EQ(Probe->WindowPixel(299, 199), 0u) << "just above and left of it";
    EXPECT_EQ(Probe->WindowPixel(700, 550), pic.GetPixel(0, 0));
    EXPECT_EQ(Probe->WindowPixel(736, 583), pic.GetPixel(36, 33));
    EXPECT_EQ(Probe->WindowPixel(0, 0), pic.GetPixel(0, 0));
    EXPECT_EQ(Probe->WindowPixel(99, 79), pic.GetPixel(99, 79));
    EXPECT_EQ(Probe->WindowPixel(100, 80), 0u);
}

// The timer ticks in the loop until the window goes; a close asked inside its handler
// destroys the window only once that handler has returned, and nothing follows.
TEST_F(PlatformWindow, TheTimerTicksAndACloseInsideItsHandlerWaitsForIt) {
    Events.OnTick = [this] {
        if (Events.Ticks == 3) Os->CloseMainWindow();
    };
    Os->StartTimer(10);
    Os->ShowMainWindow();
    Os->RunMessageLoop();
    EXPECT_EQ(Events.Ticks, 3);
    EXPECT_EQ(Events.Destroys, 1);
    EXPECT_FALSE(Events.DestroyedInsideAHandler);
    EXPECT_EQ(Events.EventsAfterDestroy, 0);
}

// The same for the change a user's typing reports, and for the one the program's own
// SetMemoText reports: the window and the box stay while the handler runs.
class PlatformClose : public PlatformWindow {
protected:
    void CloseInsideAChange(bool typed) {
        Os->CreateMemo(463, 82, 228, 121, 380, TLabelStyle());
        Os->SetMemoReadOnly(false);
        Os->SetMemoVisible(true);
        std::string during;
        Events.OnChange = [&] {
            Os->CloseMainWindow();
            during = Os->MemoText();
        };
        if (typed)
            Probe->TypeIntoMemo("w");
        else
            Os->SetMemoText("w");
        Os->RunMessageLoop();
        EXPECT_EQ(during, "w") << "the box was gone inside its own change";
        EXPECT_EQ(Events.Destroys, 1);
        EXPECT_FALSE(Events.DestroyedInsideAHandler);
        EXPECT_EQ(Events.WishAtDestroy, "w");
    }
};

TEST_F(PlatformClose, InsideTheChangeTheUsersTypingReports) {
    CloseInsideAChange(true);
}

TEST_F(PlatformClose, InsideTheChangeTheProgramsOwnTextReports) {
    CloseInsideAChange(false);
}

TEST_F(PlatformWindow, TheDestroyHandlerSeesTheControlsThatGoWithTheWindow) {
    Os->CreateMemo(463, 82, 228, 121, 380, TLabelStyle());
    Os->CreateLabel(TControl::LabelNo, 445, 290, 50, 12, TLabelStyle());
    Os->SetMemoReadOnly(false);
    Os->SetWindowPos(100, 60);
    Os->SetMemoText("abc");

    Os->CloseMainWindow();  // outside any handler: at once
    EXPECT_EQ(Events.Destroys, 1);
    EXPECT_EQ(Events.WishAtDestroy, "abc");
    EXPECT_EQ(Events.LeftAtDestroy, 100);
    EXPECT_EQ(Events.TopAtDestroy, 60);

    // Gone with the window: an empty text, and nothing set takes.
    EXPECT_EQ(Os->MemoText(), "");
    Os->SetMemoText("late");
    EXPECT_EQ(Os->MemoText(), "");
    EXPECT_FALSE(Probe->Control(TControl::Memo1).Exists);
    Os->SetLabelText(TControl::LabelNo, "CARD.001");
    EXPECT_FALSE(Probe->Control(TControl::LabelNo).Exists);
    Os->CloseMainWindow();
    Os->RunMessageLoop();  // the window is gone: the loop ends with it
    EXPECT_EQ(Events.Destroys, 1);
    EXPECT_EQ(Events.EventsAfterDestroy, 0);
}

// ---- The menu --------------------------------------------------------------------------

TEST_F(PlatformWindow, TheMenuShowsItsEntriesAndGivesTheChosenOneOrNone) {
    const TMenuEntry entries[] = {
        {"&Centre", true, false, false},
        {sjis::kMenuMuteOn, true, true, false},
        {"Greyed", false, false, true},
        {"&Last", true, false, false},
    };
    Os->ShowMainWindow();
    Probe->Settle();
    Probe->AnswerMenu(1);
    EXPECT_EQ(Os->TrackPopupMenu(200, 150, entries, 4), 1);
    const std::vector<TBackendProbe::TShownItem> shown = Probe->LastMenu();
    ASSERT_EQ(shown.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(shown[i].Caption, entries[i].Caption) << i;
        EXPECT_EQ(shown[i].Enabled, entries[i].Enabled) << i;
        EXPECT_EQ(shown[i].Checked, entries[i].Checked) << i;
        EXPECT_EQ(shown[i].SeparatorBefore, entries[i].SeparatorBefore) << i;
    }
    Probe->AnswerMenu(0);
    EXPECT_EQ(Os->TrackPopupMenu(200, 150, entries, 4), 0) << "a menu opened again";
    Probe->AnswerMenu(-1);
    EXPECT_EQ(Os->TrackPopupMenu(200, 150, entries, 4), -1) << "dismissed";
    EXPECT_EQ(Probe->LastMenu().size(), 4u);
}

// ---- Screen readers --------------------------------------------------------------------

TEST_F(PlatformWindow, PublishedObjectsReachTheScreenReaderAndItsActionComesBack) {
    auto object = [](int id, TAccessRole role, const char* name, int x, int y) {
        TAccessible a;
        a.Id = id;
        a.Role = role;
        a.Name = name;
        a.X = x;
        a.Y = y;
        a.W = 103;
        a.H = 39;
        a.Focusable = role != TAccessRole::Reading;
        return a;
    };
    std::vector<TAccessible> objects = {
        object(101, TAccessRole::PushButton, sjis::kAccFortune, 471, 233),
        object(102, TAccessRole::PushButton, sjis::kAccRandom, 580, 233),
        object(201, TAccessRole::ListItem, "CARD.001", 458, 63),
        object(300, TAccessRole::Reading, sjis::kAccReading, 439, 290),
    };
    objects[0].Unavailable = true;
    objects[0].Focusable = false;
    objects[1].Focused = true;
    objects[2].Selected = true;
    Os->CreateMemo(463, 82, 228, 121, 380, Style(false, 12, 0xCF8476, 0x112233));
    Os->SetMemoReadOnly(false);
    Os->SetMemoVisible(true);
    Os->ShowMainWindow();
    Probe->Settle();
    Os->FocusMemo();
    Os->PublishAccessibles(objects);
    Probe->Settle();
    std::vector<TBackendProbe::TShownAccessible> shown = Probe->Accessibles();
    ASSERT_EQ(shown.size(), objects.size());
    for (size_t i = 0; i < objects.size(); ++i) {
        EXPECT_EQ(shown[i].Name, objects[i].Name) << i;
        EXPECT_EQ(shown[i].Role, objects[i].Role) << i;
        EXPECT_EQ(shown[i].X, objects[i].X) << i;
        EXPECT_EQ(shown[i].Y, objects[i].Y) << i;
        EXPECT_EQ(shown[i].W, objects[i].W) << i;
        EXPECT_EQ(shown[i].H, objects[i].H) << i;
        EXPECT_EQ(shown[i].Unavailable, objects[i].Unavailable) << i;
        EXPECT_EQ(shown[i].Selected, objects[i].Selected) << i;
        // The wish box has the keyboard: no painted object is focused for the reader.
        EXPECT_FALSE(shown[i].Focused) << i;
    }

    // The window takes the keyboard for the painted button; the reading changes and a
    // button goes: the reader finds the objects as they are now.
    Os->FocusWindow();
    objects[3].Name = std::string(sjis::kAccReading) + " CARD.012";
    objects.erase(objects.begin() + 2);
    Os->PublishAccessibles(objects);
    Probe->Settle();
    shown = Probe->Accessibles();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_TRUE(shown[1].Focused);
    EXPECT_FALSE(shown[0].Focused);
    EXPECT_EQ(shown[2].Name, objects[2].Name);

    // The reader's action reaches the program as the object's id, from the loop; the
    // reading has no action.
    EXPECT_TRUE(Probe->DoDefaultAction(sjis::kAccRandom));
    Probe->Settle();
    EXPECT_EQ(Events.Actions, std::vector<int>({102}));
    EXPECT_FALSE(Probe->DoDefaultAction(objects[2].Name));
    EXPECT_FALSE(Probe->DoDefaultAction("no such button"));
    Probe->Settle();
    EXPECT_EQ(Events.Actions, std::vector<int>({102}));
}

// ---- Pointers --------------------------------------------------------------------------

TEST_F(PlatformWindow, TheShownPointerIsTheShapeSetAndAMissingOneIsNotFound) {
    // The hot spots of the two pictures (tools/assets/make_cursors.py), 32 pixels square as
    // every backend shows them here: the cross hair's middle, the downward pen's tip.
    const int x1 = 8, y1 = 8, x4 = 4, y4 = 31;
    Os->LoadPointer(1, "cr1");
    Os->LoadPointer(4, "CR4");
    EXPECT_THROW(Os->LoadPointer(2, "cr9"), EResNotFound);
    Os->ShowMainWindow();
    Probe->Settle();
    int x = -1, y = -1;
    Os->SetPointer(4);
    ASSERT_TRUE(Probe->PointerHotSpot(x, y));
    EXPECT_EQ(x, x4);
    EXPECT_EQ(y, y4);
    Os->SetPointer(1);
    ASSERT_TRUE(Probe->PointerHotSpot(x, y));
    EXPECT_EQ(x, x1);
    EXPECT_EQ(y, y1);
    // A shape never loaded (or whose load failed) changes nothing.
    Os->SetPointer(2);
    ASSERT_TRUE(Probe->PointerHotSpot(x, y));
    EXPECT_EQ(x, x1);
    EXPECT_EQ(y, y1);
}

}  // namespace
