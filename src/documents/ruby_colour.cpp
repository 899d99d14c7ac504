// Ruby colouring: the rule file reader and the owner-array colourer. Each rule scans the
// text once; later rules see earlier claims as blanks.
#include "documents/ruby_colour.h"

#include <algorithm>
#include <cstdint>

#include "documents/markup.h"
#include "platform/codepage.h"
#include "platform/file_util.h"
#include "text/text_matcher.h"

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

// Claims every match of one rule in the owner array and blanks it in the working copy.
void claimMatches(const TextMatcher& matcher, const ColourRule& rule, int32_t index,
                  std::string& working, std::vector<int32_t>& owners) {
    MatchArgs args;
    args.pattern = rule.expression;
    args.target = working;
    args.regex = true;
    args.caseSensitive = true;
    std::vector<std::pair<size_t, size_t>> claims;
    // The matcher never yields an empty match, so each scan moves forward.
    matcher.forEachMatch(args, [&claims](const MatchResult& hit) {
        claims.emplace_back(hit.position, hit.length);
        return true;
    });
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
        if (splitRule(line, rule)) rules.push_back(std::move(rule));
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
        std::string working(text);
        for (size_t i = 0; i < rules.size(); ++i)
            claimMatches(*matcher, rules[i], static_cast<int32_t>(i), working, owners);
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
