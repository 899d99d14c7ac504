// The renderer's working picture: 32-bit 0xAARRGGBB pixels in a shared buffer, with the
// few pixel operations that map drawing is composed of (copy, alpha copy, blend, hue
// rotation, nearest-neighbour scaling).
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>
#include <vector>

namespace zorvane {

// One colour of a picture's palette (pictures read from 8-bit files keep theirs).
struct PaletteEntry {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    bool operator==(const PaletteEntry& o) const {
        return red == o.red && green == o.green && blue == o.blue;
    }
};

// Widths and heights are stored in 16 bits, like the file formats the program writes.
constexpr int kMaxPictureSide = 65535;

// True when a width × height picture with `bytesPerPixel` bytes per pixel can be addressed
// on this machine and both sides fit in 16 bits.
bool pictureSizeAllowed(long long width, long long height, size_t bytesPerPixel);

// Memory for pixels: buffers of 2 MB or more lie on whole huge pages where the system
// offers them, so that a decoded tileset or a whole map picture is faulted in once every
// 2 MB instead of once every 4 KB (15 to 30 µs each on these machines).
void* allocatePixelBytes(size_t bytes);
// Whole huge pages, aligned to one and offered to the system as such, for at least `bytes`;
// null when memory cannot be had. Freed with std::free.
void* allocateHugePages(size_t bytes);
void freePixelBytes(void* pixels, size_t bytes);

template <class T>
struct PixelAllocator {
    using value_type = T;
    PixelAllocator() = default;
    template <class U>
    PixelAllocator(const PixelAllocator<U>&) {}
    T* allocate(size_t n) {
        if (n > std::numeric_limits<size_t>::max() / sizeof(T)) throw std::bad_alloc();
        return static_cast<T*>(allocatePixelBytes(n * sizeof(T)));
    }
    void deallocate(T* p, size_t n) { freePixelBytes(p, n * sizeof(T)); }
    template <class U>
    bool operator==(const PixelAllocator<U>&) const {
        return true;
    }
    template <class U>
    bool operator!=(const PixelAllocator<U>&) const {
        return false;
    }
};

template <class T>
using PixelVector = std::vector<T, PixelAllocator<T>>;

// A zeroed pixel buffer of `count` elements, or null when memory cannot be had: a huge
// picture fails its own creation instead of ending the program.
template <class T>
std::shared_ptr<PixelVector<T>> allocatePixels(size_t count) {
    try {
        return std::make_shared<PixelVector<T>>(count, T{});
    } catch (const std::bad_alloc&) {
        return nullptr;
    } catch (const std::length_error&) {
        return nullptr;
    }
}

inline uint32_t makeArgb(uint8_t a, uint8_t r, uint8_t g, uint8_t b) {
    return (uint32_t(a) << 24) | (uint32_t(r) << 16) | (uint32_t(g) << 8) | b;
}
inline uint8_t alphaOf(uint32_t p) {
    return uint8_t(p >> 24);
}
inline uint8_t redOf(uint32_t p) {
    return uint8_t(p >> 16);
}
inline uint8_t greenOf(uint32_t p) {
    return uint8_t(p >> 8);
}
inline uint8_t blueOf(uint32_t p) {
    return uint8_t(p);
}

// Copying a Bitmap32 shares its pixels (like the pictures of the drawing code it serves);
// clone() makes an independent picture.
class Bitmap32 {
  public:
    Bitmap32() = default;

    // A zero-filled (transparent black) picture. Sides above 65535, negative sides, or a
    // buffer that cannot be allocated leave the picture empty and return false.
    bool create(int width, int height);
    // A picture that keeps only every `step`th pixel of every `step`th row of a
    // drawWidth × drawHeight picture (both multiples of step): drawing takes the full
    // picture's coordinates and writes only the pixels kept, each exactly as the full
    // picture would have it. What a nearest-neighbour reduction reads, at a step² of the cost.
    bool createSampled(int drawWidth, int drawHeight, int step);
    void reset();
    Bitmap32 clone() const;

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ == 0 || height_ == 0; }
    // 1 for an ordinary picture; see createSampled().
    int sampleStep() const { return step_; }
    // The size that drawing coordinates refer to.
    int drawWidth() const { return width_ * step_; }
    int drawHeight() const { return height_ * step_; }
    bool sharesPixelsWith(const Bitmap32& other) const {
        return pixels_ && pixels_ == other.pixels_;
    }
    // Names the pixel buffer (the same for every picture sharing it) without touching it.
    const void* pixelsId() const { return pixels_.get(); }
    // True when no other picture shares these pixels, so drawing into them changes no one
    // else's picture.
    bool ownsPixelsAlone() const { return pixels_ && pixels_.use_count() == 1; }

    // Outside the picture reads give 0 and writes are ignored.
    uint32_t pixel(int x, int y) const;
    void setPixel(int x, int y, uint32_t argb);
    void fill(uint32_t argb);
    // Row y of width() pixels; y must be inside the picture.
    uint32_t* row(int y) { return pixels_->data() + size_t(y) * width_; }
    const uint32_t* row(int y) const { return pixels_->data() + size_t(y) * width_; }

    std::vector<PaletteEntry>& palette() { return palette_; }
    const std::vector<PaletteEntry>& palette() const { return palette_; }

    // Shrinks a copy rectangle to both pictures; a width or height of 0 reaches to the
    // source's edge. False when nothing is left.
    bool clip(const Bitmap32& src, int& dstX, int& dstY, int& srcX, int& srcY, int& w,
              int& h) const;
    // Without alpha the source replaces the destination (alpha included); with alpha each
    // colour channel is mixed by the source alpha and the destination keeps its alpha.
    void copy(const Bitmap32& src, int dstX, int dstY, int srcX = 0, int srcY = 0, int w = 0,
              int h = 0, bool useAlpha = false);
    // Blend types: 0 normal, 1 add, 2 subtract; other types and opacity 0 draw nothing.
    void blend(const Bitmap32& src, int type, int opacity, int dstX, int dstY, int srcX = 0,
               int srcY = 0, int w = 0, int h = 0);
    void changeHue(int hueDegrees);
    // Nearest-neighbour resize to floor(side × factor); an empty picture when the result
    // would be empty or too large.
    Bitmap32 scaled(double factor) const;

  private:
    // Selects the row that the per-pixel routines walk next.
    uint32_t* seekRow(int y) { return rowCursor_ = row(y); }
    // The source to read from: a private copy when it shares this picture's pixels, so an
    // overlapping copy reads the pixels as they were before it started.
    const Bitmap32& stableSource(const Bitmap32& src, Bitmap32& holder) const;

    template <class PixelOp>
    void drawPixels(const Bitmap32& from, int dstX, int dstY, int srcX, int srcY, int w, int h,
                    PixelOp op);
    template <class PixelOp>
    void drawSampled(const Bitmap32& from, int dstX, int dstY, int srcX, int srcY, int w, int h,
                     PixelOp op);

    uint16_t width_ = 0;
    uint16_t height_ = 0;
    int step_ = 1;
    std::shared_ptr<PixelVector<uint32_t>> pixels_;
    std::vector<PaletteEntry> palette_;
    uint32_t* rowCursor_ = nullptr;
};

}  // namespace zorvane
