// zorvane-cli site --lang en: the site's own words have English forms without Japanese, and
// on the sample every page of the site's own speaks English in its navigation, titles,
// headings and table headings (the project's names aside, which no heading here holds).
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "site/site_words.h"
#include "support/japanese_text.h"
#include "support/test_support.h"

using namespace zorvane;

TEST(SiteEnglish, EveryWordHasAnEnglishFormWithTheSameConversions) {
    std::regex conversion(R"(%[-+#0]*[0-9]*z?[diouxXsc%]|\{[1-9]\})");
    auto marks = [&conversion](const std::string& s) {
        std::vector<std::string> out;
        for (std::sregex_iterator it(s.begin(), s.end(), conversion), end; it != end; ++it)
            out.push_back(it->str());
        return out;
    };
    std::set<std::string> seen;
    for (const auto& [ja, en] : site::siteEnglishWords()) {
        EXPECT_FALSE(ztest::hasJapanese(en)) << ja << " -> " << en;
        EXPECT_EQ(marks(en), marks(ja)) << ja;
        EXPECT_EQ(site::siteSay(ja, ListingLanguage::Japanese), std::string(ja));
        EXPECT_TRUE(seen.insert(ja).second) << "twice: " << ja;
    }
}

TEST(SiteEnglish, HeadingsOfTheSitesOwnPagesAreEnglish) {
    ztest::TempDir dir;
    std::string cli = "ZORVANE_COMMON_FILES=" +
                      ztest::shellQuote(ztest::sourceDir() + "/sample/CommonFiles") + " " +
                      ztest::shellQuote(ztest::binaryDir() + "/zorvane-cli") + " site " +
                      ztest::shellQuote(ztest::sampleProject()) + " -o ";
    ASSERT_EQ(ztest::run(cli + ztest::shellQuote(dir.file("en")) + " --lang en >/dev/null 2>&1"), 0);
    ASSERT_EQ(ztest::run(cli + ztest::shellQuote(dir.file("ja")) + " >/dev/null 2>&1"), 0);
    // Navigation links, the title, h1, h2 and th of a page, each with its tag.
    std::regex heading(R"(<(title|h1|h2|th)[^>]*>([^<]*)<|<(nav) class="site">(.*?)<input[^>]*placeholder="([^"]*))");
    auto headings = [&heading](const std::string& html) {
        std::vector<std::pair<std::string, std::string>> out;
        for (std::sregex_iterator it(html.begin(), html.end(), heading), end; it != end; ++it)
            out.emplace_back((*it)[1].str() + (*it)[3].str(),
                             (*it)[2].str() + (*it)[4].str() + (*it)[5].str());
        return out;
    };
    // The index and a map page are titled with the project's and the map's names.
    for (std::string page : {"index.html", "lists/events.html", "lists/switches.html",
                             "lists/check.html", "scripts/index.html", "maps/Map0001.html"}) {
        std::string en = ztest::readFile(dir.file("en/" + page));
        auto shown = headings(en);
        ASSERT_GT(shown.size(), 3u) << page;
        bool namedTitle = page == "index.html" || page == "maps/Map0001.html";
        for (const auto& [tag, text] : shown)
            if (!namedTitle || (tag != "title" && tag != "h1")) {
                EXPECT_FALSE(ztest::hasJapanese(text)) << page << ": <" << tag << "> " << text;
            }
        EXPECT_NE(en.find("<html lang=\"en\">"), std::string::npos) << page;
        // The same page in Japanese has as many headings, and Japanese ones.
        auto ja = headings(ztest::readFile(dir.file("ja/" + page)));
        EXPECT_EQ(ja.size(), shown.size()) << page;
        EXPECT_TRUE(ztest::hasJapanese(ja.back().second)) << page;
    }
}
