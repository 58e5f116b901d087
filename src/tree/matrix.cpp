#include "tree/matrix.hpp"

#include <new>

std::int32_t** reserveMatrix()
{
    std::int32_t** adj = new (std::nothrow) std::int32_t*[matrixSize];
    // One block carved into rows: no per-row header is written, so a row's
    // pages stay untouched until the input reaches them.
    std::int32_t* rows = new (std::nothrow) std::int32_t[std::size_t{maxVer} * matrixSize];
    if (adj == nullptr || rows == nullptr) {
        delete[] adj;
        delete[] rows;
        return nullptr;
    }
    for (std::int32_t r = 1; r <= maxVer; ++r)
        adj[r] = rows + std::size_t{matrixSize} * static_cast<std::size_t>(r - 1);
    return adj;
}

void layRows(std::int32_t** adj, std::int32_t kolVer, void (*advise)(void*, std::size_t))
{
    if (kolVer < 1 || kolVer > maxVer)
        return;
    // Row 1 always starts the block, however the rows were laid before.
    std::int32_t* const block = adj[1];
    const auto stride = static_cast<std::size_t>(kolVer) + 1;
    for (std::int32_t r = 1; r <= kolVer; ++r)
        adj[r] = block + stride * static_cast<std::size_t>(r - 1);
    advise(block, sizeof(std::int32_t) * stride * static_cast<std::size_t>(kolVer));
}
