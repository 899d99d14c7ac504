// Whether an event command answers a search request, judged from what the command refers
// to (command_refs.h): the switch and variable searches under their operating and
// referencing options, the called common event, the text areas, the missing files.
#pragma once

#include <string>

#include "listing/command_refs.h"
#include "listing/search_request.h"
#include "project/resource.h"

namespace zorvane {

// resources: the project's game folder and RTPs, where the missing-file search looks.
bool commandMatches(const EventCommand& command, const SearchRequest& request,
                    const ResourceResolver& resources);

// The text search on one text area: true when the request is a text search with that
// target ticked and the matcher finds the request's text in `text`.
bool textTargetMatches(const SearchRequest& request, TextTarget target, const std::string& text);

// Whether a command of this code can match the request at all, so a search reads only
// those: derived from the operand descriptions, and an event command search names its codes.
bool commandCanAnswer(int32_t code, const SearchRequest& request);

}  // namespace zorvane
