// Helpers for the picture tests: ImageMagick as the independent encoder and decoder, and
// reading a decoded picture as RGBA bytes to compare with it.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "map/bitmap32.h"
#include "support/test_support.h"

namespace imgtest {

// The real ImageMagick program, not a wrapper that may sit earlier on PATH.
inline std::string convertTool() {
    if (access("/usr/bin/convert", X_OK) == 0) return "/usr/bin/convert";
    return ztest::haveProgram("convert") ? "convert" : "";
}

#define SKIP_WITHOUT_CONVERT()                                      \
    do {                                                            \
        if (imgtest::convertTool().empty())                         \
            GTEST_SKIP() << "ImageMagick convert is not installed"; \
    } while (0)

// A 7 × 5 RGBA pattern: odd width so that every BMP row needs padding, and an alpha
// column cycling through 255, 0, 128, 37.
inline std::string patternRgba(int width = 7, int height = 5) {
    std::string bytes;
    const uint8_t alphas[4] = {255, 0, 128, 37};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            bytes += char((x * 37 + y * 11) % 256);
            bytes += char((x * 13 + y * 59) % 256);
            bytes += char((x * 91 + y * 7) % 256);
            bytes += char(alphas[(x + y) % 4]);
        }
    return bytes;
}

// Runs convert on a raw RGBA file: `convert -size WxH -depth 8 rgba:raw OPTIONS out`;
// options may end with a format prefix such as "PNG32:", which goes right before out.
inline void makeImage(const ztest::TempDir& dir, const std::string& options,
                      const std::string& outName, int width = 7, int height = 5) {
    std::string raw = dir.file("pattern.raw");
    ztest::writeFile(raw, patternRgba(width, height));
    std::string cmd = convertTool() + " -size " + std::to_string(width) + "x" +
                      std::to_string(height) + " -depth 8 rgba:" + ztest::shellQuote(raw) + " " +
                      options + (!options.empty() && options.back() == ':' ? "" : " ") +
                      ztest::shellQuote(dir.file(outName)) + " 2>&1";
    std::string out;
    ASSERT_EQ(ztest::run(cmd, &out), 0) << cmd << "\n" << out;
}

// What ImageMagick decodes from a file, as RGBA bytes.
inline std::string magickRgba(const std::string& path) {
    std::string out;
    int rc = ztest::run(convertTool() + " " + ztest::shellQuote(path) + " -depth 8 rgba:-", &out);
    return rc == 0 ? out : "";
}

// "W H" as ImageMagick's identify sees the file, "" when it cannot read it.
inline std::string magickSize(const std::string& path) {
    std::string out;
    int rc =
        ztest::run("identify -format '%w %h' " + ztest::shellQuote(path) + " 2>/dev/null", &out);
    return rc == 0 ? out : "";
}

inline std::string toRgba(const zorvane::Bitmap32& picture) {
    std::string bytes;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            uint32_t p = picture.pixel(x, y);
            bytes += char(zorvane::redOf(p));
            bytes += char(zorvane::greenOf(p));
            bytes += char(zorvane::blueOf(p));
            bytes += char(zorvane::alphaOf(p));
        }
    return bytes;
}

// Index of the first byte where two RGBA strings differ by more than `tolerance`, or -1.
inline long firstDifference(const std::string& a, const std::string& b, int tolerance = 0) {
    if (a.size() != b.size()) return 0;
    for (size_t i = 0; i < a.size(); ++i) {
        int d = int(uint8_t(a[i])) - int(uint8_t(b[i]));
        if (d > tolerance || d < -tolerance) return long(i);
    }
    return -1;
}

}  // namespace imgtest
