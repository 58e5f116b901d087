// What every system's harness shares: matching the elapsed-time figure.
#include "run_program.hpp"

#include <clocale>
#include <regex>

std::string timePattern()
{
    // The program's choice of locale, made here without its console set-up,
    // which on Windows would switch this process's own output streams.
    if (std::setlocale(LC_NUMERIC, "RUS") == nullptr)
        std::setlocale(LC_NUMERIC, "ru_RU.UTF-8");
    const std::string point = std::localeconv()->decimal_point;
    std::setlocale(LC_NUMERIC, "C");
    return "[0-9]+(" + std::regex_replace(point, std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)") +
           "[0-9]+)?(e-[0-9]+)?";
}

bool matchesWithTime(const std::string& text, const std::string& expected)
{
    const std::size_t at = expected.find("@TIME@");
    if (at == std::string::npos)
        return text == expected;
    const std::string tail = expected.substr(at + 6);
    if (text.size() < at + tail.size() || text.compare(0, at, expected, 0, at) != 0 ||
        text.compare(text.size() - tail.size(), tail.size(), tail) != 0)
        return false;
    const std::string figure = text.substr(at, text.size() - at - tail.size());
    return std::regex_match(figure, std::regex(timePattern()));
}
