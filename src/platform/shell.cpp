// Starting programs without waiting for them. A double fork leaves no zombie behind, and
// a close-on-exec pipe reports whether the exec itself succeeded.
#include "platform/shell.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace zorvane {

namespace {

class Pipe {
  public:
    Pipe() {
        if (pipe2(fds_, O_CLOEXEC) != 0) fds_[0] = fds_[1] = -1;
    }
    ~Pipe() {
        closeRead();
        closeWrite();
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    bool valid() const { return fds_[0] >= 0; }
    int readEnd() const { return fds_[0]; }
    int writeEnd() const { return fds_[1]; }
    void closeRead() { closeFd(fds_[0]); }
    void closeWrite() { closeFd(fds_[1]); }

  private:
    static void closeFd(int& fd) {
        if (fd >= 0) close(fd);
        fd = -1;
    }
    int fds_[2];
};

// Runs in the forked child: only async-signal-safe calls from here on.
[[noreturn]] void execGrandchild(char* const* argv, int reportFd) {
    setsid();
    pid_t grandchild = fork();
    if (grandchild < 0) {
        int err = errno;
        (void)!::write(reportFd, &err, sizeof err);
        _exit(1);
    }
    if (grandchild > 0) _exit(0);
    int devNull = open("/dev/null", O_RDONLY);
    if (devNull >= 0) dup2(devNull, STDIN_FILENO);
    execvp(argv[0], argv);
    int err = errno;
    (void)!::write(reportFd, &err, sizeof err);
    _exit(127);
}

}  // namespace

bool runDetached(const std::vector<std::string>& argv) {
    if (argv.empty() || argv[0].empty()) return false;
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    Pipe report;
    if (!report.valid()) return false;
    pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) execGrandchild(args.data(), report.writeEnd());

    report.closeWrite();
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int err = 0;
    ssize_t got;
    while ((got = read(report.readEnd(), &err, sizeof err)) < 0 && errno == EINTR) {
    }
    // EOF without a report: the exec succeeded and closed the pipe.
    return got == 0;
}

bool shellOpen(const std::string& target) {
    if (target.empty()) return false;
    return runDetached({"xdg-open", target});
}

}  // namespace zorvane
