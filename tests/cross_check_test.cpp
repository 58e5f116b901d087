// The program's tree search against the literal whole-block search and against
// an independent distance-table Prim, on thousands of random small graphs.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "each_isa.hpp"
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
                if (!in[v])
                    list += (missed++ == 0 ? "" : ", ") + std::to_string(v);
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

// Which reference must be matched pass for pass, besides a textbook Prim's report.
enum class Passes { literal, remembering, none };

// The program's search, by every way the processor can run it, against a
// reference and a textbook Prim; returns whether the tree spans the graph.
bool sameAsReferences(const SmallMatrix& typed, std::int32_t n, Passes passes)
{
    std::string primOut, primErr;
    const bool primOk = primReport(typed, n, primOut, primErr);
    SmallMatrix slow = typed;
    std::ostringstream slowOut, slowErr;
    Built want{primOk, 0};
    if (passes == Passes::literal) {
        want = literalMinTree(inf, n, slow.adj(), slowOut, slowErr);
        // The quicker reference proves itself here, for the graphs that need it.
        SmallMatrix again = typed;
        std::ostringstream againOut, againErr;
        const Built quicker = rememberingMinTree(inf, n, again.adj(), againOut, againErr);
        EXPECT_EQ(againOut.str(), slowOut.str());
        EXPECT_EQ(quicker.passes, want.passes);
        EXPECT_TRUE(again.rows == slow.rows);
    } else if (passes == Passes::remembering) {
        want = rememberingMinTree(inf, n, slow.adj(), slowOut, slowErr);
    }
    bool spanning = false;
    for (const Isa isa : isas()) {
        SCOPED_TRACE("way " + testing::PrintToString(isa));
        SmallMatrix fast = typed;
        std::ostringstream fastOut, fastErr;
        const Built built = minTree(inf, n, fast.adj(), fast.work(isa), fastOut, fastErr);
        EXPECT_EQ(fastOut.str(), primOut);
        EXPECT_EQ(fastErr.str(), primErr);
        EXPECT_EQ(built.spanning, primOk);
        if (passes != Passes::none) {
            EXPECT_EQ(fastOut.str(), slowOut.str());
            EXPECT_EQ(fastErr.str(), slowErr.str());
            EXPECT_EQ(built.spanning, want.spanning);
            EXPECT_EQ(built.passes, want.passes) << "a pass took an entry already erased, or none";
            EXPECT_TRUE(fast.rows == slow.rows) << "a different set of entries was erased";
        }
        spanning = built.spanning;
    }
    return spanning;
}

TEST(CrossCheck, SmallGraphsPassForPassAsTheLiteralSearch)
{
    std::mt19937 rng(20261208);
    int spanning = 0;
    constexpr int rounds = 20000;
    for (int round = 0; round < rounds; ++round) {
        const std::int32_t n = std::uniform_int_distribution<std::int32_t>(-1, 12)(rng);
        SCOPED_TRACE("round " + std::to_string(round) + ", n = " + std::to_string(n));
        spanning += sameAsReferences(randomGraph(rng, n, round % 3 != 0), n, Passes::literal);
        if (testing::Test::HasFailure())
            return;
    }
    // Both outcomes must be well represented for the check to mean anything.
    EXPECT_GT(spanning, rounds / 4);
    EXPECT_LT(spanning, rounds * 3 / 4);
}

// Every vertex count up to 200 and either side of 256, so that every tail of a register and of a
// 64-entry block is met: weights of a narrow range, so that ties and silent erasures abound,
// symmetric or not, and graphs that fall apart into two parts.
TEST(CrossCheck, EveryCountPassForPassAsTheLiteralSearch)
{
    std::mt19937 rng(19);
    std::vector<std::int32_t> counts;
    for (std::int32_t n = 1; n <= 200; ++n)
        counts.push_back(n);
    counts.insert(counts.end(), {255, 256, 257});
    int spanning = 0, graphs = 0;
    for (const std::int32_t n : counts)
        for (int kind = 0; kind < 5; ++kind) {
            SCOPED_TRACE("n = " + std::to_string(n) + ", kind " + std::to_string(kind));
            const Passes reference = n <= 64 ? Passes::literal : Passes::remembering;
            // Typed weights 0..3 (0 is no edge) or -1..1; kind 2 is asymmetric,
            // kind 3 has no edge between vertices below and above a cut; kind 4
            // has the extremes too: the least and greatest weights, inf and more.
            const bool symmetric = kind != 2;
            const std::int32_t low = kind % 2 == 0 ? 0 : -1, high = kind % 2 == 0 ? 3 : 1;
            const std::int32_t cut =
                kind == 3 ? std::uniform_int_distribution<std::int32_t>(1, n)(rng) : n;
            SmallMatrix typed = kind == 4 ? randomGraph(rng, n, true) : SmallMatrix(n);
            for (std::int32_t r = 1; r <= n && kind < 4; ++r)
                for (std::int32_t c = 1; c <= n; ++c) {
                    const std::int32_t w =
                        symmetric && c < r ? typed.rows[c][r]
                        : (r <= cut) != (c <= cut)
                            ? 0
                            : std::uniform_int_distribution<std::int32_t>(low, high)(rng);
                    typed.rows[r][c] = w == 0 ? inf : w;
                }
            spanning += sameAsReferences(typed, n, reference);
            ++graphs;
            if (testing::Test::HasFailure())
                return;
        }
    EXPECT_GT(spanning, graphs / 4);
    EXPECT_GT(graphs - spanning, graphs / 8);
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
        EXPECT_TRUE(sameAsReferences(typed, n, Passes::none));
    }
}

}  // namespace
