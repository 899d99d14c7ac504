// Times reading and indexing one .rxdata file (file read included), best of N runs, and
// prints seconds and MB/s on one line for scripts/bench.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "marshal/marshal_file.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: marshal_read_bench FILE [RUNS]\n");
        return 2;
    }
    int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    double best = 1e30;
    size_t bytes = 0;
    for (int i = 0; i < runs; ++i) {
        auto t0 = std::chrono::steady_clock::now();
        zorvane::MarshalFile file;
        if (!file.load(argv[1])) {
            std::fprintf(stderr, "%s: %s\n", argv[1], file.error().message().c_str());
            return 1;
        }
        // One look-up proves the index is usable without walking the tree ahead of time.
        volatile bool found = file.find("RPG::Map.@events") != nullptr;
        (void)found;
        double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        if (s < best) best = s;
        bytes = file.root().children().empty() ? 0 : 1;
    }
    FILE* f = std::fopen(argv[1], "rb");
    std::fseek(f, 0, SEEK_END);
    bytes = static_cast<size_t>(std::ftell(f));
    std::fclose(f);
    std::printf("%.4f %.1f\n", best, bytes / best / 1e6);
    return 0;
}
