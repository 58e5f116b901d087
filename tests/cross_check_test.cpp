// The program's tree search against the literal whole-block search and against
// an independent distance-table Prim, on thousands of random small graphs.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "literal_min_tree.hpp"
#include "report_text.hpp"
#include "small_matrix.hpp"
#include "tree/min_tree.hpp"

namespace {

constexpr std::int32_t inf = noEdge;

// Textbook Prim with a distance table. Each step joins the vertex outside the
// tree reached by the lightest entry from a tree row, ties to the lowest row,
// then the lowest column. Writes the report that the program must write.
bool primReport(const SmallMatrix& m, std::int32_t n, std::string& out, std::string& err)
{
    std::vector<bool> in(static_cast<std::size_t>(std::max(n, 1) + 1), false);
    std::vector<std::int32_t> dist(in.size(), inf), from(in.size(), 0);
    auto relax = [&](std::int32_t u) {
        for (std::int32_t v = 1; v <= n; ++v) {
            const std::int32_t w = m.rows[u][v];
            if (!in[v] && (w < dist[v] || (w == dist[v] && w < inf && u < from[v]))) {
                dist[v] = w;
                from[v] = u;
            }
        }
    };
    out = header;
    in[1] = true;
    relax(1);
    long long total = 0;
    for (std::int32_t joined = 1; joined < n; ++joined) {
        std::int32_t best = 0;
        for (std::int32_t v = 1; v <= n; ++v)
            if (!in[v] && dist[v] < inf &&
                (best == 0 || dist[v] < dist[best] ||
                 (dist[v] == dist[best] && from[v] < from[best])))
                best = v;
        if (best == 0) {
            std::string list;
            std::int32_t missed = 0;
            for (std::int32_t v = 1; v <= n; ++v)
                if (!in[v]) {
                    list += (missed++ == 0 ? "" : ", ") + std::to_string(v);
                }
            out += "\n";
            err = unreached(list, missed == 1);
            return false;
        }
        out += edge(from[best], best, dist[best]);
        total += dist[best];
        in[best] = true;
        relax(best);
    }
    out += cost(total);
    err.clear();
    return true;
}

// Small weights make ties and silent erasures common; 0, inf and more are no
// edge, typed with the given chance.
std::int32_t randomWeight(std::mt19937& rng, double missing)
{
    static const std::int32_t none[] = {0, inf, 150, 2147483647};
    static const std::int32_t edges[] = {-1, 99, -2147483647 - 1};
    if (std::bernoulli_distribution(missing)(rng))
        return none[std::uniform_int_distribution<std::size_t>(0, std::size(none) - 1)(rng)];
    if (std::bernoulli_distribution(0.1)(rng))
        return edges[std::uniform_int_distribution<std::size_t>(0, std::size(edges) - 1)(rng)];
    return std::uniform_int_distribution<std::int32_t>(-4, 8)(rng);
}

SmallMatrix randomGraph(std::mt19937& rng, std::int32_t n, bool symmetric)
{
    const double missing = std::uniform_real_distribution<double>(0.0, 0.9)(rng);
    SmallMatrix typed(std::max(n, 0));
    for (std::int32_t r = 1; r <= n; ++r)
        for (std::int32_t c = 1; c <= n; ++c) {
            const std::int32_t w =
                symmetric && c < r ? typed.rows[c][r] : randomWeight(rng, missing);
            typed.rows[r][c] = w == 0 ? inf : w;
        }
    return typed;
}

// The program's search against the literal one and a textbook Prim; returns
// whether the tree spans the graph.
bool sameAsReferences(const SmallMatrix& typed, std::int32_t n, bool literalToo)
{
    SmallMatrix fast = typed, literal = typed;
    std::ostringstream fastOut, fastErr, literalOut, literalErr;
    const Built built = minTree(inf, n, fast.adj(), fast.work(), fastOut, fastErr);
    std::string primOut, primErr;
    const bool primOk = primReport(typed, n, primOut, primErr);
    EXPECT_EQ(fastOut.str(), primOut);
    EXPECT_EQ(fastErr.str(), primErr);
    EXPECT_EQ(built.spanning, primOk);
    if (literalToo) {
        const Built slow = literalMinTree(inf, n, literal.adj(), literalOut, literalErr);
        EXPECT_EQ(fastOut.str(), literalOut.str());
        EXPECT_EQ(fastErr.str(), literalErr.str());
        EXPECT_EQ(built.spanning, slow.spanning);
        EXPECT_EQ(built.passes, slow.passes) << "a pass took an entry already erased, or none";
        EXPECT_TRUE(fast.rows == literal.rows) << "a different set of entries was erased";
    }
    return built.spanning;
}

TEST(CrossCheck, SmallGraphsPassForPassAsTheLiteralSearch)
{
    std::mt19937 rng(20261208);
    int spanning = 0;
    constexpr int rounds = 20000;
    for (int round = 0; round < rounds; ++round) {
        const std::int32_t n = std::uniform_int_distribution<std::int32_t>(-1, 12)(rng);
        SCOPED_TRACE("round " + std::to_string(round) + ", n = " + std::to_string(n));
        spanning += sameAsReferences(randomGraph(rng, n, round % 3 != 0), n, true);
        if (testing::Test::HasFailure())
            return;
    }
    // Both outcomes must be well represented for the check to mean anything.
    EXPECT_GT(spanning, rounds / 4);
    EXPECT_LT(spanning, rounds * 3 / 4);
}

TEST(CrossCheck, LargerGraphsPassForPassAsTheLiteralSearch)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 24; ++round) {
        const std::int32_t n = std::uniform_int_distribution<std::int32_t>(13, 150)(rng);
        SCOPED_TRACE("round " + std::to_string(round) + ", n = " + std::to_string(n));
        sameAsReferences(randomGraph(rng, n, round % 3 != 0), n, true);
        if (testing::Test::HasFailure())
            return;
    }
}

TEST(CrossCheck, ThousandsOfVerticesAsPrim)
{
    std::mt19937 rng(11);
    for (const std::int32_t n : {1000, 2000, 3000}) {
        SCOPED_TRACE("n = " + std::to_string(n));
        // Mostly present edges, so that the tree spans.
        SmallMatrix typed(n);
        for (std::int32_t r = 1; r <= n; ++r)
            for (std::int32_t c = r; c <= n; ++c)
                typed.rows[r][c] = typed.rows[c][r] = randomWeight(rng, 0.05);
        EXPECT_TRUE(sameAsReferences(typed, n, false));
    }
}

}  // namespace
