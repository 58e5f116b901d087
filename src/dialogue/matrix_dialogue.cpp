#include "dialogue/matrix_dialogue.hpp"

#include <limits>
#include <ostream>
#include <string>

#include "dialogue/console/console.hpp"
#include "dialogue/reader/input.hpp"

namespace {

// Reads one number; on failure tells err what was expected instead. what()
// names it in the genitive ("количества вершин графа") and is only built
// then; range says which numbers it may be. Got::other is a bad token.
template <class What>
Got readOne(Input& in, std::int32_t& value, std::ostream& err, What what, const char* range)
{
    const Got got = readInt(in, value);
    switch (got) {
    case Got::number:
        break;
    case Got::ended:
        err << "Ошибка: ввод закончился, не хватает " << what() << ".\n";
        break;
    case Got::failed:
        if (inputLineCut()) {
            err << "Ошибка: строка ввода заполнила весь буфер строки терминала, и её конец мог "
                   "пропасть; ввод не принят. Большую матрицу подайте из файла: mst < файл\n";
            break;
        }
        err << "Ошибка: не удалось прочитать стандартный ввод, не хватает " << what() << ".\n";
        break;
    case Got::other:
        err << "Ошибка: вместо " << what() << " введено " << in.shown << "; нужно " << range
            << ".\n";
        break;
    }
    return got;
}

// After a typo at a terminal or a console, whose message err has just
// shown: throws away what was typed after it and asks again with question.
// False, with nothing done, where the input is not typed.
bool askAgain(Input& in, std::ostream& err, std::ostream& out, const std::string& question)
{
    if (!in.typed)
        return false;
    // The message shows while a paste that is still arriving is thrown away,
    // so that none of it is taken as the answer.
    err.flush();
    dropTypedAhead(in);
    out << question << std::flush;
    return true;
}

}  // namespace

bool readCount(Input& in, std::int32_t& kolVer, std::ostream& err, std::ostream& out)
{
    static const std::string range = "целое число не больше " + std::to_string(maxVer);
    for (;;) {
        const Got got = readOne(
            in, kolVer, err, [] { return "количества вершин графа"; }, range.c_str());
        if (got == Got::number && kolVer <= maxVer)
            return true;
        if (got == Got::number)
            err << "Ошибка: количество вершин графа не может быть больше " << maxVer
                << ", а введено " << kolVer << ".\n";
        else if (got != Got::other)
            return false;
        if (!askAgain(in, err, out, "Введите количество вершин графа заново:\n"))
            return false;
    }
}

bool readMatrix(std::int32_t** adj, std::int32_t kolVer, std::int32_t inf, Input& in,
                std::ostream& err, std::ostream& out)
{
    static const std::string range =
        "целое число от " + std::to_string(std::numeric_limits<std::int32_t>::min()) + " до " +
        std::to_string(std::numeric_limits<std::int32_t>::max());
    for (std::int32_t r = 1; r <= kolVer; ++r)
        for (std::int32_t c = 1; c <= kolVer; ++c) {
            // Most of a row goes in bulk; a number that needs more care, and
            // any message, come one at a time.
            c += readRow(in, adj[r] + c, kolVer - c + 1, inf);
            if (c > kolVer)
                break;
            const auto what = [r, c] {
                return "элемента матрицы в строке " + std::to_string(r) + ", столбце " +
                       std::to_string(c);
            };
            const Got got = readOne(in, adj[r][c], err, what, range.c_str());
            if (got == Got::other &&
                askAgain(in, err, out,
                         "Введите строку " + std::to_string(r) + " матрицы смежности заново:\n")) {
                c = 0;  // the row again from its first column
                continue;
            }
            if (got != Got::number)
                return false;
            if (adj[r][c] == 0)
                adj[r][c] = inf;
        }
    return true;
}
