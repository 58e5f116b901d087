// Any bytes as the user's input: reading must end in a matrix or a message, and
// the tree built from it must be a well-formed report, the same as the literal
// whole-block search writes. The sanitizers catch the rest.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "dialogue/matrix.hpp"
#include "literal_min_tree.hpp"
#include "small_matrix.hpp"
#include "tree/min_tree.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    constexpr std::int32_t inf = 100;
    // Only as large as the count can be, so that a write past it is caught.
    static SmallMatrix m(maxVer);
    static SmallMatrix literal(maxVer);

    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::ostringstream out, err;
    std::int32_t n = 0;
    if (!readCount(in, n, err) || !readMatrix(m.adj(), n, inf, in, err)) {
        if (err.str().empty())
            std::abort();  // a refusal must say why
        return 0;
    }
    if (n > maxVer || !err.str().empty())
        std::abort();

    literal.rows = m.rows;  // same sizes: copied in place, its row pointers stay
    std::ostringstream literalOut, literalErr;
    const bool literalSpanning = literalMinTree(inf, n, literal.adj(), literalOut, literalErr);

    const bool spanning = minTree(inf, n, m.adj(), out, err);
    if (spanning != literalSpanning || out.str() != literalOut.str() ||
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
