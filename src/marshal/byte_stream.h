// A byte source and sink over a memory buffer or an open file: what the Marshal reader
// reads from. Reads past the end deliver nothing; the reader treats that as a failure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace zorvane {

class ByteStream {
  public:
    ByteStream() = default;
    ~ByteStream() { close(); }
    ByteStream(const ByteStream&) = delete;
    ByteStream& operator=(const ByteStream&) = delete;

    // Refuses when already open or when the buffer or size is zero.
    bool attach(const void* buffer, size_t size);
    bool openFile(const std::string& path, bool forWrite);
    size_t read(void* dst, size_t n);
    size_t write(const void* src, size_t n);
    // origin 0: from the start, 1: from the current position, 2: back from the end.
    void seek(int64_t offset, int origin);
    bool atEnd() const;
    void close();

    bool isOpen() const { return open_; }
    size_t position() const { return pos_; }
    size_t size() const { return size_; }
    // The memory buffer, or null in file mode: lets the reader parse without copying.
    const uint8_t* data() const { return fileMode_ ? nullptr : mem_; }

  private:
    const uint8_t* mem_ = nullptr;
    uint8_t* writable_ = nullptr;
    std::FILE* file_ = nullptr;
    size_t size_ = 0;
    size_t pos_ = 0;
    bool open_ = false;
    bool fileMode_ = false;
    bool writeMode_ = false;
};

}  // namespace zorvane
