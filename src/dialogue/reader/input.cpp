#include "dialogue/reader/input.hpp"

#include <algorithm>
#include <iterator>
#include <new>
#include <ostream>

#include "dialogue/console/console.hpp"
#include "dialogue/reader/input_blocks.hpp"
#include "dialogue/reader/quote.hpp"

namespace {

constexpr std::size_t chunk = std::size_t{1} << 20;

// A token this long cannot be a number, however many leading zeros it has.
constexpr std::size_t tokenMax = std::size_t{1} << 20;

// Takes the source's next bytes in place of those read; false when none
// come, at the end or on a failure.
bool refill(Input& in)
{
    if (in.ended || in.failed)
        return false;
    const long got = in.source.read(in.buf.get(), in.room);
    in.at = in.buf.get();
    in.end = in.at + std::max(got, 0L);
    if (got <= 0)
        (got == 0 ? in.ended : in.failed) = true;
    return got > 0;
}

// The next byte without taking it; -1 when there is none.
int peek(Input& in)
{
    if (in.at == in.end && !refill(in))
        return -1;
    return static_cast<unsigned char>(*in.at);
}

}  // namespace

Input stdinInput(std::ostream& prompts)
{
    Input in;
    // Pages untouched till read into. Reserved without throwing, so that a
    // run short of memory is told so like one short of the matrix's.
    in.buf.reset(new (std::nothrow) char[chunk]);
    if (in.buf == nullptr)
        return in;
    in.room = chunk;
    in.at = in.end = in.buf.get();
    in.source.read = [&prompts](char* buf, std::size_t size) {
        prompts.flush();
        return readInput(buf, size);
    };
    in.source.readyReads = [] {
        const Source s = inputSource();
        return s == Source::file ? SIZE_MAX : s == Source::other && inputReady() ? 1 : 0;
    };
    in.source.drop = dropTypedInput;
    in.typed = inputSource() == Source::terminal;
    growInputPipe();
    return in;
}

Got readIntSlowly(Input& in, std::int32_t& value)
{
    std::string head;  // the token's first bytes, kept only for a message
    bool bad = false;
    if (in.atStart) {
        // A byte-order mark, as some editors write first, is no token.
        in.atStart = false;
        const unsigned char mark[] = {0xef, 0xbb, 0xbf};
        for (const unsigned char m : mark) {
            if (peek(in) != m)
                break;
            head += static_cast<char>(*in.at++);
        }
        if (head.size() == std::size(mark))
            head.clear();
        bad = !head.empty();
    }

    std::size_t len = head.size();
    bool neg = false;
    std::int64_t mag = 0;
    bool digits = false;
    if (!bad) {
        int ch = peek(in);
        for (; ch >= 0 && isBlank(static_cast<unsigned char>(ch)); ch = peek(in))
            ++in.at;
        if (ch < 0)
            return in.failed ? Got::failed : Got::ended;
        if (ch == '-' || ch == '+') {
            neg = ch == '-';
            head += static_cast<char>(ch);
            ++in.at;
            ++len;
        }
        // Digits, across chunks, until a blank, the end, or a byte that
        // makes it no 32-bit number; no further than that.
        for (;;) {
            const char* from = in.at;
            const char* p = from;
            for (; p < in.end; ++p) {
                const unsigned d = static_cast<unsigned char>(*p) - unsigned{'0'};
                if (d > 9)
                    break;
                mag = mag * 10 + d;
                digits = true;
                if (mag >= magnitudeLimit + (neg ? 1 : 0)) {
                    bad = true;
                    ++p;
                    break;
                }
            }
            len += static_cast<std::size_t>(p - from);
            in.at = p;
            keep(head, from, p);
            bad = bad || len > tokenMax;
            if (bad)
                break;
            if (p < in.end) {
                bad = !isBlank(static_cast<unsigned char>(*p));
                break;
            }
            if (!refill(in)) {
                if (in.failed)
                    return Got::failed;
                break;
            }
        }
    }
    if (!bad && digits) {
        value = static_cast<std::int32_t>(neg ? -mag : mag);
        return Got::number;
    }

    // Not a number: take just enough more of it to quote it.
    for (int ch = peek(in);
         ch >= 0 && !isBlank(static_cast<unsigned char>(ch)) && head.size() < keptMax;
         ch = peek(in))
        head += static_cast<char>(*in.at++);
    if (in.failed)
        return Got::failed;
    in.shown = quoted(head);
    return Got::other;
}

bool dataFollows(Input& in)
{
    const auto nonBlank = [&in] {
        return std::any_of(in.at, in.end,
                           [](char ch) { return !isBlank(static_cast<unsigned char>(ch)); });
    };
    if (nonBlank())
        return true;
    for (std::size_t k = in.source.readyReads(); k > 0 && refill(in); --k)
        if (nonBlank())
            return true;
    return false;
}

bool dropTypedAhead(Input& in)
{
    in.at = in.end;
    return in.source.drop();
}

BlockTaker blockTaker = nullptr;

std::int32_t readRow(Input& in, std::int32_t* row, std::int32_t count, std::int32_t inf)
{
    if (in.atStart)
        return 0;
    std::int32_t k = 0;
    const char* blockEnd = in.at;  // numbers up to here go the scalar way
    std::ptrdiff_t skip = 64;      // after blocks that did not qualify, tries fewer
    while (k < count) {
        // A block needs the byte before it in the buffer, and all 64 of its own.
        if (blockTaker != nullptr && in.at >= blockEnd && in.at > in.buf.get() &&
            in.end - in.at >= 64) {
            const std::int32_t took = blockTaker(in.at, row + k, count - k, inf);
            if (took >= 0) {
                k += took;
                skip = 64;
                continue;
            }
            blockEnd = in.at + skip;
            skip = std::min<std::ptrdiff_t>(2 * skip, 4096);
        }
        if (!takeQuickly(in, row[k]))
            break;
        if (row[k] == 0)
            row[k] = inf;
        ++k;
    }
    return k;
}
