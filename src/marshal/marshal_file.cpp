#include "marshal/marshal_file.h"

#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <fstream>
#include <memory>

#include "marshal/marshal_reader.h"
#include "marshal/marshal_writer.h"

namespace zorvane {

MarshalFile::MarshalFile() : state_(std::make_unique<State>()) {}
MarshalFile::~MarshalFile() = default;
// A moved-from file is empty, not broken: it may still be asked whether it is loaded.
MarshalFile::MarshalFile(MarshalFile&& other) noexcept : state_(std::move(other.state_)) {
    other.state_ = std::make_unique<State>();
}

MarshalFile& MarshalFile::operator=(MarshalFile&& other) noexcept {
    if (this != &other) {
        state_ = std::move(other.state_);
        other.state_ = std::make_unique<State>();
    }
    return *this;
}

void MarshalFile::clear() { state_ = std::make_unique<State>(); }

bool MarshalFile::loadFromBuffer(std::string_view bytes) {
    std::string keepPath = state_->path;
    clear();
    state_->path = keepPath;
    if (bytes.empty()) {
        state_->error.code = MarshalError::Code::EmptyFile;
        return false;
    }
    MarshalReader reader;
    if (!reader.readAll(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                        state_->root, state_->index)) {
        state_->error = reader.error();
        state_->root.reset();
        state_->index.clear();
        return false;
    }
    state_->loaded = true;
    return true;
}

namespace {
// The whole file in one read into a buffer of its size.
bool readFileBytes(const std::string& path, std::string& out) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!f || std::fseek(f.get(), 0, SEEK_END) != 0) return false;
    long size = std::ftell(f.get());
    if (size < 0 || std::fseek(f.get(), 0, SEEK_SET) != 0) return false;
    out.resize(static_cast<size_t>(size));
    return std::fread(out.data(), 1, out.size(), f.get()) == out.size();
}
}  // namespace

bool MarshalFile::load(const std::string& path) {
    // The bytes are only needed while parsing: one buffer per thread is reused, so reading
    // hundreds of map files does not allocate and free a large block for each.
    thread_local std::string bytes;
    if (!readFileBytes(path, bytes)) {
        clear();
        state_->error.code = MarshalError::Code::CannotOpen;
        return false;
    }
    state_->path.clear();
    bool ok = loadFromBuffer(bytes);
    if (bytes.capacity() > (size_t{64} << 20)) std::string().swap(bytes);  // keep no huge buffer
    if (!ok) {
        state_->path.clear();
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
    if (!writer.writeAll(out, state_->root, &state_->index)) {
        state_->error = writer.error();
        return false;
    }
    return true;
}

bool MarshalFile::save(const std::string& path) {
    std::string bytes;
    if (!serialize(bytes)) return false;
    // Write beside the target and rename, so the old file survives any failure.
    std::string tmp = path + ".tmp-" + std::to_string(::getpid());
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (out) out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out || !out.flush()) {
            out.close();
            std::remove(tmp.c_str());
            state_->error.code = MarshalError::Code::WriteFailed;
            return false;
        }
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        std::remove(tmp.c_str());
        state_->error.code = MarshalError::Code::WriteFailed;
        return false;
    }
    return true;
}

MarshalValue* MarshalFile::find(const char* format, ...) const {
    char buf[ValuePathIndex::kMaxPathBytes + 1];
    va_list ap;
    va_start(ap, format);
    int n = std::vsnprintf(buf, sizeof buf, format, ap);
    va_end(ap);
    if (n < 0 || static_cast<size_t>(n) > ValuePathIndex::kMaxPathBytes) return nullptr;
    return state_->index.findPath(std::string_view(buf, static_cast<size_t>(n)));
}

}  // namespace zorvane
