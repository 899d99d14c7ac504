// Finds the variable escapes of a message text through the matcher's regular expressions,
// each search starting behind the previous match, and tests their numbers.
#include "listing/variable_escapes.h"

#include <cstdlib>
#include <string>

#include "text/text_matcher.h"

namespace zorvane {

namespace {

const char* const kEscapePattern = "\\\\(v|V)\\[[0-9]+\\]";

}  // namespace

bool showsSearchedVariable(const std::string& text, const SearchRequest& request) {
    if (!request.matcher || !request.matcher->isLoaded()) return false;
    MatchArgs args;
    args.pattern = kEscapePattern;
    args.target = text;
    args.caseSensitive = true;
    args.regex = true;
    bool found = false;
    request.matcher->forEachMatch(args, [&](const MatchResult& m) {
        // The number follows the three characters "\V[".
        if (m.length <= 3) return true;
        std::string digits = text.substr(m.position + 3, m.length - 3);
        long id = std::strtol(digits.c_str(), nullptr, 10);
        found = id > 0 && id <= 0x7fffffff && matchesOneId(request, static_cast<int>(id));
        return !found;
    });
    return found;
}

}  // namespace zorvane
