// The program's pure rules: hashing a wish, the seen-card text, page stepping, the
// composition geometry, star brightening, dates and the small utilities.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "app/MainUnit.h"
#include "common/Dates.h"
#include "common/MySysU.h"
#include "common/Random.h"
#include "render/ComposeCardArea.h"
#include "render/LightEffects.h"

TEST(WishToCard, WorkedExamplesAndShiftJisBytes) {
    EXPECT_EQ(WishToCardBytes("abc", 0), 12);
    EXPECT_EQ(WishToCardBytes("abc", 10), 22);
    // Three double-byte characters count as six bytes, taken unsigned.
    const std::string kanji = "\x97\xF6\x88\xA4\x89\x5E";
    EXPECT_EQ(WishToCardBytes(kanji, 0), 23);
    EXPECT_EQ(WishToCardBytes(kanji, 48), 22);
    // The empty wish is the title card; line breaks count as their bytes.
    EXPECT_EQ(WishToCardBytes("", 33), 0);
    EXPECT_NE(WishToCardBytes("a\r\nb", 0), WishToCardBytes("ab", 0));
}

TEST(WishToCard, AlwaysACardForAnyBytesAndFate) {
    TRandom r;
    r.Seed(99);
    for (int i = 0; i < 2000; ++i) {
        std::string wish(static_cast<size_t>(r.Next(400)) + 1, '\0');
        for (char& c : wish) c = static_cast<char>(r.Next(256));
        const int fate = r.Next(49);
        const int card = WishToCardBytes(wish, fate);
        ASSERT_GE(card, 1);
        ASSERT_LE(card, 49);
        ASSERT_EQ(card, WishToCardBytes(wish, fate)) << "the same wish must give the same card";
    }
    // Even a Fate outside 0..48 never yields a card outside 1..49.
    EXPECT_GE(WishToCardBytes("abc", -2147483647 - 1), 1);
    EXPECT_LE(WishToCardBytes("abc", 2147483647), 49);
}

TEST(SeenText, EncodesDecodesAndForgivesGarbage) {
    bool seen[MaxCard + 1] = {};
    DecodeSeenText("llllllllll", seen);
    for (int k = 1; k <= MaxCard; ++k) EXPECT_EQ(seen[k], k <= 10) << k;
    EXPECT_EQ(EncodeSeenText(seen), std::string(10, 'l') + std::string(39, '.'));

    DecodeSeenText(std::string(49, 'l') + "junk after the end", seen);
    EXPECT_EQ(EncodeSeenText(seen), std::string(49, 'l'));
    // Only a lower-case l counts; "L", "1" and "x" leave cards unseen.
    DecodeSeenText("Ll1xl", seen);
    EXPECT_EQ(EncodeSeenText(seen).substr(0, 6), ".l..l.");
    DecodeSeenText("", seen);
    EXPECT_EQ(EncodeSeenText(seen), std::string(49, '.'));
}

TEST(IndexPages, StepWrapsAndKeepsTheCell) {
    EXPECT_EQ(StepIndexPage(23, true), 33);
    EXPECT_EQ(StepIndexPage(43, true), 3);
    EXPECT_EQ(StepIndexPage(3, false), 43);
    EXPECT_EQ(StepIndexPage(0, false), 40);
    EXPECT_EQ(StepIndexPage(49, true), 9);
    EXPECT_EQ(StepIndexPage(9, false), 49);
}

TEST(CreatorCodes, ReadAsDecimalAndRefuseNonDigits) {
    EXPECT_EQ(CodeToInt("00"), 0);
    EXPECT_EQ(CodeToInt("05"), 5);
    EXPECT_EQ(CodeToInt("11"), 11);
    EXPECT_EQ(CodeToInt("0"), 0);
    EXPECT_THROW(CodeToInt("x1"), EError);
    EXPECT_EQ(CodeToInt("000"), 0) << "nothing left after the zeros reads as 0";
    EXPECT_TRUE(HasAlternateMarker("\x82g\x82\x62\x82\x81"));  // "ＨＣａ"
    EXPECT_FALSE(HasAlternateMarker("\x82\x62\x82\x81"));      // "Ｃａ"
    EXPECT_FALSE(HasAlternateMarker("\x82"));
}

TEST(Fate, RenewalRule) {
    int draws = 0;
    auto draw = [&](int value) {
        return [&draws, value] {
            ++draws;
            return value;
        };
    };
    EXPECT_FALSE(FateNeedsRenewal(11, false, draw(0)));
    EXPECT_EQ(draws, 0) << "no random draw before the 12th day";
    EXPECT_TRUE(FateNeedsRenewal(31, true, draw(5)));
    EXPECT_EQ(draws, 0) << "no random draw from the 31st day on";
    EXPECT_FALSE(FateNeedsRenewal(20, true, draw(0)));
    EXPECT_TRUE(FateNeedsRenewal(20, false, draw(0)));
    EXPECT_FALSE(FateNeedsRenewal(12, false, draw(7)));
    EXPECT_TRUE(FateNeedsRenewal(30, false, draw(0)));
    EXPECT_EQ(draws, 4);
}

TEST(Compose, GeometryKeepsTheCardCentred) {
    struct Case {
        int width, percent, half, left;
    } cases[] = {
        {340, 100, 170, 36}, {340, 90, 153, 53},  {340, 35, 59, 147}, {340, 0, 2, 204},
        {310, 100, 155, 51}, {341, 100, 170, 36}, {3, 0, 2, 204},     {1, 100, 2, 204},
    };
    for (const Case& c : cases) {
        const TComposeGeometry g = ComposeGeometry(c.width, c.percent);
        EXPECT_EQ(g.HalfWidth, c.half) << c.width << " at " << c.percent;
        EXPECT_EQ(g.Left, c.left) << c.width << " at " << c.percent;
        EXPECT_EQ(g.Left + g.HalfWidth, 206);
    }
}

TEST(Compose, ScalingAveragesTheColumnsItCovers) {
    TPicture src, dst;
    src.SetSize(4, 2);
    for (int y = 0; y < 2; ++y) {
        src.SetPixel(0, y, MakePixel(0, 0, 0));
        src.SetPixel(1, y, MakePixel(200, 100, 50));
        src.SetPixel(2, y, MakePixel(255, 255, 255));
        src.SetPixel(3, y, MakePixel(255, 255, 255));
    }
    dst.SetSize(10, 4);
    ScaleColumns(src, dst, 3, 1, 2);
    EXPECT_EQ(dst.GetPixel(3, 1), MakePixel(100, 50, 25));
    EXPECT_EQ(dst.GetPixel(4, 2), MakePixel(255, 255, 255));
    EXPECT_EQ(dst.GetPixel(2, 1), 0u) << "nothing beside the rectangle";
    EXPECT_EQ(dst.GetPixel(5, 1), 0u);
    EXPECT_EQ(dst.GetPixel(3, 3), 0u);
    // Same width: an exact copy; a rectangle reaching past the picture is clipped.
    ScaleColumns(src, dst, 8, 0, 4);
    EXPECT_EQ(dst.GetPixel(9, 0), MakePixel(200, 100, 50));
    // Three columns into two: each output column covers one and a half input columns,
    // and the averages round to the nearest value, not down.
    TPicture three;
    three.SetSize(3, 1);
    three.SetPixel(0, 0, MakePixel(0, 0, 0));
    three.SetPixel(1, 0, MakePixel(2, 5, 200));
    three.SetPixel(2, 0, MakePixel(10, 10, 10));
    ScaleColumns(three, dst, 0, 0, 2);
    EXPECT_EQ(dst.GetPixel(0, 0), MakePixel(1, 2, 67)) << "0.67, 1.67 and 66.67";
    EXPECT_EQ(dst.GetPixel(1, 0), MakePixel(7, 8, 73)) << "7.33, 8.33 and 73.33";
    // Widening a 1-pixel picture repeats it.
    TPicture one;
    one.SetSize(1, 1);
    one.SetPixel(0, 0, MakePixel(9, 8, 7));
    ScaleColumns(one, dst, 0, 3, 4);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(dst.GetPixel(x, 3), MakePixel(9, 8, 7));
}

TEST(Compose, ScalingClippedOnEitherSideKeepsTheColumnsThatShow) {
    // Busy pixels with every channel at its extremes somewhere, at widths that narrow
    // and widen: a column cut off on the left or the right must not change the ones that
    // stay, and pure white and black stay pure.
    TPicture src;
    src.SetSize(97, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 97; ++x)
            src.SetPixel(x, y,
                         (x + y) % 5 == 0 ? 0xFFFFFFu
                         : (x + y) % 5 == 1
                             ? 0u
                             : (static_cast<uint32_t>(x * 40503 + y * 977) & 0xFFFFFFu));
    for (int dw : {1, 4, 33, 60, 96, 131}) {
        TPicture whole, clipped;
        whole.SetSize(dw, 3);
        ScaleColumns(src, whole, 0, 0, dw);
        const int cut = dw / 3;
        clipped.SetSize(dw - cut, 3);
        ScaleColumns(src, clipped, -cut, 0, dw);
        for (int y = 0; y < 3; ++y)
            for (int x = cut; x < dw; ++x)
                ASSERT_EQ(clipped.GetPixel(x - cut, y), whole.GetPixel(x, y)) << dw << ": " << x;
        clipped.SetSize(dw - cut, 3);
        ScaleColumns(src, clipped, 0, 0, dw);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < dw - cut; ++x)
                ASSERT_EQ(clipped.GetPixel(x, y), whole.GetPixel(x, y)) << dw << ": " << x;
    }
    TPicture white, out;
    white.SetSize(50, 1);
    FillRect(white, 0, 0, 50, 1, 0xFFFFFFu);
    out.SetSize(37, 1);
    ScaleColumns(white, out, 0, 0, 37);
    for (int x = 0; x < 37; ++x) ASSERT_EQ(out.GetPixel(x, 0), 0xFFFFFFu) << x;
}

TEST(Pictures, OverlappingCopiesWithinOnePicture) {
    TPicture p;
    p.SetSize(6, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) p.SetPixel(x, y, static_cast<uint32_t>(10 * y + x));
    CopyRect(p, 0, 0, 4, 4, p, 1, 1);  // down and right over itself
    EXPECT_EQ(p.GetPixel(1, 1), 0u);
    EXPECT_EQ(p.GetPixel(4, 4), 33u);
    EXPECT_EQ(p.GetPixel(2, 4), 31u);
    CopyRect(p, 2, 2, 4, 4, p, 0, 0);  // up and left over itself
    EXPECT_EQ(p.GetPixel(0, 0), 11u);
    EXPECT_EQ(p.GetPixel(1, 1), 22u);
    // The far corner comes from (5, 5), which the first copy did not reach.
    EXPECT_EQ(p.GetPixel(3, 3), 55u);
    EXPECT_EQ(p.GetPixel(3, 2), 45u);
    EXPECT_EQ(p.GetPixel(4, 4), 33u) << "outside the second copy";
    CopyRect(p, -3, -3, 5, 5, p, 0, 0);  // clipped source shifts the destination
    EXPECT_EQ(p.GetPixel(3, 3), 11u);
}

TEST(Sparkles, PlusSignAndDotAreOffsetByOnePixel) {
    TPicture star, target;
    star.SetSize(3, 3);
    FillRect(star, 0, 0, 3, 3, 0xFFFFFF);
    target.SetSize(87, 87);
    DrawSparkle(target, star, 10, 0.0, 1, 5, 44);  // straight down: (44, 54)
    EXPECT_EQ(target.GetPixel(45, 54), 0xFFFFFFu);
    EXPECT_EQ(target.GetPixel(45, 56), 0xFFFFFFu);
    EXPECT_EQ(target.GetPixel(44, 55), 0xFFFFFFu);
    EXPECT_EQ(target.GetPixel(46, 55), 0xFFFFFFu);
    EXPECT_EQ(target.GetPixel(44, 54), 0u) << "the plus sign is centred on (px + 1, py + 1)";
    FillRect(target, 0, 0, 87, 87, 0);
    DrawSparkle(target, star, 10, 0.0, 5, 5, 44);
    EXPECT_EQ(target.GetPixel(44, 54), 0xFFFFFFu) << "the dot sits at (px, py)";
    EXPECT_EQ(target.GetPixel(45, 55), 0u);
    // Off the picture: clipped, nothing written, no crash.
    DrawSparkle(target, star, 60, 1.5707963, 1, 5, 44);
    DrawSparkle(target, star, 60, -1.5707963, 1, 5, 44);
}

TEST(Wallpaper, BrightenChannel) {
    EXPECT_EQ(BrightenChannel(0, 10, -30), 2);
    EXPECT_EQ(BrightenChannel(0, 100, 0), 255);
    EXPECT_EQ(BrightenChannel(200, 50, 0), 227);
    EXPECT_EQ(BrightenChannel(0, 25, 0), 63);
    for (int amount : {-500, 0, 50, 500}) EXPECT_EQ(BrightenChannel(255, amount, 40), 255);
}

TEST(Utilities, ZeroPadRectsClampAndColours) {
    EXPECT_EQ(ZeroPad(0, 3), "000");
    EXPECT_EQ(ZeroPad(999, 3), "999");
    EXPECT_EQ(ZeroPad(7, 2), "07");
    EXPECT_EQ(ZeroPad(1234, 3), "234");
    EXPECT_EQ(ZeroPad(2147483647, 3), "647");
    EXPECT_TRUE(PointInRect(10, 20, 5, 5, 10, 20));
    EXPECT_FALSE(PointInRect(10, 20, 5, 5, 15, 20));
    EXPECT_FALSE(PointInRect(10, 20, 5, 5, 10, 25));
    EXPECT_EQ(Clamp(5, 10, 0), 10) << "the low bound is tested first";
    EXPECT_EQ(Clamp(50, 0, 10), 10);
    EXPECT_EQ(PackColor(118, 132, 207), 118u + 132u * 256 + 207u * 65536);
    EXPECT_EQ(ColorToPixel(PackColor(1, 2, 3)), MakePixel(1, 2, 3));
    int r, g, b;
    SplitColor(PackColor(31, 33, 55), r, g, b);
    EXPECT_EQ(r * 10000 + g * 100 + b, 313355);
}

TEST(Utilities, Utf8PathsAndShiftJisLengths) {
    // "Café ☆": the star's last byte, 0x86, would lead a two-byte character in code
    // page 932 and swallow the separator after it.
    EXPECT_EQ(ExtractFilePath("C:\\Caf\xC3\xA9 \xE2\x98\x86\\Sablewick.exe"),
              "C:\\Caf\xC3\xA9 \xE2\x98\x86\\");
    // "ソ" in UTF-8 (0xE3 0x82 0xBD) next to a separator, before and after.
    EXPECT_EQ(ExtractFilePath("C:\\\xE3\x82\xBD\\Sablewick.exe"), "C:\\\xE3\x82\xBD\\");
    EXPECT_EQ(ExtractFilePath("C:\\\xE3\x82\xBDSablewick.exe"), "C:\\");
    EXPECT_EQ(ExtractFilePath("/tmp/x/Sablewick.exe"), "/tmp/x/");
    EXPECT_EQ(ExtractFilePath("Sablewick.exe"), "");
    EXPECT_EQ(SjisLength("ab\x89\x5E\x82"), 4);
}

TEST(Dates, DayArithmeticAndParsing) {
    EXPECT_EQ(DaysFromDate({1970, 1, 1}), 0);
    EXPECT_EQ(DaysFromDate({2026, 3, 1}) - DaysFromDate({2026, 2, 28}), 1);
    EXPECT_EQ(DaysFromDate({2024, 3, 1}) - DaysFromDate({2024, 2, 28}), 2);
    for (long d : {-1000L, 0L, 20000L, 2932896L}) EXPECT_EQ(DaysFromDate(DateFromDays(d)), d);
    TDate d;
    EXPECT_TRUE(ParseDate("2011/05/17", d));
    EXPECT_EQ(FormatDate(d), "2011/05/17");
    EXPECT_TRUE(ParseDate("2011/5/7", d));
    for (const char* bad : {"", "2011-05-17", "2011/13/01", "2011/02/30", "x/y/z", "2011/05/17x"})
        EXPECT_FALSE(ParseDate(bad, d)) << bad;
}

TEST(Random, RangesAndSpread) {
    TRandom r;
    r.Seed(1);
    int counts[7] = {};
    for (int i = 0; i < 70000; ++i) {
        const int v = r.Next(7);
        ASSERT_GE(v, 0);
        ASSERT_LT(v, 7);
        ++counts[v];
    }
    for (int c : counts) EXPECT_NEAR(c, 10000, 500);
    double lo = 1, hi = 0;
    for (int i = 0; i < 10000; ++i) {
        const double v = r.NextReal();
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    EXPECT_GE(lo, 0.0);
    EXPECT_LT(hi, 1.0);
    EXPECT_EQ(r.Next(0), 0);
    TRandom a, b;
    a.Seed(5);
    b.Seed(5);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(a.Next(1000), b.Next(1000));
}
