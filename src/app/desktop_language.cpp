// Without this the GTK dialogs and wx's stock labels stay English inside a Japanese window.
#include "app/desktop_language.h"

#include <wx/translation.h>

#include <clocale>

namespace zorvane {

void useDesktopLanguage() {
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");
    auto* translations = new wxTranslations;  // wx owns it once set
    wxTranslations::Set(translations);
    translations->AddStdCatalog();
}

}  // namespace zorvane
