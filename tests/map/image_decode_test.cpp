// Decoding checked against ImageMagick: every file is made by `convert` at test time from
// one RGBA pattern and must decode to the pixels ImageMagick itself reads from it.
#include <gtest/gtest.h>
#include <zlib.h>

#include "map/image_files.h"
#include "map/image_test_support.h"

using namespace zorvane;

namespace {

struct DecodeCase {
    const char* name;
    const char* options;  // convert options, ending with the output format prefix
    const char* file;
    int tolerance;
};

class DecodeAgainstMagick : public testing::TestWithParam<DecodeCase> {};

}  // namespace

TEST_P(DecodeAgainstMagick, SamePixelsAsImageMagick) {
    SKIP_WITHOUT_CONVERT();
    const DecodeCase& c = GetParam();
    ztest::TempDir dir;
    imgtest::makeImage(dir, c.options, c.file);
    std::string expected = imgtest::magickRgba(dir.file(c.file));
    ASSERT_EQ(expected.size(), 7u * 5u * 4u);
    Bitmap32 picture;
    ASSERT_TRUE(decodeImageFile(dir.file(c.file), picture));
    ASSERT_EQ(picture.width(), 7);
    ASSERT_EQ(picture.height(), 5);
    std::string got = imgtest::toRgba(picture);
    long at = imgtest::firstDifference(got, expected, c.tolerance);
    EXPECT_EQ(at, -1) << "pixel " << at / 4 << " channel " << at % 4;
}

INSTANTIATE_TEST_SUITE_P(
    Png, DecodeAgainstMagick,
    testing::Values(
        DecodeCase{"rgba", "PNG32:", "rgba.png", 0},
        DecodeCase{"rgb", "-alpha off PNG24:", "rgb.png", 0},
        DecodeCase{"paletteTransparent", "-channel A -threshold 50% +channel PNG8:", "p.png", 0},
        DecodeCase{"palette", "-alpha off -colors 12 PNG8:", "p.png", 0},
        DecodeCase{"grey", "-alpha off -colorspace Gray -type Grayscale", "g.png", 0},
        DecodeCase{"greyAlpha", "-colorspace Gray -define png:color-type=4", "ga.png", 0},
        DecodeCase{"bilevel", "-alpha off -threshold 50% -type Bilevel", "b.png", 0},
        DecodeCase{"rgb16", "-alpha off -depth 16 PNG48:", "rgb16.png", 0},
        DecodeCase{"rgba16", "-depth 16 PNG64:", "rgba16.png", 0},
        // Grey computed at 16 bits is not a multiple of 257: stripping to 8 bits keeps the
        // high byte where ImageMagick rounds, so the two may differ by one.
        DecodeCase{"grey16", "-alpha off -colorspace Gray -depth 16", "g16.png", 1},
        DecodeCase{"interlaced", "-interlace PNG PNG32:", "i.png", 0}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Bmp, DecodeAgainstMagick,
    testing::Values(
        DecodeCase{"pal8", "-alpha off -type Palette -compress none BMP3:", "b8.bmp", 0},
        DecodeCase{"rgb555", "-alpha off -define bmp:subtype=RGB555 BMP:", "b16.bmp", 0},
        DecodeCase{"rgb565", "-alpha off -define bmp:subtype=RGB565 BMP:", "b565.bmp", 0},
        DecodeCase{"rgb24", "-alpha off BMP3:", "b24.bmp", 0},
        DecodeCase{"argb32Plain", "-define bmp3:alpha=true BMP3:", "b32.bmp", 0},
        DecodeCase{"argb32Fields", "-define bmp:subtype=ARGB32 BMP:", "b32v5.bmp", 0}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Jpeg, DecodeAgainstMagick,
    testing::Values(DecodeCase{"colour", "-alpha off -quality 95", "c.jpg", 2},
                    DecodeCase{"grey", "-alpha off -colorspace Gray -type Grayscale", "g.jpeg", 2},
                    DecodeCase{"progressive", "-alpha off -interlace JPEG", "p.jpg", 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DecodePng, PaletteEntryMarkedTransparentGetsAlphaZero) {
    SKIP_WITHOUT_CONVERT();
    ztest::TempDir dir;
    imgtest::makeImage(dir, "-channel A -threshold 50% +channel PNG8:", "p.png");
    std::string check;
    ztest::run("pngcheck -v " + ztest::shellQuote(dir.file("p.png")), &check);
    ASSERT_NE(check.find("tRNS"), std::string::npos) << check;
    Bitmap32 p;
    ASSERT_TRUE(decodePng(dir.file("p.png"), p));
    int transparent = 0, opaque = 0;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            int a = alphaOf(p.pixel(x, y));
            transparent += a == 0;
            opaque += a == 255;
            // The pattern's alpha cycles 255, 0, 128, 37; thresholding at 50% keeps the
            // first and third opaque.
            EXPECT_EQ(a, (x + y) % 2 == 0 ? 255 : 0) << x << "," << y;
        }
    EXPECT_GT(transparent, 0);
    EXPECT_GT(opaque, 0);
}

TEST(DecodeFile, ProbesExtensionsInOrderAndSkipsBrokenFiles) {
    SKIP_WITHOUT_CONVERT();
    ztest::TempDir dir;
    std::string cmd = imgtest::convertTool() + " -size 2x2 ";
    ASSERT_EQ(ztest::run(cmd + "xc:red PNG24:" + ztest::shellQuote(dir.file("X.png"))), 0);
    ASSERT_EQ(ztest::run(cmd + "xc:blue BMP3:" + ztest::shellQuote(dir.file("X.bmp"))), 0);
    ASSERT_EQ(ztest::run(cmd + "xc:lime " + ztest::shellQuote(dir.file("X.jpg"))), 0);
    Bitmap32 p;
    ASSERT_TRUE(decodeFile(p, dir.file("X")));
    EXPECT_EQ(p.pixel(1, 1), 0xFFFF0000u) << "the PNG hides the others";

    ztest::writeFile(dir.file("X.png"), "\x89PNG\r\n\x1a\n broken");
    ASSERT_TRUE(decodeFile(p, dir.file("X")));
    EXPECT_GT(greenOf(p.pixel(1, 1)), 240) << "a PNG that fails to decode passes to the JPEG";
    EXPECT_LT(redOf(p.pixel(1, 1)), 15);

    EXPECT_FALSE(decodeFile(p, dir.file("Y")));
    EXPECT_TRUE(p.empty());
}

namespace {

// A valid PNG from ImageMagick, cut or damaged in the ways files get damaged.
std::string validPng(const ztest::TempDir& dir) {
    imgtest::makeImage(dir, "PNG32:", "ok.png", 40, 30);
    return ztest::readFile(dir.file("ok.png"));
}

// Replaces IHDR's width and fixes the chunk's CRC so that only the size is wrong.
std::string withPngWidth(std::string png, uint32_t width) {
    for (int i = 0; i < 4; ++i) png[16 + i] = char(width >> (24 - 8 * i));
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(png.data() + 12), 17);
    for (int i = 0; i < 4; ++i) png[29 + i] = char(crc >> (24 - 8 * i));
    return png;
}

}  // namespace

TEST(DecodeDamaged, PngFailsWithoutCrashing) {
    SKIP_WITHOUT_CONVERT();
    ztest::TempDir dir;
    std::string png = validPng(dir);
    Bitmap32 p;
    ASSERT_TRUE(decodePng(dir.file("ok.png"), p));

    const std::pair<const char*, std::string> damaged[] = {
        {"empty", ""},
        {"signature only", png.substr(0, 8)},
        {"cut in the header", png.substr(0, 20)},
        {"cut in the pixels", png.substr(0, png.size() / 2)},
        {"bad IHDR CRC",
         [&] {
             std::string s = png;
             s[20] ^= 1;
             return s;
         }()},
        {"garbage after signature", png.substr(0, 8) + std::string(200, 'x')},
        {"width 65536", withPngWidth(png, 65536)},
        {"width 0", withPngWidth(png, 0)},
    };
    for (const auto& [what, bytes] : damaged) {
        ztest::writeFile(dir.file("bad.png"), bytes);
        EXPECT_FALSE(decodePng(dir.file("bad.png"), p)) << what;
        EXPECT_TRUE(p.empty()) << what;
    }
}

TEST(DecodeDamaged, JpegFailsWithoutCrashing) {
    SKIP_WITHOUT_CONVERT();
    ztest::TempDir dir;
    imgtest::makeImage(dir, "-alpha off -quality 90", "ok.jpg", 64, 48);
    std::string jpg = ztest::readFile(dir.file("ok.jpg"));
    Bitmap32 p;
    ASSERT_TRUE(decodeJpeg(dir.file("ok.jpg"), p));

    const std::pair<const char*, std::string> damaged[] = {
        {"empty", ""},
        {"SOI only", jpg.substr(0, 2)},
        {"cut in the headers", jpg.substr(0, 100)},
        {"cut in the scan", jpg.substr(0, jpg.size() * 2 / 3)},
        {"not a JPEG", std::string(300, 'z')},
    };
    for (const auto& [what, bytes] : damaged) {
        ztest::writeFile(dir.file("bad.jpg"), bytes);
        EXPECT_FALSE(decodeJpeg(dir.file("bad.jpg"), p)) << what;
        EXPECT_TRUE(p.empty()) << what;
    }
}

TEST(DecodeDamaged, BmpFailsWithoutCrashing) {
    SKIP_WITHOUT_CONVERT();
    ztest::TempDir dir;
    imgtest::makeImage(dir, "-alpha off BMP3:", "ok.bmp");
    std::string bmp = ztest::readFile(dir.file("ok.bmp"));
    auto withField = [&](size_t at, uint32_t v) {
        std::string s = bmp;
        for (int i = 0; i < 4; ++i) s[at + i] = char(v >> (8 * i));
        return s;
    };
    const std::pair<const char*, std::string> damaged[] = {
        {"cut in the rows", bmp.substr(0, bmp.size() - 3)},
        {"width 65536", withField(18, 65536)},
        {"height claiming more rows than stored", withField(22, 60000)},
        {"pixel offset past the end", withField(10, 100000)},
        {"run-length compressed", withField(30, 1)},
        {"not a BMP", "PM" + bmp.substr(2)},
    };
    Bitmap32 p;
    for (const auto& [what, bytes] : damaged) {
        ztest::writeFile(dir.file("bad.bmp"), bytes);
        EXPECT_FALSE(decodeBmp(dir.file("bad.bmp"), p)) << what;
        EXPECT_TRUE(p.empty()) << what;
    }
}
