// The start of a process alone, without a shell or a timing program of its own around it:
// spawns each command ROUNDS times (the commands alternated within each round, so all of
// them meet the same machine load), waits with wait4() and prints for each command the
// median wall time from spawn to reaped, and the median of the child's own minor page faults.
// Usage: start_bench ROUNDS COMMAND [ARGS...] [-- COMMAND [ARGS...]]...
// Output: one line per command: "<seconds> <minor faults>". Its output goes to /dev/null.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Sample {
    double seconds = 0;
    long minorFaults = 0;
};

double now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// One run of argv with its standard output on /dev/null; false when it cannot be started
// or does not exit with status 0.
bool runOnce(const std::vector<char*>& argv, Sample& sample) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    double start = now();
    int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        std::fprintf(stderr, "start_bench: %s: %s\n", argv[0], std::strerror(error));
        return false;
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) return false;
    sample.seconds = now() - start;
    sample.minorFaults = usage.ru_minflt;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "start_bench: %s did not exit with status 0\n", argv[0]);
        return false;
    }
    return true;
}

template <typename T>
T median(std::vector<T> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::vector<std::vector<char*>> splitCommands(int argc, char** argv) {
    std::vector<std::vector<char*>> commands(1);
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            commands.emplace_back();
            continue;
        }
        commands.back().push_back(argv[i]);
    }
    for (auto& command : commands) command.push_back(nullptr);
    return commands;
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = argc > 2 ? std::atoi(argv[1]) : 0;
    if (rounds < 1) {
        std::fprintf(stderr, "usage: start_bench ROUNDS COMMAND [ARGS...] [-- COMMAND...]...\n");
        return 2;
    }
    std::vector<std::vector<char*>> commands = splitCommands(argc, argv);
    for (const auto& command : commands)
        if (command.size() < 2) return 2;
    // One unmeasured run each, so that no command pays alone for filling the page cache.
    Sample sample;
    for (const auto& command : commands)
        if (!runOnce(command, sample)) return 1;
    std::vector<std::vector<double>> seconds(commands.size());
    std::vector<std::vector<long>> faults(commands.size());
    for (int round = 0; round < rounds; ++round)
        for (size_t c = 0; c < commands.size(); ++c) {
            if (!runOnce(commands[c], sample)) return 1;
            seconds[c].push_back(sample.seconds);
            faults[c].push_back(sample.minorFaults);
        }
    for (size_t c = 0; c < commands.size(); ++c)
        std::printf("%.5f %ld\n", median(seconds[c]), median(faults[c]));
    return 0;
}
