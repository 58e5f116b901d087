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

std::string withoutTime(const std::string& text)
{
    // Only the time line has an "=" right before a number.
    return std::regex_replace(text, std::regex("=" + timePattern() + "s\t"), "=@TIME@s\t");
}
