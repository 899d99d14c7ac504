// The site's own words (navigation, titles, headings, captions) in the language of its
// options: the Japanese text is the key, the English table beside it gives its English form.
#pragma once

#include <utility>
#include <vector>

#include "project/listing_language.h"

namespace zorvane::site {

// The word in the language; a word the table lacks stays Japanese, which the tests find.
const char* siteSay(const char* japanese, ListingLanguage language);

// The English table: (Japanese, English) pairs.
const std::vector<std::pair<const char*, const char*>>& siteEnglishWords();

}  // namespace zorvane::site
