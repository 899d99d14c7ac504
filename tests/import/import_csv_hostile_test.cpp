// Lists built to hurt the import: far too big, far too many rows, or UTF-8 with one bad
// byte. Each run ends quickly in little memory and either keeps what the import uses or
// stops with a message that names the fault.
#include <gtest/gtest.h>
#include <unistd.h>

#include "support/test_support.h"

namespace {

TEST(ImportCsvHostile, ListsTooBigOrFaultyEndWithTheirFaultNamed) {
    const struct {
        const char* what;
        std::string csv;
        int status;
        std::string expect;  // in the output (standard error included)
    } cases[] = {
        {"a byte-order mark and one bad byte",
         "\xEF\xBB\xBF"
         "1,炎\r\n2,\xFF水\r\n",
         1, "line 2: the byte 0xFF is not UTF-8"},
        {"mostly UTF-8 and one bad byte", "1,炎の扉\n2,水の扉\n3,風\x83\n", 1,
         "line 3: the byte 0x83 is not UTF-8"},
        {"Shift_JIS", "1,\x83\x58\x83\x43\x83\x62\x83\x60\n", 0, "\tスイッチ\n"},
        {"15 MB of commas after a name", "1,Gate" + std::string(15 << 20, ',') + "\n", 0,
         "\tGate\n"},
        {"17 MB of commas", std::string(17 << 20, ','), 1, "file too large"},
        {"300,000 rows",
         [] {
             std::string rows;
             for (int i = 0; i < 300000; ++i) rows += "1,a\n";
             return rows;
         }(),
         1, "more than 200000 rows"},
    };
    const std::string cli = ztest::binaryDir() + "/zorvane-cli";
    const std::string project = ztest::sampleProject();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ztest::TempDir dir;
        ztest::writeFile(dir.file("list.csv"), c.csv);
        std::string command = "exec " + ztest::shellQuote(cli) + " import " +
                              ztest::shellQuote(project) + " --switches " +
                              ztest::shellQuote(dir.file("list.csv")) + " --dry-run > " +
                              ztest::shellQuote(dir.file("out")) + " 2>&1";
        ztest::BoundedRun run = ztest::runBounded(
            [&] {
                execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
                return 127;
            },
            4ull << 30, 15);
        std::string out = ztest::readFile(dir.file("out"));
        EXPECT_EQ(run.status, c.status) << out;
        EXPECT_LT(run.seconds, 5);
        EXPECT_LT(run.peakKb, 120 * 1024);
        EXPECT_NE(out.find(c.expect), std::string::npos) << out.substr(0, 2000);
    }
}

}  // namespace
