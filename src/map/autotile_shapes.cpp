// The shape table of autotiles. A run of shapes starts from one block for all four quarters
// and replaces some quarters by block 2 (the inner corners) as the bits of the shape's
// number say; a few shapes name their four blocks outright.
#include "map/autotile_shapes.h"

#include <cstddef>

namespace zorvane {

namespace {

constexpr uint8_t kNoBlock = 0xFF;
constexpr uint8_t kCornerBlock = 2;

struct ShapeRun {
    int first, last;       // shapes first..last
    uint8_t start;         // block of every quarter, or kNoBlock when `fixed` applies
    AutotileBlocks fixed;  // TL, TR, BL, BR of a shape named outright
    int8_t bitQuarter[4];  // quarter that bit k of the shape turns into block 2
};

constexpr int8_t kNone = -1;

// clang-format off
constexpr ShapeRun kShapeRuns[] = {
    {0, 15, 7, {}, {kQuarterTL, kQuarterTR, kQuarterBR, kQuarterBL}},
    {16, 19, 6, {}, {kQuarterTR, kQuarterBR, kNone, kNone}},
    {20, 23, 4, {}, {kQuarterBR, kQuarterBL, kNone, kNone}},
    {24, 27, 8, {}, {kQuarterBL, kQuarterTL, kNone, kNone}},
    {28, 31, 10, {}, {kQuarterTL, kQuarterTR, kNone, kNone}},
    {32, 32, kNoBlock, {6, 8, 6, 8}, {kNone, kNone, kNone, kNone}},
    {33, 33, kNoBlock, {4, 4, 10, 10}, {kNone, kNone, kNone, kNone}},
    {34, 35, 3, {}, {kQuarterBR, kNone, kNone, kNone}},
    {36, 37, 5, {}, {kQuarterBL, kNone, kNone, kNone}},
    {38, 39, 11, {}, {kQuarterTL, kNone, kNone, kNone}},
    {40, 41, 9, {}, {kQuarterTR, kNone, kNone, kNone}},
    {42, 42, kNoBlock, {3, 5, 3, 5}, {kNone, kNone, kNone, kNone}},
    {43, 43, kNoBlock, {3, 3, 9, 9}, {kNone, kNone, kNone, kNone}},
    {44, 44, kNoBlock, {9, 11, 9, 11}, {kNone, kNone, kNone, kNone}},
    {45, 45, kNoBlock, {5, 5, 11, 11}, {kNone, kNone, kNone, kNone}},
    {46, 46, kNoBlock, {3, 5, 9, 11}, {kNone, kNone, kNone, kNone}},
    {47, 47, 0, {}, {kNone, kNone, kNone, kNone}},
};
// clang-format on

}  // namespace

AutotileBlocks autotileBlocks(int shape) {
    if (shape < 0 || shape >= kAutotileShapeCount) shape = 0;
    for (const ShapeRun& run : kShapeRuns) {
        if (shape < run.first || shape > run.last) continue;
        if (run.start == kNoBlock) return run.fixed;
        AutotileBlocks blocks;
        blocks.fill(run.start);
        for (int k = 0; k < 4; ++k)
            if (run.bitQuarter[k] != kNone && (shape & (1 << k)))
                blocks[std::size_t(run.bitQuarter[k])] = kCornerBlock;
        return blocks;
    }
    return autotileBlocks(0);
}

}  // namespace zorvane
