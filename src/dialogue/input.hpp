// The user's numbers: standard input read in large chunks, or a text given
// by a test, cut into whitespace-separated decimal integers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// Where the next bytes come from and how far they have been read.
struct Input {
    std::unique_ptr<char[]> buf;
    std::size_t room = 0;       // bytes buf can hold
    const char* at = nullptr;   // the next unread byte
    const char* end = nullptr;  // past the last byte read
    bool fromStdin = false;     // otherwise buf holds all there is
    bool atStart = true;        // nothing taken yet: a byte-order mark may come
    bool ended = false;         // no more bytes will come
    bool failed = false;        // reading standard input failed
    std::string shown;          // the last bad token, as it may be quoted to the user
};

// Standard input, read a chunk at a time as the numbers need it. Before any
// wait for input, standard output is flushed so that the prompt shows.
Input stdinInput();

// A test's text as the whole input.
Input textInput(std::string_view text);

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

// Reads one number: an optional sign and decimal digits that fit in 32 bits,
// whitespace around it. The whitespace after it stays unread. On Got::other
// in.shown holds the token as it may be quoted back to the user.
inline Got readInt(Input& in, std::int32_t& value)
{
    // Most numbers are short, one blank apart, and far from the chunk's end:
    // those are taken here, in one sweep.
    if (in.atStart)
        return readIntSlowly(in, value);
    const char* p = in.at;
    while (p < in.end && (*p == ' ' || *p == '\n'))
        ++p;
    in.at = p;
    if (in.end - p > 12) {
        const bool neg = *p == '-';
        const char* q = p + (neg || *p == '+' ? 1 : 0);
        unsigned d = static_cast<unsigned char>(*q) - unsigned{'0'};
        if (d <= 9) {
            std::int64_t mag = d;
            const char* const most = q + 10;
            for (++q; q < most && (d = static_cast<unsigned char>(*q) - unsigned{'0'}) <= 9; ++q)
                mag = mag * 10 + d;
            if (isBlank(static_cast<unsigned char>(*q)) && mag < magnitudeLimit + neg) {
                in.at = q;
                value = static_cast<std::int32_t>(neg ? -mag : mag);
                return Got::number;
            }
        }
    }
    return readIntSlowly(in, value);
}

// True when non-blank data follows what was read, as far as that can be seen
// without waiting: a file is looked at to its end, a pipe as far as it has
// arrived, a terminal never.
bool dataFollows(Input& in);
