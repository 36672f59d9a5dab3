// What the program counts on from its platform, checked on the build's own backend: the
// headless one natively, the real Win32 one (code page 932, GDI regions, the module's
// resource section, Windows files) in the Windows test program under Wine.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

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

TEST_F(PlatformFiles, JapaneseFileNamesAreCodePage932) {
    // 占い.ini: the program's paths are code page 932 bytes.
    const std::string path = Dir + "\x90\xE8\x82\xA2.ini";
    ASSERT_TRUE(Os->WriteFile(path, "[Orvane.ini]\r\n"));
    EXPECT_TRUE(Os->FileExists(path));
    std::string got;
    ASSERT_TRUE(Os->ReadFile(path, got));
    EXPECT_EQ(got, "[Orvane.ini]\r\n");
    // Another name that differs only in the second character is another file.
    EXPECT_FALSE(Os->FileExists(Dir + "\x90\xE8\x82\xA3.ini"));
    EXPECT_TRUE(Os->DeleteFile(path));
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

// ---- The window's life -----------------------------------------------------------------

// Records what the window tells the program; its destroy handler reads the controls as
// the program's does.
struct TLifeProbe : TWindowEvents {
    TPlatform* Os = nullptr;
    int Changes = 0;
    int Destroys = 0;
    int EventsAfterDestroy = 0;
    std::string WishAtDestroy;
    int LeftAtDestroy = 0, TopAtDestroy = 0;

    void Note() {
        if (Destroys) ++EventsAfterDestroy;
    }
    void FormPaint() override { Note(); }
    void Timer1Timer() override { Note(); }
    void FormMouseDown(TControl, TMouseButton, TShiftState, int, int) override { Note(); }
    void FormMouseMove(TControl, TShiftState, int, int) override { Note(); }
    void FormMouseUp(TControl, TMouseButton, TShiftState, int, int) override { Note(); }
    void FormKeyDown(TControl, int&, TShiftState) override { Note(); }
    void Memo1Change() override {
        Note();
        ++Changes;
    }
    void Memo1MouseDown(TMouseButton, TShiftState, int, int) override { Note(); }
    void FormCloseQuery() override { Note(); }
    void FormDestroy() override {
        Note();
        ++Destroys;
        WishAtDestroy = Os->MemoText();
        Os->GetWindowPos(LeftAtDestroy, TopAtDestroy);
    }
    void FormEndSession() override { Note(); }
};

using PlatformWindow = PlatformTest;

TEST_F(PlatformWindow, TheDestroyHandlerSeesTheControlsThatGoWithTheWindow) {
    TLifeProbe probe;
    probe.Os = Os.get();
    Os->CreateMainWindow(&probe, 737, 584);
    Os->CreateMemo(463, 82, 228, 121, 380, TLabelStyle());
    Os->CreateLabel(TControl::LabelNo, 445, 290, 50, 12, TLabelStyle());
    Os->SetMemoReadOnly(false);
    Os->SetWindowPos(100, 60);

    // A change is a change of the text: setting what it already holds is none.
    Os->SetMemoText("abc");
    EXPECT_EQ(probe.Changes, 1);
    Os->SetMemoText("abc");
    EXPECT_EQ(probe.Changes, 1);
    Os->SetMemoText("");
    Os->SetMemoText("");
    EXPECT_EQ(probe.Changes, 2);
    Os->SetMemoText("abc");

    Os->CloseMainWindow();  // outside any handler: at once
    EXPECT_EQ(probe.Destroys, 1);
    EXPECT_EQ(probe.WishAtDestroy, "abc");
    EXPECT_EQ(probe.LeftAtDestroy, 100);
    EXPECT_EQ(probe.TopAtDestroy, 60);

    // Gone with the window: an empty text, and nothing set takes.
    EXPECT_EQ(Os->MemoText(), "");
    Os->SetMemoText("late");
    EXPECT_EQ(Os->MemoText(), "");
    Os->SetLabelText(TControl::LabelNo, "CARD.001");
    Os->CloseMainWindow();
    Os->RunMessageLoop();  // the window is gone: the loop has nothing to wait for
    EXPECT_EQ(probe.Destroys, 1);
    EXPECT_EQ(probe.EventsAfterDestroy, 0);
}

}  // namespace
