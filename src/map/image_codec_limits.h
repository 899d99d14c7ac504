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

// Picture files are read as a stream, so their size costs no memory; the bound only keeps a
// decoder from reading gigabytes of a file that cannot hold a picture it would accept.
constexpr uint64_t kMaxPictureFileBytes = uint64_t(2) << 30;

// What the JPEG library may allocate besides the picture itself (a progressive file keeps
// every coefficient until its last scan), and how many scans a file may have: real ones
// have about ten, and each scan is a pass over the whole picture.
constexpr long kMaxJpegLibraryBytes = 512L << 20;
constexpr int kMaxJpegScans = 256;

}  // namespace zorvane
