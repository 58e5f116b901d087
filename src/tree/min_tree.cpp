#include "tree/min_tree.hpp"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <new>

namespace {

// An entry's key: its weight, then its row, then its column, packed so that
// keys compare as numbers in that order.
constexpr int indexBits = 14;
static_assert(maxVer < (1 << indexBits));
constexpr std::uint64_t noKey = std::numeric_limits<std::uint64_t>::max();

std::uint64_t keyOf(std::int32_t w, std::uint64_t rowCol)
{
    return std::uint64_t{static_cast<std::uint32_t>(w) ^ 0x80000000u} << 2 * indexBits | rowCol;
}

std::uint64_t rowColOf(std::int32_t r, std::int32_t c)
{
    return static_cast<std::uint64_t>(r) << indexBits | static_cast<std::uint64_t>(c);
}

std::int32_t weightOf(std::uint64_t key)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(key >> 2 * indexBits) ^
                                     0x80000000u);
}

std::int32_t rowOf(std::uint64_t key)
{
    return static_cast<std::int32_t>(key >> indexBits & ((1u << indexBits) - 1));
}

std::int32_t colOf(std::uint64_t key)
{
    return static_cast<std::int32_t>(key & ((1u << indexBits) - 1));
}

// One bit per column; each row of the bit table is this many words at most.
constexpr std::int32_t maxWords = (maxVer + 63) / 64;

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

// Bits of the count entries from p that a row takes: those below lim, and
// the first equal ones of them that are at most lim.
std::uint64_t takenBits(const std::int32_t* p, std::int32_t count, std::int32_t lim,
                        std::int32_t equal)
{
    std::uint64_t word = 0;
    if (count < 64 || (equal > 0 && equal < 64)) {
        for (std::int32_t j = 0; j < count; ++j)
            word |= std::uint64_t{p[j] < lim + (j < equal)} << j;
        return word;
    }
    // A whole word under one bound: flags in bytes, which the compiler does
    // many at a time, then eight bytes of 0 or 1 into eight bits by one
    // multiplication that gathers byte k's bit at bit 56 + k.
    const std::int32_t bound = equal > 0 ? lim + 1 : lim;
    std::uint8_t flag[64];
    for (int j = 0; j < 64; ++j)
        flag[j] = p[j] < bound;
    for (int i = 0; i < 8; ++i) {
        std::uint64_t eight = 0;
        if constexpr (std::endian::native == std::endian::little)
            std::memcpy(&eight, flag + 8 * i, 8);
        else
            for (int k = 0; k < 8; ++k)
                eight |= std::uint64_t{flag[8 * i + k]} << 8 * k;
        word |= (eight * 0x0102040810204080u) >> 56 << 8 * i;
    }
    return word;
}

}  // namespace

struct TreeWork {
    std::uint8_t used[matrixSize];
    std::int32_t joined[matrixSize];     // the tree's vertices in the order they joined
    std::uint64_t accepted[matrixSize];  // accepted[t]: the key of the t-th edge, from 1
    std::int32_t left[matrixSize];       // the vertices outside the tree, ascending
    std::uint64_t least[matrixSize];     // the least key into left[i] from a tree row
    // A tree row takes its entries below below[r], and those equal to it in
    // columns up to upTo[r].
    std::int32_t below[matrixSize];
    std::int32_t upTo[matrixSize];
    // The entries taken, then those or their mirrors; row r at (r - 1) * words.
    std::uint64_t bits[std::size_t{64} * maxWords * maxWords];
};

TreeWork* reserveTreeWork()
{
    return new (std::nothrow) TreeWork;
}

void writeUnreached(const std::uint8_t* used, std::int32_t n, std::ostream& err)
{
    std::int32_t missed = 0;
    for (std::int32_t v = 1; v <= n; ++v)
        missed += used[v] == 0;
    err << "Ошибка: из вершины 1 нельзя дойти до " << (missed == 1 ? "вершины " : "вершин ");
    const char* sep = "";
    for (std::int32_t v = 1; v <= n; ++v)
        if (used[v] == 0) {
            err << sep << v;
            sep = ", ";
        }
    err << ", поэтому охватывающего дерева нет.\n";
}

namespace {

// Grows the tree: each step accepts the least key from a tree row into a
// vertex outside the tree, kept per vertex in work.least. Returns how many
// edges were accepted.
std::int32_t grow(std::int32_t inf, std::int32_t n, std::int32_t** adj, TreeWork& work,
                  std::int64_t& treeCost, std::ostream& out)
{
    std::int32_t count = n - 1;  // vertices in work.left
    for (std::int32_t i = 0; i < count; ++i) {
        work.left[i] = i + 2;
        work.least[i] = noKey;
    }
    work.joined[0] = 1;
    std::int32_t u = 1;  // the vertex that joined last
    std::int32_t t = 0;
    while (t < n - 1) {
        // Drop u from those left outside, then offer them u's entries.
        if (t > 0) {
            std::int32_t* const at = std::lower_bound(work.left, work.left + count, u);
            const auto i = at - work.left;
            std::copy(at + 1, work.left + count, at);
            std::copy(work.least + i + 1, work.least + count, work.least + i);
            --count;
        }
        const std::int32_t* line = adj[u];
        const std::uint64_t from = rowColOf(u, 0);
        std::uint64_t best = noKey;
        for (std::int32_t i = 0; i < count; ++i) {
            const std::int32_t v = work.left[i];
            const std::int32_t w = line[v];
            const std::uint64_t key =
                w < inf ? keyOf(w, from | static_cast<std::uint64_t>(v)) : noKey;
            work.least[i] = std::min(work.least[i], key);
            best = std::min(best, work.least[i]);
        }
        if (best == noKey)
            break;
        u = colOf(best);
        out << "\nИз " << rowOf(best) << " вершины в " << u
            << " вершину, ребро = " << weightOf(best);
        treeCost += weightOf(best);
        work.used[u] = 1;
        work.accepted[++t] = best;
        work.joined[t] = u;
    }
    return t;
}

// What each row takes: the row of the j-th vertex to join takes its entries
// with keys up to the greatest key accepted after it, every entry below inf
// when the tree got stuck; rows outside the tree take nothing.
void setLimits(std::int32_t inf, std::int32_t n, std::int32_t joinedCount, bool stuck,
               TreeWork& work)
{
    for (std::int32_t r = 1; r <= n; ++r) {
        work.below[r] = std::numeric_limits<std::int32_t>::min();
        work.upTo[r] = 0;
    }
    std::uint64_t most = 0;  // below every key
    for (std::int32_t j = joinedCount; j >= 0; --j) {
        const std::int32_t r = work.joined[j];
        if (stuck) {
            work.below[r] = inf;
        } else if (j < joinedCount) {
            most = std::max(most, work.accepted[j + 1]);
            const std::int32_t row = rowOf(most);
            work.below[r] = weightOf(most);
            work.upTo[r] = r < row ? n : r == row ? colOf(most) : 0;
        }
    }
}

// Erases every entry taken and its mirror; returns how many passes took
// them, one per pair of mirrors and one per diagonal entry.
std::int64_t erase(std::int32_t inf, std::int32_t n, std::int32_t** adj, TreeWork& work)
{
    const std::int32_t words = (n + 63) / 64;
    const auto at = [&](std::int32_t r, std::int32_t k) {
        return work.bits + static_cast<std::size_t>(r - 1) * static_cast<std::size_t>(words) +
               static_cast<std::size_t>(k);
    };
    // The entries taken, row by row; the rows that pad the last block hold none.
    for (std::int32_t r = 1; r <= 64 * words; ++r)
        for (std::int32_t k = 0; k < words; ++k) {
            const std::int32_t c = 64 * k + 1;
            *at(r, k) = r > n ? 0
                              : takenBits(adj[r] + c, std::min(64, n - c + 1), work.below[r],
                                          work.upTo[r] - c + 1);
        }
    // Each 64 x 64 block with its mirror block's bits transposed.
    std::uint64_t a[64], b[64];
    for (std::int32_t i = 0; i < words; ++i)
        for (std::int32_t k = i; k < words; ++k) {
            for (std::int32_t j = 0; j < 64; ++j) {
                a[j] = *at(64 * i + j + 1, k);
                b[j] = *at(64 * k + j + 1, i);
            }
            transpose(b);
            for (std::int32_t j = 0; j < 64; ++j)
                a[j] |= b[j];
            std::copy(a, a + 64, b);
            transpose(b);
            for (std::int32_t j = 0; j < 64; ++j) {
                *at(64 * i + j + 1, k) = a[j];
                *at(64 * k + j + 1, i) = b[j];
            }
        }
    std::int64_t marked = 0, diagonal = 0;
    for (std::int32_t r = 1; r <= n; ++r) {
        std::int32_t* line = adj[r];
        for (std::int32_t k = 0; k < words; ++k) {
            std::uint64_t m = *at(r, k);
            if (m == 0)
                continue;
            marked += std::popcount(m);
            std::int32_t* run = line + 64 * k + 1;
            if (m == ~std::uint64_t{0})
                std::fill(run, run + 64, inf);
            else
                for (; m != 0; m &= m - 1)
                    run[std::countr_zero(m)] = inf;
        }
        diagonal += static_cast<std::int64_t>(*at(r, (r - 1) / 64) >> ((r - 1) % 64) & 1);
    }
    return (marked + diagonal) / 2;
}

}  // namespace

// Prim's method over a distance table, with the entries that the literal
// search, one lightest live entry of a tree row per pass, would take and
// erase worked out afterwards. O(n^2).
Built minTree(std::int32_t inf, std::int32_t n, std::int32_t** adj, TreeWork& work,
              std::ostream& out, std::ostream& err)
{
    if (n > maxVer)
        return {};
    out << "\nМинимальное охватывающее дерево:";
    std::int64_t treeCost = 0;  // 9997 weights of 32 bits can overflow 32 bits
    Built built{true, 0};
    if (n > 1) {
        std::fill(work.used + 1, work.used + n + 1, std::uint8_t{0});
        work.used[1] = 1;
        const std::int32_t joinedCount = grow(inf, n, adj, work, treeCost, out);
        built.spanning = joinedCount == n - 1;
        setLimits(inf, n, joinedCount, !built.spanning, work);
        built.passes = erase(inf, n, adj, work);
        if (!built.spanning) {
            out << "\n";
            writeUnreached(work.used, n, err);
            return built;
        }
    }
    out << "\n";
    out << "\nМинимальная стоимость: " << treeCost << "\n";
    return built;
}
