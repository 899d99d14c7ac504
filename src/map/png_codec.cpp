// PNG reading and writing through libpng. libpng reports errors by longjmp, so every call
// into it happens inside a small function that holds the setjmp frame and owns nothing
// with a destructor; buffers are prepared by the callers and passed in as plain pointers.
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "map/image_codec_limits.h"
#include "map/image_files.h"
#include "platform/atomic_file.h"
#include "platform/file_util.h"

namespace zorvane {

namespace {

[[noreturn]] void pngError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
// Warnings (odd colour profiles and the like) do not stop a decode and are not shown.
void pngWarning(png_structp, png_const_charp) {}

void pngWriteData(png_structp png, png_bytep data, size_t length) {
    auto* writer = static_cast<AtomicFileWriter*>(png_get_io_ptr(png));
    if (!writer->write(std::string_view(reinterpret_cast<const char*>(data), length)))
        png_error(png, "write failed");
}
void pngFlush(png_structp) {}

constexpr png_uint_32 kMaxPngChunks = 1000;
constexpr png_alloc_size_t kMaxPngChunkBytes = 8u << 20;

struct PngReadHandles {
    png_structp png = nullptr;
    png_infop info = nullptr;
    PngReadHandles() {
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, pngError, pngWarning);
        if (png) info = png_create_info_struct(png);
    }
    ~PngReadHandles() {
        if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    }
    PngReadHandles(const PngReadHandles&) = delete;
    PngReadHandles& operator=(const PngReadHandles&) = delete;
};

struct PngWriteHandles {
    png_structp png = nullptr;
    png_infop info = nullptr;
    PngWriteHandles() {
        png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, pngError, pngWarning);
        if (png) info = png_create_info_struct(png);
    }
    ~PngWriteHandles() {
        if (png) png_destroy_write_struct(&png, info ? &info : nullptr);
    }
    PngWriteHandles(const PngWriteHandles&) = delete;
    PngWriteHandles& operator=(const PngWriteHandles&) = delete;
};

struct PngLayout {
    png_uint_32 width;
    png_uint_32 height;
    size_t rowBytes;
    int paletteCount;  // kept only for palette files without transparency
    png_color palette[256];
};

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
constexpr bool kBigEndian = true;
#else
constexpr bool kBigEndian = false;
#endif

// Every PNG form is turned into 8-bit samples laid out as a native 0xAARRGGBB word: palette
// and low bit depths expanded, the transparency chunk made alpha, 16-bit samples stripped,
// grey made RGB, and an opaque filler added to files without alpha.
void setReadTransforms(png_structp png, png_infop info) {
    int colorType = png_get_color_type(png, info);
    bool hasAlpha =
        (colorType & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    if (kBigEndian)
        png_set_swap_alpha(png);
    else
        png_set_bgr(png);
    if (!hasAlpha) png_set_filler(png, 0xFF, kBigEndian ? PNG_FILLER_BEFORE : PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
}

void keepPalette(png_structp png, png_infop info, PngLayout* layout) {
    png_colorp colors = nullptr;
    int count = 0;
    layout->paletteCount = 0;
    if (png_get_color_type(png, info) != PNG_COLOR_TYPE_PALETTE ||
        png_get_valid(png, info, PNG_INFO_tRNS) || png_get_PLTE(png, info, &colors, &count) == 0)
        return;
    for (int i = 0; i < count && i < 256; ++i) layout->palette[i] = colors[i];
    layout->paletteCount = count < 256 ? count : 256;
}

// setjmp frame: header, transforms and the resulting row size.
bool readPngHeader(png_structp png, png_infop info, FILE* file, PngLayout* layout) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, file);
    png_set_sig_bytes(png, 8);
    png_set_user_limits(png, kMaxPictureSide, kMaxPictureSide);
    // Nothing but the pixels, their palette and transparency is used: every other chunk
    // (text, colour profiles, ...) is skipped unread, so a chunk claiming gigabytes costs
    // nothing. What is still read is held to a few megabytes per chunk.
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_set_chunk_cache_max(png, kMaxPngChunks);
    png_set_chunk_malloc_max(png, kMaxPngChunkBytes);
    png_read_info(png, info);
    layout->width = png_get_image_width(png, info);
    layout->height = png_get_image_height(png, info);
    keepPalette(png, info, layout);
    setReadTransforms(png, info);
    png_read_update_info(png, info);
    layout->rowBytes = png_get_rowbytes(png, info);
    return true;
}

// setjmp frame: the pixel rows. The end chunks are not read: nothing after the image data
// matters here, and a file cut after its last pixel still shows.
bool readPngRows(png_structp png, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_image(png, rows);
    return true;
}

struct PngOutput {
    png_uint_32 width;
    png_uint_32 height;
    int colorType;
    bool swapBgr;
    const png_const_bytep* rows;
    const png_color* palette;
    int paletteCount;
    int compressionLevel;
    int filterMask;
};

// setjmp frame: the whole write.
bool writePngGuarded(png_structp png, png_infop info, AtomicFileWriter* file,
                     const PngOutput* out) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, file, pngWriteData, pngFlush);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, out->filterMask);
    png_set_compression_level(png, out->compressionLevel);
    png_set_IHDR(png, info, out->width, out->height, 8, out->colorType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    if (out->paletteCount > 0) png_set_PLTE(png, info, out->palette, out->paletteCount);
    png_write_info(png, info);
    if (out->swapBgr) png_set_bgr(png);
    for (png_uint_32 y = 0; y < out->height; ++y) png_write_row(png, out->rows[y]);
    png_write_end(png, info);
    return true;
}

int clampInt(int v, int lo, int hi) {
    return v < lo ? lo : v > hi ? hi : v;
}

}  // namespace

namespace {

// Signature, header chunks and transforms; false when the picture would be refused.
bool openPng(const std::string& path, StdioFile& file, PngReadHandles& handles, PngLayout* layout) {
    file = openRegularFile(path, kMaxPictureFileBytes);
    if (!file) return false;
    png_byte signature[8];
    if (std::fread(signature, 1, 8, file.get()) != 8 || png_sig_cmp(signature, 0, 8) != 0)
        return false;
    if (!handles.png || !handles.info) return false;
    return readPngHeader(handles.png, handles.info, file.get(), layout) &&
           decodedSizeAllowed(layout->width, layout->height) &&
           layout->rowBytes == size_t(layout->width) * 4;
}

}  // namespace

bool readPngSize(const std::string& path, int& width, int& height) {
    StdioFile file;
    PngReadHandles handles;
    auto layout = std::make_unique<PngLayout>();
    if (!openPng(path, file, handles, layout.get())) return false;
    width = int(layout->width);
    height = int(layout->height);
    return true;
}

bool decodePng(const std::string& path, Bitmap32& out) {
    out.reset();
    StdioFile file;
    PngReadHandles handles;
    auto layout = std::make_unique<PngLayout>();
    if (!openPng(path, file, handles, layout.get())) return false;
    Bitmap32 picture;
    if (!picture.create(int(layout->width), int(layout->height))) return false;
    std::vector<png_bytep> rows(layout->height);
    for (png_uint_32 y = 0; y < layout->height; ++y)
        rows[y] = reinterpret_cast<png_bytep>(picture.row(int(y)));
    if (!readPngRows(handles.png, rows.data())) return false;
    for (int i = 0; i < layout->paletteCount; ++i) {
        const png_color& c = layout->palette[i];
        picture.palette().push_back(PaletteEntry{c.red, c.green, c.blue});
    }
    out = std::move(picture);
    return true;
}

// Index rows for a picture whose every colour is in its palette; empty when one is not
// (the palette then travels only as a suggestion beside RGB rows).
std::vector<uint8_t> pngPaletteIndices(const RgbImage& image) {
    const auto& palette = image.palette();
    std::vector<uint8_t> indices;
    if (palette.empty() || palette.size() > 256) return indices;
    std::unordered_map<uint32_t, uint8_t> lookup;
    for (size_t i = palette.size(); i-- > 0;)  // the first of equal entries wins
        lookup[makeArgb(0, palette[i].red, palette[i].green, palette[i].blue)] = uint8_t(i);
    indices.resize(size_t(image.width()) * image.height());
    size_t n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            auto it = lookup.find(image.pixel(x, y));
            if (it == lookup.end()) return {};
            indices[n++] = it->second;
        }
    return indices;
}

bool savePngStreamed(const std::string& path, const RgbImage& image, int compressionLevel,
                     int filterMask, const std::string& root) {
    if (image.empty()) return false;
    std::vector<uint8_t> indices = pngPaletteIndices(image);
    const bool indexed = !indices.empty();
    std::vector<png_const_bytep> rows(size_t(image.height()));
    for (int y = 0; y < image.height(); ++y)
        rows[size_t(y)] = indexed ? indices.data() + size_t(y) * image.width() : image.row(y);
    std::vector<png_color> palette;
    for (const PaletteEntry& e : image.palette()) {
        if (palette.size() == 256) break;
        palette.push_back(png_color{e.red, e.green, e.blue});
    }
    filterMask &= PNG_ALL_FILTERS;
    PngOutput output{png_uint_32(image.width()),
                     png_uint_32(image.height()),
                     indexed ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB,
                     !indexed,
                     rows.data(),
                     palette.data(),
                     int(palette.size()),
                     clampInt(compressionLevel, 0, 9),
                     filterMask != 0 ? filterMask : PNG_FILTER_NONE};

    AtomicFileWriter writer;
    if (!writer.open(path, root)) return false;
    PngWriteHandles handles;
    if (!handles.png || !handles.info) return false;
    if (!writePngGuarded(handles.png, handles.info, &writer, &output)) return false;
    return writer.commit();
}

}  // namespace zorvane
