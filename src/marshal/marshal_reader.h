// Reads Ruby Marshal 4.8 streams into MarshalValue trees. A file may hold several dumps one
// after another; each has its own symbol and object numbering. Any malformed or short input
// fails the whole read with a MarshalError; nothing half-read is ever reported as success.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "marshal/marshal_error.h"
#include "marshal/marshal_value.h"
#include "marshal/value_path_index.h"

namespace zorvane {

class ByteStream;

class MarshalReader {
public:
    // Deeper nesting than this is refused rather than risking the stack.
    static constexpr int kMaxDepth = 2000;
    // Compressed strings may not inflate beyond this.
    static constexpr size_t kMaxInflated = size_t{256} << 20;

    // A lower cap for compressed strings (tests use it to check the cap cheaply).
    void setInflateLimit(size_t bytes) { inflateLimit_ = bytes; }

    bool readAll(ByteStream& stream, MarshalValue& root, ValuePathIndex& index);
    bool readAll(const uint8_t* data, size_t size, MarshalValue& root, ValuePathIndex& index);
    const MarshalError& error() const { return error_; }

private:
    bool readValue(MarshalValue& node, int depth);
    bool readByte(int& out);
    bool readLong(int32_t& out);
    bool readCount(int32_t& out, size_t minBytesEach);
    bool readBytes(std::string& out, std::string* storedForm);
    bool readSymbolText(std::string& out);
    bool readSymbol(MarshalValue& node);
    bool readPair(ValuePair& pair, bool restrictWrapped, int depth);
    bool readPairs(MarshalValue& node, int depth);
    bool readBignum(MarshalValue& node);
    bool readFloat(MarshalValue& node);
    bool fail(MarshalError::Code code, int byte = -1);
    bool readPathlessChild(MarshalValue& node, int depth);
    void registerObject(const MarshalValue& node);

    struct PathlessScope {
        explicit PathlessScope(int& depth) : depth_(depth) { ++depth_; }
        ~PathlessScope() { --depth_; }
        int& depth_;
    };

    const uint8_t* begin_ = nullptr;
    const uint8_t* p_ = nullptr;
    const uint8_t* end_ = nullptr;
    std::vector<std::string> symbols_;
    TopLevelObjects current_;
    size_t inflateLimit_ = kMaxInflated;
    int pathless_ = 0;  // > 0 while reading contents that have no path in the index
    MarshalError error_;
};

}  // namespace zorvane
