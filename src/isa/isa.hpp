// The instruction sets that the reader's and the tree's inner loops are
// written for, and which of them this processor has.
#pragma once

#include <vector>

// The ways of running the inner loops: plain code, or the vector
// instructions of SSE2, or of AVX2 with POPCNT. Every way gives the same
// results.
enum class Isa { scalar, sse2, avx2 };

// Whether this processor can take isa.
bool hasIsa(Isa isa);

// The ways this processor can take, the fastest last.
std::vector<Isa> isas();
