// The numbers' grammar written plainly, to check the reader against: an optional byte-order mark
// first, then optional signs and decimal digits that fit in 32 bits, between blanks.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "dialogue/matrix_dialogue.hpp"
#include "dialogue/reader/input.hpp"
#include "small_matrix.hpp"

struct Tokens {
    std::vector<std::int64_t> numbers;  // all before the first bad token
    bool bad = false;                   // a bad token follows them; else the text ends
};

inline Tokens referenceTokens(std::string_view text)
{
    const auto blank = [](char ch) {
        return std::string_view(" \t\n\v\f\r").find(ch) != std::string_view::npos;
    };
    Tokens t;
    if (text.starts_with("\xef\xbb\xbf"))
        text.remove_prefix(3);
    for (;;) {
        while (!text.empty() && blank(text[0]))
            text.remove_prefix(1);
        if (text.empty())
            return t;
        std::size_t len = 0;
        while (len < text.size() && !blank(text[len]))
            ++len;
        const std::string_view token = text.substr(0, len);
        text.remove_prefix(len);
        const bool neg = token[0] == '-';
        const std::string_view digits = token.substr(neg || token[0] == '+' ? 1 : 0);
        bool ok = !digits.empty() && token.size() <= std::size_t{1} << 20;
        std::int64_t mag = 0;
        for (const char ch : digits)
            ok =
                ok && ch >= '0' && ch <= '9' && (mag = mag * 10 + (ch - '0')) <= (1ll << 31) - !neg;
        if (!ok) {
            t.bad = true;
            return t;
        }
        t.numbers.push_back(neg ? -mag : mag);
    }
}

// What reading the count and then its matrix must give.
struct Expected {
    std::int32_t n = 0;                 // the count, if read
    std::vector<std::int32_t> entries;  // read in row-major order, each 0 as inf
    std::string err;                    // how the message begins; empty when all is read
};

inline Expected referenceRead(std::string_view text, std::int32_t inf)
{
    const Tokens t = referenceTokens(text);
    Expected want;
    if (t.numbers.empty()) {
        want.err = t.bad ? "Ошибка: вместо количества вершин графа введено «"
                         : "Ошибка: ввод закончился, не хватает количества вершин графа.\n";
        return want;
    }
    want.n = static_cast<std::int32_t>(t.numbers[0]);
    if (want.n > 9998) {
        want.err = "Ошибка: количество вершин графа не может быть больше 9998, а введено " +
                   std::to_string(want.n) + ".\n";
        return want;
    }
    const std::size_t need =
        want.n > 0 ? static_cast<std::size_t>(want.n) * static_cast<std::size_t>(want.n) : 0;
    for (std::size_t k = 1; k < t.numbers.size() && want.entries.size() < need; ++k)
        want.entries.push_back(t.numbers[k] == 0 ? inf : static_cast<std::int32_t>(t.numbers[k]));
    const std::size_t e = want.entries.size();
    if (e < need) {
        const std::size_t n = static_cast<std::size_t>(want.n);
        const std::string where = "элемента матрицы в строке " + std::to_string(e / n + 1) +
                                  ", столбце " + std::to_string(e % n + 1);
        want.err = t.bad ? "Ошибка: вместо " + where + " введено «"
                         : "Ошибка: ввод закончился, не хватает " + where + ".\n";
    }
    return want;
}

// Reads the count and the matrix of text from in, as the program does, and says how that differs
// from the plain grammar's reading; empty when it does not. Counts above most are only read.
inline std::string differs(std::string_view text, Input in, std::int32_t most)
{
    constexpr std::int32_t inf = 100;
    const Expected want = referenceRead(text, inf);
    std::ostringstream err;
    std::int32_t n = 0;
    bool ok = readCount(in, n, err);
    if (ok && n != want.n)
        return "count " + std::to_string(n) + " for " + std::to_string(want.n);
    SmallMatrix m(ok && n > 0 && n <= most ? n : 1);
    if (ok && n <= most)
        ok = readMatrix(m.adj(), n, inf, in, err);
    else if (ok)
        return "";
    if (ok != want.err.empty() || !err.str().starts_with(want.err))
        return "message " + err.str() + " for " + want.err;
    for (std::size_t k = 0; k < want.entries.size(); ++k) {
        const std::int32_t got =
            m.rows[k / static_cast<std::size_t>(n) + 1][k % static_cast<std::size_t>(n) + 1];
        if (got != want.entries[k])
            return "entry " + std::to_string(k) + ": " + std::to_string(got) + " for " +
                   std::to_string(want.entries[k]);
    }
    return "";
}
