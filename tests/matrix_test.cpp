// Reading the vertex count and the matrix, in process, one table row a case.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#ifdef _WIN32
#include <io.h>
#define makePipe(p) _pipe(p, 4096, 0x8000)  // binary, as standard input is read
#else
#include <unistd.h>
#define makePipe(p) pipe(p)
#endif

#include "dialogue/matrix_dialogue.hpp"
#include "dialogue/reader/input.hpp"
#include "dialogue/reader/input_blocks.hpp"
#include "each_isa.hpp"
#include "reference_reader.hpp"
#include "report_text.hpp"
#include "small_matrix.hpp"
#include "text_input.hpp"
#include "tree/kernels.hpp"
#include "tree/matrix.hpp"

namespace {

constexpr std::int32_t inf = noEdge;

using Rows = std::vector<std::vector<std::int32_t>>;

Rows read(Isa isa, std::int32_t n, const std::string& text)
{
    SmallMatrix m(n);
    Input in = textInput(isa, text);
    std::ostringstream err;
    EXPECT_TRUE(readMatrix(m.adj(), n, inf, in, err)) << err.str();
    Rows got;
    for (std::int32_t r = 1; r <= n; ++r)
        got.emplace_back(m.rows[r].begin() + 1, m.rows[r].end());
    return got;
}

class ReadMatrix : public testing::TestWithParam<Isa> {};
INSTANTIATE_TEST_SUITE_P(Sets, ReadMatrix, testing::ValuesIn(isas()), isaName);

TEST_P(ReadMatrix, ZeroMeansNoEdgeOtherValuesStay)
{
    EXPECT_EQ(read(GetParam(), 3, "0 -5 0\n250 0 1\n0 100 0\n"),
              (Rows{{100, -5, 100}, {250, 100, 1}, {100, 100, 100}}));
}

TEST_P(ReadMatrix, AnyWhitespaceSeparates)
{
    const Rows want{{100, 7}, {7, 100}};
    EXPECT_EQ(read(GetParam(), 2, "0 7 7 0"), want);
    EXPECT_EQ(read(GetParam(), 2, "0\n7\n7\n0\n"), want);
    EXPECT_EQ(read(GetParam(), 2, "\t0\r\n  7\v7\f0"), want);
    // Long enough for the quick way and the careful one to meet.
    EXPECT_EQ(read(GetParam(), 2, "  +0000000000000   \t 7     7\r\n\r\n            -0 "), want);
}

TEST_P(ReadMatrix, NothingIsReadForNoVertices)
{
    for (const std::int32_t n : {0, -1, -2147483647 - 1}) {
        SmallMatrix m(1);
        Input in = textInput(GetParam(), "5 6");
        std::ostringstream err;
        EXPECT_TRUE(readMatrix(m.adj(), n, inf, in, err));
        EXPECT_EQ(m.rows[1][1], -77);
        EXPECT_EQ(std::string(in.at, in.end), "5 6");
    }
}

struct Case {
    std::string text;  // the whole input; its count is read, then a 2 x 2 matrix
    bool ok;
    std::int32_t value;  // the count or the last entry read, when ok
    std::string err;     // when not ok
};

const std::string digits60(60, '1');
const std::string zeros((1 << 20) + 1, '0');  // one byte too long for a token
const Case grammar[] = {
    {"  \n 7 9", true, 7, ""},
    {"+7", true, 7, ""},
    {"-0", true, 0, ""},
    {"0100", true, 100, ""},
    {"000000000000000000000000000000000000000000000000000000000012", true, 12, ""},
    {"-2147483648", true, -2147483647 - 1, ""},
    {"9998", true, 9998, ""},
    {"\ufeff3", true, 3, ""},  // a byte-order mark first is skipped
    {"2\n0 -2147483648 2147483647 0", true, 100, ""},
    {"9999", false, 0,
     "Ошибка: количество вершин графа не может быть больше 9998, а введено 9999.\n"},
    {"2147483648", false, 0, badCount("2147483648")},
    {"99999999999", false, 0, badCount("99999999999")},
    {"+", false, 0, badCount("+")},
    {"5-", false, 0, badCount("5-")},
    {"abc", false, 0, badCount("abc")},
    {"٣", false, 0, badCount("?")},
    {"2 \xef\xbb\xbf", false, 0, badEntry("1, столбце 1", "?")},  // only the first is skipped
    {" \ufeff3", false, 0, badCount("?3")},
    {"\xef\xbb"
     "3",
     false, 0, badCount("??3")},
    {digits60, false, 0, badCount(digits60.substr(0, 40) + "…")},
    // A cut never splits a character: the 2-byte letter after 39 bytes goes whole.
    {std::string(39, 'x') + "жж", false, 0, badCount(std::string(39, 'x') + "…")},
    {zeros.substr(0, (1 << 20) - 1) + "7", true, 7, ""},  // as long as a token may be
    {zeros, false, 0, badCount(zeros.substr(0, 40) + "…")},
    {"2\n0 3.5", false, 0, badEntry("1, столбце 2", "3.5")},
    {"2\n0 : 7 0", false, 0, badEntry("1, столбце 2", ":")},  // ':' comes after '9'
    {"2\n0 1: 7 0", false, 0, badEntry("1, столбце 2", "1:")},
    {"2\n0 1e3", false, 0, badEntry("1, столбце 2", "1e3")},
    {"2\n0 7, 7 0", false, 0, badEntry("1, столбце 2", "7,")},
    {"2\n0 7\n--5 0", false, 0, badEntry("2, столбце 1", "--5")},
    {"2\n0 -2147483649", false, 0, badEntry("1, столбце 2", "-2147483649")},
    {std::string("2\n0 5\0005", 7), false, 0, badEntry("1, столбце 2", "5?5")},
    // Nothing that could steer the terminal is echoed: C0, DEL, C1 (CSI
    // among them), bidirectional controls, and bytes that are no UTF-8.
    {"\x1b[2J", false, 0, badCount("?[2J")},
    {"1\x7f", false, 0, badCount("1?")},
    {"\u009b31m", false, 0, badCount("?31m")},
    {"a\u202eb\u2066", false, 0, badCount("a?b?")},
    {"\xff\xc3(\xed\xa0\x80\xc0\xaf", false, 0,
     badCount("??"
              "(?????")},
    {"é€𝄞", false, 0, badCount("é??")},
    // UTF-8's bounds, one character each: U+0080, U+07FF, U+0800, U+10000, U+10FFFF, U+D7FF and
    // U+E000; a "?" a byte: the overlong U+07FF and U+FFFF, U+DFFF, U+110000 and a lead F8.
    {"\xc2\x80\xdf\xbf\xe0\xa0\x80\xed\x9f\xbf\xee\x80\x80\xf0\x90\x80\x80\xf4\x8f\xbf\xbf"
     "\xe0\x9f\xbf\xed\xbf\xbf\xf0\x8f\xbf\xbf\xf4\x90\x80\x80\xf8\x90\x80\x80",
     false, 0, badCount(std::string(25, '?'))},
    // Nor what shows as nothing or as a blank: a no-break space, a soft hyphen, the Arabic letter
    // mark, the spaces and marks of U+2000 to U+200F, the line and paragraph separators, the
    // invisible operators U+2060 to U+2064, and tag characters. Their neighbours show.
    {"1\xe2\x80\x8b", false, 0, badCount("1?")},
    {"\u00a05\u00ad5\u061c", false, 0, badCount("?5?5?")},
    {"\xe2\x80\x80\xe2\x80\x8f\xe2\x80\xa8\xe2\x80\xa9\xe2\x81\xa0\xe2\x81\xa4", false, 0,
     badCount("??????")},
    {"\U000e00001\U000e007f", false, 0, badCount("?1?")},
    {"¡‐\xe2\x81\xa5\xd8\x9b\xf3\xa0\x82\x80", false, 0, badCount("?‐???")},
    // Only what surely shows: the narrow no-break space of "1 000"; the blanks U+205F, U+3000 and
    // U+1680; the invisible U+180E and U+206A to U+206F; U+3164, U+FE0F, U+034F and U+2800; a
    // combining mark first, which would merge into the «; digits of other scripts.
    {"1\u202f000", false, 0, badCount("1?000")},
    {"\xe2\x81\x9f\xe3\x80\x80\xe1\x9a\x80", false, 0, badCount("???")},
    {"\xe1\xa0\x8e\xe2\x81\xaa\xe2\x81\xab\xe2\x81\xac\xe2\x81\xad\xe2\x81\xae\xe2\x81\xaf", false,
     0, badCount("???????")},
    {"\xe3\x85\xa4\xef\xb8\x8f\xcd\x8f\xe2\xa0\x80", false, 0, badCount("????")},
    {"\u03015", false, 0, badCount("?5")},
    {"５", false, 0, badCount("?")},
    {"١٢", false, 0, badCount("??")},
    // The edges of what shows: Latin-1's letters around × and ÷, the end
    // of Latin Extended-A; Greek letters beside its signs and a gap;
    // Cyrillic letters beside its sign and combining marks; punctuation.
    {"ÀÖ×Øö÷øÿſƀ", false, 0, badCount("ÀÖ?Øö?øÿſ?")},
    {"΅ΆΈΊ΋ΌΡ\xce\xa2ΣώϏ", false, 0, badCount("?ΆΈΊ?ΌΡ?Σώ?")},
    {"Ѐҁ҂҃҉Ҋӿ\xd4\x80", false, 0, badCount("Ѐҁ???Ҋӿ?")},
    {"‐‧\xe2\x80\xa8‰⁞\xe2\x81\x9f", false, 0, badCount("‐‧?‰⁞?")},
    {std::string(37, 'x') + "\xe2\x80\x8b", false, 0, badCount(std::string(37, 'x') + "?")},
    {std::string(38, 'x') + "\xe2\x80\x8b", false, 0, badCount(std::string(38, 'x') + "…")},
    // Cut characters of three and four bytes go whole too, whatever their lead.
    {std::string(38, 'x') + "\xe0\xa4\x85", false, 0, badCount(std::string(38, 'x') + "…")},
    {std::string(39, 'x') + "\xf0\x9f\x98\x80", false, 0, badCount(std::string(39, 'x') + "…")},
    {std::string(36, 'x') + "\xf0\x9f\x98\x80", false, 0, badCount(std::string(36, 'x') + "?")},
    {"", false, 0, "Ошибка: ввод закончился, не хватает количества вершин графа.\n"},
    {" \n\t", false, 0, "Ошибка: ввод закончился, не хватает количества вершин графа.\n"},
    {"2\n0 1\n1", false, 0,
     "Ошибка: ввод закончился, не хватает элемента матрицы в строке 2, столбце 2.\n"},
};
class ReadNumbers : public testing::TestWithParam<std::tuple<std::size_t, Isa>> {};
INSTANTIATE_TEST_SUITE_P(Cases, ReadNumbers,
                         withEachIsa(testing::Range(std::size_t{0}, std::size(grammar))), isaName);

// Each case as it stands, and with blanks after it so that the quick ways take it, its end at every
// place in a 64-byte block and in the pieces a pipe may hand over.
TEST_P(ReadNumbers, AcceptExactlyDecimal32BitIntegers)
{
    const auto [k, isa] = GetParam();
    const Case& c = grammar[k];
    for (const std::size_t piece : {0, 1, 3, 100, 129})
        for (std::size_t pad = 0; pad <= (c.text.size() > 4096 ? 0 : 200);
             pad += pad < 80 ? 1 : 120) {
            const std::string text = c.text + std::string(pad, ' ');
            SCOPED_TRACE(testing::PrintToString(c.text.substr(0, 60)) + " piece " +
                         std::to_string(piece) + " pad " + std::to_string(pad));
            Input in = textInput(isa, text, piece);
            std::ostringstream err;
            std::int32_t n = -1;
            SmallMatrix m(2);
            bool ok = readCount(in, n, err);
            std::int32_t last = n;
            if (ok && n == 2) {
                ok = readMatrix(m.adj(), n, inf, in, err);
                last = m.rows[2][2];
            }
            EXPECT_EQ(std::pair(ok, ok ? last : 0), std::pair(c.ok, c.value));
            EXPECT_EQ(err.str(), c.err);
        }
}

class ReadNumbersEachWay : public testing::TestWithParam<Isa> {};
INSTANTIATE_TEST_SUITE_P(Sets, ReadNumbersEachWay, testing::ValuesIn(isas()), isaName);

// Random matrices, mostly of one- and two-digit numbers so that whole blocks
// qualify, with long, signed and bad tokens, odd blanks and cut ends mixed in.
TEST_P(ReadNumbersEachWay, ReadsAsThePlainGrammar)
{
    const Isa isa = GetParam();
    const std::string odd[] = {"2147483647",
                               "2147483648",
                               "-2147483648",
                               "-2147483649",
                               "+0",
                               "-",
                               "00000000000000000000000007",
                               "1a",
                               "\xc2\xa0",
                               std::string(1, '\0'),
                               "9999999999",
                               "x"};
    const std::string_view blanks = " \t\n\v\f\r";
    for (std::uint32_t seed = 0; seed < 300; ++seed) {
        std::mt19937 rng(seed);
        const auto pick = [&rng](std::uint32_t k) { return static_cast<std::uint32_t>(rng() % k); };
        const std::uint32_t n = 1 + pick(30), oddRate = pick(3) * pick(3), longRate = pick(4);
        std::string text = std::to_string(n) + "\n";
        for (std::uint32_t k = 0; k < n * n; ++k) {
            const std::uint32_t r = pick(100);
            if (r < oddRate)
                text += odd[pick(std::size(odd))];
            else if (r < oddRate + longRate)
                text += (r % 2 ? "-" : "") + std::to_string(rng() >> pick(32));
            else
                text += std::to_string(pick(r < 50 ? 10 : 100));
            const std::uint32_t sep = pick(100);
            if (sep < 70)
                text += ' ';
            else if (sep < 85)
                text += '\n';
            else if (sep < 99)
                for (std::uint32_t b = pick(6); b < 6; ++b)
                    text += blanks[pick(6)];
        }
        text.resize(text.size() - pick(4) * pick(2) * pick(8));
        for (const std::size_t piece : {0, 1, 7, 64, 65, 100, 1000})
            EXPECT_EQ(differs(text, textInput(isa, text, piece), 30), "")
                << "seed " << seed << " piece " << piece;
    }
    // A token of every length up to 13, signed or not, leading zeros or not, ending at each of the
    // last 16 bytes of a 64-byte piece, or cut by its end; past the piece, stale blanks or digits,
    // which no way may take for the token's end.
    constexpr std::size_t piece = 64;
    for (const char* head : {"", "+", "-", "0000000000", "+000000000", "-000000000"})
        for (std::size_t len = 1; len <= 13; ++len)
            for (std::size_t end = 2 * piece - 16; end < 2 * piece + 2; ++end)
                for (const char stale : {' ', '7'}) {
                    // Numbers before it in the piece, so that the quick ways reach it.
                    const std::string token = (head + std::string("123456789012")).substr(0, len);
                    const std::size_t start = end + 1 - token.size(), before = (start - 3) / 2;
                    std::string text = "12\n" + std::string((start - 3) % 2, ' ');
                    for (std::size_t k = 0; k < before; ++k)
                        text += "1 ";
                    text += token;
                    for (std::size_t k = before + 1; k < 144; ++k)
                        text += " 5";
                    text += "\n";
                    Input in = textInput(isa, text, piece, stale);
                    ASSERT_EQ(std::string(in.buf.get() + piece, staleBytes),
                              std::string(staleBytes, stale));
                    EXPECT_EQ(differs(text, std::move(in), 12), "")
                        << testing::PrintToString(token) << " ending at " << end << " stale "
                        << testing::PrintToString(stale);
                }
}

// Each set is listed where the processor has it, and has kernels of its own,
// the tree's and the reader's.
TEST(Isas, EachSetHasItsOwnKernels)
{
    const std::tuple<Isa, BlockTaker, bool> ways[] = {
        {Isa::scalar, nullptr, true},
#ifdef MST_VECTOR_KERNELS
        {Isa::sse2, takeSse2, true},
        {Isa::avx2, takeAvx2, __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt")},
#endif
    };
    std::set<RowOffer> offers;
    std::set<BitsTaker> takers;
    for (const auto& [isa, blocks, runs] : ways) {
        EXPECT_EQ(std::ranges::count(isas(), isa), runs ? 1 : 0);
        if (runs) {
            EXPECT_EQ(readerKernels(isa).take, blocks);
            offers.insert(treeKernels(isa).offer);
            takers.insert(treeKernels(isa).taken);
        }
    }
    EXPECT_EQ(std::pair(offers.size(), takers.size()), std::pair(isas().size(), isas().size()));
}

// A plain row, short numbers one blank apart, goes all the quick way, each block by the set's block
// kernel if it has one, and nothing is written past the row.
TEST_P(ReadNumbersEachWay, TakesBlocksByItsKernel)
{
    const std::string blocksOfBlanks(130, ' ');  // a block may hold no number
    std::string text = "9\n";
    for (int k = 0; k < 260; ++k)  // 10 more, for the reach of the quick way
        text += std::to_string(k % 100) + (k % 7 != 0 ? " " : k != 140 ? "\n" : blocksOfBlanks);
    static BlockTaker spied;
    static int calls, declines;
    static const ReaderKernels spy{
        [](const char*& p, std::int32_t* row, std::int32_t count, std::int32_t none) {
            const std::int32_t took = spied(p, row, count, none);
            ++calls;
            declines += took < 0;
            return took;
        }};
    spied = readerKernels(GetParam()).take;
    calls = declines = 0;
    std::int32_t row[251];
    for (std::int32_t count = 100; count <= 250; ++count) {
        Input in = textInput(GetParam(), text);
        in.kernels = spied != nullptr ? &spy : in.kernels;
        row[count] = -1;  // past the row, where no way may write
        EXPECT_EQ(readInt(in, row[0]), Got::number);
        EXPECT_EQ(readRow(in, row, count, inf), count);
        EXPECT_EQ(row[count], -1) << "count " << count;
    }
    EXPECT_EQ(std::pair(calls > 0, declines), std::pair(spied != nullptr, 0));
}

TEST_P(ReadNumbersEachWay, StopRightAfterTheNumber)
{
    Input in = textInput(GetParam(), "3\n0 1");
    std::ostringstream err;
    std::int32_t n = 0;
    ASSERT_TRUE(readCount(in, n, err));
    EXPECT_EQ(std::string(in.at, in.end), "\n0 1");
}

TEST_P(ReadNumbersEachWay, FindWhatFollowsTheMatrix)
{
    // ready: the reads that would not wait, after the first of piece bytes
    // (0: the whole text); a pipe's data is looked at as far as it has come.
    const struct {
        const char* text;
        std::size_t piece, ready;
        bool follows;
    } cases[] = {{"1 5", 0, SIZE_MAX, false},  {"1 5 \n\t \r\n", 0, SIZE_MAX, false},
                 {"1 5 6", 0, SIZE_MAX, true}, {"1 5\n\x01", 0, SIZE_MAX, true},
                 {"1 5 6", 4, 1, true},        {"1 5     6", 4, 1, false},
                 {"1 5 6", 4, 0, false},       {"1 5     6", 4, SIZE_MAX, true}};
    for (const auto& c : cases) {
        Input in = textInput(GetParam(), c.text, c.piece);
        in.source.readyReads = [&c] { return c.ready; };
        std::ostringstream err;
        std::int32_t n = 0;
        SmallMatrix m(1);
        ASSERT_TRUE(readCount(in, n, err) && readMatrix(m.adj(), n, inf, in, err));
        EXPECT_EQ(dataFollows(in), c.follows) << c.text;
    }
}

// What reached a pipe after the matrix and waits there unread follows it, as in a file.
TEST(ReadNumbersFromAPipe, FindWhatWaitsUnreadAfterTheMatrix)
{
    int p[2];
    const int saved = dup(0);
    ASSERT_TRUE(makePipe(p) == 0 && dup2(p[0], 0) == 0 && write(p[1], "0 ", 2) == 2);
    std::ostringstream prompts, err;
    Input in = stdinInput(prompts, readerKernels(Isa::scalar));
    std::int32_t n = -1;
    EXPECT_TRUE(readCount(in, n, err) && n == 0);
    EXPECT_TRUE(write(p[1], "5", 1) == 1 && dataFollows(in));
    dup2(saved, 0);
    for (const int fd : {saved, p[0], p[1]})
        close(fd);
}

}  // namespace
