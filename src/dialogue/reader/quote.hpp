// A bad token as it may be quoted back to the user: only what surely shows
// as itself, so that no quote can steer the terminal or mislead the reader.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Bytes of a bad token quoted back to the user; the rest is cut.
constexpr std::size_t shownMax = 40;

// Bytes of a bad token kept for its quote: enough to tell whether a
// character that starts within the limit ends beyond it.
constexpr std::size_t keptMax = shownMax + 3;

// Appends bytes of the token to the kept part while it has room.
void keep(std::string& head, const char* from, const char* to);

// The token as it may safely be echoed, in «»: its first shownMax bytes, a
// character that may not be shown as "?", and so each byte that is no
// UTF-8. A character that the limit cuts is left out whole.
std::string quoted(std::string_view token);
