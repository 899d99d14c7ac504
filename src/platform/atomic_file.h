// Every file written for the user goes to a temporary file in the same folder and is
// renamed into place, so a failed or aborted write never leaves half a file.
#pragma once
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace zorvane {

class AtomicFileWriter {
  public:
    AtomicFileWriter() = default;
    explicit AtomicFileWriter(const std::string& path) { open(path); }
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    bool open(const std::string& path);
    bool write(std::string_view bytes);
    // Makes what was written durable in the temporary file (flush and fsync) before
    // commit(), for callers that must know the new file is whole before they go on.
    bool sync();
    // Flushes and renames into place; false (and nothing changed) on any failure.
    bool commit();
    // Removes the temporary file; the target stays as it was.
    void abort();
    bool isOpen() const { return file_ != nullptr; }
    bool failed() const { return failed_; }

  private:
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, FileCloser> file_;
    std::string path_;
    std::string tempPath_;
    bool failed_ = false;
};

bool writeFileAtomic(const std::string& path, std::string_view bytes);

}  // namespace zorvane
