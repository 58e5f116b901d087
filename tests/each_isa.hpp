// The instruction sets as the tests' parameter: a table's every case runs once
// for each set this processor has, the set named in the test's name.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <tuple>

#include "isa/isa.hpp"

inline void PrintTo(Isa isa, std::ostream* os)
{
    *os << (isa == Isa::scalar ? "scalar" : isa == Isa::sse2 ? "sse2" : "avx2");
}

// A test's name: its case's name or number, if it has one, then its set's.
inline const auto isaName = [](const auto& p) {
    if constexpr (requires { std::get<1>(p.param); })
        return testing::PrintToString(std::get<0>(p.param)) + "_" +
               testing::PrintToString(std::get<1>(p.param));
    else
        return testing::PrintToString(p.param);
};

// Each of cases with each set.
template <class Cases>
auto withEachIsa(const Cases& cases)
{
    return testing::Combine(cases, testing::ValuesIn(isas()));
}
