// The check in English: every phrase of its table, every kind and severity (and the RTP
// copy's problems) has an English text with no Japanese in it and the same conversions as
// the Japanese one.
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "check/check_words.h"
#include "check/finding_list.h"
#include "rtp/rtp_copy.h"
#include "support/japanese_text.h"
#include "support/test_support.h"

using namespace zorvane;

namespace {

std::vector<std::string> marks(const std::string& s, const char* pattern) {
    std::regex mark(pattern);
    std::vector<std::string> out;
    for (std::sregex_iterator it(s.begin(), s.end(), mark), end; it != end; ++it)
        out.push_back(it->str());
    return out;
}

}  // namespace

TEST(CheckEnglish, EveryTextHasAnEnglishFormWithoutJapanese) {
    std::vector<std::pair<std::string, std::string>> texts;
    for (const auto& [ja, en] : checkEnglishPhrases()) texts.emplace_back(ja, en);
    for (const CheckKindInfo& k : checkKinds()) texts.emplace_back(k.name, k.shown(ListingLanguage::English));
    for (Severity s : {Severity::Error, Severity::Warning, Severity::Note})
        texts.emplace_back(severityName(s), severityName(s, ListingLanguage::English));
    for (size_t i = 0; i < FindingColumnCount; ++i)
        texts.emplace_back(findingHeadings()[i], findingHeadings(ListingLanguage::English)[i]);
    // The RTP copy's problems, as the desktop shows them beside each file.
    for (int p = 0; p <= static_cast<int>(CopyProblem::LinkInGameFolder); ++p)
        texts.emplace_back(copyProblemText(CopyProblem(p)),
                           copyProblemText(CopyProblem(p), ListingLanguage::English));
    std::set<std::string> seen;
    for (const auto& [ja, en] : texts) {
        EXPECT_FALSE(ztest::hasJapanese(en)) << ja << " -> " << en;
        const char* conversion = R"(%[-+#0]*[0-9]*[diouxXsc%])";
        EXPECT_EQ(marks(en, conversion), marks(ja, conversion)) << ja;
        EXPECT_EQ(marks(en, R"(\{[1-9]\})"), marks(ja, R"(\{[1-9]\})")) << ja;
        EXPECT_EQ(checkSay(ja.c_str(), ListingLanguage::Japanese), ja);
    }
    for (const auto& [ja, en] : checkEnglishPhrases()) EXPECT_TRUE(seen.insert(ja).second) << "twice: " << ja;
}
