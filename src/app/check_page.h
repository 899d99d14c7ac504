// The "診断" tab: the kinds of the project check as check boxes, the run button that turns
// into the abort button while the check runs on the task runner, the findings list (sorted
// by a click on a column, a double click opening the event viewer at the line) and saving
// the list as CSV.
#pragma once
// wx/weakref.h uses std::is_base_of without including its header.
#include <type_traits>

#include <wx/panel.h>

#include <array>
#include <memory>

#include "app/app_context.h"
#include "check/finding_list.h"
#include "check/project_check.h"

class wxButton;
class wxCheckBox;
class wxGauge;
class wxListCtrl;
class wxStaticText;

namespace zorvane {

class GaugeForwarder;

class CheckPage : public wxPanel {
  public:
    CheckPage(wxWindow* parent, AppContext& context);
    ~CheckPage() override;

    // "実行": starts the check, or aborts the running task when pressed as "中断".
    void startCheck();
    void saveCsv();
    void openRow(long row);
    void refresh();

    const FindingList& findings() const { return findings_; }
    wxListCtrl* list() const { return list_; }
    wxButton* runButton() const { return runButton_; }
    wxCheckBox* kindBox(CheckKind kind) const { return kinds_[static_cast<size_t>(kind) - 1]; }
    wxStaticText* summary() const { return summary_; }

  private:
    void checkEnded(const CheckResult& result, const TaskEnd& end);
    void showRows();

    AppContext& context_;
    std::array<wxCheckBox*, kCheckKindCount> kinds_{};
    wxListCtrl* list_ = nullptr;
    wxButton* runButton_ = nullptr;
    wxButton* saveButton_ = nullptr;
    wxGauge* progress_ = nullptr;
    wxStaticText* summary_ = nullptr;
    FindingList findings_;
    std::shared_ptr<GaugeForwarder> forwarder_;
};

}  // namespace zorvane
