// The switch search against an independent reading: tests/tools/switch_places.rb walks the
// same files with Ruby's own Marshal.load and lists where each switch is operated or
// referenced. The engine (and zorvane-cli's CSV, once the command is built) must find the
// same places on the sample project and on every real project present.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <map>
#include <sstream>

#include "project/project_database.h"
#include "search/search_engine.h"
#include "search/search_results.h"
#include "search/search_test_project.h"

using namespace zorvane;

namespace {

constexpr size_t kMaxIds = 12;

struct Project {
    std::string name;
    std::string file;
};

std::vector<Project> projects() {
    std::vector<Project> out;
    if (std::filesystem::exists(ztest::sampleProject()))
        out.push_back({"sample", ztest::sampleProject()});
    std::string corpus = ztest::corpusDir();
    if (corpus.empty()) return out;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        if (!entry.is_directory()) continue;
        std::string file;
        for (const auto& f : std::filesystem::directory_iterator(entry.path()))
            if (f.path().extension() == ".rxproj") file = f.path().string();
        // A project kept without its .rxproj opens through its Game.ini.
        if (file.empty() && std::filesystem::exists(entry.path() / "Game.ini"))
            file = (entry.path() / "Game.ini").string();
        if (!file.empty()) out.push_back({entry.path().filename().string(), file});
    }
    std::sort(out.begin(), out.end(),
              [](const Project& a, const Project& b) { return a.name < b.name; });
    return out;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) out.push_back(line);
    return out;
}

std::string rubyTool() {
    return "ruby " + ztest::shellQuote(ztest::sourceDir() + "/tests/tools/switch_places.rb") + " ";
}

// Up to kMaxIds of the used ids, spread over the list, and one id nobody uses.
std::vector<int> pickIds(const std::string& projectFile) {
    std::string out;
    EXPECT_EQ(ztest::run(rubyTool() + ztest::shellQuote(projectFile) + " --used", &out), 0);
    std::vector<int> used;
    for (const std::string& l : lines(out)) used.push_back(std::stoi(l));
    std::vector<int> ids;
    size_t step = std::max<size_t>(1, (used.size() + kMaxIds - 1) / kMaxIds);
    for (size_t i = 0; i < used.size(); i += step) ids.push_back(used[i]);
    ids.push_back(used.empty() ? 1 : used.back() + 1000);
    return ids;
}

// switch id -> sorted places, as Ruby lists them.
std::map<int, std::vector<std::string>> rubyPlaces(const std::string& projectFile,
                                                   const std::vector<int>& ids) {
    std::string cmd = rubyTool() + ztest::shellQuote(projectFile);
    for (int id : ids) cmd += " " + std::to_string(id);
    std::string out;
    EXPECT_EQ(ztest::run(cmd, &out), 0) << cmd;
    std::map<int, std::vector<std::string>> places;
    for (int id : ids) places[id];
    for (const std::string& l : lines(out)) {
        size_t comma = l.find(',');
        places[std::stoi(l.substr(0, comma))].push_back(l.substr(comma + 1));
    }
    for (auto& entry : places) std::sort(entry.second.begin(), entry.second.end());
    return places;
}

SearchRequest switchSearch(int id) {
    SearchRequest r;
    r.kind = SearchKind::Switch;
    r.targetIds = {id};
    r.inOperatingCommands = true;
    r.inReferencingCommands = true;
    r.scope = {0, 0, 0, -1};
    return r;
}

std::vector<std::string> enginePlaces(const ProjectDatabase& db, int id) {
    stest::RecordingSink sink;
    std::atomic<bool> abort{false};
    runSearch(switchSearch(id), db, {}, sink, abort);
    std::vector<std::string> places;
    for (const SearchHit& hit : sink.hits) places.push_back(stest::placeOf(hit));
    std::sort(places.begin(), places.end());
    return places;
}

// The fields of a CSV whose every cell is quoted, records ended by CR LF.
std::vector<std::vector<std::string>> parseCsv(const std::string& text) {
    std::vector<std::vector<std::string>> records(1);
    std::string cell;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                cell += text[++i];
            else if (c == '"')
                quoted = false;
            else
                cell += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            records.back().push_back(cell);
            cell.clear();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            records.back().push_back(cell);
            cell.clear();
            records.emplace_back();
            ++i;
        }
    }
    records.pop_back();
    return records;
}

std::string csvPlace(const std::vector<std::string>& cells) {
    const char* const areas[] = {"コモンイベント", "バトルイベント", "マップイベント"};
    int area = 0;
    while (area < 3 && cells[0] != areas[area]) ++area;
    auto n = [&](int c) { return std::to_string(static_cast<int>(leadingNumber(cells[c]))); };
    std::string id = area == 2 ? n(ColumnMap) + ":" + n(ColumnEvent) : n(ColumnEvent);
    return std::to_string(area) + "," + id + "," + n(ColumnPage) + "," + n(ColumnLine);
}

bool cliHasSearch() {
    std::string cli = ztest::binaryDir() + "/zorvane-cli";
    std::string help;
    return std::filesystem::exists(cli) &&
           ztest::run(ztest::shellQuote(cli) + " search --help 2>&1", &help) == 0 &&
           help.find("--switch") != std::string::npos;
}

class SwitchCrossCheck : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!ztest::haveProgram("ruby")) GTEST_SKIP() << "ruby is not installed";
    }
};

TEST_F(SwitchCrossCheck, EngineFindsWhatRubyFinds) {
    std::vector<Project> list = projects();
    if (list.empty())
        GTEST_SKIP()
            << "neither sample/Project/Game.rxproj nor a corpus in ../shared/corpus is present";
    for (const Project& p : list) {
        ProjectDatabase db;
        ASSERT_TRUE(db.open(p.file, ztest::sourceDir() + "/sample/CommonFiles")) << p.file;
        std::vector<int> ids = pickIds(p.file);
        auto expected = rubyPlaces(p.file, ids);
        size_t total = 0;
        for (int id : ids) {
            EXPECT_EQ(enginePlaces(db, id), expected[id]) << p.name << ", switch " << id;
            total += expected[id].size();
        }
        std::printf("[ checked  ] %s: %zu switch ids, %zu places\n", p.name.c_str(), ids.size(),
                    total);
    }
}

TEST_F(SwitchCrossCheck, CliCsvFindsWhatRubyFinds) {
    std::vector<Project> list = projects();
    if (list.empty()) GTEST_SKIP() << "no sample project and no corpus present";
    if (!cliHasSearch()) GTEST_SKIP() << "zorvane-cli is not built with its search command yet";
    ztest::TempDir dir;
    for (const Project& p : list) {
        std::vector<int> ids = pickIds(p.file);
        int id = ids.front();
        std::vector<std::string> expected = rubyPlaces(p.file, {id})[id];
        std::string csv = dir.file(p.name + ".csv");
        std::string cmd = ztest::shellQuote(ztest::binaryDir() + "/zorvane-cli") + " search " +
                          ztest::shellQuote(p.file) + " --switch " + std::to_string(id) +
                          " --operating --referencing --encoding utf-8 --csv " +
                          ztest::shellQuote(csv) + " > /dev/null";
        ASSERT_EQ(ztest::run(cmd), 0) << cmd;
        std::vector<std::string> found;
        if (!expected.empty())
            for (const auto& cells : parseCsv(ztest::readFile(csv))) {
                ASSERT_EQ(cells.size(), 7u);
                found.push_back(csvPlace(cells));
            }
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, expected) << p.name << ", switch " << id;
    }
}

}  // namespace
