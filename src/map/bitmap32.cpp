// Bitmap32: allocation, pixel access and the pixel operations of map drawing. The channel
// formulas are integer ones on purpose: cells must come out the same on every run.
#include "map/bitmap32.h"

#include <sys/mman.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

namespace zorvane {

namespace {

constexpr size_t kHugePage = size_t(2) << 20;

}  // namespace

void* allocateHugePages(size_t bytes) {
    if (bytes > std::numeric_limits<size_t>::max() - kHugePage) return nullptr;
    const size_t size = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* memory = std::aligned_alloc(kHugePage, size);
#ifdef MADV_HUGEPAGE
    if (memory) ::madvise(memory, size, MADV_HUGEPAGE);
#endif
    return memory;
}

void* allocatePixelBytes(size_t bytes) {
    if (bytes < kHugePage) return ::operator new(bytes);
    void* pixels = allocateHugePages(bytes);
    if (!pixels) throw std::bad_alloc();
    return pixels;
}

void freePixelBytes(void* pixels, size_t bytes) {
    if (bytes < kHugePage)
        ::operator delete(pixels);
    else
        std::free(pixels);
}

bool pictureSizeAllowed(long long width, long long height, size_t bytesPerPixel) {
    if (width < 0 || height < 0 || width > kMaxPictureSide || height > kMaxPictureSide)
        return false;
    // Both sides fit in 16 bits, so this product cannot overflow 64 bits; it can still
    // exceed what size_t addresses on a 32-bit machine.
    unsigned long long bytes = (unsigned long long)width * (unsigned long long)height;
    return bytes <= std::numeric_limits<size_t>::max() / bytesPerPixel;
}

bool Bitmap32::create(int width, int height) {
    reset();
    if (!pictureSizeAllowed(width, height, sizeof(uint32_t))) return false;
    pixels_ = allocatePixels<uint32_t>(size_t(width) * size_t(height));
    if (!pixels_) return false;
    width_ = uint16_t(width);
    height_ = uint16_t(height);
    return true;
}

bool Bitmap32::createSampled(int drawWidth, int drawHeight, int step) {
    if (step < 1 || drawWidth % step != 0 || drawHeight % step != 0) {
        reset();
        return false;
    }
    if (!create(drawWidth / step, drawHeight / step)) return false;
    step_ = step;
    return true;
}

void Bitmap32::reset() {
    width_ = height_ = 0;
    step_ = 1;
    pixels_.reset();
    palette_.clear();
    rowCursor_ = nullptr;
}

Bitmap32 Bitmap32::clone() const {
    Bitmap32 copy;
    copy.width_ = width_;
    copy.height_ = height_;
    copy.step_ = step_;
    copy.palette_ = palette_;
    if (pixels_) copy.pixels_ = std::make_shared<PixelVector<uint32_t>>(*pixels_);
    return copy;
}

uint32_t Bitmap32::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return row(y)[x];
}

void Bitmap32::setPixel(int x, int y, uint32_t argb) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    row(y)[x] = argb;
}

void Bitmap32::fill(uint32_t argb) {
    if (pixels_) std::fill(pixels_->begin(), pixels_->end(), argb);
}

namespace {

// Moves a rectangle edge so that its start is not negative on either side. In 64 bits:
// positions come from stored numbers and may be anywhere in the int range.
void clipStart(int64_t& dst, int64_t& src, int64_t& len) {
    if (src < 0) {
        dst -= src;
        len += src;
        src = 0;
    }
    if (dst < 0) {
        src -= dst;
        len += dst;
        dst = 0;
    }
}

// (a × (m − d) + 255 × d + 255) >> 8: d moved towards m by the source alpha a.
inline uint32_t mixByAlpha(uint32_t a, int m, int d) {
    return uint32_t((int(a) * (m - d) + 255 * d + 255) >> 8);
}

inline uint32_t alphaMixPixel(uint32_t s, uint32_t d) {
    uint32_t a = alphaOf(s);
    // The formula gives exactly s for a = 255 and d for a = 0, the usual cases.
    if (a == 255) return (d & 0xFF000000u) | (s & 0x00FFFFFFu);
    if (a == 0) return d;
    return (d & 0xFF000000u) | (mixByAlpha(a, redOf(s), redOf(d)) << 16) |
           (mixByAlpha(a, greenOf(s), greenOf(d)) << 8) | mixByAlpha(a, blueOf(s), blueOf(d));
}

// The channel mixes of the blend types, as types so that each blend loop is compiled with
// its own mix inlined.
struct MixNormal {
    static int mix(int s, int d, int opacity) { return (d * (255 - opacity) + s * opacity) / 255; }
};
struct MixAdd {
    static int mix(int s, int d, int opacity) { return std::min(255, d + s * opacity / 255); }
};
struct MixSubtract {
    static int mix(int s, int d, int opacity) { return std::max(0, d - s * opacity / 255); }
};

template <class Mix>
inline uint32_t blendPixel(uint32_t s, uint32_t d, int opacity) {
    const uint32_t a = alphaOf(s);
    // mixByAlpha gives d itself for a = 0: a clear source pixel leaves d as it is.
    if (a == 0) return d;
    auto channel = [&](int shift) {
        int sc = int((s >> shift) & 0xFF), dc = int((d >> shift) & 0xFF);
        return mixByAlpha(a, Mix::mix(sc, dc, opacity), dc) << shift;
    };
    return (d & 0xFF000000u) | channel(16) | channel(8) | channel(0);
}

}  // namespace

bool Bitmap32::clip(const Bitmap32& src, int& dstX, int& dstY, int& srcX, int& srcY, int& w,
                    int& h) const {
    int64_t dx = dstX, dy = dstY, sx = srcX, sy = srcY, cw = w, ch = h;
    if (cw == 0) cw = src.drawWidth() - sx;
    if (ch == 0) ch = src.drawHeight() - sy;
    clipStart(dx, sx, cw);
    clipStart(dy, sy, ch);
    cw = std::min({cw, int64_t(src.drawWidth()) - sx, int64_t(drawWidth()) - dx});
    ch = std::min({ch, int64_t(src.drawHeight()) - sy, int64_t(drawHeight()) - dy});
    if (cw <= 0 || ch <= 0) return false;
    // Everything now lies inside both pictures.
    dstX = int(dx), dstY = int(dy), srcX = int(sx), srcY = int(sy), w = int(cw), h = int(ch);
    return true;
}

const Bitmap32& Bitmap32::stableSource(const Bitmap32& src, Bitmap32& holder) const {
    if (!sharesPixelsWith(src)) return src;
    holder = src.clone();
    return holder;
}

// The kept pixels of the clipped rectangle, each given its source pixel; the source is an
// ordinary picture.
template <class PixelOp>
void Bitmap32::drawSampled(const Bitmap32& from, int dstX, int dstY, int srcX, int srcY, int w,
                           int h, PixelOp op) {
    const int step = step_;
    const int firstX = (dstX + step - 1) / step * step, firstY = (dstY + step - 1) / step * step;
    // The kept pixel of column x is d[x / step]: walked alongside rather than divided for.
    for (int y = firstY; y < dstY + h; y += step) {
        uint32_t* d = row(y / step) + firstX / step;
        const uint32_t* s = from.row(srcY + y - dstY) + (srcX - dstX);
        for (int x = firstX; x < dstX + w; x += step, ++d) *d = op(s[x], *d);
    }
}

// The clipped rectangle's pixels, each given its source pixel, on a full or a reduced picture.
template <class PixelOp>
void Bitmap32::drawPixels(const Bitmap32& from, int dstX, int dstY, int srcX, int srcY, int w,
                          int h, PixelOp op) {
    if (step_ != 1) {
        drawSampled(from, dstX, dstY, srcX, srcY, w, h, op);
        return;
    }
    for (int y = 0; y < h; ++y) {
        uint32_t* d = seekRow(dstY + y) + dstX;
        const uint32_t* s = from.row(srcY + y) + srcX;
        for (int x = 0; x < w; ++x) d[x] = op(s[x], d[x]);
    }
}

void Bitmap32::copy(const Bitmap32& src, int dstX, int dstY, int srcX, int srcY, int w, int h,
                    bool useAlpha) {
    if (empty() || src.empty() || src.step_ != 1 || !clip(src, dstX, dstY, srcX, srcY, w, h))
        return;
    Bitmap32 holder;
    const Bitmap32& from = stableSource(src, holder);
    if (useAlpha) {
        drawPixels(from, dstX, dstY, srcX, srcY, w, h,
                   [](uint32_t s, uint32_t d) { return alphaMixPixel(s, d); });
    } else if (step_ != 1) {
        drawSampled(from, dstX, dstY, srcX, srcY, w, h, [](uint32_t s, uint32_t) { return s; });
    } else {
        for (int y = 0; y < h; ++y)
            std::memcpy(seekRow(dstY + y) + dstX, from.row(srcY + y) + srcX,
                        size_t(w) * sizeof(uint32_t));
    }
}

void Bitmap32::blend(const Bitmap32& src, int type, int opacity, int dstX, int dstY, int srcX,
                     int srcY, int w, int h) {
    if (opacity <= 0 || type < 0 || type > 2) return;
    opacity = std::min(opacity, 255);
    if (empty() || src.empty() || src.step_ != 1 || !clip(src, dstX, dstY, srcX, srcY, w, h))
        return;
    Bitmap32 holder;
    const Bitmap32& from = stableSource(src, holder);
    auto run = [&](auto mix) {
        using Mix = decltype(mix);
        drawPixels(from, dstX, dstY, srcX, srcY, w, h,
                   [opacity](uint32_t s, uint32_t d) { return blendPixel<Mix>(s, d, opacity); });
    };
    if (type == 0)
        run(MixNormal{});
    else if (type == 1)
        run(MixAdd{});
    else
        run(MixSubtract{});
}

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2 * kPi;

struct Hsv {
    double h, s, v;
};

// Hexcone model with the hue in radians. Greys have no hue; they get 0 so that the way
// back stays a grey instead of dividing by a zero spread.
Hsv toHsv(double r, double g, double b) {
    double max = std::max({r, g, b}), min = std::min({r, g, b}), delta = max - min;
    Hsv out{0, max > 0 ? delta / max : 0, max};
    if (delta <= 0) return out;
    if (max == r)
        out.h = (g - b) / delta;
    else if (max == g)
        out.h = 2 + (b - r) / delta;
    else
        out.h = 4 + (r - g) / delta;
    out.h *= kPi / 3;
    if (out.h < 0) out.h += kTwoPi;
    return out;
}

uint32_t fromHsv(const Hsv& c, uint32_t alpha) {
    double scaledHue = c.h * 3 / kPi;
    int sector = int(std::floor(scaledHue));
    double f = scaledHue - sector;
    sector = std::clamp(sector, 0, 5);  // a hue of exactly 2π after rounding
    double v = c.v, p = v * (1 - c.s), q = v * (1 - c.s * f), t = v * (1 - c.s * (1 - f));
    const double rgb[6][3] = {{v, t, p}, {q, v, p}, {p, v, t}, {p, q, v}, {t, p, v}, {v, p, q}};
    auto channel = [](double x) { return uint32_t(std::clamp(int(x * 255), 0, 255)); };
    return (alpha << 24) | (channel(rgb[sector][0]) << 16) | (channel(rgb[sector][1]) << 8) |
           channel(rgb[sector][2]);
}

}  // namespace

void Bitmap32::changeHue(int hueDegrees) {
    if (hueDegrees == 0 || empty()) return;
    const double shift = hueDegrees * kPi / 180;
    const double k = 1.0 / 255;
    for (int y = 0; y < height_; ++y) {
        uint32_t* p = seekRow(y);
        for (int x = 0; x < width_; ++x) {
            Hsv c = toHsv(redOf(p[x]) * k, greenOf(p[x]) * k, blueOf(p[x]) * k);
            // fmod rather than one wrap, so that any hue value lands inside 0..2π.
            c.h = std::fmod(c.h + shift, kTwoPi);
            if (c.h < 0) c.h += kTwoPi;
            p[x] = fromHsv(c, alphaOf(p[x]));
        }
    }
}

Bitmap32 Bitmap32::scaled(double factor) const {
    if (factor == 1) return clone();
    Bitmap32 out;
    if (!(factor > 0) || empty()) return out;
    double w = std::floor(width_ * factor), h = std::floor(height_ * factor);
    if (w < 1 || h < 1 || w > kMaxPictureSide || h > kMaxPictureSide) return out;
    if (!out.create(int(w), int(h))) return out;
    for (int y = 0; y < out.height_; ++y) {
        int sy = std::min(int(std::floor(y / factor)), height_ - 1);
        const uint32_t* s = row(sy);
        uint32_t* d = out.row(y);
        for (int x = 0; x < out.width_; ++x)
            d[x] = s[std::min(int(std::floor(x / factor)), width_ - 1)];
    }
    out.palette_ = palette_;
    return out;
}

}  // namespace zorvane
