// Fuzzy options in the per-user registry store, one 0/1 value per fold.
#include "text/fuzzy_options.h"

#include <array>

#include "platform/registry_store.h"

namespace zorvane {

namespace {

const char* const kKeyPath = "Software\\Hidemaruo\\HmJre";

struct OptionField {
    const char* name;
    bool FuzzyOptions::*field;
};

const std::array<OptionField, 3> kFields = {{
    {"FoldAsciiWidth", &FuzzyOptions::foldAsciiWidth},
    {"FoldKatakanaWidth", &FuzzyOptions::foldKatakanaWidth},
    {"FoldKana", &FuzzyOptions::foldKana},
}};

}  // namespace

FuzzyOptions loadFuzzyOptions(const RegistryStore& store) {
    FuzzyOptions options;
    for (const auto& f : kFields) {
        options.*f.field = store.getInt(kKeyPath, f.name, options.*f.field ? 1 : 0) != 0;
    }
    return options;
}

void saveFuzzyOptions(RegistryStore& store, const FuzzyOptions& options) {
    for (const auto& f : kFields) store.setInt(kKeyPath, f.name, options.*f.field ? 1 : 0);
}

}  // namespace zorvane
