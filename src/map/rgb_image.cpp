// RgbImage: allocation, conversion from Bitmap32 and nearest-neighbour scaling.
#include "map/rgb_image.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <stdexcept>

namespace zorvane {

bool RgbImage::create(int width, int height) {
    reset();
    if (!pictureSizeAllowed(width, height, 3)) return false;
    pixels_ = allocatePixels<uint8_t>(size_t(width) * size_t(height) * 3);
    if (!pixels_) return false;
    width_ = uint16_t(width);
    height_ = uint16_t(height);
    return true;
}

bool RgbImage::reuse(int width, int height) {
    if (!pixels_ || pixels_.use_count() != 1 || !pictureSizeAllowed(width, height, 3))
        return create(width, height);
    const size_t bytes = size_t(width) * size_t(height) * 3;
    if (bytes > pixels_->capacity()) return create(width, height);
    pixels_->resize(bytes);
    width_ = uint16_t(width);
    height_ = uint16_t(height);
    palette_.clear();
    return true;
}

void RgbImage::reset() {
    width_ = height_ = 0;
    pixels_.reset();
    palette_.clear();
}

RgbImage RgbImage::clone() const {
    RgbImage copy;
    copy.width_ = width_;
    copy.height_ = height_;
    copy.palette_ = palette_;
    if (pixels_) copy.pixels_ = std::make_shared<PixelVector<uint8_t>>(*pixels_);
    return copy;
}

RgbImage RgbImage::fromBitmap(const Bitmap32& picture) {
    RgbImage out;
    if (picture.empty() || !out.create(picture.width(), picture.height())) return out;
    for (int y = 0; y < picture.height(); ++y) {
        const uint32_t* s = picture.row(y);
        uint8_t* d = out.row(y);
        for (int x = 0; x < picture.width(); ++x, d += 3) {
            d[0] = blueOf(s[x]);
            d[1] = greenOf(s[x]);
            d[2] = redOf(s[x]);
        }
    }
    out.palette_ = picture.palette();
    return out;
}

uint32_t RgbImage::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    const uint8_t* p = row(y) + size_t(x) * 3;
    return (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
}

void RgbImage::setPixel(int x, int y, uint32_t rgb) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    uint8_t* p = row(y) + size_t(x) * 3;
    p[0] = blueOf(rgb);
    p[1] = greenOf(rgb);
    p[2] = redOf(rgb);
}

RgbImage RgbImage::scaled(double factor) const {
    if (factor == 1) return clone();
    RgbImage out;
    if (!(factor > 0) || empty()) return out;
    double w = std::floor(width_ * factor), h = std::floor(height_ * factor);
    if (w < 1 || h < 1 || w > kMaxPictureSide || h > kMaxPictureSide) return out;
    if (!out.create(int(w), int(h))) return out;
    for (int y = 0; y < out.height_; ++y) {
        const uint8_t* s = row(std::min(int(std::floor(y / factor)), height_ - 1));
        uint8_t* d = out.row(y);
        for (int x = 0; x < out.width_; ++x, d += 3)
            std::memcpy(d, s + 3 * std::min(int(std::floor(x / factor)), width_ - 1), 3);
    }
    out.palette_ = palette_;
    return out;
}

}  // namespace zorvane
