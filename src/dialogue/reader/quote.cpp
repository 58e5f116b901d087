#include "dialogue/reader/quote.hpp"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace {

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

}  // namespace

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

void keep(std::string& head, const char* from, const char* to)
{
    const std::size_t room = keptMax - std::min(head.size(), keptMax);
    head.append(from, std::min(static_cast<std::size_t>(to - from), room));
}
