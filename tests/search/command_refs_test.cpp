// The operand descriptions against the formatters: over every command of the real projects
// and the sample, the ids a line labels (in the long form, where every id is labelled) are
// exactly the ids references() returns, so a wrong row shows up either way.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "listing/command_refs.h"
#include "listing/listing.h"
#include "listing/operands.h"
#include "map/event_walk.h"
#include "project/project_database.h"
#include "support/test_support.h"

using namespace zorvane;
namespace fs = std::filesystem;

namespace {

// The label kind of each kind of id; kinds without labels (files, texts) are absent.
const std::map<RefKind, LabelKind> kLabelKinds = {
    {RefKind::Switch, LabelKind::Switch}, {RefKind::Variable, LabelKind::Variable},
    {RefKind::Actor, LabelKind::Actor},   {RefKind::Class, LabelKind::Class},
    {RefKind::Weapon, LabelKind::Weapon}, {RefKind::Armor, LabelKind::Armor},
    {RefKind::Item, LabelKind::Item},     {RefKind::Skill, LabelKind::Skill},
    {RefKind::State, LabelKind::State},   {RefKind::CommonEvent, LabelKind::CommonEvent},
    {RefKind::Map, LabelKind::Map},       {RefKind::Troop, LabelKind::Troop},
    {RefKind::Enemy, LabelKind::Enemy},   {RefKind::Animation, LabelKind::Animation},
};

using Ids = std::set<std::pair<LabelKind, int>>;

Ids referencedIds(const EventCommand& command) {
    Ids ids;
    for (const Reference& r : references(command)) {
        auto kind = kLabelKinds.find(r.kind);
        if (kind == kLabelKinds.end()) continue;
        ids.emplace(kind->second, r.first);
        ids.emplace(kind->second, r.last);
    }
    return ids;
}

struct CrossCheck : EventListVisitor {
    const ProjectDatabase* project = nullptr;
    std::string name;
    size_t commands = 0;
    size_t labelled = 0;
    int failures = 0;

    WalkStep list(const EventListPlace& place) override {
        if (!place.list) return WalkStep::Go;
        EventCommandList list;
        list.read(*place.list);
        std::vector<std::pair<LabelKind, int>> shown;
        ListingOptions o;
        o.project = project;
        o.detail = true;
        o.ownerKind = place.owner;
        o.ownerId = place.ownerId;
        o.mapEvents = place.map ? &place.map->events : nullptr;
        o.labelled = &shown;
        for (const EventCommand& command : list.commands) {
            shown.clear();
            std::string line;
            formatCommand(line, command, o, nullptr);
            ++commands;
            Ids fromLine(shown.begin(), shown.end());
            labelled += fromLine.size();
            Ids fromRefs = referencedIds(command);
            if (fromLine == fromRefs) continue;
            // A few examples are enough to find the row.
            if (++failures <= 10)
                ADD_FAILURE() << name << ": code " << command.code << " line '" << line << "' labels "
                              << fromLine.size() << " ids, references() gives " << fromRefs.size();
        }
        return WalkStep::Go;
    }
};

std::vector<std::string> projectFiles() {
    std::vector<std::string> files = {ztest::sampleProject()};
    std::string corpus = ztest::corpusDir();
    if (corpus.empty()) return files;
    for (const auto& dir : fs::directory_iterator(corpus)) {
        if (!dir.is_directory()) continue;
        std::string file = (dir.path() / "Game.ini").string();
        for (const auto& e : fs::directory_iterator(dir.path()))
            if (e.path().extension() == ".rxproj") file = e.path().string();
        files.push_back(file);
    }
    return files;
}

}  // namespace

TEST(CommandReferences, EveryLabelledIdIsAReferenceAndNoOther) {
    if (ztest::corpusDir().empty()) std::cout << "no corpus of real projects: the sample only\n";
    size_t labelled = 0;
    for (const std::string& file : projectFiles()) {
        ProjectDatabase db;
        if (!db.open(file)) continue;
        CrossCheck check;
        check.project = &db;
        check.name = file;
        EXPECT_TRUE(walkEventLists(db, WalkScope{}, check));
        EXPECT_GT(check.commands, 0u) << file;
        EXPECT_EQ(check.failures, 0) << file;
        labelled += check.labelled;
    }
    EXPECT_GT(labelled, 0u);
}
