// The console layer on Linux and other POSIX systems.
#include "dialogue/console.hpp"

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdint>
#include <iterator>
#include <ostream>

#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Terminal settings to put back if a signal ends the process during the wait.
termios saved;

void restoreAndDie(int sig)
{
    tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

}  // namespace

void setupConsole()
{
    // "RUS" is the Windows name; Linux knows the same locale by its full name.
    if (std::setlocale(LC_ALL, "RUS") == nullptr)
        std::setlocale(LC_ALL, "ru_RU.UTF-8");
}

long readInput(char* buf, std::size_t size)
{
    ssize_t got = 0;
    do
        got = read(STDIN_FILENO, buf, size);
    while (got < 0 && errno == EINTR);
    return static_cast<long>(got);
}

void growInputPipe()
{
#ifdef F_SETPIPE_SZ
    struct stat st {};
    if (fstat(STDIN_FILENO, &st) == 0 && S_ISFIFO(st.st_mode))
        fcntl(STDIN_FILENO, F_SETPIPE_SZ, 1 << 20);
#endif
}

Source inputSource()
{
    struct stat st {};
    if (isatty(STDIN_FILENO))
        return Source::terminal;
    if (fstat(STDIN_FILENO, &st) == 0 && S_ISREG(st.st_mode))
        return Source::file;
    return Source::other;
}

bool inputReady()
{
    pollfd p{STDIN_FILENO, POLLIN, 0};
    return poll(&p, 1, 0) > 0 && (p.revents & POLLIN) != 0;
}

void preferLargePages(void* p, std::size_t bytes)
{
    // Only whole 2 MiB pages inside the range, so nothing outside it grows.
    constexpr std::uintptr_t large = std::uintptr_t{1} << 21;
    const auto from = (reinterpret_cast<std::uintptr_t>(p) + large - 1) & ~(large - 1);
    const auto to = (reinterpret_cast<std::uintptr_t>(p) + bytes) & ~(large - 1);
    if (from < to)
        madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
}

void pauseForKey(std::ostream& out)
{
    const char* prompt = "Для продолжения нажмите любую клавишу . . . ";
    if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &saved) != 0) {
        // A pipe or a file has nobody to press a key: never wait on it.
        out << prompt << "\n" << std::flush;
        return;
    }

    // One key, unechoed, no Enter; Ctrl+C counts as a key instead of leaving
    // the terminal in this mode.
    termios raw = saved;
    raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO | ISIG));
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    constexpr int sigs[] = {SIGHUP, SIGTERM, SIGQUIT, SIGINT};
    void (*before[std::size(sigs)])(int) = {};
    for (std::size_t i = 0; i < std::size(sigs); ++i)
        before[i] = std::signal(sigs[i], restoreAndDie);
    // Raw mode and the flush of typed-ahead input come before the prompt, so
    // every key pressed after the prompt appears is the one waited for.
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &raw);
    out << prompt << std::flush;

    char key = 0;
    ssize_t got = 0;
    do
        got = read(STDIN_FILENO, &key, 1);
    while (got < 0 && errno == EINTR);
    // The rest of a multi-byte key (arrows, function keys) must not reach the shell.
    tcflush(STDIN_FILENO, TCIFLUSH);
    tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    for (std::size_t i = 0; i < std::size(sigs); ++i)
        std::signal(sigs[i], before[i]);
    out << "\n" << std::flush;
}
