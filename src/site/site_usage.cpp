// The references of each command, gathered per item for the switch page, the map pages'
// transfers and the search index.
#include "site/site_usage.h"

#include <algorithm>

#include "listing/command_refs.h"

namespace zorvane::site {

namespace {

bool searched(TextRole role) {
    return role == TextRole::Message || role == TextRole::Choice || role == TextRole::Comment ||
           role == TextRole::Script;
}

}  // namespace

void SiteUsage::addList(const UsePlace& owner, int fromMap, const EventCommandList& list) {
    std::string text;
    for (size_t i = 0; i < list.size(); ++i) {
        UsePlace place = owner;
        place.line = static_cast<int>(i) + 1;
        for (const Reference& ref : references(list[i])) {
            place.writes = ref.access == Access::Write;
            int last = std::min(ref.last, ref.first + kMaxRangeIds - 1);
            switch (ref.kind) {
                case RefKind::Switch:
                    for (int id = ref.first; id <= last; ++id) switches[id].push_back(place);
                    break;
                case RefKind::Variable:
                    for (int id = ref.first; id <= last; ++id) variables[id].push_back(place);
                    break;
                case RefKind::Map:
                    transfers.push_back({fromMap, ref.first, place});
                    break;
                case RefKind::Text:
                    if (!searched(ref.role) || ref.text.empty()) break;
                    if (!text.empty()) text += ' ';
                    text += ref.text;
                    break;
                default:
                    break;
            }
        }
    }
    search.push_back({owner.where, owner.page, std::move(text)});
}

}  // namespace zorvane::site
