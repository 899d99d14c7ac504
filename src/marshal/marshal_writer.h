// Writes MarshalValue trees back as Ruby Marshal 4.8 streams: the mirror of the reader,
// with the same packed integers and object numbering. Nodes that came from a file and were
// not changed are written byte for byte as they were read.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "marshal/marshal_error.h"
#include "marshal/marshal_value.h"
#include "marshal/value_path_index.h"

namespace zorvane {

class MarshalWriter {
  public:
    // Appends every top-level value of root to out; false (with error()) at the first value
    // that cannot be written. index may be null (links are then written as stored).
    bool writeAll(std::string& out, const MarshalValue& root, const ValuePathIndex* index);
    const MarshalError& error() const { return error_; }

    static void writeLong(std::string& out, int32_t n);

  private:
    bool writeValue(const MarshalValue& node);
    void writeBytes(std::string_view bytes);
    void writeSymbol(std::string_view name);
    bool writePair(const ValuePair& pair, bool restrictWrapped);
    bool writePairs(const PairArray& pairs);
    void writeBignum(const MarshalValue& node);
    void writeFloat(const MarshalValue& node);
    void remember(const MarshalValue& node);
    bool fail(MarshalError::Code code, int byte = -1);

    std::string* out_ = nullptr;
    const ValuePathIndex* index_ = nullptr;
    size_t top_ = 0;
    std::unordered_map<std::string_view, int32_t> symbols_;  // names live in the tree
    std::unordered_map<const MarshalValue*, int32_t> objects_;
    MarshalError error_;
};

}  // namespace zorvane
