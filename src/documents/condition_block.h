// The block of a document that says when and how an event runs: the trigger of a common
// event, the condition and span of a troop page, the condition, graphic, autonomous
// movement, options and trigger of a map event page. Sections are data first, so a text
// rendering of a data file can reuse them; rendered in either document form.
#pragma once

#include <string>
#include <vector>

#include "project/event_records.h"
#include "project/listing_language.h"

namespace zorvane {

class ProjectDatabase;

// How a section's values follow its title: on a line of their own after the title's line
// break, directly after the block opening, or each with its own prefix.
enum class SectionForm { Break, Direct, Prefixed };

struct ConditionSection {
    const char* title;
    SectionForm form;
    std::vector<std::string> items;  // plain text; escaped when rendered as HTML
};

// Titles and values in the listing's language (Japanese unless asked otherwise).
using Lang = ListingLanguage;
std::vector<ConditionSection> commonEventSections(const CommonEvent& event,
                                                  const ProjectDatabase& project,
                                                  Lang language = Lang::Japanese);
std::vector<ConditionSection> troopPageSections(const TroopPage& page, int troopId,
                                                const ProjectDatabase& project, bool detail,
                                                Lang language = Lang::Japanese);
std::vector<ConditionSection> mapPageSections(const MapEventPage& page,
                                              const ProjectDatabase& project, bool detail,
                                              Lang language = Lang::Japanese);

// The whole block, <div class="condition"><dl>…</dl></div> in HTML.
std::string renderConditionBlock(const std::vector<ConditionSection>& sections, bool html);

}  // namespace zorvane
