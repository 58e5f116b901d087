#include "dialogue/reader/input.hpp"

#include <algorithm>
#include <iterator>
#include <new>
#include <ostream>
#include <utility>

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

// Skips a byte-order mark, as some editors write first: it is no token. False
// when only its first bytes are there, kept in head.
bool skipMark(Input& in, std::string& head)
{
    in.atStart = false;
    const unsigned char mark[] = {0xef, 0xbb, 0xbf};
    for (const unsigned char m : mark) {
        if (peek(in) != m)
            break;
        head += static_cast<char>(*in.at++);
    }
    if (head.size() == std::size(mark))
        head.clear();
    return head.empty();
}

// A sign and digits, across chunks, until a blank, the end, or a byte that
// makes them no 32-bit number; no further than that. Got::other leaves the
// rest of the token unread, its first bytes in head.
Got readNumber(Input& in, std::int32_t& value, std::string& head)
{
    int ch = peek(in);
    for (; ch >= 0 && isBlank(static_cast<unsigned char>(ch)); ch = peek(in))
        ++in.at;
    if (ch < 0)
        return in.failed ? Got::failed : Got::ended;
    const bool neg = ch == '-';
    std::size_t len = 0;
    if (ch == '-' || ch == '+') {
        head += static_cast<char>(ch);
        ++in.at;
        ++len;
    }
    std::int64_t mag = 0;
    bool digits = false, bad = false;
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
    if (bad || !digits)
        return Got::other;
    value = static_cast<std::int32_t>(neg ? -mag : mag);
    return Got::number;
}

// Takes just enough more of a bad token to quote it.
Got quoteBad(Input& in, std::string& head)
{
    for (int ch = peek(in);
         ch >= 0 && !isBlank(static_cast<unsigned char>(ch)) && head.size() < keptMax;
         ch = peek(in))
        head += static_cast<char>(*in.at++);
    if (in.failed)
        return Got::failed;
    in.shown = quoted(head);
    return Got::other;
}

}  // namespace

Input::Input(std::size_t size, std::size_t past, ByteSource from, const ReaderKernels& k)
    : buf(new (std::nothrow) char[size + past]), source(std::move(from)), kernels(&k)
{
    room = buf == nullptr ? 0 : size;
    at = end = buf.get();
}

Input stdinInput(std::ostream& prompts, const ReaderKernels& kernels)
{
    ByteSource source;
    source.read = [&prompts](char* buf, std::size_t size) {
        prompts.flush();
        return readInput(buf, size);
    };
    source.readyReads = [] {
        const Source s = inputSource();
        return s == Source::file ? SIZE_MAX : s == Source::other && inputReady() ? 1 : 0;
    };
    source.drop = dropTypedInput;
    // Pages untouched till read into. Reserved without throwing, so that a
    // run short of memory is told so like one short of the matrix's.
    Input in(chunk, 0, std::move(source), kernels);
    if (in.buf == nullptr)
        return in;
    in.typed = inputSource() == Source::terminal;
    growInputPipe();
    return in;
}

Got readIntSlowly(Input& in, std::int32_t& value)
{
    std::string head;  // the token's first bytes, kept only for a message
    if (in.atStart && !skipMark(in, head))
        return quoteBad(in, head);
    const Got got = readNumber(in, value, head);
    return got == Got::other ? quoteBad(in, head) : got;
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

std::int32_t readRow(Input& in, std::int32_t* row, std::int32_t count, std::int32_t inf)
{
    if (in.atStart)
        return 0;
    const BlockTaker take = in.kernels->take;
    std::int32_t k = 0;
    const char* blockEnd = in.at;  // numbers up to here go the scalar way
    std::ptrdiff_t skip = 64;      // after blocks that did not qualify, tries fewer
    while (k < count) {
        // A block needs the byte before it in the buffer, and all 64 of its own.
        if (take != nullptr && in.at >= blockEnd && in.at > in.buf.get() && in.end - in.at >= 64) {
            const std::int32_t took = take(in.at, row + k, count - k, inf);
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
