// Reads Ruby Marshal 4.8 streams into MarshalValue trees built in an arena. A file may hold
// several dumps one after another; each has its own symbol and object numbering. Any
// malformed or short input fails the whole read with a MarshalError; nothing half-read is
// ever reported as success. Strings and dump payloads are not copied: the nodes point into
// the bytes read, which must live in the same arena.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "marshal/marshal_error.h"
#include "marshal/marshal_value.h"
#include "marshal/value_path_index.h"

namespace zorvane {

class MarshalArena;

// What compressed strings may inflate to, so a small file cannot take gigabytes.
struct InflateLimits {
    static constexpr size_t kPerString = size_t{256} << 20;
    static constexpr size_t kPerFile = size_t{256} << 20;
    static constexpr size_t kPerProject = size_t{512} << 20;

    size_t perString = kPerString;
    size_t perFile = kPerFile;
    // Shared by the files of one project open; null for a file read on its own.
    std::atomic<size_t>* projectLeft = nullptr;
};

class MarshalReader {
  public:
    // Deeper nesting than this is refused rather than risking the stack.
    static constexpr int kMaxDepth = 2000;

    void setLimits(const InflateLimits& limits) { limits_ = limits; }
    // A lower cap per compressed string (tests use it to check the cap cheaply).
    void setInflateLimit(size_t bytes) { limits_.perString = bytes; }

    // data must stay valid as long as arena: the tree points into it. root is set to a
    // node inside the arena.
    bool readAll(MarshalArena& arena, const uint8_t* data, size_t size, MarshalValue*& root,
                 ValuePathIndex& index);
    const MarshalError& error() const { return error_; }

  private:
    using Text = MarshalValue::Text;

    bool readValue(MarshalValue& node, int depth);
    bool readByte(int& out);
    bool readLong(int32_t& out);
    bool readCount(int32_t& out, size_t minBytesEach);
    bool readBytes(std::string_view& out);
    bool readString(MarshalValue& node);
    bool inflateString(MarshalValue& node, std::string_view stored);
    bool readSymbolText(const Text*& out);
    bool readSymbol(MarshalValue& node, int32_t kind);
    bool readPair(ValuePair& pair, bool restrictWrapped, int depth);
    bool readPairs(MarshalValue& node, int depth);
    bool readBignum(MarshalValue& node);
    bool readFloat(MarshalValue& node);
    bool fail(MarshalError::Code code, int byte = -1);
    bool readPathlessChild(MarshalValue*& child, int depth);
    void registerObject(const MarshalValue& node);

    MarshalArena* arena_ = nullptr;
    const uint8_t* begin_ = nullptr;
    const uint8_t* p_ = nullptr;
    const uint8_t* end_ = nullptr;
    std::vector<const Text*> symbols_;
    TopLevelObjects current_;
    InflateLimits limits_;
    size_t inflated_ = 0;
    MarshalError error_;
};

}  // namespace zorvane
