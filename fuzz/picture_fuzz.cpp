// Fuzz target for one picture decoder, chosen when it is built (ZORVANE_FUZZ_DECODER is
// decodePng, decodeJpeg or decodeBmp): any bytes must either be refused or give a picture
// within the size limits whose every pixel can be read.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "map/image_codec_limits.h"
#include "map/image_files.h"

namespace {

// The decoders read files: the input goes into one in-memory file reopened by path.
const std::string& memoryFilePath() {
    static const std::string path = [] {
        int fd = memfd_create("picture", 0);
        if (fd < 0) __builtin_trap();
        return "/proc/self/fd/" + std::to_string(fd);
    }();
    return path;
}

void putBytes(const uint8_t* data, size_t size) {
    int fd = std::stoi(memoryFilePath().substr(memoryFilePath().rfind('/') + 1));
    if (ftruncate(fd, 0) != 0 || (size > 0 && pwrite(fd, data, size, 0) != ssize_t(size)))
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    putBytes(data, size);
    zorvane::Bitmap32 picture;
    if (!zorvane::ZORVANE_FUZZ_DECODER(memoryFilePath(), picture)) {
        if (!picture.empty()) __builtin_trap();  // a failed decode leaves nothing behind
        return 0;
    }
    if (!zorvane::decodedSizeAllowed(uint64_t(picture.width()), uint64_t(picture.height())))
        __builtin_trap();
    uint32_t sum = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) sum += picture.pixel(x, y);
    return sum == 0x12345678 ? 0 : 0;  // keeps the reads from being optimised away
}
