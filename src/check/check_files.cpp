// Files: the names the project uses that no folder holds (placed by the missing-file search
// itself), and the reverse, files under Graphics/ and Audio/ that nothing names, with their
// sizes so a release can be slimmed. A file whose base name a script mentions may be loaded
// by it: such a file is "maybe used", never "unused".
#include <atomic>
#include <filesystem>
#include <map>
#include <system_error>

#include "check/check_facts.h"
#include "check/check_words.h"
#include "listing/listing_words.h"
#include "platform/string_util.h"
#include "project/project_database.h"
#include "project/resource.h"
#include "search/search_engine.h"

namespace zorvane {

namespace fs = std::filesystem;

namespace {

const char* const kResourceFolders[] = {"Graphics", "Audio"};

// A search hit of the missing-file search as a finding about the name it shows.
class MissingSink : public SearchSink {
  public:
    MissingSink(const std::set<std::string>& missing, const CheckFacts& facts, Severity severity,
                const char* message, std::vector<Finding>& out)
        : missing_(missing), severity_(severity), message_(message), out_(out) {
        // Only the places of missing names are ever looked up: their texts alone are made.
        for (const auto& [place, name] : facts.commandFiles)
            if (missing_.count(name)) missingAt_[placeText(place)].push_back(name);
    }

    // A hit outside a listing shows the name itself; a command line shows it in its own
    // words, so its names come from what the walk saw the command name.
    void addHit(const SearchHit& hit) override {
        FindingPlace place = placeOf(hit);
        std::set<std::string> names;
        if (place.line > 0) {
            auto it = missingAt_.find(placeText(place));
            if (it != missingAt_.end()) names.insert(it->second.begin(), it->second.end());
        }
        if (names.empty()) names.insert(hit.content);
        for (const std::string& name : names)
            out_.push_back(makeFinding(CheckKind::Files, severity_, place, name, message_));
    }
    void setTitle(const std::string&) override {}

  private:

    static FindingPlace placeOf(const SearchHit& hit) {
        FindingPlace place;
        place.line = hit.line > 0 ? hit.line : 0;
        place.page = hit.page;
        place.ownerId = hit.itemId;
        place.name = hit.itemName;
        switch (hit.area) {
            case SearchArea::CommonEvent: place.area = FindingPlace::CommonEvent; break;
            case SearchArea::BattleEvent: place.area = FindingPlace::Troop; break;
            case SearchArea::MapEvent:
                place.area = hit.hasEvent ? FindingPlace::MapEvent : FindingPlace::Map;
                place.mapId = hit.mapId;
                if (!hit.hasEvent) place.name = hit.mapName;
                break;
            case SearchArea::Script: place.area = FindingPlace::Script; break;
            case SearchArea::Database:
                place.area = FindingPlace::Database;
                place.table = hit.itemName;
                place.ownerId = 0;
                place.name.clear();
                break;
        }
        return place;
    }

    const std::set<std::string>& missing_;
    std::map<std::string, std::vector<std::string>> missingAt_;  // by the place's text
    Severity severity_;
    const char* message_;
    std::vector<Finding>& out_;
};

// An RTP that Game.ini names but this machine lacks: names missing from the game folder
// may be in it, so they are told as notes, not errors.
std::string absentRtp(const ProjectDatabase& project) {
    for (int n = 1; n <= 3; ++n) {
        if (project.rtpNames[n - 1].empty()) continue;
        std::string folder = project.resources().folder(n);
        std::error_code ec;
        if (folder.empty() || !fs::is_directory(folder, ec)) return project.rtpNames[n - 1];
    }
    return {};
}

void missingFiles(const ProjectDatabase& project, const CheckFacts& facts,
                  const std::atomic<bool>& abort, std::vector<Finding>& out) {
    std::set<std::string> missing;
    std::string found;
    for (const std::string& name : facts.files)
        if (project.resources().resolve(name, found) < 0) missing.insert(name);
    if (missing.empty()) return;
    std::string rtp = absentRtp(project);
    std::string message =
        rtp.empty() ? checkSay("ファイルが見つかりません", facts.language)
                    : fill(checkSay("ゲームフォルダになく、RTP「{1}」がこの環境にないため確かめられません",
                                    facts.language),
                           {rtp});
    SearchRequest request;
    request.kind = SearchKind::MissingFile;
    request.missingFiles = true;
    request.scope = {0, 0, 0, -1};
    MissingSink sink(missing, facts, rtp.empty() ? Severity::Error : Severity::Note, message.c_str(), out);
    SearchSettings settings;
    settings.language = facts.language;  // the names of the database tables it finds in
    runSearch(request, project, settings, sink, abort);
}

// "graphics\pictures\title2" for Graphics/Pictures/Title2.png below the game folder.
std::string usedKey(const std::string& relative) {
    std::string key = asciiLower(relative);
    for (char& c : key)
        if (c == '/') c = '\\';
    return key;
}

// Scripts that run Ruby code read from files the check cannot see: any file may be theirs.
bool loadsOutsideCode(const std::string& scripts) {
    for (const char* call : {"io.read", "file.read", "require ", "require(", "require_relative"})
        if (scripts.find(call) != std::string::npos) return true;
    return false;
}

void unusedFiles(const ProjectDatabase& project, const CheckFacts& facts,
                 std::vector<Finding>& out) {
    std::set<std::string> used;
    for (const std::string& name : facts.files) used.insert(usedKey(name));
    std::string scripts = asciiLower(facts.scriptText);
    bool outsideCode = loadsOutsideCode(scripts);
    const std::string& game = project.resources().gameFolder();
    for (const char* top : kResourceFolders) {
        std::optional<std::string> folder = project.resources().findPath(game, top);
        std::error_code ec;
        if (!folder || !fs::is_directory(*folder, ec)) continue;
        fs::recursive_directory_iterator it(*folder, ec), end;
        for (; !ec && it != end; it.increment(ec)) {
            if (!it->is_regular_file(ec) || it->is_symlink(ec)) continue;
            fs::path relative = fs::path(top) / fs::relative(it->path(), *folder, ec);
            fs::path stem = relative.parent_path() / relative.stem();
            if (used.count(usedKey(stem.string()))) continue;
            Finding f = makeFinding(CheckKind::Files, Severity::Note, FindingPlace(), "", "");
            f.place.area = FindingPlace::File;
            f.subject = relative.string();
            f.bytes = it->file_size(ec);
            bool named = scripts.find(asciiLower(relative.stem().string())) != std::string::npos;
            f.maybeUsed = named || outsideCode;
            f.message = checkSay(
                named         ? "スクリプトに名前があります（使われているかもしれません）"
                : outsideCode ? "スクリプトが外部のコードを読み込むため、使われているかもしれません"
                              : "どこからも使われていません",
                facts.language);
            out.push_back(std::move(f));
        }
    }
}

bool hasResourceFolders(const ProjectDatabase& project) {
    for (const char* top : kResourceFolders)
        if (project.resources().findPath(project.resources().gameFolder(), top)) return true;
    return false;
}

}  // namespace

void checkFiles(const ProjectDatabase& project, const CheckFacts& facts,
                const std::atomic<bool>& abort, std::vector<Finding>& out) {
    // Thousands of names are looked up in the same folders: list each folder once for the run.
    const PathCache::Snapshot listings = project.resources().fixedListings();
    // A folder kept without its pictures and sounds (a repository of Data/ alone) would make
    // every name missing: say so once instead.
    if (!hasResourceFolders(project)) {
        FindingPlace place;
        place.area = FindingPlace::File;
        out.push_back(makeFinding(CheckKind::Files, Severity::Note, place, "Graphics, Audio",
                                  checkSay("ゲームフォルダにGraphicsもAudioもないため、ファイルは調べていません",
                                           facts.language)));
        return;
    }
    missingFiles(project, facts, abort, out);
    unusedFiles(project, facts, out);
}

}  // namespace zorvane
