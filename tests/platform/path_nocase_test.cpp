// Case-insensitive resolution on a real temporary tree, and the names that must never
// lead outside a folder.
#include "platform/path_nocase.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <thread>
#include <vector>

#include "support/test_support.h"

namespace {

using zorvane::findPathNoCase;

class PathNoCaseTest : public ::testing::Test {
  protected:
    void SetUp() override {
        mkdir(base().c_str(), 0755);
        mkdir((base() + "/Graphics").c_str(), 0755);
        mkdir((base() + "/Graphics/Characters").c_str(), 0755);
        ztest::writeFile(base() + "/Graphics/Characters/Hero.png", "png");
        ztest::writeFile(base() + "/Graphics/Characters/Ärger.png", "png");
        ztest::writeFile(base() + "/map.txt", "lower");
        ztest::writeFile(base() + "/MAP.txt", "upper");
        ztest::writeFile(dir.file("outside.txt"), "secret");
    }
    std::string base() const { return dir.file("game"); }
    ztest::TempDir dir;
};

TEST_F(PathNoCaseTest, ExactSpellingWins) {
    EXPECT_EQ(findPathNoCase(base(), "map.txt"), base() + "/map.txt");
    EXPECT_EQ(findPathNoCase(base(), "MAP.txt"), base() + "/MAP.txt");
    EXPECT_EQ(findPathNoCase(base(), "Graphics/Characters/Hero.png"),
              base() + "/Graphics/Characters/Hero.png");
}

TEST_F(PathNoCaseTest, OtherCaseAndBackslashesAreFound) {
    EXPECT_EQ(findPathNoCase(base(), "GRAPHICS\\characters\\hero.PNG"),
              base() + "/Graphics/Characters/Hero.png");
    EXPECT_EQ(findPathNoCase(base(), "graphics/characters"), base() + "/Graphics/Characters");
    EXPECT_EQ(findPathNoCase(base(), "Graphics\\Characters\\ärger.png"),
              base() + "/Graphics/Characters/Ärger.png");
    // Two entries differ only in case: either real entry is acceptable, never a made-up one.
    auto either = findPathNoCase(base(), "Map.TXT");
    ASSERT_TRUE(either.has_value());
    EXPECT_TRUE(*either == base() + "/map.txt" || *either == base() + "/MAP.txt") << *either;
    EXPECT_FALSE(findPathNoCase(base(), "Graphics/Characters/Villain.png"));
    EXPECT_FALSE(findPathNoCase(base(), "map.txt/inside"));
}

TEST_F(PathNoCaseTest, NamesLeavingTheFolderAreRefused) {
    EXPECT_FALSE(findPathNoCase(base(), "../outside.txt"));
    EXPECT_FALSE(findPathNoCase(base(), "Graphics\\..\\..\\outside.txt"));
    EXPECT_FALSE(findPathNoCase(base(), dir.file("outside.txt")));
    EXPECT_FALSE(findPathNoCase(base(), "C:\\outside.txt"));
}

TEST_F(PathNoCaseTest, CacheFollowsChangesOnDisk) {
    const std::string folder = base() + "/Graphics/Characters";
    EXPECT_FALSE(findPathNoCase(base(), "Graphics/Characters/new.png"));
    ztest::writeFile(folder + "/New.png", "png");
    EXPECT_EQ(findPathNoCase(base(), "Graphics/Characters/new.png"), folder + "/New.png");
    ASSERT_EQ(unlink((folder + "/Hero.png").c_str()), 0);
    EXPECT_FALSE(findPathNoCase(base(), "Graphics/Characters/hero.png"));
}

TEST_F(PathNoCaseTest, ChangeWithinOneTimestampTickIsSeen) {
    // Folder timestamps are coarse: an entry added in the same tick as the listing leaves
    // mtime as it was. Simulate that by putting the old mtime back.
    const std::string folder = base() + "/Graphics";
    struct stat before;
    ASSERT_EQ(stat(folder.c_str(), &before), 0);
    EXPECT_FALSE(findPathNoCase(base(), "graphics/late.png"));
    ztest::writeFile(folder + "/Late.png", "png");
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, folder.c_str(), times, 0), 0);
    EXPECT_EQ(findPathNoCase(base(), "graphics/late.png"), folder + "/Late.png");
}

// Inside a snapshot each folder (and a missing one) is looked at once: a file or folder
// made meanwhile stays unseen until the last snapshot ends, then shows as without one.
TEST_F(PathNoCaseTest, SnapshotTrustsWhatItSawUntilItEnds) {
    zorvane::PathCache cache;
    const std::string graphics = base() + "/Graphics";
    struct Case {
        const char* made;    // created while the snapshot lives
        const char* lookup;  // looked up before and after it is made
    };
    const Case cases[] = {
        {"/Graphics/Characters/Late.png", "graphics/characters/late.png"},
        {"/Audio", "audio"},
        {"/Graphics/Pictures", "Graphics/Pictures"},
    };
    {
        zorvane::PathCache::Snapshot outer(cache);
        for (const Case& c : cases) EXPECT_FALSE(cache.find(base(), c.lookup)) << c.lookup;
        for (const Case& c : cases) {
            std::string path = base() + c.made;
            if (path.size() > 4 && path.compare(path.size() - 4, 4, ".png") == 0)
                ztest::writeFile(path, "png");
            else
                ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
        }
        {
            zorvane::PathCache::Snapshot inner(cache);
            for (const Case& c : cases) EXPECT_FALSE(cache.find(base(), c.lookup)) << c.lookup;
        }
        for (const Case& c : cases) EXPECT_FALSE(cache.find(base(), c.lookup)) << c.lookup;
        EXPECT_EQ(cache.find(base(), "GRAPHICS/characters/HERO.png"),
                  graphics + "/Characters/Hero.png");
    }
    for (const Case& c : cases) EXPECT_EQ(cache.find(base(), c.lookup), base() + c.made);
    // A later snapshot looks again, and a removal is seen once none is alive.
    ASSERT_EQ(unlink((graphics + "/Characters/Hero.png").c_str()), 0);
    {
        zorvane::PathCache::Snapshot again(cache);
        EXPECT_FALSE(cache.find(base(), "graphics/characters/hero.png"));
    }
    EXPECT_FALSE(cache.find(base(), "graphics/characters/hero.png"));
}

TEST_F(PathNoCaseTest, ConcurrentLookupsAgree) {
    std::vector<int> found(6, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i) {
                if (t == 0 && i % 20 == 0) zorvane::clearPathCache();
                found[t] += findPathNoCase(base(), "graphics/CHARACTERS/HERO.png") ==
                            base() + "/Graphics/Characters/Hero.png";
            }
        });
    for (auto& th : threads) th.join();
    for (int t = 0; t < 6; ++t) EXPECT_EQ(found[t], 200);
}

TEST(SafeNamesTest, RelativeNames) {
    EXPECT_TRUE(zorvane::isSafeRelativeName("Graphics\\Characters\\001-Fighter01"));
    EXPECT_TRUE(zorvane::isSafeRelativeName("a/..b/c.."));
    EXPECT_FALSE(zorvane::isSafeRelativeName(".."));
    EXPECT_FALSE(zorvane::isSafeRelativeName("Audio\\..\\..\\x"));
    EXPECT_FALSE(zorvane::isSafeRelativeName("a/b/.."));
    EXPECT_FALSE(zorvane::isSafeRelativeName("/etc/passwd"));
    EXPECT_FALSE(zorvane::isSafeRelativeName("\\Windows"));
    EXPECT_FALSE(zorvane::isSafeRelativeName("C:\\Windows"));
    EXPECT_FALSE(zorvane::isSafeRelativeName("d:x"));
    EXPECT_FALSE(zorvane::isSafeRelativeName(std::string("a\0b", 3)));
}

TEST(SafeNamesTest, FileNamesFromProjectText) {
    EXPECT_EQ(zorvane::safeFileName("Scene_Title"), "Scene_Title");
    EXPECT_EQ(zorvane::safeFileName("a/b\\c"), "a_b_c");
    EXPECT_EQ(zorvane::safeFileName(std::string("x\ty\0z\x7f", 6)), "x_y_z_");
    EXPECT_EQ(zorvane::safeFileName("."), "_.");
    EXPECT_EQ(zorvane::safeFileName(".."), "_..");
    EXPECT_EQ(zorvane::safeFileName(""), "_");
    EXPECT_EQ(zorvane::safeFileName("..."), "...");
    EXPECT_EQ(zorvane::safeFileName("勇者の剣"), "勇者の剣");
}

// Names within 255 bytes: the end of the text goes, cut before a character, the number in
// front and the extension stay.
TEST(SafeNamesTest, LongNamesAreCutToTheNameLimitAtACharacter) {
    auto times = [](const std::string& piece, int n) {
        std::string out;
        for (int i = 0; i < n; ++i) out += piece;
        return out;
    };
    const struct {
        std::string stem, extension, expected;
    } cases[] = {
        {"001-Main", ".rb", "001-Main.rb"},
        {"001-" + times("x", 251), ".rb", "001-" + times("x", 248) + ".rb"},
        {"001-" + times("x", 248), ".rb", "001-" + times("x", 248) + ".rb"},
        // 252 bytes of room: "002-" and 82 three-byte characters (250), not half of the 83rd.
        {"002-" + times("あ", 100), ".rb", "002-" + times("あ", 82) + ".rb"},
        {"003-" + times("é", 200), ".html", "003-" + times("é", 123) + ".html"},
        {"a/b", ".csv", "a_b.csv"},
    };
    for (const auto& c : cases) {
        const std::string name = zorvane::boundedFileName(c.stem, c.extension);
        EXPECT_EQ(name, c.expected) << c.stem.size();
        EXPECT_LE(name.size(), 255u);
    }
}

}  // namespace
