#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "app/RegionU.h"
#include "content/ImageCodecs.h"
#include "support/TestPlatform.h"

namespace {

// Passes every call through to the build's own platform, counting the region calls and
// the regions alive, and refusing a region call on request.
class TRecordingPlatform : public TPlatform {
public:
    explicit TRecordingPlatform(TPlatform& in) : In(in) {}

    bool FailRectRegion = false;
    bool FailFromRects = false;
    bool FailCombine = false;
    bool FailCopy = false;
    std::vector<size_t> RectCounts;  // rectangles handed to each region-from-rectangles call
    std::set<TRegionHandle> Alive;

    TRegionHandle CreateRectRegion(int left, int top, int right, int bottom) override {
        if (FailRectRegion) return nullptr;
        return Track(In.CreateRectRegion(left, top, right, bottom));
    }
    TRegionHandle CreateRegionFromRects(const TRegionRect* rects, size_t count) override {
        RectCounts.push_back(count);
        if (FailFromRects) return nullptr;
        return Track(In.CreateRegionFromRects(rects, count));
    }
    bool CombineRegionOr(TRegionHandle dest, TRegionHandle a, TRegionHandle b) override {
        return !FailCombine && In.CombineRegionOr(dest, a, b);
    }
    bool CopyRegion(TRegionHandle dest, TRegionHandle src) override {
        return !FailCopy && In.CopyRegion(dest, src);
    }
    void DeleteRegion(TRegionHandle region) override {
        EXPECT_EQ(Alive.erase(region), 1u) << "deleting a region that is not alive";
        In.DeleteRegion(region);
    }

    std::string ProgramPath() override { return In.ProgramPath(); }
    bool ActivateRunningInstance(const std::string& caption) override {
        return In.ActivateRunningInstance(caption);
    }
    void SetApplicationTitle(const std::string& title) override { In.SetApplicationTitle(title); }
    uint32_t TickCount() override { return In.TickCount(); }
    TDate Today() override { return In.Today(); }
    uint64_t ClockSeed() override { return In.ClockSeed(); }
    void CreateMainWindow(TWindowEvents* events, int width, int height) override {
        In.CreateMainWindow(events, width, height);
    }
    void ShowMainWindow() override { In.ShowMainWindow(); }
    void RunMessageLoop() override { In.RunMessageLoop(); }
    void CloseMainWindow() override { In.CloseMainWindow(); }
    void SetWindowPos(int left, int top) override { In.SetWindowPos(left, top); }
    void GetWindowPos(int& left, int& top) override { In.GetWindowPos(left, top); }
    void GetWindowSize(int& width, int& height) override { In.GetWindowSize(width, height); }
    void MinimiseApplication() override { In.MinimiseApplication(); }
    bool IsTopmost() override { return In.IsTopmost(); }
    void SetTopmost(bool topmost) override { In.SetTopmost(topmost); }
    void SetWindowRegion(TRegionHandle region) override { In.SetWindowRegion(region); }
    void GetScreenSize(int& width, int& height) override { In.GetScreenSize(width, height); }
    std::vector<TScreenRect> MonitorWorkAreas() override { return In.MonitorWorkAreas(); }
    TScreenRect NearestWorkArea(const TScreenRect& rect) override {
        return In.NearestWorkArea(rect);
    }
    void GetMousePos(int& x, int& y) override { In.GetMousePos(x, y); }
    void Present(const TPicture& pic, int sx, int sy, int w, int h, int dx, int dy) override {
        In.Present(pic, sx, sy, w, h, dx, dy);
    }
    void StartTimer(int intervalMs) override { In.StartTimer(intervalMs); }
    void CreateLabel(TControl id, int x, int y, int w, int h, const TLabelStyle& style) override {
        In.CreateLabel(id, x, y, w, h, style);
    }
    void SetLabelStyle(TControl id, const TLabelStyle& style) override {
        In.SetLabelStyle(id, style);
    }
    void SetLabelText(TControl id, const std::string& text) override { In.SetLabelText(id, text); }
    void SetLabelVisible(TControl id, bool visible) override { In.SetLabelVisible(id, visible); }
    void CreateMemo(int x, int y, int w, int h, int maxLength, const TLabelStyle& style) override {
        In.CreateMemo(x, y, w, h, maxLength, style);
    }
    void SetMemoStyle(const TLabelStyle& style) override { In.SetMemoStyle(style); }
    std::string MemoText() override { return In.MemoText(); }
    void SetMemoText(const std::string& text) override { In.SetMemoText(text); }
    bool MemoReadOnly() override { return In.MemoReadOnly(); }
    void SetMemoReadOnly(bool readOnly) override { In.SetMemoReadOnly(readOnly); }
    void SetMemoVisible(bool visible) override { In.SetMemoVisible(visible); }
    void FocusMemo() override { In.FocusMemo(); }
    void FocusWindow() override { In.FocusWindow(); }
    int MemoCaret() override { return In.MemoCaret(); }
    void SetMemoCaret(int pos) override { In.SetMemoCaret(pos); }
    int TrackPopupMenu(int x, int y, const TMenuEntry* entries, int count) override {
        return In.TrackPopupMenu(x, y, entries, count);
    }
    void PlaySoundBytes(const TResourceView& wav) override { In.PlaySoundBytes(wav); }
    void StopSoundPlaying() override { In.StopSoundPlaying(); }
    void LoadPointer(int number, const std::string& name) override { In.LoadPointer(number, name); }
    void SetPointer(int number) override { In.SetPointer(number); }
    void PublishAccessibles(const std::vector<TAccessible>& objects) override {
        In.PublishAccessibles(objects);
    }
    bool KeyboardCuesShown() override { return In.KeyboardCuesShown(); }
    bool RegionContains(TRegionHandle region, int x, int y) override {
        return In.RegionContains(region, x, y);
    }
    bool FindResourceData(const std::string& type, const std::string& name,
                          TResourceView& out) override {
        return In.FindResourceData(type, name, out);
    }
    bool FileExists(const std::string& path) override { return In.FileExists(path); }
    bool ReadFile(const std::string& path, std::string& data) override {
        return In.ReadFile(path, data);
    }
    bool WriteFile(const std::string& path, const std::string& data) override {
        return In.WriteFile(path, data);
    }
    bool ReplaceFile(const std::string& from, const std::string& to) override {
        return In.ReplaceFile(from, to);
    }
    bool DeleteFile(const std::string& path) override { return In.DeleteFile(path); }
    std::string FindExecutable(const std::string& file) override { return In.FindExecutable(file); }
    void ShellOpen(const std::string& address) override { In.ShellOpen(address); }
    void StartProcess(const std::string& application, const std::string& commandLine) override {
        In.StartProcess(application, commandLine);
    }
    void SetDesktopWallpaper(const std::string& path) override { In.SetDesktopWallpaper(path); }
    void ShowErrorBox(const std::string& title, const std::string& text) override {
        In.ShowErrorBox(title, text);
    }
    std::string SjisToUtf8(const std::string& sjis) override { return In.SjisToUtf8(sjis); }
    std::string Utf8ToSjis(const std::string& utf8) override { return In.Utf8ToSjis(utf8); }

private:
    TRegionHandle Track(TRegionHandle h) {
        if (h) Alive.insert(h);
        return h;
    }
    TPlatform& In;
};

// A 24-bit picture from rows of '#' (white, inside) and '.' (black, outside).
TPicture Mask(const std::vector<std::string>& rows) {
    TPicture pic;
    pic.SetSize(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
    pic.BitsPerPixel = 24;
    for (int y = 0; y < pic.Height; ++y)
        for (int x = 0; x < pic.Width; ++x)
            pic.SetPixel(x, y, rows[y][x] == '#' ? MakePixel(255, 255, 255) : 0u);
    return pic;
}

struct TStreamContent {
    std::vector<uint32_t> Header;
    std::vector<std::vector<int32_t>> Rects;
};

TStreamContent ReadStream(const TMemoryStream& s) {
    TStreamContent c;
    const auto word = [&](size_t at) {
        uint32_t v = 0;
        std::memcpy(&v, s.Data.data() + at, 4);
        return v;
    };
    for (size_t i = 0; i < 8; ++i) c.Header.push_back(word(4 * i));
    for (size_t at = 32; at + 16 <= s.Data.size(); at += 16)
        c.Rects.push_back({static_cast<int32_t>(word(at)), static_cast<int32_t>(word(at + 4)),
                           static_cast<int32_t>(word(at + 8)),
                           static_cast<int32_t>(word(at + 12))});
    return c;
}

// Region data with the given header fields and rectangles.
TMemoryStream RegionData(uint32_t headerSize, uint32_t type, uint32_t count,
                         const std::vector<std::vector<int32_t>>& rects) {
    TMemoryStream s;
    const uint32_t header[8] = {headerSize, type, count, 0, 0, 0, 100, 100};
    s.Write(header, sizeof header);
    for (const auto& r : rects) s.Write(r.data(), 16);
    s.Position = 0;
    return s;
}

class RegionTest : public ::testing::Test {
protected:
    void SetUp() override {
        Base = CreateTestPlatform(MakeTempDir("region"));
        Os = std::make_unique<TRecordingPlatform>(*Base);
    }

    // Every pixel of the picture and a one-pixel ring around it.
    void ExpectShape(TRegionHandle region, const std::vector<std::string>& rows) {
        const int w = static_cast<int>(rows[0].size()), h = static_cast<int>(rows.size());
        for (int y = -1; y <= h; ++y)
            for (int x = -1; x <= w; ++x) {
                const bool inside = x >= 0 && y >= 0 && x < w && y < h && rows[y][x] == '#';
                EXPECT_EQ(Os->RegionContains(region, x, y), inside) << "at " << x << "," << y;
            }
    }

    template <typename F>
    void ExpectRgnError(F&& f, const std::string& message) {
        try {
            f();
            ADD_FAILURE() << "no error, expected \"" << message << "\"";
        } catch (const ERgnError& e) {
            EXPECT_EQ(std::string(e.what()), message);
        }
    }

    std::unique_ptr<TPlatform> Base;
    std::unique_ptr<TRecordingPlatform> Os;
};

const std::vector<std::string> kRuns = {
    "......",  // no inside pixel: no rectangle
    ".##.##",  // two runs, the second to the last column
    "######",
    "#.....",
};

TEST(MemoryStream, ReadsFromPositionAndWritesOverOrAfter) {
    TMemoryStream s;
    s.Write("abcdef", 6);
    s.Position = 2;
    s.Write("XY", 2);
    EXPECT_EQ(s.Data, "abXYef");
    s.Position = 5;
    s.Write("123", 3);
    EXPECT_EQ(s.Data, "abXYe123");
    char buf[8] = {};
    s.Position = 6;
    EXPECT_EQ(s.Read(buf, 8), 2u);
    EXPECT_EQ(std::string(buf, 2), "23");
    s.Position = 100;
    EXPECT_EQ(s.Read(buf, 8), 0u);
}

TEST_F(RegionTest, StreamHoldsHeaderAndRunsRowByRow) {
    TMemoryStream s;
    WriteRegionRuns(Mask(kRuns), 0, s);
    const TStreamContent c = ReadStream(s);
    EXPECT_EQ(c.Header, (std::vector<uint32_t>{32, 1, 4, 0, 0, 0, 6, 4}));
    const std::vector<std::vector<int32_t>> expected = {
        {1, 1, 3, 2}, {4, 1, 6, 2}, {0, 2, 6, 3}, {0, 3, 1, 4}};
    EXPECT_EQ(c.Rects, expected);
    EXPECT_EQ(s.Data.size(), 32u + 16u * 4u);
    EXPECT_EQ(s.Position, s.Data.size());
}

TEST_F(RegionTest, TransparentColourIsRedPlusGreenTimes256PlusBlueTimes65536) {
    TPicture pic;
    pic.SetSize(3, 1);
    pic.BitsPerPixel = 24;
    pic.SetPixel(0, 0, MakePixel(0x11, 0x22, 0x33));
    pic.SetPixel(1, 0, MakePixel(0x33, 0x22, 0x11));  // the same bytes, other order
    pic.SetPixel(2, 0, MakePixel(0x11, 0x22, 0x33));
    TMemoryStream s;
    WriteRegionRuns(pic, 0x332211, s);
    EXPECT_EQ(ReadStream(s).Rects, (std::vector<std::vector<int32_t>>{{1, 0, 2, 1}}));
}

TEST_F(RegionTest, MaskBecomesTheRegionOfItsInsidePixels) {
    TRegion region(*Os);
    region.makeRgnFromBitmap(Mask(kRuns), 0);
    ExpectShape(region.Handle(), kRuns);

    const std::vector<std::string> ring = {
        "..####..", ".#....#.", "#..##..#", ".#....#.", "..####..",
    };
    region.makeRgnFromBitmap(Mask(ring), 0);
    ExpectShape(region.Handle(), ring);
    EXPECT_EQ(Os->Alive.size(), 1u);
}

TEST_F(RegionTest, AllTransparentPictureGivesAnEmptyRegion) {
    TRegion region(*Os);
    region.makeRgnFromBitmap(Mask({"#"}), 0);
    ASSERT_TRUE(Os->RegionContains(region.Handle(), 0, 0));
    const std::vector<std::string> none = {"....", "...."};
    region.makeRgnFromBitmap(Mask(none), 0);
    ExpectShape(region.Handle(), none);
    TMemoryStream s;
    WriteRegionRuns(Mask(none), 0, s);
    EXPECT_EQ(ReadStream(s).Header[2], 0u);
}

TEST_F(RegionTest, OtherPixelFormatsAreRefusedAndTheOldRegionStays) {
    TRegion region(*Os);
    region.makeRgnFromBitmap(Mask(kRuns), 0);
    for (int bpp : {1, 4, 8, 32}) {
        TPicture pic = Mask({"##"});
        pic.BitsPerPixel = bpp;
        ExpectRgnError([&] { region.makeRgnFromBitmap(pic, 0); },
                       "TRegion.makeRgnFromBitmap Failed");
    }
    ExpectShape(region.Handle(), kRuns);
    EXPECT_EQ(Os->Alive.size(), 1u);
}

TEST_F(RegionTest, RectanglesGoToTheSystemInChunksOfAtMost4000) {
    // Every other pixel of one row inside: `runs` rectangles.
    const auto stripes = [](int runs) {
        std::string row;
        for (int i = 0; i < runs; ++i) row += i + 1 < runs ? "#." : "#";
        return std::vector<std::string>{row};
    };
    TRegion region(*Os);

    region.makeRgnFromBitmap(Mask(stripes(4000)), 0);
    EXPECT_EQ(Os->RectCounts, (std::vector<size_t>{4000}));

    Os->RectCounts.clear();
    const auto rows = stripes(4001);
    region.makeRgnFromBitmap(Mask(rows), 0);
    EXPECT_EQ(Os->RectCounts, (std::vector<size_t>{4000, 1}));
    ExpectShape(region.Handle(), rows);  // the last chunk's rectangle is in it too
    EXPECT_EQ(Os->Alive.size(), 1u);
}

TEST_F(RegionTest, StreamIsReadFromItsPosition) {
    TRegion region(*Os);
    TMemoryStream s;
    s.Write("junk!", 5);
    WriteRegionRuns(Mask(kRuns), 0, s);
    s.Position = 5;
    region.LoadFromStream(s);
    ExpectShape(region.Handle(), kRuns);
}

TEST_F(RegionTest, BadStreamsAreRefusedAndTheOldRegionStays) {
    TRegion region(*Os);
    region.makeRgnFromBitmap(Mask(kRuns), 0);
    const std::vector<std::vector<int32_t>> three = {{0, 0, 1, 1}, {0, 1, 1, 2}, {0, 2, 1, 3}};

    std::vector<TMemoryStream> bad;
    bad.push_back(RegionData(32, 1, 10, three));           // claims more than it holds
    bad.push_back(RegionData(32, 1, 0xFFFFFFFFu, three));  // claims absurdly many
    bad.push_back(RegionData(32, 1, 0x10000001u, three));  // count x 16 wraps in 32 bits
    bad.push_back(RegionData(40, 1, 3, three));            // wrong header size
    bad.push_back(RegionData(32, 2, 3, three));            // wrong type
    TMemoryStream shortHeader;
    shortHeader.Write("\x20\0\0\0\x01\0\0\0", 8);
    shortHeader.Position = 0;
    bad.push_back(shortHeader);

    for (size_t i = 0; i < bad.size(); ++i) {
        SCOPED_TRACE("stream " + std::to_string(i));
        ExpectRgnError([&] { region.LoadFromStream(bad[i]); },
                       "TRegion.LoadFromStream: Cannot Create Region");
        ExpectShape(region.Handle(), kRuns);
        EXPECT_EQ(Os->Alive.size(), 1u);
    }

    TMemoryStream honest = RegionData(32, 1, 3, three);
    region.LoadFromStream(honest);
    ExpectShape(region.Handle(), {"#", "#", "#"});
}

TEST_F(RegionTest, SystemFailuresRaiseTheirMessagesAndLeakNothing) {
    TRegion region(*Os);
    region.makeRgnFromBitmap(Mask(kRuns), 0);
    const std::vector<std::string> other = {"##", "##"};

    Os->FailFromRects = true;
    ExpectRgnError([&] { region.makeRgnFromBitmap(Mask(other), 0); },
                   "TRegion.LoadFromStream: Cannot Create Region");
    Os->FailFromRects = false;
    ExpectShape(region.Handle(), kRuns);
    EXPECT_EQ(Os->Alive.size(), 1u);

    Os->FailCombine = true;
    ExpectRgnError([&] { region.makeRgnFromBitmap(Mask(other), 0); },
                   "TRegion.LoadFromStream: Cannot Add Region");
    Os->FailCombine = false;
    ExpectShape(region.Handle(), kRuns);
    EXPECT_EQ(Os->Alive.size(), 1u);

    Os->FailRectRegion = true;
    ExpectRgnError([&] { region.makeRgnFromBitmap(Mask(other), 0); },
                   "TRegion.Add: Cannot Create Region");
    ExpectRgnError([&] { TRegion another(*Os); }, "TRegion.Add: Cannot Create Region");
    ExpectRgnError([&] { NewEmptyRegion(*Os); }, "TRegion.Add: Cannot Create Region");
    Os->FailRectRegion = false;
    ExpectShape(region.Handle(), kRuns);
    EXPECT_EQ(Os->Alive.size(), 1u);
}

TEST_F(RegionTest, CopyHandleGivesAnIndependentRegion) {
    TRegion region(*Os);
    region.makeRgnFromBitmap(Mask(kRuns), 0);
    TRegionHandle copy = region.CopyHandle();
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, region.Handle());
    ExpectShape(copy, kRuns);

    region.makeRgnFromBitmap(Mask({"....", "...."}), 0);
    ExpectShape(copy, kRuns);  // the copy does not follow its source
    Os->DeleteRegion(copy);
    EXPECT_EQ(Os->Alive.size(), 1u);

    Os->FailRectRegion = true;
    ExpectRgnError([&] { region.CopyHandle(); }, "TRegion.CopyHandle: Cannot Create Region");
    Os->FailRectRegion = false;
    Os->FailCopy = true;
    ExpectRgnError([&] { region.CopyHandle(); }, "TRegion.CopyHandle: Cannot Create Region");
    Os->FailCopy = false;
    EXPECT_EQ(Os->Alive.size(), 1u);
}

// The window's own outline, where the build's platform carries the resources.
TEST_F(RegionTest, ProgramMaskGives602RunsAtMostTwoPerRow) {
    TResourceView view;
    if (!Os->FindResourceData("BMP", "BaseMsk", view)) GTEST_SKIP() << "no resources here";
    TPicture mask;
    ASSERT_TRUE(DecodeBmp(view.Data, view.Size, mask));
    mask.BitsPerPixel = 24;  // the pixels are stored alike; the shape asks for 24 bits

    TMemoryStream s;
    WriteRegionRuns(mask, 0, s);
    const TStreamContent c = ReadStream(s);
    EXPECT_EQ(c.Header[2], 602u);
    std::vector<int> perRow(mask.Height, 0);
    for (const auto& r : c.Rects) ++perRow[r[1]];
    for (int y = 0; y < mask.Height; ++y) EXPECT_LE(perRow[y], 2) << "row " << y;

    TRegion region(*Os);
    region.makeRgnFromBitmap(mask, 0);
    for (int y = 0; y < mask.Height; y += 3)
        for (int x = 0; x < mask.Width; x += 3)
            ASSERT_EQ(Os->RegionContains(region.Handle(), x, y), mask.GetPixel(x, y) != 0)
                << "at " << x << "," << y;
}

TEST_F(RegionTest, DestructorReleasesTheHandle) {
    {
        TRegion region(*Os);
        region.makeRgnFromBitmap(Mask(kRuns), 0);
        EXPECT_EQ(Os->Alive.size(), 1u);
    }
    EXPECT_TRUE(Os->Alive.empty());
}

}  // namespace
