// The user's numbers: bytes read in large chunks from a source, standard
// input in the program, cut into whitespace-separated decimal integers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

#include "dialogue/reader/input_blocks.hpp"

// Where the bytes come from.
struct ByteSource {
    // Reads up to size bytes into buf, never more, waiting only until some
    // arrive: how many, 0 at the end, -1 when reading fails.
    std::function<long(char* buf, std::size_t size)> read;
    // How many reads would not wait now: a file's any number, a pipe's one
    // when something has arrived (it takes all of that), a terminal's none.
    std::function<std::size_t()> readyReads = [] { return SIZE_MAX; };
    // Throws away what has been typed and not read yet: true if any of it
    // was more than blanks.
    std::function<bool()> drop = [] { return false; };
};

// The source and how far its bytes have been read, and the kernels of the
// instruction set that takes them. Past end lie stale bytes, which no reader
// looks at.
struct Input {
    // room bytes to read into, and past more after them; buf nullptr when memory runs out.
    Input(std::size_t room, std::size_t past, ByteSource from, const ReaderKernels& kernels);

    std::unique_ptr<char[]> buf;
    std::size_t room = 0;       // bytes buf can hold
    const char* at = nullptr;   // the next unread byte
    const char* end = nullptr;  // past the last byte read
    bool atStart = true;        // nothing taken yet: a byte-order mark may come
    bool ended = false;         // no more bytes will come
    bool failed = false;        // reading the source failed
    bool typed = false;         // typed at a terminal or a console: a typo is asked again
    std::string shown;          // the last bad token, as it may be quoted to the user
    ByteSource source;
    const ReaderKernels* kernels;
};

// Standard input, read a chunk at a time as the numbers need it. Before any
// wait for input, prompts is flushed so that the question shows. Its buf is
// nullptr when memory runs out.
Input stdinInput(std::ostream& prompts, const ReaderKernels& kernels);

// How reading one number ended.
enum class Got { number, ended, failed, other };

// Magnitude past which no 32-bit number lies: 2^31, ten digits.
constexpr std::int64_t magnitudeLimit = std::int64_t{1} << 31;

inline bool isBlank(unsigned char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

// readInt for whatever the quick way leaves: chunk ends, long or bad tokens,
// the byte-order mark, the end of the input.
Got readIntSlowly(Input& in, std::int32_t& value);

// Digits of the longest number below magnitudeLimit.
constexpr int digitsMax = 10;
static_assert(magnitudeLimit > 999'999'999 && magnitudeLimit <= 9'999'999'999);

// Bytes the quick way may look at from a token's start: a sign, digitsMax
// digits and the byte after them, which must be a blank.
constexpr std::ptrdiff_t quickReach = 1 + digitsMax + 1;

// Takes one number the quick way, if it is short, one blank apart and far
// from the chunk's end; false leaves it, and the whitespace before it may be
// gone.
inline bool takeQuickly(Input& in, std::int32_t& value)
{
    if (in.atStart)
        return false;
    const char* p = in.at;
    while (p < in.end && (*p == ' ' || *p == '\n'))
        ++p;
    in.at = p;
    if (in.end - p >= quickReach) {
        const bool neg = *p == '-';
        const char* q = p + (neg || *p == '+' ? 1 : 0);
        unsigned d = static_cast<unsigned char>(*q) - unsigned{'0'};
        if (d <= 9) {
            std::int64_t mag = d;
            const char* const most = q + digitsMax;
            for (++q; q < most && (d = static_cast<unsigned char>(*q) - unsigned{'0'}) <= 9; ++q)
                mag = mag * 10 + d;
            if (isBlank(static_cast<unsigned char>(*q)) && mag < magnitudeLimit + neg) {
                in.at = q;
                value = static_cast<std::int32_t>(neg ? -mag : mag);
                return true;
            }
        }
    }
    return false;
}

// Reads one number: an optional sign and decimal digits that fit in 32 bits,
// whitespace around it. The whitespace after it stays unread. On Got::other
// in.shown holds the token as it may be quoted back to the user.
inline Got readInt(Input& in, std::int32_t& value)
{
    return takeQuickly(in, value) ? Got::number : readIntSlowly(in, value);
}

// Reads up to count numbers into row[0..count), each 0 as inf, as far as they
// can be taken without readIntSlowly: how many it took. The rest, if any,
// starts with the number that needs the careful way.
std::int32_t readRow(Input& in, std::int32_t* row, std::int32_t count, std::int32_t inf);

// True when non-blank data follows what was read, as far as that can be seen
// without waiting: a file is looked at to its end, a pipe as far as it has
// arrived, a terminal never.
bool dataFollows(Input& in);

// Throws away the rest of what has been typed: what is buffered, and at a
// terminal or a console what has arrived or is still arriving. True if what
// came from the source was more than blanks.
bool dropTypedAhead(Input& in);
