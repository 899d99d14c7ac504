// zorvane-cli on projects built to hurt it: files that are not files, absurd sizes. Every
// run must end within seconds, in bounded memory, with the damage named.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "platform/path_nocase.h"
#include "support/test_support.h"

namespace {

using zorvane::isDirectory;
using zorvane::isRegularFile;

std::string cli() {
    return ztest::binaryDir() + "/zorvane-cli";
}

struct CliRun {
    ztest::BoundedRun run;
    std::string out;
};

// The program replaces the shell, so a run killed at its time limit leaves nothing behind;
// its output may not pass 256 MB. With `terminal` it writes to a pseudo-terminal (through
// script(1)), as it would in front of a user.
CliRun runCliBounded(const std::string& args, const ztest::TempDir& dir, bool terminal = false) {
    const std::string outFile = dir.file("cli.out");
    std::string program = ztest::shellQuote(cli()) + " " + args;
    std::string command =
        terminal ? "exec script -qec " + ztest::shellQuote("exec " + program) + " /dev/null"
                 : "exec " + program;
    command += " > " + ztest::shellQuote(outFile) + " 2>&1";
    CliRun r;
    r.run = ztest::runBounded(
        [&] {
            rlimit size{256u << 20, 256u << 20};
            setrlimit(RLIMIT_FSIZE, &size);
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            return 127;
        },
        4ull << 30, 15);
    r.out = ztest::readFile(outFile);
    return r;
}

std::string copySample(const ztest::TempDir& dir) {
    std::string folder = dir.file("p");
    EXPECT_EQ(ztest::run("cp -r " + ztest::shellQuote(ztest::sourceDir() + "/sample/Project") +
                         " " + ztest::shellQuote(folder)),
              0);
    return folder;
}

void replaceWith(const std::string& path, const std::function<int(const char*)>& make) {
    ASSERT_EQ(unlink(path.c_str()), 0) << path;
    ASSERT_EQ(make(path.c_str()), 0) << path;
}

void makeSparse(const std::string& path, off_t size) {
    ztest::writeFile(path, "");
    ASSERT_EQ(truncate(path.c_str(), size), 0);
}

// Data files and Game.ini that are folders, pipes, devices or far too big: `check` names
// each, `info` skips it, and neither hangs, aborts or reads what the file claims to hold.
TEST(CliHostile, FilesThatAreNotFilesOrTooBig) {
    struct Case {
        const char* what;
        std::function<void(const std::string& project)> damage;
        std::vector<std::string> expect;
    };
    const Case cases[] = {
        {"data files that are a folder, a FIFO and a 100 GB sparse file; Game.ini -> /dev/zero",
         [](const std::string& p) {
             replaceWith(p + "/Data/System.rxdata", [](const char* f) { return mkdir(f, 0700); });
             replaceWith(p + "/Data/Actors.rxdata", [](const char* f) { return mkfifo(f, 0600); });
             makeSparse(p + "/Data/Items.rxdata", off_t(100) << 30);
             replaceWith(p + "/Game.ini", [](const char* f) { return symlink("/dev/zero", f); });
         },
         {"System.rxdata: not a regular file", "Actors.rxdata: not a regular file",
          "Items.rxdata: file too large", "Game.ini: not a regular file"}},
        {"Game.ini is a FIFO",
         [](const std::string& p) {
             replaceWith(p + "/Game.ini", [](const char* f) { return mkfifo(f, 0600); });
         },
         {"Game.ini: not a regular file"}},
        {"Game.ini is 10 MB of line ends",
         [](const std::string& p) {
             ztest::writeFile(p + "/Game.ini", "[Game]\r\n" + std::string(10 << 20, '\n'));
         },
         {"Game.ini: file too large"}},
    };
    for (const Case& c : cases) {
        ztest::TempDir dir;
        std::string project = copySample(dir);
        c.damage(project);
        for (const char* command : {"check", "info"}) {
            CliRun r = runCliBounded(
                std::string(command) + " " + ztest::shellQuote(project + "/Game.rxproj"), dir);
            SCOPED_TRACE(std::string(c.what) + ", " + command + ":\n" + r.out);
            EXPECT_FALSE(r.run.timedOut);
            EXPECT_EQ(r.run.status, std::string(command) == "check" ? 1 : 0);
            EXPECT_LT(r.run.peakKb, 200 * 1024);
            for (const std::string& e : c.expect) EXPECT_NE(r.out.find(e), std::string::npos) << e;
        }
    }
}

// Minimal runtime classes; the body writes Data files of a copy of the sample project.
const char* const kRubyPrelude = R"RUBY(
require 'zlib'
$data = File.join(ARGV[0], 'Data')
module RPG
  class EventCommand
    def initialize(code, indent, parameters)
      @code, @indent, @parameters = code, indent, parameters
    end
  end
  class CommonEvent
    def initialize(id, list)
      @id, @name, @trigger, @switch_id, @list = id, "CE#{id}", 0, 1, list
    end
  end
  class MapInfo
    def initialize(name, parent_id, order)
      @name, @parent_id, @order, @expanded, @scroll_x, @scroll_y = name, parent_id, order, false, 0, 0
    end
  end
end
# A data file of the sample (tests/support/marshal_stubs.rb makes the classes it names).
def load(name) = load_data(File.join($data, name))
def save(name, object) = save_data(File.join($data, name), object)
def text(code, indent, words)
  RPG::EventCommand.new(code, indent, [words])
end
def tree(count)
  h = {}
  (1..count).each { |id| h[id] = RPG::MapInfo.new("M#{id}", yield(id), id) }
  save('MapInfos.rxdata', h)
end
)RUBY";

std::string copySampleWithRuby(const ztest::TempDir& dir, const std::string& body) {
    std::string project = copySample(dir);
    ztest::writeFile(dir.file("make.rb"), std::string(kRubyPrelude) + body);
    std::string out;
    EXPECT_EQ(ztest::run("ruby -r " +
                             ztest::shellQuote(ztest::sourceDir() + "/tests/support/marshal_stubs.rb") +
                             " " + ztest::shellQuote(dir.file("make.rb")) + " " +
                             ztest::shellQuote(project) + " 2>&1",
                         &out),
              0)
        << out;
    return project;
}

}  // namespace

// Projects whose stored numbers and texts are absurd: each command ends quickly, in little
// memory and output, says what it skipped, and exits with the status that says so.
TEST(CliHostile, AbsurdContent) {
    if (!ztest::haveProgram("ruby")) GTEST_SKIP() << "ruby is not installed";
    struct Case {
        const char* what;
        const char* ruby;  // writes the damage into the copy of the sample
        const char* args;  // after the project file
        int status;
        std::vector<std::string> expect;
        bool terminal = false;
        std::vector<std::string> absent = {};
        std::string made = {};  // a file the run writes, beneath the temporary folder
    };
    const char* const kIndents = R"(
        rising = (0...100_000).map { |i| text(101, i, 'x') }
        save('CommonEvents.rxdata', [nil, RPG::CommonEvent.new(1, [text(101, 2**31 - 1, 'deep'),
                                                                  text(0, 0, '')]),
                                     RPG::CommonEvent.new(2, rising)]))";
    const char* const kEscapes = R"(
        save('CommonEvents.rxdata', [nil, RPG::CommonEvent.new(1, [text(101, 0, "\e[31mred\e]0;t\a\r\u009b")])]))";
    const char* const kExportDamage = R"(
        save('Scripts.rxdata', [[1, 'あ' * 100, Zlib::Deflate.deflate('p 1')],
                                [2, "\e[31mred", Zlib::Deflate.deflate('p 2')]])
        File.binwrite(File.join($data, 'CommonEvents.rxdata'), "[")
        File.binwrite(File.join($data, 'Map002.rxdata'), "o:"))";
    // Links planted in the output folder before the run, to a file and a folder of the user.
    const char* const kPlantedLinks = R"(
        require 'fileutils'
        top = File.dirname(ARGV[0])
        out = File.join(top, 'out', 'p_export')
        FileUtils.mkdir_p(File.join(out, 'DataBase'))
        File.write(File.join(top, 'victim'), 'precious')
        Dir.mkdir(File.join(top, 'victimdir'))
        File.symlink(File.join(top, 'victim'), File.join(out, 'DataBase', '03スキル.csv'))
        File.symlink(File.join(top, 'victimdir'), File.join(out, 'Script')))";
    // The same for the site, whose folders sit right below the folder it is given.
    const char* const kPlantedSiteLink = R"(
        top = File.dirname(ARGV[0])
        Dir.mkdir(File.join(top, 'out'))
        File.write(File.join(top, 'victim'), 'precious')
        Dir.mkdir(File.join(top, 'victimdir'))
        File.symlink(File.join(top, 'victimdir'), File.join(top, 'out', 'maps')))";
    const char* const kDataNotFiles = R"(
        require 'fileutils'
        q = File.join(File.dirname(ARGV[0]), 'q')
        FileUtils.cp_r(ARGV[0], q)
        File.delete(File.join(q, 'Data', 'Map001.rxdata'))
        Dir.mkdir(File.join(q, 'Data', 'Map001.rxdata'))
        File.delete(File.join(q, 'Data', 'Map003.rxdata'))
        File.mkfifo(File.join(q, 'Data', 'Map003.rxdata')))";
    // The title's 300 bytes cut to what a name may hold with "001-" and ".rb": 82 characters.
    std::string cutTitle;
    for (int i = 0; i < 82; ++i) cutTitle += "あ";
    const Case cases[] = {
        {"export on a terminal: a 300-byte title, unreadable map and common events",
         kExportDamage,
         "export --scripts all --common all --maps all --text -o {dir}/out",
         3,
         {"skipped Map002.rxdata: ", "skipped CommonEvents.rxdata: truncated"},
         true,
         {"cannot be written", "\\x0d", "\\x1b[K"},
         "out/p_export/Script/001-" + cutTitle + ".rb"},
        {"export through links planted in the output folder",
         kPlantedLinks,
         "export --tables skills,items --scripts all -o {dir}/out",
         1,
         // A planted file link fails that file; a planted folder link stops the run, once.
         {"03スキル.csv: cannot be written", "p_export/Script is a symbolic link"},
         false,
         {},
         "out/p_export/DataBase/04アイテム.csv"},
        {"site through a link planted in its output folder",
         kPlantedSiteLink,
         "site -o {dir}/out",
         1,
         {"out/maps is a symbolic link"},
         false,
         {"cannot be written"}},
        {"diff: a folder and a FIFO named as maps",
         kDataNotFiles,
         "diff {dir}/q",
         2,
         {"Map001.rxdata: not a regular file", "Map003.rxdata: not a regular file"},
         false,
         {"removed"}},
        {"@indent of 2^31-1", kIndents, "list --common 1", 0, {"deep"}},
        {"100,000 rising indents", kIndents, "list --common 2", 0, {"x"}},
        {"100,000 rising indents as a document", kIndents, "doc --common 2 --text", 0, {"x"}},
        {"escapes in a message, on a terminal",
         kEscapes,
         "list --common 1",
         0,
         {"\\x1b[31mred\\x1b]0;t\\x07\\x0d\\u009b"},
         true},
        {"30,000 maps in one parent loop: info",
         "tree(30_000) { |id| id % 30_000 + 1 }",
         "info",
         0,
         {"[0001] M1"}},
        {"30,000 maps in one parent loop: search below map 1",
         "tree(30_000) { |id| id % 30_000 + 1 }",
         "search --text x --maps 1 --sub-maps",
         0,
         {}},
        {"30,000 maps in one parent loop: check",
         "tree(30_000) { |id| id % 30_000 + 1 }",
         "check",
         1,
         {"map 1 (M1) is its own ancestor"}},
        {"a chain 30,000 maps deep: info",
         "tree(30_000) { |id| id - 1 }",
         "info",
         0,
         {"[30000] M30000"}},
        {"a chain 30,000 maps deep: search below map 1",
         "tree(30_000) { |id| id - 1 }",
         "search --text x --maps 1 --sub-maps",
         0,
         {}},
        {"unreadable common events and map: list",
         R"(
            File.binwrite(File.join($data, 'CommonEvents.rxdata'), "[")
            File.binwrite(File.join($data, 'Map002.rxdata'), "o:")
         )",
         "list --common 1",
         1,
         {"CommonEvents.rxdata could not be read: truncated"}},
        {"unreadable common events and map: search",
         R"(
            File.binwrite(File.join($data, 'CommonEvents.rxdata'), "[")
            File.binwrite(File.join($data, 'Map002.rxdata'), "o:")
         )",
         "search --text x",
         3,
         {"skipped CommonEvents.rxdata: truncated", "skipped Map002.rxdata: truncated",
          "※読み込めないファイル2個を飛ばしました（Map002.rxdata, CommonEvents.rxdata）"}},
        {"five unreadable maps: the title names three and counts the rest",
         R"(
            (1..5).each { |id| File.binwrite(File.join($data, format('Map%03d.rxdata', id)), "o:") }
         )",
         "search --text x",
         3,
         {"※読み込めないファイル5個を飛ばしました（Map00", " 他2個）"}},
        {"a regular expression that backtracks without end",
         R"(
            save('Scripts.rxdata', [[1, 'S', Zlib::Deflate.deflate('a' * 40 + '!')]])
         )",
         "search --text '(a+)+$' --regex --scripts all",
         3,
         {"the expression is too complex for this text", "※正規表現が複雑すぎて"}},
        {"a tile table smaller than its map",
         R"(
            m = load('Map001.rxdata')
            m.instance_variable_set(:@width, m.instance_variable_get(:@width) + 7)
            save('Map001.rxdata', m)
         )",
         "check",
         1,
         {"Map001.rxdata: its tile table is"}},
    };
    for (const Case& c : cases) {
        ztest::TempDir dir;
        std::string project = copySampleWithRuby(dir, c.ruby);
        // The command, then the project, then its flags; {dir} is the temporary folder.
        std::string args = c.args;
        for (size_t at; (at = args.find("{dir}")) != std::string::npos;)
            args.replace(at, 5, ztest::shellQuote(dir.path()));
        const size_t cut = std::min(args.find(' '), args.size());
        CliRun r = runCliBounded(args.substr(0, cut) + " " +
                                     ztest::shellQuote(project + "/Game.rxproj") + args.substr(cut),
                                 dir, c.terminal);
        SCOPED_TRACE(std::string(c.what) + ":\n" + r.out.substr(0, 2000));
        EXPECT_FALSE(r.run.timedOut);
        EXPECT_EQ(r.run.status, c.status);
        EXPECT_LT(r.run.peakKb, 300 * 1024);
        EXPECT_LT(r.out.size(), size_t(64) << 20);
        for (const std::string& e : c.expect) EXPECT_NE(r.out.find(e), std::string::npos) << e;
        for (const std::string& a : c.absent) EXPECT_EQ(r.out.find(a), std::string::npos) << a;
        if (c.terminal) {
            // The progress bar's own erase is the one escape that may reach the terminal.
            std::string text = r.out;
            for (size_t at; (at = text.find("\x1b[K")) != std::string::npos;) text.erase(at, 3);
            EXPECT_EQ(text.find('\x1b'), std::string::npos) << "a raw escape";
        }
        if (!c.made.empty()) {
            EXPECT_TRUE(isRegularFile(dir.file(c.made))) << c.made;
        }
        if (isDirectory(dir.file("victimdir"))) {
            EXPECT_TRUE(std::filesystem::is_empty(dir.file("victimdir")));
            EXPECT_EQ(ztest::readFile(dir.file("victim")), "precious");
        }
    }
}
