#include "marshal/marshal_file.h"

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <new>

#include "marshal/marshal_arena.h"
#include "marshal/marshal_writer.h"
#include "platform/atomic_file.h"
#include "platform/file_util.h"
#include "platform/string_util.h"

namespace zorvane {

MarshalFile::MarshalFile() : state_(std::make_unique<State>()) {}
MarshalFile::~MarshalFile() = default;
// A moved-from file is empty, not broken: it may still be asked whether it is loaded.
MarshalFile::MarshalFile(MarshalFile&& other) noexcept
    : state_(std::move(other.state_)), limits_(other.limits_) {
    other.state_ = std::make_unique<State>();
}

MarshalFile& MarshalFile::operator=(MarshalFile&& other) noexcept {
    if (this != &other) {
        state_ = std::move(other.state_);
        limits_ = other.limits_;
        other.state_ = std::make_unique<State>();
    }
    return *this;
}

void MarshalFile::clear() {
    state_ = std::make_unique<State>();
}

size_t MarshalFile::treeBytes() const {
    return state_->arena ? state_->arena->reservedBytes() : 0;
}

namespace {
// A first block that holds a typical tree of this many file bytes, so most files need one
// or two blocks.
size_t firstBlockFor(size_t fileBytes) {
    return fileBytes * 6 + (size_t{64} << 10);
}
}  // namespace

bool MarshalFile::readInto(State& state, const uint8_t* data, size_t size) {
    MarshalReader reader;
    reader.setLimits(limits_);
    MarshalValue* root = nullptr;
    if (!reader.readAll(*state.arena, data, size, root, state.index)) {
        state.error = reader.error();
        state.index.clear();
        state.arena.reset();
        return false;
    }
    state.root = root;
    state.loaded = true;
    return true;
}

bool MarshalFile::loadFromBuffer(std::string_view bytes) {
    auto fresh = std::make_unique<State>();
    fresh->path = state_->path;
    state_ = std::move(fresh);
    if (bytes.empty()) {
        state_->error.code = MarshalError::Code::EmptyFile;
        return false;
    }
    state_->arena = std::make_unique<MarshalArena>(firstBlockFor(bytes.size()));
    std::string_view kept = state_->arena->copy(bytes);  // the tree points into its bytes
    return readInto(*state_, reinterpret_cast<const uint8_t*>(kept.data()), kept.size());
}

bool MarshalFile::load(const std::string& path) {
    // A file object read again keeps its arena's largest block: reading many files in turn
    // through one object then faults in fresh pages only for the largest tree.
    std::unique_ptr<MarshalArena> reused = std::move(state_->arena);
    clear();
    std::string why;
    uint64_t size = 0;
    StdioFile f = openRegularFile(path, kMaxFileBytes, &why, &size);
    if (!f) {
        state_->error.code = MarshalError::Code::CannotOpen;
        state_->error.detail = why;
        return false;
    }
    if (size == 0) {
        state_->error.code = MarshalError::Code::EmptyFile;
        return false;
    }
    // The file is read straight into the tree's arena: strings stay where they were read.
    // A tree too big for the memory left fails this file only.
    try {
        auto n = static_cast<size_t>(size);
        if (reused) {
            reused->reset(firstBlockFor(n));
            state_->arena = std::move(reused);
        } else {
            state_->arena = std::make_unique<MarshalArena>(firstBlockFor(n));
        }
        auto* data = static_cast<uint8_t*>(state_->arena->allocate(n, 1));
        if (std::fread(data, 1, n, f.get()) != n) {
            state_->arena.reset();
            state_->error.code = MarshalError::Code::CannotOpen;
            return false;
        }
        if (!readInto(*state_, data, n)) return false;
    } catch (const std::bad_alloc&) {
        clear();
        state_->error.code = MarshalError::Code::OutOfMemory;
        return false;
    }
    state_->path = path;
    return true;
}

bool MarshalFile::serialize(std::string& out) {
    out.clear();
    if (!state_->loaded) {
        state_->error.code = MarshalError::Code::NotLoaded;
        return false;
    }
    MarshalWriter writer;
    if (!writer.writeAll(out, *state_->root, &state_->index)) {
        state_->error = writer.error();
        return false;
    }
    return true;
}

bool MarshalFile::save(const std::string& path) {
    std::string bytes;
    if (!serialize(bytes)) return false;
    // Beside the target and renamed into place, so the old file survives any failure.
    if (!writeFileAtomic(path, bytes)) {
        state_->error.code = MarshalError::Code::WriteFailed;
        return false;
    }
    return true;
}

MarshalValue* MarshalFile::find(const char* format, ...) const {
    va_list ap;
    va_start(ap, format);
    std::string path = formatList(format, ap);
    va_end(ap);
    return state_->index.findPath(path);
}

}  // namespace zorvane
