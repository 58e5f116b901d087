// Asking the user for the vertex count and the adjacency matrix: the
// messages on bad input, and at a terminal or a console the questions again.
#pragma once

#include <cstdint>
#include <iostream>

#include "tree/matrix.hpp"

struct Input;

// Reads the vertex count (at most maxVer). On bad input writes a message to
// err and returns false; where the input is typed at a terminal or a
// console, a bad or too large count is asked again on out instead.
bool readCount(Input& in, std::int32_t& kolVer, std::ostream& err, std::ostream& out = std::cout);

// Reads rows 1..kolVer of adj row by row; a typed 0 becomes inf, no edge.
// On bad input writes a message to err and returns false; where the input is
// typed, the row of a bad token is asked again on out from its first column.
bool readMatrix(std::int32_t** adj, std::int32_t kolVer, std::int32_t inf, Input& in,
                std::ostream& err, std::ostream& out = std::cout);
