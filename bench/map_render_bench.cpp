// Times drawing one map at ×1: composing every cell into the picture, encoding that picture
// as PNG at the default settings, and, as the reference, encoding it through libpng's
// streamed writer at the same settings, in alternated rounds. The medians and file sizes
// go on one line for scripts/bench:
// map_id compose_s encode_s megapixels reference_encode_s bytes reference_bytes.
// Times are the thread's CPU time, so that other work on a shared machine counts less.
// MAP_ID "largest" takes the map of the tree with the most cells.
#include <time.h>
#include <algorithm>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "map/image_files.h"
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

// Sums over the maps of one round.
struct RoundTimes {
    double compose = 0, encode = 0, reference = 0, megapixels = 0;
    unsigned long long bytes = 0, referenceBytes = 0;
};

bool measureMap(const zorvane::ProjectDatabase& db, int mapId,
                const zorvane::RenderOptions& options, const std::string& out, RoundTimes& sums) {
    zorvane::MapData map;
    if (!map.load(db, mapId, true)) {
        std::fprintf(stderr, "map %d cannot be read\n", mapId);
        return false;
    }
    map.loadTileset(db.tilesets());
    const std::string referenceOut = out + ".libpng.png";
    zorvane::RgbImage picture;
    double t0 = cpuNow();
    const zorvane::MapPictureStatus status = zorvane::composeMapPicture(map, options, picture);
    if (status == zorvane::MapPictureStatus::EmptyMap) return true;
    if (status != zorvane::MapPictureStatus::Saved) {
        std::fprintf(stderr, "map %d cannot be composed\n", mapId);
        return false;
    }
    sums.compose += cpuNow() - t0;
    t0 = cpuNow();
    if (!zorvane::writeMapPicture(out, picture, options)) {
        std::fprintf(stderr, "%s cannot be written\n", out.c_str());
        return false;
    }
    sums.encode += cpuNow() - t0;
    t0 = cpuNow();
    if (!zorvane::savePngStreamed(referenceOut, picture, options.pngCompLv,
                                  zorvane::pngFilterMask(options.pngFilter))) {
        std::fprintf(stderr, "%s cannot be written\n", referenceOut.c_str());
        return false;
    }
    sums.reference += cpuNow() - t0;
    sums.megapixels += double(picture.width()) * picture.height() / 1e6;
    sums.bytes += std::filesystem::file_size(out);
    sums.referenceBytes += std::filesystem::file_size(referenceOut);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(
            stderr,
            "usage: map_render_bench PROJECT MAP_ID|largest|all OUT.png [ROUNDS [ZOOM_MODE]]\n");
        return 2;
    }
    const std::string out = argv[3];
    const int rounds = argc > 4 ? std::max(1, std::atoi(argv[4])) : 5;
    zorvane::ProjectDatabase db;
    db.open(argv[1]);
    const std::string which = argv[2];
    std::vector<int> mapIds;
    if (which == "all") {
        for (const auto& [id, info] : db.mapInfos())
            if (id > 0) mapIds.push_back(id);
    } else {
        mapIds.push_back(which == "largest" ? largestMap(db) : std::atoi(which.c_str()));
    }
    zorvane::RenderOptions options;
    options.saveMode = zorvane::kFormatPng;
    if (argc > 5) options.zoomMode = std::atoi(argv[5]);
    std::vector<double> compose, encode, reference;
    RoundTimes sums;
    for (int round = 0; round < rounds; ++round) {
        sums = RoundTimes();
        for (int id : mapIds)
            if (!measureMap(db, id, options, out, sums)) return 1;
        compose.push_back(sums.compose);
        encode.push_back(sums.encode);
        reference.push_back(sums.reference);
    }
    std::printf("%d %.4f %.4f %.2f %.4f %llu %llu\n", mapIds.size() == 1 ? mapIds[0] : 0,
                median(compose), median(encode), sums.megapixels, median(reference), sums.bytes,
                sums.referenceBytes);
    return 0;
}
