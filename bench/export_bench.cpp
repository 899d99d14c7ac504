// One full export of a project (every table, every event and script in HTML, every map
// picture at ×1/2 as PNG) into a folder; prints files, MB, total seconds and the seconds
// of each stage on one line, for scripts/bench to take medians of.
// Usage: export_bench PROJECT OUTPUT_FOLDER TEMPLATE_FOLDER [THREADS (0: one per core)]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "export/export_driver.h"
#include "platform/file_util.h"
#include "project/project_database.h"

using namespace zorvane;

namespace {

class QuietSink : public ExportSink {
  public:
    void begin(int) override {}
    void unit(const std::string&) override {}
    void step(int) override {}
    void fileWritten(const std::string&, uint64_t) override {}
    void fileFailed(const std::string& path) override {
        std::fprintf(stderr, "%s: cannot be written\n", path.c_str());
    }
    bool askFullSizeBmp(int) override { return true; }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: export_bench PROJECT OUTPUT_FOLDER TEMPLATE_FOLDER [THREADS]\n");
        return 2;
    }
    auto start = std::chrono::steady_clock::now();
    ProjectDatabase db;
    if (!db.open(argv[1])) return 1;
    ExportOptions o;
    o.outputFolder = argv[2];
    o.tables.fill(true);
    for (ExportCategory& c : o.categories) c = {true, false, 0};
    o.mapImages = true;
    o.jobs = argc == 5 ? std::atoi(argv[4]) : 0;
    o.render.zoomMode = 2;  // ×1/2
    o.render.saveMode = kFormatPng;
    useTemplateFolder(o.documents, argv[3]);
    o.colourRulesFile = joinPath(argv[3], kColourRulesName);
    QuietSink sink;
    std::atomic<bool> abort{false};
    ExportSummary s = runExport(o, db, sink, abort);
    double total = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%d %.2f %.3f", s.filesWritten, static_cast<double>(s.bytesWritten) / 1e6, total);
    for (double stage : s.seconds) std::printf(" %.3f", stage);
    std::printf("\n");
    return s.end == ExportEnd::Finished && s.failedFiles.empty() ? 0 : 1;
}
