// A matrix of just the size a test needs, indexed from 1 like the program's,
// with the room the tree construction needs beside it.
#pragma once

#include <cstdint>
#include <vector>

#include "isa/isa.hpp"
#include "tree/min_tree.hpp"

struct SmallMatrix {
    std::vector<std::vector<std::int32_t>> rows;
    std::vector<std::int32_t*> ptrs;

    // n x n, every entry set to fill; rows and columns 1..n are the vertices.
    explicit SmallMatrix(std::int32_t n, std::int32_t fill = -77)
        : rows(static_cast<std::size_t>(n + 1),
               std::vector<std::int32_t>(static_cast<std::size_t>(n + 1), fill))
    {
        point();
    }

    // From typed rows, with each 0 turned into inf as the input does.
    SmallMatrix(const std::vector<std::vector<std::int32_t>>& typed, std::int32_t inf)
        : SmallMatrix(static_cast<std::int32_t>(typed.size()))
    {
        for (std::size_t r = 0; r < typed.size(); ++r)
            for (std::size_t c = 0; c < typed.size(); ++c)
                rows[r + 1][c + 1] = typed[r][c] == 0 ? inf : typed[r][c];
    }

    // A copy points at its own rows.
    SmallMatrix(const SmallMatrix& other) : rows(other.rows) { point(); }
    SmallMatrix& operator=(const SmallMatrix&) = delete;

    std::int32_t** adj() { return ptrs.data(); }
    // minTree's working storage with isa's kernels: one a set, as the program has one, so
    // that what one construction leaves there is what the next one finds.
    static TreeWork& work(Isa isa)
    {
        static TreeWork* shared[3] = {};
        TreeWork*& w = shared[static_cast<std::size_t>(isa)];
        w = w != nullptr ? w : reserveTreeWork(treeKernels(isa));
        return *w;
    }

private:
    void point()
    {
        for (auto& row : rows)
            ptrs.push_back(row.data());
    }
};
