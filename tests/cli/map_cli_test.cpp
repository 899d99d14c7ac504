// zorvane-cli map as a user runs it: one map of the sample to PNG, every map into a folder,
// and the failures a user meets (no such map, a file that cannot be written, bad flags, a
// graphic file that is no picture).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/test_support.h"

namespace {

int runMap(const std::string& args, std::string* out) {
    return ztest::run(
        "ZORVANE_COMMON_FILES=" + ztest::shellQuote(ztest::sourceDir() + "/sample/CommonFiles") +
            " " + ztest::shellQuote(ztest::binaryDir() + "/zorvane-cli") + " map " +
            ztest::shellQuote(ztest::sampleProject()) + " " + args + " 2>&1",
        out);
}

}  // namespace

TEST(CliMap, DrawsOneMapOrEveryMap) {
    ztest::TempDir dir;
    std::string out;
    const std::string png = dir.file("m.png");
    ASSERT_EQ(runMap("--map 1 --zoom 1/2 --grid -o " + ztest::shellQuote(png), &out), 0) << out;
    if (ztest::haveProgram("pngcheck")) {
        EXPECT_EQ(ztest::run("pngcheck -q " + ztest::shellQuote(png), &out), 0) << out;
    }
    if (ztest::haveProgram("identify")) {
        ztest::run("identify -format '%w %h' " + ztest::shellQuote(png), &out);
        EXPECT_EQ(out, "480 320");  // 30 × 20 cells at 16 pixels
    }

    const std::string folder = dir.file("all");
    ASSERT_EQ(runMap("--all --format jpg --zoom 1/8 -o " + ztest::shellQuote(folder), &out), 0)
        << out;
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    const std::vector<std::string> expected = {"Map0001.jpg", "Map0002.jpg", "Map0003.jpg",
                                               "Map0004.jpg", "Map0005.jpg", "Map0007.jpg"};
    EXPECT_EQ(names, expected);
    EXPECT_NE(out.find("[6/7] Map0007.jpg"), std::string::npos) << out;
    // Map 8 stands in the tree without a file: skipped, as the export skips it.
    EXPECT_NE(out.find("1 of 7 maps skipped"), std::string::npos) << out;
}

// Maps drawn on four threads give the same files, byte for byte, as one thread, and the
// progress lines still count up in map order.
TEST(CliMap, ParallelPicturesMatchOneThread) {
    ztest::TempDir dir;
    std::string one, four;
    const std::string flags = "--all --zoom 1/2 --grid -o ";
    ASSERT_EQ(runMap(flags + ztest::shellQuote(dir.file("one")) + " --jobs 1", &one), 0) << one;
    ASSERT_EQ(runMap(flags + ztest::shellQuote(dir.file("four")) + " --jobs 4", &four), 0) << four;
    size_t compared = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.file("one"))) {
        const std::string name = e.path().filename().string();
        EXPECT_EQ(ztest::readFile(dir.file("four/" + name)), ztest::readFile(e.path().string()))
            << name;
        ++compared;
    }
    EXPECT_EQ(compared, 6u);
    size_t at = 0;
    for (int n = 1; n <= 7; ++n) {
        at = four.find("[" + std::to_string(n) + "/7] ", at);
        ASSERT_NE(at, std::string::npos) << n << "\n" << four;
    }
}

TEST(CliMap, FailuresExitNonZeroWithAMessage) {
    ztest::TempDir dir;
    const struct {
        std::string args;
        int status;
        const char* message;
    } cases[] = {
        {"--map 6 -o " + dir.file("x.png"), 1, "map 6: cannot read Data/Map006.rxdata"},
        {"--map 1 -o " + dir.file("missing/x.png"), 1, "cannot be written"},
        {"--map 1 -o " + dir.file("x.gif"), 2, "must end in .png"},
        {"--map 1 --zoom 3 -o " + dir.file("x.png"), 2, "--zoom must be"},
        {"--map 1 --layers 4 -o " + dir.file("x.png"), 2, "--layers"},
        {"-o " + dir.file("x.png"), 2, "either --map N or --all"},
    };
    for (const auto& c : cases) {
        std::string out;
        EXPECT_EQ(runMap(c.args, &out), c.status) << c.args << "\n" << out;
        EXPECT_NE(out.find(c.message), std::string::npos) << c.args << "\n" << out;
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

// A graphic file that is there but is no picture leaves its maps drawn without it: every
// command that draws maps names it once at its end, and names nothing for a sound copy.
TEST(CliMap, NamesGraphicFilesThatAreNoPicture) {
    namespace fs = std::filesystem;
    ztest::TempDir dir;
    const std::string sound = dir.file("Sound"), broken = dir.file("Broken");
    fs::copy(ztest::sourceDir() + "/sample/Project", sound, fs::copy_options::recursive);
    fs::copy(sound, broken, fs::copy_options::recursive);
    fs::resize_file(broken + "/Graphics/Tilesets/sample_tiles.png", 300);
    ztest::writeFile(broken + "/Graphics/Characters/Merchant.png", "no picture here\n");
    const std::vector<std::string> damaged = {"Graphics/Tilesets/sample_tiles.png",
                                              "Graphics/Characters/Merchant.png"};
    // PROJECT and OUT are put in; the drawn maps keep the exit status they had.
    const char* const commands[] = {
        "map PROJECT --all --zoom 1/8 --jobs 4 -o OUT",
        "map PROJECT --map 2 --zoom 1/8 -o OUT.png",
        "export PROJECT --map-images --zoom 1/8 -o OUT",
        "site PROJECT --zoom 1/8 -o OUT",
    };
    // No RTP: its copy of the tileset would stand in for the broken one.
    fs::create_directory(dir.file("NoRtp"));
    const std::string cli = "ZORVANE_COMMON_FILES=" + ztest::shellQuote(dir.file("NoRtp")) + " " +
                            ztest::shellQuote(ztest::binaryDir() + "/zorvane-cli") + " ";
    int run = 0;
    for (const char* each : commands)
        for (const std::string& project : {sound, broken}) {
            std::string command = each;
            command.replace(command.find("PROJECT"), 7, ztest::shellQuote(project));
            command.replace(command.find("OUT"), 3, dir.file("out" + std::to_string(++run)));
            std::string out;
            EXPECT_EQ(ztest::run(cli + command + " 2>&1", &out), 0) << command << "\n" << out;
            size_t lines = 0;
            for (size_t at = 0; (at = out.find(": not drawn, ", at)) != std::string::npos; ++at)
                ++lines;
            EXPECT_EQ(lines, project == broken ? damaged.size() : 0u) << command << "\n" << out;
            if (project == sound) continue;
            for (const std::string& name : damaged)
                EXPECT_NE(
                    ("\n" + out)
                        .find("\n" + name + ": not drawn, the file cannot be read as a picture\n"),
                    std::string::npos)
                    << command << "\n"
                    << out;
        }
}
