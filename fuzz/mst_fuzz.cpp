// Any bytes as the user's input: reading must end in a matrix or a message, and
// the tree built from it, by every way the processor can, must be a
// well-formed report, the same as the literal whole-block search writes, pass
// for pass. The sanitizers catch the rest.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "dialogue/reader/input.hpp"
#include "isa/isa.hpp"
#include "literal_min_tree.hpp"
#include "reference_reader.hpp"
#include "small_matrix.hpp"
#include "text_input.hpp"
#include "tree/matrix.hpp"
#include "tree/min_tree.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    constexpr std::int32_t inf = noEdge;
    // Larger counts are only read: the references would take too long. The
    // matrix is only as large as the count can be, so that a write past it
    // is caught.
    constexpr std::int32_t most = 200;
    // Up to here the literal search itself is the reference; above, the same
    // passes with each row's least entry remembered.
    constexpr std::int32_t literalMost = 40;

    // Every way of reading takes the plain grammar's numbers and stops where it
    // does: the text as it is, with blanks after it for the quick ways, and in
    // pieces that put the chunk ends anywhere.
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string padded = std::string(text) + std::string(70, ' ');
    for (const Isa isa : isas()) {
        const std::size_t piece = 1 + (size > 0 ? data[0] % 97 : 0);
        if (!differs(text, textInput(isa, text), most).empty() ||
            !differs(padded, textInput(isa, padded), most).empty() ||
            !differs(padded, textInput(isa, padded, piece), most).empty())
            std::abort();
    }

    // The graph: the matrix as read; or, where the text ends before the
    // matrix does, its numbers over and over, so that a short input reaches
    // every count.
    const Expected want = referenceRead(text, inf);
    const std::int32_t n = want.n;
    if (want.entries.empty() && n > 0)
        return 0;
    if (n > most || (!want.err.empty() && !want.err.starts_with("Ошибка: ввод закончился")))
        return 0;
    SmallMatrix m(std::max(n, 1));
    for (std::int32_t r = 1; r <= n; ++r)
        for (std::int32_t c = 1; c <= n; ++c) {
            const std::size_t k = static_cast<std::size_t>(r - 1) * static_cast<std::size_t>(n) +
                                  static_cast<std::size_t>(c - 1);
            m.rows[r][c] = want.entries[k % want.entries.size()];
        }

    SmallMatrix reference = m;
    std::ostringstream slowOut, slowErr;
    const Built slow = n <= literalMost
                           ? literalMinTree(inf, n, reference.adj(), slowOut, slowErr)
                           : rememberingMinTree(inf, n, reference.adj(), slowOut, slowErr);

    for (const Isa isa : isas()) {
        SmallMatrix fast = m;
        std::ostringstream out, err;
        const Built built = minTree(inf, n, fast.adj(), fast.work(isa), out, err);
        const bool spanning = built.spanning;
        if (spanning != slow.spanning || built.passes != slow.passes ||
            out.str() != slowOut.str() || err.str() != slowErr.str() || fast.rows != reference.rows)
            std::abort();
        const std::string report = out.str();
        std::size_t edges = 0;
        for (std::size_t at = report.find("\nИз "); at != std::string::npos;
             at = report.find("\nИз ", at + 1))
            ++edges;
        const std::size_t need = n > 1 ? static_cast<std::size_t>(n - 1) : 0;
        if (spanning ? (edges != need || !err.str().empty()) : (edges >= need || err.str().empty()))
            std::abort();
    }
    return 0;
}
