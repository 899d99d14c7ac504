// Without this the GTK dialogs and wx's stock labels stay English inside a Japanese window,
// and the program's own texts stay Japanese whatever the user reads.
#include "app/desktop_language.h"

#include <wx/translation.h>

#include <clocale>
#include <cstdlib>

#include "platform/folders.h"

namespace zorvane {

namespace {

constexpr const char* kCatalogName = "zorvane";
DesktopLanguage gLanguage = DesktopLanguage::Japanese;

}  // namespace

DesktopLanguage languageOfLocaleName(const std::string& localeName) {
    if (localeName.empty() || localeName.rfind("ja", 0) == 0 || localeName == "POSIX" ||
        localeName == "C" || localeName.rfind("C.", 0) == 0)
        return DesktopLanguage::Japanese;
    return DesktopLanguage::English;
}

DesktopLanguage environmentLanguage() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) return languageOfLocaleName(value);
    }
    return DesktopLanguage::Japanese;
}

void useDesktopLanguage(LanguageChoice choice) {
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");
    gLanguage = choice == LanguageChoice::Japanese  ? DesktopLanguage::Japanese
                : choice == LanguageChoice::English ? DesktopLanguage::English
                                                    : environmentLanguage();
    static const bool lookBesideProgram = [] {
        const std::string folder = programFolder();
        for (const char* below : {"/locale", "/../locale", "/../share/locale"})
            wxFileTranslationsLoader::AddCatalogLookupPathPrefix(
                wxString::FromUTF8(folder + below));
        return true;
    }();
    (void)lookBesideProgram;
    auto* translations = new wxTranslations;  // wx owns it once set
    wxTranslations::Set(translations);
    translations->SetLanguage(gLanguage == DesktopLanguage::English ? wxLANGUAGE_ENGLISH
                                                                    : wxLANGUAGE_JAPANESE);
    translations->AddStdCatalog();
    translations->AddCatalog(kCatalogName, wxLANGUAGE_JAPANESE);
}

DesktopLanguage desktopLanguage() {
    return gLanguage;
}

std::string desktopListingLanguage() {
    return gLanguage == DesktopLanguage::English ? "en" : "ja";
}

ListingLanguage desktopListing() {
    return gLanguage == DesktopLanguage::English ? ListingLanguage::English
                                                 : ListingLanguage::Japanese;
}

}  // namespace zorvane
