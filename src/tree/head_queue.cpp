#include "tree/head_queue.hpp"

#include <algorithm>
#include <bit>
#include <limits>

namespace {

constexpr std::uint64_t noKey = std::numeric_limits<std::uint64_t>::max();

std::uint64_t matchKey(std::int32_t w, std::int32_t r)
{
    const std::uint32_t biased = static_cast<std::uint32_t>(w) ^ 0x80000000u;
    return static_cast<std::uint64_t>(biased) << 32 | static_cast<std::uint32_t>(r);
}

std::uint64_t& wordOf(HeadQueue& q, int level, std::int64_t k)
{
    return q.bits[q.base[level] + (k >> 6)];
}

void insertBit(HeadQueue& q, std::int64_t k)
{
    for (int level = 0; level < HeadQueue::levels; ++level, k >>= 6) {
        std::uint64_t& word = wordOf(q, level, k);
        const bool wasEmpty = word == 0;
        word |= std::uint64_t{1} << (k & 63);
        if (!wasEmpty)
            break;
    }
}

void eraseBit(HeadQueue& q, std::int64_t k)
{
    for (int level = 0; level < HeadQueue::levels; ++level, k >>= 6) {
        std::uint64_t& word = wordOf(q, level, k);
        word &= ~(std::uint64_t{1} << (k & 63));
        if (word != 0)
            break;
    }
}

}  // namespace

void startQueue(HeadQueue& q, std::int32_t n, std::int32_t lo, std::int32_t hi)
{
    q.n = std::max(n, 1);
    q.lo = lo;
    q.useBits = std::int64_t{hi} - lo < bitSpan;
    if (q.useBits) {
        // Only the words this graph's keys reach are cleared and used.
        std::int64_t count = (std::int64_t{hi} - lo + 1) * q.n, at = 0;
        for (int level = 0; level < HeadQueue::levels; ++level) {
            count = (count + 63) / 64;
            q.base[level] = at;
            q.words[level] = count;
            at += count;
        }
        std::fill(q.bits, q.bits + at, std::uint64_t{0});
        std::fill(q.key + 1, q.key + q.n + 1, std::int64_t{-1});
        q.floor = 0;
    } else {
        std::fill(q.best + 1, q.best + 2 * q.n, noKey);
    }
}

void setHead(HeadQueue& q, std::int32_t r, bool has, std::int32_t w)
{
    if (q.useBits) {
        const std::int64_t k = has ? (std::int64_t{w} - q.lo) * q.n + (r - 1) : -1;
        if (k == q.key[r])
            return;
        if (q.key[r] >= 0)
            eraseBit(q, q.key[r]);
        if (k >= 0) {
            insertBit(q, k);
            q.floor = std::min(q.floor, k);
        }
        q.key[r] = k;
        return;
    }
    std::int32_t at = q.n + r - 1;
    q.best[at] = has ? matchKey(w, r) : noKey;
    // Above the first match whose winner stays, nothing changes.
    for (at /= 2; at >= 1; at /= 2) {
        const std::uint64_t won = std::min(q.best[2 * at], q.best[2 * at + 1]);
        if (q.best[at] == won)
            break;
        q.best[at] = won;
    }
}

std::int32_t leastRow(HeadQueue& q)
{
    if (!q.useBits)
        return q.best[1] == noKey ? 0 : static_cast<std::int32_t>(q.best[1] & 0xffffffffu);
    // Climb from the floor to the first level with a set bit at or after it,
    // then descend along the lowest set bits. Keys mostly grow pass by pass,
    // so the answer is mostly in the floor's own word.
    std::int64_t k = q.floor;
    int level = 0;
    for (;; ++level, k = (k >> 6) + 1) {
        if (level == HeadQueue::levels)
            return 0;
        if ((k >> 6) >= q.words[level])
            continue;
        const std::uint64_t word =
            q.bits[q.base[level] + (k >> 6)] & (~std::uint64_t{0} << (k & 63));
        if (word != 0) {
            k = (k & ~std::int64_t{63}) + std::countr_zero(word);
            break;
        }
    }
    for (--level; level >= 0; --level)
        k = k * 64 + std::countr_zero(q.bits[q.base[level] + k]);
    q.floor = k;
    return static_cast<std::int32_t>(k % q.n) + 1;
}
