// Reading the vertex count and the matrix.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "dialogue/matrix.hpp"
#include "small_matrix.hpp"

namespace {

constexpr std::int32_t inf = 100;

using Rows = std::vector<std::vector<std::int32_t>>;

Rows read(std::int32_t n, const std::string& text)
{
    SmallMatrix m(n);
    std::istringstream in(text);
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
}

TEST(ReadMatrix, NothingIsReadForNoVertices)
{
    for (const std::int32_t n : {0, -1, -2147483647 - 1}) {
        SmallMatrix m(1);
        std::istringstream in("5 6");
        std::ostringstream err;
        EXPECT_TRUE(readMatrix(m.adj(), n, inf, in, err));
        EXPECT_EQ(m.rows[1][1], -77);
        std::string rest;
        std::getline(in, rest);
        EXPECT_EQ(rest, "5 6");
    }
}

struct CountCase {
    std::string text;
    bool ok;
    std::int32_t value;  // when ok
    std::string err;     // when not ok
};

TEST(ReadCount, AcceptsExactlyDecimal32BitIntegersUpToTheLimit)
{
    const std::string range = "; нужно целое число от -2147483648 до 2147483647.\n";
    const std::string longDigits(60, '1');
    const CountCase cases[] = {
        {"  \n 7 9", true, 7, ""},
        {"+7", true, 7, ""},
        {"-0", true, 0, ""},
        {"0100", true, 100, ""},
        {"000000000000000000000000000000000000000000000000000000000012", true, 12, ""},
        {"-2147483648", true, -2147483647 - 1, ""},
        {"9998", true, 9998, ""},
        {"9999", false, 0,
         "Ошибка: количество вершин графа не может быть больше 9998, а введено 9999.\n"},
        {"2147483648", false, 0,
         "Ошибка: вместо количества вершин графа введено «2147483648»" + range},
        {"+", false, 0, "Ошибка: вместо количества вершин графа введено «+»" + range},
        {"5-", false, 0, "Ошибка: вместо количества вершин графа введено «5-»" + range},
        {"٣", false, 0, "Ошибка: вместо количества вершин графа введено «٣»" + range},
        {longDigits, false, 0,
         "Ошибка: вместо количества вершин графа введено «" + longDigits.substr(0, 40) + "…»" +
             range},
        // A cut never splits a character: the 2-byte letter after 39 bytes goes whole.
        {std::string(39, 'x') + "жж", false, 0,
         "Ошибка: вместо количества вершин графа введено «" + std::string(39, 'x') + "…»" + range},
        {"", false, 0, "Ошибка: ввод закончился, не хватает количества вершин графа.\n"},
        {" \n\t", false, 0, "Ошибка: ввод закончился, не хватает количества вершин графа.\n"},
    };
    for (const CountCase& c : cases) {
        std::istringstream in(c.text);
        std::ostringstream err;
        std::int32_t n = -1;
        EXPECT_EQ(readCount(in, n, err), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(n, c.value) << c.text;
        }
        EXPECT_EQ(err.str(), c.err) << c.text;
    }
}

TEST(ReadCount, StopsRightAfterTheNumber)
{
    std::istringstream in("3\n0 1");
    std::ostringstream err;
    std::int32_t n = 0;
    ASSERT_TRUE(readCount(in, n, err));
    EXPECT_EQ(in.get(), '\n');
}

TEST(ReadCount, HugeTokenIsQuotedShort)
{
    std::istringstream in(std::string(1 << 22, 'a'));
    std::ostringstream err;
    std::int32_t n = 0;
    EXPECT_FALSE(readCount(in, n, err));
    EXPECT_LT(err.str().size(), 300u);
}

}  // namespace
