// The check tab. The worker's progress reaches the bar through the gauge forwarder; the
// findings come back through the task runner's completion callback, so widgets are touched
// only on the UI thread.
#include "app/check_page.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include "app/desktop_language.h"
#include "app/file_dialogs.h"
#include "app/gauge_forwarder.h"
#include "app/message_box.h"
#include "app/wx_text.h"
#include "platform/file_util.h"
#include "platform/string_util.h"
#include "project/project_database.h"

namespace zorvane {

namespace {

// The check's steps as the bar's range and position.
class CheckGauge : public CheckProgress {
  public:
    explicit CheckGauge(std::shared_ptr<GaugeForwarder> gauge) : gauge_(std::move(gauge)) {}
    void progress(int done, int total) override {
        gauge_->setRange(total);
        gauge_->setPosition(done);
    }

  private:
    std::shared_ptr<GaugeForwarder> gauge_;
};

}  // namespace

CheckPage::CheckPage(wxWindow* parent, AppContext& context) : wxPanel(parent), context_(context) {
    auto* kindsBox = new wxStaticBoxSizer(wxHORIZONTAL, this, tr("調べる項目"));
    auto* grid = new wxGridSizer(4, 2, 12);
    for (const CheckKindInfo& k : checkKinds()) {
        wxCheckBox* box = new wxCheckBox(kindsBox->GetStaticBox(), wxID_ANY, toWx(k.shown(desktopListing())));
        box->SetValue(true);
        kinds_[static_cast<size_t>(k.kind) - 1] = box;
        grid->Add(box);
    }
    kindsBox->Add(grid, 1, wxALL, 4);

    list_ = new wxListCtrl(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                           wxLC_REPORT | wxLC_SINGLE_SEL);
    for (const char* heading : findingHeadings(desktopListing())) list_->AppendColumn(toWx(heading));

    auto* row = new wxBoxSizer(wxHORIZONTAL);
    progress_ = new wxGauge(this, wxID_ANY, 1);
    summary_ = new wxStaticText(this, wxID_ANY, "");
    row->Add(progress_, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, 8);
    row->Add(summary_, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, 8);
    runButton_ = new wxButton(this, wxID_ANY, tr("実行"));
    saveButton_ = new wxButton(this, wxID_ANY, tr("CSVで保存"));
    row->Add(runButton_, 0, wxRIGHT, 6);
    row->Add(saveButton_, 0);

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(kindsBox, 0, wxEXPAND | wxALL, 6);
    column->Add(list_, 1, wxEXPAND | wxLEFT | wxRIGHT, 6);
    column->Add(row, 0, wxEXPAND | wxALL, 6);
    SetSizer(column);

    runButton_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { startCheck(); });
    saveButton_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { saveCsv(); });
    list_->Bind(wxEVT_LIST_COL_CLICK, [this](wxListEvent& e) {
        findings_.sortByColumn(e.GetColumn());
        showRows();
    });
    list_->Bind(wxEVT_LIST_ITEM_ACTIVATED, [this](wxListEvent& e) { openRow(e.GetIndex()); });
    wxWeakRef<CheckPage> self(this);
    std::function<void()> previous = context_.hooks.updatePageStates;
    context_.hooks.updatePageStates = [previous, self] {
        if (previous) previous();
        if (self) self->refresh();
    };
    refresh();
}

CheckPage::~CheckPage() {
    if (forwarder_) forwarder_->stop();
}

void CheckPage::refresh() {
    bool busy = context_.tasks.isBusy();
    runButton_->SetLabel(busy ? tr("中断") : tr("実行"));
    runButton_->Enable(context_.database.loaded);
    saveButton_->Enable(!busy && findings_.size() > 0);
}

void CheckPage::startCheck() {
    if (context_.tasks.isBusy()) {
        context_.tasks.abort();
        return;
    }
    if (!context_.database.loaded) return;
    CheckOptions options;
    options.language = desktopListing();
    for (const CheckKindInfo& k : checkKinds())
        if (kindBox(k.kind)->GetValue()) options.kinds.insert(k.kind);
    if (options.kinds.empty()) return;
    findings_.assign({});
    showRows();
    summary_->SetLabel("");
    forwarder_ = std::make_shared<GaugeForwarder>(progress_);
    auto gauge = std::make_shared<CheckGauge>(forwarder_);
    auto result = std::make_shared<CheckResult>();
    const ProjectDatabase& db = context_.database;
    wxWeakRef<CheckPage> self(this);
    context_.tasks.start(
        [&db, options, gauge, result](std::atomic<bool>& abort) {
            *result = checkProject(db, options, gauge.get(), abort);
        },
        [self, result](const TaskEnd& end) {
            if (self) self->checkEnded(*result, end);
        });
}

void CheckPage::checkEnded(const CheckResult& result, const TaskEnd& end) {
    if (forwarder_) forwarder_->stop();
    forwarder_.reset();
    progress_->SetValue(0);
    if (end.failed)
        showMessage(wxGetTopLevelParent(this), trs("エラーが発生しました") + "\n\n" + end.failure,
                    kMessageTitle, wxOK | wxICON_WARNING);
    if (!end.failed && !result.aborted) {
        findings_.assign(result.findings, desktopListing());
        showRows();
        int counts[3] = {0, 0, 0};
        for (const Finding& f : result.findings) ++counts[static_cast<int>(f.severity)];
        std::string text = trf("エラー %d件  警告 %d件  情報 %d件", counts[0], counts[1], counts[2]);
        // Findings may be missing where a file could not be read: say which.
        if (!result.unreadable.empty())
            text += trf("  ※読み込めないファイル%d個（%s）", static_cast<int>(result.unreadable.size()),
                           result.unreadable.front().c_str());
        summary_->SetLabel(toWx(text));
    } else if (result.aborted) {
        summary_->SetLabel(tr("中断しました"));
    }
    refresh();
}

void CheckPage::showRows() {
    list_->Freeze();
    list_->DeleteAllItems();
    for (size_t i = 0; i < findings_.size(); ++i) {
        const auto& cells = findings_.cells(i);
        long item = list_->InsertItem(static_cast<long>(i), toWx(cells[0]));
        for (int c = 1; c < FindingColumnCount; ++c) list_->SetItem(item, c, toWx(cells[static_cast<size_t>(c)]));
    }
    for (int c = 0; c < FindingColumnCount; ++c)
        list_->SetColumnWidth(c, findings_.size() == 0 ? wxLIST_AUTOSIZE_USEHEADER : wxLIST_AUTOSIZE);
    list_->Thaw();
}

void CheckPage::openRow(long row) {
    if (row < 0 || context_.tasks.isBusy()) return;
    ViewerTarget target = findings_.targetOf(static_cast<size_t>(row));
    if (target.kind == ViewerTarget::None || !context_.hooks.openEventViewerAt) return;
    context_.hooks.openEventViewerAt(this, target);
}

void CheckPage::saveCsv() {
    if (context_.tasks.isBusy() || findings_.size() == 0) return;
    std::string file;
    if (!askSaveFileName(this, file, {{wxTRANSLATE("csvファイル(*.csv)"), "*.csv"}}, 0, dialogFolder(context_),
                         trs("診断結果をCSVで保存"), "csv"))
        return;
    context_.settings.system.lastDir = folderOf(file);
    auto encoding = static_cast<OutputEncoding>(context_.settings.dataExport.outputEncoding);
    size_t lost = 0;
    if (findings_.saveCsv(file, csvEncodingFor(encoding, context_.database), &lost))
        warnLostCharacters(this, {{file, lost}});
}

}  // namespace zorvane
