#include "support/test_support.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace ztest {

std::string sourceDir() {
    return ZORVANE_SOURCE_DIR;
}
std::string binaryDir() {
    return ZORVANE_BINARY_DIR;
}
std::string sampleProject() {
    return sourceDir() + "/sample/Project/Game.rxproj";
}

std::string corpusDir() {
    if (const char* env = std::getenv("ZORVANE_CORPUS")) return env;
    std::string dir = sourceDir() + "/../shared/corpus";
    struct stat st {};
    if (stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return dir;
    return "";
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot write " + path);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool haveProgram(const std::string& name) {
    return run("command -v " + shellQuote(name) + " >/dev/null 2>&1") == 0;
}

std::string shellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'')
            q += "'\\''";
        else
            q += c;
    }
    return q + "'";
}

int run(const std::string& command, std::string* out) {
    FILE* p = popen(command.c_str(), "r");
    if (!p) return -1;
    std::array<char, 65536> buf{};
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), p)) > 0)
        if (out) out->append(buf.data(), n);
    int status = pclose(p);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

namespace {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// A sanitizer maps terabytes of shadow memory before main and keeps freed blocks for a
// while: the cap goes on top of what is mapped already, and the peak says nothing of the
// program's own.
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

uint64_t mappedBytes() {
    unsigned long long pages = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%llu", &pages) != 1) pages = 0;
        std::fclose(f);
    }
    return pages * static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
}
}  // namespace

BoundedRun runBounded(const std::function<int()>& body, uint64_t addressSpaceBytes,
                      double timeoutSeconds) {
    std::fflush(nullptr);
    auto start = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        if (kSanitized) addressSpaceBytes += mappedBytes();
        rlimit limit{addressSpaceBytes, addressSpaceBytes};
        setrlimit(RLIMIT_AS, &limit);
        int status = 125;  // an exception must not carry the child back into the test
        try {
            status = body();
        } catch (...) {
        }
        std::fflush(nullptr);
        _exit(status);
    }
    BoundedRun result;
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, WNOHANG, &usage) == 0) {
        std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        if (elapsed.count() > timeoutSeconds) {
            kill(pid, SIGKILL);
            wait4(pid, &status, 0, &usage);
            result.timedOut = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.peakKb = kSanitized ? 0 : usage.ru_maxrss;
    if (!result.timedOut && WIFEXITED(status)) result.status = WEXITSTATUS(status);
    return result;
}

TempDir::TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "zorvane-test-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

}  // namespace ztest
