// The dialog behind the text page's "設定" button: which folds the fuzzy search applies,
// read from and saved to the per-user registry store.
#pragma once
#include <wx/dialog.h>

#include <array>

#include "text/fuzzy_options.h"

class wxCheckBox;

namespace zorvane {

class FuzzyOptionsDialog : public wxDialog {
  public:
    FuzzyOptionsDialog(wxWindow* parent, const FuzzyOptions& options);
    FuzzyOptions options() const;
    wxCheckBox* box(size_t index) const { return boxes_[index]; }
    static constexpr size_t kBoxCount = 3;

  private:
    std::array<wxCheckBox*, kBoxCount> boxes_{};
};

// Shows the dialog through the modal seam; on OK the options are saved. True on OK.
bool runFuzzyOptionsDialog(wxWindow* owner);

}  // namespace zorvane
