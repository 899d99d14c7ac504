// Text matching for searches, message-escape scans and script colouring: plain containment,
// regular expressions (PCRE2, UTF-8) and fuzzy search, with caches per pattern and case mode.
// One matcher may be shared by the search worker and the UI thread.
#pragma once
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "text/fuzzy_options.h"

namespace zorvane {

struct MatchArgs {
    std::string_view pattern;
    std::string_view target;
    bool caseSensitive = true;
    bool regex = false;
    bool fuzzy = false;
    // Byte offset into target where the search starts; inside a character it moves on to
    // the next character.
    std::size_t startOffset = 0;
};

// Position and length are bytes of the original target, also in fuzzy mode.
struct MatchResult {
    bool found = false;
    std::size_t position = 0;
    std::size_t length = 0;
    explicit operator bool() const { return found; }
};

// Builtin: regular expressions and fuzzy search are available once loaded.
// None: the binding stays empty, as on a system without the matching library.
enum class MatcherLibrary { Builtin, None };

class TextMatcher {
  public:
    explicit TextMatcher(MatcherLibrary library = MatcherLibrary::Builtin,
                         FuzzyOptions options = {});
    ~TextMatcher();
    TextMatcher(const TextMatcher&) = delete;
    TextMatcher& operator=(const TextMatcher&) = delete;

    // Whether the binding is loaded afterwards.
    bool load();
    bool isLoaded() const;
    // Drops every cached pattern; the binding is empty until the next load.
    void release();

    // Changing the options drops the cached fuzzy patterns.
    void setFuzzyOptions(const FuzzyOptions& options);
    FuzzyOptions fuzzyOptions() const;

    // False with an empty binding, whatever the mode; callers fall back themselves (see
    // textMatches). A regular expression never yields an empty match: the first non-empty
    // one at or after the start offset is found.
    MatchResult match(const MatchArgs& args) const;

    // Every match from args.startOffset on, each search starting where the previous match
    // ended, until onMatch returns false. The target is checked for valid UTF-8 once, so
    // this stays linear on long scripts; prefer it to calling match in a loop.
    std::size_t forEachMatch(const MatchArgs& args,
                             const std::function<bool(const MatchResult&)>& onMatch) const;

    // Whether a search with this pattern can run: regular expressions must compile (after
    // fuzzy folding when fuzzy is set too). False with an empty binding.
    bool compiles(std::string_view pattern, bool caseSensitive, bool regex = true,
                  bool fuzzy = false) const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Plain containment at character starts only, so a match never begins or ends inside a
// UTF-8 character. Without case sensitivity only the ASCII letters are folded.
MatchResult findPlain(std::string_view target, std::string_view pattern, bool caseSensitive,
                      std::size_t startOffset = 0);

// The text test of a search. The search engine checks the kind of search before calling.
struct TextQuery {
    std::string_view text;
    bool caseSensitive = false;
    bool useRegex = false;
    bool fuzzy = false;
};

// `text` with each invalid byte turned into U+001A, one byte each, so offsets stay those of
// the original and an expression sees them as characters that are neither letters, digits
// nor spaces: what every regular-expression scan matches against.
std::string withInvalidBytesReplaced(std::string_view text);

// Regex or fuzzy through the matcher when it is given and loaded, otherwise plain
// containment in the query's case mode.
bool textMatches(std::string_view candidate, const TextQuery& query, const TextMatcher* matcher);

}  // namespace zorvane
