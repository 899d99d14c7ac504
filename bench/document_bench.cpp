// Times HTML documents for every common event, troop page, map event page and script of a
// project (map files read as the export reads them) beside the time to read the project's
// database, in alternated rounds; prints medians, MB of HTML per second and peak RSS.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "documents/document_writer.h"
#include "map/map_data.h"
#include "platform/file_util.h"
#include "platform/folders.h"
#include "project/project_database.h"
#include "text/text_matcher.h"

using namespace zorvane;

namespace {

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Totals {
    size_t documents = 0;
    size_t bytes = 0;
};

void add(Totals& totals, const DocumentResult& result) {
    if (!result.written()) return;
    ++totals.documents;
    totals.bytes += result.bytes.size();
}

Totals writeAll(const ProjectDatabase& db, const DocumentOptions& options, const ColourRules& rules,
                const TextMatcher& matcher) {
    Totals totals;
    DocumentSources sources{db, nullptr, &rules, &matcher};
    for (int id = 1; size_t(id) < db.commonEvents().size(); ++id)
        add(totals, writeEventDocument(sources, {DocumentKind::CommonEvent, id, 1}, options));
    for (int id = 1; size_t(id) < db.troops().size(); ++id)
        for (int page = 1; size_t(page) <= db.troops()[size_t(id)].pages.size(); ++page)
            add(totals,
                writeEventDocument(sources, {DocumentKind::BattleEvent, id, page}, options));
    for (const auto& entry : db.mapInfos()) {
        MapData map;
        if (entry.first <= 0 || !map.load(db, entry.first, false)) continue;
        sources.map = &map;
        for (const auto& [eventId, event] : map.events)
            for (int page = 1; size_t(page) <= event.pages.size(); ++page)
                add(totals,
                    writeEventDocument(sources, {DocumentKind::MapEvent, eventId, page}, options));
        sources.map = nullptr;
    }
    for (int id = 1; size_t(id) <= db.scripts().size(); ++id)
        add(totals, writeEventDocument(sources, {DocumentKind::Script, id, 1}, options));
    return totals;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: document_bench PROJECT [ROUNDS] [TEMPLATE_FOLDER]\n");
        return 2;
    }
    int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    std::string folder = argc > 3 ? argv[3] : templateFolder();
    DocumentOptions options;
    useTemplateFolder(options, folder);
    options.detail = true;
    ColourRules rules = loadColourRules(joinPath(folder, kColourRulesName));
    TextMatcher matcher;
    matcher.load();

    std::vector<double> reads, writes;
    Totals totals;
    for (int round = 0; round < rounds; ++round) {
        auto t0 = std::chrono::steady_clock::now();
        ProjectDatabase db;
        if (!db.open(argv[1])) {
            std::fprintf(stderr, "%s: cannot be opened\n", argv[1]);
            return 1;
        }
        db.loadAll();
        reads.push_back(seconds(t0));
        t0 = std::chrono::steady_clock::now();
        totals = writeAll(db, options, rules, matcher);
        writes.push_back(seconds(t0));
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    double mb = totals.bytes / 1e6;
    // read_s documents_s documents html_mb mb_per_s peak_rss_mb
    std::printf("%.4f %.4f %zu %.1f %.1f %.0f\n", median(reads), median(writes), totals.documents,
                mb, mb / median(writes), usage.ru_maxrss / 1024.0);
    return 0;
}
