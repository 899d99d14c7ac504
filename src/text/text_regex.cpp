// PCRE2 behind RegexPattern. Per-thread scratch (match data, JIT stack) lets the search
// worker and the UI thread share one compiled pattern without locking.
#define PCRE2_CODE_UNIT_WIDTH 8
#include "text/text_regex.h"

#include <pcre2.h>

#include <algorithm>

namespace zorvane {

namespace {

struct CodeFree {
    void operator()(pcre2_code* p) const { pcre2_code_free(p); }
};
struct MatchDataFree {
    void operator()(pcre2_match_data* p) const { pcre2_match_data_free(p); }
};
struct MatchContextFree {
    void operator()(pcre2_match_context* p) const { pcre2_match_context_free(p); }
};
struct JitStackFree {
    void operator()(pcre2_jit_stack* p) const { pcre2_jit_stack_free(p); }
};

using CodePtr = std::unique_ptr<pcre2_code, CodeFree>;
using MatchDataPtr = std::unique_ptr<pcre2_match_data, MatchDataFree>;
using MatchContextPtr = std::unique_ptr<pcre2_match_context, MatchContextFree>;
using JitStackPtr = std::unique_ptr<pcre2_jit_stack, JitStackFree>;

constexpr std::size_t kJitStackStart = 32 * 1024;

pcre2_match_context* limitedContext() {
    pcre2_match_context* context = pcre2_match_context_create(nullptr);
    if (context) {
        pcre2_set_match_limit(context, RegexPattern::kMatchLimit);
        pcre2_set_depth_limit(context, RegexPattern::kDepthLimit);
    }
    return context;
}

// A JIT stack must not be used by two threads at once, so each thread has its own.
struct Scratch {
    std::size_t jitStackMax = 0;
    MatchDataPtr matchData{pcre2_match_data_create(1, nullptr)};
    MatchContextPtr context{limitedContext()};
    JitStackPtr jitStack;
    std::size_t limitHits = 0;

    void useJitStack(std::size_t max) {
        if (max == jitStackMax && jitStack) return;
        jitStack.reset(
            pcre2_jit_stack_create(kJitStackStart, std::max(max, kJitStackStart), nullptr));
        pcre2_jit_stack_assign(context.get(), nullptr, jitStack.get());
        jitStackMax = max;
    }
};

Scratch& threadScratch() {
    thread_local Scratch scratch;
    return scratch;
}

Scratch& threadScratch(std::size_t jitStackMax) {
    Scratch& scratch = threadScratch();
    scratch.useJitStack(jitStackMax);
    return scratch;
}

CodePtr compileCode(std::string_view pattern, bool caseSensitive) {
    uint32_t options = PCRE2_UTF | (caseSensitive ? 0u : PCRE2_CASELESS);
    int error = 0;
    PCRE2_SIZE errorOffset = 0;
    CodePtr code(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                               options, &error, &errorOffset, nullptr));
    // Without JIT support this fails and the interpreter is used, which is fine.
    if (code) pcre2_jit_compile(code.get(), PCRE2_JIT_COMPLETE);
    return code;
}

}  // namespace

std::size_t regexLimitHitsOnThisThread() {
    return threadScratch().limitHits;
}

struct RegexPattern::Code {
    CodePtr code;
};

RegexPattern::RegexPattern(std::string_view pattern, bool caseSensitive)
    : code_(std::make_unique<Code>(Code{compileCode(pattern, caseSensitive)})) {}

RegexPattern::~RegexPattern() = default;

bool RegexPattern::compiled() const {
    return code_->code != nullptr;
}

RegexFind RegexPattern::find(std::string_view subject, std::size_t offset, bool subjectValid,
                             std::size_t jitStackMax) const {
    if (!compiled() || offset > subject.size()) return {};
    Scratch& scratch = threadScratch(jitStackMax);
    // Empty matches would stall every scan that resumes at the end of the last match.
    uint32_t options = PCRE2_NOTEMPTY | (subjectValid ? PCRE2_NO_UTF_CHECK : 0u);
    auto run = [&](uint32_t extra) {
        return pcre2_match(code_->code.get(), reinterpret_cast<PCRE2_SPTR>(subject.data()),
                           subject.size(), offset, options | extra, scratch.matchData.get(),
                           scratch.context.get());
    };
    RegexFind result;
    int rc = run(0);
    if (rc == PCRE2_ERROR_JIT_STACKLIMIT) {
        rc = run(PCRE2_NO_JIT);
        result.interpreted = true;
    }
    if (rc == PCRE2_ERROR_MATCHLIMIT || rc == PCRE2_ERROR_DEPTHLIMIT ||
        rc == PCRE2_ERROR_HEAPLIMIT) {
        result.tooComplex = true;
        ++scratch.limitHits;
        return result;
    }
    // rc == 0 only says the one-pair vector had no room for the groups.
    if (rc < 0) return result;
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(scratch.matchData.get());
    if (ovector[1] <= ovector[0] || ovector[1] > subject.size()) return result;  // \K oddities
    result.found = true;
    result.begin = ovector[0];
    result.end = ovector[1];
    return result;
}

}  // namespace zorvane
