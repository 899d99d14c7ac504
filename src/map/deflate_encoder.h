// A zlib stream encoder for filtered picture rows. Such data repeats a lot (whole rows equal
// to the one above, tiles across): it finds matches at the distances pictures repeat at
// first, searches lazily for the rest and indexes only the start of a long match, so its
// time follows the matches it emits rather than the bytes they cover.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zorvane {

// Distances the data likely repeats at (0: none), tried first at every position in this
// order: for picture rows the pixel to the left, the tile to the left, the row above.
struct DeflateHints {
    static constexpr int kDistances = 6;
    size_t distances[kDistances] = {1};
};

// Bytes the stream of `n` input bytes can take at most (incompressible input stored).
size_t zlibEncodeBound(size_t n);

// Writes the zlib stream of `data` to `out` (at least zlibEncodeBound(n) bytes) and answers
// its size.
size_t zlibEncode(const uint8_t* data, size_t n, uint8_t* out, const DeflateHints& hints);

}  // namespace zorvane
