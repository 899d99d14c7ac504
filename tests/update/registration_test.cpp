// The per-user registration record: written only below an existing shared root, removed
// key by key on uninstall without touching what other programs keep there.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/ini_file.h"
#include "platform/registry_store.h"
#include "support/test_support.h"
#include "update/registration.h"

namespace zorvane {
namespace {

TEST(Registration, WrittenBelowAnExistingRootAndRemovedKeyByKey) {
    const std::string maker = "Software\\Novaskim\\ZorvaneProject", ours = maker + "\\zorvane";
    const ProgramRecord record{"http://host.example/downloads/update.inf", "/opt/zv/zorvane"};
    ztest::TempDir dir;
    const std::string path = dir.file("registry.ini");
    RegistryStore empty(path);
    EXPECT_FALSE(registerProgram(empty, record));
    EXPECT_FALSE(std::filesystem::exists(path));

    ztest::writeFile(path, "[software\\novaskim]\r\nShared=1\r\n");
    RegistryStore store(path);
    ASSERT_TRUE(registerProgram(store, record));
    IniFile written;
    ASSERT_TRUE(written.load(path));
    EXPECT_EQ(written.get(maker, "InfoURL"), record.infoUrl);
    EXPECT_EQ(written.get(maker, "DisplayHost"), "host.example");
    EXPECT_NE(written.get(maker, "Author"), "");
    EXPECT_EQ(written.get(ours, "Build"), "106");
    EXPECT_EQ(written.get(ours, "DistinctName"), "zorvane");
    EXPECT_EQ(written.get(ours, "DisplayName"), "Zorvane");
    EXPECT_EQ(written.get(ours, "FilePath"), record.filePath);

    // A sibling program of the same maker keeps the maker's key alive.
    store.setString(maker + "\\othertool", "Build", "3");
    ASSERT_TRUE(unregisterProgram(store));
    EXPECT_FALSE(store.keyExists(ours));
    EXPECT_TRUE(store.keyExists(maker));
    store.deleteKey(maker + "\\othertool");
    ASSERT_TRUE(unregisterProgram(store));
    IniFile after;
    ASSERT_TRUE(after.load(path));
    EXPECT_EQ(after.sections(), std::vector<std::string>{"software\\novaskim"});
    EXPECT_EQ(after.get("Software\\Novaskim", "Shared"), "1");
}

}  // namespace
}  // namespace zorvane
