// The RTP tab. The worker reports progress into a mailbox that one queued call at a time
// carries to the bar; results come back through the task runner's completion callback,
// so widgets are touched only on the UI thread.
#include "app/rtp_page.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/weakref.h>

#include <atomic>
#include <mutex>

#include "app/desktop_language.h"
#include "app/gauge_forwarder.h"
#include "app/message_box.h"
#include "app/wx_text.h"
#include "project/project_database.h"

namespace zorvane {

namespace {

const char* const kQuestion =
    wxTRANSLATE("リスト中のファイルを本当にゲームフォルダにコピーしてもよろしいですか？");
const char* const kDone = wxTRANSLATE(
    "ファイルのコピーとGame.iniの変更が完了しました\nこのゲームはRTP不要でプレイできます");
const char* const kFilesFailed = wxTRANSLATE(
    "次のファイルをコピーできなかったため、Game.iniは変更していません\n"
    "ゲームはこれらのファイルを今まで通りRTPから読み込みます");
const char* const kFinishFailedIniChanged = wxTRANSLATE(
    "ファイルのコピーとGame.iniの変更は完了しましたが、次のファイルをコピーできませんでした");
const char* const kFinishFailed =
    wxTRANSLATE("ファイルはコピーしましたが、Game.iniを変更できませんでした");
const char* const kNoRtpFiles = wxTRANSLATE("このプロジェクトはRTPのファイルを使っていません");
constexpr size_t kListedFailures = 20;

void appendFailures(std::string& text, const std::vector<CopyFailure>& failures) {
    text += "\n";
    for (size_t i = 0; i < failures.size() && i < kListedFailures; ++i)
        text += "\n" + failures[i].name + trs("：") + copyProblemText(failures[i].problem, desktopListing());
    if (failures.size() > kListedFailures)
        text += "\n" + trf("ほか%zu件", failures.size() - kListedFailures);
}

}  // namespace

std::string copyReport(const RtpCopyResult& result) {
    if (result.complete()) return trs(kDone);
    std::string text;
    if (!result.fileFailures.empty()) {
        text = trs(kFilesFailed);
        appendFailures(text, result.fileFailures);
    } else {
        text = trs(result.gameIniChanged ? kFinishFailedIniChanged : kFinishFailed);
        appendFailures(text, result.finishFailures);
    }
    return text;
}

RtpPage::RtpPage(wxWindow* parent, AppContext& context, std::function<void()> reload)
    : wxPanel(parent), context_(context), reload_(std::move(reload)) {
    auto* box = new wxStaticBoxSizer(wxVERTICAL, this, tr("使用RTP一覧"));
    list_ = new wxListCtrl(box->GetStaticBox(), wxID_ANY, wxDefaultPosition, wxDefaultSize,
                           wxLC_REPORT | wxLC_SINGLE_SEL);
    list_->AppendColumn(tr("ファイル"));
    list_->AppendColumn(tr("パス"));
    box->Add(list_, 1, wxEXPAND | wxALL, 4);

    auto* row = new wxBoxSizer(wxHORIZONTAL);
    progress_ = new wxGauge(this, wxID_ANY, 1);
    row->Add(progress_, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, 8);
    scanButton_ = new wxButton(this, wxID_ANY, tr("検索"));
    copyButton_ = new wxButton(this, wxID_ANY, tr("コピー開始"));
    row->Add(scanButton_, 0, wxRIGHT, 6);
    row->Add(copyButton_, 0);

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(box, 1, wxEXPAND | wxALL, 6);
    column->Add(row, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 6);
    SetSizer(column);

    scanButton_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { startScan(); });
    copyButton_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { startCopy(); });
    joinHooks();
    refresh();
}

RtpPage::~RtpPage() {
    if (forwarder_) forwarder_->stop();
}

void RtpPage::joinHooks() {
    wxWeakRef<RtpPage> self(this);
    AppHooks& hooks = context_.hooks;
    auto chain = [self](std::function<void()>& hook, void (RtpPage::*run)()) {
        std::function<void()> previous = hook;
        hook = [previous, self, run] {
            if (previous) previous();
            if (self) (self.get()->*run)();
        };
    };
    chain(hooks.refreshPages, &RtpPage::projectOpened);
    chain(hooks.updatePageStates, &RtpPage::refresh);
}

// A list from another project (or from before a reload) must never be copied here.
void RtpPage::projectOpened() {
    showFiles({});
    refresh();
}

void RtpPage::refresh() {
    bool loaded = context_.database.loaded;
    bool busy = context_.tasks.isBusy();
    scanButton_->SetLabel(busy ? tr("中断") : tr("検索"));
    scanButton_->Enable(loaded);
    copyButton_->Enable(loaded && !busy && !files_.empty());
}

void RtpPage::showFiles(std::vector<RtpFile> files) {
    files_ = std::move(files);
    list_->Freeze();
    list_->DeleteAllItems();
    for (size_t i = 0; i < files_.size(); ++i) {
        long item = list_->InsertItem(static_cast<long>(i), toWx(files_[i].relativePath));
        list_->SetItem(item, 1, toWx(files_[i].foundPath));
    }
    for (int c = 0; c < 2; ++c)
        list_->SetColumnWidth(c, files_.empty() ? wxLIST_AUTOSIZE_USEHEADER : wxLIST_AUTOSIZE);
    list_->Thaw();
}

void RtpPage::startScan() {
    if (context_.tasks.isBusy()) {
        context_.tasks.abort();
        return;
    }
    if (!context_.database.loaded) return;
    showFiles({});
    forwarder_ = std::make_shared<GaugeForwarder>(progress_);
    auto forwarder = forwarder_;
    auto result = std::make_shared<RtpScanResult>();
    const ProjectDatabase& db = context_.database;
    wxWeakRef<RtpPage> self(this);
    context_.tasks.start(
        [&db, forwarder, result](std::atomic<bool>& abort) {
            *result = scanRtpUsage(db, *forwarder, abort);
        },
        [self, result](const TaskEnd& end) {
            if (self) self->scanEnded(*result, end);
        });
}

void RtpPage::scanEnded(const RtpScanResult& result, const TaskEnd& end) {
    endTask();
    if (end.failed)
        showFailure(end);
    else if (!result.aborted)
        showFiles(result.files);
    // An empty list after a finished scan would look like a scan that never ran.
    if (!end.failed && !result.aborted && result.files.empty()) {
        list_->InsertItem(0, tr(kNoRtpFiles));
        list_->SetColumnWidth(0, wxLIST_AUTOSIZE);
    }
    if (wxWindow* top = wxGetTopLevelParent(this)) top->Raise();
    refresh();
}

void RtpPage::startCopy() {
    if (context_.tasks.isBusy() || !context_.database.loaded || files_.empty()) return;
    int answer = showMessage(wxGetTopLevelParent(this), trs(kQuestion), kMessageTitle,
                             wxYES_NO | wxNO_DEFAULT | wxICON_QUESTION);
    if (answer != wxYES) return;
    forwarder_ = std::make_shared<GaugeForwarder>(progress_);
    auto forwarder = forwarder_;
    auto result = std::make_shared<RtpCopyResult>();
    std::vector<RtpFile> files = files_;
    std::string folder = context_.database.projectFolder;
    wxWeakRef<RtpPage> self(this);
    context_.tasks.start(
        [files, folder, forwarder, result](std::atomic<bool>& abort) {
            *result = copyRtpFiles(files, folder, *forwarder, abort);
        },
        [self, result](const TaskEnd& end) {
            if (self) self->copyEnded(*result, end);
        });
}

void RtpPage::copyEnded(const RtpCopyResult& result, const TaskEnd& end) {
    endTask();
    if (end.failed) showFailure(end);  // then reloaded: some files may have been copied
    if (result.aborted) {
        refresh();
        return;
    }
    // The reload re-reads Game.ini and empties the list through the pages' refresh.
    if (reload_) reload_();
    showFiles({});
    if (end.failed) {
        refresh();
        return;
    }
    bool done = result.complete();
    showMessage(wxGetTopLevelParent(this), copyReport(result), kMessageTitle,
                wxOK | (done ? wxICON_INFORMATION : wxICON_WARNING));
    refresh();
}

void RtpPage::showFailure(const TaskEnd& end) {
    showMessage(wxGetTopLevelParent(this), trs("エラーが発生しました") + "\n\n" + end.failure,
                kMessageTitle, wxOK | wxICON_WARNING);
}

void RtpPage::endTask() {
    if (forwarder_) forwarder_->stop();
    forwarder_.reset();
    progress_->SetValue(0);
}

}  // namespace zorvane
