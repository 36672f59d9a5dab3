// The resource set the program is built with: every name it asks for is there with the
// type, size and format the loaders and the drawing code count on. Runs on every target
// through the build's own platform, so the Windows resource section is checked too.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/RegionU.h"
#include "common/MySysU.h"
#include "content/ImageCodecs.h"
#include "common/ByteOrder.h"
#include "interact/ButtonDatU.h"
#include "support/TestPlatform.h"

namespace {

class ResourceSet : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = MakeTempDir("res");
        Os = CreateTestPlatform(Dir);
    }

    // The bytes of a resource; fails the test when it is missing.
    TResourceView Find(const std::string& type, const std::string& name) {
        TResourceView v;
        EXPECT_TRUE(Os->FindResourceData(type, name, v)) << type << " " << name << " missing";
        return v;
    }
    TPicture Jpeg(const std::string& name) {
        TPicture pic;
        const TResourceView v = Find("JPG", name);
        EXPECT_TRUE(v.Data && DecodeJpeg(v.Data, v.Size, pic)) << name << " does not decode";
        return pic;
    }
    TPicture Bmp(const std::string& name, int& headerBits) {
        TPicture pic;
        const TResourceView v = Find("BMP", name);
        headerBits = 0;
        if (!v.Data) return pic;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(v.Data), 2), "BM") << name;
        headerBits = GetU16(v.Data + 28);  // biBitCount of the info header
        EXPECT_TRUE(DecodeBmp(v.Data, v.Size, pic)) << name << " does not decode";
        return pic;
    }
    std::vector<std::string> CardLines() {
        const TResourceView v = Find("TXT", "CardT");
        std::vector<std::string> lines;
        if (!v.Data) return lines;
        const std::string text(reinterpret_cast<const char*>(v.Data), v.Size);
        size_t at = 0;
        for (size_t crlf; (crlf = text.find("\r\n", at)) != std::string::npos; at = crlf + 2)
            lines.push_back(text.substr(at, crlf - at));
        lines.push_back(text.substr(at));
        return lines;
    }
    std::string Utf8(const std::string& sjis) { return Os->SjisToUtf8(sjis); }

    std::string Dir;
    std::unique_ptr<TPlatform> Os;
};

// The frame of a JPEG file that matters here: its SOF marker.
struct TJpegFrame {
    int Sof = -1;  // 0xC0 baseline, 0xC2 progressive
    int Components = 0;
};
TJpegFrame JpegFrame(const TResourceView& v) {
    TJpegFrame f;
    size_t i = 2;
    while (v.Data && i + 10 < v.Size) {
        if (v.Data[i] != 0xFF) return f;
        const int marker = v.Data[i + 1];
        const size_t length = (v.Data[i + 2] << 8) | v.Data[i + 3];
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
            marker != 0xCC) {
            f.Sof = marker;
            f.Components = v.Data[i + 9];
            return f;
        }
        i += 2 + length;
    }
    return f;
}

struct TSize {
    int W, H;
};
// Card pictures that are not the full 340 x 500.
const std::map<int, TSize> kOddCards = {{39, {340, 420}}, {41, {310, 500}}, {44, {340, 410}},
                                        {45, {340, 482}}, {48, {340, 404}}, {49, {340, 482}}};

TEST_F(ResourceSet, EveryJpegNameTheProgramBuildsHasItsSizeAndThreeComponents) {
    // The program asks in mixed case; the set stores upper case.
    std::vector<std::pair<std::string, TSize>> want = {
        {"Base", {737, 584}}, {"Button", {450, 222}}, {"Nami", {348, 508}}, {"Quest", {46, 68}},
        {"C999", {340, 500}}, {"hC000", {340, 500}},  {"hC005", {340, 500}}};
    for (int n = 0; n <= 49; ++n) {
        const auto odd = kOddCards.find(n);
        want.push_back(
            {"C" + ZeroPad(n, 3), odd == kOddCards.end() ? TSize{340, 500} : odd->second});
    }
    for (int p = 0; p <= 4; ++p) want.push_back({"Index" + ZeroPad(p, 2), {238, 142}});

    int progressive = 0, baseline = 0;
    for (const auto& w : want) {
        const TPicture pic = Jpeg(w.first);
        EXPECT_EQ(pic.Width, w.second.W) << w.first;
        EXPECT_EQ(pic.Height, w.second.H) << w.first;
        const TJpegFrame f = JpegFrame(Find("JPG", w.first));
        EXPECT_EQ(f.Components, 3) << w.first;
        EXPECT_TRUE(f.Sof == 0xC0 || f.Sof == 0xC2) << w.first << " SOF " << f.Sof;
        (f.Sof == 0xC2 ? progressive : baseline)++;
    }
    // Both kinds occur, so the decoder is exercised on each.
    EXPECT_GT(progressive, 0);
    EXPECT_GT(baseline, progressive);
}

TEST_F(ResourceSet, BitmapsKeepTheirDepthAndSize) {
    const struct {
        const char* Name;
        int W, H, Bits;
    } kBitmaps[] = {{"BaseMsk", 737, 584, 1},
                    {"WakuTate", 8, 504, 4},
                    {"WakuYoko", 348, 8, 4},
                    {"Star", 3, 3, 1}};
    for (const auto& b : kBitmaps) {
        int bits = 0;
        const TPicture pic = Bmp(b.Name, bits);
        EXPECT_EQ(bits, b.Bits) << b.Name;
        EXPECT_EQ(pic.Width, b.W) << b.Name;
        EXPECT_EQ(pic.Height, b.H) << b.Name;
    }
    int bits = 0;
    const TPicture star = Bmp("Star", bits);
    for (uint32_t p : star.Pixels)
        EXPECT_EQ(p & 0xFFFFFF, 0xFFFFFFu) << "every sparkle pixel is white";
}

TEST_F(ResourceSet, MaskGives602RunsAtMostTwoARowAndCoversEveryButton) {
    int bits = 0;
    const TPicture mask = Bmp("BaseMsk", bits);
    ASSERT_EQ(mask.Width, 737);
    // The same 24-bit copy the window shape is built from.
    TPicture copy;
    copy.SetSize(mask.Width, mask.Height);
    CopyRect(mask, 0, 0, mask.Width, mask.Height, copy, 0, 0);
    copy.BitsPerPixel = 24;
    TMemoryStream stream;
    WriteRegionRuns(copy, 0, stream);
    const auto* data = reinterpret_cast<const uint8_t*>(stream.Data.data());
    ASSERT_GE(stream.Data.size(), 32u);
    const uint32_t count = GetU32(data + 8);
    EXPECT_EQ(count, 602u);
    ASSERT_EQ(stream.Data.size(), 32u + 16u * count);
    std::map<int, int> perRow;
    for (uint32_t i = 0; i < count; ++i) ++perRow[static_cast<int>(GetU32(data + 32 + 16 * i + 4))];
    for (const auto& row : perRow) EXPECT_LE(row.second, 2) << "row " << row.first;

    // Only black and white, and every button lies on white: a press on any painted
    // button reaches the window.
    for (uint32_t p : mask.Pixels) ASSERT_TRUE((p & 0xFFFFFF) == 0 || (p & 0xFFFFFF) == 0xFFFFFF);
    const TButtonTable buttons = DesignedButtons();
    for (int id = kFirstButton; id <= kLastButton; ++id) {
        const ButtonRecord& b = buttons[id];
        int outside = 0;
        for (int y = b.Y; y < b.Y + b.Height; ++y)
            for (int x = b.X; x < b.X + b.Width; ++x)
                outside += !mask.Contains(x, y) || (mask.GetPixel(x, y) & 0xFFFFFF) == 0;
        EXPECT_EQ(outside, 0) << "button " << id << " has pixels outside the shape";
    }
}

TEST_F(ResourceSet, EverySoundIsMonoPcm22050Of16BitsWithinItsLengths) {
    auto seconds = [&](const std::string& name) {
        const TResourceView v = Find("WAV", name);
        TWaveInfo w;
        EXPECT_TRUE(v.Data && ParseWave(v.Data, v.Size, w)) << name;
        EXPECT_EQ(w.Channels, 1) << name;
        EXPECT_EQ(w.SampleRate, 22050) << name;
        EXPECT_EQ(w.BitsPerSample, 16) << name;
        return w.DataBytes / (22050.0 * 2);
    };
    // Lengths to the hundredth, as the cue table gives them.
    auto hundredths = [](double s) { return static_cast<int>(s * 100 + 0.5); };
    std::map<std::string, int> a, b;
    for (int i = 1; i <= 11; ++i) a["A" + ZeroPad(i, 2)] = hundredths(seconds("A" + ZeroPad(i, 2)));
    for (int k = 0; k <= 17; ++k) b["B" + ZeroPad(k, 2)] = hundredths(seconds("B" + ZeroPad(k, 2)));
    for (const auto& s : a) {
        if (s.first == "A09" || s.first == "A01") continue;
        EXPECT_GT(s.second, 13) << s.first << " is not longer than the drag click";
        EXPECT_LT(s.second, 598) << s.first << " is not shorter than the opening";
    }
    EXPECT_EQ(a["A09"], 13);
    EXPECT_EQ(a["A01"], 598);
    int shortest = 1000, longest = 0;
    for (const auto& s : b) {
        shortest = std::min(shortest, s.second);
        longest = std::max(longest, s.second);
    }
    EXPECT_EQ(shortest, 61);
    EXPECT_EQ(longest, 256);
}

TEST_F(ResourceSet, CardTextHasItsLayoutAndItsFacts) {
    const std::vector<std::string> lines = CardLines();
    ASSERT_EQ(lines.size(), 351u);
    // The closing line ends the resource without a line break.
    EXPECT_EQ(Utf8(lines[350]), "↑１行あけてＥＮＤ");
    EXPECT_EQ(Find("TXT", "CardT").Size, 17111u);

    const std::set<int> marked = {0, 5, 6, 7, 18, 20, 49};
    const std::set<int> withAlternate = {0, 5, 6, 7, 18, 20};
    const std::set<int> noComment = {18, 24};
    const int kLongest[7] = {42, 16, 211, 30, 57, 318, 186};
    const char* kDigits[10] = {"０", "１", "２", "３", "４", "５", "６", "７", "８", "９"};
    size_t longest[7] = {};
    std::map<std::string, std::string> nameOfCode;
    std::map<std::string, std::string> codeOfName;
    for (int n = 0; n <= 49; ++n) {
        const std::string* f = &lines[7 * n];
        for (int k = 0; k < 7; ++k) longest[k] = std::max(longest[k], f[k].size());
        const std::string number = std::string(kDigits[n / 10]) + kDigits[n % 10];
        const std::string header = Utf8(f[0]);
        const std::string expectStart =
            std::string(marked.count(n) ? "Ｈ" : "") + "Ｃａｒｄ．" + number + "＞";
        EXPECT_EQ(header.substr(0, expectStart.size()), expectStart) << "card " << n;
        // The marker the program tests is the two bytes of "Ｈ".
        EXPECT_EQ(f[0].compare(0, 2, "\x82\x67") == 0, marked.count(n) == 1) << "card " << n;
        EXPECT_EQ(!f[6].empty(), withAlternate.count(n) == 1) << "alternate comment, card " << n;
        EXPECT_EQ(f[5].empty(), noComment.count(n) == 1) << "comment, card " << n;
        EXPECT_FALSE(f[4].empty()) << "link, card " << n;
        EXPECT_EQ(f[1].empty(), n == 0) << "title, card " << n;

        ASSERT_GE(f[3].size(), 2u) << "creator line, card " << n;
        const std::string code = f[3].substr(0, 2), name = f[3].substr(2);
        ASSERT_TRUE(isdigit(static_cast<unsigned char>(code[0])) &&
                    isdigit(static_cast<unsigned char>(code[1])))
            << "card " << n;
        EXPECT_LE(std::atoi(code.c_str()), 17) << "no creator sound for card " << n;
        EXPECT_EQ(code == "00", n == 0) << "card " << n;
        EXPECT_FALSE(name.empty()) << "card " << n;
        // One code per creator, one creator per code.
        if (nameOfCode.count(code)) {
            EXPECT_EQ(nameOfCode[code], name) << "code " << code;
        }
        if (codeOfName.count(name)) {
            EXPECT_EQ(codeOfName[name], code) << "card " << n;
        }
        nameOfCode[code] = name;
        codeOfName[name] = code;
    }
    std::set<std::string> codes;
    for (const auto& c : nameOfCode) codes.insert(c.first);
    EXPECT_EQ(codes, (std::set<std::string>{"00", "01", "02", "03", "04", "05", "06", "07", "10",
                                            "11", "12", "13", "16", "17"}));
    for (int k = 0; k < 7; ++k)
        EXPECT_EQ(longest[k], static_cast<size_t>(kLongest[k])) << "field " << k;
    EXPECT_NE(Utf8(lines[2]).find("占い実行"), std::string::npos)
        << "card 0 names the fortune button";
    // No bytes outside the text's own: no NUL, no stray line ends inside a line.
    for (const std::string& l : lines)
        EXPECT_EQ(l.find_first_of(std::string("\0\r\n", 3)), std::string::npos);
}

#ifndef _WIN32
// Pointer shapes are group-cursor resources on Windows, so their files are checked where
// they are made: in the source tree.
std::string SourceDir() {
    if (const char* env = std::getenv("SABLEWICK_SOURCE_DIR")) return std::string(env) + "/";
    std::string here = __FILE__;
    return here.substr(0, here.rfind("/tests/unit/") + 1);
}

TEST_F(ResourceSet, PointerFilesAreMonochrome32x32WithTheirHotSpots) {
    const int kHot[9][2] = {{0, 0},  {8, 8}, {0, 0}, {0, 0},  {4, 31},
                            {4, 31}, {3, 3}, {3, 3}, {15, 15}};
    for (int n = 1; n <= 8; ++n) {
        std::string file;
        const std::string path = SourceDir() + "resources/CR" + std::to_string(n) + ".cur";
        ASSERT_TRUE(Os->ReadFile(path, file)) << path;
        const auto* data = reinterpret_cast<const uint8_t*>(file.data());
        TCursorInfo c;
        ASSERT_TRUE(ParseCursor(data, file.size(), c)) << path;
        EXPECT_EQ(c.Width, 32) << n;
        EXPECT_EQ(c.Height, 32) << n;
        EXPECT_EQ(c.HotX, kHot[n][0]) << "pointer " << n;
        EXPECT_EQ(c.HotY, kHot[n][1]) << "pointer " << n;
        EXPECT_EQ(GetU16(data + 4), 1) << "one image in pointer " << n;
        const uint32_t image = GetU32(data + 6 + 12);
        ASSERT_LT(image + 16, file.size());
        EXPECT_EQ(GetU16(data + image + 14), 1) << "pointer " << n << " is not monochrome";
    }
}
#endif

}  // namespace
