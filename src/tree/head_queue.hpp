// The least of the tree rows' lightest live entries, each keyed by its weight
// and then its row, so that the lowest row wins among equal weights.
#pragma once

#include <cstdint>

#include "dialogue/matrix.hpp"

// Widest span of weights kept as bits; a graph whose weights span more goes
// into the tournament.
constexpr std::int64_t bitSpan = 2 * matrixSize;

// Both forms at full capacity. Bits: a five-level 64-way bit tree over the
// keys (weight - lo) * n + row - 1, O(1) a change. Tournament: a match tree
// over the rows, O(log n) a change.
struct HeadQueue {
    static constexpr int levels = 5;
    static constexpr std::int64_t keys = bitSpan * maxVer;
    bool useBits = false;
    std::int32_t n = 0;
    std::int32_t lo = 0;
    std::int64_t base[levels] = {};   // where each level starts in bits
    std::int64_t words[levels] = {};  // how many words each level has
    std::int64_t floor = 0;           // no key lies below it
    std::uint64_t bits[keys / 64 + keys / 4096 + keys / 262144 + keys / 16777216 + 8];
    std::uint64_t best[2 * matrixSize];  // row r's key at n + r - 1, the least at 1
    std::int64_t key[matrixSize];        // row r's bit key, -1 when it has none
};

// Empties q for rows 1..n whose weights lie in lo..hi.
void startQueue(HeadQueue& q, std::int32_t n, std::int32_t lo, std::int32_t hi);

// Gives row r the key of weight w, or none when has is false.
void setHead(HeadQueue& q, std::int32_t r, bool has, std::int32_t w);

// The row with the least key; 0 when no row has one.
std::int32_t leastRow(HeadQueue& q);
