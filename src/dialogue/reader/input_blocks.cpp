// The SSE2 block kernel; AVX2's is in input_blocks_avx2.cpp, compiled for it.
#include "dialogue/reader/input_blocks.hpp"

#include <cassert>

#include "isa/isa.hpp"

#ifdef MST_VECTOR_KERNELS
#include "dialogue/reader/input_blocks_body.hpp"
#include "isa/sse2.hpp"

std::int32_t takeSse2(const char*& p, std::int32_t* row, std::int32_t count, std::int32_t inf)
{
    Block b;
    sortBlock<Sse2>(p, b);
    const std::int64_t ends = numberEnds(b);
    return ends < 0 ? -1 : takeEach(b, static_cast<std::uint64_t>(ends), p, row, count, inf);
}

#endif

const ReaderKernels& readerKernels([[maybe_unused]] Isa isa)
{
    assert(hasIsa(isa));
    static constexpr ReaderKernels scalar{nullptr};
#ifdef MST_VECTOR_KERNELS
    static constexpr ReaderKernels sse2{takeSse2}, avx2{takeAvx2};
    return isa == Isa::avx2 ? avx2 : isa == Isa::sse2 ? sse2 : scalar;
#else
    return scalar;
#endif
}
