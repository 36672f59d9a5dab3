#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "content/ImageCodecs.h"
#include "common/ByteOrder.h"
#include "support/TestPlatform.h"

namespace {

const uint8_t* Bytes(const std::string& s) {
    return reinterpret_cast<const uint8_t*>(s.data());
}

// The colour the test pictures give pixel (x, y).
uint32_t TestColour(int x, int y) {
    return MakePixel(30 * x + 7, 40 * y + 3, 11 * (x + y));
}

// A BMP file built the long way, field by field, the way other programs write them.
struct TBmpSpec {
    int Bpp = 24;
    int Width = 5;
    int Height = 3;
    bool TopDown = false;
    uint32_t HeaderSize = 40;  // 12, 40, 108 or 124
    uint32_t Compression = 0;  // BI_RGB
    uint32_t PaletteUsed = 0;  // 0: the full palette of the depth
    bool Bitfields40 = false;  // masks after a 40-byte header
    uint32_t Masks[3] = {0x00FF0000u, 0x0000FF00u, 0x000000FFu};
};

// Palette index of pixel (x, y) in the test pictures.
int TestIndex(const TBmpSpec& b, int x, int y) {
    return b.Bpp <= 8 ? (x + 2 * y) % (1 << b.Bpp) : 0;
}
uint32_t TestPaletteColour(int i) {
    return MakePixel(255 - i, i * 3 & 255, i * 7 & 255);
}

std::string MakeBmp(const TBmpSpec& b) {
    const int entries = b.Bpp <= 8 ? (b.PaletteUsed ? b.PaletteUsed : 1 << b.Bpp) : 0;
    const int entrySize = b.HeaderSize == 12 ? 3 : 4;
    const uint32_t stride = ((b.Width * b.Bpp + 31) / 32) * 4;
    const uint32_t offBits = 14 + b.HeaderSize + (b.Bitfields40 ? 12 : 0) + entries * entrySize;
    std::string s = "BM";
    AppendU32(s, offBits + stride * b.Height);
    AppendU32(s, 0);
    AppendU32(s, offBits);
    AppendU32(s, b.HeaderSize);
    if (b.HeaderSize == 12) {
        AppendU16(s, b.Width);
        AppendU16(s, b.Height);
        AppendU16(s, 1);
        AppendU16(s, b.Bpp);
    } else {
        AppendU32(s, b.Width);
        AppendU32(s, static_cast<uint32_t>(b.TopDown ? -b.Height : b.Height));
        AppendU16(s, 1);
        AppendU16(s, b.Bpp);
        AppendU32(s, b.Compression);
        AppendU32(s, stride * b.Height);
        AppendU32(s, 2835);
        AppendU32(s, 2835);
        AppendU32(s, b.PaletteUsed);
        AppendU32(s, 0);
        if (b.HeaderSize > 40 || b.Bitfields40)
            for (uint32_t m : b.Masks) AppendU32(s, m);
        while (s.size() < 14 + b.HeaderSize + (b.Bitfields40 ? 12 : 0)) s += '\0';
    }
    for (int i = 0; i < entries; ++i) {
        const uint32_t c = TestPaletteColour(i);
        s += static_cast<char>(PixelBlue(c));
        s += static_cast<char>(PixelGreen(c));
        s += static_cast<char>(PixelRed(c));
        if (entrySize == 4) s += '\0';
    }
    for (int row = 0; row < b.Height; ++row) {
        const int y = b.TopDown ? row : b.Height - 1 - row;
        std::string line(stride, '\0');
        for (int x = 0; x < b.Width; ++x) {
            const uint32_t c = TestColour(x, y);
            const int idx = TestIndex(b, x, y);
            switch (b.Bpp) {
                case 1:
                    line[x / 8] = static_cast<char>(line[x / 8] | (idx << (7 - x % 8)));
                    break;
                case 4:
                    line[x / 2] = static_cast<char>(line[x / 2] | (idx << (x % 2 ? 0 : 4)));
                    break;
                case 8:
                    line[x] = static_cast<char>(idx);
                    break;
                default:
                    line[x * (b.Bpp / 8)] = static_cast<char>(PixelBlue(c));
                    line[x * (b.Bpp / 8) + 1] = static_cast<char>(PixelGreen(c));
                    line[x * (b.Bpp / 8) + 2] = static_cast<char>(PixelRed(c));
                    if (b.Bpp == 32) line[x * 4 + 3] = static_cast<char>(0x5A);  // unused byte
            }
        }
        s += line;
    }
    return s;
}

void ExpectTestPicture(const TPicture& pic, const TBmpSpec& b) {
    ASSERT_EQ(pic.Width, b.Width);
    ASSERT_EQ(pic.Height, b.Height);
    EXPECT_EQ(pic.BitsPerPixel, b.Bpp);
    for (int y = 0; y < b.Height; ++y)
        for (int x = 0; x < b.Width; ++x) {
            const uint32_t want =
                b.Bpp <= 8 ? TestPaletteColour(TestIndex(b, x, y)) : TestColour(x, y);
            ASSERT_EQ(pic.GetPixel(x, y), want) << b.Bpp << " bit at " << x << "," << y;
        }
}

// A picture that is already there, so a failed decode can be seen to leave it alone.
TPicture Sentinel() {
    TPicture p;
    p.SetSize(2, 1);
    p.SetPixel(1, 0, 0x123456);
    p.BitsPerPixel = 8;
    return p;
}

void ExpectUntouched(const TPicture& p) {
    EXPECT_EQ(p.Width, 2);
    EXPECT_EQ(p.Height, 1);
    EXPECT_EQ(p.BitsPerPixel, 8);
    EXPECT_EQ(p.GetPixel(1, 0), 0x123456u);
}

TEST(DecodeBmp, EveryDepthBothRowOrders) {
    for (int bpp : {1, 4, 8, 24, 32})
        for (bool topDown : {false, true})
            for (int width : {1, 5, 9, 17}) {
                TBmpSpec b;
                b.Bpp = bpp;
                b.TopDown = topDown;
                b.Width = width;
                const std::string file = MakeBmp(b);
                TPicture pic;
                ASSERT_TRUE(DecodeBmp(Bytes(file), file.size(), pic))
                    << bpp << " bit, width " << width << (topDown ? ", top-down" : "");
                ExpectTestPicture(pic, b);
            }
}

TEST(DecodeBmp, HeaderVariants) {
    TBmpSpec core;  // BITMAPCOREHEADER, three-byte palette entries
    core.HeaderSize = 12;
    core.Bpp = 4;
    TBmpSpec v5;
    v5.HeaderSize = 124;
    v5.Bpp = 32;
    v5.Compression = 3;  // BI_BITFIELDS, the masks inside the header
    TBmpSpec masks40;
    masks40.Bpp = 32;
    masks40.Compression = 3;
    masks40.Bitfields40 = true;
    TBmpSpec v4;
    v4.HeaderSize = 108;
    v4.Bpp = 8;
    TBmpSpec fewColours;  // a palette shorter than the depth allows
    fewColours.Bpp = 8;
    fewColours.PaletteUsed = 16;
    for (const TBmpSpec& b : {core, v5, masks40, v4, fewColours}) {
        const std::string file = MakeBmp(b);
        TPicture pic;
        ASSERT_TRUE(DecodeBmp(Bytes(file), file.size(), pic)) << "header " << b.HeaderSize;
        ExpectTestPicture(pic, b);
    }
}

TEST(DecodeBmp, UnsupportedAndDamagedFilesLeaveThePictureAlone) {
    std::vector<std::string> bad;
    TBmpSpec rle;
    rle.Bpp = 8;
    rle.Compression = 1;
    bad.push_back(MakeBmp(rle));
    TBmpSpec oddMasks;
    oddMasks.Bpp = 32;
    oddMasks.Compression = 3;
    oddMasks.Bitfields40 = true;
    oddMasks.Masks[0] = 0x000000FFu;
    oddMasks.Masks[2] = 0x00FF0000u;
    bad.push_back(MakeBmp(oddMasks));
    TBmpSpec sixteen;
    sixteen.Bpp = 16;
    bad.push_back(MakeBmp(sixteen));

    const std::string good = MakeBmp(TBmpSpec());
    const auto patched = [&](size_t at, uint32_t value) {
        std::string s = good;
        std::string v;
        AppendU32(v, value);
        s.replace(at, 4, v);
        return s;
    };
    bad.push_back(patched(10, 0xFFFFFFF0u));  // pixel data offset far past the end
    bad.push_back(patched(14, 0xFFFFFFFFu));  // header size
    bad.push_back(patched(14, 20));           // header size of no known kind
    bad.push_back(patched(18, 0));            // no width
    bad.push_back(patched(18, 0x7FFFFFFFu));  // absurd width
    bad.push_back(patched(22, 0x80000000u));  // most negative height
    bad.push_back(patched(22, 100000));       // more rows than the data holds
    std::string notBm = good;
    notBm[1] = 'A';
    bad.push_back(notBm);
    TBmpSpec pal;
    pal.Bpp = 8;
    std::string hugePalette = MakeBmp(pal);
    hugePalette.replace(46, 4, std::string("\xFF\xFF\xFF\x7F", 4));
    hugePalette.resize(hugePalette.size() - 600);  // and the palette cut short
    bad.push_back(hugePalette);

    for (size_t i = 0; i < bad.size(); ++i) {
        TPicture pic = Sentinel();
        EXPECT_FALSE(DecodeBmp(Bytes(bad[i]), bad[i].size(), pic)) << "case " << i;
        ExpectUntouched(pic);
    }

    // Every cut of valid files, header, palette or pixels.
    for (int bpp : {1, 8, 24}) {
        TBmpSpec b;
        b.Bpp = bpp;
        const std::string file = MakeBmp(b);
        for (size_t n = 0; n < file.size(); ++n) {
            TPicture pic = Sentinel();
            ASSERT_FALSE(DecodeBmp(Bytes(file), n, pic)) << bpp << " bit cut to " << n;
            ExpectUntouched(pic);
        }
    }
    TPicture pic = Sentinel();
    EXPECT_FALSE(DecodeBmp(nullptr, 0, pic));
}

TEST(EncodeBmp24, WritesABottomUpFileThatReadsBack) {
    for (int width : {1, 2, 3, 4, 5}) {
        TPicture pic;
        pic.SetSize(width, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < width; ++x) pic.SetPixel(x, y, TestColour(x, y));
        const std::string file = EncodeBmp24(pic);
        const uint32_t stride = (width * 3 + 3) / 4 * 4;
        ASSERT_EQ(file.size(), 54u + stride * 3);
        uint32_t fileSize, offBits, headerSize, w, bpp;
        int32_t h;
        std::memcpy(&fileSize, &file[2], 4);
        std::memcpy(&offBits, &file[10], 4);
        std::memcpy(&headerSize, &file[14], 4);
        std::memcpy(&w, &file[18], 4);
        std::memcpy(&h, &file[22], 4);
        bpp = static_cast<uint8_t>(file[28]);
        EXPECT_EQ(file.substr(0, 2), "BM");
        EXPECT_EQ(fileSize, file.size());
        EXPECT_EQ(offBits, 54u);
        EXPECT_EQ(headerSize, 40u);
        EXPECT_EQ(w, static_cast<uint32_t>(width));
        EXPECT_EQ(h, 3);  // positive: the first row stored is the bottom one
        EXPECT_EQ(bpp, 24u);
        const uint32_t bottomLeft = TestColour(0, 2);
        EXPECT_EQ(static_cast<uint8_t>(file[54]), PixelBlue(bottomLeft));
        EXPECT_EQ(static_cast<uint8_t>(file[56]), PixelRed(bottomLeft));

        TPicture back;
        ASSERT_TRUE(DecodeBmp(Bytes(file), file.size(), back));
        EXPECT_EQ(back.BitsPerPixel, 24);
        EXPECT_EQ(back.Pixels, pic.Pixels) << "width " << width;
    }
}

// A JPEG made with libjpeg itself, `fill` giving each row's samples (one or three a pixel);
// `h` x `v` is the luma channel's sampling against the chroma's, 0 for libjpeg's default.
std::string CompressJpeg(int width, int height, bool grey, int quality, bool progressive, int h,
                         int v, const std::function<void(int y, unsigned char* row)>& fill) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = width;
    c.image_height = height;
    c.input_components = grey ? 1 : 3;
    c.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, quality, TRUE);
    if (h > 0) {
        c.comp_info[0].h_samp_factor = h;
        c.comp_info[0].v_samp_factor = v;
    }
    if (progressive) jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    std::vector<unsigned char> row(static_cast<size_t>(width) * 3);
    while (c.next_scanline < c.image_height) {
        fill(static_cast<int>(c.next_scanline), row.data());
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    std::string file(reinterpret_cast<char*>(out), size);
    jpeg_destroy_compress(&c);
    std::free(out);
    return file;
}

// A small JPEG of smooth gradients.
std::string MakeJpeg(int width, int height, bool progressive, bool grey = false) {
    return CompressJpeg(width, height, grey, 95, progressive, 0, 0, [&](int y, unsigned char* row) {
        for (int x = 0; x < width; ++x) {
            const uint32_t p = MakePixel(x * 255 / width, y * 255 / height, 128);
            if (grey) {
                row[x] = static_cast<unsigned char>(PixelRed(p));
            } else {
                row[3 * x] = static_cast<unsigned char>(PixelRed(p));
                row[3 * x + 1] = static_cast<unsigned char>(PixelGreen(p));
                row[3 * x + 2] = static_cast<unsigned char>(PixelBlue(p));
            }
        }
    });
}

TEST(DecodeJpeg, BaselineProgressiveAndGrey) {
    for (bool progressive : {false, true}) {
        const std::string file = MakeJpeg(37, 21, progressive);
        TPicture pic;
        ASSERT_TRUE(DecodeJpeg(Bytes(file), file.size(), pic));
        ASSERT_EQ(pic.Width, 37);
        ASSERT_EQ(pic.Height, 21);
        EXPECT_EQ(pic.BitsPerPixel, 24);
        for (int y = 0; y < 21; y += 5)
            for (int x = 0; x < 37; x += 6) {
                const uint32_t p = pic.GetPixel(x, y);
                EXPECT_NEAR(PixelRed(p), x * 255 / 37, 8) << x << "," << y;
                EXPECT_NEAR(PixelGreen(p), y * 255 / 21, 8) << x << "," << y;
                EXPECT_NEAR(PixelBlue(p), 128, 8) << x << "," << y;
            }
    }
    const std::string grey = MakeJpeg(8, 8, false, true);
    TPicture pic;
    ASSERT_TRUE(DecodeJpeg(Bytes(grey), grey.size(), pic));
    EXPECT_EQ(PixelRed(pic.GetPixel(4, 4)), PixelBlue(pic.GetPixel(4, 4)));
}

// A busy JPEG (edges and noise, so that rounding in the colour conversion and the
// upsampling shows) with the luma channel sampled h x v times as finely as the chroma.
std::string MakeBusyJpeg(int width, int height, int h, int v, bool progressive) {
    uint32_t seed = 12345;
    return CompressJpeg(
        width, height, false, 80, progressive, h, v, [&](int y, unsigned char* row) {
            for (int x = 0; x < width; ++x) {
                seed = seed * 1103515245u + 12345u;
                const int noise = static_cast<int>((seed >> 16) & 63);
                row[3 * x] =
                    static_cast<unsigned char>(((x / 5 + y / 3) & 1) ? 230 - noise : noise);
                row[3 * x + 1] = static_cast<unsigned char>((x * 7 + y * 3 + noise) & 255);
                row[3 * x + 2] = static_cast<unsigned char>(y * 255 / height);
            }
        });
}

// What libjpeg itself gives as plain RGB rows, one row at a time, as 0x00RRGGBB words.
std::vector<uint32_t> LibjpegRgb(const std::string& file) {
    jpeg_decompress_struct d;
    jpeg_error_mgr err;
    d.err = jpeg_std_error(&err);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, const_cast<unsigned char*>(Bytes(file)), file.size());
    jpeg_read_header(&d, TRUE);
    d.out_color_space = JCS_RGB;
    jpeg_start_decompress(&d);
    std::vector<unsigned char> row(d.output_width * 3);
    std::vector<uint32_t> pixels;
    while (d.output_scanline < d.output_height) {
        JSAMPROW r = row.data();
        jpeg_read_scanlines(&d, &r, 1);
        for (size_t x = 0; x < d.output_width; ++x)
            pixels.push_back(MakePixel(row[3 * x], row[3 * x + 1], row[3 * x + 2]));
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    return pixels;
}

// The decoder lets libjpeg write our pixel layout straight into the picture; the pixels
// must be exactly those of libjpeg's own RGB output, top byte clear, for every chroma
// sampling, for sizes that end mid-block and mid-band, and for the program's pictures.
TEST(DecodeJpeg, PixelsAreExactlyLibjpegsRgb) {
    struct TSampling {
        int H, V;
    } const samplings[] = {{1, 1}, {2, 1}, {2, 2}, {1, 2}};
    struct TSize {
        int W, H;
    } const sizes[] = {{1, 1}, {7, 17}, {37, 21}, {129, 40}, {340, 33}};
    for (const TSampling& sampling : samplings)
        for (const TSize& size : sizes)
            for (bool progressive : {false, true}) {
                const std::string file =
                    MakeBusyJpeg(size.W, size.H, sampling.H, sampling.V, progressive);
                TPicture pic;
                ASSERT_TRUE(DecodeJpeg(Bytes(file), file.size(), pic));
                ASSERT_EQ(pic.Width, size.W);
                ASSERT_EQ(pic.Height, size.H);
                EXPECT_TRUE(pic.Pixels == LibjpegRgb(file))
                    << size.W << "x" << size.H << " sampled " << sampling.H << "x" << sampling.V
                    << (progressive ? " progressive" : "");
            }
    const std::string grey = MakeJpeg(19, 9, false, true);
    TPicture pic;
    ASSERT_TRUE(DecodeJpeg(Bytes(grey), grey.size(), pic));
    EXPECT_TRUE(pic.Pixels == LibjpegRgb(grey)) << "grey";

    auto os = CreateTestPlatform(MakeTempDir("jpeg-exact"));
    std::vector<std::string> names = {"Base", "Button", "Nami", "Quest", "C999", "HC000"};
    for (const char* card : {"C000", "C007", "C022", "C041", "C049"}) names.push_back(card);
    for (const std::string& name : names) {
        TResourceView view;
        if (!os->FindResourceData("JPG", name, view)) continue;
        const std::string file(reinterpret_cast<const char*>(view.Data), view.Size);
        ASSERT_TRUE(DecodeJpeg(view.Data, view.Size, pic)) << name;
        EXPECT_TRUE(pic.Pixels == LibjpegRgb(file)) << name;
    }
}

TEST(DecodeJpeg, DamagedFilesFailQuietlyAndLeaveThePictureAlone) {
    std::vector<std::string> bad;
    for (bool progressive : {false, true}) {
        const std::string file = MakeJpeg(64, 48, progressive);
        for (size_t cut :
             {size_t{0}, size_t{2}, size_t{20}, file.size() / 3, file.size() / 2, file.size() - 3})
            bad.push_back(file.substr(0, cut));
        // Claims a picture of 60000 x 60000: refused before any pixel is allocated.
        std::string huge = file;
        const size_t sof = huge.find(progressive ? "\xFF\xC2" : "\xFF\xC0");
        ASSERT_NE(sof, std::string::npos);
        huge.replace(sof + 5, 4, "\xEA\x60\xEA\x60");
        bad.push_back(huge);
    }
    bad.push_back("\xFF\xD8\xFF\xE0 this is not a picture");
    bad.push_back(std::string(500, '\xFF'));
    bad.push_back(MakeBmp(TBmpSpec()));

    for (size_t i = 0; i < bad.size(); ++i) {
        TPicture pic = Sentinel();
        EXPECT_FALSE(DecodeJpeg(Bytes(bad[i]), bad[i].size(), pic)) << "case " << i;
        ExpectUntouched(pic);
    }
}

std::string MakeWave(uint16_t format, uint32_t dataBytes, uint32_t dataClaim) {
    std::string fmt;
    AppendU16(fmt, format);
    AppendU16(fmt, 1);
    AppendU32(fmt, 22050);
    AppendU32(fmt, 44100);
    AppendU16(fmt, 2);
    AppendU16(fmt, 16);
    std::string s = "RIFF";
    AppendU32(s, 0);
    s += "WAVE";
    s += "fmt ";
    AppendU32(s, static_cast<uint32_t>(fmt.size()));
    s += fmt;
    s += "LIST";  // an odd-sized chunk before the data: padded to an even size
    AppendU32(s, 3);
    s += "abc";
    s += '\0';
    s += "data";
    AppendU32(s, dataClaim);
    s += std::string(dataBytes, '\x01');
    const uint32_t riff = static_cast<uint32_t>(s.size() - 8);
    std::memcpy(&s[4], &riff, 4);
    return s;
}

TEST(ParseWave, ReadsPcmFactsAndRefusesDamage) {
    const std::string good = MakeWave(1, 100, 100);
    TWaveInfo info;
    ASSERT_TRUE(ParseWave(Bytes(good), good.size(), info));
    EXPECT_EQ(info.Channels, 1);
    EXPECT_EQ(info.SampleRate, 22050);
    EXPECT_EQ(info.BitsPerSample, 16);
    EXPECT_EQ(info.DataBytes, 100u);

    const std::vector<std::string> bad = {
        MakeWave(3, 100, 100),         // floating point, not PCM
        MakeWave(1, 100, 101),         // data claims more than the file holds
        MakeWave(1, 10, 0xFFFFFFF0u),  // and a size that would wrap
        good.substr(0, good.size() - 1), good.substr(0, 30), "RIFF\x04\0\0\0WAVE",
    };
    for (size_t i = 0; i < bad.size(); ++i) {
        TWaveInfo none;
        none.Channels = 9;
        EXPECT_FALSE(ParseWave(Bytes(bad[i]), bad[i].size(), none)) << "case " << i;
        EXPECT_EQ(none.Channels, 9);
    }
}

std::string MakeCursor(uint8_t w, uint8_t h, uint16_t hotX, uint16_t hotY, uint16_t type = 2) {
    std::string s;
    AppendU16(s, 0);
    AppendU16(s, type);
    AppendU16(s, 1);
    s += static_cast<char>(w);
    s += static_cast<char>(h);
    s += '\0';
    s += '\0';
    AppendU16(s, hotX);
    AppendU16(s, hotY);
    AppendU32(s, 40);  // image bytes
    AppendU32(s, 22);  // image offset
    s += std::string(40, '\0');
    return s;
}

TEST(ParseCursor, SizeAndHotSpot) {
    const std::string cur = MakeCursor(32, 32, 5, 27);
    TCursorInfo info;
    ASSERT_TRUE(ParseCursor(Bytes(cur), cur.size(), info));
    EXPECT_EQ(info.Width, 32);
    EXPECT_EQ(info.Height, 32);
    EXPECT_EQ(info.HotX, 5);
    EXPECT_EQ(info.HotY, 27);
    const std::string big = MakeCursor(0, 0, 128, 1);
    ASSERT_TRUE(ParseCursor(Bytes(big), big.size(), info));
    EXPECT_EQ(info.Width, 256);
    EXPECT_EQ(info.Height, 256);

    const std::string icon = MakeCursor(32, 32, 1, 1, 1);
    EXPECT_FALSE(ParseCursor(Bytes(icon), icon.size(), info));
    EXPECT_FALSE(ParseCursor(Bytes(cur), cur.size() - 1, info));  // image cut short
    EXPECT_FALSE(ParseCursor(Bytes(cur), 10, info));
}

// The program's own resources, where the build's platform carries them.
TEST(ImageCodecs, ProgramResourcesDecode) {
    auto os = CreateTestPlatform(MakeTempDir("codecs"));
    struct TPictureResource {
        const char* Type;
        const char* Name;
        int Width, Height, Bpp;
    };
    const TPictureResource pictures[] = {
        {"JPG", "Base", 737, 584, 24},   {"JPG", "Button", 450, 222, 24},
        {"JPG", "Quest", 46, 68, 24},    {"JPG", "C041", 310, 500, 24},
        {"BMP", "BaseMsk", 737, 584, 1}, {"BMP", "WakuTate", 8, 504, 4},
        {"BMP", "Star", 3, 3, 1},
    };
    int found = 0;
    for (const TPictureResource& r : pictures) {
        TResourceView view;
        if (!os->FindResourceData(r.Type, r.Name, view)) continue;
        ++found;
        TPicture pic;
        const bool ok = std::string(r.Type) == "JPG" ? DecodeJpeg(view.Data, view.Size, pic)
                                                     : DecodeBmp(view.Data, view.Size, pic);
        ASSERT_TRUE(ok) << r.Name;
        EXPECT_EQ(pic.Width, r.Width) << r.Name;
        EXPECT_EQ(pic.Height, r.Height) << r.Name;
        EXPECT_EQ(pic.BitsPerPixel, r.Bpp) << r.Name;
    }
    TResourceView wav;
    if (os->FindResourceData("WAV", "A01", wav)) {
        ++found;
        TWaveInfo info;
        ASSERT_TRUE(ParseWave(wav.Data, wav.Size, info));
        EXPECT_EQ(info.Channels, 1);
        EXPECT_EQ(info.SampleRate, 22050);
        EXPECT_EQ(info.BitsPerSample, 16);
    }
    if (found == 0) GTEST_SKIP() << "this build's platform carries no resources";
}

}  // namespace
