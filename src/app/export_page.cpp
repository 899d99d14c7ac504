// The page reads its controls only on the UI thread and hands the worker finished options.
// The worker's progress reaches the bar through a mailbox with at most one delivery queued;
// the one question of the run (a map picture too large for memory) is asked on the UI
// thread while the worker waits, giving up when the export is aborted.
#include "app/export_page.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/gauge.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/textctrl.h>
#include <wx/weakref.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <future>
#include <memory>
#include <mutex>

#include "app/desktop_language.h"
#include "app/file_dialogs.h"
#include "app/message_box.h"
#include "app/page_hooks.h"
#include "app/wx_text.h"
#include "project/project_database.h"
#include "update/program_identity.h"

namespace zorvane {

namespace {

const char* const kTableCaptions[kDatabaseTableCount] = {
    wxTRANSLATE("アクター"), wxTRANSLATE("クラス"),   wxTRANSLATE("スキル"),
    wxTRANSLATE("アイテム"), wxTRANSLATE("武器"),     wxTRANSLATE("防具"),
    wxTRANSLATE("エネミー"), wxTRANSLATE("トループ"), wxTRANSLATE("ステート"),
    wxTRANSLATE("属性"),     wxTRANSLATE("スイッチ"), wxTRANSLATE("変数"),
};

const char* const kStartCaption = wxTRANSLATE("出力開始");
const char* const kAbortCaption = wxTRANSLATE("中断");
const char* const kFullSizeQuestion = wxTRANSLATE(
    "マップサイズが大きすぎてメモリ確保に失敗した可能性があります\n等倍BMPで再試行しますか？");

// Carries the worker's progress to the page's bar on the UI thread.
class ExportForwarder : public ExportSink, public std::enable_shared_from_this<ExportForwarder> {
  public:
    explicit ExportForwarder(ExportPage* page) : page_(page) {}

    // Worker side.
    void watch(const std::atomic<bool>* abort) { abort_ = abort; }
    void begin(int total) override {
        post([&] { total_ = total; });
    }
    void unit(const std::string&) override {}
    void step(int done) override {
        post([&] { done_ = done; });
    }
    void fileWritten(const std::string&, uint64_t) override {}
    void fileFailed(const std::string&) override {}  // the summary counts them
    bool askFullSizeBmp(int) override;

    // UI side.
    void deliver();

  private:
    template <class F>
    void post(F change) {
        std::lock_guard<std::mutex> lock(mutex_);
        change();
        if (scheduled_ || !wxTheApp) return;
        scheduled_ = true;
        std::weak_ptr<ExportForwarder> self = weak_from_this();
        wxTheApp->CallAfter([self] {
            if (auto forwarder = self.lock()) forwarder->deliver();
        });
    }

    std::mutex mutex_;
    int total_ = 0, done_ = 0;
    bool scheduled_ = false;
    const std::atomic<bool>* abort_ = nullptr;
    wxWeakRef<ExportPage> page_;  // UI thread only
};

bool ExportForwarder::askFullSizeBmp(int) {
    if (!wxTheApp) return false;
    auto answer = std::make_shared<std::promise<bool>>();
    std::future<bool> future = answer->get_future();
    std::weak_ptr<ExportForwarder> self = weak_from_this();
    wxTheApp->CallAfter([self, answer] {
        auto forwarder = self.lock();
        wxWindow* owner =
            forwarder && forwarder->page_ ? wxGetTopLevelParent(forwarder->page_) : nullptr;
        answer->set_value(showMessage(owner, trs(kFullSizeQuestion), trs("確認"),
                                      wxYES_NO | wxICON_QUESTION) == wxYES);
    });
    while (future.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready)
        if (abort_ && abort_->load()) return false;
    return future.get();
}

void ExportForwarder::deliver() {
    int total, done;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        total = total_;
        done = done_;
        scheduled_ = false;
    }
    if (!page_) return;
    wxGauge* bar = page_->progressBar();
    bar->SetRange(std::max(total, 1));
    bar->SetValue(std::min(done, std::max(total, 1)));
}

}  // namespace

ExportOptions exportOptionsFrom(const Settings& s) {
    ExportOptions o;
    o.outputFolder = s.dataExport.outputDir;
    std::copy(s.dataExport.csvCheck.begin(), s.dataExport.csvCheck.end(), o.tables.begin());
    for (size_t r = 0; r < o.categories.size(); ++r)
        o.categories[r] = {s.exportRange.check[r], s.exportRange.radio[r], s.exportRange.select[r]};
    o.includeSubMaps = s.exportRange.includeSubMaps;
    o.mapImages = s.exportRange.mapImages;
    o.documents.html = s.eventViewer.saveMode;
    o.documents.lineNumbers = s.eventViewer.lineNum;
    o.documents.detail = s.eventViewer.detail;
    o.documents.language = desktopListing();
    o.documents.skipEmpty = s.dataExport.noEmptyEvent;
    o.documents.headerTemplate = s.eventViewer.template1;
    o.documents.footerTemplate = s.eventViewer.template2;
    o.colourRulesFile = s.eventViewer.rubyColor;
    o.render = s.mapViewer.render;
    int encoding = s.dataExport.outputEncoding;
    o.outputEncoding = encoding >= 0 && encoding <= 2 ? static_cast<OutputEncoding>(encoding)
                                                      : OutputEncoding::Automatic;
    return o;
}

SiteOptions siteOptionsFrom(const Settings& s, const std::string& outputFolder,
                            const std::string& projectFolder) {
    SiteOptions o;
    o.outputFolder = siteRoot(outputFolder, projectFolder);
    o.headerTemplate = s.eventViewer.template1;
    o.footerTemplate = s.eventViewer.template2;
    o.colourRulesFile = s.eventViewer.rubyColor;
    o.render = s.mapViewer.render;
    o.language = desktopListing();
    return o;
}

std::string exportEndText(const ExportSummary& summary) {
    std::string text = trs("終了しました");
    if (summary.end == ExportEnd::Aborted) {
        // What is there is a part only: the user must know how much, and where.
        text = trf("中断しました\n\n%d 個のファイルを書き込みました", summary.filesWritten);
        if (!summary.root.empty()) text += "\n" + trs("出力先: ") + summary.root;
    }
    if (!summary.failedFiles.empty())
        text += "\n\n" + trf("%zu 個のファイルを書き込めませんでした", summary.failedFiles.size());
    if (summary.skipped.empty()) return text;
    // As the search says it: their events are missing from the export.
    text += "\n\n" + trf("※読み込めないファイル%zu個を飛ばしました", summary.skipped.size());
    for (const std::string& skipped : summary.skipped) text += "\n" + skipped;
    return text;
}

ExportPage::ExportPage(wxWindow* parent, AppContext& context) : wxPanel(parent), context_(context) {
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(buildTableBox(), 0, wxEXPAND | wxALL, 4);
    column->Add(buildEventBox(), 0, wxEXPAND | wxLEFT | wxRIGHT, 4);
    column->Add(buildOutputRow(), 0, wxEXPAND | wxALL, 4);
    auto* runRow = new wxBoxSizer(wxHORIZONTAL);
    progress_ = new wxGauge(this, wxID_ANY, 1);
    start_ = new wxButton(this, wxID_ANY, tr(kStartCaption));
    runRow->Add(progress_, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    runRow->Add(start_, 0, wxALIGN_CENTER_VERTICAL);
    column->Add(runRow, 0, wxEXPAND | wxALL, 6);
    SetSizer(column);
    showSettings();
    bindControls();
    joinHooks();
    refresh();
}

wxSizer* ExportPage::buildTableBox() {
    auto* box = new wxStaticBoxSizer(wxVERTICAL, this, tr("出力するデータベース"));
    auto* grid = new wxGridSizer(6, 3, 12);
    for (size_t t = 0; t < tables_.size(); ++t) {
        tables_[t] = new wxCheckBox(box->GetStaticBox(), wxID_ANY, tr(kTableCaptions[t]));
        grid->Add(tables_[t]);
    }
    box->Add(grid, 0, wxALL, 3);
    return box;
}

wxSizer* ExportPage::buildEventBox() {
    auto* box = new wxStaticBoxSizer(wxVERTICAL, this, tr("出力するイベント"));
    wxWindow* parent = box->GetStaticBox();
    box->Add(buildRangeRows(parent, ranges_), 0, wxEXPAND | wxALL, 3);
    auto* options = new wxBoxSizer(wxHORIZONTAL);
    subMaps_ = new wxCheckBox(parent, wxID_ANY, tr("下位のマップも含める"));
    mapImages_ = new wxCheckBox(parent, wxID_ANY, tr("マップ画像"));
    options->Add(subMaps_, 0, wxRIGHT, 12);
    site_ = new wxCheckBox(parent, wxID_ANY, tr("サイトとして出力"));
    site_->SetToolTip(tr("プロジェクト全体を、ブラウザで開ける互いにリンクしたページとして出力します"));
    options->Add(mapImages_, 0, wxRIGHT, 12);
    options->Add(site_);
    box->Add(options, 0, wxALL, 3);
    return box;
}

wxSizer* ExportPage::buildOutputRow() {
    auto* box = new wxStaticBoxSizer(wxHORIZONTAL, this, tr("出力先"));
    outputBox_ = new wxTextCtrl(box->GetStaticBox(), wxID_ANY, "");
    browse_ = new wxButton(box->GetStaticBox(), wxID_ANY, tr("参照"));
    box->Add(outputBox_, 1, wxALIGN_CENTER_VERTICAL | wxALL, 3);
    box->Add(browse_, 0, wxALIGN_CENTER_VERTICAL | wxALL, 3);
    return box;
}

void ExportPage::bindControls() {
    auto changed = [this](wxCommandEvent& event) {
        storeState();
        updateStates();
        event.Skip();
    };
    for (wxCheckBox* box : tables_) box->Bind(wxEVT_CHECKBOX, changed);
    for (size_t r = 0; r < ranges_.size(); ++r) {
        ranges_[r].check->Bind(wxEVT_CHECKBOX, changed);
        ranges_[r].all->Bind(wxEVT_RADIOBUTTON, changed);
        ranges_[r].chosen->Bind(wxEVT_RADIOBUTTON, changed);
        ranges_[r].pick->Bind(wxEVT_BUTTON, [this, r](wxCommandEvent&) { pickRangeId(r); });
    }
    subMaps_->Bind(wxEVT_CHECKBOX, changed);
    mapImages_->Bind(wxEVT_CHECKBOX, changed);
    site_->Bind(wxEVT_CHECKBOX, changed);
    outputBox_->Bind(wxEVT_TEXT, [this](wxCommandEvent&) {
        context_.settings.dataExport.outputDir = fromWx(outputBox_->GetValue());
    });
    browse_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { browseOutputFolder(); });
    start_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { startOrAbort(); });
}

void ExportPage::joinHooks() {
    wxWeakRef<ExportPage> self(this);
    AppHooks& hooks = context_.hooks;
    chainHook(hooks.refreshPages, self, &ExportPage::refresh);
    chainHook(hooks.updatePageStates, self, &ExportPage::updateStates);
    chainHook(hooks.storePageState, self, &ExportPage::storeState);
}

void ExportPage::showSettings() {
    const Settings& s = context_.settings;
    for (size_t t = 0; t < tables_.size(); ++t) tables_[t]->SetValue(s.dataExport.csvCheck[t]);
    for (size_t r = 0; r < ranges_.size(); ++r) {
        ranges_[r].check->SetValue(s.exportRange.check[r]);
        (s.exportRange.radio[r] ? ranges_[r].chosen : ranges_[r].all)->SetValue(true);
    }
    subMaps_->SetValue(s.exportRange.includeSubMaps);
    mapImages_->SetValue(s.exportRange.mapImages);
    site_->SetValue(s.exportRange.site);
    outputBox_->ChangeValue(toWx(s.dataExport.outputDir));
}

void ExportPage::storeState() {
    Settings& s = context_.settings;
    for (size_t t = 0; t < tables_.size(); ++t) s.dataExport.csvCheck[t] = tables_[t]->GetValue();
    for (size_t r = 0; r < ranges_.size(); ++r) {
        s.exportRange.check[r] = ranges_[r].check->GetValue();
        s.exportRange.radio[r] = ranges_[r].chosen->GetValue();
    }
    s.exportRange.includeSubMaps = subMaps_->GetValue();
    s.exportRange.mapImages = mapImages_->GetValue();
    s.exportRange.site = site_->GetValue();
    // The project's folder offered while nothing was chosen is not a choice to remember:
    // the next project would start in this one's folder.
    std::string shown = fromWx(outputBox_->GetValue());
    bool offered = s.dataExport.outputDir.empty() && context_.database.loaded &&
                   shown == context_.database.projectFolder;
    if (!offered) s.dataExport.outputDir = shown;
}

void ExportPage::showRangeLabels() {
    for (size_t r = 0; r < ranges_.size(); ++r)
        ranges_[r].idBox->ChangeValue(toWx(rangeLabel(context_.database, static_cast<int>(r),
                                                      context_.settings.exportRange.select[r])));
}

void ExportPage::refresh() {
    showRangeLabels();
    const std::string& chosen = context_.settings.dataExport.outputDir;
    outputBox_->ChangeValue(toWx(
        chosen.empty() && context_.database.loaded ? context_.database.projectFolder : chosen));
    updateStates();
}

void ExportPage::updateStates() {
    bool loaded = context_.database.loaded && !context_.tasks.isBusy();
    // A site takes the whole project: the choices of parts do not apply to it.
    bool usable = loaded && !site_->GetValue();
    for (wxCheckBox* box : tables_) box->Enable(usable);
    for (size_t r = 0; r < ranges_.size(); ++r) {
        RangeRowControls& row = ranges_[r];
        row.check->Enable(usable);
        bool ticked = row.check->GetValue() || (r == kRangeMapEvents && mapImages_->GetValue());
        bool on = usable && ticked;
        row.all->Enable(on);
        row.chosen->Enable(on);
        row.idBox->Enable(on && row.chosen->GetValue());
        row.pick->Enable(on && row.chosen->GetValue());
    }
    bool maps = ranges_[kRangeMapEvents].check->GetValue() || mapImages_->GetValue();
    subMaps_->Enable(usable && maps);
    mapImages_->Enable(usable);
    site_->Enable(loaded);
    outputBox_->Enable(!context_.tasks.isBusy());
    browse_->Enable(!context_.tasks.isBusy());
    start_->SetLabel(tr(exporting_ ? kAbortCaption : kStartCaption));
    start_->Enable(exporting_ || loaded);
}

void ExportPage::pickRangeId(size_t row) {
    if (context_.tasks.isBusy() || row >= ranges_.size()) return;
    int& id = context_.settings.exportRange.select[row];
    int chosen = zorvane::pickRangeId(this, context_.database, row, id);
    if (chosen <= 0) return;
    id = chosen;
    showRangeLabels();
}

void ExportPage::browseOutputFolder() {
    std::string folder =
        chooseFolder(wxGetTopLevelParent(this), trs("出力先のフォルダを選択してください"),
                     fromWx(outputBox_->GetValue()));
    if (folder.empty()) return;
    outputBox_->ChangeValue(toWx(folder));
    context_.settings.dataExport.outputDir = folder;
}

void ExportPage::startOrAbort() {
    if (exporting_)
        context_.tasks.abort();
    else
        start();
}

// "指定" with nothing chosen would export nothing of that row without a word.
bool ExportPage::rangeChoicesMade(const ExportOptions& options) {
    for (size_t r = 0; r < options.categories.size(); ++r) {
        const ExportCategory& row = options.categories[r];
        bool used = row.on || (r == kExportMapEvents && options.mapImages);
        if (!used || !row.one || row.id >= 1) continue;
        showMessage(wxGetTopLevelParent(this),
                    trf("「出力するイベント」の「指定」で何も選択されていません（%s）",
                        trs(rangeCaption(r)).c_str()),
                    kMessageTitle, wxOK | wxICON_WARNING);
        return false;
    }
    return true;
}

void ExportPage::start() {
    if (context_.tasks.isBusy() || !context_.database.loaded) return;
    storeState();
    ExportOptions options = exportOptionsFrom(context_.settings);
    const bool site = context_.settings.exportRange.site;
    if (!site && !rangeChoicesMade(options)) return;
    options.outputFolder = fromWx(outputBox_->GetValue());
    SiteOptions siteOptions =
        siteOptionsFrom(context_.settings, options.outputFolder, context_.database.projectFolder);
    auto forwarder = std::make_shared<ExportForwarder>(this);
    auto summary = std::make_shared<ExportSummary>();
    const ProjectDatabase& db = context_.database;
    wxWeakRef<ExportPage> self(this);
    progress_->SetValue(0);
    exporting_ = true;
    bool started = context_.tasks.start(
        [options, siteOptions, site, &db, forwarder, summary](std::atomic<bool>& abort) {
            forwarder->watch(&abort);
            *summary = site ? runSite(siteOptions, db, *forwarder, abort)
                            : runExport(options, db, *forwarder, abort);
        },
        [self, forwarder, summary](const TaskEnd& end) {
            forwarder->deliver();
            if (self) self->finished(*summary, end);
        });
    if (!started) exporting_ = false;
    updateStates();
}

void ExportPage::finished(const ExportSummary& summary, const TaskEnd& end) {
    exporting_ = false;
    wxWindow* top = wxGetTopLevelParent(this);
    if (top) top->Raise();
    showEnd(top, summary, end);
    progress_->SetValue(0);
    updateStates();
}

void ExportPage::showEnd(wxWindow* top, const ExportSummary& summary, const TaskEnd& end) {
    if (end.failed) {
        // What was written before the failure stays; the summary would count it as done.
        showMessage(top, trs("エラーが発生しました") + "\n\n" + end.failure, kMessageTitle,
                    wxOK | wxICON_WARNING);
        return;
    }
    if (summary.stopKind == ExportStopKind::Document)
        showMessage(top, summary.stopMessage, kMessageTitle, wxOK | wxICON_WARNING);
    if (summary.stopKind == ExportStopKind::Picture)
        showMessage(top, summary.stopMessage, trs("エラー"), wxOK | wxICON_ERROR);
    if (summary.stopKind == ExportStopKind::OutputLink) {
        // Nothing was written: the end text would only repeat it.
        showMessage(top,
                    trf("%s はシンボリックリンクです。出力先の中のリンクをたどって書き込むことはしません",
                        summary.stopMessage.c_str()),
                    trs("エラー"), wxOK | wxICON_ERROR);
        return;
    }
    showMessage(top, exportEndText(summary), kProgramName, wxOK | wxICON_INFORMATION);
    warnLostCharacters(top, summary.lossyFiles);
}

}  // namespace zorvane
