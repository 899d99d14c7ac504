// The map tree: names, paths, ancestry (also over damaged parent chains that loop), the
// map count and the editor's order, on hand-made trees, a project written by Ruby and the
// sample project.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>

#include "map/map_info_tree.h"
#include "map/map_test_project.h"

using namespace zorvane;

namespace {

// World > Town > Inn > Inn 2F; an orphan whose parent is missing; two maps that name each
// other as parent and one that is its own parent (damaged data). Order 6 is missing.
MapInfoTree sampleTree() {
    return MapInfoTree({
        {0, {"Root", 0, 0}},
        {1, {"World", 0, 1}},
        {2, {"Town", 1, 2}},
        {3, {"Inn", 2, 4}},
        {5, {"Inn 2F", 3, 3}},
        {6, {"Orphan", 42, 5}},
        {10, {"Loop A", 11, 7}},
        {11, {"Loop B", 10, 8}},
        {12, {"Self", 12, 9}},
    });
}

}  // namespace

TEST(MapInfoTree, NamesAndPaths) {
    MapInfoTree tree = sampleTree();
    struct Case {
        int id;
        const char* name;
        const char* path;
    };
    const Case cases[] = {
        {0, "Root", "Root"},
        {1, "World", "World"},
        {2, "Town", "World/Town"},
        {5, "Inn 2F", "World/Town/Inn/Inn 2F"},
        {6, "Orphan", "Orphan"},
        {10, "Loop A", "Loop B/Loop A"},
        {11, "Loop B", "Loop A/Loop B"},
        {12, "Self", "Self"},
        {4, "", ""},
        {-1, "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(tree.nameOf(c.id), c.name) << c.id;
        EXPECT_EQ(tree.pathOf(c.id), c.path) << c.id;
    }
}

TEST(MapInfoTree, Descendants) {
    MapInfoTree tree = sampleTree();
    struct Case {
        int id, ancestor;
        bool expected;
    };
    const Case cases[] = {
        {5, 5, true},   {5, 0, false},  {5, -1, false},  {5, 3, true},   {5, 1, true},
        {1, 5, false},  {2, 5, false},  {6, 1, false},   {6, 42, true},  {4, 1, false},
        {10, 11, true}, {11, 10, true}, {10, 99, false}, {11, 1, false}, {12, 1, false},
        {12, 12, true}, {0, 1, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tree.isDescendant(c.id, c.ancestor), c.expected)
            << "isDescendant(" << c.id << ", " << c.ancestor << ")";
}

TEST(MapInfoTree, CountAndEditorOrder) {
    MapInfoTree tree = sampleTree();
    EXPECT_EQ(tree.count(), 8u) << "the root is not a map";
    EXPECT_EQ(tree.editorOrder(), (std::vector<int>{1, 2, 5, 3, 6}))
        << "stops where order 6 is missing";

    MapInfoTree ties({{0, {"Root", 0, 0}},
                      {4, {"D", 0, 2}},
                      {7, {"B", 0, 1}},
                      {3, {"A", 0, 1}},
                      {9, {"Z", 0, 0}}});
    EXPECT_EQ(ties.editorOrder(), (std::vector<int>{3, 7, 4}));
    EXPECT_EQ(ties.count(), 4u);

    MapInfoTree empty;
    EXPECT_EQ(empty.count(), 0u);
    EXPECT_TRUE(empty.editorOrder().empty());
    EXPECT_EQ(empty.pathOf(1), "");
}

TEST(MapInfoTree, FromAProjectWithItsTitleAsRoot) {
    if (!maptest::TestProject::haveRuby()) GTEST_SKIP() << "ruby is not installed";
    maptest::TestProject project;
    ASSERT_TRUE(project.write(R"(
        save('MapInfos.rxdata', { 3 => RPG::MapInfo.new('Cellar', 2, 3),
                                  1 => RPG::MapInfo.new('Castle', 0, 1),
                                  2 => RPG::MapInfo.new('Hall', 1, 2) })
    )"));
    ProjectDatabase db;
    ASSERT_TRUE(project.open(db));
    MapInfoTree tree = MapInfoTree::fromProject(db);
    EXPECT_EQ(tree.nameOf(0), "Tree Root");
    EXPECT_EQ(tree.pathOf(3), "Castle/Hall/Cellar");
    EXPECT_EQ(tree.count(), 3u);
    EXPECT_EQ(tree.editorOrder(), (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(tree.isDescendant(3, 1));
}

TEST(MapInfoTree, SampleProjectTree) {
    if (!std::filesystem::exists(ztest::sampleProject()))
        GTEST_SKIP() << "the sample project is not generated yet";
    auto manifest =
        nlohmann::json::parse(ztest::readFile(ztest::sourceDir() + "/sample/manifest.json"));
    ProjectDatabase db;
    ASSERT_TRUE(db.open(ztest::sampleProject()));
    MapInfoTree tree = MapInfoTree::fromProject(db);

    const auto& maps = manifest["maps"];
    EXPECT_EQ(tree.count(), maps.size());
    EXPECT_EQ(tree.nameOf(0), manifest["title"].get<std::string>());
    std::vector<std::pair<int, int>> byOrder;
    for (const auto& m : maps) {
        int id = m["id"];
        EXPECT_EQ(tree.nameOf(id), m["name"].get<std::string>());
        EXPECT_TRUE(tree.isDescendant(id, id));
        int parent = m["parent_id"];
        if (parent > 0) {
            EXPECT_TRUE(tree.isDescendant(id, parent)) << id;
        }
        byOrder.emplace_back(m["order"].get<int>(), id);
    }
    std::sort(byOrder.begin(), byOrder.end());
    std::vector<int> expected;
    for (const auto& entry : byOrder) expected.push_back(entry.second);
    EXPECT_EQ(tree.editorOrder(), expected);
    EXPECT_EQ(tree.pathOf(4), "ワールドマップ/はじまりの町/宿屋 1F/宿屋 2F");
}
