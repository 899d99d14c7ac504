// Writing a picture file all-or-nothing: the bytes go to a temporary file in the target's
// folder, which is renamed over the target only when everything was written.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace zorvane {

class AtomicFileWriter {
public:
    // Opens the temporary file; check isOpen().
    explicit AtomicFileWriter(const std::string& path);
    // Removes the temporary file unless commit() succeeded.
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    // For libraries that write through stdio themselves.
    FILE* stream() { return file_; }
    bool write(const void* data, size_t size);
    // Flushes, closes and renames into place; false (and nothing left behind) on any error.
    bool commit();

private:
    void discard();

    std::string path_;
    std::string tempPath_;
    FILE* file_ = nullptr;
};

}  // namespace zorvane
