// The language of the texts the program writes about a project's contents: listing lines,
// labels of ids, documents' headings and condition sections. Japanese is the source text
// and the default; English is a second table beside it.
#pragma once

namespace zorvane {

enum class ListingLanguage { Japanese, English };

}  // namespace zorvane
