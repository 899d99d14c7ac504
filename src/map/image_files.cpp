// Choosing a decoder by extension, the extension probe, and the PNG filter table.
#include "map/image_files.h"
#include "platform/string_util.h"

#include <cctype>

namespace zorvane {

namespace {

using Decoder = bool (*)(const std::string& path, Bitmap32& out);
using SizeReader = bool (*)(const std::string& path, int& width, int& height);

struct ImageExtension {
    const char* extension;
    Decoder decode;
    SizeReader readSize;
};

constexpr ImageExtension kImageExtensions[] = {
    {".png", decodePng, readPngSize},
    {".jpg", decodeJpeg, readJpegSize},
    {".jpeg", decodeJpeg, readJpegSize},
    {".bmp", decodeBmp, readBmpSize},
};

struct PngFilterRow {
    int setting;
    int mask;
};

// The `PngFilter` setting: none, Sub, Up, Average, Paeth, all.
constexpr PngFilterRow kPngFilters[] = {
    {0, 8}, {1, 16}, {2, 32}, {3, 64}, {4, 128}, {5, 248},
};

}  // namespace

const char* const kGraphicExtensions[4] = {".png", ".jpg", ".jpeg", ".bmp"};

bool decodeImageFile(const std::string& path, Bitmap32& out) {
    for (const ImageExtension& e : kImageExtensions)
        if (endsWithNoCase(path, e.extension)) return e.decode(path, out);
    out.reset();
    return false;
}

bool readImageSize(const std::string& path, int& width, int& height) {
    for (const ImageExtension& e : kImageExtensions)
        if (endsWithNoCase(path, e.extension)) return e.readSize(path, width, height);
    return false;
}

bool decodeFile(Bitmap32& out, const std::string& pathWithoutExtension) {
    for (const char* extension : kGraphicExtensions)
        if (decodeImageFile(pathWithoutExtension + extension, out)) return true;
    out.reset();
    return false;
}

int pngFilterMask(int pngFilterSetting) {
    for (const PngFilterRow& row : kPngFilters)
        if (row.setting == pngFilterSetting) return row.mask;
    return kPngFilters[0].mask;
}

}  // namespace zorvane
