// The update check against a real HTTP server on loopback: the answers a server can give,
// the routes through a proxy, a server that never answers, and the command-line check.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ostream>

#include "support/loopback_server.h"
#include "support/test_support.h"
#include "update/update_check.h"

namespace zorvane {

// Read as words in failure messages.
inline std::ostream& operator<<(std::ostream& out, UpdateResult result) {
    const char* const names[] = {"Failed", "NoNewerBuild", "NewerBuild"};
    return out << names[static_cast<int>(result)];
}

namespace {

const char* const kOthersThenOurs =
    "; update information\r\n"
    "[Soft1]\r\nDistinctName=othertool\r\nBuild=900\r\nVersion=Ver9.00\r\n"
    "[Soft2]\r\nDistinctName=zorvane\r\nBuild=106\r\nVersion=Ver1.06\r\n";
const char* const kNewer =
    "[Soft1]\nDistinctName=othertool\nBuild=1\n"
    "[Soft2]\nDistinctName=Zorvane\nBuild=107\nVersion=Ver1.07\n";

UpdateCheckAnswer check(const std::string& url, HttpOptions http = {}) {
    if (http.timeoutMs == 30000) http.timeoutMs = 5000;
    return checkForUpdate("zorvane", 106, {url, http});
}

TEST(UpdateCheck, ServerAnswers) {
    const struct {
        const char* what;
        ztest::HttpReply reply;
        UpdateResult result;
        std::string text;  // the found version, or the error text
    } cases[] = {
        {"same build", ztest::httpAnswer(kOthersThenOurs), UpdateResult::NoNewerBuild, ""},
        {"newer build", ztest::httpAnswer(kNewer), UpdateResult::NewerBuild, "Ver1.07"},
        {"no entry", ztest::httpAnswer("[Soft1]\r\nDistinctName=othertool\r\n"),
         UpdateResult::Failed, "NotFound:zorvane"},
        {"scan stops at a gap",
         ztest::httpAnswer("[Soft1]\nDistinctName=x\n[Soft3]\nDistinctName=zorvane\nBuild=200\n"),
         UpdateResult::Failed, "NotFound:zorvane"},
        {"404", ztest::httpAnswer("gone", "404 Not Found"), UpdateResult::Failed,
         "HttpQueryInfo(HTTP_QUERY_STATUS_CODE):404"},
        {"no length", ztest::httpAnswer(kNewer, "200 OK", ""), UpdateResult::Failed,
         "HttpQueryInfo(HTTP_QUERY_CONTENT_LENGTH):UnknownError"},
        {"zero length", ztest::httpAnswer(""), UpdateResult::Failed,
         "HttpQueryInfo(HTTP_QUERY_CONTENT_LENGTH):UnknownError"},
        {"more than announced",
         {"HTTP/1.1 200 OK\r\nContent-Length: 4\r\nTransfer-Encoding: chunked\r\n"
          "Connection: close\r\n\r\na\r\n0123456789\r\n0\r\n\r\n"},
         UpdateResult::Failed,
         "Buffer Overflow"},
        {"absurd length", ztest::httpAnswer("x", "200 OK", "Content-Length: 5000000000\r\n"),
         UpdateResult::Failed, "Buffer Overflow"},
        {"less than announced", ztest::httpAnswer("short", "200 OK", "Content-Length: 100\r\n"),
         UpdateResult::Failed, "InternetReadFile"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ztest::LoopbackServer server([&](const std::string&) { return c.reply; });
        UpdateCheckAnswer answer = check(server.url());
        EXPECT_EQ(answer.result, c.result);
        // The step's name comes first; curl's reason may follow it.
        std::string step = answer.errorText.substr(0, answer.errorText.find(": "));
        EXPECT_EQ(c.result == UpdateResult::NewerBuild ? answer.foundVersion : step, c.text);
    }
}

// A name that does not resolve reaches the server only through the proxy (the server
// itself); a refusing proxy fails at once; a name without a dot and a direct check ignore it.
TEST(UpdateCheck, ProxyRoutes) {
    ztest::LoopbackServer server(
        [](const std::string&) { return ztest::httpAnswer(kOthersThenOurs); });
    const std::string refused = std::to_string(ztest::refusedPort());
    const struct {
        const char* what;
        std::string url, proxyHost, proxyPort, envProxy;
        UpdateResult result;
    } routes[] = {
        {"direct ignores the environment's proxy", server.url(), "", "0",
         "http://127.0.0.1:" + refused, UpdateResult::NoNewerBuild},
        {"through the proxy", "http://update.zorvane.invalid/downloads/update.inf", "127.0.0.1",
         std::to_string(server.port()), "", UpdateResult::NoNewerBuild},
        {"proxy refuses", server.url(), "127.0.0.1", refused, "", UpdateResult::Failed},
        {"no dot, no proxy", server.url("localhost"), "127.0.0.1", refused, "",
         UpdateResult::NoNewerBuild},
    };
    for (const auto& r : routes) {
        SCOPED_TRACE(r.what);
        if (!r.envProxy.empty()) setenv("http_proxy", r.envProxy.c_str(), 1);
        UpdateCheckAnswer answer = check(r.url, {5000, r.proxyHost, std::stoi(r.proxyPort)});
        unsetenv("http_proxy");
        EXPECT_EQ(answer.result, r.result) << answer.errorText;
        if (r.result != UpdateResult::Failed) {
            EXPECT_EQ(answer.errorText, "");
        } else {  // the step's name, and the refusing port the user can act on
            EXPECT_EQ(answer.errorText.rfind("InternetOpenUrl: ", 0), 0u) << answer.errorText;
            EXPECT_NE(answer.errorText.find("port " + refused), std::string::npos)
                << answer.errorText;
        }
    }
    const std::vector<std::string> requests = server.requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].rfind("GET /downloads/update.inf HTTP/1.1\r\n", 0), 0u);
    for (const char* header : {"\r\nUser-Agent: varnLib\r\n", "\r\nCache-Control: no-cache\r\n"})
        EXPECT_NE(requests[0].find(header), std::string::npos) << header;
    EXPECT_EQ(requests[1].rfind("GET http://update.zorvane.invalid/downloads/update.inf ", 0), 0u);
}

TEST(UpdateCheck, SilentServerTimesOutWithinTheTimeOut) {
    ztest::LoopbackServer server([](const std::string&) { return ztest::HttpReply{"", true}; });
    auto start = std::chrono::steady_clock::now();
    UpdateCheckAnswer answer = check(server.url(), {1000, "", 0});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(answer.errorText.rfind("InternetOpenUrl: ", 0), 0u) << answer.errorText;
    EXPECT_NE(answer.errorText.find("timed out"), std::string::npos) << answer.errorText;
    EXPECT_EQ(server.requests().size(), 1u);  // connected; the answer never came
}

// 34,000 sections of others before ours, just under the size limit: read in one pass, the
// whole check ends well within its time-out.
TEST(UpdateCheck, ThousandsOfSectionsAreReadWithinTheTimeOut) {
    std::string inf;
    for (int n = 1; n < 34000; ++n) inf += "[Soft" + std::to_string(n) + "]\nDistinctName=x\n";
    inf += "[Soft34000]\nDistinctName=zorvane\nBuild=107\nVersion=Ver1.07\n";
    ASSERT_LT(inf.size(), size_t(kHttpMaxBytes));
    ztest::LoopbackServer server([&](const std::string&) { return ztest::httpAnswer(inf); });
    auto start = std::chrono::steady_clock::now();
    UpdateCheckAnswer answer = check(server.url(), {2000, "", 0});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(answer.result, UpdateResult::NewerBuild) << answer.errorText;
    EXPECT_EQ(answer.foundVersion, "Ver1.07");
}

TEST(UpdateCheck, CommandLine) {
    ztest::LoopbackServer server([](const std::string& request) {
        if (request.find("/newer/") != std::string::npos) return ztest::httpAnswer(kNewer);
        if (request.find("/same/") != std::string::npos) return ztest::httpAnswer(kOthersThenOurs);
        return ztest::httpAnswer("missing", "404 Not Found");
    });
    const std::string base = "--url http://127.0.0.1:" + std::to_string(server.port());
    const struct {
        std::string args, output;
        int status;
    } runs[] = {
        {base + "/same/update.inf", "no newer build", 0},
        {base + "/newer/update.inf --timeout 3", "Ver1.07", 2},
        {base + "/downloads/update.inf", "HttpQueryInfo(HTTP_QUERY_STATUS_CODE):404", 1},
        {"--url http://update.zorvane.invalid/same/update.inf --proxy 127.0.0.1:" +
             std::to_string(server.port()),
         "no newer build", 0},
    };
    for (const auto& r : runs) {
        SCOPED_TRACE(r.args);
        std::string out;
        EXPECT_EQ(
            ztest::run(ztest::binaryDir() + "/zorvane-cli update-check " + r.args + " 2>&1", &out),
            r.status);
        EXPECT_NE(out.find(r.output), std::string::npos) << out;
    }
}

}  // namespace
}  // namespace zorvane
