// Turns the search panel into a SearchRequest, item page first and then the range box,
// stopping at the first problem with its warning text.
#include "search/search_validation.h"

#include "listing/listing.h"
#include "listing/listing_words.h"
#include "platform/codepage.h"
#include "text/text_matcher.h"

namespace zorvane {

namespace {

enum class Problem { NoItem, NoTarget, NoText, BadPattern, NoRange, NoRangeChoice };

struct ProblemText {
    Problem problem;
    const char* text[2];  // one per language (see row())
};

const ProblemText kProblems[] = {
    {Problem::NoItem, {"「検索項目」が1つもチェックされていません", "No search item is ticked"}},
    {Problem::NoTarget, {"「検索対象」が何も選択されていません", "No search target is chosen"}},
    {Problem::NoText, {"「検索項目」の文字列が入力されていません", "No search text is entered"}},
    {Problem::BadPattern,
     {"検索対象の正規表現に誤りがあるようです", "The regular expression seems to be wrong"}},
    {Problem::NoRange, {"「検索範囲」が何も選択されていません", "No search range is chosen"}},
    {Problem::NoRangeChoice,
     {"「検索範囲」の「指定」で何も選択されていません", "Nothing is chosen for a specific range"}},
};

// In the SearchScope order.
const char* const kRangeNames[2][4] = {
    {"コモンイベント", "バトルイベント", "マップイベント", "スクリプト"},
    {"Common Events", "Battle Events", "Map Events", "Scripts"},
};

std::string textOf(Problem problem, ListingLanguage language) {
    for (const ProblemText& p : kProblems)
        if (p.problem == problem) return p.text[row(language)];
    return {};
}

// The edit box holds at most kMaxSearchTextBytes bytes; the cut never splits a character.
std::string clipText(const std::string& text) {
    if (text.size() <= kMaxSearchTextBytes) return text;
    size_t end = 0;
    while (end < text.size()) {
        size_t length = utf8CharLength(text, end);
        if (length == 0) length = 1;
        if (end + length > kMaxSearchTextBytes) break;
        end += length;
    }
    return text.substr(0, end);
}

bool addTickedIds(const std::array<IdRow, 2>& rows, SearchRequest& request) {
    for (const IdRow& row : rows)
        if (row.checked) request.targetIds.insert(row.id);
    return !request.targetIds.empty();
}

bool checkIdPage(const IdPage& page, SearchRequest& request, Problem& problem) {
    if (!addTickedIds(page.rows, request)) {
        problem = Problem::NoItem;
        return false;
    }
    if (!page.operating && !page.referencing && !page.startConditions) {
        problem = Problem::NoTarget;
        return false;
    }
    request.andMode = page.andMode;
    request.inOperatingCommands = page.operating;
    request.inReferencingCommands = page.referencing;
    request.inStartConditions = page.startConditions;
    return true;
}

bool checkTextPage(const SearchPanel& panel, const TextMatcher* matcher, SearchRequest& request,
                   Problem& problem) {
    request.text = clipText(panel.text);
    request.textTargets = panel.textTargets;
    request.caseSensitive = panel.caseSensitive;
    request.useRegex = panel.useRegex;
    request.fuzzy = panel.fuzzy;
    bool anyTarget = false;
    for (bool t : panel.textTargets) anyTarget = anyTarget || t;
    if (request.text.empty())
        problem = Problem::NoText;
    else if (!anyTarget)
        problem = Problem::NoTarget;
    else if ((panel.useRegex || panel.fuzzy) && matcher && matcher->isLoaded() &&
             !matcher->compiles(request.text, panel.caseSensitive, panel.useRegex, panel.fuzzy))
        problem = Problem::BadPattern;
    else
        return true;
    return false;
}

bool checkItemPage(const SearchPanel& panel, const TextMatcher* matcher, SearchRequest& request,
                   Problem& problem) {
    switch (panel.kind) {
        case SearchKind::Switch:
            return checkIdPage(panel.switches, request, problem);
        case SearchKind::Variable:
            return checkIdPage(panel.variables, request, problem);
        case SearchKind::Text:
            return checkTextPage(panel, matcher, request, problem);
        case SearchKind::CommonEvent:
            problem = Problem::NoItem;
            return addTickedIds(panel.commonEvents, request);
        case SearchKind::EventCommand:
            for (const CommandChoice& row : panel.commands)
                if (row.checked) request.targetIds.insert(codeOfCommandName(row.name));
            problem = Problem::NoItem;
            return !request.targetIds.empty();
        case SearchKind::MissingFile:
            request.missingFiles = panel.missingFiles;
            problem = Problem::NoItem;
            return panel.missingFiles;
    }
    problem = Problem::NoItem;
    return false;
}

bool fillScope(const SearchPanel& panel, SearchRequest& request, std::string& error,
               ListingLanguage language) {
    const auto& r = panel.ranges;
    bool scripts = panel.kind == SearchKind::Text && r[ScopeScripts].checked;
    if (!r[ScopeCommon].checked && !r[ScopeTroops].checked && !r[ScopeMaps].checked && !scripts) {
        error = textOf(Problem::NoRange, language);
        return false;
    }
    for (size_t i = 0; i < r.size(); ++i) {
        bool used = r[i].checked && (i != ScopeScripts || panel.kind == SearchKind::Text);
        // "指定" with nothing chosen would search nothing of that area without a word.
        if (used && !r[i].all && r[i].id < 1) {
            error = textOf(Problem::NoRangeChoice, language) + say("（", language) +
                    kRangeNames[row(language)][i] + say("）", language);
            return false;
        }
        request.scope[i] = !used ? -1 : r[i].all ? 0 : r[i].id;
    }
    request.includeSubMaps = panel.includeSubMaps;
    return true;
}

}  // namespace

ValidatedSearch validateSearch(const SearchPanel& panel, const TextMatcher* matcher,
                               ListingLanguage language) {
    ValidatedSearch result;
    SearchRequest& request = result.request;
    request.kind = panel.kind;
    request.matcher = matcher && matcher->isLoaded() ? matcher : nullptr;
    Problem problem = Problem::NoItem;
    if (!checkItemPage(panel, matcher, request, problem)) {
        result.error = textOf(problem, language);
        return result;
    }
    fillScope(panel, request, result.error, language);
    return result;
}

}  // namespace zorvane
