// The "エクスポート" tab: the twelve database boxes, the four event rows with "全て" /
// "指定" and their pickers, "下位のマップも含める", "マップ画像", the output folder, the start
// button that becomes "中断", and the progress bar; "サイトとして出力" writes the whole project
// as a browsable site instead. The export runs on the task runner.
#pragma once
#include <type_traits>

#include <wx/panel.h>

#include <array>
#include <string>

#include "app/app_context.h"
#include "app/event_range_rows.h"
#include "export/export_driver.h"
#include "site/site_writer.h"

class wxButton;
class wxCheckBox;
class wxGauge;
class wxTextCtrl;

namespace zorvane {

// What an export started now would do, from the settings the page stored.
ExportOptions exportOptionsFrom(const Settings& settings);
// What a site started now would write into outputFolder/<project folder>_site.
SiteOptions siteOptionsFrom(const Settings& settings, const std::string& outputFolder,
                            const std::string& projectFolder);

// The box shown when an export ends: "終了しました", or for an aborted one "中断しました" with
// the files written and the folder; then the count of files that could not be written.
std::string exportEndText(const ExportSummary& summary);

class ExportPage : public wxPanel {
  public:
    ExportPage(wxWindow* parent, AppContext& context);

    // Control 1: starts an export, or aborts the one running.
    void startOrAbort();
    void browseOutputFolder();
    void pickRangeId(size_t row);
    // A project was opened: the rows show its names.
    void refresh();
    void updateStates();
    // What the controls show, back into the settings.
    void storeState();

    bool exporting() const { return exporting_; }
    const std::array<wxCheckBox*, kDatabaseTableCount>& tableBoxes() const { return tables_; }
    const RangeRows& rangeRows() const { return ranges_; }
    wxCheckBox* subMapsBox() const { return subMaps_; }
    wxCheckBox* mapImagesBox() const { return mapImages_; }
    wxCheckBox* siteBox() const { return site_; }
    wxTextCtrl* outputBox() const { return outputBox_; }
    wxButton* browseButton() const { return browse_; }
    wxButton* startButton() const { return start_; }
    wxGauge* progressBar() const { return progress_; }

  private:
    wxSizer* buildTableBox();
    wxSizer* buildEventBox();
    wxSizer* buildOutputRow();
    void bindControls();
    void joinHooks();
    void showSettings();
    void showRangeLabels();
    void start();
    bool rangeChoicesMade(const ExportOptions& options);
    void finished(const ExportSummary& summary, const TaskEnd& end);
    // The messages that say how the run ended.
    void showEnd(wxWindow* top, const ExportSummary& summary, const TaskEnd& end);

    AppContext& context_;
    std::array<wxCheckBox*, kDatabaseTableCount> tables_{};
    RangeRows ranges_{};
    wxCheckBox* subMaps_ = nullptr;
    wxCheckBox* mapImages_ = nullptr;
    wxCheckBox* site_ = nullptr;
    wxTextCtrl* outputBox_ = nullptr;
    wxButton* browse_ = nullptr;
    wxButton* start_ = nullptr;
    wxGauge* progress_ = nullptr;
    bool exporting_ = false;
};

}  // namespace zorvane
