// The "RTPコピー" tab: the list of RTP files the project uses, the scan button that turns
// into the abort button while a task runs, the copy button with its question, and the
// progress bar. Scan and copy run on the task runner's worker.
#pragma once
// wx/weakref.h uses std::is_base_of without including its header.
#include <type_traits>

#include <wx/panel.h>

#include <functional>
#include <memory>
#include <vector>

#include "app/app_context.h"
#include "rtp/rtp_copy.h"

class wxButton;
class wxGauge;
class wxListCtrl;

namespace zorvane {

class GaugeForwarder;

class RtpPage : public wxPanel {
  public:
    // `reload` reopens the project after a copy (the main window's reload command).
    RtpPage(wxWindow* parent, AppContext& context, std::function<void()> reload);
    ~RtpPage() override;

    // "検索": starts a scan, or aborts the running task when pressed as "中断".
    void startScan();
    // "コピー開始": asks, then copies the listed files.
    void startCopy();
    // Button states and texts from the loaded flag, the busy flag and the list.
    void refresh();

    const std::vector<RtpFile>& files() const { return files_; }
    wxListCtrl* list() const { return list_; }
    wxButton* scanButton() const { return scanButton_; }
    wxButton* copyButton() const { return copyButton_; }
    wxGauge* progressBar() const { return progress_; }

  private:
    void joinHooks();
    void projectOpened();
    void showFiles(std::vector<RtpFile> files);
    void scanEnded(const RtpScanResult& result, const TaskEnd& end);
    void copyEnded(const RtpCopyResult& result, const TaskEnd& end);
    void showFailure(const TaskEnd& end);
    void endTask();

    AppContext& context_;
    std::function<void()> reload_;
    wxListCtrl* list_ = nullptr;
    wxButton* scanButton_ = nullptr;
    wxButton* copyButton_ = nullptr;
    wxGauge* progress_ = nullptr;
    std::vector<RtpFile> files_;
    std::shared_ptr<GaugeForwarder> forwarder_;
};

// What the box after a copy says: the completion text when everything was done, else
// which files failed and whether Game.ini was changed.
std::string copyReport(const RtpCopyResult& result);

}  // namespace zorvane
