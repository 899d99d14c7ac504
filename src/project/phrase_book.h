// A table of (Japanese, English) phrase pairs looked up by the Japanese text, the source and
// the key. The listing, the check and the site each keep a table of their own words.
#pragma once

#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "project/listing_language.h"

namespace zorvane {

using PhrasePairs = std::vector<std::pair<const char*, const char*>>;

class PhraseBook {
  public:
    explicit PhraseBook(const PhrasePairs& pairs) : english_(pairs.begin(), pairs.end()) {}

    // The phrase in the language; a phrase the table lacks stays Japanese, which the tests
    // over each table find.
    const char* say(const char* japanese, ListingLanguage language) const {
        if (language != ListingLanguage::English) return japanese;
        auto it = english_.find(japanese);
        return it == english_.end() ? japanese : it->second;
    }

  private:
    std::unordered_map<std::string_view, const char*> english_;
};

}  // namespace zorvane
