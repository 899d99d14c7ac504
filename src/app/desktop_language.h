// The language of the desktop program: its own texts (Japanese source, other languages from
// the message catalogs) and wx's (stock buttons, the system's file and colour dialogs).
#pragma once
#include <string>

#include "project/listing_language.h"

namespace zorvane {

// The setting "Language" of section System, as stored.
enum class LanguageChoice { Automatic = 0, Japanese = 1, English = 2 };
enum class DesktopLanguage { Japanese, English };

// What the environment asks for: the first set of LC_ALL, LC_MESSAGES and LANG. Japanese
// for a Japanese, C or unset locale (the program's own language); English for any other,
// English being the one translation there is.
DesktopLanguage languageOfLocaleName(const std::string& localeName);
DesktopLanguage environmentLanguage();

// The C library's locale from the environment, with numbers kept in the C form that the
// files and the core expect; then wx's catalogs and the program's own in the chosen
// language (Automatic: the environment's). Catalogs are looked for beside the program (the
// build tree) before the system's folders.
void useDesktopLanguage(LanguageChoice choice = LanguageChoice::Automatic);

// The language the windows were given by the last useDesktopLanguage (Japanese before it).
DesktopLanguage desktopLanguage();
// The same as the listing's language name, "ja" or "en": what listings, documents and search
// hits shown in the windows are written in, so they speak the interface's language.
std::string desktopListingLanguage();
// The same as the core's listing language.
ListingLanguage desktopListing();

}  // namespace zorvane
