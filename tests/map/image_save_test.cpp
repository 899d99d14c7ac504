// Saved pictures must be valid for independent tools (pngcheck, ImageMagick) and hold the
// pixels we saved; the BMP layout is checked byte by byte against the documented header.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "map/image_files.h"
#include "map/image_test_support.h"

using namespace zorvane;

namespace {

// Each row is drawn `rowRepeat` times, as even areas of a map repeat rows.
RgbImage patternImage(int width, int height, int rowRepeat = 1) {
    Bitmap32 b;
    EXPECT_TRUE(b.create(width, height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int v = y / rowRepeat;
            b.setPixel(
                x, y,
                makeArgb(0x55, uint8_t(x * 37 + v), uint8_t(v * 59 + x), uint8_t(x * 91 + v * 7)));
        }
    return RgbImage::fromBitmap(b);
}

// What we meant to save, as ImageMagick's RGBA bytes (opaque).
std::string expectedRgba(const RgbImage& image) {
    std::string bytes;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            uint32_t p = image.pixel(x, y);
            bytes += {char(redOf(p)), char(greenOf(p)), char(blueOf(p)), char(0xFF)};
        }
    return bytes;
}

uint32_t le32(const std::string& s, size_t at) {
    return uint32_t(uint8_t(s[at])) | uint32_t(uint8_t(s[at + 1])) << 8 |
           uint32_t(uint8_t(s[at + 2])) << 16 | uint32_t(uint8_t(s[at + 3])) << 24;
}
uint32_t le16(const std::string& s, size_t at) {
    return le32(s + "\0\0", at) & 0xFFFF;
}

}  // namespace

TEST(SaveBmp, HeaderAndRowPadding) {
    ztest::TempDir dir;
    // 5 pixels: 15 bytes and 1 padding byte per row; 4 pixels: 12 bytes, none.
    for (auto [width, rowBytes] : {std::pair{5, 16}, {4, 12}}) {
        RgbImage img = patternImage(width, 3);
        std::string path = dir.file("w" + std::to_string(width) + ".bmp");
        ASSERT_TRUE(saveBmp(path, img));
        std::string f = ztest::readFile(path);
        ASSERT_EQ(f.size(), size_t(rowBytes * 3 + 54));
        EXPECT_EQ(f.substr(0, 2), "BM");
        EXPECT_EQ(le32(f, 2), f.size());
        EXPECT_EQ(le32(f, 6), 0u);
        EXPECT_EQ(le32(f, 10), 54u);
        EXPECT_EQ(le32(f, 14), 40u);
        EXPECT_EQ(le32(f, 18), uint32_t(width));
        EXPECT_EQ(le32(f, 22), 3u) << "positive height: bottom-up rows";
        EXPECT_EQ(le16(f, 26), 1u);
        EXPECT_EQ(le16(f, 28), 24u);
        EXPECT_EQ(le32(f, 30), 0u);
        EXPECT_EQ(le32(f, 46), 0u);
        // First stored row is the picture's bottom row, blue first.
        uint32_t bottomLeft = img.pixel(0, 2);
        EXPECT_EQ(uint8_t(f[54]), blueOf(bottomLeft));
        EXPECT_EQ(uint8_t(f[56]), redOf(bottomLeft));
        for (int pad = width * 3; pad < rowBytes; ++pad) EXPECT_EQ(f[54 + pad], 0);
        if (imgtest::convertTool().empty()) continue;
        EXPECT_EQ(imgtest::magickSize(path), std::to_string(width) + " 3");
        EXPECT_EQ(imgtest::magickRgba(path), expectedRgba(img));
    }
}

TEST(SaveBmp, PaletteMovesThePixelData) {
    ztest::TempDir dir;
    RgbImage img = patternImage(3, 2);
    img.palette() = {PaletteEntry{1, 2, 3}, PaletteEntry{4, 5, 6}};
    ASSERT_TRUE(saveBmp(dir.file("p.bmp"), img));
    std::string f = ztest::readFile(dir.file("p.bmp"));
    EXPECT_EQ(le32(f, 10), 54u + 8u);
    EXPECT_EQ(le32(f, 46), 2u);
    // ((3 × 3 + 3) rounded down to a multiple of 4) × 2 + 4 × 2 + 54
    EXPECT_EQ(le32(f, 2), 12u * 2u + 8u + 54u);
    EXPECT_EQ(f.size(), le32(f, 2));
    EXPECT_EQ(f.substr(54, 4), std::string("\x03\x02\x01\x00", 4));
}

TEST(SavePng, EveryWriterFilterAndLevelGivesAValidFileWithOurPixels) {
    if (!ztest::haveProgram("pngcheck") || imgtest::convertTool().empty())
        GTEST_SKIP() << "pngcheck or ImageMagick is not installed";
    ztest::TempDir dir;
    using Writer = bool (*)(const std::string&, const RgbImage&, int, int, const std::string&);
    const std::pair<const char*, Writer> writers[] = {{"whole", savePng},
                                                      {"streamed", savePngStreamed}};
    // One pixel wide: the left neighbour of every sample lies outside the row.
    for (auto [width, height, rowRepeat] : {std::tuple{13, 7, 1}, {1, 4, 1}, {11, 9, 3}})
        for (const auto& [name, write] : writers)
            for (int setting = 0; setting <= 5; ++setting)
                for (int level : {0, 1, 6, 9}) {
                    RgbImage img = patternImage(width, height, rowRepeat);
                    std::string path =
                        dir.file(std::string(name) + std::to_string(width) + "_" +
                                 std::to_string(setting) + std::to_string(level) + ".png");
                    ASSERT_TRUE(write(path, img, level, pngFilterMask(setting), {})) << path;
                    std::string out;
                    EXPECT_EQ(ztest::run("pngcheck " + ztest::shellQuote(path), &out), 0) << out;
                    EXPECT_NE(out.find(std::to_string(width) + "x" + std::to_string(height) +
                                       ", 24-bit RGB"),
                              std::string::npos)
                        << out;
                    EXPECT_EQ(imgtest::magickRgba(path), expectedRgba(img)) << path;
                }
}

TEST(SavePng, PaletteBecomesAnIndexedFile) {
    if (!ztest::haveProgram("pngcheck") || imgtest::convertTool().empty())
        GTEST_SKIP() << "pngcheck or ImageMagick is not installed";
    ztest::TempDir dir;
    RgbImage img;
    ASSERT_TRUE(img.create(5, 3));
    img.palette() = {PaletteEntry{0, 0, 0}, PaletteEntry{200, 10, 30}, PaletteEntry{9, 8, 7}};
    img.setPixel(1, 1, 0xC80A1E);
    img.setPixel(4, 2, 0x090807);
    ASSERT_TRUE(savePng(dir.file("p.png"), img, 9, pngFilterMask(5)));
    std::string out;
    EXPECT_EQ(ztest::run("pngcheck " + ztest::shellQuote(dir.file("p.png")), &out), 0) << out;
    EXPECT_NE(out.find("8-bit palette"), std::string::npos) << out;
    EXPECT_EQ(imgtest::magickRgba(dir.file("p.png")), expectedRgba(img));

    img.setPixel(0, 0, 0x123456);  // not in the palette: RGB rows, palette as a suggestion
    ASSERT_TRUE(savePng(dir.file("q.png"), img, 9, pngFilterMask(0)));
    EXPECT_EQ(ztest::run("pngcheck " + ztest::shellQuote(dir.file("q.png")), &out), 0) << out;
    EXPECT_EQ(imgtest::magickRgba(dir.file("q.png")), expectedRgba(img));
}

TEST(SavePng, FilterTableMatchesLibpng) {
    EXPECT_EQ(pngFilterMask(0), PNG_FILTER_NONE);
    EXPECT_EQ(pngFilterMask(1), PNG_FILTER_SUB);
    EXPECT_EQ(pngFilterMask(2), PNG_FILTER_UP);
    EXPECT_EQ(pngFilterMask(3), PNG_FILTER_AVG);
    EXPECT_EQ(pngFilterMask(4), PNG_FILTER_PAETH);
    EXPECT_EQ(pngFilterMask(5), PNG_ALL_FILTERS);
}

TEST(SaveJpeg, BaselineAndProgressiveOpenInImageMagick) {
    SKIP_WITHOUT_CONVERT();
    ztest::TempDir dir;
    // A smooth picture, so that quality 95 stays within a few levels of the source.
    Bitmap32 b;
    ASSERT_TRUE(b.create(33, 17));
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 33; ++x)
            b.setPixel(x, y, makeArgb(255, uint8_t(x * 7), uint8_t(y * 13), 128));
    RgbImage img = RgbImage::fromBitmap(b);
    for (bool progressive : {false, true}) {
        std::string path = dir.file(progressive ? "p.jpg" : "b.jpg");
        ASSERT_TRUE(saveJpeg(path, img, 95, progressive));
        EXPECT_EQ(imgtest::magickSize(path), "33 17");
        std::string interlace;
        ztest::run("identify -format '%[interlace]' " + ztest::shellQuote(path), &interlace);
        EXPECT_EQ(interlace, progressive ? "JPEG" : "None");
        EXPECT_EQ(imgtest::firstDifference(imgtest::magickRgba(path), expectedRgba(img), 12), -1);
    }
}

TEST(SaveFailures, NothingIsLeftBehind) {
    ztest::TempDir dir;
    RgbImage img = patternImage(4, 4);
    std::string missing = dir.file("no/such/folder/pic");
    EXPECT_FALSE(saveBmp(missing + ".bmp", img));
    EXPECT_FALSE(savePng(missing + ".png", img, 6, pngFilterMask(5)));
    EXPECT_FALSE(saveJpeg(missing + ".jpg", img, 90, false));
    EXPECT_FALSE(std::filesystem::exists(dir.file("no")));

    // A failed save over an existing file leaves that file as it was.
    ztest::writeFile(dir.file("keep.png"), "old bytes");
    EXPECT_FALSE(savePng(dir.file("keep.png"), RgbImage(), 6, 8)) << "nothing to save";
    EXPECT_FALSE(saveBmp(dir.file("keep.png"), RgbImage()));
    EXPECT_EQ(ztest::readFile(dir.file("keep.png")), "old bytes");
    // A folder in the way of the target.
    std::filesystem::create_directory(dir.file("taken.bmp"));
    EXPECT_FALSE(saveBmp(dir.file("taken.bmp"), img));
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"keep.png", "taken.bmp"}))
        << "no temporary files remain";
}
