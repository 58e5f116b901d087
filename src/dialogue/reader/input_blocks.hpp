// Taking the numbers of 64 bytes of the user's text at once, sorted into
// digits and blanks with the vector instructions the processor has.
#pragma once

#include <cstdint>

// Takes up to count numbers from the 64 bytes at p into row, each 0 as inf,
// where the block holds digits and blanks only, no number longer than two
// digits: each number then ends at a blank. A number cut by the block's end
// is left for the next block. How many it took, p moved past them; or -1,
// p unmoved, for any other block. p[-1] must be readable too, though it is
// no part of the block.
using BlockTaker = std::int32_t (*)(const char*& p, std::int32_t* row, std::int32_t count,
                                    std::int32_t inf);

// One instruction set's kernels: take is nullptr for a set without blocks.
struct ReaderKernels {
    BlockTaker take;
};

enum class Isa;

// The kernels of isa, which this processor must have.
const ReaderKernels& readerKernels(Isa isa);

#ifdef MST_VECTOR_KERNELS
std::int32_t takeSse2(const char*& p, std::int32_t* row, std::int32_t count, std::int32_t inf);
std::int32_t takeAvx2(const char*& p, std::int32_t* row, std::int32_t count, std::int32_t inf);
#endif
