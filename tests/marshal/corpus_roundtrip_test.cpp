// Real projects made by others: every data file read and saved unchanged must come back as
// it was. Files written by a third-party editor with non-minimal integer encodings cannot be
// byte-identical; for those the re-read tree must equal the original value for value and a
// second save must reproduce the first.
#include <dirent.h>
#include <gtest/gtest.h>

#include <iostream>
#include <string>
#include <vector>

#include "marshal/marshal_file.h"
#include "marshal_test_util.h"
#include "support/test_support.h"

namespace {

std::vector<std::string> corpusDataFiles() {
    std::vector<std::string> files;
    std::string corpus = ztest::corpusDir();
    if (corpus.empty()) return files;
    std::string out;
    ztest::run("find " + ztest::shellQuote(corpus) + " -name '*.rxdata' | sort", &out);
    size_t start = 0;
    while (start < out.size()) {
        size_t end = out.find('\n', start);
        if (end == std::string::npos) end = out.size();
        if (end > start) files.push_back(out.substr(start, end - start));
        start = end + 1;
    }
    return files;
}

TEST(CorpusRoundTrip, EveryDataFileSavesLosslessly) {
    std::vector<std::string> files = corpusDataFiles();
    if (files.empty()) GTEST_SKIP() << "no corpus of real projects beside the source tree";
    ztest::TempDir dir;
    int identical = 0, equivalent = 0;
    for (const std::string& path : files) {
        zorvane::MarshalFile original;
        ASSERT_TRUE(original.load(path)) << path << ": " << original.error().message();
        std::string saved;
        ASSERT_TRUE(original.serialize(saved)) << path;
        std::string bytes = ztest::readFile(path);
        if (saved == bytes) {
            ++identical;
            continue;
        }
        zorvane::MarshalFile again;
        ASSERT_TRUE(again.loadFromBuffer(saved)) << path;
        EXPECT_EQ(ztest::describe(again.root()), ztest::describe(original.root())) << path;
        std::string savedTwice;
        ASSERT_TRUE(again.serialize(savedTwice));
        EXPECT_EQ(savedTwice, saved) << path;
        ++equivalent;
        std::cout << "re-encoded, same values: " << path << "\n";
    }
    std::cout << identical << " files byte-identical, " << equivalent << " re-encoded\n";
    EXPECT_GT(identical, 0);
}

}  // namespace
