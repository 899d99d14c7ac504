// Labels of ids, troop member labels, and finding resources in the game folder and RTPs.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/path_nocase.h"
#include "project/file_helpers.h"
#include "project/project_database.h"
#include "project/resource.h"
#include "support/test_support.h"

namespace {

using zorvane::kLabelKindCount;
using zorvane::LabelKind;
using zorvane::LabelStyle;
using zorvane::ProjectDatabase;

ProjectDatabase labelledProject() {
    ProjectDatabase db;
    db.mutableSystem().switchNames.assign(10, "");
    db.mutableSystem().switchNames[5] = "Door";
    db.mutableSystem().variableNames.assign(4, "");
    db.mutableActors().resize(10);
    db.mutableEnemies().resize(3);
    db.mutableEnemies()[1].name = "Slime";
    db.mutableTroops().resize(2);
    db.mutableTroops()[1].members.resize(2);
    db.mutableTroops()[1].members[0].enemyId = 1;
    db.mutableTroops()[1].members[1].enemyId = 0;
    db.mutableMapInfos()[7].name = "Cave";
    return db;
}

TEST(Labels, FormsFromTheirDescription) {
    ProjectDatabase db = labelledProject();
    LabelStyle kNumberOnly;
    kNumberOnly.number = true;
    EXPECT_EQ(db.label(5, LabelKind::Switch, LabelStyle::numbered()), "[0005:Door]");
    EXPECT_EQ(db.label(5, LabelKind::Switch, LabelStyle::full()), "スイッチ[0005:Door]");
    EXPECT_EQ(db.label(3, LabelKind::Actor, kNumberOnly), "003");
    EXPECT_EQ(db.label(12, LabelKind::Actor, LabelStyle::numbered()),
              "[012:(Warning:Array Overflow)]");
    EXPECT_EQ(db.label(0, LabelKind::Actor, LabelStyle::full()), "");
    EXPECT_EQ(db.label(-4, LabelKind::Switch, LabelStyle::full()), "")
        << "negative ids are empty, not overflow";
    EXPECT_EQ(db.label(4, LabelKind::Variable, LabelStyle::numbered()),
              "[0004:(Warning:Array Overflow)]")
        << "an id equal to the size overflows";
    EXPECT_EQ(db.label(5, LabelKind::Switch, kNumberOnly), "0005") << "number without a colon";
    EXPECT_EQ(db.label(5, LabelKind::Switch, LabelStyle::nameOnly()), "Door");
    EXPECT_EQ(db.label(3, LabelKind::Map, LabelStyle::numbered()), "[003:(Warning:Array Overflow)]")
        << "a map id absent from the map infos";
    EXPECT_EQ(db.label(7, LabelKind::Map, LabelStyle::full()), "マップ[007:Cave]");
    EXPECT_EQ(db.label(1, static_cast<LabelKind>(kLabelKindCount), LabelStyle::full()), "")
        << "a number cast past the kinds is no kind";
}

TEST(Labels, TroopMembers) {
    ProjectDatabase db = labelledProject();
    EXPECT_EQ(db.troopMemberLabel(1, 0, LabelStyle::nameOnly()), "[1.Slime]");
    EXPECT_EQ(db.troopMemberLabel(1, 0, LabelStyle::numbered()), "[1.[001:Slime]]");
    EXPECT_EQ(db.troopMemberLabel(1, 0, LabelStyle::full()), "[1.エネミー[001:Slime]]");
    EXPECT_EQ(db.troopMemberLabel(1, 5, LabelStyle::numbered()), "[6.]");
    EXPECT_EQ(db.troopMemberEnemy(0, 0), 0);
    EXPECT_EQ(db.troopMemberEnemy(2, 0), 0);
    EXPECT_EQ(db.troopMemberEnemy(1, -1), 0);
}

class Resources : public ::testing::Test {
  protected:
    void SetUp() override {
        resources = zorvane::ResourceResolver(game(), dir.file("common"), {"RTP1", "RTP2", "RTP3"});
    }
    void touch(const std::string& relative) {
        std::string path = dir.file(relative);
        zorvane::ensureFolder(path.substr(0, path.rfind('/')));
        ztest::writeFile(path, "x");
    }
    std::string game() const { return dir.file("game"); }
    ztest::TempDir dir;
    zorvane::ResourceResolver resources;
};

TEST_F(Resources, GameFolderFirstThenThePackagesInExtensionOrder) {
    touch("game/Graphics/Characters/Hero.png");
    touch("common/Enterbrain/RGSS/RTP1/Graphics/Characters/Hero.png");
    touch("common/Enterbrain/RGSS/RTP2/Graphics/Battlers/Bat.bmp");
    touch("common/Enterbrain/RGSS/RTP2/Graphics/Battlers/Bat.jpeg");
    touch("common/Enterbrain/RGSS/RTP2/Graphics/Battlers/Bat.jpg");
    touch("common/Enterbrain/RGSS/RTP3/Audio/SE/Door.wav");
    touch("common/Enterbrain/RGSS/RTP3/Audio/SE/Door.ogg");
    std::string out;
    EXPECT_EQ(resources.resolve("Graphics\\Characters\\Hero", out), 0);
    EXPECT_EQ(out, dir.file("game/Graphics/Characters/Hero.png"));
    EXPECT_EQ(resources.resolve("Graphics\\Battlers\\Bat", out), 2);
    EXPECT_EQ(out, dir.file("common/Enterbrain/RGSS/RTP2/Graphics/Battlers/Bat.jpg"));
    EXPECT_EQ(resources.resolve("Audio\\SE\\Door", out), 3);
    EXPECT_EQ(out.substr(out.size() - 4), ".ogg");
    EXPECT_EQ(resources.resolve("graphics\\characters\\hero", out), 0)
        << "letter case of the folder and name does not matter";
}

TEST_F(Resources, OtherFoldersFoldersAndEscapes) {
    touch("game/Data/Notes.txt");
    touch("game/Graphics/Pictures/Sign.png/inner");  // a folder named like the file
    touch("outside/Graphics/Pictures/Secret.png");
    std::string out = "unchanged";
    EXPECT_EQ(resources.resolve("Data\\Notes.txt", out), 0) << "taken unchanged";
    EXPECT_EQ(resources.resolve("Data\\Notes", out = "unchanged"), -1);
    EXPECT_EQ(out, "unchanged");
    EXPECT_EQ(resources.resolve("Graphics\\Pictures\\Sign", out), -1)
        << "a folder does not count as found";
    EXPECT_EQ(resources.resolve("Graphics\\..\\..\\outside\\Graphics\\Pictures\\Secret", out), -1);
    EXPECT_EQ(resources.resolve(
                  "Graphics\\Pictures\\..\\..\\..\\outside\\Graphics\\Pictures\\Secret", out),
              -1);
    EXPECT_EQ(resources.resolve("", out), -1);
}

TEST_F(Resources, PackageFolders) {
    zorvane::ResourceResolver packages(game(), dir.file("common"), {"Standard", "", "../../etc"});
    EXPECT_EQ(packages.folder(0), game());
    EXPECT_EQ(packages.folder(4), "");
    EXPECT_EQ(packages.folder(1), dir.file("common") + "/Enterbrain/RGSS/Standard");
    EXPECT_EQ(packages.folder(2), dir.file("common") + "/Enterbrain/RGSS");
    std::string rgss = dir.file("common") + "/Enterbrain/RGSS/";
    std::string third = packages.folder(3);
    ASSERT_EQ(third.compare(0, rgss.size(), rgss), 0);
    EXPECT_EQ(third.find('/', rgss.size()), std::string::npos) << "a package name cannot climb out";
    EXPECT_NE(third.substr(rgss.size()), "..");
}

// Each opened project keeps its own packages: opening another one re-points nothing.
TEST_F(Resources, TwoOpenProjectsKeepTheirOwnPackages) {
    touch("common/Enterbrain/RGSS/RTP1/Graphics/Characters/Hero.png");
    touch("common/Enterbrain/RGSS/Other/Graphics/Characters/Villain.png");
    touch("game/Game.rxproj");
    touch("other/Game.rxproj");
    ztest::writeFile(dir.file("game/Game.ini"), "[Game]\r\nRTP1=RTP1\r\n");
    ztest::writeFile(dir.file("other/Game.ini"), "[Game]\r\nRTP1=Other\r\n");
    ProjectDatabase first, second;
    ASSERT_TRUE(first.open(dir.file("game/Game.rxproj"), dir.file("common")));
    ASSERT_TRUE(second.open(dir.file("other/Game.rxproj"), dir.file("common")));
    std::string out;
    EXPECT_EQ(first.resources().resolve("Graphics\\Characters\\Hero", out), 1);
    EXPECT_EQ(first.resources().resolve("Graphics\\Characters\\Villain", out), -1);
    EXPECT_EQ(second.resources().resolve("Graphics\\Characters\\Villain", out), 1);
    EXPECT_EQ(second.resources().resolve("Graphics\\Characters\\Hero", out), -1);
}

TEST(FileHelpers, ExistenceSizesTimesAndFolders) {
    ztest::TempDir dir;
    ztest::writeFile(dir.file("a.bin"), "12345");
    EXPECT_TRUE(zorvane::fileExists(dir.file("a.bin")));
    EXPECT_FALSE(zorvane::fileExists(dir.path()));
    EXPECT_EQ(zorvane::fileSize(dir.file("a.bin")), 5u);
    EXPECT_EQ(zorvane::fileSize(dir.path()), 0u);
    EXPECT_EQ(zorvane::fileSize(dir.file("none")), 0u);
    std::string t =
        zorvane::fileTimeText(dir.file("a.bin"), zorvane::FileTime::LastWrite, true, true);
    ASSERT_EQ(t.size(), 19u);
    EXPECT_EQ(t[4], '/');
    EXPECT_EQ(t[10], ' ');
    EXPECT_EQ(t[13], ':');
    EXPECT_EQ(
        zorvane::fileTimeText(dir.file("a.bin"), zorvane::FileTime::LastWrite, false, true).size(),
        8u);
    EXPECT_EQ(zorvane::fileTimeText(dir.file("none"), zorvane::FileTime::LastWrite, true, true),
              "");
    EXPECT_TRUE(zorvane::ensureFolder(dir.file("x/y/z")));
    struct stat st {};
    EXPECT_EQ(stat(dir.file("x/y/z").c_str(), &st), 0);
    EXPECT_FALSE(zorvane::ensureFolder(dir.file("a.bin/sub")));
}

}  // namespace

namespace {

// Every label of every kind (one id past the end too) and every tileset name, as a full
// read gives them and as names alone give them.
void expectSameLabels(const std::string& folder) {
    ProjectDatabase full, names;
    ASSERT_TRUE(full.openFolder(folder)) << folder;
    ASSERT_TRUE(names.openFolder(folder)) << folder;
    names.namesOnly = true;
    for (size_t k = 0; k < kLabelKindCount; ++k)
        for (int id = 1; id <= 1000; ++id) {
            auto kind = static_cast<LabelKind>(k);
            std::string want = full.label(id, kind, LabelStyle::full());
            ASSERT_EQ(names.label(id, kind, LabelStyle::full()), want) << folder << " " << k;
            if (want.find("Overflow") != std::string::npos) break;
        }
    ASSERT_EQ(names.tilesets().size(), full.tilesets().size()) << folder;
    for (size_t i = 0; i < full.tilesets().size(); ++i)
        EXPECT_EQ(names.tilesets()[i].name, full.tilesets()[i].name) << folder << " " << i;
}

}  // namespace

// The sample, every corpus project, and files Ruby writes with the shapes a scan must get
// right or leave to the full read: names with ivars, nil and missing names, a NUL inside a
// name, repeated symbols, an element that is a link, a name that is a link.
TEST(Labels, NamesAloneMatchTheFullRead) {
    expectSameLabels(ztest::sourceDir() + "/sample/Project");
    if (std::string corpus = ztest::corpusDir(); !corpus.empty()) {
        std::string out;
        ztest::run("ls -d " + ztest::shellQuote(corpus) + "/*/", &out);
        for (size_t start = 0, end; (end = out.find('\n', start)) != std::string::npos;
             start = end + 1)
            expectSameLabels(out.substr(start, end - start));
    }
    if (!ztest::haveProgram("ruby")) GTEST_SKIP() << "ruby is needed for the odd shapes";
    ztest::TempDir dir;
    ASSERT_EQ(ztest::run("mkdir -p " + ztest::shellQuote(dir.file("Data"))), 0);
    const std::string script = R"RUBY(
module RPG; class Actor; attr_accessor :name, :id; end; class Tileset < Actor; end; end
def rec(c, n) r = c.new; r.id = 1; r.name = n unless n == :none; r end
shared = "Shared"
a = [nil, rec(RPG::Actor, "Ash"), rec(RPG::Actor, nil), rec(RPG::Actor, :none),
     rec(RPG::Actor, "Cut\0here"), rec(RPG::Actor, "Ünïcode".b), rec(RPG::Actor, 12)]
File.binwrite("Data/Actors.rxdata", Marshal.dump(a))
s = [nil, rec(RPG::Actor, shared), rec(RPG::Actor, shared)]
File.binwrite("Data/Skills.rxdata", Marshal.dump(s))
one = rec(RPG::Actor, "Twice")
File.binwrite("Data/Items.rxdata", Marshal.dump([nil, one, one]))
File.binwrite("Data/Tilesets.rxdata", Marshal.dump([nil, rec(RPG::Tileset, "Field"), rec(RPG::Actor, "Not a tileset")]))
)RUBY";
    ztest::writeFile(dir.file("make.rb"), script);
    ASSERT_EQ(ztest::run("cd " + ztest::shellQuote(dir.path()) + " && ruby make.rb"), 0);
    expectSameLabels(dir.path());
}
