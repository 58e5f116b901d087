// The block reader's kernel, written once over a register of T::width bytes:
// T, one of the register wrappers in isa/, gives the loads, byte compares and
// the mask of a compare. Each instruction set's file instantiates it with its own T,
// compiled for that set; nothing here may call a function outside it.
#pragma once

#include <cstdint>

namespace {

// What a block of 64 bytes holds, byte by byte.
struct Block {
    std::uint64_t digits = 0;  // bit k: byte k is a decimal digit
    std::uint64_t blanks = 0;  // bit k: byte k is whitespace
    // Where byte k is a digit: its value plus ten times that of byte k - 1
    // when that is a digit of the block too.
    alignas(64) unsigned char val[64];
};

// Sorts the 64 bytes at p, in registers of T::width bytes. A byte x is a
// digit when x - '0' <= 9 and a blank when it is ' ' or x - '\t' <= 4,
// unsigned. Its tens digit is the byte before it, masked to 0 where that is
// no digit and at the block's first byte.
template <class T>
inline void sortBlock(const char* p, Block& b)
{
    using V = typename T::V;
    constexpr int width = T::width;
    const V zero = T::set8('0'), nine = T::set8(9), tab = T::set8('\t'), four = T::set8(4),
            space = T::set8(' ');
    V inside = T::allButFirst8();
    for (int k = 0; k < 64 / width; ++k) {
        const V x = T::load(p + width * k);
        const V y = T::load(p + width * k - 1);
        const V d = T::sub8(x, zero), e = T::sub8(y, zero);
        const V isDigit = T::eq8(T::minU8(d, nine), d);
        const V t = T::sub8(x, tab);
        const V isBlank = T::bitOr(T::eq8(x, space), T::eq8(T::minU8(t, four), t));
        const V tens = T::bitAnd(e, T::bitAnd(T::eq8(T::minU8(e, nine), e), inside));
        // Bytes have no multiply: ten times the tens is 8 x tens + 2 x tens,
        // by doubling adds.
        const V twice = T::add8(tens, tens);
        const V four4 = T::add8(twice, twice);
        const V val = T::add8(d, T::add8(T::add8(four4, four4), twice));
        T::store(b.val + width * k, val);
        b.digits |= std::uint64_t{T::mask8(isDigit)} << (width * k);
        b.blanks |= std::uint64_t{T::mask8(isBlank)} << (width * k);
        inside = T::set8(-1);
    }
}

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
    // 64 less the leading digits: all of them, when the block is all digits.
    return b.digits == ~std::uint64_t{0} ? 0 : 64 - __builtin_clzll(~b.digits);
}

// The numbers one by one, up to count of them.
inline std::int32_t takeEach(const Block& b, std::uint64_t ends, const char*& p, std::int32_t* row,
                             std::int32_t count, std::int32_t inf)
{
    std::int32_t k = 0;
    int last = 0;
    for (; ends != 0 && k < count; ++k) {
        last = __builtin_ctzll(ends);
        ends &= ends - 1;
        const std::int32_t v = b.val[last];
        row[k] = v == 0 ? inf : v;
    }
    // Past the last number taken when the row is full, else past the blanks.
    p += ends != 0 ? last + 1 : pastLastBlank(b);
    return k;
}

}  // namespace
