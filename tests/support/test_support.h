// Helpers shared by the test executables: where the source tree, the sample project and
// the corpus of real projects are, scratch folders, and running independent tools.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ztest {

std::string sourceDir();
std::string binaryDir();
// The sample project file (sample/Project/Game.rxproj).
std::string sampleProject();
// Folder holding real projects made by others, or "" when it is not present.
std::string corpusDir();

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);
bool haveProgram(const std::string& name);

// Runs a shell command; returns its exit status and fills out with its standard output.
int run(const std::string& command, std::string* out = nullptr);
// Single-quotes a text for the shell.
std::string shellQuote(const std::string& s);

// What a body run by runBounded did: its exit status (-1 when it did not exit by itself: a
// crash, or killed after the time limit), its peak resident memory (0 in a sanitizer build)
// and its run time.
struct BoundedRun {
    int status = -1;
    bool timedOut = false;
    long peakKb = 0;
    double seconds = 0;
};
// Runs body() in a forked child with its address space capped and a time limit, so a test
// can show that hostile input ends fast and small without risking the test or the machine.
BoundedRun runBounded(const std::function<int()>& body, uint64_t addressSpaceBytes = 4ull << 30,
                      double timeoutSeconds = 20);

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

}  // namespace ztest
