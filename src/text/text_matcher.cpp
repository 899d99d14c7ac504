// TextMatcher: the caches of compiled expressions and folded fuzzy patterns, and the scans
// of the four modes. Fuzzy targets are folded once per scan and every hit is mapped back to
// the original bytes.
#include "text/text_matcher.h"

#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "platform/codepage.h"
#include "text/fuzzy_normalizer.h"
#include "text/text_chars.h"
#include "text/text_regex.h"

namespace zorvane {

namespace {

// A scan over many distinct patterns (the id picker's find as one types) must not grow
// without bound; entries still in use live on through their shared pointers.
constexpr std::size_t kMaxCacheEntries = 512;

using RegexCache = std::map<std::pair<std::string, bool>, std::shared_ptr<const RegexPattern>>;
using FuzzyCache = std::map<std::string, std::shared_ptr<const std::string>>;

template <typename Cache>
void trim(Cache& cache) {
    if (cache.size() >= kMaxCacheEntries) cache.clear();
}

using OnMatch = std::function<bool(const MatchResult&)>;

std::size_t scanPlain(const MatchArgs& args, const OnMatch& onMatch) {
    std::size_t count = 0;
    std::size_t pos = args.startOffset;
    while (MatchResult hit = findPlain(args.target, args.pattern, args.caseSensitive, pos)) {
        ++count;
        if (!onMatch(hit)) break;
        pos = hit.position + hit.length;
    }
    return count;
}

// Scans text from offset, handing each hit to report as (begin, end) in text's bytes. The
// text is checked once here, so each search of the scan can skip PCRE2's own check, which
// would otherwise make a scan of a long script quadratic.
template <typename Report>
std::size_t scanRegex(const RegexPattern& regex, std::string_view source, std::size_t offset,
                      Report report) {
    std::string replaced;
    std::string_view text = source;
    if (!isValidUtf8(source)) {
        replaced = withInvalidBytesReplaced(source);
        text = replaced;
    }
    std::size_t count = 0;
    std::size_t pos = charStartAtOrAfter(text, offset);
    while (pos < text.size()) {
        RegexFind hit = regex.find(text, pos, true);
        if (!hit.found) break;
        ++count;
        if (!report(hit.begin, hit.end)) break;
        pos = hit.end;
    }
    return count;
}

}  // namespace

std::string withInvalidBytesReplaced(std::string_view text) {
    std::string copy(text);
    for (std::size_t pos = 0; pos < copy.size();) {
        std::size_t len = utf8CharLength(copy, pos);
        if (len == 0) copy[pos] = '\x1A';
        pos += len == 0 ? 1 : len;
    }
    return copy;
}

struct TextMatcher::Impl {
    MatcherLibrary library;
    mutable std::mutex mutex;
    bool loaded = false;
    FuzzyOptions options;
    mutable RegexCache regexes;
    mutable FuzzyCache fuzzyFolded;  // case folded: case-insensitive fuzzy search
    mutable FuzzyCache fuzzyExact;   // case kept: case-sensitive, and under regex + fuzzy

    std::shared_ptr<const RegexPattern> regex(std::string_view pattern, bool caseSensitive) const;
    std::shared_ptr<const std::string> fuzzyPattern(std::string_view pattern, bool foldCase) const;
    FuzzyFolds folds(bool foldCase) const {
        std::lock_guard<std::mutex> lock(mutex);
        return {options, foldCase};
    }

    std::size_t scanFuzzy(const MatchArgs& args, const OnMatch& onMatch) const;
    std::size_t scanRegexMode(const MatchArgs& args, const OnMatch& onMatch) const;
    std::size_t scanFuzzyRegex(const MatchArgs& args, const OnMatch& onMatch) const;
};

std::shared_ptr<const RegexPattern> TextMatcher::Impl::regex(std::string_view pattern,
                                                             bool caseSensitive) const {
    std::lock_guard<std::mutex> lock(mutex);
    auto key = std::make_pair(std::string(pattern), caseSensitive);
    auto it = regexes.find(key);
    if (it != regexes.end()) return it->second;
    trim(regexes);
    auto compiled = std::make_shared<const RegexPattern>(pattern, caseSensitive);
    regexes.emplace(std::move(key), compiled);
    return compiled;
}

std::shared_ptr<const std::string> TextMatcher::Impl::fuzzyPattern(std::string_view pattern,
                                                                   bool foldCase) const {
    std::lock_guard<std::mutex> lock(mutex);
    FuzzyCache& cache = foldCase ? fuzzyFolded : fuzzyExact;
    auto it = cache.find(std::string(pattern));
    if (it != cache.end()) return it->second;
    trim(cache);
    auto folded = std::make_shared<const std::string>(
        normalizeFuzzy(pattern, FuzzyFolds{options, foldCase}).text());
    cache.emplace(std::string(pattern), folded);
    return folded;
}

std::size_t TextMatcher::Impl::scanFuzzy(const MatchArgs& args, const OnMatch& onMatch) const {
    bool foldCase = !args.caseSensitive;
    auto pattern = fuzzyPattern(args.pattern, foldCase);
    std::size_t start = charStartAtOrAfter(args.target, args.startOffset);
    FuzzyText target = normalizeFuzzy(args.target.substr(start), folds(foldCase));
    std::size_t count = 0;
    std::size_t pos = 0;
    while (MatchResult hit = findPlain(target.text(), *pattern, true, pos)) {
        ++count;
        auto source = target.sourceRange(hit.position, hit.length);
        if (!onMatch({true, start + source.first, source.second - source.first})) break;
        pos = hit.position + hit.length;
    }
    return count;
}

std::size_t TextMatcher::Impl::scanRegexMode(const MatchArgs& args, const OnMatch& onMatch) const {
    auto compiled = regex(args.pattern, args.caseSensitive);
    return scanRegex(*compiled, args.target, args.startOffset,
                     [&](std::size_t begin, std::size_t end) {
                         return onMatch({true, begin, end - begin});
                     });
}

// Case stays in the folded texts and is left to the expression: folding the pattern's case
// would turn escapes such as \D or \S into their opposites.
std::size_t TextMatcher::Impl::scanFuzzyRegex(const MatchArgs& args, const OnMatch& onMatch) const {
    auto pattern = fuzzyPattern(args.pattern, false);
    auto compiled = regex(*pattern, args.caseSensitive);
    std::size_t start = charStartAtOrAfter(args.target, args.startOffset);
    FuzzyText target = normalizeFuzzy(args.target.substr(start), folds(false));
    return scanRegex(*compiled, target.text(), 0, [&](std::size_t begin, std::size_t end) {
        auto source = target.sourceRange(begin, end - begin);
        return onMatch({true, start + source.first, source.second - source.first});
    });
}

TextMatcher::TextMatcher(MatcherLibrary library, FuzzyOptions options)
    : impl_(std::make_unique<Impl>()) {
    impl_->library = library;
    impl_->options = options;
}

TextMatcher::~TextMatcher() = default;

bool TextMatcher::load() {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->loaded = impl_->library == MatcherLibrary::Builtin;
    return impl_->loaded;
}

bool TextMatcher::isLoaded() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->loaded;
}

void TextMatcher::release() {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->regexes.clear();
    impl_->fuzzyFolded.clear();
    impl_->fuzzyExact.clear();
    impl_->loaded = false;
}

void TextMatcher::setFuzzyOptions(const FuzzyOptions& options) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->options = options;
    impl_->fuzzyFolded.clear();
    impl_->fuzzyExact.clear();
}

FuzzyOptions TextMatcher::fuzzyOptions() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->options;
}

std::size_t TextMatcher::forEachMatch(const MatchArgs& args, const OnMatch& onMatch) const {
    if (!isLoaded() || args.pattern.empty() || args.target.empty() ||
        args.startOffset >= args.target.size()) {
        return 0;
    }
    if (args.regex && args.fuzzy) return impl_->scanFuzzyRegex(args, onMatch);
    if (args.regex) return impl_->scanRegexMode(args, onMatch);
    if (args.fuzzy) return impl_->scanFuzzy(args, onMatch);
    return scanPlain(args, onMatch);
}

MatchResult TextMatcher::match(const MatchArgs& args) const {
    MatchResult first;
    forEachMatch(args, [&first](const MatchResult& hit) {
        first = hit;
        return false;
    });
    return first;
}

bool TextMatcher::compiles(std::string_view pattern, bool caseSensitive, bool regex,
                           bool fuzzy) const {
    if (!isLoaded()) return false;
    if (!regex) return true;  // folding cannot fail
    if (fuzzy) return impl_->regex(*impl_->fuzzyPattern(pattern, false), caseSensitive)->compiled();
    return impl_->regex(pattern, caseSensitive)->compiled();
}

bool textMatches(std::string_view candidate, const TextQuery& query, const TextMatcher* matcher) {
    if ((query.useRegex || query.fuzzy) && matcher != nullptr && matcher->isLoaded()) {
        MatchArgs args;
        args.pattern = query.text;
        args.target = candidate;
        args.caseSensitive = query.caseSensitive;
        args.regex = query.useRegex;
        args.fuzzy = query.fuzzy;
        return matcher->match(args).found;
    }
    return findPlain(candidate, query.text, query.caseSensitive).found;
}

}  // namespace zorvane
