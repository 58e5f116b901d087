// Any bytes as the user's input: reading must end in a matrix or a message, and
// the tree built from it must be a well-formed report, the same as the literal
// whole-block search writes. The sanitizers catch the rest.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "dialogue/input.hpp"
#include "dialogue/matrix.hpp"
#include "literal_min_tree.hpp"
#include "reference_reader.hpp"
#include "small_matrix.hpp"
#include "tree/min_tree.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    constexpr std::int32_t inf = noEdge;
    // Larger counts are left alone: the literal search would take too long.
    // The matrix is only as large as the count can be, so that a write past
    // it is caught.
    constexpr std::int32_t most = 40;
    static SmallMatrix m(most);
    static SmallMatrix literal(most);

    // Every way of reading takes the plain grammar's numbers and stops where it
    // does: the text as it is, with blanks after it for the quick ways, and in
    // pieces that put the chunk ends anywhere.
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string padded = std::string(text) + std::string(70, ' ');
    for (const ReadPath path : readPaths()) {
        useReadPath(path);
        if (!differs(text, textInput(text), most).empty() ||
            !differs(padded, textInput(padded), most).empty() ||
            !differs(padded, textInput(padded, 1 + (size > 0 ? data[0] % 97 : 0)), most).empty())
            std::abort();
    }
    useReadPath(readPaths().back());

    Input in = textInput(text);
    std::ostringstream out, err;
    std::int32_t n = 0;
    const bool counted = readCount(in, n, err);
    if (counted && n > most)
        return 0;
    if (!counted || !readMatrix(m.adj(), n, inf, in, err)) {
        if (err.str().empty())
            std::abort();  // a refusal must say why
        return 0;
    }
    if (!err.str().empty())
        std::abort();

    literal.rows = m.rows;  // same sizes: copied in place, its row pointers stay
    std::ostringstream literalOut, literalErr;
    const Built slow = literalMinTree(inf, n, literal.adj(), literalOut, literalErr);

    const Built built = minTree(inf, n, m.adj(), m.work(), out, err);
    const bool spanning = built.spanning;
    if (spanning != slow.spanning || built.passes != slow.passes || out.str() != literalOut.str() ||
        err.str() != literalErr.str() || m.rows != literal.rows)
        std::abort();
    const std::string report = out.str();
    std::size_t edges = 0;
    for (std::size_t at = report.find("\nИз "); at != std::string::npos;
         at = report.find("\nИз ", at + 1))
        ++edges;
    const std::size_t want = n > 1 ? static_cast<std::size_t>(n - 1) : 0;
    if (spanning ? (edges != want || !err.str().empty()) : (edges >= want || err.str().empty()))
        std::abort();
    return 0;
}
