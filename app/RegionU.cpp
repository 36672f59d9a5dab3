#include "app/RegionU.h"
#include "common/ByteOrder.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

const char kAddCannotCreate[] = "TRegion.Add: Cannot Create Region";
const char kCopyCannotCreate[] = "TRegion.CopyHandle: Cannot Create Region";
const char kLoadCannotCreate[] = "TRegion.LoadFromStream: Cannot Create Region";
const char kLoadCannotAdd[] = "TRegion.LoadFromStream: Cannot Add Region";
const char kMakeFailed[] = "TRegion.makeRgnFromBitmap Failed";

constexpr size_t kHeaderBytes = 32;
constexpr size_t kRectBytes = 16;

// Offsets of the region-data header fields.
constexpr size_t kFieldHeaderSize = 0;
constexpr size_t kFieldType = 4;
constexpr size_t kFieldCount = 8;

void WriteU32(TMemoryStream& stream, uint32_t v) {
    uint8_t bytes[4];
    PutU32(bytes, v);
    stream.Write(bytes, 4);
}

void WriteRect(TMemoryStream& stream, int left, int top, int right, int bottom) {
    WriteU32(stream, static_cast<uint32_t>(left));
    WriteU32(stream, static_cast<uint32_t>(top));
    WriteU32(stream, static_cast<uint32_t>(right));
    WriteU32(stream, static_cast<uint32_t>(bottom));
}

}  // namespace

size_t TMemoryStream::Read(void* out, size_t n) {
    if (Position >= Data.size()) return 0;
    const size_t count = std::min(n, Data.size() - Position);
    std::memcpy(out, Data.data() + Position, count);
    Position += count;
    return count;
}

void TMemoryStream::Write(const void* in, size_t n) {
    if (Position > Data.size()) Data.resize(Position, '\0');
    const size_t overlap = std::min(n, Data.size() - Position);
    std::memcpy(&Data[Position], in, overlap);
    Data.append(static_cast<const char*>(in) + overlap, n - overlap);
    Position += n;
}

TRegionHandle NewEmptyRegion(TPlatform& os) {
    TRegionHandle region = os.CreateRectRegion(0, 0, 0, 0);
    if (region == nullptr) throw ERgnError(kAddCannotCreate);
    return region;
}

TRegion::TRegion(TPlatform& os) : Os(os), FHandle(NewEmptyRegion(os)) {}

TRegion::~TRegion() {
    Os.DeleteRegion(FHandle);
}

TRegionHandle TRegion::CopyHandle() {
    TRegionHandle copy = Os.CreateRectRegion(0, 0, 0, 0);
    if (copy == nullptr) throw ERgnError(kCopyCannotCreate);
    if (!Os.CopyRegion(copy, FHandle)) {
        Os.DeleteRegion(copy);
        throw ERgnError(kCopyCannotCreate);
    }
    return copy;
}

void TRegion::LoadFromStream(TMemoryStream& stream) {
    uint8_t header[kHeaderBytes];
    if (stream.Read(header, kHeaderBytes) != kHeaderBytes) throw ERgnError(kLoadCannotCreate);
    if (GetU32(header + kFieldHeaderSize) != kHeaderBytes || GetU32(header + kFieldType) != 1)
        throw ERgnError(kLoadCannotCreate);
    uint32_t remaining = GetU32(header + kFieldCount);

    // A header that claims more rectangles than the stream holds is refused before any
    // region is built: the rectangles after the data's end do not exist.
    const size_t available =
        stream.Position < stream.Data.size() ? stream.Data.size() - stream.Position : 0;
    if (static_cast<uint64_t>(remaining) * kRectBytes > available)
        throw ERgnError(kLoadCannotCreate);

    // The rectangles go to the system a chunk at a time, so the work buffers never grow
    // beyond one chunk with the mask; the vectors release them on every way out.
    const size_t chunk = std::min<size_t>(remaining, kRectsPerRegionCall);
    std::vector<uint8_t> bytes(chunk * kRectBytes);
    std::vector<TRegionRect> rects(chunk);
    TRegionHandle result = NewEmptyRegion(Os);
    try {
        while (remaining > 0) {
            const uint32_t n =
                std::min<uint32_t>(remaining, static_cast<uint32_t>(kRectsPerRegionCall));
            const size_t size = static_cast<size_t>(n) * kRectBytes;
            if (stream.Read(bytes.data(), size) != size) throw ERgnError(kLoadCannotCreate);
            for (uint32_t i = 0; i < n; ++i) {
                const uint8_t* r = bytes.data() + static_cast<size_t>(i) * kRectBytes;
                rects[i] = TRegionRect{GetI32(r), GetI32(r + 4), GetI32(r + 8), GetI32(r + 12)};
            }
            TRegionHandle part = Os.CreateRegionFromRects(rects.data(), n);
            if (part == nullptr) throw ERgnError(kLoadCannotCreate);
            const bool combined = Os.CombineRegionOr(result, result, part);
            Os.DeleteRegion(part);
            if (!combined) throw ERgnError(kLoadCannotAdd);
            remaining -= n;
        }
    } catch (...) {
        Os.DeleteRegion(result);
        throw;
    }
    Os.DeleteRegion(FHandle);
    FHandle = result;
}

void WriteRegionRuns(const TPicture& picture, uint32_t transparent, TMemoryStream& stream) {
    const size_t start = stream.Position;
    WriteU32(stream, static_cast<uint32_t>(kHeaderBytes));
    WriteU32(stream, 1);
    WriteU32(stream, 0);  // rectangle count, filled in below
    WriteU32(stream, 0);
    WriteRect(stream, 0, 0, picture.Width, picture.Height);

    uint32_t count = 0;
    for (int y = 0; y < picture.Height; ++y) {
        const uint32_t* row = picture.Row(y);
        int runStart = -1;
        for (int x = 0; x < picture.Width; ++x) {
            const uint32_t p = row[x];
            const uint32_t colour = static_cast<uint32_t>(PixelRed(p)) +
                                    static_cast<uint32_t>(PixelGreen(p)) * 256u +
                                    static_cast<uint32_t>(PixelBlue(p)) * 65536u;
            if (colour == transparent) {
                if (runStart >= 0) {
                    WriteRect(stream, runStart, y, x, y + 1);
                    ++count;
                    runStart = -1;
                }
            } else if (runStart < 0) {
                runStart = x;
            }
        }
        if (runStart >= 0) {
            WriteRect(stream, runStart, y, picture.Width, y + 1);
            ++count;
        }
    }

    const size_t end = stream.Position;
    stream.Position = start + kFieldCount;
    WriteU32(stream, count);
    stream.Position = end;
}

void TRegion::makeRgnFromBitmap(const TPicture& picture, uint32_t transparent) {
    if (picture.BitsPerPixel != 24) throw ERgnError(kMakeFailed);
    TMemoryStream stream;  // released on every way out
    WriteRegionRuns(picture, transparent, stream);
    stream.Position = 0;
    LoadFromStream(stream);
}
