// One .rxdata file in memory: its path, its bytes and tree in one arena, and the path index
// over that tree. Loading never reports a half-read tree as success; saving goes through a
// temporary file, so a failed save leaves the old file as it was. Values taken from the
// tree are views into the arena: they are valid while this file holds the tree.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "marshal/marshal_error.h"
#include "marshal/marshal_reader.h"
#include "marshal/marshal_value.h"
#include "marshal/value_path_index.h"

namespace zorvane {

class MarshalFile {
  public:
    MarshalFile();
    ~MarshalFile();
    MarshalFile(MarshalFile&&) noexcept;
    MarshalFile& operator=(MarshalFile&&) noexcept;
    MarshalFile(const MarshalFile&) = delete;
    MarshalFile& operator=(const MarshalFile&) = delete;

    // Limits for compressed strings of the next load (a project shares one budget).
    void setInflateLimits(const InflateLimits& limits) { limits_ = limits; }
    // Data files far beyond any real project's are refused before they are read.
    static constexpr uint64_t kMaxFileBytes = uint64_t(64) << 20;

    // Only a regular file of at most kMaxFileBytes is read. Loading again replaces the tree
    // (views into the old one end) and reuses its memory.
    bool load(const std::string& path);
    bool loadFromBuffer(std::string_view bytes);
    bool save(const std::string& path);
    // The bytes that save() would write.
    bool serialize(std::string& out);

    bool loaded() const { return state_->loaded; }
    const std::string& path() const { return state_->path; }
    MarshalValue& root() { return *state_->root; }
    const MarshalValue& root() const { return *state_->root; }
    // Bytes held by the tree's arena, the file's own bytes included.
    size_t treeBytes() const;
    const ValuePathIndex& index() const { return state_->index; }
    const MarshalError& error() const { return state_->error; }
    void clear();

    MarshalValue* find(const char* format, ...) const __attribute__((format(printf, 2, 3)));

  private:
    struct State {
        std::string path;
        bool loaded = false;
        std::unique_ptr<MarshalArena> arena;
        MarshalValue empty;
        MarshalValue* root = &empty;  // inside the arena once loaded
        ValuePathIndex index;         // points into the tree: State never moves
        MarshalError error;
    };
    bool readInto(State& state, const uint8_t* data, size_t size);

    std::unique_ptr<State> state_;
    InflateLimits limits_;
};

}  // namespace zorvane
