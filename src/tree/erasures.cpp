#include "tree/erasures.hpp"

#include <algorithm>
#include <bit>
#include <limits>

#include "tree/kernels.hpp"

namespace {

// An edge's key: weight, then row, then column, in one number.
std::uint64_t keyOf(const Edge& e)
{
    return std::uint64_t{static_cast<std::uint32_t>(e.w) ^ 0x80000000u} << 32 |
           static_cast<std::uint64_t>(e.from) << 16 | static_cast<std::uint64_t>(e.to);
}

// What each row takes: its entries below below[r], and those equal to it in
// columns up to upTo[r].
void setLimits(std::int32_t inf, std::int32_t n, const Edge* edges, std::int32_t count,
               bool spanning, std::int32_t* below, std::int32_t* upTo)
{
    for (std::int32_t r = 1; r <= n; ++r) {
        below[r] = std::numeric_limits<std::int32_t>::min();
        upTo[r] = 0;
    }
    const Edge* most = nullptr;  // of the edges accepted after the j-th joined, the greatest
    for (std::int32_t j = count; j >= 0; --j) {
        const std::int32_t r = j == 0 ? 1 : edges[j].to;  // vertex 1 is the 0-th
        if (!spanning) {
            below[r] = inf;
        } else if (j < count) {
            if (most == nullptr || keyOf(edges[j + 1]) > keyOf(*most))
                most = &edges[j + 1];
            below[r] = most->w;
            upTo[r] = r < most->from ? n : r == most->from ? most->to : 0;
        }
    }
}

// Transposes a 64 x 64 block of bits, bit j of word i being row i, column j.
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

// The bits of what rows 64 i + 1 .. 64 i + 64 take in columns 64 k + 1 ..
// 64 k + 64; rows and columns past n take nothing.
void takenBlock(std::int32_t n, std::int32_t** adj, const std::int32_t* below,
                const std::int32_t* upTo, std::int32_t i, std::int32_t k, std::uint64_t* bits)
{
    const std::int32_t c = 64 * k + 1;
    const std::int32_t count = std::min(64, n - c + 1);
    for (std::int32_t j = 0; j < 64; ++j) {
        const std::int32_t r = 64 * i + j + 1;
        // Nothing lies below the least weight: such a row takes only what
        // equals it, if that much.
        const bool none =
            r > n || (below[r] == std::numeric_limits<std::int32_t>::min() && upTo[r] < c);
        bits[j] = none ? 0 : takenBits(adj[r] + c, count, below[r], upTo[r] - c + 1);
    }
}

// Asks for the entries of rows 64 i + 1 .. in columns 64 k + 1 .. to be
// fetched: a column of blocks is no stream the processor would foresee.
void prefetchBlock(std::int32_t n, std::int32_t** adj, std::int32_t i, std::int32_t k)
{
#if defined(__GNUC__)
    const std::int32_t rows = std::min(64, n - 64 * i);
    for (std::int32_t j = 1; j <= rows; ++j) {
        const std::int32_t* p = adj[64 * i + j] + 64 * k + 1;
        for (std::int32_t b = 0; b < 64 * 4; b += 64)
            __builtin_prefetch(reinterpret_cast<const char*>(p) + b);
    }
#else
    static_cast<void>(n), static_cast<void>(adj), static_cast<void>(i), static_cast<void>(k);
#endif
}

// Sets to inf the entries of rows 64 i + 1 .. whose bits are set, in columns
// from 64 k + 1; returns how many.
std::int64_t eraseBlock(std::int32_t inf, std::int32_t** adj, std::int32_t i, std::int32_t k,
                        const std::uint64_t* bits)
{
    std::int64_t marked = 0;
    for (std::int32_t j = 0; j < 64; ++j) {
        std::uint64_t m = bits[j];
        if (m == 0)
            continue;
        marked += std::popcount(m);
        std::int32_t* run = adj[64 * i + j + 1] + 64 * k + 1;
        if (m == ~std::uint64_t{0})
            std::fill(run, run + 64, inf);
        else
            for (; m != 0; m &= m - 1)
                run[std::countr_zero(m)] = inf;
    }
    return marked;
}

}  // namespace

std::int64_t eraseTaken(std::int32_t inf, std::int32_t n, std::int32_t** adj, const Edge* edges,
                        std::int32_t count, bool spanning, std::int32_t* below, std::int32_t* upTo)
{
    if (n < 1)
        return 0;
    setLimits(inf, n, edges, count, spanning, below, upTo);
    // Block by block with its mirror block: what either takes, each entry
    // or its mirror, goes from both. Each block is read once, while its
    // entries are still in the cache.
    const std::int32_t blocks = (n + 63) / 64;
    std::int64_t marked = 0, diagonal = 0;
    std::uint64_t a[64], b[64];
    for (std::int32_t i = 0; i < blocks; ++i) {
        takenBlock(n, adj, below, upTo, i, i, a);
        std::copy(a, a + 64, b);
        transpose(b);
        for (std::int32_t j = 0; j < 64; ++j) {
            a[j] |= b[j];
            diagonal += static_cast<std::int64_t>(a[j] >> j & 1);
        }
        marked += eraseBlock(inf, adj, i, i, a);
        for (std::int32_t k = i + 1; k < blocks; ++k) {
            if (k + 1 < blocks)
                prefetchBlock(n, adj, k + 1, i);
            takenBlock(n, adj, below, upTo, i, k, a);
            takenBlock(n, adj, below, upTo, k, i, b);
            transpose(b);
            for (std::int32_t j = 0; j < 64; ++j)
                a[j] |= b[j];
            std::copy(a, a + 64, b);
            transpose(b);
            marked += eraseBlock(inf, adj, i, k, a) + eraseBlock(inf, adj, k, i, b);
        }
    }
    return (marked + diagonal) / 2;
}
