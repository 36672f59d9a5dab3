#include "content/ImageCodecs.h"
#include "common/ByteOrder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <utility>

#include <jpeglib.h>
#include <jerror.h>

namespace {

// No picture of the program comes near this; a larger claim is a damaged or hostile file
// that would otherwise make us allocate gigabytes.
constexpr uint32_t kMaxSide = 16384;
// A progressive file may repeat scans without end; real ones have about ten.
constexpr int kMaxScans = 500;

// ---- JPEG ----

struct TJpegError {
    jpeg_error_mgr Base;
    std::jmp_buf Jump;
};

[[noreturn]] void JpegFail(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<TJpegError*>(cinfo->err)->Jump, 1);
}

// libjpeg reports damaged data as warnings and goes on with grey blocks; for a truncated
// or corrupt picture we would rather have no picture at all.
void JpegMessage(j_common_ptr cinfo, int level) {
    if (level != -1) return;
    switch (cinfo->err->msg_code) {
        case JWRN_JPEG_EOF:
        case JWRN_HIT_MARKER:
        case JWRN_HUFF_BAD_CODE:
        case JWRN_ARITH_BAD_CODE:
        case JWRN_MUST_RESYNC:
        case JWRN_NOT_SEQUENTIAL:
        case JWRN_BOGUS_PROGRESSION:
        case JWRN_TOO_MUCH_DATA:
            JpegFail(cinfo);
        default:
            break;
    }
}

// The program has no console; nothing is printed.
void JpegSilent(j_common_ptr) {}

void JpegProgress(j_common_ptr cinfo) {
    if (cinfo->is_decompressor &&
        reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans)
        JpegFail(cinfo);
}

// libjpeg-turbo writes our pixel layout itself: blue, green, red and a fourth byte, which
// on a little-endian machine is the word 0x??RRGGBB. The rows then go straight into the
// picture, with no row buffer and no conversion pass; only the fourth byte, which the
// library may fill with anything, is cleared. The colour conversion is the same as for
// plain RGB output, so the pixels are too.
#if defined(JCS_EXTENSIONS) && defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
#define SABLEWICK_JPEG_WRITES_PIXELS 1
#endif
#ifdef SABLEWICK_JPEG_WRITES_PIXELS
constexpr J_COLOR_SPACE kPictureColorSpace = JCS_EXT_BGRX;
constexpr int kPictureComponents = 4;
#else
constexpr J_COLOR_SPACE kPictureColorSpace = JCS_RGB;
constexpr int kPictureComponents = 3;
#endif

// Rows read at once: libjpeg hands out what its current band of blocks holds, up to this.
constexpr int kRowsPerRead = 16;

// The jump back lands in this same frame, so no destructor is skipped: the picture lives
// in the caller, and any row buffer in libjpeg's own pool.
bool DecodeJpegInto(const uint8_t* data, size_t size, TPicture& pic) {
    jpeg_decompress_struct cinfo;
    TJpegError err;
    jpeg_progress_mgr progress;
    std::memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = jpeg_std_error(&err.Base);
    err.Base.error_exit = JpegFail;
    err.Base.emit_message = JpegMessage;
    err.Base.output_message = JpegSilent;
    progress.progress_monitor = JpegProgress;

    if (setjmp(err.Jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.progress = &progress;
    jpeg_mem_src(&cinfo, const_cast<unsigned char*>(data), static_cast<unsigned long>(size));
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    if (cinfo.image_width == 0 || cinfo.image_height == 0 || cinfo.image_width > kMaxSide ||
        cinfo.image_height > kMaxSide) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    cinfo.out_color_space = kPictureColorSpace;
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_components != kPictureComponents)
        JpegFail(reinterpret_cast<j_common_ptr>(&cinfo));

    pic.SetSize(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height));
    pic.BitsPerPixel = 24;
#ifdef SABLEWICK_JPEG_WRITES_PIXELS
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = static_cast<int>(cinfo.output_scanline);
        const int want = std::min(kRowsPerRead, pic.Height - y);
        JSAMPROW rows[kRowsPerRead];
        for (int i = 0; i < want; ++i) rows[i] = reinterpret_cast<JSAMPROW>(pic.Row(y + i));
        const int got =
            static_cast<int>(jpeg_read_scanlines(&cinfo, rows, static_cast<JDIMENSION>(want)));
        if (got <= 0) JpegFail(reinterpret_cast<j_common_ptr>(&cinfo));
        for (uint32_t *p = pic.Row(y), *end = pic.Row(y + got); p != end; ++p) *p &= 0xFFFFFFu;
    }
#else
    // The row buffer comes from libjpeg's own pool, released by jpeg_destroy_decompress.
    JSAMPROW row = static_cast<JSAMPROW>(
        (*cinfo.mem->alloc_small)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                  static_cast<size_t>(cinfo.output_width) * 3));
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = static_cast<int>(cinfo.output_scanline);
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1)
            JpegFail(reinterpret_cast<j_common_ptr>(&cinfo));
        uint32_t* dst = pic.Row(y);
        for (int x = 0; x < pic.Width; ++x)
            dst[x] = MakePixel(row[3 * x], row[3 * x + 1], row[3 * x + 2]);
    }
#endif
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

// ---- BMP ----

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

bool DecodeBmpInto(const uint8_t* data, size_t size, TPicture& pic) {
    if (data == nullptr || size < 14 + 12 || data[0] != 'B' || data[1] != 'M') return false;
    const uint64_t offBits = GetU32(data + 10);
    const uint32_t headerSize = GetU32(data + 14);
    if (headerSize != 12 && headerSize < 40) return false;
    if (14ull + headerSize > size) return false;
    const uint8_t* h = data + 14;

    int64_t width, height;
    int bpp;
    uint32_t compression = kBiRgb;
    uint64_t paletteCount = 0;
    uint64_t paletteAt = 14ull + headerSize;
    int paletteEntry = 4;
    if (headerSize == 12) {
        width = GetU16(h + 4);
        height = GetU16(h + 6);
        bpp = GetU16(h + 10);
        paletteEntry = 3;
    } else {
        width = GetI32(h + 4);
        height = GetI32(h + 8);
        bpp = GetU16(h + 14);
        compression = GetU32(h + 16);
        paletteCount = GetU32(h + 32);
    }

    if (compression == kBiBitfields) {
        // Only the standard 8-8-8 layout of a 32-bit picture; the masks follow a 40-byte
        // header and are part of any larger one.
        if (bpp != 32) return false;
        uint64_t masksAt = 14ull + 40;
        if (headerSize == 40) paletteAt += 12;
        if (masksAt + 12 > size) return false;
        if (GetU32(data + masksAt) != 0x00FF0000u || GetU32(data + masksAt + 4) != 0x0000FF00u ||
            GetU32(data + masksAt + 8) != 0x000000FFu)
            return false;
    } else if (compression != kBiRgb) {
        return false;  // run-length and embedded formats
    }
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return false;

    const bool topDown = height < 0;
    if (topDown) height = -height;  // int64: the most negative height cannot overflow
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return false;

    uint32_t palette[256] = {};
    if (bpp <= 8) {
        const uint64_t full = 1ull << bpp;
        if (paletteCount == 0 || paletteCount > full) paletteCount = full;
        if (paletteAt + paletteCount * paletteEntry > size) return false;
        for (uint64_t i = 0; i < paletteCount; ++i) {
            const uint8_t* e = data + paletteAt + i * paletteEntry;
            palette[i] = MakePixel(e[2], e[1], e[0]);
        }
    }

    const uint64_t stride = ((static_cast<uint64_t>(width) * bpp + 31) / 32) * 4;
    if (offBits > size || stride * static_cast<uint64_t>(height) > size - offBits) return false;

    pic.SetSize(static_cast<int>(width), static_cast<int>(height));
    pic.BitsPerPixel = bpp;
    for (int row = 0; row < pic.Height; ++row) {
        const uint8_t* src = data + offBits + stride * static_cast<uint64_t>(row);
        uint32_t* dst = pic.Row(topDown ? row : pic.Height - 1 - row);
        for (int x = 0; x < pic.Width; ++x) {
            switch (bpp) {
                case 1:
                    dst[x] = palette[(src[x >> 3] >> (7 - (x & 7))) & 1];
                    break;
                case 4:
                    dst[x] = palette[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 15];
                    break;
                case 8:
                    dst[x] = palette[src[x]];
                    break;
                case 24:
                    dst[x] = MakePixel(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
                    break;
                default:
                    dst[x] = MakePixel(src[4 * x + 2], src[4 * x + 1], src[4 * x]);
                    break;
            }
        }
    }
    return true;
}

}  // namespace

bool DecodeJpeg(const uint8_t* data, size_t size, TPicture& out) {
    if (data == nullptr || size == 0) return false;
    TPicture pic;
    if (!DecodeJpegInto(data, size, pic)) return false;
    out = std::move(pic);
    return true;
}

bool DecodeBmp(const uint8_t* data, size_t size, TPicture& out) {
    TPicture pic;
    if (!DecodeBmpInto(data, size, pic)) return false;
    out = std::move(pic);
    return true;
}

std::string EncodeBmp24(const TPicture& pic) {
    const uint32_t width = pic.Empty() ? 0 : static_cast<uint32_t>(pic.Width);
    const uint32_t height = pic.Empty() ? 0 : static_cast<uint32_t>(pic.Height);
    const uint32_t stride = (width * 3 + 3) & ~3u;
    const uint32_t imageSize = stride * height;
    std::string s;
    s.reserve(54 + imageSize);
    s += "BM";
    AppendU32(s, 54 + imageSize);
    AppendU32(s, 0);   // reserved
    AppendU32(s, 54);  // pixel data offset
    AppendU32(s, 40);  // BITMAPINFOHEADER
    AppendU32(s, width);
    AppendU32(s, height);  // positive: bottom-up
    AppendU16(s, 1);       // planes
    AppendU16(s, 24);
    AppendU32(s, kBiRgb);
    AppendU32(s, imageSize);
    AppendU32(s, 0);  // pixels per metre, x and y
    AppendU32(s, 0);
    AppendU32(s, 0);  // palette entries used and important
    AppendU32(s, 0);
    for (int y = static_cast<int>(height) - 1; y >= 0; --y) {
        const uint32_t* row = pic.Row(y);
        for (uint32_t x = 0; x < width; ++x) {
            s += static_cast<char>(PixelBlue(row[x]));
            s += static_cast<char>(PixelGreen(row[x]));
            s += static_cast<char>(PixelRed(row[x]));
        }
        s.append(stride - width * 3, '\0');
    }
    return s;
}

bool ParseWave(const uint8_t* data, size_t size, TWaveInfo& out) {
    if (data == nullptr || size < 12 || std::memcmp(data, "RIFF", 4) != 0 ||
        std::memcmp(data + 8, "WAVE", 4) != 0)
        return false;
    // The RIFF size is believed only as far as the bytes go.
    const uint64_t end = std::min<uint64_t>(size, 8ull + GetU32(data + 4));
    TWaveInfo info;
    bool haveFormat = false, haveData = false;
    uint64_t pos = 12;
    while (pos + 8 <= end && !(haveFormat && haveData)) {
        const uint8_t* chunk = data + pos;
        const uint64_t length = GetU32(chunk + 4);
        const uint64_t body = pos + 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (length < 16 || body + 16 > end) return false;
            if (GetU16(chunk + 8) != 1) return false;  // PCM only
            info.Channels = GetU16(chunk + 10);
            info.SampleRate = static_cast<int>(GetU32(chunk + 12) & 0x7FFFFFFF);
            info.BitsPerSample = GetU16(chunk + 22);
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (body + length > end) return false;  // cut off
            info.DataBytes = static_cast<uint32_t>(length);
            haveData = true;
        }
        pos = body + length + (length & 1);  // chunks are padded to even sizes
    }
    if (!haveFormat || !haveData || info.Channels == 0 || info.SampleRate == 0 ||
        info.BitsPerSample == 0)
        return false;
    out = info;
    return true;
}

bool ParseCursor(const uint8_t* data, size_t size, TCursorInfo& out) {
    if (data == nullptr || size < 6 + 16) return false;
    if (GetU16(data) != 0 || GetU16(data + 2) != 2 || GetU16(data + 4) == 0) return false;
    const uint8_t* entry = data + 6;
    const uint64_t bytes = GetU32(entry + 8);
    const uint64_t offset = GetU32(entry + 12);
    if (bytes == 0 || offset < 6 + 16 || offset + bytes > size) return false;
    TCursorInfo info;
    info.Width = entry[0] == 0 ? 256 : entry[0];
    info.Height = entry[1] == 0 ? 256 : entry[1];
    // In a cursor directory the planes and bit-count fields hold the hot spot.
    info.HotX = GetU16(entry + 4);
    info.HotY = GetU16(entry + 6);
    out = info;
    return true;
}
