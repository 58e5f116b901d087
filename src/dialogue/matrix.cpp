#include "dialogue/matrix.hpp"

#include <istream>
#include <limits>
#include <new>
#include <ostream>
#include <string>

namespace {

// How reading one number ended.
enum class Got { number, ended, other };

// Bytes of a bad token quoted back to the user; the rest is cut.
constexpr std::size_t shownMax = 40;

bool isBlank(int ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

// The token as it may safely be echoed: control bytes masked, no cut character.
std::string quoted(std::string shown, bool cut)
{
    for (char& ch : shown)
        if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7f)
            ch = '?';
    if (cut) {
        std::size_t start = shown.size();
        while (start > 0 && (static_cast<unsigned char>(shown[start - 1]) & 0xc0) == 0x80)
            --start;
        if (start > 0) {
            const auto lead = static_cast<unsigned char>(shown[start - 1]);
            const std::size_t need = lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : lead >= 0xc0 ? 2 : 1;
            if (shown.size() - (start - 1) < need)
                shown.resize(start - 1);
        }
        shown += "…";
    }
    return "«" + shown + "»";
}

// Reads one whitespace-separated token and takes it as a decimal integer with
// an optional sign that fits in 32 bits. The blank after it stays unread.
Got readInt(std::istream& in, std::int32_t& value, std::string& shown)
{
    // The sentry flushes the prompt before a terminal waits for input.
    const std::istream::sentry ready(in, true);
    if (!ready)
        return Got::ended;
    std::streambuf* buf = in.rdbuf();
    constexpr int eof = std::char_traits<char>::eof();
    int ch = buf->sgetc();
    while (ch != eof && isBlank(ch))
        ch = buf->snextc();
    if (ch == eof) {
        in.setstate(std::ios::eofbit);
        return Got::ended;
    }

    // Magnitude stops growing past 2^31, so any length of digits is safe.
    constexpr std::int64_t limit = std::int64_t{1} << 31;
    std::int64_t mag = 0;
    bool neg = false;
    bool digits = false;
    bool wellFormed = true;
    bool cut = false;
    shown.clear();
    for (bool first = true; ch != eof && !isBlank(ch); ch = buf->snextc(), first = false) {
        if (shown.size() < shownMax)
            shown += static_cast<char>(ch);
        else
            cut = true;
        if (first && (ch == '-' || ch == '+'))
            neg = ch == '-';
        else if (ch >= '0' && ch <= '9') {
            digits = true;
            if (mag <= limit)
                mag = mag * 10 + (ch - '0');
        } else
            wellFormed = false;
    }
    if (ch == eof)
        in.setstate(std::ios::eofbit);
    if (wellFormed && digits && mag <= (neg ? limit : limit - 1)) {
        value = static_cast<std::int32_t>(neg ? -mag : mag);
        return Got::number;
    }
    shown = quoted(shown, cut);
    return Got::other;
}

// Reads one number; on failure tells err what was expected instead. what()
// names it in the genitive ("количества вершин графа") and is only built then.
template <class What>
bool readOne(std::istream& in, std::int32_t& value, std::ostream& err, What what)
{
    std::string shown;
    switch (readInt(in, value, shown)) {
    case Got::number:
        return true;
    case Got::ended:
        err << "Ошибка: ввод закончился, не хватает " << what() << ".\n";
        return false;
    case Got::other:
        break;
    }
    err << "Ошибка: вместо " << what() << " введено " << shown << "; нужно целое число от "
        << std::numeric_limits<std::int32_t>::min() << " до "
        << std::numeric_limits<std::int32_t>::max() << ".\n";
    return false;
}

}  // namespace

std::int32_t** reserveMatrix()
{
    std::int32_t** adj = new (std::nothrow) std::int32_t*[matrixSize];
    // One block carved into rows: no per-row header is written, so a row's
    // pages stay untouched until the input reaches them.
    std::int32_t* rows = new (std::nothrow) std::int32_t[std::size_t{maxVer} * matrixSize];
    if (adj == nullptr || rows == nullptr) {
        delete[] adj;
        delete[] rows;
        return nullptr;
    }
    for (std::int32_t r = 1; r <= maxVer; ++r)
        adj[r] = rows + std::size_t{matrixSize} * static_cast<std::size_t>(r - 1);
    return adj;
}

bool readCount(std::istream& in, std::int32_t& kolVer, std::ostream& err)
{
    if (!readOne(in, kolVer, err, [] { return "количества вершин графа"; }))
        return false;
    if (kolVer > maxVer) {
        err << "Ошибка: количество вершин графа не может быть больше " << maxVer << ", а введено "
            << kolVer << ".\n";
        return false;
    }
    return true;
}

bool readMatrix(std::int32_t** adj, std::int32_t kolVer, std::int32_t inf, std::istream& in,
                std::ostream& err)
{
    for (std::int32_t r = 1; r <= kolVer; ++r)
        for (std::int32_t c = 1; c <= kolVer; ++c) {
            const auto what = [r, c] {
                return "элемента матрицы в строке " + std::to_string(r) + ", столбце " +
                       std::to_string(c);
            };
            if (!readOne(in, adj[r][c], err, what))
                return false;
            if (adj[r][c] == 0)
                adj[r][c] = inf;
        }
    return true;
}
