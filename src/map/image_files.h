// Moving pictures between files and memory: decoding PNG, JPEG and BMP graphics into a
// Bitmap32 (with the extension probed), finding a game graphic, and saving an RgbImage as
// BMP, PNG or JPEG. Failures are reported by the result only, never by a message.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "map/bitmap32.h"
#include "map/rgb_image.h"
#include "project/resource.h"

namespace zorvane {

// The probing order of a graphic's extensions.
extern const char* const kGraphicExtensions[4];

// Decoding one file of a known format. On failure `out` is left empty.
bool decodePng(const std::string& path, Bitmap32& out);
bool decodeJpeg(const std::string& path, Bitmap32& out);
bool decodeBmp(const std::string& path, Bitmap32& out);
// Chooses the decoder by the path's extension (any letter case).
bool decodeImageFile(const std::string& path, Bitmap32& out);

// The size a file's header gives, read without decoding a pixel; false when the header
// cannot be read or gives a size the decoder would refuse.
bool readPngSize(const std::string& path, int& width, int& height);
bool readJpegSize(const std::string& path, int& width, int& height);
bool readBmpSize(const std::string& path, int& width, int& height);
bool readImageSize(const std::string& path, int& width, int& height);

// Tries path + ".png", ".jpg", ".jpeg", ".bmp" in that order; the first file that decodes
// wins. On failure `out` is left empty.
bool decodeFile(Bitmap32& out, const std::string& pathWithoutExtension);

// Walks the files a game graphic named in the editor's form may be (folder by folder, see
// loadGraphic's `where`, extension by extension) until `accept` takes one; false when none
// was taken. The one walk behind loadGraphic, findGraphic and the graphic cache.
bool probeGraphic(const std::string& relativeName, const ResourceResolver& resources, int where,
                  const std::function<bool(const std::string& path)>& accept);
// Finds and decodes a game graphic named in the editor's form (`Graphics\Tilesets\Name`,
// no extension). where: 0 the project folder, 1 to 3 that RTP, -1 all four in that order.
bool loadGraphic(Bitmap32& out, const std::string& relativeName, const ResourceResolver& resources,
                 int where);
// The file loadGraphic would try first (the first whose header reads, in the same order),
// with the size its header gives; nothing is decoded. Files found on the way whose header
// does not read go into `unreadable` when given.
bool findGraphic(const std::string& relativeName, const ResourceResolver& resources, int where,
                 std::string& path, int& width, int& height,
                 std::vector<std::string>* unreadable = nullptr);

// The 54-byte headers of a bottom-up 24-bit BMP; empty when the file would not fit the
// format's 32-bit size field.
std::vector<uint8_t> bmpHeader(int width, int height, size_t paletteEntries);
// A whole 24-bit BMP file in memory (header, palette, rows bottom-up); empty on failure.
std::vector<uint8_t> encodeBmp(const RgbImage& image);

// Each returns false when the picture is empty or the file cannot be written completely;
// the target is then left as it was. With a root, the file is written beneath it without
// following a link (AtomicFileWriter::open(path, root)).
bool saveBmp(const std::string& path, const RgbImage& image, const std::string& root = {});
// PNG: one filter for every row (the mask's only filter, or for a choice Up on colour rows
// and none on palette indices) and the image data deflated in one piece.
bool savePng(const std::string& path, const RgbImage& image, int compressionLevel, int filterMask,
             const std::string& root = {});
// libpng's streamed writer (its own filter choice per row among the mask's): what savePng
// falls back to for pictures too large to hold twice, and the reference it is measured by.
bool savePngStreamed(const std::string& path, const RgbImage& image, int compressionLevel,
                     int filterMask, const std::string& root = {});
bool saveJpeg(const std::string& path, const RgbImage& image, int quality, bool progressive,
              const std::string& root = {});

// The palette index of every pixel, row by row, when the picture has a palette of at most
// 256 colours holding all of its pixels (the first of equal entries wins); empty otherwise.
std::vector<uint8_t> pngPaletteIndices(const RgbImage& image);

// Row-filter mask for the `PngFilter` setting (0 none … 4 Paeth, 5 all); other values give
// the mask of "none".
int pngFilterMask(int pngFilterSetting);

}  // namespace zorvane
