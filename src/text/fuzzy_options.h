// Which folds the fuzzy search applies. They are kept with the per-user registry keys, under
// the key path of the matching library, so the option dialog and every search share them.
#pragma once

namespace zorvane {

class RegistryStore;

struct FuzzyOptions {
    bool foldAsciiWidth = true;     // "ＡＢＣ１" equals "ABC1"
    bool foldKatakanaWidth = true;  // "ｶﾞ" equals "ガ"
    bool foldKana = true;           // "が" equals "ガ"
};

// Letter case is not an option here: it follows each search's case mode.
FuzzyOptions loadFuzzyOptions(const RegistryStore& store);
void saveFuzzyOptions(RegistryStore& store, const FuzzyOptions& options);

}  // namespace zorvane
