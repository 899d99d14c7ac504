// Size limits shared by the picture decoders.
#pragma once

#include <cstdint>

#include "map/bitmap32.h"

namespace zorvane {

// A decoded graphic may hold at most 2^28 pixels (1 GiB as Bitmap32). Game graphics are far
// smaller; the bound keeps a damaged header that claims 65535 × 65535 from taking all
// memory before the pixel data turns out to be missing.
constexpr uint64_t kMaxDecodedPixels = uint64_t(1) << 28;

inline bool decodedSizeAllowed(uint64_t width, uint64_t height) {
    return width > 0 && height > 0 && width <= uint64_t(kMaxPictureSide) &&
           height <= uint64_t(kMaxPictureSide) && width * height <= kMaxDecodedPixels;
}

}  // namespace zorvane
