// The fuzzy normaliser: folds width, kana and letter case so that texts which a reader takes
// for the same words compare equal, and remembers where each folded byte came from.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "text/fuzzy_options.h"

namespace zorvane {

struct FuzzyFolds {
    FuzzyOptions options;
    bool foldCase = true;
};

// A normalised text and, for each of its bytes, the source bytes it was made from.
class FuzzyText {
  public:
    const std::string& text() const { return text_; }
    // The source range [first, second) that normalised bytes [pos, pos + len) came from.
    std::pair<std::size_t, std::size_t> sourceRange(std::size_t pos, std::size_t len) const;

  private:
    friend FuzzyText normalizeFuzzy(std::string_view source, const FuzzyFolds& folds);
    struct Span {
        std::uint32_t begin;
        std::uint32_t end;
    };
    std::string text_;
    std::vector<Span> origin_;  // one per byte of text_
    std::size_t sourceSize_ = 0;
};

// Invalid UTF-8 bytes pass through unchanged, one byte each. Sources of 4 GiB or more are
// not normalised (the text is empty), since offsets are kept in 32 bits.
FuzzyText normalizeFuzzy(std::string_view source, const FuzzyFolds& folds);

}  // namespace zorvane
