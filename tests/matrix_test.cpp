// Reading the vertex count and the matrix, in process, one table row a case.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "dialogue/input.hpp"
#include "dialogue/matrix.hpp"
#include "small_matrix.hpp"

namespace {

constexpr std::int32_t inf = 100;

using Rows = std::vector<std::vector<std::int32_t>>;

Rows read(std::int32_t n, const std::string& text)
{
    SmallMatrix m(n);
    Input in = textInput(text);
    std::ostringstream err;
    EXPECT_TRUE(readMatrix(m.adj(), n, inf, in, err)) << err.str();
    Rows got;
    for (std::int32_t r = 1; r <= n; ++r)
        got.emplace_back(m.rows[r].begin() + 1, m.rows[r].end());
    return got;
}

TEST(ReadMatrix, ZeroMeansNoEdgeOtherValuesStay)
{
    EXPECT_EQ(read(3, "0 -5 0\n250 0 1\n0 100 0\n"),
              (Rows{{100, -5, 100}, {250, 100, 1}, {100, 100, 100}}));
}

TEST(ReadMatrix, AnyWhitespaceSeparates)
{
    const Rows want{{100, 7}, {7, 100}};
    EXPECT_EQ(read(2, "0 7 7 0"), want);
    EXPECT_EQ(read(2, "0\n7\n7\n0\n"), want);
    EXPECT_EQ(read(2, "\t0\r\n  7\v7\f0"), want);
    // Long enough for the quick way and the careful one to meet.
    EXPECT_EQ(read(2, "  +0000000000000   \t 7     7\r\n\r\n            -0 "), want);
}

TEST(ReadMatrix, NothingIsReadForNoVertices)
{
    for (const std::int32_t n : {0, -1, -2147483647 - 1}) {
        SmallMatrix m(1);
        Input in = textInput("5 6");
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

const std::string countRange = "; нужно целое число не больше 9998.\n";
const std::string entryRange = "; нужно целое число от -2147483648 до 2147483647.\n";

std::string badCount(const std::string& shown)
{
    return "Ошибка: вместо количества вершин графа введено «" + shown + "»" + countRange;
}

std::string badEntry(const std::string& where, const std::string& shown)
{
    return "Ошибка: вместо элемента матрицы в строке " + where + " введено «" + shown + "»" +
           entryRange;
}

TEST(ReadNumbers, AcceptExactlyDecimal32BitIntegers)
{
    const std::string digits60(60, '1');
    const std::string zeros(3 << 20, '0');
    const Case cases[] = {
        {"  \n 7 9", true, 7, ""},
        {"+7", true, 7, ""},
        {"-0", true, 0, ""},
        {"0100", true, 100, ""},
        {"000000000000000000000000000000000000000000000000000000000012", true, 12, ""},
        {"-2147483648", true, -2147483647 - 1, ""},
        {"9998", true, 9998, ""},
        {"\xef\xbb\xbf"
         "3",
         true, 3, ""},  // a byte-order mark first is skipped
        {"2\n0 -2147483648 2147483647 0", true, 100, ""},
        {"9999", false, 0,
         "Ошибка: количество вершин графа не может быть больше 9998, а введено 9999.\n"},
        {"2147483648", false, 0, badCount("2147483648")},
        {"99999999999", false, 0, badCount("99999999999")},
        {"+", false, 0, badCount("+")},
        {"5-", false, 0, badCount("5-")},
        {"abc", false, 0, badCount("abc")},
        {"٣", false, 0, badCount("٣")},
        {"2 \xef\xbb\xbf", false, 0, badEntry("1, столбце 1", "?")},  // only the first is skipped
        {" \xef\xbb\xbf"
         "3",
         false, 0, badCount("?3")},
        {"\xef\xbb"
         "3",
         false, 0, badCount("??3")},
        {digits60, false, 0, badCount(digits60.substr(0, 40) + "…")},
        // A cut never splits a character: the 2-byte letter after 39 bytes goes whole.
        {std::string(39, 'x') + "жж", false, 0, badCount(std::string(39, 'x') + "…")},
        {zeros, false, 0, badCount(zeros.substr(0, 40) + "…")},
        {"2\n0 3.5", false, 0, badEntry("1, столбце 2", "3.5")},
        {"2\n0 1e3", false, 0, badEntry("1, столбце 2", "1e3")},
        {"2\n0 7, 7 0", false, 0, badEntry("1, столбце 2", "7,")},
        {"2\n0 7\n--5 0", false, 0, badEntry("2, столбце 1", "--5")},
        {"2\n0 -2147483649", false, 0, badEntry("1, столбце 2", "-2147483649")},
        {std::string("2\n0 5\0005", 7), false, 0, badEntry("1, столбце 2", "5?5")},
        // Nothing that could steer the terminal is echoed: C0, DEL, C1 (CSI
        // among them), bidirectional controls, and bytes that are no UTF-8.
        {"\x1b[2J", false, 0, badCount("?[2J")},
        {"1\x7f", false, 0, badCount("1?")},
        {"\xc2\x9b"
         "31m",
         false, 0, badCount("?31m")},
        {"a\xe2\x80\xae"
         "b\xe2\x81\xa6",
         false, 0, badCount("a?b?")},
        {"\xff\xc3(\xed\xa0\x80\xc0\xaf", false, 0,
         badCount("??"
                  "(?????")},
        {"é€𝄞", false, 0, badCount("é€𝄞")},
        // Nor what shows as nothing or as a blank: a no-break space, a soft
        // hyphen, the Arabic letter mark, the spaces and marks of U+2000 to
        // U+200F, the line and paragraph separators, the invisible operators
        // U+2060 to U+2064, and tag characters. Their neighbours show.
        {"1\xe2\x80\x8b", false, 0, badCount("1?")},
        {"\xc2\xa0"
         "5\xc2\xad"
         "5\xd8\x9c",
         false, 0, badCount("?5?5?")},
        {"\xe2\x80\x80\xe2\x80\x8f\xe2\x80\xa8\xe2\x80\xa9\xe2\x81\xa0\xe2\x81\xa4", false, 0,
         badCount("??????")},
        {"\xf3\xa0\x80\x80"
         "1\xf3\xa0\x81\xbf",
         false, 0, badCount("?1?")},
        {"¡‐\xe2\x81\xa5\xd8\x9b\xf3\xa0\x82\x80", false, 0,
         badCount("¡‐\xe2\x81\xa5\xd8\x9b\xf3\xa0\x82\x80")},
        {std::string(37, 'x') + "\xe2\x80\x8b", false, 0, badCount(std::string(37, 'x') + "?")},
        {std::string(38, 'x') + "\xe2\x80\x8b", false, 0, badCount(std::string(38, 'x') + "…")},
        {"", false, 0, "Ошибка: ввод закончился, не хватает количества вершин графа.\n"},
        {" \n\t", false, 0, "Ошибка: ввод закончился, не хватает количества вершин графа.\n"},
        {"2\n0 1\n1", false, 0,
         "Ошибка: ввод закончился, не хватает элемента матрицы в строке 2, столбце 2.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text.substr(0, 60)));
        Input in = textInput(c.text);
        std::ostringstream err;
        std::int32_t n = -1;
        SmallMatrix m(2);
        bool ok = readCount(in, n, err);
        std::int32_t last = n;
        if (ok && n == 2) {
            ok = readMatrix(m.adj(), n, inf, in, err);
            last = m.rows[2][2];
        }
        EXPECT_EQ(ok, c.ok);
        if (c.ok) {
            EXPECT_EQ(last, c.value);
        }
        EXPECT_EQ(err.str(), c.err);
    }
}

TEST(ReadNumbers, StopRightAfterTheNumber)
{
    Input in = textInput("3\n0 1");
    std::ostringstream err;
    std::int32_t n = 0;
    ASSERT_TRUE(readCount(in, n, err));
    EXPECT_EQ(std::string(in.at, in.end), "\n0 1");
}

TEST(ReadNumbers, FindWhatFollowsTheMatrix)
{
    const struct {
        const char* text;
        bool follows;
    } cases[] = {{"1 5", false}, {"1 5 \n\t \r\n", false}, {"1 5 6", true}, {"1 5\n\x01", true}};
    for (const auto& c : cases) {
        Input in = textInput(c.text);
        std::ostringstream err;
        std::int32_t n = 0;
        SmallMatrix m(1);
        ASSERT_TRUE(readCount(in, n, err) && readMatrix(m.adj(), n, inf, in, err));
        EXPECT_EQ(dataFollows(in), c.follows) << c.text;
    }
}

}  // namespace
