// One check box per fold, as a table, so the captions and the fields cannot drift apart.
#include "app/fuzzy_options_dialog.h"

#include <wx/checkbox.h>
#include <wx/sizer.h>

#include "app/message_box.h"
#include "app/wx_text.h"
#include "platform/registry_store.h"

namespace zorvane {

namespace {

struct FoldRow {
    const char* caption;
    bool FuzzyOptions::*field;
};

const std::array<FoldRow, FuzzyOptionsDialog::kBoxCount> kFoldRows = {{
    {wxTRANSLATE("英数字の全角/半角を区別しない"), &FuzzyOptions::foldAsciiWidth},
    {wxTRANSLATE("カタカナの全角/半角を区別しない"), &FuzzyOptions::foldKatakanaWidth},
    {wxTRANSLATE("ひらがな/カタカナを区別しない"), &FuzzyOptions::foldKana},
}};

}  // namespace

FuzzyOptionsDialog::FuzzyOptionsDialog(wxWindow* parent, const FuzzyOptions& options)
    : wxDialog(parent, wxID_ANY, tr("あいまい検索の設定")) {
    auto* column = new wxBoxSizer(wxVERTICAL);
    for (size_t i = 0; i < kFoldRows.size(); ++i) {
        boxes_[i] = new wxCheckBox(this, wxID_ANY, tr(kFoldRows[i].caption));
        boxes_[i]->SetValue(options.*kFoldRows[i].field);
        column->Add(boxes_[i], 0, wxALL, 6);
    }
    column->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxALL, 8);
    SetSizerAndFit(column);
}

FuzzyOptions FuzzyOptionsDialog::options() const {
    FuzzyOptions options;
    for (size_t i = 0; i < kFoldRows.size(); ++i)
        options.*kFoldRows[i].field = boxes_[i]->GetValue();
    return options;
}

bool runFuzzyOptionsDialog(wxWindow* owner) {
    RegistryStore& store = RegistryStore::user();
    FuzzyOptionsDialog dialog(owner, loadFuzzyOptions(store));
    if (showModal(dialog) != wxID_OK) return false;
    saveFuzzyOptions(store, dialog.options());
    store.save();
    return true;
}

}  // namespace zorvane
