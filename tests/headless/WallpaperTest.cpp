// The wallpaper maker on the running program: star counts, the framed card block with its
// cut corners, small screens, the file, and what is put back afterwards, also when the
// file cannot be written.
#include <set>
#include <sstream>
#include <string>
#include <utility>

#include "content/ImageCodecs.h"
#include "headless/AppFixture.h"
#include "platform/headless/main/ScriptDriver.h"

namespace {

using TPoint = std::pair<int, int>;
const std::string kAllSeen = "CardOK=" + std::string(MaxCard, 'l') + "\r\n";

// A colour no star can make: stars only brighten black, and a brightened channel is at
// least 2, so a red of 1 marks a pixel copied from the window.
uint32_t Marker(int x, int y) {
    return MakePixel(1, x & 255, y & 255);
}

// Whether point (x, y) of the 412 x 572 frame block survives its corners being cut off
// diagonally by 17 pixels.
bool InCutBlock(int x, int y) {
    const int fromLeft = x, fromRight = 411 - x, fromTop = y, fromBottom = 571 - y;
    return x >= 0 && y >= 0 && x < 412 && y < 572 && fromLeft + fromTop >= 17 &&
           fromRight + fromTop >= 17 && fromLeft + fromBottom >= 17 && fromRight + fromBottom >= 17;
}

class WallpaperMaker : public AppTest {
protected:
    std::string Path() { return Dir + "WallOrvane.bmp"; }
    void StartAllSeen(const std::string& more = "") {
        WriteIni(kAllSeen + more);
        Start();
        ASSERT_TRUE(State().Collection.AllCardsSeen);
    }
    // Marks the window's frame block in the back buffer, pixel by pixel.
    void MarkBlock() {
        for (int y = 0; y < 572; ++y)
            for (int x = 0; x < 412; ++x) Pics().BackBuffer.SetPixel(x, 12 + y, Marker(x, 12 + y));
    }
    TPicture ReadWallpaper(int& headerBits) {
        std::string file;
        TPicture pic;
        headerBits = 0;
        EXPECT_TRUE(Os->ReadFile(Path(), file));
        if (file.size() < 54) return pic;
        const auto* d = reinterpret_cast<const uint8_t*>(file.data());
        headerBits = d[28] | d[29] << 8;
        EXPECT_TRUE(DecodeBmp(d, file.size(), pic));
        return pic;
    }
    // Block points whose wallpaper pixel is wrong: a copy inside the cut block, sky outside.
    int BlockMismatches(const TPicture& wall, int offX, int offY) {
        int bad = 0;
        for (int y = -1; y <= 572; ++y)
            for (int x = -1; x <= 412; ++x) {
                if (!wall.Contains(offX + x, offY + y)) continue;
                const uint32_t p = wall.GetPixel(offX + x, offY + y) & 0xFFFFFF;
                bad += InCutBlock(x, y) ? p != Marker(x, 12 + y) : PixelRed(p) == 1;
            }
        return bad;
    }
    void ExpectCardBackInSlot0() {
        TPicture back;
        LoadJpeg("C999", back);
        EXPECT_EQ(Pics().CardSlot[0].Width, back.Width);
        EXPECT_EQ(Pics().CardSlot[0].Height, back.Height);
        EXPECT_TRUE(Pics().CardSlot[0].Pixels == back.Pixels);
        EXPECT_EQ(Pics().CardGeom[0].W, 340);
        EXPECT_EQ(Pics().CardGeom[0].H, 500);
    }
};

TEST(WallpaperStars, BrightenChannelMovesTowardWhiteByClampedPercent) {
    const struct {
        int C, Amount, Offset, Want;
    } kCases[] = {{0, 10, -30, 2}, {0, 100, 0, 255}, {200, 50, 0, 227}, {0, 100, 50, 255},
                  {0, 1, 0, 2},    {100, 0, 0, 101}, {0, 25, 0, 63},    {10, 60, -10, 132}};
    for (const auto& c : kCases)
        EXPECT_EQ(BrightenChannel(c.C, c.Amount, c.Offset), c.Want)
            << c.C << ", " << c.Amount << ", " << c.Offset;
    for (int amount : {-500, 0, 1, 50, 100, 500})
        for (int offset : {-100, 0, 100}) EXPECT_EQ(BrightenChannel(255, amount, offset), 255);
}

TEST_F(WallpaperMaker, At1024x768TheStarsTheBlockAndTheFile) {
    StartAllSeen();
    MarkBlock();
    Menu(TMenuItem::WallMakeClick);
    EXPECT_EQ(State().StarsStamped, 31213 + 1939);
    EXPECT_EQ(Os->Wallpapers, std::vector<std::string>{Path()});
    int bits = 0;
    const TPicture wall = ReadWallpaper(bits);
    EXPECT_EQ(bits, 24);
    ASSERT_EQ(wall.Width, 1024);
    ASSERT_EQ(wall.Height, 768);
    EXPECT_EQ(BlockMismatches(wall, 306, 91), 0);
    // The sky: black with dim bluish stars, never darkened.
    int black = 0, lit = 0;
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 300; ++x) {
            const uint32_t p = wall.GetPixel(x, y) & 0xFFFFFF;
            (p == 0 ? black : lit)++;
        }
    EXPECT_GT(black, lit);
    EXPECT_GT(lit, 8000);  // about 4 in 100 pixels carry a star
    ExpectCardBackInSlot0();
    EXPECT_EQ(Os->Pointer, 2);
    EXPECT_FALSE(Os->FileExists(Path() + ".new"));
}

TEST_F(WallpaperMaker, SameSeedSameBytes) {
    std::string first, second;
    for (std::string* out : {&first, &second}) {
        TearDown();
        SetUp();
        Os->ScreenWidth = 640;
        Os->ScreenHeight = 480;
        StartAllSeen();
        Menu(TMenuItem::WallMakeClick);
        ASSERT_TRUE(Os->ReadFile(Path(), *out));
    }
    EXPECT_TRUE(first == second);
}

TEST_F(WallpaperMaker, ScreenSmallerThanTheBlockKeepsOnlyItsVisiblePart) {
    Os->ScreenWidth = 300;
    Os->ScreenHeight = 400;
    StartAllSeen("FezPenBlack=1\r\nFezPenDown=1\r\n");
    MarkBlock();
    Menu(TMenuItem::WallMakeClick);
    int bits = 0;
    const TPicture wall = ReadWallpaper(bits);
    ASSERT_EQ(wall.Width, 300);
    ASSERT_EQ(wall.Height, 400);
    EXPECT_EQ(BlockMismatches(wall, (300 - 412) / 2, (400 - 572) / 2 - 7), 0);
    EXPECT_EQ(wall.GetPixel(0, 0) & 0xFFFFFF, Marker(56, 12 + 93));
    ExpectCardBackInSlot0();
    EXPECT_EQ(Os->Pointer, 5);
}

TEST_F(WallpaperMaker, StarsAtTheEdgeWriteOnlyInsideThePicture) {
    Start();
    const struct {
        int X, Y;
        std::set<TPoint> Lit;
    } kStars[] = {
        {0, 2, {{0, 1}, {1, 1}, {0, 2}, {1, 2}, {0, 3}, {1, 3}}},
        {0, 0, {{0, 0}, {1, 0}, {0, 1}, {1, 1}}},
        {4, 4, {{3, 3}, {4, 3}, {3, 4}, {4, 4}}},
        {4, 0, {{3, 0}, {4, 0}, {3, 1}, {4, 1}}},
    };
    for (const auto& s : kStars) {
        TPicture& work = Pics().CardSlot[0];
        work.SetSize(5, 5);                                    // black
        TFormAccess::StampPlainStar(*Form, s.X, s.Y, 0, 100);  // a cross
        std::set<TPoint> lit;
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 5; ++x)
                if (work.GetPixel(x, y) != 0) lit.insert({x, y});
        EXPECT_EQ(lit, s.Lit) << "star at " << s.X << "," << s.Y;
        EXPECT_EQ(work.Pixels.size(), 25u);
    }
}

TEST_F(WallpaperMaker, AFailedSaveKeepsTheOldFileAndPutsEverythingBack) {
    ASSERT_TRUE(Os->WriteFile(Path(), "an earlier wallpaper"));
    StartAllSeen("FezPenBlack=1\r\n");
    Os->FailWriteAt = 0;
    Menu(TMenuItem::WallMakeClick);
    ASSERT_EQ(Os->Messages.size(), 1u);
    EXPECT_EQ(Os->Messages[0].Title, "Sablewick");
    EXPECT_EQ(Os->SjisToUtf8(Os->Messages[0].Text), "ファイル " + Path() + " を作成できません");
    EXPECT_TRUE(Os->Wallpapers.empty());
    std::string text;
    ASSERT_TRUE(Os->ReadFile(Path(), text));
    EXPECT_EQ(text, "an earlier wallpaper");
    EXPECT_FALSE(Os->FileExists(Path() + ".new"));
    ExpectCardBackInSlot0();
    EXPECT_EQ(Os->Pointer, 3);
    // The next card turn draws the card back from slot 0.
    TFormAccess::AnimStep(*Form) = kStepTurn;
    Idle();
    EXPECT_EQ(State().AnimStep, 0);
}

// The same failure through the script driver, which shows escaped errors in a message box
// as the Windows build does, and goes on running.
TEST_F(WallpaperMaker, AFailedSaveIsShownInAMessageBox) {
    ASSERT_TRUE(Os->WriteFile(Dir + "z.html", "probe"));  // the start writes nothing
    WriteIni(kAllSeen);
    Os->FailWriteAt = 0;
    std::istringstream script("start\nmenu WallMakeClick\nstate\nclose\n");
    std::ostringstream out, err;
    TScriptDriver driver(*Os, script, out, err);
    driver.Run();
    ASSERT_FALSE(Os->Messages.empty()) << err.str();
    EXPECT_EQ(Os->SjisToUtf8(Os->Messages[0].Text), "ファイル " + Path() + " を作成できません");
    EXPECT_EQ(Os->Messages[0].Title, "Sablewick");
    EXPECT_TRUE(Os->Wallpapers.empty());
    EXPECT_NE(out.str().find("\"running\": true"), std::string::npos) << out.str();
}

}  // namespace
