// The variable escapes of message texts ("\V[12]" shows variable 12): whether a text shows
// a variable that a variable search looks for.
#pragma once

#include <string>

#include "listing/search_request.h"

namespace zorvane {

// True when some escape of text names a variable n > 0 that the request searches for
// (one-id rule). Needs the request's matcher; without one, no text matches.
bool showsSearchedVariable(const std::string& text, const SearchRequest& request);

}  // namespace zorvane
