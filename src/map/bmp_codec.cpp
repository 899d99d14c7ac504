// BMP reading (uncompressed 8, 16, 24 and 32-bit, plus the bit-field form of 16 and
// 32-bit) and 24-bit BMP writing. Only 32-bit files carry alpha: their fourth byte.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "map/image_codec_limits.h"
#include "map/image_files.h"
#include "platform/atomic_file.h"
#include "platform/file_util.h"

namespace zorvane {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;
constexpr size_t kCoreHeaderSize = 12;
constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kCompressionBitFields = 3;

// Little-endian fields of a byte buffer; reads past the end give 0 (callers check sizes).
struct Bytes {
    const std::vector<uint8_t>& data;
    uint32_t u8(size_t at) const { return at < data.size() ? data[at] : 0; }
    uint32_t u16(size_t at) const { return u8(at) | (u8(at + 1) << 8); }
    uint32_t u32(size_t at) const { return u16(at) | (u16(at + 2) << 16); }
};

void put16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    out[at] = uint8_t(v);
    out[at + 1] = uint8_t(v >> 8);
}
void put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    put16(out, at, v & 0xFFFF);
    put16(out, at + 2, v >> 16);
}

// The longest information header there is has 124 bytes; a claim far beyond that is damage.
constexpr size_t kMaxInfoHeaderSize = 4096;
constexpr size_t kMaxPaletteBytes = 256 * 4;

// The start of the file up to the end of the palette: file header, information header,
// bit-field masks and palette. Nothing more is read until the header has been checked.
bool readBmpHead(FILE* file, std::vector<uint8_t>& head) {
    head.resize(kFileHeaderSize + 4);
    if (std::fread(head.data(), 1, head.size(), file) != head.size() || head[0] != 'B' ||
        head[1] != 'M')
        return false;
    const size_t headerSize = Bytes{head}.u32(kFileHeaderSize);
    if (headerSize > kMaxInfoHeaderSize) return false;
    const size_t want = kFileHeaderSize + headerSize + 12 + kMaxPaletteBytes;
    const size_t have = head.size();
    head.resize(want);
    head.resize(have + std::fread(head.data() + have, 1, want - have, file));
    return true;
}

// One colour channel of a bit-field pixel, widened to 8 bits by repeating its top bits.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    explicit Channel(uint32_t m = 0) : mask(m) {
        if (!m) return;
        while (!((m >> shift) & 1)) ++shift;
        while (bits + shift < 32 && ((m >> (shift + bits)) & 1)) ++bits;
    }
    bool contiguous() const { return !mask || (mask >> shift) == ((uint64_t(1) << bits) - 1); }
    uint32_t expand(uint32_t pixel) const {
        if (!mask) return 0;
        uint32_t v = (pixel & mask) >> shift;
        if (bits >= 8) return v >> (bits - 8);
        uint32_t out = v << (8 - bits);
        for (int at = 8 - 2 * bits; at > -bits; at -= bits) out |= at >= 0 ? v << at : v >> -at;
        return out;
    }
};

struct BmpLayout {
    long long width = 0;
    long long height = 0;  // positive; topDown tells the row order
    bool topDown = false;
    int bitCount = 0;
    size_t pixelOffset = 0;
    size_t stride = 0;
    Channel red, green, blue, alpha;
    bool hasAlpha = false;
    std::vector<PaletteEntry> palette;
};

void defaultMasks(BmpLayout& b) {
    if (b.bitCount == 16) {
        b.red = Channel(0x7C00);
        b.green = Channel(0x03E0);
        b.blue = Channel(0x001F);
    } else if (b.bitCount == 32) {
        b.red = Channel(0x00FF0000);
        b.green = Channel(0x0000FF00);
        b.blue = Channel(0x000000FF);
        b.alpha = Channel(0xFF000000);
    }
}

// Bit-field masks stand right after a 40-byte header and inside the longer ones at the
// same file offset; the alpha mask exists only in the longer headers.
bool readMasks(const Bytes& in, size_t headerSize, BmpLayout& b) {
    if (b.bitCount != 16 && b.bitCount != 32) return false;
    const size_t at = kFileHeaderSize + kInfoHeaderSize;
    b.red = Channel(in.u32(at));
    b.green = Channel(in.u32(at + 4));
    b.blue = Channel(in.u32(at + 8));
    b.alpha = Channel(headerSize >= 56 ? in.u32(at + 12) : (b.bitCount == 32 ? 0xFF000000 : 0));
    return b.red.contiguous() && b.green.contiguous() && b.blue.contiguous() &&
           b.alpha.contiguous();
}

void readPalette(const Bytes& in, size_t start, size_t entrySize, size_t count, BmpLayout& b) {
    if (count == 0 || count > 256) count = 256;
    for (size_t i = 0; i < count; ++i) {
        size_t at = start + i * entrySize;
        if (at + entrySize > b.pixelOffset || at + 3 > in.data.size()) break;
        b.palette.push_back(
            PaletteEntry{uint8_t(in.u8(at + 2)), uint8_t(in.u8(at + 1)), uint8_t(in.u8(at))});
    }
}

bool parseBmpLayout(const std::vector<uint8_t>& data, uint64_t fileSize, BmpLayout& b) {
    Bytes in{data};
    if (data.size() < kFileHeaderSize + kCoreHeaderSize || data[0] != 'B' || data[1] != 'M')
        return false;
    b.pixelOffset = in.u32(10);
    const size_t headerSize = in.u32(14);
    uint32_t compression = kCompressionNone;
    size_t colorsUsed = 0, entrySize = 4;
    if (headerSize == kCoreHeaderSize) {
        b.width = in.u16(18);
        b.height = in.u16(20);
        b.bitCount = int(in.u16(24));
        entrySize = 3;
    } else if (headerSize >= kInfoHeaderSize && data.size() >= kFileHeaderSize + headerSize) {
        b.width = int32_t(in.u32(18));
        b.height = int32_t(in.u32(22));
        b.bitCount = int(in.u16(28));
        compression = in.u32(30);
        colorsUsed = in.u32(46);
    } else {
        return false;
    }
    b.topDown = b.height < 0;
    if (b.topDown) b.height = -b.height;
    if (!decodedSizeAllowed(uint64_t(b.width > 0 ? b.width : 0), uint64_t(b.height))) return false;
    if (b.bitCount != 8 && b.bitCount != 16 && b.bitCount != 24 && b.bitCount != 32) return false;
    defaultMasks(b);
    if (compression == kCompressionBitFields) {
        if (!readMasks(in, headerSize, b)) return false;
    } else if (compression != kCompressionNone) {
        return false;
    }
    b.hasAlpha = b.bitCount == 32;
    b.stride = size_t((b.width * b.bitCount + 31) / 32) * 4;
    if (b.pixelOffset > fileSize || (fileSize - b.pixelOffset) / b.stride < uint64_t(b.height))
        return false;
    if (b.bitCount == 8) readPalette(in, kFileHeaderSize + headerSize, entrySize, colorsUsed, b);
    return true;
}

uint32_t bmpPixel(const BmpLayout& b, const uint8_t* row, long long x) {
    switch (b.bitCount) {
        case 8: {
            uint8_t i = row[x];
            if (i >= b.palette.size()) return 0xFF000000u;
            const PaletteEntry& e = b.palette[i];
            return makeArgb(0xFF, e.red, e.green, e.blue);
        }
        case 24:
            return makeArgb(0xFF, row[3 * x + 2], row[3 * x + 1], row[3 * x]);
        default: {
            const uint8_t* p = row + x * (b.bitCount / 8);
            uint32_t v = uint32_t(p[0]) | uint32_t(p[1]) << 8;
            if (b.bitCount == 32) v |= uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
            uint32_t a = b.hasAlpha ? (b.alpha.mask ? b.alpha.expand(v) : 0xFF) : 0xFF;
            return makeArgb(uint8_t(a), uint8_t(b.red.expand(v)), uint8_t(b.green.expand(v)),
                            uint8_t(b.blue.expand(v)));
        }
    }
}

}  // namespace

bool readBmpSize(const std::string& path, int& width, int& height) {
    uint64_t fileSize = 0;
    StdioFile file = openRegularFile(path, kMaxPictureFileBytes, nullptr, &fileSize);
    std::vector<uint8_t> head;
    BmpLayout layout;
    if (!file || !readBmpHead(file.get(), head) || !parseBmpLayout(head, fileSize, layout))
        return false;
    width = int(layout.width);
    height = int(layout.height);
    return true;
}

bool decodeBmp(const std::string& path, Bitmap32& out) {
    out.reset();
    uint64_t fileSize = 0;
    StdioFile file = openRegularFile(path, kMaxPictureFileBytes, nullptr, &fileSize);
    std::vector<uint8_t> head;
    BmpLayout layout;
    if (!file || !readBmpHead(file.get(), head) || !parseBmpLayout(head, fileSize, layout))
        return false;
    Bitmap32 picture;
    if (!picture.create(int(layout.width), int(layout.height))) return false;
    if (std::fseek(file.get(), long(layout.pixelOffset), SEEK_SET) != 0) return false;
    std::vector<uint8_t> row(layout.stride);
    for (long long fileRow = 0; fileRow < layout.height; ++fileRow) {
        if (std::fread(row.data(), 1, row.size(), file.get()) != row.size()) return false;
        uint32_t* dst = picture.row(int(layout.topDown ? fileRow : layout.height - 1 - fileRow));
        for (long long x = 0; x < layout.width; ++x) dst[x] = bmpPixel(layout, row.data(), x);
    }
    picture.palette() = std::move(layout.palette);
    out = std::move(picture);
    return true;
}

std::vector<uint8_t> bmpHeader(int width, int height, size_t paletteEntries) {
    std::vector<uint8_t> header;
    // Sides may exceed 16 bits (the strip-by-strip writer makes such files); the 32-bit
    // size field is the limit.
    if (width <= 0 || height <= 0) return header;
    const uint64_t paddedRow = (uint64_t(width) * 3 + 3) & ~uint64_t(3);
    const uint64_t paletteBytes = uint64_t(paletteEntries) * 4;
    const uint64_t fileSize = paddedRow * uint64_t(height) + paletteBytes + 54;
    // The format's size fields are 32 bits; a bigger file could not be read back correctly.
    if (fileSize > 0xFFFFFFFFull) return header;
    header.assign(54, 0);
    header[0] = 'B';
    header[1] = 'M';
    put32(header, 2, uint32_t(fileSize));
    put32(header, 10, uint32_t(54 + paletteBytes));
    put32(header, 14, 40);
    put32(header, 18, uint32_t(width));
    put32(header, 22, uint32_t(height));
    put16(header, 26, 1);
    put16(header, 28, 24);
    put32(header, 46, uint32_t(paletteEntries));
    return header;
}

namespace {

std::vector<uint8_t> paletteBytes(const RgbImage& image) {
    std::vector<uint8_t> bytes;
    for (const PaletteEntry& e : image.palette()) {
        bytes.push_back(e.blue);
        bytes.push_back(e.green);
        bytes.push_back(e.red);
        bytes.push_back(0);
    }
    return bytes;
}

// Calls sink(bytes, size) for the header, the palette and every row from the bottom up.
template <typename Sink>
bool emitBmp(const RgbImage& image, Sink sink) {
    if (image.empty()) return false;
    std::vector<uint8_t> header = bmpHeader(image.width(), image.height(), image.palette().size());
    if (header.empty()) return false;
    std::vector<uint8_t> palette = paletteBytes(image);
    if (!sink(header.data(), header.size()) || !sink(palette.data(), palette.size())) return false;
    const uint8_t padding[3] = {0, 0, 0};
    const size_t padBytes = size_t(image.width()) % 4;
    for (int y = image.height() - 1; y >= 0; --y)
        if (!sink(image.row(y), image.rowBytes()) || !sink(padding, padBytes)) return false;
    return true;
}

}  // namespace

std::vector<uint8_t> encodeBmp(const RgbImage& image) {
    std::vector<uint8_t> out;
    bool ok = emitBmp(image, [&out](const uint8_t* p, size_t n) {
        out.insert(out.end(), p, p + n);
        return true;
    });
    if (!ok) out.clear();
    return out;
}

bool saveBmp(const std::string& path, const RgbImage& image, const std::string& root) {
    if (image.empty()) return false;
    AtomicFileWriter writer;
    if (!writer.open(path, root)) return false;
    bool ok = emitBmp(image, [&writer](const uint8_t* p, size_t n) {
        return writer.write(std::string_view(reinterpret_cast<const char*>(p), n));
    });
    return ok && writer.commit();
}

}  // namespace zorvane
