// Pixel operations of Bitmap32 and RgbImage. Expected channel values are worked out by
// hand from the documented integer formulas (the working is in the comments).
#include <gtest/gtest.h>

#include "map/bitmap32.h"
#include "map/rgb_image.h"

using namespace zorvane;

namespace {

Bitmap32 filled(int w, int h, uint32_t argb) {
    Bitmap32 b;
    EXPECT_TRUE(b.create(w, h));
    b.fill(argb);
    return b;
}

}  // namespace

TEST(Bitmap32, CreationLimitsAndOutsideAccess) {
    Bitmap32 b;
    ASSERT_TRUE(b.create(3, 2));
    EXPECT_EQ(b.pixel(2, 1), 0u) << "a new picture is transparent black";
    b.setPixel(-1, 0, 0xFFFFFFFF);
    b.setPixel(3, 0, 0xFFFFFFFF);
    b.setPixel(0, 2, 0xFFFFFFFF);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(b.pixel(x, y), 0u);
    EXPECT_EQ(b.pixel(-1, 0), 0u);
    EXPECT_EQ(b.pixel(0, 5), 0u);

    EXPECT_TRUE(b.create(65535, 1));
    EXPECT_FALSE(b.create(65536, 1)) << "sides are 16-bit: refused, not wrapped to 0";
    EXPECT_TRUE(b.empty());
    EXPECT_FALSE(b.create(1, 65536));
    EXPECT_FALSE(b.create(-4, 4));
    EXPECT_EQ(b.width(), 0);
}

TEST(Bitmap32, CopiesSharePixelsAndCloneDoesNot) {
    Bitmap32 a = filled(2, 2, 0xFF102030);
    Bitmap32 shared = a;
    Bitmap32 own = a.clone();
    a.setPixel(1, 1, 0xFFFFFFFF);
    EXPECT_TRUE(shared.sharesPixelsWith(a));
    EXPECT_EQ(shared.pixel(1, 1), 0xFFFFFFFFu);
    EXPECT_EQ(own.pixel(1, 1), 0xFF102030u);
}

TEST(Bitmap32, ClipShrinksToBothPictures) {
    Bitmap32 dst = filled(10, 10, 0), src = filled(4, 6, 0);
    int dx = 8, dy = -2, sx = 1, sy = 0, w = 0, h = 0;
    ASSERT_TRUE(dst.clip(src, dx, dy, sx, sy, w, h));
    // w 0 reaches the source edge: 4 - 1 = 3, then cut to the destination: 10 - 8 = 2.
    // dy -2 moves the source start down by 2: h = 6 - 2 = 4.
    EXPECT_EQ(dx, 8);
    EXPECT_EQ(w, 2);
    EXPECT_EQ(sx, 1);
    EXPECT_EQ(dy, 0);
    EXPECT_EQ(sy, 2);
    EXPECT_EQ(h, 4);

    int x4 = 0, y4 = 8, sx4 = 0, sy4 = 0, w4 = 0, h4 = 0;
    ASSERT_TRUE(dst.clip(src, x4, y4, sx4, sy4, w4, h4));
    EXPECT_EQ(h4, 2) << "6 source rows, 2 left below row 8 of the destination";
    EXPECT_EQ(w4, 4);

    int x2 = 10, y2 = 0, sx2 = 0, sy2 = 0, w2 = 3, h2 = 3;
    EXPECT_FALSE(dst.clip(src, x2, y2, sx2, sy2, w2, h2)) << "right of the destination";
    int x3 = 0, y3 = 0, sx3 = 4, sy3 = 0, w3 = 2, h3 = 2;
    EXPECT_FALSE(dst.clip(src, x3, y3, sx3, sy3, w3, h3)) << "right of the source";
}

TEST(Bitmap32, CopyWithoutAlphaReplacesEverything) {
    Bitmap32 dst = filled(4, 4, 0xFF0000FF), src = filled(2, 2, 0x00ABCDEF);
    dst.copy(src, 1, 2);
    EXPECT_EQ(dst.pixel(1, 2), 0x00ABCDEFu) << "alpha comes along";
    EXPECT_EQ(dst.pixel(2, 3), 0x00ABCDEFu);
    EXPECT_EQ(dst.pixel(0, 2), 0xFF0000FFu);
    EXPECT_EQ(dst.pixel(3, 3), 0xFF0000FFu);
    EXPECT_EQ(dst.pixel(1, 1), 0xFF0000FFu);
}

TEST(Bitmap32, CopyWithAlphaMixesByTheSourceAlpha) {
    Bitmap32 dst = filled(3, 1, 0x40646464);  // alpha 0x40, channels 100
    Bitmap32 src;
    ASSERT_TRUE(src.create(3, 1));
    src.setPixel(0, 0, 0x80C8C8C8);  // a 128, channels 200
    src.setPixel(1, 0, 0x00FFFFFF);  // a 0
    src.setPixel(2, 0, 0xFF0A141E);  // a 255
    dst.copy(src, 0, 0, 0, 0, 0, 0, true);
    // (128 × (200 − 100) + 255 × 100 + 255) >> 8 = 38555 >> 8 = 150
    EXPECT_EQ(dst.pixel(0, 0), 0x40969696u);
    EXPECT_EQ(dst.pixel(1, 0), 0x40646464u) << "alpha 0 leaves the destination";
    // a 255: (255 × s + 255) >> 8 = s for every s
    EXPECT_EQ(dst.pixel(2, 0), 0x400A141Eu) << "destination keeps its own alpha";
}

TEST(Bitmap32, OverlappingCopyReadsTheOriginalPixels) {
    for (bool useAlpha : {false, true}) {
        Bitmap32 b;
        ASSERT_TRUE(b.create(4, 4));
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) b.setPixel(x, y, 0xFF000000u | uint32_t(y * 4 + x));
        b.copy(b, 1, 1, 0, 0, 3, 3, useAlpha);  // one down and right, onto itself
        for (int y = 1; y < 4; ++y)
            for (int x = 1; x < 4; ++x)
                EXPECT_EQ(b.pixel(x, y), 0xFF000000u | uint32_t((y - 1) * 4 + x - 1))
                    << x << "," << y << (useAlpha ? " alpha" : "");
    }
}

TEST(Bitmap32, BlendTypesAndOpacity) {
    // Type 0, opacity 255, opaque onto opaque: the source colour.
    Bitmap32 d0 = filled(1, 1, 0xFF102030);
    d0.blend(filled(1, 1, 0xFFC08040), 0, 255, 0, 0);
    EXPECT_EQ(d0.pixel(0, 0), 0xFFC08040u);

    // Type 1 from white onto white stays white.
    Bitmap32 d1 = filled(1, 1, 0xFFFFFFFF);
    d1.blend(filled(1, 1, 0xFFFFFFFF), 1, 255, 0, 0);
    EXPECT_EQ(d1.pixel(0, 0), 0xFFFFFFFFu);

    // Type 0, opacity 128, white onto black: m = 255 × 128 / 255 = 128;
    // (255 × 128 + 255) >> 8 = 128.
    Bitmap32 d2 = filled(1, 1, 0xFF000000);
    d2.blend(filled(1, 1, 0xFFFFFFFF), 0, 128, 0, 0);
    EXPECT_EQ(d2.pixel(0, 0), 0xFF808080u);

    // Type 1: m = min(255, 100 + 200 × 128 / 255) = 100 + 100 = 200 (25600/255 = 100).
    Bitmap32 d3 = filled(1, 1, 0xFF646464);
    d3.blend(filled(1, 1, 0xFFC8C8C8), 1, 128, 0, 0);
    EXPECT_EQ(d3.pixel(0, 0), 0xFFC8C8C8u);

    // Type 2: m = max(0, 200 − 50) = 150 on red; max(0, 30 − 50) = 0 on green.
    Bitmap32 d4 = filled(1, 1, 0x7FC81E00);
    d4.blend(filled(1, 1, 0xFF323232), 2, 255, 0, 0);
    EXPECT_EQ(d4.pixel(0, 0), 0x7F960000u) << "destination alpha 0x7F is kept";

    // Type 2, opacity 128: m = 200 − 100 × 128 / 255 = 200 − 50 = 150.
    Bitmap32 d6 = filled(1, 1, 0xFFC8C8C8);
    d6.blend(filled(1, 1, 0xFF646464), 2, 128, 0, 0);
    EXPECT_EQ(d6.pixel(0, 0), 0xFF969696u);

    // Source alpha 64 with type 0 opacity 255: m = 255; (64 × 255 + 0 + 255) >> 8 = 64.
    Bitmap32 d5 = filled(1, 1, 0xFF000000);
    d5.blend(filled(1, 1, 0x40FFFFFF), 0, 255, 0, 0);
    EXPECT_EQ(d5.pixel(0, 0), 0xFF404040u);
}

TEST(Bitmap32, BlendThatDrawsNothing) {
    Bitmap32 src = filled(1, 1, 0xFFFFFFFF);
    for (auto [type, opacity] : {std::pair{0, 0}, {1, 0}, {3, 255}, {-1, 255}}) {
        Bitmap32 d = filled(1, 1, 0xFF123456);
        d.blend(src, type, opacity, 0, 0);
        EXPECT_EQ(d.pixel(0, 0), 0xFF123456u) << "type " << type << " opacity " << opacity;
    }
}

TEST(Bitmap32, HueRotation) {
    Bitmap32 b;
    ASSERT_TRUE(b.create(4, 1));
    b.setPixel(0, 0, 0xFFFF0000);  // red
    b.setPixel(1, 0, 0x80808080);  // grey, half transparent
    b.setPixel(2, 0, 0x00000000);  // black
    b.setPixel(3, 0, 0x7F00FF00);  // green
    Bitmap32 untouched = b.clone();
    untouched.changeHue(0);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(untouched.pixel(x, 0), b.pixel(x, 0));

    Bitmap32 r120 = b.clone();
    r120.changeHue(120);
    EXPECT_EQ(r120.pixel(0, 0), 0xFF00FF00u) << "red + 120° is green";
    EXPECT_EQ(r120.pixel(1, 0), 0x80808080u) << "a grey has no hue to turn";
    EXPECT_EQ(r120.pixel(2, 0), 0x00000000u);
    EXPECT_EQ(r120.pixel(3, 0), 0x7F0000FFu) << "green + 120° is blue, alpha kept";

    Bitmap32 back = b.clone();
    back.changeHue(-120);
    EXPECT_EQ(back.pixel(0, 0), 0xFF0000FFu) << "a negative turn wraps: red - 120° is blue";
}

TEST(Bitmap32, NearestNeighbourScaling) {
    Bitmap32 b;
    ASSERT_TRUE(b.create(5, 3));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) b.setPixel(x, y, uint32_t(y * 16 + x));
    b.palette().push_back(PaletteEntry{1, 2, 3});

    Bitmap32 half = b.scaled(0.5);
    ASSERT_EQ(half.width(), 2);  // floor(5 × 0.5)
    ASSERT_EQ(half.height(), 1);
    EXPECT_EQ(half.pixel(1, 0), uint32_t(0 * 16 + 2));  // source (floor(1 / 0.5), 0)
    EXPECT_EQ(half.palette().size(), 1u);

    Bitmap32 twice = b.scaled(2);
    ASSERT_EQ(twice.width(), 10);
    ASSERT_EQ(twice.height(), 6);
    EXPECT_EQ(twice.pixel(9, 5), uint32_t(2 * 16 + 4));
    EXPECT_EQ(twice.pixel(3, 2), uint32_t(1 * 16 + 1));

    Bitmap32 same = b.scaled(1);
    EXPECT_FALSE(same.sharesPixelsWith(b)) << "factor 1 is a copy";
    EXPECT_EQ(same.pixel(4, 2), b.pixel(4, 2));
    EXPECT_TRUE(b.scaled(0.125).empty()) << "floor(3 / 8) = 0 rows";
}

TEST(RgbImage, ConversionDropsAlphaAndScales) {
    Bitmap32 b;
    ASSERT_TRUE(b.create(3, 2));
    b.setPixel(0, 0, 0x12345678);
    b.setPixel(2, 1, 0x00FFEEDD);
    RgbImage img = RgbImage::fromBitmap(b);
    ASSERT_EQ(img.width(), 3);
    EXPECT_EQ(img.pixel(0, 0), 0x345678u);
    EXPECT_EQ(img.pixel(2, 1), 0xFFEEDDu);
    const uint8_t* row = img.row(0);
    EXPECT_EQ(row[0], 0x78) << "blue first in memory";
    EXPECT_EQ(row[2], 0x34);

    RgbImage big = img.scaled(2);
    ASSERT_EQ(big.width(), 6);
    EXPECT_EQ(big.pixel(5, 3), 0xFFEEDDu);
    EXPECT_EQ(big.pixel(1, 1), 0x345678u);
}
