// The whole program through its real standard input, output, error and status.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

#include "report_text.hpp"
#include "run_program.hpp"

namespace {

const std::string pause = "Для продолжения нажмите любую клавишу . . . \n";
// All a run writes on standard output when its tree has no edge.
const std::string emptyTree = askCount + askMatrix + header + cost(0) + timeLine + pause;
// A graph of three vertices, and all a run writes on standard output for it.
const std::string three = "3\n0 1 3\n1 0 2\n3 2 0\n";
const std::string threeTree =
    askCount + askMatrix + header + edge(1, 2, 1) + edge(2, 3, 2) + cost(3) + timeLine + pause;

struct Case {
    const char* name;
    std::string input;
    std::string out;  // "@TIME@" stands for the elapsed-time figure
    std::string err;
    int status;
};

const Case cases[] = {
    {"threeVertices", three, threeTree, "", 0},
    {"zeroVertices", "0\n", emptyTree, "", 0},
    {"negativeCount", "-4\n", emptyTree, "", 0},
    {"oneVertex", "1\n5\n", emptyTree, "", 0},
    {"costBeyond32Bits", "3\n0 -2147483648 0\n-2147483648 0 -2147483648\n0 -2147483648 0\n",
     askCount + askMatrix + header + edge(1, 2, -2147483648LL) + edge(2, 3, -2147483648LL) +
         cost(-4294967296LL) + timeLine + pause,
     "", 0},
    {"tooManyVertices", "9999\n", askCount + pause,
     "Ошибка: количество вершин графа не может быть больше 9998, а введено 9999.\n", 1},
    {"emptyInput", "", askCount + pause,
     "Ошибка: ввод закончился, не хватает количества вершин графа.\n", 1},
    {"countNotANumber", "abc\n", askCount + pause, badCount("abc"), 1},
    {"entryNotANumber", "2\n0 3.5\n", askCount + askMatrix + pause, badEntry("1, столбце 2", "3.5"),
     1},
    {"byteOrderMarkSkipped", "\ufeff2\n0 4\n4 0\n",
     askCount + askMatrix + header + edge(1, 2, 4) + cost(4) + timeLine + pause, "", 0},
    {"dataAfterTheMatrix", "2\n0 4\n4 0\n0\n",
     askCount + askMatrix + header + edge(1, 2, 4) + cost(4) + timeLine + pause, dataAfter, 0},
    {"dataAfterANegativeCount", "-4 not numbers\n", emptyTree, dataAfter, 0},
    {"endsHalfway", "3\n0 1 3\n1 0", askCount + askMatrix + pause,
     "Ошибка: ввод закончился, не хватает элемента матрицы в строке 2, столбце 3.\n", 1},
    {"vertexOneAlone", "3\n0 0 0\n0 0 4\n0 4 0\n", askCount + askMatrix + header + "\n" + pause,
     unreached("2, 3", false), 1},
    {"twoComponents", "4\n0 2 0 0\n2 0 0 0\n0 0 0 1\n0 0 1 0\n",
     askCount + askMatrix + header + edge(1, 2, 2) + "\n" + pause, unreached("3, 4", false), 1},
    {"edgeOnlyIntoVertexOne", "2\n0 0\n6 0\n", askCount + askMatrix + header + "\n" + pause,
     unreached("2", true), 1},
    {"heavyEdgesAreNoEdges", "2\n0 100\n100 0\n", askCount + askMatrix + header + "\n" + pause,
     unreached("2", true), 1},
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.name;
}

class Program : public testing::TestWithParam<Case> {};

TEST_P(Program, WritesExactlyTheExpected)
{
    const Case& c = GetParam();
    const Outcome run = runProgram(c.input);
    ASSERT_FALSE(run.hung);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.err, c.err);
    EXPECT_EQ(withoutTime(run.out), c.out);
}

INSTANTIATE_TEST_SUITE_P(Inputs, Program, testing::ValuesIn(cases),
                         [](const auto& p) { return std::string(p.param.name); });

// Every example a user is pointed to gives the output kept beside its test.
TEST(ProgramExamples, EachGivesItsExpectedOutput)
{
    const struct {
        const char* name;
        int status;
    } examples[] = {{"disconnected", 1}, {"five", 0}, {"three", 0}, {"ties", 0}, {"worst99", 0}};
    const auto slurp = [](const std::filesystem::path& path) {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    };
    const std::filesystem::path dir = MST_EXAMPLES_DIR;
    const std::filesystem::path expected = MST_EXPECTED_DIR;
    std::size_t listed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        listed += entry.path().extension() == ".txt";
    EXPECT_EQ(listed, std::size(examples)) << "an example without an expected output";
    for (const auto& e : examples) {
        SCOPED_TRACE(e.name);
        const std::string name = e.name;
        ASSERT_TRUE(std::filesystem::exists(dir / (name + ".txt")));
        ASSERT_TRUE(std::filesystem::exists(expected / (name + ".out")));
        const Outcome run = runProgram(slurp(dir / (name + ".txt")));
        ASSERT_FALSE(run.hung);
        EXPECT_EQ(run.status, e.status);
        EXPECT_EQ(run.err, slurp(expected / (name + ".err")));
        EXPECT_EQ(withoutTime(run.out), slurp(expected / (name + ".out")));
    }
}

TEST(ProgramLimits, EveryCountUpToTheMatrixCapacityWorks)
{
    for (const int n : {99, 100, 9998}) {
        SCOPED_TRACE(n);
        // A path 1-2-...-n with weight 1 + v % 98 on the edge into v; no other edges.
        std::string zeros(2 * static_cast<std::size_t>(n), ' ');  // "0 0 ... 0\n"
        for (std::size_t k = 0; k < zeros.size(); k += 2)
            zeros[k] = '0';
        zeros.back() = '\n';
        std::string input = std::to_string(n) + "\n";
        input.reserve(input.size() + zeros.size() * static_cast<std::size_t>(n));
        std::string report;
        long long total = 0;
        for (int r = 1; r <= n; ++r) {
            std::string row = zeros;
            // Put a weight of up to two digits in place of column c's "0".
            const auto put = [&row](int c, int w) {
                row.replace(static_cast<std::size_t>(2 * (c - 1)), 1, std::to_string(w));
            };
            // Replace from the right so the places to the left stay put.
            if (r < n)
                put(r + 1, 1 + (r + 1) % 98);
            if (r > 1)
                put(r - 1, 1 + r % 98);
            input += row;
            if (r < n) {
                report += edge(r, r + 1, 1 + (r + 1) % 98);
                total += 1 + (r + 1) % 98;
            }
        }
        const Outcome run = runProgram(input);
        ASSERT_FALSE(run.hung);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(withoutTime(run.out),
                  askCount + askMatrix + header + report + cost(total) + timeLine + pause);
    }
}

// Inputs that never end, or never close, and inputs that cannot be read: each
// run must end on its own, with the message its case calls for.
TEST(ProgramInput, EndsWithoutWaitingForWhatNeverComes)
{
    const std::string readFailed =
        "Ошибка: не удалось прочитать стандартный ввод, не хватает количества вершин графа.\n";
    const std::string zeros(40, '\0');
    const std::string folder = std::filesystem::temp_directory_path().string();
    const struct {
        const char* name;
        std::string input;
        ::Setup setup;
        std::string out;
        std::string err;
        int status;
    } runs[] = {
        {"zero bytes forever",
         "",
         {.endless = zeros},
         askCount + pause,
         badCount(std::string(40, '?') + "…"),
         1},
        {"one digit forever",
         "",
         {.endless = "9999999999"},
         askCount + pause,
         badCount(std::string(40, '9') + "…"),
         1},
        {"a valid start, then zero bytes",
         "2\n0 4\n4 0",
         {.endless = zeros},
         askCount + askMatrix + pause,
         badEntry("2, столбце 2", "0" + std::string(39, '?') + "…"),
         1},
        {"count 0, pipe left open", "0\n", {.keepOpen = true}, emptyTree, "", 0},
        {"a matrix, pipe left open", "1\n0\n", {.keepOpen = true}, emptyTree, "", 0},
        // Left non-blocking by the parent, the pipe is waited on as any other.
        {"non-blocking, a line every 50 ms",
         three,
         {.nonBlocking = true, .lineGapMs = 50},
         threeTree,
         "",
         0},
        {"a directory", "", {.inFile = folder.c_str()}, askCount + pause, readFailed, 1},
        {"closed", "", {.closedInput = true}, askCount + pause, readFailed, 1},
    };
    for (const auto& c : runs) {
        SCOPED_TRACE(c.name);
        const Outcome run = runProgram(c.input, c.setup);
        ASSERT_FALSE(run.hung);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(withoutTime(run.out), c.out);
    }
}

TEST(ProgramInput, WarnsOfDataAfterTheMatrixInAFile)
{
    const std::string path =
        (std::filesystem::temp_directory_path() /
         ("mst_dataAfter_" +
          std::to_string(std::chrono::steady_clock::now().time_since_epoch().count())))
            .string();
    // The dataAfter number sits far past the first chunk the program reads.
    std::ofstream(path, std::ios::binary) << "1\n0" << std::string(3 << 20, ' ') << "5\n";
    const Outcome run = runProgram("", {.inFile = path.c_str()});
    std::filesystem::remove(path);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, dataAfter);
    EXPECT_EQ(withoutTime(run.out), emptyTree);
}

TEST(ProgramLimits, UnwritableOutputIsAFailure)
{
#ifdef _WIN32
    // No /dev/full there: a pipe whose reader has gone fails a write too.
    const Outcome run = runProgram(three, {.brokenOutput = true});
#else
    const Outcome run = runProgram(three, {.outFile = "/dev/full"});
#endif
    ASSERT_FALSE(run.hung);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Ошибка: не удалось записать результат на стандартный вывод.\n");
}

TEST(ProgramLimits, NoMemoryForTheMatrix)
{
#if defined(MST_SANITIZED)
    GTEST_SKIP() << "the sanitizers' own reservations need more address space than the limit";
#elif defined(_WIN32)
    GTEST_SKIP() << "Wine does not enforce a memory limit on a process";
#else
    // Under each limit the run either completes or says that memory ran out, never aborts. 200 MB
    // cannot hold the ~400 MB matrix; from 390 MB to 420 MB, in steps well below the 1 MiB input
    // buffer, lie the limits under which the matrix fits and what is reserved beside it may not.
    constexpr long mb = 1000L * 1000;
    const struct {
        const char* name;
        long ::Setup::*limit;
        long from, to;
        bool completes;  // some run under these limits completes
    } limits[] = {
        {"address space 200 MB", &::Setup::memLimit, 200 * mb, 200 * mb, false},
        {"address space 390-420 MB", &::Setup::memLimit, 390 * mb, 420 * mb, true},
        {"data 390-420 MB", &::Setup::dataLimit, 390 * mb, 420 * mb, true},
    };
    for (const auto& l : limits) {
        SCOPED_TRACE(l.name);
        int completed = 0, refused = 0;
        for (long bytes = l.from; bytes <= l.to; bytes += 250'000) {
            SCOPED_TRACE(bytes);
            ::Setup setup;
            setup.*l.limit = bytes;
            const Outcome run = runProgram(three, setup);
            ASSERT_FALSE(run.hung);
            if (run.status == 0) {
                ++completed;
                EXPECT_EQ(run.err, "");
                EXPECT_EQ(withoutTime(run.out), threeTree);
            } else {
                ++refused;
                EXPECT_EQ(run.status, 1);
                EXPECT_EQ(run.err, "Ошибка: не хватает памяти для матрицы смежности.\n");
                EXPECT_EQ(run.out, pause);
            }
        }
        // Both outcomes within the range: its edge was crossed.
        EXPECT_GT(refused, 0);
        EXPECT_EQ(completed > 0, l.completes);
    }
#endif
}

TEST(ProgramLimits, SmallStackIsEnough)
{
#if defined(MST_SANITIZED)
    GTEST_SKIP() << "the sanitizers' own frames need more stack than the limit";
#elif defined(_WIN32)
    GTEST_SKIP() << "a Windows program's stack is set when it is linked";
#else
    // Working tables belong with the matrix, not on a stack of 64 KiB.
    const Outcome run = runProgram(three, {.stackLimit = 64L << 10});
    ASSERT_FALSE(run.hung);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(withoutTime(run.out), threeTree);
#endif
}

TEST(ProgramLocale, RussianDecimalCommaWhereTheLocaleExists)
{
    // Windows always has its "RUS"; elsewhere a private copy is pointed at.
    const std::string dir = MST_LOCALE_DIR;
#ifndef _WIN32
    if (!std::filesystem::exists(dir + "/ru_RU.UTF-8/LC_NUMERIC"))
        GTEST_SKIP() << "no ru_RU.UTF-8 locale could be built for the test";
#endif
    // A graph that takes about a millisecond, so that a clock of 1000 ticks a
    // second shows a fraction too: w(i, j) = max(i, j) - 10000, 44551 passes.
    const int n = 300;
    std::string input = std::to_string(n) + "\n";
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c)
            input += std::to_string(r == c ? 0 : std::max(r, c) - 10000) + (c < n ? " " : "\n");
    // A figure of one significant digit has no separator, so look at several.
    const std::regex line("Время в секундах =([0-9,.e-]+)s\t");
    bool comma = false;
    for (int k = 0; k < 30 && !comma; ++k) {
        const Outcome run = runProgram(input, {.locPath = dir.c_str()});
        std::smatch figure;
        ASSERT_TRUE(std::regex_search(run.out, figure, line)) << run.out;
        EXPECT_EQ(figure[1].str().find('.'), std::string::npos) << figure[1];
        comma = figure[1].str().find(',') != std::string::npos;
        // Integers stay plain whatever the locale.
        EXPECT_NE(run.out.find(cost(-10000LL * 299 + 300 * 301 / 2 - 1)), std::string::npos);
    }
    EXPECT_TRUE(comma);
}

}  // namespace
