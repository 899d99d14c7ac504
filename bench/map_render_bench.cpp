// Times drawing one map at ×1: composing every cell into the picture and encoding that
// picture as PNG at the default level are timed separately, in alternated rounds, and the
// medians printed on one line for scripts/bench: map_id compose_s encode_s megapixels.
// Times are the thread's CPU time, so that other work on a shared machine counts less.
// MAP_ID "largest" takes the map of the tree with the most cells.
#include <time.h>
#include <algorithm>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "map/map_data.h"
#include "map/map_picture.h"
#include "project/project_database.h"

namespace {

double cpuNow() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec / 1e9;
}

int largestMap(const zorvane::ProjectDatabase& db) {
    int best = 0;
    long long bestCells = -1;
    for (const auto& [id, info] : db.mapInfos()) {
        zorvane::MapData map;
        if (id <= 0 || !map.load(db, id, false)) continue;
        if (1LL * map.width * map.height > bestCells) {
            bestCells = 1LL * map.width * map.height;
            best = id;
        }
    }
    return best;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: map_render_bench PROJECT MAP_ID|largest OUT.png [ROUNDS]\n");
        return 2;
    }
    const std::string out = argv[3];
    const int rounds = argc > 4 ? std::max(1, std::atoi(argv[4])) : 5;
    zorvane::ProjectDatabase db;
    db.open(argv[1]);
    const int mapId = std::string(argv[2]) == "largest" ? largestMap(db) : std::atoi(argv[2]);
    zorvane::MapData map;
    if (!map.load(db, mapId, true)) {
        std::fprintf(stderr, "map %d cannot be read\n", mapId);
        return 1;
    }
    map.loadTileset(db.tilesets());
    zorvane::RenderOptions options;
    options.saveMode = zorvane::kFormatPng;
    std::vector<double> compose, encode;
    zorvane::RgbImage picture;
    for (int round = 0; round < rounds; ++round) {
        double t0 = cpuNow();
        if (zorvane::composeMapPicture(map, options, picture) != zorvane::MapPictureStatus::Saved) {
            std::fprintf(stderr, "map %d cannot be composed\n", mapId);
            return 1;
        }
        compose.push_back(cpuNow() - t0);
        t0 = cpuNow();
        if (!zorvane::writeMapPicture(out, picture, options)) {
            std::fprintf(stderr, "%s cannot be written\n", out.c_str());
            return 1;
        }
        encode.push_back(cpuNow() - t0);
    }
    std::printf("%d %.4f %.4f %.2f\n", mapId, median(compose), median(encode),
                double(picture.width()) * picture.height() / 1e6);
    return 0;
}
