#include "dialogue/input_blocks.hpp"

#ifdef MST_VECTOR_READER

#include <immintrin.h>

// Both take the block in registers of 16 or 32 bytes. A byte x is a digit
// when x - '0' <= 9 and a blank when it is ' ' or x - '\t' <= 4, unsigned.
// Its tens digit is the byte before it, masked to 0 where that is no digit
// and at the block's first byte.

void sortSse2(const char* p, Block& b)
{
    const __m128i zero = _mm_set1_epi8('0'), nine = _mm_set1_epi8(9), tab = _mm_set1_epi8('\t'),
                  four = _mm_set1_epi8(4), space = _mm_set1_epi8(' ');
    __m128i inside = _mm_insert_epi16(_mm_set1_epi8(-1), 0xff00, 0);
    std::uint64_t digits = 0, blanks = 0;
    for (int k = 0; k < 4; ++k) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
        const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k - 1));
        const __m128i d = _mm_sub_epi8(x, zero), e = _mm_sub_epi8(y, zero);
        const __m128i isDigit = _mm_cmpeq_epi8(_mm_min_epu8(d, nine), d);
        const __m128i t = _mm_sub_epi8(x, tab);
        const __m128i isBlank =
            _mm_or_si128(_mm_cmpeq_epi8(x, space), _mm_cmpeq_epi8(_mm_min_epu8(t, four), t));
        const __m128i tens =
            _mm_and_si128(e, _mm_and_si128(_mm_cmpeq_epi8(_mm_min_epu8(e, nine), e), inside));
        const __m128i twice = _mm_add_epi8(tens, tens);
        const __m128i four4 = _mm_add_epi8(twice, twice);
        const __m128i val = _mm_add_epi8(d, _mm_add_epi8(_mm_add_epi8(four4, four4), twice));
        _mm_store_si128(reinterpret_cast<__m128i*>(b.val + 16 * k), val);
        digits |= std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(isDigit))} << (16 * k);
        blanks |= std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(isBlank))} << (16 * k);
        inside = _mm_set1_epi8(-1);
    }
    b.digits = digits;
    b.blanks = blanks;
}

__attribute__((target("avx2"))) void sortAvx2(const char* p, Block& b)
{
    const __m256i zero = _mm256_set1_epi8('0'), nine = _mm256_set1_epi8(9),
                  tab = _mm256_set1_epi8('\t'), four = _mm256_set1_epi8(4),
                  space = _mm256_set1_epi8(' ');
    __m256i inside = _mm256_insert_epi16(_mm256_set1_epi8(-1), static_cast<short>(0xff00), 0);
    std::uint64_t digits = 0, blanks = 0;
    for (int k = 0; k < 2; ++k) {
        const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32 * k));
        const __m256i y = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32 * k - 1));
        const __m256i d = _mm256_sub_epi8(x, zero), e = _mm256_sub_epi8(y, zero);
        const __m256i isDigit = _mm256_cmpeq_epi8(_mm256_min_epu8(d, nine), d);
        const __m256i t = _mm256_sub_epi8(x, tab);
        const __m256i isBlank = _mm256_or_si256(_mm256_cmpeq_epi8(x, space),
                                                _mm256_cmpeq_epi8(_mm256_min_epu8(t, four), t));
        const __m256i tens = _mm256_and_si256(
            e, _mm256_and_si256(_mm256_cmpeq_epi8(_mm256_min_epu8(e, nine), e), inside));
        const __m256i twice = _mm256_add_epi8(tens, tens);
        const __m256i four4 = _mm256_add_epi8(twice, twice);
        const __m256i val =
            _mm256_add_epi8(d, _mm256_add_epi8(_mm256_add_epi8(four4, four4), twice));
        _mm256_store_si256(reinterpret_cast<__m256i*>(b.val + 32 * k), val);
        digits |= std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(isDigit))}
                  << (32 * k);
        blanks |= std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(isBlank))}
                  << (32 * k);
        inside = _mm256_set1_epi8(-1);
    }
    b.digits = digits;
    b.blanks = blanks;
}

bool haveAvx2()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

#endif
