// Folder look-ups driven by environment variables and a fake Wine prefix.
#include "platform/folders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "support/test_support.h"

namespace {

// Sets or clears an environment variable for one test and restores it afterwards.
class EnvVar {
  public:
    EnvVar(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~EnvVar() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

void makeFolders(const std::string& path) {
    std::filesystem::create_directories(path);
}

TEST(FoldersTest, CommonFilesOverrideWins) {
    EnvVar common("ZORVANE_COMMON_FILES", "/opt/rtp");
    EXPECT_EQ(zorvane::commonFilesFolder(), "/opt/rtp");
}

TEST(FoldersTest, CommonFilesFromWinePrefix) {
    ztest::TempDir prefix;
    EnvVar common("ZORVANE_COMMON_FILES", nullptr);
    EnvVar wine("WINEPREFIX", prefix.path().c_str());
    const std::string x86 = prefix.path() + "/drive_c/Program Files (x86)/Common Files";
    const std::string plain = prefix.path() + "/drive_c/Program Files/Common Files";

    EXPECT_EQ(zorvane::commonFilesFolder(), x86);  // neither holds the RTPs
    makeFolders(plain + "/Enterbrain/RGSS/Standard");
    EXPECT_EQ(zorvane::commonFilesFolder(), plain);
    makeFolders(x86 + "/Enterbrain/RGSS");
    EXPECT_EQ(zorvane::commonFilesFolder(), x86);
}

const char kSystemReg[] =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to \\\\Machine\n\n"
    "[Software\\\\Other\\\\Tool] 1700000000\n"
    "\"ApplicationPath\"=\"C:\\\\wrong\\\\Tool.exe\"\n\n"
    "[Software\\\\Wow6432Node\\\\Enterbrain\\\\RPGXP] 1700000000\n"
    "#time=1da0000000000000\n"
    "\"Other\"=\"x\"\n"
    "\"ApplicationPath\"=\"C:\\\\Program Files (x86)\\\\Enterbrain\\\\RPGXP\\\\RPGXP.exe\"\n";

TEST(FoldersTest, RpgxpPathFromSystemReg) {
    ztest::TempDir prefix;
    EnvVar wine("WINEPREFIX", prefix.path().c_str());
    EXPECT_EQ(zorvane::rpgxpApplicationPath(), "");  // no system.reg

    ztest::writeFile(prefix.file("system.reg"), kSystemReg);
    const std::string folder = prefix.path() + "/drive_c/Program Files (x86)/Enterbrain/RPGXP";
    EXPECT_EQ(zorvane::rpgxpApplicationPath(), folder + "/RPGXP.exe");  // mapped even if absent

    makeFolders(folder);
    ztest::writeFile(folder + "/rpgxp.EXE", "");
    EXPECT_EQ(zorvane::rpgxpApplicationPath(), folder + "/rpgxp.EXE");  // real spelling
}

TEST(FoldersTest, RpgxpPathWithEscapedCharacters) {
    ztest::TempDir prefix;
    EnvVar wine("WINEPREFIX", prefix.path().c_str());
    // Non-ASCII text is stored as \x escapes of UTF-16 units (ツクール = 30C4 30AF 30FC 30EB).
    ztest::writeFile(prefix.file("system.reg"),
                     "[Software\\\\Enterbrain\\\\RPGXP] 1\n"
                     "\"ApplicationPath\"=\"C:\\\\\\x30c4\\x30af\\x30fc\\x30eb\\\\RPGXP.exe\"\n");
    EXPECT_EQ(zorvane::rpgxpApplicationPath(), prefix.path() + "/drive_c/ツクール/RPGXP.exe");

    ztest::writeFile(prefix.file("system.reg"),
                     "[Software\\\\Enterbrain\\\\RPGXP2] 1\n"
                     "\"ApplicationPath\"=\"C:\\\\x.exe\"\n");
    EXPECT_EQ(zorvane::rpgxpApplicationPath(), "");
}

TEST(FoldersTest, ConfigFolderOverrideIsCreated) {
    ztest::TempDir dir;
    const std::string folder = dir.file("conf/zorvane");
    EnvVar config("ZORVANE_CONFIG_DIR", folder.c_str());
    EXPECT_EQ(zorvane::configFolder(), folder);
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(zorvane::settingsFilePath(), folder + "/zorvane.ini");
}

// A build tree or an unpacked folder keeps its settings beside the program; an installed
// program (templates in ../share/zorvane) never writes into its bin folder.
TEST(FoldersTest, SettingsBesideTheProgramOnlyOutsideAnInstalledLayout) {
    ztest::TempDir dir;
    namespace fs = std::filesystem;
    for (const char* folder : {"build/template", "usr/bin", "usr/share/zorvane/template",
                               "portable/bin/template", "portable/share/zorvane/template",
                               "plain"})
        fs::create_directories(dir.file(folder));
    EXPECT_TRUE(zorvane::settingsBesideProgram(dir.file("build")));
    EXPECT_FALSE(zorvane::settingsBesideProgram(dir.file("usr/bin")));
    EXPECT_TRUE(zorvane::settingsBesideProgram(dir.file("portable/bin")));
    EXPECT_TRUE(zorvane::settingsBesideProgram(dir.file("plain")));
    EXPECT_FALSE(zorvane::settingsBesideProgram(dir.file("missing")));
}

TEST(FoldersTest, ProgramFolderHoldsThisTest) {
    std::string exe = std::filesystem::canonical("/proc/self/exe").string();
    EXPECT_TRUE(std::filesystem::exists(zorvane::programFolder() + "/" +
                                        std::filesystem::path(exe).filename().string()));
}

}  // namespace
