// The save dialog's own overwrite question and default extension.
#include <gtest/gtest.h>
#include <wx/defs.h>

#include "app/file_dialogs.h"
#include "app/gui_test_support.h"
#include "support/test_support.h"

namespace zorvane {
namespace {

const std::vector<FileFilter> kCsv = {{"CSVファイル(*.csv)", "*.csv"}};

TEST(AskSaveFileName, CancelNewFileAndDefaultExtension) {
    ztest::TempDir dir;
    ztest::FileDialogs files;
    ztest::MessageBoxes boxes(wxYES);
    std::string file = "result.csv";
    EXPECT_FALSE(askSaveFileName(nullptr, file, kCsv, 0, dir.path(), "保存", "csv"));
    EXPECT_EQ(file, "result.csv");
    ASSERT_EQ(files.requests.size(), 1u);
    EXPECT_TRUE(files.requests[0].save);
    EXPECT_EQ(files.requests[0].folder, dir.path());
    EXPECT_EQ(files.requests[0].title, "保存");
    EXPECT_EQ(files.requests[0].fileName, "result.csv");

    files.answers = {dir.file("new.csv"), dir.file("plain"), dir.file("dotted.txt")};
    for (const char* expected : {"new.csv", "plain.csv", "dotted.txt"}) {
        ASSERT_TRUE(askSaveFileName(nullptr, file, kCsv, 0, "", "", "csv"));
        EXPECT_EQ(file, dir.file(expected));
    }
    EXPECT_TRUE(boxes.shown.empty()) << "no question for files that do not exist";
}

TEST(AskSaveFileName, ExistingFileIsReplacedOnlyOnYes) {
    ztest::TempDir dir;
    std::string existing = dir.file("hits.csv");
    ztest::writeFile(existing, "old");
    ztest::FileDialogs files;
    for (int answer : {wxNO, wxCANCEL, wxYES}) {
        ztest::MessageBoxes boxes(answer);
        files.answers = {existing};
        std::string file;
        bool ok = askSaveFileName(nullptr, file, kCsv, 0, "", "", "csv");
        EXPECT_EQ(ok, answer == wxYES);
        EXPECT_EQ(file, ok ? existing : "");
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].title, "上書き確認");
        EXPECT_EQ(boxes.shown[0].text,
                  existing + "\n\nこのファイルは既に存在しますが上書きしますか？");
        long style = boxes.shown[0].style;
        EXPECT_TRUE((style & wxYES_NO) == wxYES_NO);
        EXPECT_TRUE(style & wxNO_DEFAULT);
        EXPECT_TRUE(style & wxICON_QUESTION);
    }
}

}  // namespace
}  // namespace zorvane
