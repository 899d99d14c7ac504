// Atomic writes, the ini-backed registry store, the process check, detached programs and
// the small path helpers.
#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "platform/atomic_file.h"
#include "platform/beneath_root.h"
#include "platform/file_util.h"
#include "platform/process_list.h"
#include "platform/registry_store.h"
#include "platform/shell.h"
#include "support/test_support.h"

namespace {

int entriesIn(const std::string& folder) {
    int count = 0;
    if (DIR* d = opendir(folder.c_str())) {
        while (const dirent* e = readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") ++count;
        closedir(d);
    }
    return count;
}

bool waitForFile(const std::string& path) {
    for (int i = 0; i < 200; ++i) {
        if (access(path.c_str(), F_OK) == 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST(AtomicFileTest, WritesAndReplacesKeepingTheMode) {
    ztest::TempDir dir;
    const std::string path = dir.file("out.csv");
    ASSERT_TRUE(zorvane::writeFileAtomic(path, std::string("a\0b", 3)));
    EXPECT_EQ(ztest::readFile(path), std::string("a\0b", 3));
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(zorvane::writeFileAtomic(path, "new"));
    EXPECT_EQ(ztest::readFile(path), "new");
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(entriesIn(dir.path()), 1);
}

TEST(AtomicFileTest, AbortLeavesNoFileAndOldContentAlone) {
    ztest::TempDir dir;
    {
        zorvane::AtomicFileWriter writer(dir.file("new.html"));
        ASSERT_TRUE(writer.isOpen());
        EXPECT_TRUE(writer.write("<html>"));
    }  // destroyed without commit
    EXPECT_EQ(entriesIn(dir.path()), 0);

    ztest::writeFile(dir.file("old.txt"), "old");
    zorvane::AtomicFileWriter writer(dir.file("old.txt"));
    writer.write("half");
    writer.abort();
    EXPECT_EQ(ztest::readFile(dir.file("old.txt")), "old");
    EXPECT_EQ(entriesIn(dir.path()), 1);
    EXPECT_FALSE(writer.commit());
    EXPECT_FALSE(zorvane::writeFileAtomic(dir.file("no/such/folder.txt"), "x"));
}

// Beneath a root, a file and its folders are reached without following a link: a linked
// target or folder is refused and named, and what it points to stays as it was. The root
// itself is the user's and may be a link.
TEST(AtomicFileTest, BeneathARootNoLinkIsFollowed) {
    ztest::TempDir dir, outside;
    ztest::writeFile(outside.file("victim"), "precious");
    const std::string real = dir.file("real");
    ASSERT_EQ(mkdir(real.c_str(), 0755), 0);
    const std::string root = dir.file("root");
    ASSERT_EQ(symlink(real.c_str(), root.c_str()), 0);
    ASSERT_EQ(mkdir((real + "/sub").c_str(), 0755), 0);
    ASSERT_EQ(symlink(outside.file("victim").c_str(), (real + "/linked.txt").c_str()), 0);
    ASSERT_EQ(symlink(outside.path().c_str(), (real + "/away").c_str()), 0);
    const struct {
        std::string path, refused;  // refused: the link named, "" when the write succeeds
    } cases[] = {
        {root + "/plain.txt", ""},
        {root + "/sub/plain.txt", ""},
        {root + "/linked.txt", root + "/linked.txt"},
        {root + "/away/new.txt", root + "/away"},
        {root + "/away/victim", root + "/away"},
        {dir.file("elsewhere.txt"), ""},  // not beneath the root: refused, no link to name
    };
    for (const auto& c : cases) {
        zorvane::AtomicFileWriter writer;
        const bool beneath = c.path.rfind(root + "/", 0) == 0;
        const bool opened = writer.open(c.path, root);
        EXPECT_EQ(opened, beneath && c.refused.empty()) << c.path;
        EXPECT_EQ(writer.refusedLink(), c.refused) << c.path;
        if (opened) {
            EXPECT_TRUE(writer.write("new") && writer.commit()) << c.path;
            EXPECT_EQ(ztest::readFile(c.path), "new");
        }
    }
    EXPECT_EQ(ztest::readFile(outside.file("victim")), "precious");
    EXPECT_EQ(entriesIn(outside.path()), 1);
    EXPECT_EQ(entriesIn(real), 4);  // sub, the two links and the new plain.txt
    // Folders made beneath the root stop at a link as well.
    EXPECT_TRUE(zorvane::ensureFolderBeneath(root, root + "/a/b/c").ok());
    zorvane::BeneathResult made = zorvane::ensureFolderBeneath(root, root + "/away/x/y");
    EXPECT_EQ(made.status, zorvane::BeneathStatus::Link);
    EXPECT_EQ(made.where, root + "/away");
    EXPECT_EQ(entriesIn(outside.path()), 1);
}

TEST(RegistryStoreTest, RoundTripThroughTheFile) {
    ztest::TempDir dir;
    const std::string path = dir.file("registry.ini");
    const std::string key = "Software\\Hidemaruo\\HmJre";
    {
        zorvane::RegistryStore store(path);
        EXPECT_EQ(store.getString(key, "Fuzzy", "none"), "none");
        store.setString(key, "Fuzzy", "かな");
        store.setInt(key, "Level", -3);
        store.setInt(key + "\\Sub", "x", 1);
        store.setInt(key + "X", "y", 2);
        ASSERT_TRUE(store.save());
    }
    zorvane::RegistryStore store(path);
    EXPECT_EQ(store.getString("software\\hidemaruo\\hmjre", "FUZZY", ""), "かな");
    EXPECT_EQ(store.getInt(key, "Level", 0), -3);
    EXPECT_EQ(store.getString(key, "Empty", "d"), "d");

    store.deleteKey(key);
    EXPECT_EQ(store.getInt(key, "Level", 0), 0);
    EXPECT_EQ(store.getInt(key + "\\Sub", "x", 0), 0);
    EXPECT_EQ(store.getInt(key + "X", "y", 0), 2);  // a sibling, not below the key
}

TEST(ProcessTest, FindsProcessesByNameIgnoringCase) {
    EXPECT_TRUE(zorvane::isProcessRunning("test_platform"));
    EXPECT_TRUE(zorvane::isProcessRunning("TEST_Platform"));
    EXPECT_FALSE(zorvane::isProcessRunning("no-such-program-zz.exe"));
    EXPECT_FALSE(zorvane::isProcessRunning(""));
}

TEST(ProcessTest, FindsWineStyleWindowsPathInArgv0) {
    std::string pid;
    ASSERT_EQ(ztest::run("bash -c 'exec -a \"C:\\\\Program Files\\\\RPGXP\\\\RPGXP.exe\" sleep 20' "
                         ">/dev/null 2>&1 & echo $!",
                         &pid),
              0);
    bool running = false;
    for (int i = 0; i < 200 && !running; ++i) {
        running = zorvane::isProcessRunning("rpgxp.exe");
        if (!running) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(std::stoi(pid), SIGTERM);
    EXPECT_TRUE(running);
}

TEST(ShellTest, RunsProgramsDetached) {
    ztest::TempDir dir;
    EXPECT_TRUE(zorvane::runDetached({"touch", dir.file("made")}));
    EXPECT_TRUE(waitForFile(dir.file("made")));
    EXPECT_FALSE(zorvane::runDetached({dir.file("missing-program")}));
    EXPECT_FALSE(zorvane::runDetached({}));
}

TEST(FileUtilTest, PathHelpers) {
    EXPECT_EQ(zorvane::folderOf("a/b\\c.txt"), "a/b");
    EXPECT_EQ(zorvane::folderOf("C:\\Game\\Game.rxproj"), "C:\\Game");
    EXPECT_EQ(zorvane::folderOf("name"), "");
    EXPECT_EQ(zorvane::folderOf("/top"), "/");
    EXPECT_EQ(zorvane::joinPath("a", "b"), "a/b");
    EXPECT_EQ(zorvane::joinPath("a/", "/b"), "a/b");
    EXPECT_EQ(zorvane::joinPath("", "b"), "b");
    EXPECT_EQ(zorvane::joinPath("a", ""), "a");

    ztest::TempDir dir;
    std::string bytes = std::string("x\0\r\n", 4) + std::string(70000, 'y');
    ztest::writeFile(dir.file("f"), bytes);
    std::string read;
    ASSERT_TRUE(zorvane::readWholeFile(dir.file("f"), read));
    EXPECT_EQ(read, bytes);
    EXPECT_FALSE(zorvane::readWholeFile(dir.file("none"), read));
}

}  // namespace
