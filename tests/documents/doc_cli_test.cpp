// zorvane-cli doc on the sample project: a document into a file, and the status and message
// of a failed and of a skipped document.
#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

TEST(DocCli, FileFailedAndSkipped) {
    ztest::TempDir dir;
    auto doc = [&](const std::string& args, std::string* err) {
        err->clear();
        return ztest::run(ztest::shellQuote(ztest::binaryDir() + "/zorvane-cli") + " doc " +
                              ztest::shellQuote(ztest::sampleProject()) + " " + args +
                              " 2>&1 >/dev/null",
                          err);
    };
    std::string err;
    ASSERT_EQ(doc("--map 2 --event 1 --page 1 --line-numbers -o " + dir.file("e.html"), &err), 0);
    std::string html = ztest::readFile(dir.file("e.html"));
    std::string header = ztest::readFile(ztest::binaryDir() + "/template/header.html");
    ASSERT_FALSE(header.empty());
    // The template goes in as it is but for the text of its <title>, which names the document.
    size_t open = header.find("<title>") + 7, close = header.find("</title>");
    size_t at = html.find("</title>");
    ASSERT_NE(at, std::string::npos);
    const std::string title = "マップイベント[001:村長] 01ページ目";
    EXPECT_EQ(html.substr(0, open), header.substr(0, open));
    EXPECT_EQ(html.substr(at - title.size(), title.size()), title);
    EXPECT_EQ(html.substr(at, header.size() - close), header.substr(close));
    EXPECT_NE(html.find("<h3>マップイベント[001:村長] 01ページ目</h3>"), std::string::npos);

    EXPECT_EQ(doc("--map 6 --event 1 --page 1", &err), 1) << "there is no map 6";
    EXPECT_EQ(err, "マップイベントオブジェクトが不正です\n");
    EXPECT_EQ(doc("--map 2 --event 1 --page 9", &err), 2);
    EXPECT_EQ(err.substr(0, 8), "skipped:");
}
