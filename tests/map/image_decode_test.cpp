// Decoding checked against ImageMagick: every file is made by `convert` at test time from
// one RGBA pattern and must decode to the pixels ImageMagick itself reads from it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
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

namespace {

// JPEG markers as (offset, end, marker); a scan runs on to the next marker.
struct JpegSegment {
    size_t begin, end;
    unsigned char marker;
};

std::vector<JpegSegment> jpegSegments(const std::string& j) {
    std::vector<JpegSegment> out;
    auto at = [&](size_t i) { return i < j.size() ? (unsigned char)j[i] : 0; };
    for (size_t i = 2; i + 3 < j.size();) {
        unsigned char marker = at(i + 1);
        if (marker == 0xD9) break;
        size_t end = i + 2 + (size_t(at(i + 2)) << 8 | at(i + 3));
        if (marker == 0xDA)
            while (end + 1 < j.size() &&
                   !(at(end) == 0xFF && at(end + 1) != 0 && (at(end + 1) & 0xF8) != 0xD0))
                ++end;
        out.push_back({i, end, marker});
        i = end;
    }
    return out;
}

std::string withJpegSize(std::string j, unsigned side) {
    for (const JpegSegment& s : jpegSegments(j))
        if (s.marker >= 0xC0 && s.marker <= 0xC2)
            for (size_t k : {s.begin + 5, s.begin + 7}) {
                j[k] = char(side >> 8);
                j[k + 1] = char(side & 0xFF);
            }
    return j;
}

// The last scan sent again and again: each copy only earns the library a warning.
std::string withRepeatedLastScan(const std::string& j, int copies) {
    JpegSegment last{};
    for (const JpegSegment& s : jpegSegments(j))
        if (s.marker == 0xDA) last = s;
    std::string scan = j.substr(last.begin, last.end - last.begin), out = j.substr(0, last.end);
    for (int i = 0; i < copies; ++i) out += scan;
    return out + j.substr(last.end);
}

// Signature, a 1 × 1 IHDR, then an ancillary chunk whose length field claims 2 GB.
std::string pngWithHugeChunk(const char* type) {
    std::string png = "\x89PNG\r\n\x1a\n" + std::string("\0\0\0\x0dIHDR", 8) +
                      std::string("\0\0\0\1\0\0\0\1\x08\x02\0\0\0", 13);
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(png.data() + 12), 17);
    for (int i = 3; i >= 0; --i) png += char(crc >> (8 * i));
    return png + std::string("\x7f\xff\xff\xf0", 4) + type + std::string("a\0b", 3);
}

}  // namespace

// Small crafted files that claim huge pictures or chunks, and paths that are no files at
// all: each fails at once, in little memory, instead of allocating what it claims or
// waiting on a pipe.
TEST(DecodeHostile, FailsFastAndSmall) {
    SKIP_WITHOUT_CONVERT();
    ztest::TempDir dir;
    ASSERT_EQ(ztest::run(imgtest::convertTool() + " -size 16x16 xc:red -interlace JPEG " +
                         ztest::shellQuote(dir.file("p.jpg"))),
              0);
    const std::string progressive = ztest::readFile(dir.file("p.jpg"));
    ASSERT_EQ(ztest::run(imgtest::convertTool() + " -size 16x16 xc:red " +
                         ztest::shellQuote(dir.file("s.jpg"))),
              0);
    const std::string baseline = ztest::readFile(dir.file("s.jpg"));
    struct Case {
        const char* what;
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"progressive JPEG claiming 65500 x 65500", "a.jpg", withJpegSize(progressive, 65500)},
        {"progressive JPEG of 16384 x 16384 without data", "b.jpg",
         withJpegSize(progressive, 16384)},
        {"JPEG with 300 repeated scans", "c.jpg", withRepeatedLastScan(progressive, 300)},
        {"baseline JPEG of 16384 x 16384 without data", "d.jpg", withJpegSize(baseline, 16384)},
        {"PNG with a 2 GB tEXt chunk", "a.png", pngWithHugeChunk("tEXt")},
        {"PNG with a 2 GB zTXt chunk", "b.png", pngWithHugeChunk("zTXt")},
    };
    for (const Case& c : cases) ztest::writeFile(dir.file(c.name), c.bytes);
    ASSERT_EQ(mkfifo(dir.file("fifo.png").c_str(), 0600), 0);
    ASSERT_EQ(mkdir(dir.file("folder.bmp").c_str(), 0700), 0);
    ASSERT_EQ(symlink("/dev/zero", dir.file("zero.jpg").c_str()), 0);
    ASSERT_EQ(symlink("/dev/zero", dir.file("zero.bmp").c_str()), 0);
    ztest::writeFile(dir.file("sparse.bmp"), "XX");  // not a BMP, but 400 MB of it
    ASSERT_EQ(truncate(dir.file("sparse.bmp").c_str(), off_t(400) << 20), 0);

    for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "a.png", "b.png", "fifo.png", "folder.bmp",
                             "zero.jpg", "zero.bmp", "sparse.bmp"}) {
        const std::string path = dir.file(name);
        ztest::BoundedRun r = ztest::runBounded([&] {
            Bitmap32 p;
            return decodeImageFile(path, p) ? 1 : 0;
        });
        EXPECT_EQ(r.status, 0) << name << (r.timedOut ? ": hung" : ": decoded or crashed");
        EXPECT_LT(r.seconds, 2.0) << name;
        EXPECT_LT(r.peakKb, 200 * 1024) << name;
    }
    Bitmap32 p;
    EXPECT_TRUE(decodeJpeg(dir.file("p.jpg"), p)) << "the unaltered file still decodes";
}
