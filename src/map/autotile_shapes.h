// Which blocks of a 96 × 128 autotile make up each of its 48 shapes: every shape is put
// together from four 16 × 16 quarters, each taken from one of the twelve 32 × 32 blocks.
#pragma once

#include <array>
#include <cstdint>

namespace zorvane {

constexpr int kAutotileShapeCount = 48;

// Quarters in the order top-left, top-right, bottom-left, bottom-right.
enum AutotileQuarter { kQuarterTL, kQuarterTR, kQuarterBL, kQuarterBR, kQuarterCount };

// Block n of the autotile has its top-left corner at ((n mod 3) × 32, (n div 3) × 32).
using AutotileBlocks = std::array<uint8_t, kQuarterCount>;

// The block of each quarter of shape `shape` (0..47); shapes outside use shape 0.
AutotileBlocks autotileBlocks(int shape);

}  // namespace zorvane
