// Minimum spanning tree grown from vertex 1 (Prim's method), with its report.
#pragma once

#include <cstdint>
#include <iostream>

// Most vertices a tree can have: used[] keeps flags for vertices 1..99.
constexpr std::int32_t maxVer = 99;

// Grows the tree from vertex 1 over rows and columns 1..n of adj, writing each
// edge to out as it joins and then the total cost. Entries of inf or more are
// no edge. Every entry considered is erased with its mirror (set to inf).
// Returns false when some vertex cannot be reached from vertex 1: the report
// then stops after the edges found and err names the vertices left out.
// Needs n <= maxVer; a larger n is refused with false and no report.
bool minTree(std::int32_t inf, std::int32_t n, std::int32_t** adj, std::ostream& out = std::cout,
             std::ostream& err = std::cerr);

// Writes the message naming every vertex 2..n whose flag in used is 0.
void writeUnreached(const std::uint8_t* used, std::int32_t n, std::ostream& err);
