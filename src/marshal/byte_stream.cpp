#include "marshal/byte_stream.h"

#include <algorithm>
#include <cstring>

namespace zorvane {

bool ByteStream::attach(const void* buffer, size_t size) {
    if (open_ || !buffer || size == 0) return false;
    mem_ = static_cast<const uint8_t*>(buffer);
    size_ = size;
    pos_ = 0;
    open_ = true;
    fileMode_ = false;
    writeMode_ = false;
    return true;
}

bool ByteStream::openFile(const std::string& path, bool forWrite) {
    if (open_) return false;
    file_ = std::fopen(path.c_str(), forWrite ? "wb" : "rb");
    if (!file_) return false;
    size_ = 0;
    if (!forWrite) {
        if (std::fseek(file_, 0, SEEK_END) == 0) {
            long end = std::ftell(file_);
            size_ = end > 0 ? static_cast<size_t>(end) : 0;
        }
        std::fseek(file_, 0, SEEK_SET);
    }
    pos_ = 0;
    open_ = true;
    fileMode_ = true;
    writeMode_ = forWrite;
    return true;
}

size_t ByteStream::read(void* dst, size_t n) {
    if (!open_ || writeMode_ || !dst || n == 0 || pos_ >= size_) return 0;
    size_t take = std::min(n, size_ - pos_);
    if (fileMode_) {
        take = std::fread(dst, 1, take, file_);
    } else {
        std::memcpy(dst, mem_ + pos_, take);
    }
    pos_ += take;
    return take;
}

size_t ByteStream::write(const void* src, size_t n) {
    if (!open_ || !src || n == 0) return 0;
    if (fileMode_) {
        if (!writeMode_) return 0;
        size_t put = std::fwrite(src, 1, n, file_);
        pos_ += put;
        size_ = std::max(size_, pos_);
        return put;
    }
    if (!writable_ || pos_ >= size_) return 0;
    size_t put = std::min(n, size_ - pos_);
    std::memcpy(writable_ + pos_, src, put);
    pos_ += put;
    return put;
}

void ByteStream::seek(int64_t offset, int origin) {
    if (!open_) return;
    int64_t target = 0;
    if (origin == 0)
        target = offset;
    else if (origin == 1)
        target = static_cast<int64_t>(pos_) + offset;
    else
        target = static_cast<int64_t>(size_) - offset;
    target = std::clamp<int64_t>(target, 0, static_cast<int64_t>(size_));
    pos_ = static_cast<size_t>(target);
    if (fileMode_) std::fseek(file_, static_cast<long>(pos_), SEEK_SET);
}

bool ByteStream::atEnd() const {
    return !open_ || pos_ >= size_;
}

void ByteStream::close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    mem_ = nullptr;
    writable_ = nullptr;
    size_ = pos_ = 0;
    open_ = fileMode_ = writeMode_ = false;
}

}  // namespace zorvane
