// textconv on data files built to hurt it (written by Ruby's own Marshal): values that link
// to each other, nesting as deep as the reader allows, control characters in stored text.
// Each run must end fast, in bounded memory and output, and stay one value a line.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <regex>

#include "support/test_support.h"

namespace {

std::string q(const std::string& s) {
    return ztest::shellQuote(s);
}

const char* const kRuby = R"RUBY(
require 'zlib'
dir = ARGV[0]
module RPG
  class Map; end
  class EventCommand
    def initialize(code, indent, parameters) @code, @indent, @parameters = code, indent, parameters end
  end
  class CommonEvent
    def initialize(list) @id, @name, @trigger, @switch_id, @list = 1, "\e[1mCE", 0, 1, list end
  end
end
class Node
  def initialize(n) @a = n; @b = n end
end
def save(dir, name, object) File.binwrite(File.join(dir, name), Marshal.dump(object)) end
# A map whose @bgm is a chain of 40 objects, each linking twice to the next.
chain = nil
40.times { chain = Node.new(chain) }
map = RPG::Map.new
map.instance_variable_set(:@bgm, chain)
map.instance_variable_set(:@events, {})
save(dir, 'Map001.rxdata', map)
# One 2 KB string named 100,000 times.
text = 'x' * 2048
wide = RPG::Map.new
wide.instance_variable_set(:@bgm, [text] * 100_000)
wide.instance_variable_set(:@events, {})
save(dir, 'Map002.rxdata', wide)
# 40 arrays nested 1,990 deep.
deep = (1..40).map { a = []; 1990.times { a = [a] }; a }
save(dir, 'Deep.rxdata', deep)
# Terminal controls in a message, a common event's name and a script.
controls = "\e[31mred\a\r\u009b"
save(dir, 'CommonEvents.rxdata', [nil, RPG::CommonEvent.new([RPG::EventCommand.new(101, 0, [controls]),
                                                             RPG::EventCommand.new(0, 0, [])])])
save(dir, 'Scripts.rxdata', [[7, "\e]0;t\a", Zlib::Deflate.deflate("p 1 # #{controls}\n")]])
)RUBY";

TEST(TextconvHostile, TextStaysBoundedAndControlsEscaped) {
    if (!ztest::haveProgram("ruby")) GTEST_SKIP() << "ruby is not installed";
    ztest::TempDir dir;
    ztest::writeFile(dir.file("make.rb"), kRuby);
    ASSERT_EQ(ztest::run("ruby " + q(dir.file("make.rb")) + " " + q(dir.path())), 0);
    struct Case {
        const char* file;
        int status;
        std::vector<std::string> expect;  // in the output (standard error included)
        size_t maxOutput;
    };
    const Case cases[] = {
        // Each node spelled out once: 40 "a:" lines, the second link of 39 of them a reference.
        {"Map001.rxdata", 0, {"  bgm:\n    a:\n"}, 64 << 10},
        {"Map002.rxdata", 1, {"Map002.rxdata: its text would pass "}, size_t(100) << 20},
        {"Deep.rxdata", 1, {"Deep.rxdata: its text would pass "}, size_t(100) << 20},
        {"CommonEvents.rxdata",
         0,
         // A line end in a command's text is already written as \r by the listing.
         {"common event 1 \"\\x1B[1mCE\"\n", "◆文章：\\x1b[31mred\\x07\\r\\u009b\n"},
         64 << 10},
        {"Scripts.rxdata",
         0,
         {"script \"\\x1B]0;t\\x07\"\n", "  p 1 # \\x1b[31mred\\x07\\x0d\\u009b\n"},
         64 << 10},
    };
    const std::string cli = ztest::binaryDir() + "/zorvane-cli";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        std::string out = dir.file("out.txt");
        std::string command = "exec env -u ZORVANE_PROJECT " + q(cli) + " textconv " +
                              q(dir.file(c.file)) + " > " + q(out) + " 2>&1";
        ztest::BoundedRun run = ztest::runBounded(
            [&] {
                rlimit size{256u << 20, 256u << 20};
                setrlimit(RLIMIT_FSIZE, &size);
                execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
                return 127;
            },
            4ull << 30, 15);
        std::string text = ztest::readFile(out);
        EXPECT_FALSE(run.timedOut);
        EXPECT_EQ(run.status, c.status) << text.substr(0, 2000);
        EXPECT_LT(run.peakKb, 200 * 1024);
        EXPECT_LT(text.size(), c.maxOutput);
        for (const std::string& e : c.expect)
            EXPECT_NE(text.find(e), std::string::npos) << e << "\n" << text.substr(0, 2000);
        for (unsigned char ch : text)
            EXPECT_TRUE(ch >= 0x20 || ch == '\n' || ch == '\t') << "raw control " << int(ch);
        EXPECT_FALSE(std::regex_search(text, std::regex("\xC2[\x80-\x9F]"))) << "raw C1 control";
        if (std::string(c.file) == "Map001.rxdata") {
            auto count = [&](const char* pattern) {
                std::regex re(pattern);
                int n = 0;
                for (size_t at = 0, end; at < text.size(); at = end + 1) {
                    end = std::min(text.find('\n', at), text.size());
                    n += std::regex_match(text.begin() + long(at), text.begin() + long(end), re);
                }
                return n;
            };
            EXPECT_EQ(count(" *a:"), 39);
            EXPECT_EQ(count(" *b: @[0-9]+"), 39);
            EXPECT_EQ(count(" *[ab]: nil"), 2);
        }
    }
}

// git runs the driver on each version of a commit; `git show` of the chain must end.
TEST(TextconvHostile, GitShowOfALinkedChainEnds) {
    if (!ztest::haveProgram("ruby") || !ztest::haveProgram("git"))
        GTEST_SKIP() << "ruby or git is not installed";
    ztest::TempDir dir;
    ztest::writeFile(dir.file("make.rb"), kRuby);
    ASSERT_EQ(ztest::run("ruby " + q(dir.file("make.rb")) + " " + q(dir.path())), 0);
    std::string git = "cd " + q(dir.path()) + " && git -c user.name=t -c user.email=t@t ";
    ztest::writeFile(dir.file(".gitattributes"), "*.rxdata diff=rxdata\n");
    ASSERT_EQ(ztest::run(git + "init -q && " + git + "config diff.rxdata.textconv " +
                         q(ztest::binaryDir() + "/zorvane-cli textconv") + " && " + git +
                         "add .gitattributes Map001.rxdata && " + git + "commit -qm chain"),
              0);
    std::string command = git + "show --format= > " + q(dir.file("show.txt")) + " 2>&1";
    ztest::BoundedRun run = ztest::runBounded(
        [&] {
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            return 127;
        },
        4ull << 30, 15);
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(ztest::readFile(dir.file("show.txt")).find("+  bgm:\n"), std::string::npos);
}

}  // namespace
