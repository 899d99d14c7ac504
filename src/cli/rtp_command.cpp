// rtp: lists the RTP files a project uses (relative path and the file found), and with
// --copy copies them into the game folder and empties Game.ini's RTP keys. A progress bar
// is drawn on stderr when it is a terminal; Ctrl-C stops the scan or the copy.
#include "cli/rtp_command.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "cli/terminal_output.h"
#include "cli/cli_support.h"
#include "platform/codepage.h"
#include "project/file_helpers.h"
#include "project/project_database.h"
#include "rtp/rtp_copy.h"
#include "rtp/rtp_scan.h"

namespace zorvane::cli {

namespace {

struct RtpFlags {
    std::string project;
    bool json = false;
    bool copy = false;
    bool yes = false;
};

const char* const kQuestion = "Copy the listed files into the game folder?";
const char* const kDone =
    "The files were copied and Game.ini was changed.\nThe game now plays without the RTP";
constexpr int kInterrupted = 130;

// A bar on stderr when it is a terminal; nothing otherwise, so pipes and logs stay clean.
class TerminalBar : public RtpProgress {
  public:
    explicit TerminalBar(const char* caption)
        : caption_(caption), shown_(isatty(STDERR_FILENO) != 0) {}
    ~TerminalBar() override {
        if (drawn_) clearStatusLine();
    }
    void setRange(int maximum) override { maximum_ = maximum; }
    void setPosition(int position) override {
        if (!shown_ || maximum_ <= 0) return;
        constexpr int kWidth = 30;
        int filled = position * kWidth / maximum_;
        drawStatusLine(std::string(caption_) + " [" + std::string(filled, '#') +
                       std::string(kWidth - filled, '-') + "] " + std::to_string(position) + "/" +
                       std::to_string(maximum_));
        drawn_ = true;
    }

  private:
    const char* caption_;
    bool shown_;
    bool drawn_ = false;
    int maximum_ = 0;
};

void printFiles(const std::vector<RtpFile>& files, bool json) {
    if (json) {
        for (const RtpFile& f : files) {
            nlohmann::json row = {{"file", f.relativePath}, {"path", f.foundPath}};
            std::printf("%s\n",
                        row.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
        }
        return;
    }
    for (const RtpFile& f : files)
        std::printf("%s\t%s\n", displayUtf8(f.relativePath).c_str(),
                    displayUtf8(f.foundPath).c_str());
}

bool confirmed() {
    std::fprintf(stderr, "%s [y/N] ", kQuestion);
    std::string answer;
    if (!std::getline(std::cin, answer)) return false;
    return answer == "y" || answer == "Y" || answer == "yes";
}

void printFailures(const std::vector<CopyFailure>& failures) {
    for (const CopyFailure& f : failures)
        std::fprintf(stderr, "%s: %s\n", displayUtf8(f.name).c_str(),
                     copyProblemText(f.problem, ListingLanguage::English));
}

int copyFiles(const std::vector<RtpFile>& files, const ProjectDatabase& db,
              std::atomic<bool>& abort) {
    RtpCopyResult result;
    {
        TerminalBar bar("copying");
        result = copyRtpFiles(files, db.projectFolder, bar, abort);
    }
    if (result.aborted) {
        std::fprintf(stderr, "stopped (%d files copied, Game.ini left unchanged)\n", result.copied);
        return kInterrupted;
    }
    if (!result.fileFailures.empty()) {
        std::fprintf(stderr,
                     "%zu files could not be copied; Game.ini was left unchanged, so the game "
                     "still reads them from the RTP\n",
                     result.fileFailures.size());
        printFailures(result.fileFailures);
        return 1;
    }
    if (!result.finishFailures.empty()) {
        if (result.gameIniChanged) std::fprintf(stderr, "Game.ini was changed\n");
        printFailures(result.finishFailures);
        return 1;
    }
    std::printf("%s\n", kDone);
    return 0;
}

int runRtpCommand(const RtpFlags& f) {
    ProjectDatabase db;
    if (!openProjectOrFail(db, f.project)) return 1;
    InterruptScope interrupt;
    RtpScanResult scan;
    {
        TerminalBar bar("searching");
        scan = scanRtpUsage(db, bar, interrupt.flag());
    }
    int status = 0;
    if (scan.aborted) {
        status = kInterrupted;
    } else {
        printFiles(scan.files, f.json);
        if (f.copy && scan.files.empty())
            std::fprintf(stderr, "no files to copy\n");
        else if (f.copy && !f.yes && !confirmed())
            status = 1;
        else if (f.copy)
            status = copyFiles(scan.files, db, interrupt.flag());
    }
    return status;
}

}  // namespace

void addRtpCommand(CLI::App& app, Runner* run) {
    auto f = std::make_shared<RtpFlags>();
    CLI::App* s = app.add_subcommand(
        "rtp", "List the RTP files a project uses; --copy copies them into the game folder");
    s->add_option("PROJECT", f->project, "the project file (Game.rxproj)")->required();
    s->add_flag("--json", f->json, "one JSON object per file");
    s->add_flag("--copy", f->copy, "copy the files and empty Game.ini's RTP1 to RTP3");
    s->add_flag("--yes", f->yes, "with --copy: do not ask");
    s->callback([run, f] { *run = [f] { return runRtpCommand(*f); }; });
}

}  // namespace zorvane::cli
