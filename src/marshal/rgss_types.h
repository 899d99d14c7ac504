// The runtime's packed value types (Table, Color, Tone) decoded from user dumps, and the
// RPG::AudioFile object. A decoder that does not recognise its input changes nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "marshal/marshal_value.h"

namespace zorvane {

struct Table {
    int32_t xsize = 0;
    int32_t ysize = 0;
    int32_t zsize = 0;
    int32_t dimensions = 0;
    std::shared_ptr<std::vector<int16_t>> cells;

    bool decode(const uint8_t* payload, size_t length);
    // From a user-dump node of class "Table"; any other node changes nothing.
    bool decode(const MarshalValue& node);
    void encode(MarshalValue& node) const;
    // Cell (x, y, z), or 0 outside the table.
    int16_t at(int32_t x, int32_t y = 0, int32_t z = 0) const;
    void set(int32_t x, int32_t y, int32_t z, int16_t value);
    void resize(int32_t x, int32_t y, int32_t z);
    size_t count() const { return cells ? cells->size() : 0; }
    bool empty() const { return count() == 0; }
};

struct Color {
    double red = 0, green = 0, blue = 0, alpha = 0;
    bool decode(const MarshalValue& node);
};

struct Tone {
    double red = 0, green = 0, blue = 0, gray = 0;
    bool decode(const MarshalValue& node);
};

struct AudioFile {
    std::string name;
    int32_t volume = 100;
    int32_t pitch = 100;
    bool decode(const MarshalValue& node);
};

}  // namespace zorvane
