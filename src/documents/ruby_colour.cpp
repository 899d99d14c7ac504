// Ruby colouring: the rule file reader and the owner-array colourer. Each rule scans the
// text once, a line at a time; later rules see earlier claims as blanks.
#include "documents/ruby_colour.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "documents/markup.h"
#include "platform/codepage.h"
#include "platform/file_util.h"
#include "text/text_matcher.h"
#include "text/text_regex.h"

namespace zorvane {

namespace {

constexpr int32_t kNoRule = -1;

// A line's two fields: the expression before the first TAB, the class after it (up to a
// further TAB, if any). False when either is empty.
bool splitRule(std::string_view line, ColourRule& rule) {
    size_t tab = line.find('\t');
    if (tab == std::string_view::npos) return false;
    std::string_view expression = line.substr(0, tab);
    std::string_view className = line.substr(tab + 1);
    className = className.substr(0, className.find('\t'));
    if (expression.empty() || className.empty()) return false;
    rule.expression = std::string(expression);
    rule.className = std::string(className);
    return true;
}

// What colouring one script may cost. A search from one start runs at most to the end of
// its line, so a line costs each rule at most its length squared; past this budget the rest
// of the script stays uncoloured. The scripts of real projects cost a tenth of it at most;
// a crafted one-line script of 140 KB would cost 150 times more.
constexpr uint64_t kColourBudget = uint64_t(1) << 27;

// The end of the last whole line within the budget.
size_t colouredEnd(std::string_view text) {
    uint64_t cost = 0;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        end = end == std::string_view::npos ? text.size() : end + 1;
        uint64_t length = end - start;
        if (cost + length * length > kColourBudget) return start;
        cost += length * length;
        start = end;
    }
    return text.size();
}

// A rule that lets "." match line ends ((?s), as for =begin blocks) may span lines; every
// other rule matches within one line.
bool spansLines(std::string_view expression) {
    for (size_t at = expression.find("(?"); at != std::string_view::npos;
         at = expression.find("(?", at + 2))
        for (size_t i = at + 2;
             i < expression.size() && std::isalpha(static_cast<unsigned char>(expression[i])); ++i)
            if (expression[i] == 's') return true;
    return false;
}

// The matches of one rule in text[from, to), which ends at a line end (or the text's end).
// The text before `from` is still seen by look-behinds.
void findMatches(const RegexPattern& regex, std::string_view text, size_t from, size_t to,
                 std::vector<std::pair<size_t, size_t>>& claims) {
    std::string_view subject = text.substr(0, to);
    for (size_t pos = from; pos < to;) {
        RegexFind hit = regex.find(subject, pos, true);
        if (!hit.found) break;
        claims.emplace_back(hit.begin, hit.end - hit.begin);
        pos = hit.end;
    }
}

// Claims every match of one rule before `end` in the owner array and blanks it in the
// working copy (valid UTF-8).
void claimMatches(const ColourRule& rule, int32_t index, size_t end, std::string& working,
                  std::vector<int32_t>& owners) {
    std::unique_ptr<RegexPattern> own;
    const RegexPattern* pattern = rule.pattern.get();
    if (!pattern) {
        own = std::make_unique<RegexPattern>(rule.expression, true);
        pattern = own.get();
    }
    const RegexPattern& regex = *pattern;
    if (!regex.compiled()) return;
    std::vector<std::pair<size_t, size_t>> claims;
    if (spansLines(rule.expression)) {
        findMatches(regex, working, 0, end, claims);
    } else {
        for (size_t start = 0; start < end;) {
            size_t lineEnd = std::min(working.find('\n', start), end - 1) + 1;
            findMatches(regex, working, start, lineEnd, claims);
            start = lineEnd;
        }
    }
    for (const auto& [position, length] : claims) {
        std::fill(owners.begin() + position, owners.begin() + position + length, index);
        working.replace(position, length, length, ' ');
    }
}

}  // namespace

ColourRules parseColourRules(std::string_view fileText) {
    ColourRules rules;
    std::string text = toUtf8Lenient(fileText);
    std::string_view rest = text;
    while (!rest.empty()) {
        size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == ';') continue;
        ColourRule rule;
        if (!splitRule(line, rule)) continue;
        rule.pattern = std::make_shared<const RegexPattern>(rule.expression, true);
        rules.push_back(std::move(rule));
    }
    return rules;
}

ColourRules loadColourRules(const std::string& path) {
    std::string bytes;
    if (!readWholeFile(path, bytes)) return {};
    return parseColourRules(bytes);
}

std::string colourScript(std::string_view text, const ColourRules& rules,
                         const TextMatcher* matcher) {
    std::vector<int32_t> owners(text.size(), kNoRule);
    if (matcher != nullptr && matcher->isLoaded()) {
        std::string working = withInvalidBytesReplaced(text);
        size_t end = colouredEnd(working);
        for (size_t i = 0; i < rules.size(); ++i)
            claimMatches(rules[i], static_cast<int32_t>(i), end, working, owners);
    }
    const Markup& html = markupFor(true);
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (size_t start = 0; start < text.size();) {
        int32_t owner = owners[start];
        size_t end = start + 1;
        while (end < text.size() && owners[end] == owner) ++end;
        std::string_view run = text.substr(start, end - start);
        if (owner == kNoRule) {
            appendEscaped(out, run);
        } else {
            appendFontOpen(out, rules[static_cast<size_t>(owner)].className, html);
            appendEscaped(out, run);
            out += html.fontClose;
        }
        start = end;
    }
    return out;
}

}  // namespace zorvane
