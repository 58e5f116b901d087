// Tree construction against the literal whole-block search, side by side; the
// matrix reservation; the whole program's peak resident memory.
#include <benchmark/benchmark.h>

#include <random>
#include <streambuf>
#include <string>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "dialogue/matrix.hpp"
#include "literal_min_tree.hpp"
#include "small_matrix.hpp"
#include "tree/min_tree.hpp"

namespace {

constexpr std::int32_t inf = 100;
constexpr std::int32_t n = maxVer;

// Accepts and forgets everything, so that writing costs the same for both searches.
struct Discard : std::streambuf {
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

// Off-diagonal w(i, j) = max(i, j): every vertex joins through a heavier edge
// than all entries among the tree's vertices, so most passes erase silently.
SmallMatrix worst()
{
    SmallMatrix m(n);
    for (std::int32_t r = 1; r <= n; ++r)
        for (std::int32_t c = 1; c <= n; ++c)
            m.rows[r][c] = r == c ? inf : std::max(r, c);
    return m;
}

SmallMatrix randomDense()
{
    std::mt19937 rng(1);
    SmallMatrix m(n, inf);
    for (std::int32_t r = 1; r <= n; ++r)
        for (std::int32_t c = r + 1; c <= n; ++c)
            m.rows[r][c] = m.rows[c][r] = std::uniform_int_distribution<std::int32_t>(1, 99)(rng);
    return m;
}

// A random spanning tree plus about 2n more edges; everything else no edge.
SmallMatrix randomSparse()
{
    std::mt19937 rng(2);
    SmallMatrix m(n, inf);
    auto link = [&](std::int32_t a, std::int32_t b) {
        m.rows[a][b] = m.rows[b][a] = std::uniform_int_distribution<std::int32_t>(1, 99)(rng);
    };
    for (std::int32_t v = 2; v <= n; ++v)
        link(std::uniform_int_distribution<std::int32_t>(1, v - 1)(rng), v);
    for (std::int32_t k = 0; k < 2 * n; ++k) {
        std::uniform_int_distribution<std::int32_t> any(1, n);
        const std::int32_t a = any(rng), b = any(rng);
        if (a != b)
            link(a, b);
    }
    return m;
}

using Tree = bool (*)(std::int32_t, std::int32_t, std::int32_t**, std::ostream&, std::ostream&);

void run(benchmark::State& state, Tree tree, SmallMatrix (*make)())
{
    const SmallMatrix typed = make();
    SmallMatrix work = typed;
    Discard sink;
    std::ostream out(&sink);
    for (auto _ : state) {
        state.PauseTiming();
        for (std::size_t r = 0; r < typed.rows.size(); ++r)
            work.rows[r] = typed.rows[r];  // same size: no reallocation, pointers stay
        state.ResumeTiming();
        benchmark::DoNotOptimize(tree(inf, n, work.adj(), out, out));
    }
}

void literalSearch(benchmark::State& state, SmallMatrix (*make)())
{
    run(state, literalMinTree, make);
}

void programSearch(benchmark::State& state, SmallMatrix (*make)())
{
    run(state, minTree, make);
}

BENCHMARK_CAPTURE(literalSearch, worst, worst)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(programSearch, worst, worst)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(literalSearch, dense, randomDense)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(programSearch, dense, randomDense)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(literalSearch, sparse, randomSparse)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(programSearch, sparse, randomSparse)->Unit(benchmark::kMicrosecond);

void reserve(benchmark::State& state)
{
    for (auto _ : state) {
        std::int32_t** adj = reserveMatrix();
        benchmark::DoNotOptimize(adj);
        state.PauseTiming();
        for (std::int32_t r = 1; r < matrixSize; ++r)
            delete[] adj[r];
        delete[] adj;
        state.ResumeTiming();
    }
}
BENCHMARK(reserve)->Unit(benchmark::kMillisecond);

// The whole program on the worst 99-vertex input (the same graph as worst())
// from a file; the counter is the child's peak resident memory.
void wholeProgram(benchmark::State& state)
{
    const char* path = MST_SOURCE_DIR "/examples/worst99.txt";
    long peakKb = 0;
    for (auto _ : state) {
        posix_spawn_file_actions_t acts;
        posix_spawn_file_actions_init(&acts);
        posix_spawn_file_actions_addopen(&acts, 0, path, O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&acts, 1, "/dev/null", O_WRONLY, 0);
        pid_t pid = 0;
        char* argv[] = {const_cast<char*>(MST_BINARY), nullptr};
        if (posix_spawn(&pid, MST_BINARY, &acts, nullptr, argv, environ) != 0) {
            state.SkipWithError("cannot start the program");
            break;
        }
        posix_spawn_file_actions_destroy(&acts);
        int ws = 0;
        rusage use{};
        wait4(pid, &ws, 0, &use);
        if (!WIFEXITED(ws) || WEXITSTATUS(ws) != 0) {
            state.SkipWithError("the program failed");
            break;
        }
        peakKb = std::max(peakKb, use.ru_maxrss);
    }
    state.counters["peak_rss_MB"] = static_cast<double>(peakKb) / 1024.0;
}
BENCHMARK(wholeProgram)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
