#include "tree/min_tree.hpp"

#include "tree/head_queue.hpp"

#include <algorithm>
#include <limits>
#include <new>
#include <utility>

namespace {

// A hint to the cache; nothing where the compiler has none.
inline void prefetch(const void* p)
{
#if defined(__GNUC__)
    __builtin_prefetch(p);
#else
    (void)p;
#endif
}

// Widest span of weights in a row that is sorted by counting.
constexpr std::int32_t countMax = 2 * matrixSize;

// Writes the columns of line's entries below inf to to, ordered by weight and
// then column, and returns how many there are. By counting when the weights
// span fewer than countMax values, by their digits otherwise; O(n + span) or
// O(n) either way. spare has room for two rows of keys.
std::int32_t sortRow(const std::int32_t* line, std::int32_t n, std::int32_t inf, std::uint16_t* to,
                     std::int32_t* count, std::uint64_t* spare)
{
    std::int32_t lo = inf, hi = std::numeric_limits<std::int32_t>::min(), kept = 0;
    for (std::int32_t c = 1; c <= n; ++c)
        if (line[c] < inf) {
            lo = std::min(lo, line[c]);
            hi = std::max(hi, line[c]);
            ++kept;
        }
    if (kept == 0)
        return 0;
    if (std::int64_t{hi} - lo < countMax) {
        const auto span = static_cast<std::int32_t>(hi - lo + 1);
        std::fill(count, count + span, 0);
        for (std::int32_t c = 1; c <= n; ++c)
            if (line[c] < inf)
                ++count[line[c] - lo];
        // Counts become each weight's first place; ascending columns within it.
        std::int32_t at = 0;
        for (std::int32_t k = 0; k < span; ++k)
            at += std::exchange(count[k], at);
        for (std::int32_t c = 1; c <= n; ++c)
            if (line[c] < inf)
                to[count[line[c] - lo]++] = static_cast<std::uint16_t>(c);
    } else {
        // (biased weight, column) as one number; stable by 11 bits of the
        // weight at a time, lowest first, so equal weights keep their
        // ascending columns. A digit that all share is skipped.
        std::uint64_t* from = spare;
        std::uint64_t* into = spare + matrixSize;
        std::int32_t at = 0;
        for (std::int32_t c = 1; c <= n; ++c)
            if (line[c] < inf)
                from[at++] = std::uint64_t{static_cast<std::uint32_t>(line[c]) ^ 0x80000000u}
                                 << 16 |
                             static_cast<std::uint64_t>(c);
        for (int shift = 16; shift < 48; shift += 11) {
            const auto digit = [shift](std::uint64_t key) {
                return static_cast<std::int32_t>(key >> shift & 0x7ff);
            };
            std::fill(count, count + 2048, 0);
            for (std::int32_t k = 0; k < kept; ++k)
                ++count[digit(from[k])];
            if (count[digit(from[0])] == kept)
                continue;
            at = 0;
            for (std::int32_t k = 0; k < 2048; ++k)
                at += std::exchange(count[k], at);
            for (std::int32_t k = 0; k < kept; ++k)
                into[count[digit(from[k])]++] = from[k];
            std::swap(from, into);
        }
        for (std::int32_t k = 0; k < kept; ++k)
            to[k] = static_cast<std::uint16_t>(from[k] & 0xffffu);
    }
    return kept;
}

}  // namespace

struct TreeWork {
    // Each tree row's entries below inf by weight, then column; row r at (r - 1) * n.
    std::uint16_t order[std::size_t{maxVer} * maxVer];
    std::int32_t count[countMax];         // sortRow's tally
    std::uint64_t spare[2 * matrixSize];  // sortRow's keys, in two buffers
    HeadQueue queue;
};

TreeWork* reserveTreeWork()
{
    return new (std::nothrow) TreeWork;
}

void fillsWhole(TreeWork& work, std::int32_t n, void (*advise)(void*, std::size_t))
{
    if (n > 1 && n <= maxVer)
        advise(work.order,
               sizeof(std::uint16_t) * static_cast<std::size_t>(n) * static_cast<std::size_t>(n));
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

// Prim's method in passes: each pass takes the lightest entry of a tree row,
// the first in row-major order among equals, reports it when it leads out of
// the tree, and erases it with its mirror. A row is sorted once, when it joins
// the tree; a cursor walks it past erased entries, and a queue over the rows'
// cursors picks each pass's row. O(n^2) to sort, O(1) a pass when the weights
// span fewer than bitSpan values, O(log n) otherwise.
Built minTree(std::int32_t inf, std::int32_t n, std::int32_t** adj, TreeWork& work,
              std::ostream& out, std::ostream& err)
{
    if (n > maxVer)
        return {};
    const std::int32_t m = std::max(n, 1);
    std::uint8_t used[matrixSize];
    std::int32_t head[matrixSize];  // a tree row's lightest live entry, as a place in order
    std::int32_t stop[matrixSize];  // the end of the row's entries in order
    std::uint16_t* const order = work.order;
    HeadQueue& queue = work.queue;
    std::fill(used + 1, used + m + 1, std::uint8_t{0});
    used[1] = 1;
    std::int32_t size = 1;
    std::int64_t treeCost = 0;  // 9997 weights of 32 bits can overflow 32 bits
    std::int64_t passes = 0;

    // Moves row r's cursor past erased entries and requeues the row.
    const auto settle = [&](std::int32_t r) {
        const std::int32_t* line = adj[r];
        while (head[r] < stop[r] && line[order[head[r]]] >= inf)
            ++head[r];
        const bool has = head[r] < stop[r];
        setHead(queue, r, has, has ? line[order[head[r]]] : inf);
    };
    const auto join = [&](std::int32_t r) {
        head[r] = (r - 1) * n;
        stop[r] = head[r] + sortRow(adj[r], n, inf, order + head[r], work.count, work.spare);
        settle(r);
    };

    out << "\nМинимальное охватывающее дерево:";
    if (size < n) {
        // The lightest weight decides the queue's form; every key lies in lo..inf-1.
        std::int32_t lo = inf;
        for (std::int32_t r = 1; r <= n; ++r)
            lo = std::min(lo, *std::min_element(adj[r] + 1, adj[r] + n + 1));
        startQueue(queue, n, std::min(lo, inf - 1), inf - 1);
        join(1);
    }
    while (size < n) {
        const std::int32_t row = leastRow(queue);
        if (row == 0) {
            // No edge leaves the tree: the rest of the graph is out of reach.
            out << "\n";
            writeUnreached(used, n, err);
            return {false, passes};
        }
        // Equal weights go to ascending rows, so the next rows are often the
        // next passes': fetch their sorted entries, then their matrix lines.
        if (row + 8 <= n && used[row + 8] != 0 && head[row + 8] < stop[row + 8])
            prefetch(order + head[row + 8]);
        if (row + 4 <= n && used[row + 4] != 0 && head[row + 4] < stop[row + 4])
            prefetch(adj[row + 4] + order[head[row + 4]]);
        const std::int32_t col = order[head[row]];
        const std::int32_t w = adj[row][col];
        ++passes;
        const bool joins = used[col] == 0;
        if (joins) {
            out << "\nИз " << row << " вершины в " << col << " вершину, ребро = " << w;
            ++size;
            treeCost += w;
            used[col] = 1;
        }
        adj[col][row] = inf;
        adj[row][col] = inf;

        ++head[row];
        settle(row);
        // The mirror's erasure matters to a new row, which is sorted without
        // it, and to a tree row whose lightest live entry it was.
        if (joins)
            join(col);
        else if (col != row && head[col] < stop[col] && order[head[col]] == row)
            settle(col);
    }
    out << "\n";
    out << "\nМинимальная стоимость: " << treeCost << "\n";
    return {true, passes};
}
