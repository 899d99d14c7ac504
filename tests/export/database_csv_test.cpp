// The database CSV files: the sample's twelve tables read back with Python's csv module
// hold what a Ruby script predicts from Ruby's own Marshal; a hand-built database gives the
// awkward cells (quotes and line breaks, percent signs, treasure, turn texts, no elements,
// a troop without members).
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "export/database_csv.h"
#include "project/project_database.h"
#include "support/test_support.h"

using namespace zorvane;

namespace {

TEST(DatabaseCsv, SampleTablesReadBackAsRubyPredicts) {
    if (!ztest::haveProgram("ruby") || !ztest::haveProgram("python3"))
        GTEST_SKIP() << "ruby and python3 are needed";
    ProjectDatabase db;
    ASSERT_TRUE(db.open(ztest::sampleProject()));
    ztest::TempDir out, work;
    for (int table = 0; table < kDatabaseTableCount; ++table)
        for (const WrittenFile& file : writeDatabaseCsv(table, db, out.path(), CsvEncoding::Utf8)) {
            EXPECT_TRUE(file.ok) << file.path;
            EXPECT_EQ(ztest::readFile(file.path).substr(0, 3), "\xEF\xBB\xBF") << file.path;
        }
    const std::string tests = ztest::sourceDir() + "/tests/export/";
    ASSERT_EQ(ztest::run("ruby " + ztest::shellQuote(tests + "database_csv_expected.rb") + " " +
                         ztest::shellQuote(ztest::sourceDir() + "/sample/Project/Data") + " > " +
                         ztest::shellQuote(work.file("expected.json"))),
              0);
    std::string differences;
    EXPECT_EQ(ztest::run("python3 " + ztest::shellQuote(tests + "compare_csv.py") + " " +
                             ztest::shellQuote(out.path()) + " " +
                             ztest::shellQuote(work.file("expected.json")) + " utf-8-sig",
                         &differences),
              0);
    EXPECT_EQ(differences, "");
}

// A database without files: the tables are whatever the test puts in.
class HandBuiltDatabase : public ::testing::Test {
  protected:
    void SetUp() override {
        db.mutableSystem().elementNames = {""};  // no elements at all
        db.mutableStates().resize(2);
        db.mutableStates()[1].name = "Poison";
        db.mutableWeapons().resize(4);
        db.mutableWeapons()[3].name = "Staff";
        Skill skill;
        skill.name = "100%d";
        skill.description = "say \"hi\"\r\nnext\nline";
        db.mutableSkills() = {Skill{}, skill};
        Enemy enemy;
        enemy.name = "50%s";
        enemy.weaponId = 3;
        enemy.treasureProb = 50;
        auto turn = [](int a, int b) {
            EnemyAction action;
            action.conditionTurnA = a;
            action.conditionTurnB = b;
            action.conditionHp = 100;
            action.conditionLevel = 1;
            return action;
        };
        enemy.actions = {turn(0, 2), turn(3, 0), turn(2, 3), turn(0, 1)};
        db.mutableEnemies() = {Enemy{}, enemy};
        Troop troop;
        troop.name = "Empty";
        db.mutableTroops() = {Troop{}, troop};
    }

    std::map<std::string, CsvFile> files(int table) {
        std::map<std::string, CsvFile> byName;
        buildDatabaseCsv(table, db, [&](const CsvFile& file) { byName[file.name] = file; });
        return byName;
    }

    ProjectDatabase db;
};

TEST_F(HandBuiltDatabase, AwkwardCellsAreWrittenAsTheTablesSay) {
    struct Cell {
        int table;
        const char* file;
        size_t row, column;
        std::string expected;
    } const cells[] = {
        {kTableSkills, "03スキル.csv", 1, 1, "100%d"},
        // No elements: the caption column stays and the state grid follows it at once.
        {kTableSkills, "03スキル.csv", 0, 22, "【属性】→"},
        {kTableSkills, "03スキル.csv", 0, 23, "【ステート変化】→"},
        {kTableSkills, "03スキル.csv", 0, 24, "001:Poison"},
        {kTableEnemies, "07エネミー_01基本データ.csv", 1, 17, " 50% 003:Staff"},
        {kTableEnemies, "07エネミー_02アクション.csv", 1, 0, "【001:50%s】"},
        {kTableEnemies, "07エネミー_02アクション.csv", 2, 1, "ターン2x"},
        {kTableEnemies, "07エネミー_02アクション.csv", 3, 1, "ターン3"},
        {kTableEnemies, "07エネミー_02アクション.csv", 4, 1, "ターン2+3x"},
        {kTableEnemies, "07エネミー_02アクション.csv", 5, 1, "なし"},
    };
    for (const Cell& c : cells) {
        auto byName = files(c.table);
        ASSERT_TRUE(byName.count(c.file)) << c.file;
        const auto& rows = byName[c.file].rows;
        ASSERT_LT(c.row, rows.size()) << c.file;
        ASSERT_LT(c.column, rows[c.row].size()) << c.file << " row " << c.row;
        EXPECT_EQ(rows[c.row][c.column], c.expected) << c.file << " row " << c.row;
    }
    // A troop without members: its title row, then an empty line.
    const std::vector<std::vector<std::string>> troopRows = {
        {"エネミー", "位置", "途中から出現", "不死身"}, {"【001:Empty】", "", "", ""}, {}};
    EXPECT_EQ(files(kTableTroops)["08トループ.csv"].rows, troopRows);
}

TEST_F(HandBuiltDatabase, AQuoteAndALineBreakStayInOneCell) {
    ztest::TempDir dir;
    std::vector<WrittenFile> written =
        writeDatabaseCsv(kTableSkills, db, dir.path(), CsvEncoding::Utf8);
    ASSERT_EQ(written.size(), 1u);
    ASSERT_TRUE(written[0].ok);
    std::string bytes = ztest::readFile(written[0].path);
    EXPECT_NE(bytes.find(",\"say \"\"hi\"\"nextline\","), std::string::npos) << bytes;
    EXPECT_EQ(written[0].bytes, bytes.size());
}

}  // namespace
