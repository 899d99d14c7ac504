// The check's words in the language of its options, as the listing does it: the Japanese
// text is the source and the key, the English table beside it gives its English form.
#pragma once

#include <utility>
#include <vector>

#include "project/listing_language.h"

namespace zorvane {

// The phrase in the language; a phrase the table lacks stays Japanese, which the test over
// the table finds.
const char* checkSay(const char* japanese, ListingLanguage language);

// The English table: (Japanese, English) pairs.
const std::vector<std::pair<const char*, const char*>>& checkEnglishPhrases();

}  // namespace zorvane
