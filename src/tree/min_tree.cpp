#include "tree/min_tree.hpp"

namespace {

// Lightest entry below inf among columns 1..n of a row, and the first column
// that holds it; inf and column 0 when there is none. O(n).
void lightest(const std::int32_t* line, std::int32_t n, std::int32_t inf, std::int32_t& w,
              std::int32_t& col)
{
    w = inf;
    col = 0;
    for (std::int32_t c = 1; c <= n; ++c)
        if (line[c] < w) {
            w = line[c];
            col = c;
        }
}

}  // namespace

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
// the tree, and erases it with its mirror. Each tree row's lightest entry is
// kept, and a pass changes at most two rows, so a pass costs O(n) instead of
// scanning the whole block; up to O(n^2) passes in all.
bool minTree(std::int32_t inf, std::int32_t n, std::int32_t** adj, std::ostream& out,
             std::ostream& err)
{
    if (n > maxVer)
        return false;
    std::uint8_t used[maxVer + 1] = {};
    std::int32_t low[maxVer + 1];     // lightest entry of a tree row, inf when none
    std::int32_t lowCol[maxVer + 1];  // the first column holding it
    used[1] = 1;
    std::int32_t size = 1;
    std::int64_t treeCost = 0;  // 98 weights of 32 bits can overflow 32 bits

    out << "\nМинимальное охватывающее дерево:";
    if (size < n)
        lightest(adj[1], n, inf, low[1], lowCol[1]);
    while (size < n) {
        // Strict less over ascending rows keeps the lowest row among equals.
        std::int32_t w = inf;
        std::int32_t row = 0;
        for (std::int32_t r = 1; r <= n; ++r)
            if (used[r] != 0 && low[r] < w) {
                w = low[r];
                row = r;
            }
        if (row == 0) {
            // No edge leaves the tree: the rest of the graph is out of reach.
            out << "\n";
            writeUnreached(used, n, err);
            return false;
        }
        const std::int32_t col = lowCol[row];
        const bool joins = used[col] == 0;
        if (joins) {
            out << "\nИз " << row << " вершины в " << col << " вершину, ребро = " << w;
            ++size;
            treeCost += w;
            used[col] = 1;
        }
        adj[col][row] = inf;
        adj[row][col] = inf;

        lightest(adj[row], n, inf, low[row], lowCol[row]);
        // Row col changed only where the mirror was erased; that matters when
        // it is new to the tree or the mirror was its lightest entry.
        if (col != row && (joins || lowCol[col] == row))
            lightest(adj[col], n, inf, low[col], lowCol[col]);
    }
    out << "\n";
    out << "\nМинимальная стоимость: " << treeCost << "\n";
    return true;
}
