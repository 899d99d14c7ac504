// zorvane-cli on projects built to hurt it: files that are not files, absurd sizes. Every
// run must end within seconds, in bounded memory, with the damage named.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "support/test_support.h"

namespace {

std::string cli() {
    return ztest::binaryDir() + "/zorvane-cli";
}

struct CliRun {
    ztest::BoundedRun run;
    std::string out;
};

// The program replaces the shell, so a run killed at its time limit leaves nothing behind.
CliRun runCliBounded(const std::string& args, const ztest::TempDir& dir) {
    const std::string outFile = dir.file("cli.out");
    std::string command = "exec " + ztest::shellQuote(cli()) + " " + args + " > " +
                          ztest::shellQuote(outFile) + " 2>&1";
    CliRun r;
    r.run = ztest::runBounded(
        [&] {
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            return 127;
        },
        4ull << 30, 15);
    r.out = ztest::readFile(outFile);
    return r;
}

std::string copySample(const ztest::TempDir& dir) {
    std::string folder = dir.file("p");
    EXPECT_EQ(ztest::run("cp -r " + ztest::shellQuote(ztest::sourceDir() + "/sample/Project") +
                         " " + ztest::shellQuote(folder)),
              0);
    return folder;
}

void replaceWith(const std::string& path, const std::function<int(const char*)>& make) {
    ASSERT_EQ(unlink(path.c_str()), 0) << path;
    ASSERT_EQ(make(path.c_str()), 0) << path;
}

void makeSparse(const std::string& path, off_t size) {
    ztest::writeFile(path, "");
    ASSERT_EQ(truncate(path.c_str(), size), 0);
}

// Data files and Game.ini that are folders, pipes, devices or far too big: `check` names
// each, `info` skips it, and neither hangs, aborts or reads what the file claims to hold.
TEST(CliHostile, FilesThatAreNotFilesOrTooBig) {
    struct Case {
        const char* what;
        std::function<void(const std::string& project)> damage;
        std::vector<std::string> expect;
    };
    const Case cases[] = {
        {"data files that are a folder, a FIFO and a 100 GB sparse file; Game.ini -> /dev/zero",
         [](const std::string& p) {
             replaceWith(p + "/Data/System.rxdata", [](const char* f) { return mkdir(f, 0700); });
             replaceWith(p + "/Data/Actors.rxdata", [](const char* f) { return mkfifo(f, 0600); });
             makeSparse(p + "/Data/Items.rxdata", off_t(100) << 30);
             replaceWith(p + "/Game.ini", [](const char* f) { return symlink("/dev/zero", f); });
         },
         {"System.rxdata: not a regular file", "Actors.rxdata: not a regular file",
          "Items.rxdata: file too large", "Game.ini: not a regular file"}},
        {"Game.ini is a FIFO",
         [](const std::string& p) {
             replaceWith(p + "/Game.ini", [](const char* f) { return mkfifo(f, 0600); });
         },
         {"Game.ini: not a regular file"}},
        {"Game.ini is 10 MB of line ends",
         [](const std::string& p) {
             ztest::writeFile(p + "/Game.ini", "[Game]\r\n" + std::string(10 << 20, '\n'));
         },
         {"Game.ini: file too large"}},
    };
    for (const Case& c : cases) {
        ztest::TempDir dir;
        std::string project = copySample(dir);
        c.damage(project);
        for (const char* command : {"check", "info"}) {
            CliRun r = runCliBounded(
                std::string(command) + " " + ztest::shellQuote(project + "/Game.rxproj"), dir);
            SCOPED_TRACE(std::string(c.what) + ", " + command + ":\n" + r.out);
            EXPECT_FALSE(r.run.timedOut);
            EXPECT_EQ(r.run.status, std::string(command) == "check" ? 1 : 0);
            EXPECT_LT(r.run.peakKb, 200 * 1024);
            for (const std::string& e : c.expect) EXPECT_NE(r.out.find(e), std::string::npos) << e;
        }
    }
}

}  // namespace
