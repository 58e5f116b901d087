// The adjacency matrix's storage: reserved once at its full size, its rows
// laid out for the graph at hand.
#pragma once

#include <cstddef>
#include <cstdint>

// Weight that means "no edge": neither it nor anything heavier is ever chosen.
constexpr std::int32_t noEdge = 100;

// Most vertices a graph can have: rows and columns 1..maxVer of the matrix.
constexpr std::int32_t maxVer = 9998;

// Slots per dimension; slot 0 is never a vertex.
constexpr std::int32_t matrixSize = maxVer + 1;

// Reserves the row table and rows 1..maxVer as one block. Entries are left
// unset, so pages that are never written never become resident. nullptr when
// memory runs out.
std::int32_t** reserveMatrix();

// Lays rows 1..kolVer of a graph of kolVer vertices side by side in the
// block, kolVer + 1 slots apart, so that a small graph touches a few pages
// rather than one or more a row; then tells advise the stretch they fill.
void layRows(std::int32_t** adj, std::int32_t kolVer, void (*advise)(void*, std::size_t));
