// What every system's harness shares: matching the elapsed-time figure, and
// the paths and patterns the tests build.
#include "run_program.hpp"

#include <algorithm>
#include <clocale>
#include <regex>

std::string escaped(const std::string& text)
{
    return std::regex_replace(text, std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)");
}

std::string windowsPath(std::string path)
{
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string timePattern()
{
    // The program's choice of locale, made here without its console set-up,
    // which on Windows would switch this process's own output streams.
    if (std::setlocale(LC_NUMERIC, "RUS") == nullptr)
        std::setlocale(LC_NUMERIC, "ru_RU.UTF-8");
    const std::string point = std::localeconv()->decimal_point;
    std::setlocale(LC_NUMERIC, "C");
    return "[0-9]+(" + escaped(point) + "[0-9]+)?(e-[0-9]+)?";
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
