#include "dialogue/input_blocks.hpp"

#ifdef MST_VECTOR_READER

#include <array>
#include <bit>

#include <immintrin.h>

namespace {

// What a block of 64 bytes holds, byte by byte.
struct Block {
    std::uint64_t digits = 0;  // bit k: byte k is a decimal digit
    std::uint64_t blanks = 0;  // bit k: byte k is whitespace
    // Where byte k is a digit: its value plus ten times that of byte k - 1
    // when that is a digit of the block too.
    alignas(64) unsigned char val[64];
};

// Bit k set where byte k is a number's units digit, followed by a blank; -1
// when the block holds another byte or a number of three digits or more.
inline std::int64_t numberEnds(const Block& b)
{
    if ((b.digits | b.blanks) != ~std::uint64_t{0} || (b.digits & b.digits >> 1 & b.digits >> 2))
        return -1;
    return static_cast<std::int64_t>(b.digits & b.blanks >> 1);
}

// Past the block's last blank: where a number that it cuts starts.
inline int pastLastBlank(const Block& b)
{
    return 64 - std::countl_one(b.digits);
}

// The numbers one by one, up to count of them.
inline std::int32_t takeEach(const Block& b, std::uint64_t ends, const char*& p, std::int32_t* row,
                             std::int32_t count, std::int32_t inf)
{
    std::int32_t k = 0;
    int last = 0;
    for (; ends != 0 && k < count; ++k) {
        last = std::countr_zero(ends);
        ends &= ends - 1;
        const std::int32_t v = b.val[last];
        row[k] = v == 0 ? inf : v;
    }
    // Past the last number taken when the row is full, else past the blanks.
    p += ends != 0 ? last + 1 : pastLastBlank(b);
    return k;
}

// For each 8 bits of number ends, the places of those set, first to last,
// padded with 0x80 (a shuffle's zero). Ends are never next to each other, so
// there are at most 4.
constexpr auto compaction = [] {
    std::array<std::array<unsigned char, 8>, 256> t{};
    for (unsigned m = 0; m < 256; ++m) {
        unsigned k = 0;
        for (unsigned i = 0; i < 8; ++i)
            if (m >> i & 1)
                t[m][k++] = static_cast<unsigned char>(i);
        for (; k < 8; ++k)
            t[m][k] = 0x80;
    }
    return t;
}();

}  // namespace

// Both sort the block in registers of 16 or 32 bytes. A byte x is a digit
// when x - '0' <= 9 and a blank when it is ' ' or x - '\t' <= 4, unsigned.
// Its tens digit is the byte before it, masked to 0 where that is no digit
// and at the block's first byte.

std::int32_t takeSse2(const char*& p, std::int32_t* row, std::int32_t count, std::int32_t inf)
{
    const __m128i zero = _mm_set1_epi8('0'), nine = _mm_set1_epi8(9), tab = _mm_set1_epi8('\t'),
                  four = _mm_set1_epi8(4), space = _mm_set1_epi8(' ');
    __m128i inside = _mm_insert_epi16(_mm_set1_epi8(-1), static_cast<short>(0xff00), 0);
    Block b;
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
        b.digits |= std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(isDigit))}
                    << (16 * k);
        b.blanks |= std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(isBlank))}
                    << (16 * k);
        inside = _mm_set1_epi8(-1);
    }
    const std::int64_t ends = numberEnds(b);
    return ends < 0 ? -1 : takeEach(b, static_cast<std::uint64_t>(ends), p, row, count, inf);
}

__attribute__((target("avx2,popcnt"))) std::int32_t takeAvx2(const char*& p, std::int32_t* row,
                                                             std::int32_t count, std::int32_t inf)
{
    const __m256i zero = _mm256_set1_epi8('0'), nine = _mm256_set1_epi8(9),
                  tab = _mm256_set1_epi8('\t'), four = _mm256_set1_epi8(4),
                  space = _mm256_set1_epi8(' ');
    __m256i inside = _mm256_insert_epi16(_mm256_set1_epi8(-1), static_cast<short>(0xff00), 0);
    Block b;
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
        b.digits |= std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(isDigit))}
                    << (32 * k);
        b.blanks |= std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(isBlank))}
                    << (32 * k);
        inside = _mm256_set1_epi8(-1);
    }
    const std::int64_t found = numberEnds(b);
    if (found < 0)
        return -1;
    const auto ends = static_cast<std::uint64_t>(found);
    // Each 8 bytes' numbers go at once, widened to four 32-bit entries, so the
    // row needs room for 4 past the last.
    if (count < std::popcount(ends) + 4)
        return takeEach(b, ends, p, row, count, inf);
    const __m128i none = _mm_setzero_si128(), infs = _mm_set1_epi32(inf);
    std::int32_t k = 0;
    for (int g = 0; g < 8; ++g) {
        const unsigned m = static_cast<unsigned>(ends >> (8 * g)) & 0xff;
        const __m128i eight = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(b.val + 8 * g));
        const __m128i order =
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(compaction[m].data()));
        const __m128i v = _mm_cvtepu8_epi32(_mm_shuffle_epi8(eight, order));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + k),
                         _mm_blendv_epi8(v, infs, _mm_cmpeq_epi32(v, none)));
        k += std::popcount(m);
    }
    p += pastLastBlank(b);
    return k;
}

bool haveAvx2()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

#endif
