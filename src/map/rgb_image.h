// The picture type that is saved: 24-bit pixels (blue, green, red in memory), rows top to
// bottom with no padding, in a shared buffer. Made from a Bitmap32 by dropping alpha.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "map/bitmap32.h"

namespace zorvane {

// Copying an RgbImage shares its pixels; clone() makes an independent picture.
class RgbImage {
  public:
    RgbImage() = default;

    // A black picture; false (and empty) when a side is above 65535 or memory runs out.
    bool create(int width, int height);
    // Like create, but keeps the pixel buffer when no other picture shares it and it has
    // room: its pixels are then left as they were, for a caller that writes every one.
    bool reuse(int width, int height);
    void reset();
    // The bytes the pixel buffer holds, used or not.
    size_t capacityBytes() const { return pixels_ ? pixels_->capacity() : 0; }
    RgbImage clone() const;
    // Keeps the low 24 bits of every pixel, and the palette; empty when memory runs out.
    static RgbImage fromBitmap(const Bitmap32& picture);

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ == 0 || height_ == 0; }

    // 0x00RRGGBB; outside the picture reads give 0 and writes are ignored.
    uint32_t pixel(int x, int y) const;
    void setPixel(int x, int y, uint32_t rgb);
    // Row y: 3 × width() bytes, blue, green, red per pixel; y must be inside the picture.
    uint8_t* row(int y) { return pixels_->data() + size_t(y) * rowBytes(); }
    const uint8_t* row(int y) const { return pixels_->data() + size_t(y) * rowBytes(); }
    size_t rowBytes() const { return size_t(width_) * 3; }

    std::vector<PaletteEntry>& palette() { return palette_; }
    const std::vector<PaletteEntry>& palette() const { return palette_; }

    // Nearest-neighbour resize to floor(side × factor), as Bitmap32::scaled.
    RgbImage scaled(double factor) const;

  private:
    uint16_t width_ = 0;
    uint16_t height_ = 0;
    std::shared_ptr<PixelVector<uint8_t>> pixels_;
    std::vector<PaletteEntry> palette_;
};

}  // namespace zorvane
