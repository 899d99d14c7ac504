// The small HTTP download client of the update check: one GET of a short file, refused
// unless the server answers 200 with a Content-Length, and never more than that many bytes.
#pragma once
#include <atomic>
#include <string>

namespace zorvane {

struct HttpOptions {
    int timeoutMs = 30000;
    // Empty: connect directly (proxy variables of the environment are ignored too).
    std::string proxyHost;
    int proxyPort = 0;
    // Set from another thread to give up early (the program is closing).
    const std::atomic<bool>* abort = nullptr;
};

// The most an update file may announce; anything larger is not what the check asked for.
constexpr long long kHttpMaxBytes = 1 << 20;

// Fetches url into buffer. On failure the buffer is empty and errorText names the step that
// failed: "InternetOpenUrl: <curl's reason>", "InternetReadFile[: <reason>]",
// "HttpQueryInfo(HTTP_QUERY_STATUS_CODE):404",
// "HttpQueryInfo(HTTP_QUERY_CONTENT_LENGTH):UnknownError", "Buffer Overflow", ...
bool httpGet(const std::string& url, std::string& buffer, const HttpOptions& options,
             std::string& errorText);

// The host name of an address ("" when it does not parse).
std::string urlHost(const std::string& url);

}  // namespace zorvane
