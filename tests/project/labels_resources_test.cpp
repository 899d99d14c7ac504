// Labels of ids, troop member labels, and finding resources in the game folder and RTPs.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/path_nocase.h"
#include "project/file_helpers.h"
#include "project/project_database.h"
#include "project/resource.h"
#include "support/test_support.h"

namespace {

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
    EXPECT_EQ(db.label(5, 0, false, true, true, true), "[0005:Door]");
    EXPECT_EQ(db.label(5, 0, true, true, true, true), "スイッチ[0005:Door]");
    EXPECT_EQ(db.label(3, 2, false, true, false, false), "003");
    EXPECT_EQ(db.label(12, 2, false, true, true, true), "[012:(Warning:Array Overflow)]");
    EXPECT_EQ(db.label(0, 2, true, true, true, true), "");
    EXPECT_EQ(db.label(-4, 0, true, true, true, true), "")
        << "negative ids are empty, not overflow";
    EXPECT_EQ(db.label(4, 1, false, true, true, true), "[0004:(Warning:Array Overflow)]")
        << "an id equal to the size overflows";
    EXPECT_EQ(db.label(5, 0, false, true, false, false), "0005") << "number without a colon";
    EXPECT_EQ(db.label(5, 0, false, false, false, true), "Door");
    EXPECT_EQ(db.label(3, 10, false, true, true, true), "[003:(Warning:Array Overflow)]")
        << "a map id absent from the map infos";
    EXPECT_EQ(db.label(7, 10, true, true, true, true), "マップ[007:Cave]");
    EXPECT_EQ(db.label(1, 15, true, true, true, true), "") << "kind 15 is no kind";
}

TEST(Labels, TroopMembers) {
    ProjectDatabase db = labelledProject();
    EXPECT_EQ(db.troopMemberLabel(1, 0, false, false), "[1.Slime]");
    EXPECT_EQ(db.troopMemberLabel(1, 0, false, true), "[1.[001:Slime]]");
    EXPECT_EQ(db.troopMemberLabel(1, 0, true, true), "[1.エネミー[001:Slime]]");
    EXPECT_EQ(db.troopMemberLabel(1, 5, false, true), "[6.]");
    EXPECT_EQ(db.troopMemberEnemy(0, 0), 0);
    EXPECT_EQ(db.troopMemberEnemy(2, 0), 0);
    EXPECT_EQ(db.troopMemberEnemy(1, -1), 0);
}

class Resources : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("ZORVANE_COMMON_FILES", dir.file("common").c_str(), 1);
        zorvane::clearPathCache();
        for (int n = 1; n <= 3; ++n) zorvane::setRtpFolder(n, "RTP" + std::to_string(n));
    }
    void touch(const std::string& relative) {
        std::string path = dir.file(relative);
        zorvane::ensureFolder(path.substr(0, path.rfind('/')));
        ztest::writeFile(path, "x");
    }
    std::string game() const { return dir.file("game"); }
    ztest::TempDir dir;
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
    EXPECT_EQ(zorvane::resolveResource("Graphics\\Characters\\Hero", game(), out), 0);
    EXPECT_EQ(out, dir.file("game/Graphics/Characters/Hero.png"));
    EXPECT_EQ(zorvane::resolveResource("Graphics\\Battlers\\Bat", game(), out), 2);
    EXPECT_EQ(out, dir.file("common/Enterbrain/RGSS/RTP2/Graphics/Battlers/Bat.jpg"));
    EXPECT_EQ(zorvane::resolveResource("Audio\\SE\\Door", game(), out), 3);
    EXPECT_EQ(out.substr(out.size() - 4), ".ogg");
    EXPECT_EQ(zorvane::resolveResource("graphics\\characters\\hero", game(), out), 0)
        << "letter case of the folder and name does not matter";
}

TEST_F(Resources, OtherFoldersFoldersAndEscapes) {
    touch("game/Data/Notes.txt");
    touch("game/Graphics/Pictures/Sign.png/inner");  // a folder named like the file
    touch("outside/Graphics/Pictures/Secret.png");
    std::string out = "unchanged";
    EXPECT_EQ(zorvane::resolveResource("Data\\Notes.txt", game(), out), 0) << "taken unchanged";
    EXPECT_EQ(zorvane::resolveResource("Data\\Notes", game(), out = "unchanged"), -1);
    EXPECT_EQ(out, "unchanged");
    EXPECT_EQ(zorvane::resolveResource("Graphics\\Pictures\\Sign", game(), out), -1)
        << "a folder does not count as found";
    EXPECT_EQ(zorvane::resolveResource("Graphics\\..\\..\\outside\\Graphics\\Pictures\\Secret",
                                       game(), out),
              -1);
    EXPECT_EQ(
        zorvane::resolveResource(
            "Graphics\\Pictures\\..\\..\\..\\outside\\Graphics\\Pictures\\Secret", game(), out),
        -1);
    EXPECT_EQ(zorvane::resolveResource("", game(), out), -1);
}

TEST_F(Resources, PackageFolders) {
    std::string before = zorvane::rtpFolder(1);
    zorvane::setRtpFolder(4, "Other");
    EXPECT_EQ(zorvane::rtpFolder(1), before);
    EXPECT_EQ(zorvane::rtpFolder(4), "");
    zorvane::setRtpFolder(1, "Standard");
    EXPECT_EQ(zorvane::rtpFolder(1), dir.file("common") + "/Enterbrain/RGSS/Standard");
    zorvane::setRtpFolder(2, "");
    EXPECT_EQ(zorvane::rtpFolder(2), dir.file("common") + "/Enterbrain/RGSS");
    zorvane::setRtpFolder(3, "../../etc");
    std::string rgss = dir.file("common") + "/Enterbrain/RGSS/";
    std::string third = zorvane::rtpFolder(3);
    ASSERT_EQ(third.compare(0, rgss.size(), rgss), 0);
    EXPECT_EQ(third.find('/', rgss.size()), std::string::npos) << "a package name cannot climb out";
    EXPECT_NE(third.substr(rgss.size()), "..");
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
