// A test's text as the user's input, in place of standard input.
#pragma once

#include <algorithm>
#include <string_view>

#include "dialogue/reader/input.hpp"
#include "isa/isa.hpp"

// The text, read by isa's kernels, in pieces of piece bytes, as a pipe hands them over, each
// followed by staleBytes of stale as a pipe's shorter reads leave them; without a piece, all in
// the buffer from the start. The text must outlive the input. A read past the end fails.
constexpr std::size_t staleBytes = 16;
inline Input textInput(Isa isa, std::string_view text, std::size_t piece = 0, char stale = '7')
{
    const std::size_t room = piece == 0 ? text.size() : piece, past = piece == 0 ? 1 : staleBytes;
    ByteSource source;
    source.read = [rest = text, over = false](char* buf, std::size_t size) mutable {
        const std::size_t got = rest.copy(buf, size);
        rest.remove_prefix(got);
        return over ? -1L : (over = got == 0 && size > 0) ? 0L : static_cast<long>(got);
    };
    Input in(room, past, std::move(source), readerKernels(isa));
    std::fill_n(in.buf.get() + room, past, stale);
    if (piece == 0)
        in.end += in.source.read(in.buf.get(), room);
    return in;
}
