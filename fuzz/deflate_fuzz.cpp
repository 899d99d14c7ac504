// The deflate encoder's round trip: any input, with row distances taken from its first
// bytes, must come back unchanged through zlib's inflate.
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "map/deflate_encoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zorvane::DeflateHints hints;
    if (size >= 2) {
        const size_t stride = size_t(data[0]) << 8 | data[1];
        const size_t distances[zorvane::DeflateHints::kDistances] = {1, 3, 96, 48, 192, stride};
        std::memcpy(hints.distances, distances, sizeof distances);
    }
    std::vector<uint8_t> out(zorvane::zlibEncodeBound(size));
    const size_t n = zorvane::zlibEncode(data, size, out.data(), hints);
    if (n > out.size()) std::abort();
    std::vector<uint8_t> back(size + 1);
    uLongf backSize = back.size();
    if (uncompress(back.data(), &backSize, out.data(), n) != Z_OK || backSize != size ||
        (size && std::memcmp(back.data(), data, size) != 0))
        std::abort();
    return 0;
}
