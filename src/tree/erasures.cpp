#include "tree/erasures.hpp"

#include <algorithm>
#include <bit>

namespace {

// An edge's key: weight, then row, then column, in one number, the weight's
// sign bit flipped so that unsigned order is signed order.
static_assert(maxVer < 65536, "a row and a column take 16 bits each");
std::uint64_t keyOf(const Edge& e)
{
    return std::uint64_t{static_cast<std::uint32_t>(e.w) ^ 0x80000000u} << 32 |
           static_cast<std::uint64_t>(e.from) << 16 | static_cast<std::uint64_t>(e.to);
}

// What each row takes: its entries below below[r], and those equal to it in
// columns up to upTo[r].
void setLimits(std::int32_t inf, std::int32_t n, std::span<const Edge> edges, bool spanning,
               Replay& room)
{
    std::fill(room.below + 1, room.below + n + 1, leastWeight);
    std::fill(room.upTo + 1, room.upTo + n + 1, 0);
    const Edge* most = nullptr;  // of the edges accepted after the j-th joined, the greatest
    for (std::size_t j = edges.size() + 1; j-- > 0;) {
        const std::int32_t r = j == 0 ? 1 : edges[j - 1].to;  // vertex 1 is the 0-th
        if (!spanning) {
            room.below[r] = inf;
        } else if (j < edges.size()) {
            if (most == nullptr || keyOf(edges[j]) > keyOf(*most))
                most = &edges[j];
            room.below[r] = most->w;
            room.upTo[r] = r < most->from ? n : r == most->from ? most->to : 0;
        }
    }
}

// Transposes a 64 x 64 block of bits, bit j of word i being row i, column j:
// swaps the off-diagonal halves of ever smaller blocks, 32 x 32 down to 1 x 1,
// as in H. S. Warren, "Hacker's Delight", 2nd ed., section 7-3.
void transpose(std::uint64_t* a)
{
    std::uint64_t mask = 0x00000000ffffffffu;
    for (int j = 32; j != 0; j >>= 1, mask ^= mask << j)
        for (int k = 0; k < 64; k = ((k | j) + 1) & ~j) {
            const std::uint64_t t = (a[k] >> j ^ a[k | j]) & mask;
            a[k] ^= t << j;
            a[k | j] ^= t;
        }
}

// Sets to inf the entries of run whose bits are set in m; returns how many.
std::int64_t eraseBits(std::int32_t inf, std::int32_t* run, std::uint64_t m)
{
    const std::int64_t marked = std::popcount(m);
    for (; m != 0; m &= m - 1)
        run[std::countr_zero(m)] = inf;
    return marked;
}

}  // namespace

std::int64_t eraseTaken(std::int32_t inf, std::int32_t n, std::int32_t** adj,
                        std::span<const Edge> edges, bool spanning, Replay& room, BitsTaker taken)
{
    if (n < 1)
        return 0;
    setLimits(inf, n, edges, spanning, room);
    const std::int32_t words = (n + 63) / 64;
    const auto at = [&](std::int32_t r) {
        return room.bits + static_cast<std::size_t>(r - 1) * static_cast<std::size_t>(words);
    };
    // Row by row, as the memory streams best: the entries each row takes go
    // as they are found, and their bits are kept.
    std::int64_t marked = 0, diagonal = 0;
    for (std::int32_t r = 1; r <= 64 * words; ++r) {
        std::uint64_t* const row = at(r);
        if (r > n || (room.below[r] == leastWeight && room.upTo[r] < 1)) {
            std::fill(row, row + words, std::uint64_t{0});
            continue;
        }
        taken(adj[r] + 1, n, room.below[r], room.upTo[r], inf, row);
        for (std::int32_t k = 0; k < words; ++k)
            marked += row[k] == 0 ? 0 : row[k] == ~std::uint64_t{0} ? 64 : std::popcount(row[k]);
        diagonal += static_cast<std::int64_t>(row[(r - 1) / 64] >> ((r - 1) % 64) & 1);
    }
    // Then the entries whose mirrors were taken and they not: block by
    // block, the bits of the mirror block transposed. Few, but for an
    // asymmetric graph.
    std::uint64_t a[64], b[64];
    for (std::int32_t i = 0; i < words; ++i)
        for (std::int32_t k = 0; k < words; ++k) {
            // Nothing to do where the block took everything or its mirror nothing.
            std::uint64_t all = ~std::uint64_t{0}, any = 0;
            for (std::int32_t j = 0; j < 64; ++j) {
                all &= at(64 * i + j + 1)[k];
                b[j] = at(64 * k + j + 1)[i];
                any |= b[j];
            }
            if (all == ~std::uint64_t{0} || any == 0)
                continue;
            transpose(b);
            for (std::int32_t j = 0; j < 64; ++j)
                a[j] = b[j] & ~at(64 * i + j + 1)[k];
            for (std::int32_t j = 0; j < 64 && 64 * i + j < n; ++j)
                marked += eraseBits(inf, adj[64 * i + j + 1] + 64 * k + 1, a[j]);
        }
    return (marked + diagonal) / 2;
}
