#include "tree/min_tree.hpp"

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

// Each pass scans the whole n x n block for the lightest entry of a tree row,
// the first one in row-major order among equals: O(n^2) per pass.
bool minTree(std::int32_t inf, std::int32_t n, std::int32_t** adj, std::ostream& out,
             std::ostream& err)
{
    if (n > maxVer)
        return false;
    std::uint8_t used[maxVer + 1] = {};
    used[1] = 1;
    std::int32_t size = 1;
    std::int64_t treeCost = 0;  // 98 weights of 32 bits can overflow 32 bits

    out << "\nМинимальное охватывающее дерево:";
    while (size < n) {
        std::int32_t w = inf;
        std::int32_t row = 0;
        std::int32_t col = 0;
        for (std::int32_t r = 1; r <= n; ++r)
            for (std::int32_t c = 1; c <= n; ++c)
                if (adj[r][c] < w && used[r] != 0) {
                    w = adj[r][c];
                    row = r;
                    col = c;
                }
        if (row == 0) {
            // No edge leaves the tree: the rest of the graph is out of reach.
            out << "\n";
            writeUnreached(used, n, err);
            return false;
        }
        if (used[row] == 0 || used[col] == 0) {
            out << "\nИз " << row << " вершины в " << col << " вершину, ребро = " << w;
            ++size;
            treeCost += w;
            used[col] = 1;
        }
        adj[col][row] = inf;
        adj[row][col] = inf;
    }
    out << "\n";
    out << "\nМинимальная стоимость: " << treeCost << "\n";
    return true;
}
