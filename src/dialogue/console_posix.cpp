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

// Terminal settings to put back if a signal ends or stops the process
// during the wait, and the single-key mode to take up again after a stop.
termios saved;
termios raw;

void restoreAndDie(int sig)
{
    tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

// A stop from outside (kill -TSTP) leaves the shell its own settings, as
// full-screen programs do; a stop for reading or writing from the background
// finds the terminal in other hands and leaves it alone.
void restoreAndStop(int sig)
{
    const int was = errno;
    if (sig == SIGTSTP)
        tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    std::signal(sig, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, sig);
    std::raise(sig);
    sigprocmask(SIG_UNBLOCK, &only, nullptr);  // stops here until continued
    std::signal(sig, restoreAndStop);
    // Also where no stop came: an orphaned process group is never stopped.
    if (sig == SIGTSTP)
        tcsetattr(STDIN_FILENO, TCSANOW, &raw);
    errno = was;
}

// Continued, whether stopped through restoreAndStop or by SIGSTOP.
void resumeWait(int)
{
    const int was = errno;
    tcsetattr(STDIN_FILENO, TCSANOW, &raw);
    errno = was;
}

// Linux keeps at most this many characters of a line typed at a terminal,
// and drops the rest of a longer one without a word.
constexpr long lineMax = 4095;

// The last failed read was a line that may have lost its end.
bool lineCut = false;

// A line read from a terminal in line mode that holds lineMax characters
// filled the buffer: whether it ended there or lost the rest cannot be told.
bool fillsLineBuffer(const char* buf, long got)
{
    termios t{};
    return got >= lineMax && got - (buf[got - 1] == '\n' ? 1 : 0) >= lineMax &&
           tcgetattr(STDIN_FILENO, &t) == 0 && (t.c_lflag & ICANON) != 0;
}

// Reads standard input as a blocking read would, also where whoever started
// the program left it non-blocking: then it waits for the bytes to come.
ssize_t readWaiting(void* buf, std::size_t size)
{
    for (;;) {
        const ssize_t got = read(STDIN_FILENO, buf, size);
        if (got >= 0 || (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK))
            return got;
        if (errno != EINTR) {
            pollfd p{STDIN_FILENO, POLLIN, 0};
            poll(&p, 1, -1);
        }
    }
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
    const ssize_t got = readWaiting(buf, size);
    lineCut = got > 0 && fillsLineBuffer(buf, static_cast<long>(got));
    return lineCut ? -1 : static_cast<long>(got);
}

bool inputLineCut()
{
    return lineCut;
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

void dropTypedInput()
{
    // How long no input must come for a paste to be taken as over.
    constexpr int quietMs = 200;
    pollfd p{STDIN_FILENO, POLLIN, 0};
    int ready = 0;
    do {
        tcflush(STDIN_FILENO, TCIFLUSH);
        do
            ready = poll(&p, 1, quietMs);
        while (ready < 0 && errno == EINTR);
    } while (ready > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) == 0);
    // In line mode a line begun but not ended is not yet readable: it goes too.
    tcflush(STDIN_FILENO, TCIFLUSH);
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
    raw = saved;
    raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO | ISIG));
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    constexpr int sigs[] = {SIGHUP, SIGTERM, SIGQUIT, SIGINT};
    void (*before[std::size(sigs)])(int) = {};
    for (std::size_t i = 0; i < std::size(sigs); ++i)
        before[i] = std::signal(sigs[i], restoreAndDie);
    constexpr int stops[] = {SIGTSTP, SIGTTIN, SIGTTOU};
    void (*beforeStop[std::size(stops)])(int) = {};
    for (std::size_t i = 0; i < std::size(stops); ++i)
        beforeStop[i] = std::signal(stops[i], restoreAndStop);
    void (*beforeCont)(int) = std::signal(SIGCONT, resumeWait);
    // Raw mode and the flush of typed-ahead input come before the prompt, so
    // every key pressed after the prompt appears is the one waited for.
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &raw);
    out << prompt << std::flush;

    char key = 0;
    readWaiting(&key, 1);
    // The rest of a multi-byte key (arrows, function keys) must not reach the shell.
    tcflush(STDIN_FILENO, TCIFLUSH);
    std::signal(SIGCONT, beforeCont);
    for (std::size_t i = 0; i < std::size(stops); ++i)
        std::signal(stops[i], beforeStop[i]);
    tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    for (std::size_t i = 0; i < std::size(sigs); ++i)
        std::signal(sigs[i], before[i]);
    out << "\n" << std::flush;
}
