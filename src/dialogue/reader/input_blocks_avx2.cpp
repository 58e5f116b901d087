// The AVX2 block kernel. This file alone is compiled for AVX2, and its code
// runs only where the processor has it; it uses nothing from outside but the
// kernel's own headers, so that no AVX2 copy of a shared function can stand
// in for the plain one elsewhere.
#include "dialogue/reader/input_blocks.hpp"

#ifdef MST_VECTOR_KERNELS

#include "dialogue/reader/input_blocks_body.hpp"
#include "isa/avx2.hpp"

namespace {

// For each 8 bits of number ends, the places of those set, first to last,
// padded with 0x80 (a shuffle's zero). Ends are never next to each other, so
// there are at most 4.
struct Compaction {
    alignas(8) unsigned char order[256][8];
};

constexpr Compaction compaction = [] {
    Compaction t{};
    for (unsigned m = 0; m < 256; ++m) {
        unsigned k = 0;
        for (unsigned i = 0; i < 8; ++i)
            if (m >> i & 1)
                t.order[m][k++] = static_cast<unsigned char>(i);
        for (; k < 8; ++k)
            t.order[m][k] = 0x80;
    }
    return t;
}();

}  // namespace

std::int32_t takeAvx2(const char*& p, std::int32_t* row, std::int32_t count, std::int32_t inf)
{
    Block b;
    sortBlock<Avx2>(p, b);
    const std::int64_t found = numberEnds(b);
    if (found < 0)
        return -1;
    const auto ends = static_cast<std::uint64_t>(found);
    // Each 8 bytes' numbers go at once, widened to four 32-bit entries, so the
    // row needs room for 4 past the last.
    if (count < __builtin_popcountll(ends) + 4)
        return takeEach(b, ends, p, row, count, inf);
    const __m128i none = _mm_setzero_si128(), infs = _mm_set1_epi32(inf);
    std::int32_t k = 0;
    for (int g = 0; g < 8; ++g) {
        const unsigned m = static_cast<unsigned>(ends >> (8 * g)) & 0xff;
        const __m128i eight = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(b.val + 8 * g));
        const __m128i order =
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(compaction.order[m]));
        const __m128i v = _mm_cvtepu8_epi32(_mm_shuffle_epi8(eight, order));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + k),
                         _mm_blendv_epi8(v, infs, _mm_cmpeq_epi32(v, none)));
        k += __builtin_popcount(m);
    }
    p += pastLastBlank(b);
    return k;
}

#endif
