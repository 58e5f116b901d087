// The instruction sets that the reader's and the tree's inner loops are
// written for, and the choice of one for the whole run.
#pragma once

#include <vector>

// The ways of running the inner loops: plain code, or the vector
// instructions of SSE2, or of AVX2 with POPCNT. Every way gives the same
// results.
enum class Isa { scalar, sse2, avx2 };

// The ways this processor can take, the fastest last.
std::vector<Isa> isas();

// Makes the reader and the tree take isa from now on; it must be one of
// isas(). Until the first call they take the plain way.
void useIsa(Isa isa);
