/**
 * Description: Minimum spanning tree grown from vertex 1 by Prim's method over a
 *  distance table of keys (weight, row, column): the row of a joining vertex is
 *  offered to the table, and the same sweep finds the least key, which joins next.
 *  In: rows and columns 1..n of adj, an entry of inf or more being no edge; inf at
 *  most noEdge (asserted). Ties: the lower row, then the lower column, joins first.
 *  Out: the report; in adj every entry the search took, and its mirror, set to inf.
 * Why the erasures: the program's interface leaves each entry a literal search (one
 *  least live entry of a tree row a pass, erased with its mirror) takes at inf; they
 *  are replayed by rule, inside the clock, with a bit table of n^2 / 8 bytes (12.6 MB
 *  at maxVer) and two kernels of their own. Time: O(n^2).
 * Status: report, passes and matrix afterwards checked against the literal
 *  search (tests/literal_min_tree.hpp; its quicker form above n = 64) on every
 *  path, all n <= 200 and 255..257, 20,000 random graphs and edge cases of the
 *  blocks; reports against a textbook Prim up to n = 3000.
 */
#pragma once

#include <cstdint>
#include <ostream>

#include "tree/kernels.hpp"
#include "tree/matrix.hpp"

// What one construction came to.
struct Built {
    bool spanning = false;    // every vertex was reached from vertex 1
    std::int64_t passes = 0;  // entries taken and erased, reported or not
};

// minTree's working storage: per-vertex tables and the erasures' bit table,
// and the kernels of the instruction set it runs.
struct TreeWork;

// Reserves the working storage at full capacity, so that a construction
// reserves nothing. Its pages become resident only as a graph uses them.
// nullptr when memory runs out.
TreeWork* reserveTreeWork(const TreeKernels& kernels);

// Touches the pages a graph of n vertices will use, as the input touches the
// matrix's, so that the construction meets no first touch.
void prepareTreeWork(TreeWork& work, std::int32_t n);

// Grows the tree from vertex 1 over rows and columns 1..n of adj, writing each
// edge to out as it joins and then the total cost. Entries of inf or more are
// no edge. Every entry taken is erased with its mirror (set to inf). When some vertex cannot be
// reached from vertex 1, the report stops after the edges found and err names the vertices left
// out. An n above maxVer is refused with no report.
Built minTree(std::int32_t inf, std::int32_t n, std::int32_t** adj, TreeWork& work,
              std::ostream& out, std::ostream& err);

// Writes the message naming every vertex 2..n whose flag in used is 0.
void writeUnreached(const std::uint8_t* used, std::int32_t n, std::ostream& err);
