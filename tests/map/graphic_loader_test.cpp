// Finding a graphic in the project folder and the RTPs, with pictures made by ImageMagick.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "map/image_files.h"
#include "map/image_test_support.h"
#include "project/resource.h"

using namespace zorvane;

namespace {

// A project folder and RTP 1 under a stand-in common files folder.
class LoadGraphic : public testing::Test {
  protected:
    void SetUp() override {
        if (imgtest::convertTool().empty()) GTEST_SKIP() << "ImageMagick convert is not installed";
        project_ = root_.file("Project");
        rtp_ = root_.file("Common/Enterbrain/RGSS/Standard");
        std::filesystem::create_directories(project_ + "/Graphics/Tilesets");
        std::filesystem::create_directories(rtp_ + "/Graphics/Tilesets");
        resources_ = ResourceResolver(project_, root_.file("Common"), {"Standard", "", ""});
    }

    // format: an ImageMagick prefix such as "PNG24:" (plain RGB, no palette), or "".
    void make(const std::string& path, const std::string& colour, const std::string& format = "") {
        std::string cmd = imgtest::convertTool() + " -size 3x2 xc:" + colour + " " + format +
                          ztest::shellQuote(path);
        ASSERT_EQ(ztest::run(cmd), 0) << cmd;
    }

    ztest::TempDir root_;
    std::string project_, rtp_;
    ResourceResolver resources_;
};

}  // namespace

TEST_F(LoadGraphic, RtpPictureIsUsedWhenTheProjectLacksIt) {
    make(rtp_ + "/Graphics/Tilesets/X.jpg", "blue");
    Bitmap32 p;
    EXPECT_FALSE(loadGraphic(p, "Graphics\\Tilesets\\X", resources_, 0));
    EXPECT_TRUE(p.empty());
    ASSERT_TRUE(loadGraphic(p, "Graphics\\Tilesets\\X", resources_, -1));
    EXPECT_EQ(p.width(), 3);
    EXPECT_GT(blueOf(p.pixel(0, 0)), 240);
    EXPECT_TRUE(loadGraphic(p, "Graphics\\Tilesets\\X", resources_, 1));
    EXPECT_FALSE(loadGraphic(p, "Graphics\\Tilesets\\X", resources_, 2)) << "RTP 2 is not set";
}

TEST_F(LoadGraphic, ProjectPngWinsOverRtp) {
    make(rtp_ + "/Graphics/Tilesets/X.jpg", "blue");
    make(project_ + "/Graphics/Tilesets/X.png", "red", "PNG24:");
    Bitmap32 p;
    ASSERT_TRUE(loadGraphic(p, "Graphics\\Tilesets\\X", resources_, -1));
    EXPECT_EQ(p.pixel(2, 1), 0xFFFF0000u);
}

TEST_F(LoadGraphic, NamesIgnoreLetterCaseAndBrokenFilesGiveWay) {
    std::filesystem::create_directories(project_ + "/Graphics/characters");
    make(project_ + "/Graphics/characters/hero.PNG", "lime", "PNG24:");
    Bitmap32 p;
    ASSERT_TRUE(loadGraphic(p, "Graphics\\Characters\\Hero", resources_, 0));
    EXPECT_EQ(p.pixel(0, 0), 0xFF00FF00u);

    // A damaged project PNG: the RTP's picture is the first that decodes.
    ztest::writeFile(project_ + "/Graphics/Tilesets/Y.png", "\x89PNG\r\n\x1a\nbroken");
    make(rtp_ + "/Graphics/Tilesets/Y.bmp", "white", "BMP3:");
    ASSERT_TRUE(loadGraphic(p, "Graphics\\Tilesets\\Y", resources_, -1));
    EXPECT_EQ(p.pixel(0, 0), 0xFFFFFFFFu);
}

TEST_F(LoadGraphic, RefusedNames) {
    make(root_.file("secret.png"), "red", "PNG24:");
    Bitmap32 p;
    EXPECT_FALSE(loadGraphic(p, "Graphics\\..\\..\\secret", resources_, -1))
        << "a name never climbs out of its folder";
    EXPECT_FALSE(loadGraphic(p, "", resources_, -1));
    make(project_ + "/Graphics/Tilesets/Z.png", "red", "PNG24:");
    EXPECT_FALSE(loadGraphic(p, "Graphics\\Tilesets\\Z", resources_, 4));
    EXPECT_TRUE(p.empty());
}
