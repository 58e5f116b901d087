// The construction's two inner loops, one set per instruction set: offering a
// joined vertex's row to the vertices outside the tree, and finding which of
// 64 entries a row takes. Every set gives the same results.
#pragma once

#include <cstdint>
#include <limits>

enum class Isa;

// Rows are kept as row + rowShift, above every bound an offer compares an
// entry with: a lane's least weight (at most inf), + 1 where the offering row
// comes first. Entries offered go up to INT_MAX.
constexpr std::int32_t rowShift = std::int32_t{1} << 30;

// A closed lane, never offered an entry (its row caps the bound at INT_MIN)
// nor chosen (its weight is above any): a vertex in the tree, or past the last.
constexpr std::int32_t closedWeight = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t closedRow = std::numeric_limits<std::int32_t>::min();

// The least weight of all: a row whose limit it is takes only entries equal to it.
constexpr std::int32_t leastWeight = std::numeric_limits<std::int32_t>::min();

// The row of a vertex outside the tree that no tree row reaches yet: above
// every row + rowShift.
constexpr std::int32_t noRow = rowShift + (std::int32_t{1} << 20);

// The least entry found, weight first, then row (shifted), then column.
struct Candidate {
    std::int32_t w;
    std::int32_t r;
    std::int32_t c;
};

// Offers row u's entries line[c] to the vertices c from first to last, first
// being 1 past a multiple of 8: where one is lighter than least[c], or as
// light from a lower row than from[c], it becomes least[c] with from[c] =
// u + rowShift. Returns the least (least, from, column) of them all, weight
// closedWeight when every lane is closed. least and from hold 8 lanes past
// last rounded up to 8.
using RowOffer = Candidate (*)(const std::int32_t* line, std::int32_t* least, std::int32_t* from,
                               std::int32_t first, std::int32_t last, std::int32_t u);

// What a row takes of its count entries from line[0]: bit j % 64 of
// words[j / 64] set where line[j] < lim, or line[j] <= lim for j < equal;
// the bits past count are 0. Each entry taken is set to inf. lim is at most
// inf, so lim + 1 never overflows.
using BitsTaker = void (*)(std::int32_t* line, std::int32_t count, std::int32_t lim,
                           std::int32_t equal, std::int32_t inf, std::uint64_t* words);

// One instruction set's kernels.
struct TreeKernels {
    RowOffer offer;
    BitsTaker taken;
};

// The kernels of isa, which this processor must have.
const TreeKernels& treeKernels(Isa isa);
