// Tree construction against the literal whole-block search and Boost.Graph's
// Prim on the same graphs, and one plain vector read of the matrix as the
// machine's floor; reading a dense 9998-vertex file; the whole program
// and Boost's end to end, wall time and peak memory.
#include <benchmark/benchmark.h>

#include <boost/graph/adjacency_matrix.hpp>
#include <boost/graph/prim_minimum_spanning_tree.hpp>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include <fcntl.h>
#include <immintrin.h>
#include <unistd.h>

#include "dialogue/console/console.hpp"
#include "dialogue/matrix_dialogue.hpp"
#include "dialogue/reader/input.hpp"
#include "isa/isa.hpp"
#include "literal_min_tree.hpp"
#include "tree/kernels.hpp"
#include "tree/min_tree.hpp"

namespace {

constexpr std::int32_t inf = noEdge;

// Accepts and forgets everything, so that writing costs the same for every search.
struct Discard : std::streambuf {
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

// A graph as typed (0 already turned into inf), rows and columns 1..n.
struct Graph {
    std::int32_t n = 0;
    std::vector<std::int32_t> w;  // (n + 1) x (n + 1), row-major

    explicit Graph(std::int32_t vertices)
        : n(vertices), w(static_cast<std::size_t>(n + 1) * static_cast<std::size_t>(n + 1), inf)
    {
    }
    std::size_t index(std::int32_t r, std::int32_t c) const
    {
        return static_cast<std::size_t>(r) * static_cast<std::size_t>(n + 1) +
               static_cast<std::size_t>(c);
    }
    std::int32_t& at(std::int32_t r, std::int32_t c) { return w[index(r, c)]; }
    std::int32_t at(std::int32_t r, std::int32_t c) const { return w[index(r, c)]; }
};

// Off-diagonal w(i, j) = max(i, j) - 10000, no edge on the diagonal: every
// vertex joins through a heavier edge than all entries among the tree's
// vertices, so most passes erase silently: (n - 1)(n - 2) / 2 + 1 of them.
Graph worst(std::int32_t n)
{
    Graph g(n);
    for (std::int32_t r = 1; r <= n; ++r)
        for (std::int32_t c = 1; c <= n; ++c)
            g.at(r, c) = r == c ? inf : std::max(r, c) - 10000;
    return g;
}

// Symmetric, every edge present, weights 1 to 99.
Graph dense(std::int32_t n)
{
    std::mt19937 rng(1);
    std::uniform_int_distribution<std::int32_t> weight(1, 99);
    Graph g(n);
    for (std::int32_t r = 1; r <= n; ++r)
        for (std::int32_t c = r + 1; c <= n; ++c)
            g.at(r, c) = g.at(c, r) = weight(rng);
    return g;
}

// Graphs are large; each is made once and shared by every search.
const Graph& graph(bool isWorst, std::int32_t n)
{
    static std::map<std::pair<bool, std::int32_t>, Graph> made;
    auto it = made.find({isWorst, n});
    if (it == made.end())
        it = made.emplace(std::pair{isWorst, n}, isWorst ? worst(n) : dense(n)).first;
    return it->second;
}

// The program's own matrix and working storage, reserved once.
std::int32_t** programMatrix()
{
    static std::int32_t** adj = reserveMatrix();
    return adj;
}

TreeWork& programWork()
{
    static TreeWork* work = reserveTreeWork(treeKernels(isas().back()));
    return *work;
}

// The graph into the program's matrix, with the same hints the program gives.
void load(const Graph& g, std::int32_t** adj)
{
    layRows(adj, g.n, preferLargePages);
    for (std::int32_t r = 1; r <= g.n; ++r)
        std::copy_n(g.w.data() + g.index(r, 0), g.n + 1, adj[r]);
}

void programSearch(benchmark::State& state, bool isWorst)
{
    const Graph& g = graph(isWorst, static_cast<std::int32_t>(state.range(0)));
    Discard sink;
    std::ostream out(&sink);
    std::int64_t passes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        load(g, programMatrix());
        state.ResumeTiming();
        const Built built = minTree(inf, g.n, programMatrix(), programWork(), out, out);
        passes = built.passes;
        if (!built.spanning)
            state.SkipWithError("no spanning tree");
    }
    state.counters["passes"] = static_cast<double>(passes);
}

// The machine's floor: one plain read of the graph's entries in the
// program's matrix, with vector loads, taking their least.
__attribute__((target("avx2"))) std::int32_t leastEntry(std::int32_t** adj, std::int32_t n)
{
    __m256i least = _mm256_set1_epi32(inf);
    for (std::int32_t r = 1; r <= n; ++r) {
        const std::int32_t* line = adj[r] + 1;
        std::int32_t c = 0;
        for (; c + 8 <= n; c += 8)
            least = _mm256_min_epi32(
                least, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(line + c)));
        for (; c < n; ++c)
            least = _mm256_min_epi32(least, _mm256_set1_epi32(line[c]));
    }
    alignas(32) std::int32_t lanes[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), least);
    return *std::min_element(lanes, lanes + 8);
}

void plainRead(benchmark::State& state, bool isWorst)
{
    const Graph& g = graph(isWorst, static_cast<std::int32_t>(state.range(0)));
    if (!__builtin_cpu_supports("avx2")) {
        state.SkipWithError("no AVX2");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        load(g, programMatrix());
        state.ResumeTiming();
        benchmark::DoNotOptimize(leastEntry(programMatrix(), g.n));
    }
}

void literalSearch(benchmark::State& state, bool isWorst)
{
    const Graph& g = graph(isWorst, static_cast<std::int32_t>(state.range(0)));
    Discard sink;
    std::ostream out(&sink);
    for (auto _ : state) {
        state.PauseTiming();
        load(g, programMatrix());
        state.ResumeTiming();
        benchmark::DoNotOptimize(literalMinTree(inf, g.n, programMatrix(), out, out));
    }
}

// Boost's Prim refuses negative weights, so the worst case is shifted up by
// 10000 for it; a shift by a constant leaves the minimum tree the same.
void boostPrim(benchmark::State& state, bool isWorst)
{
    using Weight = boost::property<boost::edge_weight_t, std::int32_t>;
    using BoostGraph = boost::adjacency_matrix<boost::undirectedS, boost::no_property, Weight>;
    const Graph& g = graph(isWorst, static_cast<std::int32_t>(state.range(0)));
    BoostGraph bg(static_cast<std::size_t>(g.n));
    const std::int32_t shift = isWorst ? 10000 : 0;
    for (std::int32_t r = 1; r <= g.n; ++r)
        for (std::int32_t c = r + 1; c <= g.n; ++c)
            if (g.at(r, c) < inf)
                boost::add_edge(static_cast<std::size_t>(r - 1), static_cast<std::size_t>(c - 1),
                                Weight(g.at(r, c) + shift), bg);
    std::vector<std::size_t> parent(static_cast<std::size_t>(g.n));
    for (auto _ : state) {
        boost::prim_minimum_spanning_tree(bg, parent.data());
        benchmark::DoNotOptimize(parent.data());
    }
}

// The spread of repetitions beside their median.
void spread(benchmark::internal::Benchmark* b)
{
    b->ComputeStatistics(
        "min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
    b->ComputeStatistics(
        "max", [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); });
}

void searches(benchmark::internal::Benchmark* b)
{
    b->Unit(benchmark::kMillisecond)->UseRealTime();
    spread(b);
}

// n = 99, 1000, 3000, 9998 for the program and Boost; the literal search only
// where it ends in seconds; the plain read at 9998.
BENCHMARK_CAPTURE(plainRead, dense, false)->Arg(9998)->Apply(searches);
BENCHMARK_CAPTURE(literalSearch, worst, true)->Arg(99)->Apply(searches);
BENCHMARK_CAPTURE(programSearch, worst, true)
    ->Arg(99)
    ->Arg(1000)
    ->Arg(3000)
    ->Arg(9998)
    ->Apply(searches);
BENCHMARK_CAPTURE(boostPrim, worst, true)
    ->Arg(99)
    ->Arg(1000)
    ->Arg(3000)
    ->Arg(9998)
    ->Apply(searches);
BENCHMARK_CAPTURE(literalSearch, dense, false)->Arg(99)->Arg(1000)->Apply(searches);
BENCHMARK_CAPTURE(programSearch, dense, false)
    ->Arg(99)
    ->Arg(1000)
    ->Arg(3000)
    ->Arg(9998)
    ->Apply(searches);
BENCHMARK_CAPTURE(boostPrim, dense, false)
    ->Arg(99)
    ->Arg(1000)
    ->Arg(3000)
    ->Arg(9998)
    ->Apply(searches);

// Runs program with standard input from path, or through a pipe from it,
// through the small peak_rss helper, whose own peak is the program's alone
// (a child spawned straight from this large process would report this
// process's peak).
void wholeRun(benchmark::State& state, const char* program, const char* path, bool piped = false)
{
    double peakKb = 0;
    for (auto _ : state) {
        const std::string command =
            std::string(PEAK_RSS) + (piped ? " -p " : " ") + path + " " + program;
        FILE* pipe = popen(command.c_str(), "r");
        double seconds = 0, kb = 0;
        const bool read = pipe != nullptr && std::fscanf(pipe, "%lf %lf", &seconds, &kb) == 2;
        if (pipe == nullptr || pclose(pipe) != 0 || !read) {
            state.SkipWithError("the program failed");
            break;
        }
        state.SetIterationTime(seconds);
        peakKb = std::max(peakKb, kb);
    }
    state.counters["peak_rss_MB"] = peakKb / 1024.0;
}

BENCHMARK_CAPTURE(wholeRun, worst99, MST_BINARY, MST_SOURCE_DIR "/examples/worst99.txt")
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Apply(spread);

// A text as a user would type it, written once: the count, then the rows.
std::string typed(const std::string& name, std::int32_t n,
                  std::int32_t (*weight)(std::int32_t r, std::int32_t c))
{
    const std::string path = MST_BENCH_DIR "/" + name;
    if (std::FILE* old = std::fopen(path.c_str(), "r")) {
        std::fclose(old);
        return path;
    }
    std::FILE* f = std::fopen(path.c_str(), "w");
    std::fprintf(f, "%d\n", n);
    for (std::int32_t r = 1; r <= n; ++r)
        for (std::int32_t c = 1; c <= n; ++c)
            std::fprintf(f, "%d%c", weight(r, c), c < n ? ' ' : '\n');
    std::fclose(f);
    return path;
}

// The dense 9998-vertex graph: 290 MB of one- and two-digit numbers.
const char* denseText()
{
    static const std::string path =
        typed("dense9998.txt", maxVer, [](std::int32_t r, std::int32_t c) {
            const std::int32_t w = graph(false, maxVer).at(r, c);
            return w >= inf ? 0 : w;
        });
    return path.c_str();
}

// 3000 vertices of signed nine-digit weights such as -123456789: 99 MB.
const char* signedText()
{
    static const std::string path =
        typed("signed3000.txt", 3000, [](std::int32_t r, std::int32_t c) {
            return -100000000 -
                   static_cast<std::int32_t>(
                       (std::uint32_t(r) * 7919u + std::uint32_t(c) * 104729u) % 900000000u);
        });
    return path.c_str();
}

// Reads a count and its matrix from standard input into the program's matrix.
bool readStdin()
{
    Input in = stdinInput(std::cout, readerKernels(isas().back()));
    std::int32_t n = 0;
    std::ostringstream err;
    if (!readCount(in, n, err))
        return false;
    layRows(programMatrix(), n, preferLargePages);
    return readMatrix(programMatrix(), n, inf, in, err);
}

// Reading a file into the program's matrix, through standard input. The
// matrix's memory is touched by a first reading that is not timed.
void parseFile(benchmark::State& state, const char* (*text)())
{
    const int fd = open(text(), O_RDONLY);
    const int saved = dup(0);
    dup2(fd, 0);
    if (!readStdin())
        state.SkipWithError("the file did not read");
    for (auto _ : state) {
        lseek(0, 0, SEEK_SET);
        if (!readStdin())
            state.SkipWithError("the file did not read");
    }
    dup2(saved, 0);
    close(saved);
    close(fd);
}

// The same through a pipe, as `cat file | mst` gives it.
void parsePipe(benchmark::State& state, const char* (*text)())
{
    const std::string command = std::string("cat ") + text();
    const int saved = dup(0);
    bool ok = true;
    const auto once = [&] {
        FILE* cat = popen(command.c_str(), "r");
        dup2(fileno(cat), 0);
        ok = readStdin() && ok;
        dup2(saved, 0);
        ok = pclose(cat) == 0 && ok;
    };
    once();
    for (auto _ : state)
        once();
    if (!ok)
        state.SkipWithError("the pipe did not read");
    close(saved);
}
BENCHMARK_CAPTURE(parseFile, dense9998, denseText)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Apply(spread);
BENCHMARK_CAPTURE(parsePipe, dense9998, denseText)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Apply(spread);
BENCHMARK_CAPTURE(parseFile, signed3000, signedText)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Apply(spread);
BENCHMARK_CAPTURE(parsePipe, signed3000, signedText)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Apply(spread);

// The program and the anchor end to end on the same file, one after the
// other; then both again with the file through a pipe.
void wholeDense(benchmark::State& state, const char* program)
{
    wholeRun(state, program, denseText());
}
BENCHMARK_CAPTURE(wholeDense, program, MST_BINARY)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Apply(spread);
BENCHMARK_CAPTURE(wholeDense, boost, BOOST_MST)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Apply(spread);

void wholeDensePiped(benchmark::State& state, const char* program)
{
    wholeRun(state, program, denseText(), true);
}
BENCHMARK_CAPTURE(wholeDensePiped, program, MST_BINARY)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Apply(spread);
BENCHMARK_CAPTURE(wholeDensePiped, boost, BOOST_MST)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Apply(spread);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
