// The PNG writer of map pictures: rows are filtered here and the whole image data is
// deflated in one call, by our own encoder at the usual levels (it looks for repeats where
// tiled pictures have them, several times quicker than libdeflate at a smaller size) and by
// libdeflate at the highest. Pictures too large to hold a filtered copy beside them go to
// libpng's streamed writer instead, which needs only a row at a time.
#include <libdeflate.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "map/deflate_encoder.h"
#include "map/image_files.h"
#include "platform/atomic_file.h"

namespace zorvane {

namespace {

enum PngFilter : uint8_t { kFilterNone = 0, kFilterSub, kFilterUp, kFilterAverage, kFilterPaeth };

// The filtered copy is the writer's cost in memory; above this it streams through libpng.
constexpr size_t kMaxWholeImageBytes = size_t(512) << 20;
// Levels from this one up go to libdeflate's near-optimal parsing, on its scale below; the
// ones between 1 and it to our encoder, and 0 (stored) to libdeflate.
constexpr int kLibdeflateFromLevel = 9;
constexpr int kDeflateLevel[10] = {0, 1, 2, 3, 4, 5, 7, 8, 9, 10};
// Buffers of pictures from this size on are allocated in huge pages.
constexpr size_t kSmallPictureBytes = size_t(8) << 20;
// Tile widths in pixels of map pictures at the zooms (16 at ×1/2, 32 at ×1) and their double.
constexpr size_t kTileWidths[3] = {32, 16, 64};
// A thread keeps its encode buffers up to this size (a map of 20 megapixels at ×1).
constexpr size_t kKeptBufferBytes = size_t(64) << 20;
// libdeflate's highest level.
constexpr int kMaxDeflateLevel = 12;
// Large enough to make chunk overhead nothing, small enough for any reader's buffers.
constexpr size_t kIdatChunkBytes = size_t(1) << 20;

inline uint8_t paethPredictor(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return uint8_t(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// One row through one filter; `prev` is the unfiltered row above (zeros for the first).
void filterRow(PngFilter filter, const uint8_t* row, const uint8_t* prev, size_t n, size_t bpp,
               uint8_t* out) {
    switch (filter) {
        case kFilterNone:
            std::memcpy(out, row, n);
            break;
        case kFilterSub:
            for (size_t i = 0; i < n; ++i) out[i] = uint8_t(row[i] - (i >= bpp ? row[i - bpp] : 0));
            break;
        case kFilterUp:
            for (size_t i = 0; i < n; ++i) out[i] = uint8_t(row[i] - prev[i]);
            break;
        case kFilterAverage:
            for (size_t i = 0; i < n; ++i)
                out[i] = uint8_t(row[i] - ((i >= bpp ? row[i - bpp] : 0) + prev[i]) / 2);
            break;
        case kFilterPaeth:
            for (size_t i = 0; i < bpp && i < n; ++i) out[i] = uint8_t(row[i] - prev[i]);
            for (size_t i = bpp; i < n; ++i)
                out[i] = uint8_t(row[i] - paethPredictor(row[i - bpp], prev[i], prev[i - bpp]));
            break;
    }
}

// The filter every row gets under a libpng-style mask: a single filter as asked; for a
// choice, Up on colour rows and none on palette indices (whose differences mean nothing).
// Map pictures are tiles repeated down and across: Up keeps them within a percent of
// libpng's per-row trial of every filter in size at a fraction of the work, where Paeth is
// both slower and larger.
PngFilter chooseFilter(int filterMask, bool indexed) {
    constexpr int kNoneBit = 0x08, kSubBit = 0x10, kUpBit = 0x20, kAvgBit = 0x40, kPaethBit = 0x80;
    switch (filterMask & 0xF8) {
        case 0:
        case kNoneBit:
            return kFilterNone;
        case kSubBit:
            return kFilterSub;
        case kUpBit:
            return kFilterUp;
        case kAvgBit:
            return kFilterAverage;
        case kPaethBit:
            return kFilterPaeth;
        default:
            if (indexed && (filterMask & kNoneBit)) return kFilterNone;
            return (filterMask & kUpBit)      ? kFilterUp
                   : (filterMask & kPaethBit) ? kFilterPaeth
                   : (filterMask & kSubBit)   ? kFilterSub
                   : (filterMask & kAvgBit)   ? kFilterAverage
                                              : kFilterNone;
    }
}

struct FreeBuffer {
    void operator()(uint8_t* p) const { std::free(p); }
};
using Buffer = std::unique_ptr<uint8_t[], FreeBuffer>;

// A large buffer in whole 2 MB pages where the system offers them: its first touch then
// costs one page fault per 2 MB rather than per 4 KB, which on a busy machine was half the
// time of an encode.
Buffer allocateHugeBuffer(size_t bytes) {
    return Buffer(static_cast<uint8_t*>(allocateHugePages(bytes)));
}

// Memory of one encode, kept by its thread for the next picture up to a size: a fresh
// buffer is mapped, faulted in and cleared page by page and unmapped again for every
// picture, which cost a third of encoding the maps at ×1/2 and a few percent at ×1.
// Only what the largest picture so far touched stays resident; larger pictures get
// their own.
class WorkBuffer {
  public:
    enum Slot { kFiltered, kCompressed };
    WorkBuffer() = default;
    WorkBuffer(size_t bytes, Slot slot) {
        if (bytes > kKeptBufferBytes) {
            owned_ = allocateHugeBuffer(bytes);
            data_ = owned_.get();
            return;
        }
        struct Kept {
            Buffer buffer;
            size_t capacity = 0;
        };
        thread_local Kept kept[2];
        Kept& k = kept[slot];
        if (k.capacity < bytes) {
            k.buffer.reset();  // before the larger one, so that both are never held
            k.buffer = bytes >= kSmallPictureBytes
                           ? allocateHugeBuffer(bytes)
                           : Buffer(static_cast<uint8_t*>(std::malloc(bytes)));
            k.capacity = k.buffer ? bytes : 0;
        }
        data_ = k.buffer.get();
    }
    uint8_t* get() const { return data_; }
    explicit operator bool() const { return data_ != nullptr; }
    void reset() {
        owned_.reset();
        data_ = nullptr;
    }

  private:
    Buffer owned_;
    uint8_t* data_ = nullptr;
};

// A colour row as stored (blue first) turned red first.
void rgbRow(const uint8_t* bgr, size_t rowBytes, uint8_t* rgb) {
    for (size_t i = 0; i < rowBytes; i += 3) {
        rgb[i] = bgr[i + 2];
        rgb[i + 1] = bgr[i + 1];
        rgb[i + 2] = bgr[i];
    }
}

// Up on colour rows, the filter map pictures get by default, in one pass straight from
// the picture: each sample less the one above it, red first (the first row less zeros).
void upFilteredRows(const RgbImage& image, uint8_t* out) {
    const size_t rowBytes = image.rowBytes();
    for (int y = 0; y < image.height(); ++y) {
        const uint8_t* bgr = image.row(y);
        uint8_t* line = out + size_t(y) * (rowBytes + 1);
        line[0] = kFilterUp;
        uint8_t* rgb = line + 1;
        if (y == 0) {
            rgbRow(bgr, rowBytes, rgb);
            continue;
        }
        const uint8_t* above = image.row(y - 1);
        // Even areas repeat whole rows (half of them in a large map); comparing and clearing
        // such a row costs a fraction of subtracting it byte by byte.
        if (std::memcmp(bgr, above, rowBytes) == 0) {
            std::memset(rgb, 0, rowBytes);
            continue;
        }
        for (size_t i = 0; i < rowBytes; i += 3) {
            rgb[i] = uint8_t(bgr[i + 2] - above[i + 2]);
            rgb[i + 1] = uint8_t(bgr[i + 1] - above[i + 1]);
            rgb[i + 2] = uint8_t(bgr[i] - above[i]);
        }
    }
}

// The image data before compression: a filter byte and the filtered samples of each row.
// Colour rows are stored blue first in memory and leave here red first.
WorkBuffer filteredImage(const RgbImage& image, const std::vector<uint8_t>& indices, PngFilter filter,
                     size_t& bytes) {
    const bool indexed = !indices.empty();
    const size_t bpp = indexed ? 1 : 3;
    const size_t rowBytes = size_t(image.width()) * bpp;
    bytes = (rowBytes + 1) * size_t(image.height());
    WorkBuffer out(bytes, WorkBuffer::kFiltered);
    if (!out) return out;
    if (!indexed && filter == kFilterUp) {
        upFilteredRows(image, out.get());
        return out;
    }
    std::vector<uint8_t> rows(rowBytes * 2, 0);  // this row and the one above, unfiltered
    uint8_t* prev = rows.data();
    uint8_t* cur = rows.data() + rowBytes;
    for (int y = 0; y < image.height(); ++y) {
        if (indexed) {
            std::memcpy(cur, indices.data() + size_t(y) * rowBytes, rowBytes);
        } else {
            rgbRow(image.row(y), rowBytes, cur);
        }
        uint8_t* line = out.get() + size_t(y) * (rowBytes + 1);
        line[0] = filter;
        filterRow(filter, cur, prev, rowBytes, bpp, line + 1);
        std::swap(prev, cur);
    }
    return out;
}

// The compressor of this thread for a level, kept from picture to picture: allocating one
// (and its match finder's tables) per picture cost more than compressing a small one. One
// is kept per level.
libdeflate_compressor* threadCompressor(int level) {
    struct Free {
        void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
    };
    thread_local std::unique_ptr<libdeflate_compressor, Free> compressors[kMaxDeflateLevel + 1];
    if (level < 0 || level > kMaxDeflateLevel) return nullptr;
    auto& compressor = compressors[level];
    if (!compressor) compressor.reset(libdeflate_alloc_compressor(level));
    return compressor.get();
}

// The zlib stream of the filtered data; `bytes` becomes its size (0 on failure).
WorkBuffer deflateImage(const uint8_t* data, size_t& bytes, int level, size_t bpp, size_t stride) {
    const int clamped = level < 0 ? 0 : level > 9 ? 9 : level;
    const size_t in = bytes;
    bytes = 0;
    if (clamped > 0 && clamped < kLibdeflateFromLevel) {
        // Repeats in map pictures: the pixel to the left, a tile to the left, the row above.
        DeflateHints hints;
        int k = 0;
        hints.distances[k++] = 1;
        hints.distances[k++] = bpp;
        for (size_t width : kTileWidths) hints.distances[k++] = width * bpp;
        hints.distances[k++] = stride;
        const size_t bound = zlibEncodeBound(in);
        WorkBuffer out(bound, WorkBuffer::kCompressed);
        if (out) bytes = zlibEncode(data, in, out.get(), hints);
        return out;
    }
    libdeflate_compressor* compressor = threadCompressor(kDeflateLevel[clamped]);
    if (!compressor) return WorkBuffer();
    const size_t bound = libdeflate_zlib_compress_bound(compressor, in);
    // Left uninitialised: only the pages the compressor writes become resident.
    WorkBuffer out(bound, WorkBuffer::kCompressed);
    if (out) bytes = libdeflate_zlib_compress(compressor, data, in, out.get(), bound);
    return out;
}

void putBe32(uint8_t* at, uint32_t v) {
    for (int i = 0; i < 4; ++i) at[i] = uint8_t(v >> (24 - 8 * i));
}

std::string_view bytesOf(const uint8_t* data, size_t n) {
    return std::string_view(reinterpret_cast<const char*>(data), n);
}

// A chunk: length, type, data and the CRC of type and data.
bool writeChunk(AtomicFileWriter& file, const char type[5], const uint8_t* data, size_t n) {
    uint8_t head[8];
    putBe32(head, uint32_t(n));
    std::memcpy(head + 4, type, 4);
    uint8_t tail[4];
    // libdeflate answers 0 for a null buffer instead of passing the running value on.
    const uint32_t crc = libdeflate_crc32(libdeflate_crc32(0, type, 4), n ? data : head, n);
    putBe32(tail, crc);
    return file.write(bytesOf(head, sizeof head)) && (n == 0 || file.write(bytesOf(data, n))) &&
           file.write(bytesOf(tail, sizeof tail));
}

}  // namespace

bool savePng(const std::string& path, const RgbImage& image, int compressionLevel, int filterMask,
             const std::string& root) {
    if (image.empty()) return false;
    std::vector<uint8_t> indices = pngPaletteIndices(image);
    const bool indexed = !indices.empty();
    if ((size_t(image.width()) * (indexed ? 1 : 3) + 1) * size_t(image.height()) >
        kMaxWholeImageBytes)
        return savePngStreamed(path, image, compressionLevel, filterMask, root);
    size_t bytes = 0;
    WorkBuffer filtered = filteredImage(image, indices, chooseFilter(filterMask, indexed), bytes);
    if (!filtered) return false;
    indices.clear();
    indices.shrink_to_fit();
    const size_t bpp = indexed ? 1 : 3;
    WorkBuffer zdata = deflateImage(filtered.get(), bytes, compressionLevel, bpp,
                                    size_t(image.width()) * bpp + 1);
    filtered.reset();
    if (!zdata || bytes == 0) return false;

    AtomicFileWriter file;
    if (!file.open(path, root) || !file.write(std::string_view("\x89PNG\r\n\x1a\n", 8)))
        return false;
    uint8_t header[13] = {};
    putBe32(header, uint32_t(image.width()));
    putBe32(header + 4, uint32_t(image.height()));
    header[8] = 8;                // bits per sample
    header[9] = indexed ? 3 : 2;  // palette or RGB; compression, filter, interlace stay 0
    if (!writeChunk(file, "IHDR", header, sizeof header)) return false;
    // A palette travels beside RGB rows too, as a suggestion for viewers with few colours.
    std::vector<uint8_t> palette;
    for (const PaletteEntry& e : image.palette()) {
        if (palette.size() == 256 * 3) break;
        palette.insert(palette.end(), {e.red, e.green, e.blue});
    }
    if (!palette.empty() && !writeChunk(file, "PLTE", palette.data(), palette.size())) return false;
    for (size_t at = 0; at < bytes; at += kIdatChunkBytes)
        if (!writeChunk(file, "IDAT", zdata.get() + at,
                        bytes - at < kIdatChunkBytes ? bytes - at : kIdatChunkBytes))
            return false;
    return writeChunk(file, "IEND", nullptr, 0) && file.commit();
}

}  // namespace zorvane
