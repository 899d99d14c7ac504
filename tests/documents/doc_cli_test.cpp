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

// A copy of the program finds its templates beside itself, else in ../share/zorvane/template
// (an installed layout), else where the package puts them; with none, it names every place.
TEST(DocCli, CopiedProgramFindsItsTemplatesOrSaysWhereItLooked) {
    ztest::TempDir dir;
    const std::string bin = dir.file("bin"), beside = bin + "/template",
                      shared = dir.file("share/zorvane/template"),
                      packaged = "/usr/share/zorvane/template";
    ASSERT_EQ(ztest::run("mkdir -p " + ztest::shellQuote(bin) + " && cp " +
                         ztest::shellQuote(ztest::binaryDir() + "/zorvane-cli") + " " +
                         ztest::shellQuote(bin)),
              0);
    auto doc = [&](std::string* out) {
        return ztest::run(ztest::shellQuote(bin + "/zorvane-cli") + " doc " +
                              ztest::shellQuote(ztest::sampleProject()) + " --common 1 2>&1",
                          out);
    };
    const std::string templates = ztest::binaryDir() + "/template";
    auto plant = [&](const std::string& folder, const std::string& mark) {
        ASSERT_EQ(ztest::run("mkdir -p " + ztest::shellQuote(folder) + " && cp " +
                             ztest::shellQuote(templates) + "/* " + ztest::shellQuote(folder)),
                  0);
        ztest::writeFile(folder + "/header.html",
                         ztest::readFile(templates + "/header.html") + "<!-- " + mark + " -->");
    };
    std::string out;
    if (ztest::run("test -d " + packaged) != 0) {
        EXPECT_EQ(doc(&out), 1);
        for (const std::string& place : {beside, shared, packaged})
            EXPECT_NE(out.find("\n  " + place + "\n"), std::string::npos) << out;
    }
    plant(shared, "shared");
    ASSERT_EQ(doc(&out), 0) << out;
    EXPECT_NE(out.find("<!-- shared -->"), std::string::npos);
    plant(beside, "beside");
    ASSERT_EQ(doc(&out), 0) << out;
    EXPECT_NE(out.find("<!-- beside -->"), std::string::npos);
}
