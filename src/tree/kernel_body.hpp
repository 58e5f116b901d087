// The construction's inner loops written once, over a register of T::lanes
// 32-bit lanes: T, one of the register wrappers in isa/, gives the loads,
// compares and blends. Each instruction set's file instantiates them with its own
// T, compiled for that set; nothing here may call a function outside it.
#pragma once

#include <cstdint>

#include "tree/kernels.hpp"

namespace {

// How far ahead of its reading a row is asked for, in entries (4 KiB): a row
// is read once, each from a new place, so the processor would not foresee the
// next bytes early enough by itself.
constexpr std::int32_t ahead = 1024;

inline void prefetch(const std::int32_t* p)
{
#if defined(__GNUC__)
    __builtin_prefetch(p);
#else
    static_cast<void>(p);
#endif
}

// Relaxes and chooses in one sweep: a column takes the row's entry where it is
// lighter, or as light from a lower row; each lane keeps the least (weight,
// row, column) of the columns it has passed, and the least lane joins next.
template <class T>
Candidate offerBody(const std::int32_t* line, std::int32_t* least, std::int32_t* from,
                    std::int32_t first, std::int32_t last, std::int32_t u)
{
    using V = typename T::V;
    constexpr std::int32_t lanes = T::lanes;
    static_assert(8 % lanes == 0, "registers start at first, 1 past a multiple of 8");
    const V row = T::set(u + rowShift);
    const V step = T::set(lanes);
    V col = T::ramp(first);
    V bestW = T::set(closedWeight), bestR = T::set(closedRow), bestC = T::set(0);
    // x: the row's entries in columns c to c + lanes - 1.
    const auto offer = [&](V x, std::int32_t c) {
        V w = T::load(least + c), r = T::load(from + c);
        // x wins where x < w, or x == w from a lower row: x < w + (r > row).
        // A closed lane's r is below everything, so the bound falls to it.
        const V bound = T::min(T::sub(w, T::gt(r, row)), r);
        const V take = T::gt(bound, x);
        w = T::blend(w, x, take);
        r = T::blend(r, row, take);
        T::store(least + c, w);
        T::store(from + c, r);
        // The lane's best so far, weight then row; an equal one in a later
        // column stays behind.
        const V better = T::bitOr(T::gt(bestW, w), T::bitAnd(T::eq(bestW, w), T::gt(bestR, r)));
        bestW = T::blend(bestW, w, better);
        bestR = T::blend(bestR, r, better);
        bestC = T::blend(bestC, col, better);
        col = T::add(col, step);
    };
    std::int32_t c = first;
    for (; c + lanes - 1 <= last; c += lanes) {
        if (c % 16 == 1)  // once a 64-byte line, for every width dividing 8
            prefetch(line + c + ahead);
        offer(T::load(line + c), c);
    }
    if (c <= last) {
        // The row ends inside the register: the lanes past it offer nothing.
        std::int32_t tail[lanes];
        for (std::int32_t k = 0; k < lanes; ++k)
            tail[k] = c + k <= last ? line[c + k] : closedWeight;
        offer(T::load(tail), c);
    }
    std::int32_t w[lanes], r[lanes], cs[lanes];
    T::store(w, bestW);
    T::store(r, bestR);
    T::store(cs, bestC);
    Candidate best{closedWeight, closedRow, 0};
    for (std::int32_t k = 0; k < lanes; ++k)
        if (w[k] < best.w ||
            (w[k] == best.w && (r[k] < best.r || (r[k] == best.r && cs[k] < best.c)))) {
            best = {w[k], r[k], cs[k]};
        }
    return best;
}

// What 64 entries from p take, as bits, each taken one set to inf at once;
// only count of them are there.
template <class T>
std::uint64_t takenBody(std::int32_t* p, std::int32_t count, std::int32_t lim, std::int32_t equal,
                        std::int32_t inf)
{
    using V = typename T::V;
    constexpr std::int32_t lanes = T::lanes;
    if (count < 64) {
        // The entries past count take nothing, and are neither read nor written.
        std::int32_t tail[64];
        for (std::int32_t j = 0; j < 64; ++j)
            tail[j] = j < count ? p[j] : closedWeight;
        const std::uint64_t bits = takenBody<T>(tail, 64, lim, equal, inf);
        for (std::int32_t j = 0; j < count; ++j)
            if (bits >> j & 1)
                p[j] = inf;
        return bits;
    }
    const V infs = T::set(inf);
    std::uint64_t bits = 0;
    const auto take = [&](std::int32_t j, V bound) {
        const V x = T::load(p + j);
        const V taken = T::gt(bound, x);
        const std::uint32_t m = T::mask(taken);
        if (m != 0)
            T::store(p + j, T::blend(x, infs, taken));
        bits |= std::uint64_t{m} << j;
    };
    if (equal <= 0 || equal >= 64) {
        const V bound = T::set(equal <= 0 ? lim : lim + 1);
        for (std::int32_t j = 0; j < 64; j += lanes)
            take(j, bound);
        return bits;
    }
    // Columns before equal take entries equal to lim too: a bound of lim + 1.
    const V below = T::set(lim), split = T::set(equal), step = T::set(lanes);
    V at = T::ramp(0);
    for (std::int32_t j = 0; j < 64; j += lanes) {
        take(j, T::sub(below, T::gt(split, at)));
        at = T::add(at, step);
    }
    return bits;
}

template <class T>
void takenRowBody(std::int32_t* line, std::int32_t count, std::int32_t lim, std::int32_t equal,
                  std::int32_t inf, std::uint64_t* words)
{
    for (std::int32_t j = 0; j < count; j += 64) {
        for (std::int32_t b = 0; b < 64; b += 16)
            prefetch(line + j + ahead + b);
        words[j / 64] =
            takenBody<T>(line + j, count - j < 64 ? count - j : 64, lim, equal - j, inf);
    }
}

}  // namespace
