// What the literal search's passes take and erase, replayed from the edges it
// accepts, without running the passes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "tree/kernels.hpp"
#include "tree/matrix.hpp"

// An accepted edge: its weight, the tree vertex it leaves and the vertex it joins.
struct Edge {
    std::int32_t w;
    std::int32_t from;
    std::int32_t to;
};

// Words of bits the erasures of an n-vertex graph need: one bit an entry,
// rows padded to whole 64 x 64 blocks.
constexpr std::size_t erasureBits(std::int32_t n)
{
    const auto words = static_cast<std::size_t>((n + 63) / 64);
    return 64 * words * words;
}

// The replay's room: what each row takes, as limits, then as bits (a graph uses their start).
struct Replay {
    std::int32_t below[matrixSize];
    std::int32_t upTo[matrixSize];
    std::uint64_t bits[erasureBits(maxVer)];
};

// The literal search takes, in each pass, the least live entry of a tree row
// by key (weight, row, column) and erases it with its mirror; it accepts the
// entry when it leads out of the tree. So, between two acceptances, its passes
// take the tree rows' entries in rising key order, and the row of a vertex
// stops being taken from when the last edge is accepted:
//
//   the row of the vertex that joined j-th takes every entry below inf whose
//   key is at most the greatest key accepted after it joined; when the tree
//   cannot span the graph, the passes go on until no tree row holds an entry
//   below inf, so every tree row takes all of them. Rows outside the tree
//   take nothing.
//
// An entry is erased (set to inf) when it or its mirror is taken; one pass
// takes each erased pair of mirrors, and each erased diagonal entry.
//
// Replays that on rows and columns 1..n of adj by taken, edges being the
// accepted edges in order and spanning whether they span the graph. Returns the passes.
std::int64_t eraseTaken(std::int32_t inf, std::int32_t n, std::int32_t** adj,
                        std::span<const Edge> edges, bool spanning, Replay& room, BitsTaker taken);
