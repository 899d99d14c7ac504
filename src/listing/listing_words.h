// The listing's words in the language of its options. The Japanese text is the source and
// the key; the English table beside it gives each its English form. Name lists indexed by
// a stored value keep one row per language where they are defined instead, since a short
// Japanese word ("上") can mean two English ones.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "project/listing_language.h"

namespace zorvane {

// The phrase in the language; a phrase the English table lacks stays Japanese, which the
// tests over the table and over the sample find.
const char* say(const char* japanese, ListingLanguage language);

// The pattern with each "{n}" replaced by the n-th argument (from 1). Phrases whose parts
// stand in another order in English are patterns; plain concatenation keeps stored bytes
// that printf's %s would cut at a NUL.
std::string fill(std::string_view pattern, std::initializer_list<std::string_view> args);

// The English table: (Japanese, English) pairs.
const std::vector<std::pair<const char*, const char*>>& englishPhrases();

// Row of a two-language name list: 0 Japanese, 1 English.
inline int row(ListingLanguage language) {
    return language == ListingLanguage::English ? 1 : 0;
}

}  // namespace zorvane
