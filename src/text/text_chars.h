// Character boundaries in UTF-8 texts that may hold invalid bytes: a well-formed sequence is
// one character, every other byte is a character of its own.
#pragma once
#include <cstddef>
#include <string_view>

namespace zorvane {

// Length of the character starting at pos (1 for a byte that starts no valid sequence).
std::size_t charLengthAt(std::string_view text, std::size_t pos);

// pos itself when a character starts there (or at the end), else the start of the next one.
std::size_t charStartAtOrAfter(std::string_view text, std::size_t pos);

inline bool isCharBoundary(std::string_view text, std::size_t pos) {
    return charStartAtOrAfter(text, pos) == pos;
}

}  // namespace zorvane
