// One GET with libcurl. The answer is judged from the headers as they arrive: a status
// other than 200, a missing or empty Content-Length, or a body longer than announced stops
// the transfer at once, and the error text names the step that failed.
#include "platform/string_util.h"
#include "update/http_client.h"

#include "update/curl_library.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace zorvane {

namespace {

const char* const kAgent = "varnLib";
const char* const kOpenUrl = "InternetOpenUrl";
const char* const kReadFile = "InternetReadFile";
const char* const kOverflow = "Buffer Overflow";

// Only called once httpGet or urlHost has found the library.
const CurlLibrary& curlApi() {
    return *curlLibrary();
}

struct CurlCleanup {
    void operator()(CURL* curl) const { curlApi().easy_cleanup(curl); }
};
struct SlistCleanup {
    void operator()(curl_slist* list) const { curlApi().slist_free_all(list); }
};
struct UrlCleanup {
    void operator()(CURLU* url) const { curlApi().url_cleanup(url); }
};

// "Content-Length: 123" -> 123; -1 when the value is not a plain non-negative number.
long long parseLength(std::string_view value) {
    size_t b = value.find_first_not_of(" \t");
    size_t e = value.find_last_not_of(" \t\r\n");
    if (b == std::string_view::npos || e < b) return -1;
    std::string digits(value.substr(b, e - b + 1));
    if (digits.find_first_not_of("0123456789") != std::string::npos) return -1;
    errno = 0;
    long long n = std::strtoll(digits.c_str(), nullptr, 10);
    return errno == ERANGE ? -1 : n;
}

// The proxy bypass "<local>": host names without a dot are reached directly.
bool bypassesProxy(const std::string& url) {
    std::string host = urlHost(url);
    return !host.empty() && host.find('.') == std::string::npos;
}

struct Transfer {
    CURL* curl = nullptr;
    std::string* buffer = nullptr;
    const std::atomic<bool>* abort = nullptr;
    long long announced = -1;  // Content-Length of the answer being read
    bool headersDone = false;  // the answer's header block has ended
    bool checked = false;      // status and length have been judged
    std::string failure;
};

// Status 200 and a usable Content-Length, judged once before the first byte is kept.
bool checkAnswer(Transfer& t) {
    t.checked = true;
    long status = 0;
    curlApi().easy_getinfo(t.curl, CURLINFO_RESPONSE_CODE, &status);
    if (status != 200) {
        t.failure = "HttpQueryInfo(HTTP_QUERY_STATUS_CODE):" + std::to_string(status);
        return false;
    }
    if (t.announced <= 0) {
        // There is no system message for a missing header here.
        t.failure = "HttpQueryInfo(HTTP_QUERY_CONTENT_LENGTH):UnknownError";
        return false;
    }
    if (t.announced > kHttpMaxBytes) {
        t.failure = kOverflow;
        return false;
    }
    t.buffer->reserve(static_cast<size_t>(t.announced));
    return true;
}

size_t onHeader(char* data, size_t size, size_t count, void* user) {
    auto& t = *static_cast<Transfer*>(user);
    std::string_view line(data, size * count);
    if (startsWithNoCase(line, "http/")) {  // a new answer (after a redirect or a 100)
        t.announced = -1;
        t.headersDone = false;
    } else if (line == "\r\n" || line == "\n") {
        t.headersDone = true;
    } else if (startsWithNoCase(line, "content-length:")) {
        t.announced = parseLength(line.substr(15));
    }
    return size * count;
}

size_t onBody(char* data, size_t size, size_t count, void* user) {
    auto& t = *static_cast<Transfer*>(user);
    size_t n = size * count;
    if (!t.checked && !checkAnswer(t)) return 0;
    if (static_cast<long long>(t.buffer->size() + n) > t.announced) {
        t.failure = kOverflow;
        return 0;
    }
    t.buffer->append(data, n);
    return n;
}

int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto& t = *static_cast<Transfer*>(user);
    return t.abort && *t.abort ? 1 : 0;
}

bool fail(std::string& buffer, std::string& errorText, std::string text) {
    buffer.clear();
    errorText = std::move(text);
    return false;
}

// Agent and proxy; "" for the proxy also keeps curl from taking one from the environment.
bool setConnection(CURL* curl, const std::string& url, const HttpOptions& options) {
    std::string proxy;
    if (!options.proxyHost.empty() && !bypassesProxy(url))
        proxy = options.proxyHost + ":" + std::to_string(options.proxyPort);
    return curlApi().easy_setopt(curl, CURLOPT_USERAGENT, kAgent) == CURLE_OK &&
           curlApi().easy_setopt(curl, CURLOPT_PROXY, proxy.c_str()) == CURLE_OK &&
           curlApi().easy_setopt(curl, CURLOPT_NOSIGNAL, 1L) == CURLE_OK;
}

// The time-out bounds the connection and, separately, the whole exchange after it.
const char* setTimeouts(CURL* curl, int timeoutMs) {
    long ms = std::max(timeoutMs, 1);
    if (curlApi().easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, ms) != CURLE_OK)
        return "InternetSetOption(INTERNET_OPTION_CONNECT_TIMEOUT)";
    if (curlApi().easy_setopt(curl, CURLOPT_TIMEOUT_MS, ms) != CURLE_OK)
        return "InternetSetOption(INTERNET_OPTION_DATA_RECEIVE_TIMEOUT)";
    return nullptr;
}

bool setRequest(CURL* curl, const std::string& url, curl_slist* headers, Transfer& t) {
    return curlApi().easy_setopt(curl, CURLOPT_URL, url.c_str()) == CURLE_OK &&
           curlApi().easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK &&
           curlApi().easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK &&
           curlApi().easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK &&
           curlApi().easy_setopt(curl, CURLOPT_MAXREDIRS, 5L) == CURLE_OK &&
           curlApi().easy_setopt(curl, CURLOPT_HTTPHEADER, headers) == CURLE_OK &&
           curlApi().easy_setopt(curl, CURLOPT_HEADERFUNCTION, onHeader) == CURLE_OK &&
           curlApi().easy_setopt(curl, CURLOPT_HEADERDATA, &t) == CURLE_OK &&
           curlApi().easy_setopt(curl, CURLOPT_WRITEFUNCTION, onBody) == CURLE_OK &&
           curlApi().easy_setopt(curl, CURLOPT_WRITEDATA, &t) == CURLE_OK &&
           curlApi().easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, onProgress) == CURLE_OK &&
           curlApi().easy_setopt(curl, CURLOPT_XFERINFODATA, &t) == CURLE_OK &&
           curlApi().easy_setopt(curl, CURLOPT_NOPROGRESS, 0L) == CURLE_OK;
}

}  // namespace

std::string urlHost(const std::string& url) {
    if (!curlLibrary()) return "";
    std::unique_ptr<CURLU, UrlCleanup> parts(curlApi().url());
    char* host = nullptr;
    if (!parts || curlApi().url_set(parts.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK ||
        curlApi().url_get(parts.get(), CURLUPART_HOST, &host, 0) != CURLUE_OK)
        return "";
    std::string text(host);
    curlApi().free(host);
    return text;
}

bool httpGet(const std::string& url, std::string& buffer, const HttpOptions& options,
             std::string& errorText) {
    buffer.clear();
    if (!curlLibrary())
        return fail(buffer, errorText, "InternetOpen: libcurl.so.4 cannot be loaded");
    std::unique_ptr<CURL, CurlCleanup> curl(curlApi().easy_init());
    if (!curl || !setConnection(curl.get(), url, options))
        return fail(buffer, errorText, "InternetOpen");
    if (const char* failed = setTimeouts(curl.get(), options.timeoutMs))
        return fail(buffer, errorText, failed);

    // Never an answer from a cache on the way.
    curl_slist* headers = curlApi().slist_append(nullptr, "Cache-Control: no-cache");
    std::unique_ptr<curl_slist, SlistCleanup> headerList(headers);
    headers = headers ? curlApi().slist_append(headers, "Pragma: no-cache") : nullptr;
    Transfer t;
    t.curl = curl.get();
    t.buffer = &buffer;
    t.abort = options.abort;
    if (!headers || !setRequest(curl.get(), url, headers, t))
        return fail(buffer, errorText, kOpenUrl);

    char reason[CURL_ERROR_SIZE] = {};
    curlApi().easy_setopt(curl.get(), CURLOPT_ERRORBUFFER, reason);
    CURLcode rc = curlApi().easy_perform(curl.get());
    if (!t.failure.empty()) return fail(buffer, errorText, t.failure);
    // The step's name alone tells the user nothing to act on; curl's words say what went
    // wrong (the host did not resolve, the connection timed out, ...).
    if (rc != CURLE_OK)
        return fail(buffer, errorText,
                    std::string(t.headersDone ? kReadFile : kOpenUrl) + ": " +
                        (reason[0] ? reason : curlApi().easy_strerror(rc)));
    // An answer without a body never reached the body callback.
    if (!t.checked && !checkAnswer(t)) return fail(buffer, errorText, t.failure);
    if (static_cast<long long>(buffer.size()) != t.announced)
        return fail(buffer, errorText, kReadFile);
    return true;
}

}  // namespace zorvane
