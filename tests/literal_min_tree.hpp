// The tree construction written literally, and a quicker form of it: the
// references that the program's faster search must match, pass for pass.
#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

#include "tree/erasures.hpp"
#include "tree/min_tree.hpp"

// The passes both references make and what they write. Each pass takes least(used), the least live
// entry of a tree row by (weight, row, column), row 0 when there is none; reports it if it joins a
// vertex; erases it with its mirror either way, and tells erased(row, column, whether it joined).
template <class Least, class Erased>
Built searchPasses(std::int32_t inf, std::int32_t n, std::int32_t** adj, std::ostream& out,
                   std::ostream& err, Least least, Erased erased)
{
    std::vector<std::uint8_t> flags(matrixSize, 0);  // too many for the stack of a fuzzer
    std::uint8_t* used = flags.data();
    used[1] = 1;
    std::int32_t size = 1;
    std::int64_t treeCost = 0, passes = 0;

    out << "\nМинимальное охватывающее дерево:";
    while (size < n) {
        const Edge e = least(used);
        if (e.from == 0) {
            out << "\n";
            writeUnreached(used, n, err);
            return {false, passes};
        }
        ++passes;
        const bool joins = used[e.to] == 0;
        if (joins) {
            out << "\nИз " << e.from << " вершины в " << e.to << " вершину, ребро = " << e.w;
            ++size;
            treeCost += e.w;
            used[e.to] = 1;
        }
        adj[e.to][e.from] = inf;
        adj[e.from][e.to] = inf;
        erased(e.from, e.to, joins);
    }
    out << "\n\nМинимальная стоимость: " << treeCost << "\n";
    return {true, passes};
}

// Every pass scans the whole n x n block, weight first, then the row's flag. O(n^2) per pass.
inline Built literalMinTree(std::int32_t inf, std::int32_t n, std::int32_t** adj, std::ostream& out,
                            std::ostream& err)
{
    if (n > maxVer)
        return {};
    const auto least = [&](const std::uint8_t* used) {
        Edge best{inf, 0, 0};
        for (std::int32_t r = 1; r <= n; ++r)
            for (std::int32_t c = 1; c <= n; ++c)
                if (adj[r][c] < best.w && used[r] != 0)
                    best = {adj[r][c], r, c};
        return best;
    };
    return searchPasses(inf, n, adj, out, err, least, [](std::int32_t, std::int32_t, bool) {});
}

// The same passes, with each tree row's least live entry remembered until a
// pass erases it: O(n) a pass rather than O(n^2), for graphs too large for
// the literal search. Checked against it where both run.
inline Built rememberingMinTree(std::int32_t inf, std::int32_t n, std::int32_t** adj,
                                std::ostream& out, std::ostream& err)
{
    if (n > maxVer)
        return {};
    std::vector<std::int32_t> leastCol(matrixSize, 0);  // 0: no entry below inf
    const auto remember = [&](std::int32_t r) {
        std::int32_t& best = leastCol[static_cast<std::size_t>(r)];
        best = 0;
        for (std::int32_t c = 1; c <= n; ++c)
            if (adj[r][c] < (best == 0 ? inf : adj[r][best]))
                best = c;
    };
    if (n >= 1)
        remember(1);
    const auto least = [&](const std::uint8_t* used) {
        Edge best{inf, 0, 0};
        for (std::int32_t r = 1; r <= n; ++r) {
            const std::int32_t c = leastCol[static_cast<std::size_t>(r)];
            if (used[r] != 0 && c != 0 && adj[r][c] < best.w)
                best = {adj[r][c], r, c};
        }
        return best;
    };
    const auto erased = [&](std::int32_t row, std::int32_t col, bool joins) {
        remember(row);
        if (joins || leastCol[static_cast<std::size_t>(col)] == row)
            remember(col);
    };
    return searchPasses(inf, n, adj, out, err, least, erased);
}
