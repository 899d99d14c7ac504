// Writing imports into a copy of the sample project, checked with Ruby's own Marshal: the
// new names and curves are there and every other value is as it was; the backup is the
// previous file; failures and interruptions at every step leave whole files behind.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <set>

#include "import/import_apply.h"
#include "marshal/marshal_file.h"
#include "platform/path_nocase.h"
#include "project/project_database.h"
#include "support/test_support.h"

namespace zorvane {
namespace {

namespace fs = std::filesystem;

std::string cli() {
    return ztest::shellQuote(ztest::binaryDir() + "/zorvane-cli");
}

class ImportWriteTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!ztest::haveProgram("ruby")) GTEST_SKIP() << "ruby is needed to read the files back";
        copySample();
    }

    void copySample() {
        fs::path from = fs::path(ztest::sampleProject()).parent_path();
        fs::remove_all(data());
        for (const char* name : {"Game.ini", "Game.rxproj", "Data"})
            fs::copy(from / name, fs::path(dir.path()) / name,
                     fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        project = dir.file("Game.rxproj");
    }

    std::string data(const std::string& name = "") const {
        return dir.path() + "/Data" + (name.empty() ? "" : "/" + name);
    }

    std::set<std::string> listing() const {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(data())) names.insert(e.path().filename());
        return names;
    }

    // Ruby's verdict on `after` against `before` with the edits made ("" when equal).
    std::string rubyCompare(const std::string& before, const std::string& after,
                            const std::string& edits) {
        ztest::writeFile(dir.file("edits.txt"), edits);
        std::string out;
        int status = ztest::run(
            "ruby " + ztest::shellQuote(ztest::sourceDir() + "/tests/import/import_check.rb") +
                " " + ztest::shellQuote(before) + " " + ztest::shellQuote(after) + " < " +
                ztest::shellQuote(dir.file("edits.txt")) + " 2>&1",
            &out);
        return status == 0 ? "" : "differs: " + out;
    }

    ztest::TempDir dir;
    std::string project;
};

// Runs `work` in a child process and returns its exit status (-1 when it did not exit).
int inChild(const std::function<int()>& work) {
    pid_t pid = fork();
    if (pid == 0) _exit(work());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(ImportWriteTest, CliWritesNamesAndCurvesThatRubyReadsBack) {
    for (bool editorForm : {false, true}) {
        SCOPED_TRACE(editorForm ? "plain strings, as the editor writes them" : "sample strings");
        if (editorForm) {
            copySample();
            ASSERT_EQ(
                ztest::run("ruby " +
                           ztest::shellQuote(ztest::sourceDir() + "/tests/import/import_check.rb") +
                           " --plain " + ztest::shellQuote(data("System.rxdata"))),
                0);
        }
        std::set<std::string> files = listing();
        std::string system = ztest::readFile(data("System.rxdata"));
        std::string actors = ztest::readFile(data("Actors.rxdata"));
        std::string names = dir.file("names.csv");
        ztest::writeFile(names, "\xEF\xBB\xBFID,名前\r\n5,Door\r\n2,\"a \"\"q\"\", b\"\r\n");
        std::string curves = dir.file("curves.csv");
        ztest::writeFile(curves, "Lv,HP,SP,STR,DEX,AGI,INT\n1,0,-3,40000,5,6,7\n100,9,9,9,9,9,9\n");
        std::string run = cli() + " import " + ztest::shellQuote(project) + " ";

        // Neither a dry run nor a run that cannot ask writes anything.
        std::string out;
        EXPECT_EQ(ztest::run(run + "--switches " + names + " --dry-run", &out), 0);
        EXPECT_NE(out.find("\tDoor\n"), std::string::npos) << out;
        EXPECT_NE(ztest::run(run + "--switches " + names + " </dev/null 2>/dev/null"), 0);
        EXPECT_EQ(ztest::readFile(data("System.rxdata")), system);
        EXPECT_EQ(listing(), files);

        ASSERT_EQ(ztest::run(run + "--switches " + names + " --yes >/dev/null"), 0);
        EXPECT_EQ(ztest::readFile(data("System_bak.rxdata")), system);
        EXPECT_EQ(rubyCompare(data("System_bak.rxdata"), data("System.rxdata"),
                              "name\tswitches\t5\tDoor\nname\tswitches\t2\ta \"q\", b\n"),
                  "");
        // A second import keeps one backup: the file as the first one left it.
        std::string first = ztest::readFile(data("System.rxdata"));
        ASSERT_EQ(ztest::run(run + "--elements " + names + " --yes >/dev/null"), 0);
        EXPECT_EQ(ztest::readFile(data("System_bak.rxdata")), first);
        EXPECT_EQ(rubyCompare(data("System_bak.rxdata"), data("System.rxdata"),
                              "name\telements\t5\tDoor\nname\telements\t2\ta \"q\", b\n"),
                  "");
        // The same list again changes nothing: neither the file nor its backup is written.
        const std::string second = ztest::readFile(data("System.rxdata"));
        ASSERT_EQ(ztest::run(run + "--elements " + names + " --yes", &out), 0);
        EXPECT_NE(out.find("nothing to change"), std::string::npos) << out;
        EXPECT_EQ(ztest::readFile(data("System.rxdata")), second);
        EXPECT_EQ(ztest::readFile(data("System_bak.rxdata")), first);

        ASSERT_EQ(ztest::run(run + "--actor 1 " + curves + " --yes >/dev/null"), 0);
        EXPECT_EQ(ztest::readFile(data("Actors_bak.rxdata")), actors);
        EXPECT_EQ(rubyCompare(data("Actors_bak.rxdata"), data("Actors.rxdata"),
                              "param\t1\t0\t1\t1\nparam\t1\t1\t1\t1\nparam\t1\t2\t1\t32767\n"
                              "param\t1\t3\t1\t5\nparam\t1\t4\t1\t6\nparam\t1\t5\t1\t7\n"),
                  "");

        files.insert({"System_bak.rxdata", "Actors_bak.rxdata"});
        EXPECT_EQ(listing(), files) << "temporary files left behind";
        std::string shown;
        ztest::run(cli() + " info --json " + ztest::shellQuote(project) +
                       " | ruby -rjson -e 'n = JSON.parse($stdin.read)[\"names\"]; "
                       "puts n[\"switches\"][5], n[\"elements\"][2]'",
                   &shown);
        EXPECT_EQ(shown, "Door\na \"q\", b\n");
    }
}

TEST_F(ImportWriteTest, EditIsMadeToTheFileAsTheEditorLastSavedIt) {
    ProjectDatabase db;
    ASSERT_TRUE(db.open(project));
    std::vector<std::string> before = db.system().switchNames;
    std::string original = ztest::readFile(data("System.rxdata"));
    // Another program saves a change after the project was read.
    ztest::writeFile(dir.file("editor.csv"), "3,Saved by the editor\n");
    ASSERT_EQ(ztest::run(cli() + " import " + ztest::shellQuote(project) + " --switches " +
                         dir.file("editor.csv") + " --yes >/dev/null"),
              0);
    ztest::writeFile(data("Original.rxdata"), original);

    std::vector<std::string> after = before;
    after[5] = "Door";
    ImportResult result =
        applyNames(db.projectFolder, NameKind::Switches, nameEdits(before, after));
    ASSERT_TRUE(result.ok()) << result.detail;
    EXPECT_EQ(rubyCompare(data("Original.rxdata"), data("System.rxdata"),
                          "name\tswitches\t3\tSaved by the editor\nname\tswitches\t5\tDoor\n"),
              "");
}

// Names that are links to one string: an edit changes the one name the preview shows.
TEST_F(ImportWriteTest, ANameSharedThroughLinksChangesOnlyWhereEdited) {
    const struct {
        const char* flag;
        const char* csv;
        const char* edits;  // what the preview shows, for Ruby to make to the original
    } cases[] = {
        {"--switches", "1,One\n", "name\tswitches\t1\tOne\n"},  // the string itself
        {"--switches", "2,Two\n", "name\tswitches\t2\tTwo\n"},  // a link to it
        {"--variables", "1,V\n", "name\tvariables\t1\tV\n"},    // a link in another list
        {"--switches", "2,Two\n1,One\n", "name\tswitches\t1\tOne\nname\tswitches\t2\tTwo\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.flag) + " " + c.csv);
        copySample();
        ASSERT_EQ(
            ztest::run("ruby " +
                       ztest::shellQuote(ztest::sourceDir() + "/tests/import/import_check.rb") +
                       " --share " + ztest::shellQuote(data("System.rxdata"))),
            0);
        ztest::writeFile(dir.file("names.csv"), c.csv);
        ASSERT_EQ(ztest::run(cli() + " import " + ztest::shellQuote(project) + " " + c.flag + " " +
                             dir.file("names.csv") + " --yes >/dev/null"),
                  0);
        EXPECT_EQ(rubyCompare(data("System_bak.rxdata"), data("System.rxdata"), c.edits), "");
    }
}

TEST_F(ImportWriteTest, EveryFailedOrInterruptedStepLeavesWholeFiles) {
    const std::string system = ztest::readFile(data("System.rxdata"));
    ztest::writeFile(dir.file("System.original"), system);
    const std::string oldBackup = ztest::readFile(data("Actors.rxdata"));  // any whole file
    ztest::writeFile(data("System_bak.rxdata"), oldBackup);
    const std::set<std::string> files = listing();
    const std::vector<NameEdit> edits = {{5, "Door"}};
    auto apply = [&](const ReplaceHook& hook) {
        ImportOptions options;
        options.hook = hook;
        return applyNames(dir.path(), NameKind::Switches, edits, options);
    };
    auto expectUntouched = [&](const char* what) {
        EXPECT_EQ(ztest::readFile(data("System.rxdata")), system) << what;
        EXPECT_EQ(ztest::readFile(data("System_bak.rxdata")), oldBackup) << what;
        EXPECT_EQ(listing(), files) << what;
    };

    for (ReplaceStage stage :
         {ReplaceStage::NewFileWritten, ReplaceStage::BackupLinked, ReplaceStage::Replaced}) {
        SCOPED_TRACE(static_cast<int>(stage));
        ImportResult failed = apply([stage](ReplaceStage now) { return now != stage; });
        EXPECT_EQ(failed.failure, ImportFailure::CannotWrite);
        expectUntouched("failed step");

        // Killed at that step: each name holds one whole version or the other.
        inChild([&] {
            apply([stage](ReplaceStage now) {
                if (now == stage) _exit(0);
                return true;
            });
            return 1;
        });
        std::string now = ztest::readFile(data("System.rxdata"));
        EXPECT_TRUE(now == system || rubyCompare(dir.file("System.original"), data("System.rxdata"),
                                                 "name\tswitches\t5\tDoor\n") == "");
        std::string backup = ztest::readFile(data("System_bak.rxdata"));
        EXPECT_TRUE(backup == oldBackup || backup == system);
        ztest::writeFile(data("System.rxdata"), system);
        ztest::writeFile(data("System_bak.rxdata"), oldBackup);
        for (const auto& e : fs::directory_iterator(data()))
            if (!files.count(e.path().filename())) fs::remove(e.path());
    }

    // A full disk: no file may grow beyond a few bytes.
    EXPECT_EQ(inChild([&] {
                  std::signal(SIGXFSZ, SIG_IGN);
                  rlimit limit{64, 64};
                  setrlimit(RLIMIT_FSIZE, &limit);
                  return apply(nullptr).ok() ? 0 : 3;
              }),
              3);
    expectUntouched("full disk");

    // A folder the user may not write to (root may write anywhere, so the child drops it).
    chmod(dir.path().c_str(), 0755);
    chmod(data().c_str(), 0555);
    EXPECT_EQ(inChild([&] {
                  if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return 4;
                  return apply(nullptr).ok() ? 0 : 3;
              }),
              3);
    chmod(data().c_str(), 0755);
    expectUntouched("read-only folder");
}

// A data file, its backup or the Data folder that is a link to a file of the user outside
// the project: the import names the link and writes nothing, there or anywhere.
TEST_F(ImportWriteTest, LinkedDataFilesAreNamedAndNeverWrittenThrough) {
    struct Case {
        const char* link;  // beneath the project folder
        bool actors;       // the actor parameter import, else switch names
    };
    const Case cases[] = {
        {"Data/System.rxdata", false},
        {"Data/System_bak.rxdata", false},
        {"Data/Actors.rxdata", true},
        {"Data/Actors_bak.rxdata", true},
        {"Data", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.link);
        copySample();
        ztest::TempDir outside;
        const std::string link = dir.file(c.link);
        const std::string victim = outside.file("victim");
        if (fs::exists(link))
            fs::rename(link, victim);
        else
            ztest::writeFile(victim, "precious");
        fs::create_symlink(victim, link);
        clearPathCache();
        const std::set<std::string> before = listing();
        const std::string kept = fs::is_regular_file(victim) ? ztest::readFile(victim) : "";

        ImportResult result = c.actors ? applyActorParameters(dir.path(), {{1, 0, 1, 500}})
                                       : applyNames(dir.path(), NameKind::Switches, {{5, "Door"}});
        EXPECT_EQ(result.failure, ImportFailure::CannotWrite);
        EXPECT_NE(result.detail.find(link + " is a symbolic link"), std::string::npos)
            << result.detail;
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_EQ(listing(), before);
        if (fs::is_regular_file(victim)) {
            EXPECT_EQ(ztest::readFile(victim), kept);
        }
        std::set<std::string> outsideNames;
        for (const auto& e : fs::directory_iterator(outside.path()))
            outsideNames.insert(e.path().filename());
        EXPECT_EQ(outsideNames, std::set<std::string>{"victim"});
    }
}

TEST_F(ImportWriteTest, ActorWithoutParametersStopsTheImportBeforeAnyWrite) {
    MarshalFile actors;
    ASSERT_TRUE(actors.load(data("Actors.rxdata")));
    MarshalValue* actor = actors.find("Array[2]");
    ASSERT_TRUE(actor);
    zorvane::PairEdit pairs = actor->mutablePairs();
    auto kept = std::remove_if(pairs.begin(), pairs.end(),
                               [](const ValuePair& p) { return p.first.text() == "@parameters"; });
    pairs.resize(static_cast<size_t>(kept - pairs.begin()));
    ASSERT_TRUE(actors.save(data("Actors.rxdata")));
    std::string before = ztest::readFile(data("Actors.rxdata"));
    std::set<std::string> files = listing();

    ImportResult result = applyActorParameters(dir.path(), {{1, 0, 1, 500}});
    EXPECT_EQ(result.failure, ImportFailure::PathMissing);
    EXPECT_EQ(ztest::readFile(data("Actors.rxdata")), before);
    EXPECT_EQ(listing(), files);
}

TEST(EditorCheckTest, FindsTheEditorByNameOrUnderWine) {
    using namespace std::string_literals;
    struct Case {
        const char* comm;
        std::string cmdline;
        bool running;
    };
    const Case cases[] = {
        {"RPGXP.exe\n", "x\0"s, true},
        {"wine-preloader\n", "C:\\Program Files\\RPGXP\\rpgxp.EXE\0p\0"s, true},
        {"wine\n", "/usr/bin/wine\0RPGXP.exe\0Game.rxproj\0"s, true},
        {"vim\n", "vim\0RPGXP.exe\0"s, false},
        {"RPGXP.exe.bak\n", "RPGXP.exe.bak\0"s, false},
    };
    for (const Case& c : cases) {
        ztest::TempDir proc;
        fs::create_directories(proc.file("4242"));
        fs::create_directories(proc.file("self"));
        ztest::writeFile(proc.file("4242/comm"), c.comm);
        ztest::writeFile(proc.file("4242/cmdline"), c.cmdline);
        EXPECT_EQ(isEditorRunning(proc.path()), c.running) << c.comm;
    }
}

}  // namespace
}  // namespace zorvane
