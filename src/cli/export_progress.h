// What export and site share on a terminal: the progress bar (or plain lines when standard
// error is not a terminal) that their sink draws, and the closing report with its exit
// status; map shares the word on graphics that could not be read.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

#include "cli/terminal_output.h"
#include "export/export_driver.h"

namespace zorvane::cli {

// A bar redrawn in place on a terminal; plain lines, one per unit, anywhere else.
class ConsoleSink : public ExportSink {
  public:
    ConsoleSink(bool terminal, bool fullSizeBmp) : terminal_(terminal), fullSizeBmp_(fullSizeBmp) {}
    ~ConsoleSink() override { finishBar(); }

    void begin(int total) override { total_ = total; }
    void unit(const std::string& what) override {
        current_ = what;
        if (!terminal_) std::fprintf(stderr, "[%d/%d] %s\n", done_ + 1, total_, what.c_str());
        draw(false);
    }
    void step(int done) override {
        done_ = done;
        draw(done_ == total_);
    }
    void fileWritten(const std::string&, uint64_t) override {}
    void fileFailed(const std::string& path) override {
        clearBar();
        std::fprintf(stderr, "%s: cannot be written\n", path.c_str());
        draw(true);
    }
    bool askFullSizeBmp(int mapId) override {
        if (!fullSizeBmp_) {
            clearBar();
            std::fprintf(stderr,
                         "map %d: the picture is too large to hold in memory "
                         "(--full-size-bmp writes it as a full-size BMP instead)\n",
                         mapId);
        }
        return fullSizeBmp_;
    }
    void finishBar() {
        if (drawn_) std::fprintf(stderr, "\n");
        drawn_ = false;
    }

  private:
    void clearBar() {
        if (drawn_) clearStatusLine();
    }
    // At most ten redraws a second, and always the last one.
    void draw(bool force) {
        if (!terminal_ || total_ <= 0) return;
        auto now = std::chrono::steady_clock::now();
        if (!force && drawn_ && now - lastDraw_ < std::chrono::milliseconds(100)) return;
        lastDraw_ = now;
        constexpr int kWidth = 30;
        int filled = static_cast<int>(static_cast<long long>(done_) * kWidth / total_);
        std::string bar(static_cast<size_t>(filled), '#');
        bar.resize(kWidth, '.');
        drawStatusLine("[" + bar + "] " + std::to_string(done_) + "/" + std::to_string(total_) +
                       " " + (done_ == total_ ? "" : current_));
        drawn_ = true;
    }

    bool terminal_, fullSizeBmp_;
    int total_ = 0, done_ = 0;
    std::string current_;
    bool drawn_ = false;
    std::chrono::steady_clock::time_point lastDraw_;
};

// The files written, those that failed, lost characters and what was skipped, on
// standard error; the exit status: 130 after Ctrl-C, 1 for a stop or a file not written,
// 3 for a data file not read or characters written as "?", else 0.
int reportExport(const ExportSummary& summary);

// One line on standard error for each graphic file found but not read as a picture while
// maps were drawn (takeUnreadableGraphics), named from the game folder when it lies there;
// the exit status is not changed by it.
void reportUnreadableGraphics(const std::string& gameFolder);

}  // namespace zorvane::cli
