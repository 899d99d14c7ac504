// Small file and path helpers shared by the platform layer and its users. Files named by a
// project are untrusted: they are read only when they are regular files of a bounded size,
// so a folder, a FIFO, a device link or a huge sparse file fails with a message instead of
// hanging or exhausting memory.
#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace zorvane {

struct StdioCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using StdioFile = std::unique_ptr<std::FILE, StdioCloser>;

// Opens `path` for reading when it is a regular file of at most maxBytes; never blocks on a
// FIFO. Otherwise null, with *error (when given) saying why: "cannot open", "not a regular
// file" or "file too large (N bytes, at most M)". *size receives the size when opened.
StdioFile openRegularFile(const std::string& path, uint64_t maxBytes, std::string* error = nullptr,
                          uint64_t* size = nullptr);
// The whole of a regular file of at most maxBytes into `out` (empty on failure).
bool readRegularFile(const std::string& path, uint64_t maxBytes, std::string& out,
                     std::string* error = nullptr);

// Small text files of the program and the system (settings, /proc entries, the Wine
// registry): regular files of at most 64 MiB.
constexpr uint64_t kMaxSmallFileBytes = uint64_t(64) << 20;
bool readWholeFile(const std::string& path, std::string& out);
// The part before the last '/' or '\' ("" when there is none).
std::string folderOf(const std::string& path);
// a + "/" + b, without doubling a separator; b alone when a is empty.
std::string joinPath(const std::string& a, const std::string& b);

}  // namespace zorvane
