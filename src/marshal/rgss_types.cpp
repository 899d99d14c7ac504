#include "marshal/rgss_types.h"

#include <cstdint>
#include <cstring>
#include <limits>

namespace zorvane {

namespace {

int32_t readInt32(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 |
                                static_cast<uint32_t>(p[3]) << 24);
}

void putInt32(std::string& out, int32_t v) {
    uint32_t u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
}

double readDouble(const uint8_t* p) {
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits |= static_cast<uint64_t>(p[i]) << (8 * i);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

// Colour and tone payloads are four little-endian doubles; a shorter payload is refused.
bool decodeFour(const MarshalValue& node, const char* className, double out[4]) {
    if (node.kind() != MarshalValue::UserDump || node.classNameView() != className) return false;
    const ByteBuffer& b = node.bytes();
    if (b.size() < 32) return false;
    const uint8_t* p = reinterpret_cast<const uint8_t*>(b.data());
    for (int i = 0; i < 4; ++i) out[i] = readDouble(p + 8 * i);
    return true;
}

int32_t dimensionsFor(int32_t ysize, int32_t zsize) {
    if (zsize != 1) return 3;
    return ysize == 1 ? 1 : 2;
}

}  // namespace

bool Table::decode(const uint8_t* payload, size_t length) {
    if (!payload || length < 20) return false;
    int32_t x = readInt32(payload + 4), y = readInt32(payload + 8), z = readInt32(payload + 12);
    int32_t n = readInt32(payload + 16);
    if (x < 0 || y < 0 || z < 0 || n < 0) return false;
    // Sizes come from the file: multiply without overflowing before comparing.
    int64_t xy = static_cast<int64_t>(x) * y;
    if (z != 0 && xy > INT32_MAX / z) return false;
    if (xy * z != n || length != 2 * static_cast<size_t>(n) + 20) return false;
    xsize = x;
    ysize = y;
    zsize = z;
    dimensions = dimensionsFor(y, z);
    auto buf = std::make_shared<std::vector<int16_t>>(static_cast<size_t>(n));
    const uint8_t* p = payload + 20;
    for (size_t i = 0; i < buf->size(); ++i)
        (*buf)[i] = static_cast<int16_t>(static_cast<uint16_t>(p[2 * i]) |
                                         static_cast<uint16_t>(p[2 * i + 1]) << 8);
    cells = std::move(buf);
    return true;
}

bool Table::decode(const MarshalValue& node) {
    if (node.kind() != MarshalValue::UserDump || node.classNameView() != "Table") return false;
    const ByteBuffer& b = node.bytes();
    return decode(reinterpret_cast<const uint8_t*>(b.data()), b.size());
}

void Table::encode(MarshalValue& node) const {
    std::string payload;
    payload.reserve(20 + 2 * count());
    putInt32(payload, dimensions);
    putInt32(payload, xsize);
    putInt32(payload, ysize);
    putInt32(payload, zsize);
    putInt32(payload, static_cast<int32_t>(static_cast<int64_t>(xsize) * ysize * zsize));
    for (size_t i = 0; i < count(); ++i) {
        uint16_t u = static_cast<uint16_t>((*cells)[i]);
        payload.push_back(static_cast<char>(u & 0xFF));
        payload.push_back(static_cast<char>(u >> 8));
    }
    MarshalValue cls;
    cls.setSymbol("Table");
    node.setUserDump(cls, std::move(payload));
}

int16_t Table::at(int32_t x, int32_t y, int32_t z) const {
    if (!cells || x < 0 || y < 0 || z < 0 || x >= xsize || y >= ysize || z >= zsize) return 0;
    return (*cells)[static_cast<size_t>(x) + static_cast<size_t>(y) * xsize +
                    static_cast<size_t>(z) * xsize * ysize];
}

void Table::set(int32_t x, int32_t y, int32_t z, int16_t value) {
    if (!cells || x < 0 || y < 0 || z < 0 || x >= xsize || y >= ysize || z >= zsize) return;
    if (cells.use_count() > 1) cells = std::make_shared<std::vector<int16_t>>(*cells);
    (*cells)[static_cast<size_t>(x) + static_cast<size_t>(y) * xsize +
             static_cast<size_t>(z) * xsize * ysize] = value;
}

void Table::resize(int32_t x, int32_t y, int32_t z) {
    xsize = x;
    ysize = y;
    zsize = z;
    dimensions = dimensionsFor(y, z);
    cells = std::make_shared<std::vector<int16_t>>(static_cast<size_t>(x) * y * z, 0);
}

bool Color::decode(const MarshalValue& node) {
    double v[4];
    if (!decodeFour(node, "Color", v)) return false;
    red = v[0], green = v[1], blue = v[2], alpha = v[3];
    return true;
}

bool Tone::decode(const MarshalValue& node) {
    double v[4];
    if (!decodeFour(node, "Tone", v)) return false;
    red = v[0], green = v[1], blue = v[2], gray = v[3];
    return true;
}

bool AudioFile::decode(const MarshalValue& node) {
    if (node.kind() != MarshalValue::Object || node.classNameView() != "RPG::AudioFile") return false;
    if (const MarshalValue* v = node.findIvar("@name")) name = v->text();
    if (const MarshalValue* v = node.findIvar("@volume"))
        volume = static_cast<int32_t>(v->integer());
    if (const MarshalValue* v = node.findIvar("@pitch")) pitch = static_cast<int32_t>(v->integer());
    return true;
}

}  // namespace zorvane
