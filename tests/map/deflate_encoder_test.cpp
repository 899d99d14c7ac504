// The deflate encoder against zlib's inflate, an independent decoder: whatever goes in must
// come back byte for byte, from inputs that exercise each path of the encoder.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "map/deflate_encoder.h"
#include "map/map_picture.h"
#include "project/project_database.h"
#include "support/test_support.h"

using namespace zorvane;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes randomBytes(size_t n, uint32_t seed, int alphabet = 256) {
    std::mt19937 rng(seed);
    Bytes b(n);
    for (uint8_t& v : b) v = uint8_t(rng() % unsigned(alphabet));
    return b;
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

Bytes head(const Bytes& b, size_t n) { return Bytes(b.begin(), b.begin() + long(n)); }

// A map of the sample project drawn at ×1, its rows Up-filtered as a PNG carries them.
Bytes sampleMapRows(size_t& stride) {
    ProjectDatabase db;
    db.open(ztest::sampleProject(), ztest::sourceDir() + "/sample/CommonFiles");
    MapData map;
    EXPECT_TRUE(map.load(db, 7, true));
    map.loadTileset(db.tilesets());
    RenderOptions options;
    RgbImage picture;
    EXPECT_EQ(composeMapPicture(map, options, picture), MapPictureStatus::Saved);
    stride = picture.rowBytes() + 1;
    Bytes rows;
    for (int y = 0; y < picture.height(); ++y) {
        rows.push_back(2);
        for (size_t i = 0; i < picture.rowBytes(); ++i)
            rows.push_back(uint8_t(picture.row(y)[i] - (y ? picture.row(y - 1)[i] : 0)));
    }
    return rows;
}

struct Case {
    std::string name;
    std::function<Bytes(size_t& stride)> make;
};

}  // namespace

TEST(DeflateEncoder, ZlibInflatesEveryInputBackUnchanged) {
    const Bytes noise = randomBytes(40000, 1);
    const Bytes window = randomBytes(32768, 2);
    const std::vector<Case> cases = {
        {"empty", [](size_t&) { return Bytes(); }},
        {"one byte", [](size_t&) { return Bytes{42}; }},
        {"noise over several stored blocks", [](size_t&) { return randomBytes(200000, 3); }},
        {"long run of zeros", [](size_t&) { return Bytes(3 << 20, 0); }},
        {"repeat of 257", [&](size_t&) { return concat({noise, head(noise, 257), {7}}); }},
        {"repeat of 258", [&](size_t&) { return concat({noise, head(noise, 258), {7}}); }},
        {"repeat of 259", [&](size_t&) { return concat({noise, head(noise, 259), {7}}); }},
        {"repeat of 3 far away", [&](size_t&) { return concat({noise, head(noise, 3)}); }},
        {"match at the window's end", [&](size_t&) { return concat({window, head(window, 1000)}); }},
        {"match just beyond the window",
         [&](size_t&) { return concat({window, {0}, head(window, 1000)}); }},
        {"few symbols over many blocks", [](size_t&) { return randomBytes(1 << 20, 4, 3); }},
        {"rows: noise, repeated and shifted",
         [](size_t& stride) {
             stride = 301;
             Bytes rows;
             for (uint32_t y = 0; y < 400; ++y) {
                 Bytes row = randomBytes(stride, y / 7);
                 if (y % 5 == 0) row = randomBytes(stride, 1000 + y);
                 if (y % 3 == 0) std::rotate(row.begin(), row.begin() + 96, row.end());
                 rows.insert(rows.end(), row.begin(), row.end());
             }
             return rows;
         }},
        {"a map picture's filtered rows", [](size_t& stride) { return sampleMapRows(stride); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        size_t stride = 0;
        const Bytes in = c.make(stride);
        DeflateHints hints;
        if (stride) {
            const size_t distances[DeflateHints::kDistances] = {1, 3, 96, 48, 192, stride};
            std::copy(distances, distances + DeflateHints::kDistances, hints.distances);
        }
        Bytes out(zlibEncodeBound(in.size()));
        const size_t size = zlibEncode(in.data(), in.size(), out.data(), hints);
        ASSERT_LE(size, out.size());
        Bytes back(in.size() + 1);
        uLongf backSize = back.size();
        ASSERT_EQ(uncompress(back.data(), &backSize, out.data(), size), Z_OK);
        back.resize(backSize);
        EXPECT_TRUE(back == in) << "inflated " << backSize << " of " << in.size() << " bytes";
    }
}
