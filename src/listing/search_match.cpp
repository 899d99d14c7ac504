// The search rules over references: which flag an operand answers to, the one-id and range
// rules, the rule for operands that form one set, the text targets of each text role.
#include "listing/search_match.h"

#include <vector>

#include "listing/listing.h"
#include "listing/variable_escapes.h"
#include "project/resource.h"
#include "text/text_matcher.h"

namespace zorvane {

namespace {

TextTarget targetOf(TextRole role) {
    switch (role) {
        case TextRole::Message:
            return TargetMessage;
        case TextRole::Comment:
            return TargetComment;
        case TextRole::Choice:
            return TargetChoice;
        case TextRole::Script:
            return TargetScript;
        case TextRole::ActorName:
            return TargetActor;
        case TextRole::FileName:
            return TargetFileName;
        case TextRole::Label:
            return TargetLabel;
        case TextRole::None:
            break;
    }
    return TextTargetCount;
}

RefKind idKindOf(SearchKind kind) {
    switch (kind) {
        case SearchKind::Switch:
            return RefKind::Switch;
        case SearchKind::Variable:
            return RefKind::Variable;
        default:
            return RefKind::CommonEvent;
    }
}

// A switch set by a move route has always counted among the commands that refer to it.
bool searchedAsOperating(const Reference& r) {
    return r.access == Access::Write && !r.inRoute;
}

// Operands that form one set (a transfer's map, x and y variables): OR mode wants any
// target among them, AND mode both targets.
bool setMatches(const SearchRequest& request, const std::vector<int>& ids) {
    auto among = [&](int target) {
        for (int id : ids)
            if (id == target) return true;
        return false;
    };
    if (!request.andMode) {
        for (int id : ids)
            if (request.targetIds.count(id)) return true;
        return false;
    }
    if (request.targetIds.size() != 2) return false;
    for (int target : request.targetIds)
        if (!among(target)) return false;
    return true;
}

bool idSearchMatches(const std::vector<Reference>& refs, const SearchRequest& request) {
    RefKind kind = idKindOf(request.kind);
    std::vector<int> set;
    for (const Reference& r : refs) {
        if (request.is(SearchKind::Variable) && r.role == TextRole::Message &&
            request.inReferencingCommands && showsSearchedVariable(r.text, request))
            return true;
        if (r.kind != kind) continue;
        if (request.is(SearchKind::CommonEvent)) {
            if (matchesOneId(request, r.first)) return true;
            continue;
        }
        bool wanted = searchedAsOperating(r) ? request.inOperatingCommands
                                             : request.inReferencingCommands;
        if (!wanted) continue;
        if (r.together) {
            set.push_back(r.first);
            continue;
        }
        bool hit = r.first == r.last ? matchesOneId(request, r.first)
                                     : matchesRange(request, r.first, r.last);
        if (hit) return true;
    }
    return !set.empty() && setMatches(request, set);
}

bool textSearchMatches(const std::vector<Reference>& refs, const SearchRequest& request) {
    for (const Reference& r : refs) {
        TextTarget target = targetOf(r.role);
        if (target != TextTargetCount && textTargetMatches(request, target, r.text)) return true;
    }
    return false;
}

bool anyFileMissing(const std::vector<Reference>& refs, const ResourceResolver& resources) {
    for (const Reference& r : refs) {
        if (r.kind != RefKind::File || r.text.empty()) continue;
        std::string found;
        if (resources.resolve(r.folder + r.text, found) < 0) return true;
    }
    return false;
}

}  // namespace

bool textTargetMatches(const SearchRequest& request, TextTarget target, const std::string& text) {
    if (!request.target(target)) return false;
    TextQuery query{request.text, request.caseSensitive, request.useRegex, request.fuzzy};
    return textMatches(text, query, request.matcher);
}

bool commandMatches(const EventCommand& command, const SearchRequest& request,
                    const ResourceResolver& resources) {
    if (!findCommandRow(command.code)) return false;
    switch (request.kind) {
        case SearchKind::EventCommand:
            return request.targetIds.count(command.code) > 0;
        case SearchKind::MissingFile:
            return request.missingFiles && anyFileMissing(references(command), resources);
        case SearchKind::Text:
            return textSearchMatches(references(command), request);
        default:
            return idSearchMatches(references(command), request);
    }
}

bool commandCanAnswer(int32_t code, const SearchRequest& request) {
    switch (request.kind) {
        case SearchKind::Switch:
            return codeMayRefer(code, RefKind::Switch);
        case SearchKind::Variable:
            return codeMayRefer(code, RefKind::Variable) || codeMayRefer(code, RefKind::Text);
        case SearchKind::CommonEvent:
            return codeMayRefer(code, RefKind::CommonEvent);
        case SearchKind::EventCommand:
            return request.targetIds.count(code) > 0;
        case SearchKind::MissingFile:
            return codeMayRefer(code, RefKind::File);
        case SearchKind::Text:
            return codeMayRefer(code, RefKind::Text) || codeMayRefer(code, RefKind::Label) ||
                   codeMayRefer(code, RefKind::File);
    }
    return true;
}

}  // namespace zorvane
