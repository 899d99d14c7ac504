// One compiled regular expression (PCRE2, UTF-8, JIT when the platform has it). Matching
// never trusts a subject it was not told is valid UTF-8, and survives JIT stack exhaustion.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace zorvane {

struct RegexFind {
    bool found = false;
    std::size_t begin = 0;
    std::size_t end = 0;
    bool interpreted = false;  // the JIT ran out of stack and the interpreter answered
    // The match or depth limit ended the search: whether the text matches is unknown.
    bool tooComplex = false;
};

// How many searches on this thread have ended at the match or depth limit so far. A long
// task compares the count before and after to say that some text could not be judged.
std::size_t regexLimitHitsOnThisThread();

class RegexPattern {
  public:
    // The default JIT stack is far too small for long string literals in scripts.
    static constexpr std::size_t kJitStackMax = 16 * 1024 * 1024;
    // A pattern that backtracks without end on a line gives up after this many steps (a
    // fraction of a second) instead of holding the search for minutes.
    static constexpr uint32_t kMatchLimit = 1000000;
    static constexpr uint32_t kDepthLimit = 100000;

    RegexPattern(std::string_view pattern, bool caseSensitive);
    ~RegexPattern();
    RegexPattern(const RegexPattern&) = delete;
    RegexPattern& operator=(const RegexPattern&) = delete;

    bool compiled() const;

    // First non-empty match at or after offset, which must be a character start.
    // subjectValid: the caller has checked that the whole subject is valid UTF-8, so it is
    // not checked again on every call of a scan; otherwise PCRE2 checks it and an invalid
    // subject matches nothing.
    RegexFind find(std::string_view subject, std::size_t offset, bool subjectValid,
                   std::size_t jitStackMax = kJitStackMax) const;

  private:
    struct Code;
    std::unique_ptr<Code> code_;
};

}  // namespace zorvane
