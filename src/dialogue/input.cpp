#include "dialogue/input.hpp"

#include <algorithm>
#include <cstring>
#include <iostream>
#include <iterator>
#include <new>

#include "dialogue/console.hpp"
#include "dialogue/input_blocks.hpp"

namespace {

constexpr std::size_t chunk = std::size_t{1} << 20;

// Bytes of a bad token quoted back to the user; the rest is cut.
constexpr std::size_t shownMax = 40;

// Bytes of a bad token kept for its quote: enough to tell whether a
// character that starts within the limit ends beyond it.
constexpr std::size_t keptMax = shownMax + 3;

// A token this long cannot be a number, however many leading zeros it has.
constexpr std::size_t tokenMax = std::size_t{1} << 20;

// Takes the next bytes of standard input in place of those read; false when
// none come, at the end or on a failure.
bool refill(Input& in)
{
    if (!in.fromStdin && !in.rest.empty()) {
        const std::size_t got = std::min(in.room, in.rest.size());
        std::memcpy(in.buf.get(), in.rest.data(), got);
        in.rest.remove_prefix(got);
        in.at = in.buf.get();
        in.end = in.at + got;
        return true;
    }
    if (!in.fromStdin || in.ended || in.failed) {
        in.ended = !in.failed;
        return false;
    }
    std::cout.flush();  // the prompt shows before any wait
    const long got = readInput(in.buf.get(), in.room);
    if (got <= 0) {
        (got == 0 ? in.ended : in.failed) = true;
        in.at = in.end = in.buf.get();
        return false;
    }
    in.at = in.buf.get();
    in.end = in.at + got;
    return true;
}

// The next byte without taking it; -1 when there is none.
int peek(Input& in)
{
    if (in.at == in.end && !refill(in))
        return -1;
    return static_cast<unsigned char>(*in.at);
}

// What surely shows as itself, and as nothing else: printable ASCII, the
// letters of Latin-1, Latin Extended-A, Greek and Cyrillic, and the visible
// punctuation of U+2010 to U+205E. Anything else could be a blank, nothing
// at all, a turn of the text's direction, a mark that merges with its
// neighbour, or a digit of another script that looks like ours.
constexpr std::uint32_t showable[][2] = {
    {0x20, 0x7e},   {0xc0, 0xd6},     {0xd8, 0xf6},     {0xf8, 0x17f},  {0x386, 0x386},
    {0x388, 0x38a}, {0x38c, 0x38c},   {0x38e, 0x3a1},   {0x3a3, 0x3ce}, {0x400, 0x481},
    {0x48a, 0x4ff}, {0x2010, 0x2027}, {0x2030, 0x205e},
};

// The UTF-8 character that text starts with: its length, 0 when the bytes
// are no UTF-8 or are cut short, and whether it may be shown.
std::size_t charAt(std::string_view text, bool& shows)
{
    const auto b = [&text](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = b(0);
    std::size_t len = 1;
    if (lead >= 0x80)
        len = lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : lead >= 0xc2 ? 2 : 0;
    shows = false;
    if (len == 0 || lead > 0xf4 || text.size() < len)
        return 0;
    std::uint32_t cp = len == 1 ? lead : lead & (0x7fu >> len);
    for (std::size_t k = 1; k < len; ++k) {
        if ((b(k) & 0xc0) != 0x80)
            return 0;
        cp = cp << 6 | (b(k) & 0x3fu);
    }
    const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < least[len] || cp > 0x10ffff || (cp >= 0xd800 && cp <= 0xdfff))
        return 0;
    shows = std::any_of(std::begin(showable), std::end(showable),
                        [cp](const auto& r) { return cp >= r[0] && cp <= r[1]; });
    return len;
}

// The token as it may safely be echoed, in «»: its first shownMax bytes, a
// character that may not be shown as "?", and so each byte that is no
// UTF-8. A character that the limit cuts is left out whole.
std::string quoted(std::string_view token)
{
    std::string shown = "«";
    for (std::size_t at = 0; at < std::min(token.size(), shownMax);) {
        bool shows = false;
        const std::size_t len = charAt(token.substr(at), shows);
        if (at + len > shownMax)
            break;
        shown += len > 0 && shows ? token.substr(at, len) : "?";
        at += std::max<std::size_t>(len, 1);
    }
    return shown + (token.size() > shownMax ? "…»" : "»");
}

// Appends bytes of the token to the quoted part while it has room.
void keep(std::string& head, const char* from, const char* to)
{
    const std::size_t room = keptMax - std::min(head.size(), keptMax);
    head.append(from, std::min(static_cast<std::size_t>(to - from), room));
}

}  // namespace

Input stdinInput()
{
    Input in;
    // Pages untouched till read into. Reserved without throwing, so that a
    // run short of memory is told so like one short of the matrix's.
    in.buf.reset(new (std::nothrow) char[chunk]);
    if (in.buf == nullptr)
        return in;
    in.room = chunk;
    in.at = in.end = in.buf.get();
    in.fromStdin = true;
    in.typed = inputSource() == Source::terminal;
    growInputPipe();
    return in;
}

Input textInput(std::string_view text, std::size_t piece, char stale)
{
    Input in;
    in.buf = std::make_unique_for_overwrite<char[]>(piece + staleBytes);
    std::memset(in.buf.get() + piece, stale, staleBytes);
    in.room = piece;
    in.at = in.end = in.buf.get();
    in.rest = text;
    return in;
}

Input textInput(std::string_view text)
{
    Input in;
    in.buf = std::make_unique_for_overwrite<char[]>(text.size() + 1);
    std::memcpy(in.buf.get(), text.data(), text.size());
    in.room = text.size();
    in.at = in.buf.get();
    in.end = in.at + text.size();
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
    if (!in.fromStdin) {
        while (refill(in))
            if (nonBlank())
                return true;
        return false;
    }
    if (in.ended || in.failed)
        return false;
    switch (inputSource()) {
    case Source::terminal:
        return false;
    case Source::file:
        while (refill(in))
            if (nonBlank())
                return true;
        return false;
    case Source::other:
        return inputReady() && refill(in) && nonBlank();
    }
    return false;
}

void dropTypedAhead(Input& in)
{
    in.at = in.end;
    if (in.fromStdin)
        dropTypedInput();
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
