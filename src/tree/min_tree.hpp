// Minimum spanning tree grown from vertex 1 (Prim's method), with its report.
#pragma once

#include <cstdint>
#include <iostream>

#include "dialogue/matrix.hpp"

// What one construction came to.
struct Built {
    bool spanning = false;    // every vertex was reached from vertex 1
    std::int64_t passes = 0;  // entries taken and erased, reported or not
};

// minTree's working storage: per-vertex tables.
struct TreeWork;

// Reserves the working storage at full capacity, so that a construction
// reserves nothing. Its pages become resident only as a graph uses them.
// nullptr when memory runs out.
TreeWork* reserveTreeWork();

// Grows the tree from vertex 1 over rows and columns 1..n of adj, writing each
// edge to out as it joins and then the total cost. Entries of inf or more are
// no edge. Every entry taken is erased with its mirror (set to inf). When some vertex cannot be
// reached from vertex 1, the report stops after the edges found and err names the vertices left
// out. An n above maxVer is refused with no report.
Built minTree(std::int32_t inf, std::int32_t n, std::int32_t** adj, TreeWork& work,
              std::ostream& out = std::cout, std::ostream& err = std::cerr);

// Writes the message naming every vertex 2..n whose flag in used is 0.
void writeUnreached(const std::uint8_t* used, std::int32_t n, std::ostream& err);
