// The tree construction and its report, one row per case.
#include <gtest/gtest.h>

#include <sstream>

#include "each_isa.hpp"
#include "report_text.hpp"
#include "small_matrix.hpp"
#include "tree/erasures.hpp"
#include "tree/kernels.hpp"
#include "tree/min_tree.hpp"

namespace {

constexpr std::int32_t inf = noEdge;

struct Case {
    const char* name;
    std::vector<std::vector<std::int32_t>> typed;  // 0 means no edge
    std::int32_t n;                                // passed to minTree
    std::string out;
    std::string err;  // empty when the tree spans every vertex
};

// clang-format off
const Case cases[] = {
    {"three", {{0, 1, 3}, {1, 0, 2}, {3, 2, 0}}, 3, header + edge(1, 2, 1) + edge(2, 3, 2) + cost(3), ""},
    {"tiesGoToLowestRowThenColumn", {{100, 5, 5}, {5, 100, 5}, {5, 5, 100}}, 3,
     header + edge(1, 2, 5) + edge(1, 3, 5) + cost(10), ""},
    {"lightEntryInsideTreeIsErasedSilently",
     {{0, 1, 2, 0}, {1, 0, 3, 0}, {2, 3, 0, 10}, {0, 0, 10, 0}}, 4,
     header + edge(1, 2, 1) + edge(1, 3, 2) + edge(3, 4, 10) + cost(13), ""},
    {"lightDiagonalIsErasedSilently", {{1, 5}, {5, 0}}, 2, header + edge(1, 2, 5) + cost(5), ""},
    {"asymmetricFromTreeRow", {{0, 4}, {0, 0}}, 2, header + edge(1, 2, 4) + cost(4), ""},
    {"asymmetricIntoTreeRowOnly", {{0, 0}, {4, 0}}, 2, header + "\n", unreached("2", true)},
    {"negativeWeightsAndCost", {{0, -3, -4}, {-3, 0, -1}, {-4, -1, 0}}, 3,
     header + edge(1, 3, -4) + edge(1, 2, -3) + cost(-7), ""},
    {"weightsOfInfOrMoreAreNoEdges", {{0, 150, 3}, {150, 0, 2}, {3, 2, 0}}, 3,
     header + edge(1, 3, 3) + edge(3, 2, 2) + cost(5), ""},
    {"unreachedListedInOrder", {{0, 2, 0, 0}, {2, 0, 0, 0}, {0, 0, 0, 1}, {0, 0, 1, 0}}, 4,
     header + edge(1, 2, 2) + "\n", unreached("3, 4", false)},
    {"oneVertex", {{7}}, 1, header + cost(0), ""},
    {"noVertices", {}, 0, header + cost(0), ""},
    {"negativeCount", {}, -5, header + cost(0), ""},
};
// clang-format on

void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.name;
}

class MinTree : public testing::TestWithParam<std::tuple<Case, Isa>> {};

TEST_P(MinTree, Report)
{
    const auto& [c, isa] = GetParam();
    SmallMatrix m(c.typed, inf);
    std::ostringstream out, err;
    EXPECT_EQ(minTree(inf, c.n, m.adj(), m.work(isa), out, err).spanning, c.err.empty());
    EXPECT_EQ(out.str(), c.out);
    EXPECT_EQ(err.str(), c.err);
}

INSTANTIATE_TEST_SUITE_P(Cases, MinTree, withEachIsa(testing::ValuesIn(cases)), isaName);

TEST(MinTreeErasure, ConsideredEntriesAndMirrorsHoldInf)
{
    SmallMatrix m({{0, 1, 2, 0}, {1, 0, 3, 0}, {2, 3, 0, 10}, {0, 0, 10, 0}}, inf);
    std::ostringstream out, err;
    ASSERT_TRUE(minTree(inf, 4, m.adj(), m.work(Isa::scalar), out, err).spanning);
    for (const auto& [r, c] : {std::pair{1, 2}, {1, 3}, {2, 3}, {3, 4}}) {
        EXPECT_EQ(m.rows[r][c], inf) << r << "," << c;
        EXPECT_EQ(m.rows[c][r], inf) << c << "," << r;
    }
}

constexpr std::int32_t x = inf;

// At n = 64 row 1 takes (1, 64) under a split bound, row 2 (2, 64) under a
// plain one, and the last row (64, 3); none of their mirrors is an edge.
std::int32_t blockEdge(std::int32_t r, std::int32_t c)
{
    if (r == 1 || c == 1)
        return r == c ? 0 : r == 64 ? 0 : c == 64 ? -1 : 1;
    return r == 2 && c == 64 ? -5 : r == 64 && c == 3 ? -7 : 0;
}

// Rows 1..64 all 1s, the diagonal too, vertex 65 out of reach: whole words taken.
constexpr auto wholeWords = [](auto r, auto c) { return r <= 64 && c <= 64 ? 1 : 0; };
// A star: row 1's last block of bits is its 64th word.
constexpr auto star = [](auto r, auto c) { return r != c && (r == 1 || c == 1) ? 1 : 0; };
// Rows 1..127 all 1s, the diagonal too, and vertex 128 joined last by a 5.
constexpr auto heavy = [](auto r, auto c) { return r < 128 && c < 128 ? 1 : 5 * (r * c == 128); };
// head, the rest of 2..last joined from vertex 1 by weight 1, then tail.
std::vector<Edge> fromOne(std::vector<Edge> head, std::int32_t last, std::vector<Edge> tail = {})
{
    for (std::int32_t v = 2; v <= last; ++v)
        if (std::none_of(head.begin(), head.end(), [v](const Edge& e) { return e.to == v; }))
            head.push_back({1, 1, v});
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

struct Replayed {
    const char* name;
    std::vector<std::vector<std::int32_t>> typed;  // 0 means no edge
    std::vector<Edge> edges;
    bool spanning;
    std::vector<std::vector<std::int32_t>> after;  // none: every entry inf
    std::int64_t passes;
    std::int32_t n = 0;  // for a graph too large to type, with each entry(r, c):
    std::int32_t (*entry)(std::int32_t, std::int32_t) = nullptr;
};

const Replayed replays[] = {
    // Row 1 takes its 5s up to column 3, the last edge's; row 2 none of them.
    {"tieAtTheLimit",
     {{0, 5, 5}, {5, 0, 5}, {5, 5, 0}},
     {{5, 1, 2}, {5, 1, 3}},
     true,
     {{x, x, x}, {x, x, 5}, {x, 5, x}},
     2},
    {"lightDiagonal", {{1, 5}, {5, 0}}, {{5, 1, 2}}, true, {}, 2},
    {"silentPass",
     {{0, 1, 2, 0}, {1, 0, 3, 0}, {2, 3, 0, 10}, {0, 0, 10, 0}},
     {{1, 1, 2}, {2, 1, 3}, {10, 3, 4}},
     true,
     {},
     4},
    // Stuck: the tree rows take everything below inf, the others nothing.
    {"stuck",
     {{0, 2, 0, 0}, {2, 0, 0, 0}, {0, 0, 0, 1}, {0, 0, 1, 0}},
     {{2, 1, 2}},
     false,
     {{x, x, x, x}, {x, x, x, x}, {x, x, x, 1}, {x, x, 1, x}},
     1},
    // The least weight of all as the limit: below it nothing lies.
    {"leastWeightLimit",
     {{0, -2147483647 - 1, 4}, {-2147483647 - 1, 0, 4}, {4, 4, 0}},
     {{-2147483647 - 1, 1, 2}, {4, 1, 3}},
     true,
     {{x, x, x}, {x, x, 4}, {x, 4, x}},
     2},
    {"blockEnds", {}, fromOne({{-1, 1, 64}, {-7, 64, 3}}, 63), true, {}, 65, 64, blockEdge},
    {"wholeWordsTaken", {}, fromOne({}, 64), false, {}, 2080, 65, wholeWords},
    {"sixtyFourthWord", {}, fromOne({}, 4033), true, {}, 4032, 4033, star},
    {"rowsFrom64TookAll", {}, fromOne({}, 127, {{5, 1, 128}}), true, {}, 8129, 128, heavy},
};

void PrintTo(const Replayed& c, std::ostream* os)
{
    *os << c.name;
}

class MinTreeReplay : public testing::TestWithParam<std::tuple<Replayed, Isa>> {};

// The erasures replayed from given edges: what stays, and how many passes took the rest.
TEST_P(MinTreeReplay, TakesUpToTheGreatestKeyAcceptedLater)
{
    const auto& [c, isa] = GetParam();
    const std::int32_t n = c.entry != nullptr ? c.n : static_cast<std::int32_t>(c.typed.size());
    SmallMatrix typed(n);
    for (std::int32_t r = 1; r <= n; ++r)
        for (std::int32_t col = 1; col <= n; ++col) {
            const auto i = static_cast<std::size_t>(r - 1), j = static_cast<std::size_t>(col - 1);
            const std::int32_t w = c.entry != nullptr ? c.entry(r, col) : c.typed[i][j];
            typed.rows[r][col] = w == 0 ? inf : w;
        }
    static auto* const room = new Replay;
    SmallMatrix m = typed;
    EXPECT_EQ(eraseTaken(inf, n, m.adj(), c.edges, c.spanning, *room, treeKernels(isa).taken),
              c.passes);
    for (std::int32_t r = 1; r <= n; ++r)
        EXPECT_EQ(std::vector<std::int32_t>(m.rows[r].begin() + 1, m.rows[r].end()),
                  c.after.empty() ? std::vector<std::int32_t>(typed.rows[r].size() - 1, x)
                                  : c.after[static_cast<std::size_t>(r - 1)])
            << "row " << r;
}

INSTANTIATE_TEST_SUITE_P(Replays, MinTreeReplay, withEachIsa(testing::ValuesIn(replays)), isaName);

TEST(MinTreeLimits, MoreVerticesThanFlagsIsRefused)
{
    SmallMatrix m(2, 1);
    std::ostringstream out, err;
    EXPECT_FALSE(minTree(inf, maxVer + 1, m.adj(), m.work(Isa::scalar), out, err).spanning);
    EXPECT_EQ(out.str(), "");
}

}  // namespace
