#include "tree/min_tree.hpp"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cstddef>
#include <cstring>
#include <new>

#include "tree/erasures.hpp"

namespace {

// Lanes the per-vertex tables hold past the last vertex, and their alignment:
// a register of any width reads whole lanes there, from vertex 1 on.
constexpr std::int32_t pad = 16;
static_assert(pad % 16 == 0 && pad >= 8, "vertex 1 starts a cache line; 8 lanes close the end");
static_assert(noEdge + 1 <= rowShift, "an open lane's row never caps its bound, nor inf + 1 wraps");
static_assert(maxVer < noRow - rowShift, "every row + rowShift is below noRow");

}  // namespace

struct TreeWork {
    explicit TreeWork(const TreeKernels& k) : kernels(&k) {}
    std::uint8_t used[matrixSize];
    Edge edges[matrixSize];  // edges[t]: the t-th edge accepted, from 1
    // For each vertex v outside the tree, the least weight of an entry into
    // it from a tree row, and that row + rowShift, the lowest among equals:
    // at least + pad - 1 + v, from + pad - 1 + v. A vertex in the tree has
    // closedWeight and closedRow there.
    alignas(64) std::int32_t least[matrixSize + 2 * pad];
    alignas(64) std::int32_t from[matrixSize + 2 * pad];
    Replay replay;  // with its bits last: a graph uses a prefix of the storage, up to them
    const TreeKernels* kernels;
};

TreeWork* reserveTreeWork(const TreeKernels& kernels)
{
    return new (std::nothrow) TreeWork(kernels);
}

void prepareTreeWork(TreeWork& work, std::int32_t n)
{
    const std::size_t bits = erasureBits(std::clamp(n, 0, maxVer)) * sizeof(std::uint64_t);
    std::memset(static_cast<void*>(&work), 0, offsetof(TreeWork, replay.bits) + bits);
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

// Appends text without its terminating zero.
template <std::size_t size>
char* put(char* p, const char (&text)[size])
{
    std::memcpy(p, text, size - 1);
    return p + size - 1;
}

// A 32-bit number in decimal, as stream insertion writes it: 11 bytes at most.
char* putNumber(char* p, std::int32_t v)
{
    return std::to_chars(p, p + 11, v).ptr;
}

// One edge line, written at once.
void writeEdge(std::ostream& out, const Edge& e)
{
    char line[128];
    char* p = put(line, "\nИз ");
    p = putNumber(p, e.from);
    p = put(p, " вершины в ");
    p = putNumber(p, e.to);
    p = put(p, " вершину, ребро = ");
    p = putNumber(p, e.w);
    out.write(line, p - line);
}

// Grows the tree; returns how many edges were accepted. Only the columns
// between the first and the last vertex outside the tree are offered a row.
std::int32_t grow(std::int32_t inf, std::int32_t n, std::int32_t** adj, TreeWork& work,
                  std::int64_t& treeCost, std::ostream& out)
{
    std::int32_t* const least = work.least + pad - 1;
    std::int32_t* const from = work.from + pad - 1;
    least[1] = closedWeight;
    from[1] = closedRow;
    for (std::int32_t v = 2; v <= n; ++v) {
        least[v] = inf;
        from[v] = noRow;
    }
    for (std::int32_t v = n + 1; v <= n + pad; ++v) {
        least[v] = closedWeight;
        from[v] = closedRow;
    }
    std::int32_t lo = 2, hi = n;  // every vertex outside the tree is between them
    std::int32_t u = 1;           // the vertex that joined last
    std::int32_t t = 0;
    while (t < n - 1) {
        // lo down to 1 past a multiple of 8, where loads align; lanes below lo are closed.
        const Candidate best = work.kernels->offer(adj[u], least, from, 1 + ((lo - 1) & ~7), hi, u);
        if (best.w >= inf)
            break;
        u = best.c;
        const Edge e{best.w, best.r - rowShift, u};
        writeEdge(out, e);
        treeCost += e.w;
        work.used[u] = 1;
        least[u] = closedWeight;
        from[u] = closedRow;
        work.edges[++t] = e;
        while (lo < hi && work.used[lo] != 0)
            ++lo;
        while (hi > lo && work.used[hi] != 0)
            --hi;
    }
    return t;
}

}  // namespace

Built minTree(std::int32_t inf, std::int32_t n, std::int32_t** adj, TreeWork& work,
              std::ostream& out, std::ostream& err)
{
    assert(inf <= noEdge);
    if (n > maxVer)
        return {};
    out << "\nМинимальное охватывающее дерево:";
    std::int64_t treeCost = 0;  // 9997 weights of 32 bits can overflow 32 bits
    Built built{true, 0};
    if (n > 1) {
        std::fill(work.used + 1, work.used + n + 1, std::uint8_t{0});
        work.used[1] = 1;
        const std::int32_t count = grow(inf, n, adj, work, treeCost, out);
        built.spanning = count == n - 1;
        built.passes =
            eraseTaken(inf, n, adj, std::span(work.edges + 1, static_cast<std::size_t>(count)),
                       built.spanning, work.replay, work.kernels->taken);
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
