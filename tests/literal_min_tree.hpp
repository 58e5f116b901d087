// The tree construction written literally: every pass scans the whole n x n
// block, weight first, then the row's flag. O(n^2) per pass. The reference
// that the program's faster search must match, pass for pass.
#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

#include "tree/min_tree.hpp"

inline Built literalMinTree(std::int32_t inf, std::int32_t n, std::int32_t** adj, std::ostream& out,
                            std::ostream& err)
{
    if (n > maxVer)
        return {};
    std::vector<std::uint8_t> flags(matrixSize, 0);  // too many for the stack of a fuzzer
    std::uint8_t* used = flags.data();
    used[1] = 1;
    std::int32_t size = 1;
    std::int64_t treeCost = 0;
    std::int64_t passes = 0;

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
            out << "\n";
            writeUnreached(used, n, err);
            return {false, passes};
        }
        ++passes;
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
    return {true, passes};
}

// The same passes, with each tree row's least live entry remembered until a
// pass erases it: O(n) a pass rather than O(n^2), for graphs too large for
// the literal search. Checked against it where both run.
inline Built rememberingMinTree(std::int32_t inf, std::int32_t n, std::int32_t** adj,
                                std::ostream& out, std::ostream& err)
{
    if (n > maxVer)
        return {};
    std::vector<std::uint8_t> flags(matrixSize, 0);
    std::uint8_t* used = flags.data();
    std::vector<std::int32_t> leastCol(matrixSize, 0);  // 0: no entry below inf
    const auto remember = [&](std::int32_t r) {
        std::int32_t w = inf;
        leastCol[static_cast<std::size_t>(r)] = 0;
        for (std::int32_t c = 1; c <= n; ++c)
            if (adj[r][c] < w) {
                w = adj[r][c];
                leastCol[static_cast<std::size_t>(r)] = c;
            }
    };
    used[1] = 1;
    if (n >= 1)
        remember(1);
    std::int32_t size = 1;
    std::int64_t treeCost = 0;
    std::int64_t passes = 0;

    out << "\nМинимальное охватывающее дерево:";
    while (size < n) {
        std::int32_t w = inf;
        std::int32_t row = 0;
        std::int32_t col = 0;
        for (std::int32_t r = 1; r <= n; ++r) {
            const std::int32_t c = leastCol[static_cast<std::size_t>(r)];
            if (used[r] != 0 && c != 0 && adj[r][c] < w) {
                w = adj[r][c];
                row = r;
                col = c;
            }
        }
        if (row == 0) {
            out << "\n";
            writeUnreached(used, n, err);
            return {false, passes};
        }
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
        remember(row);
        if (joins || leastCol[static_cast<std::size_t>(col)] == row)
            remember(col);
    }
    out << "\n";
    out << "\nМинимальная стоимость: " << treeCost << "\n";
    return {true, passes};
}
