// The console layer on Linux and other POSIX systems.
#include "dialogue/console/console.hpp"

#include <algorithm>
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

// The signals the wait handles: four that end the process, three that stop
// it, and SIGCONT. All are held back while the terminal's mode or their
// handlers change, and while a handler runs, so that none falls in between.
constexpr int waitSigs[] = {SIGHUP, SIGTERM, SIGQUIT, SIGINT, SIGTSTP, SIGTTIN, SIGTTOU, SIGCONT};
sigset_t held;

// Sets the terminal's settings and reads them back: true if they all took.
// Only in the foreground: with stops held back, a job in the background
// would otherwise change a terminal that is in other hands.
bool setMode(const termios& t)
{
    constexpr tcflag_t keyFlags = ICANON | ECHO | ISIG;
    termios now{};
    return tcgetpgrp(STDIN_FILENO) == getpgrp() && tcsetattr(STDIN_FILENO, TCSANOW, &t) == 0 &&
           tcgetattr(STDIN_FILENO, &now) == 0 &&
           (now.c_lflag & keyFlags) == (t.c_lflag & keyFlags) && now.c_cc[VMIN] == t.c_cc[VMIN] &&
           now.c_cc[VTIME] == t.c_cc[VTIME];
}

// A terminal that refuses single-key mode, even in part, gets its own
// settings back whole: the wait then ends on Enter.
void takeSingleKey()
{
    if (!setMode(raw))
        setMode(saved);
}

// Calls are restarted: a stop and continue while the prompt is written loses none of it.
void handle(int sig, void (*fn)(int))
{
    struct sigaction sa {};
    sa.sa_handler = fn;
    sa.sa_mask = held;
    sa.sa_flags = SA_RESTART;
    sigaction(sig, &sa, nullptr);
}

void restoreAndDie(int sig)
{
    setMode(saved);
    handle(sig, SIG_DFL);
    raise(sig);  // held until the handler returns, then takes its default action
}

// A stop from outside (kill -TSTP) leaves the shell its own settings, as
// full-screen programs do; a stop for reading or writing from the background
// finds the terminal in other hands and leaves it alone.
void restoreAndStop(int sig)
{
    const int was = errno;
    if (sig == SIGTSTP)
        setMode(saved);
    handle(sig, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, sig);
    raise(sig);
    sigprocmask(SIG_UNBLOCK, &only, nullptr);  // stops here until continued
    handle(sig, restoreAndStop);
    // Also where no stop came: an orphaned process group is never stopped.
    if (sig == SIGTSTP)
        takeSingleKey();
    errno = was;
}

// Continued, whether stopped through restoreAndStop or by SIGSTOP.
void resumeWait(int)
{
    const int was = errno;
    takeSingleKey();
    errno = was;
}

// The last failed read was a line that may have lost its end.
bool lineCut = false;

// A line read from a terminal in line mode that holds terminalLineMax
// characters filled the buffer: whether it ended there or lost the rest
// cannot be told.
bool fillsLineBuffer(const char* buf, long got)
{
    termios t{};
    return got >= terminalLineMax && got - (buf[got - 1] == '\n' ? 1 : 0) >= terminalLineMax &&
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

bool dropTypedInput()
{
    // How long no input must come for a paste to be taken as over.
    constexpr int quietMs = 200;
    if (!isatty(STDIN_FILENO))
        return false;
    // Read rather than flushed, to tell whether any of it was more than blanks.
    bool dropped = false;
    char buf[4096];
    pollfd p{STDIN_FILENO, POLLIN, 0};
    for (;;) {
        const int ready = poll(&p, 1, quietMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0 || (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0)
            break;
        const ssize_t got = read(STDIN_FILENO, buf, sizeof buf);
        if (got < 0 && errno != EINTR)
            break;
        dropped = dropped || std::any_of(buf, buf + std::max<ssize_t>(got, 0), [](char ch) {
                      return ch != ' ' && (ch < '\t' || ch > '\r');
                  });
    }
    // In line mode a line begun but not ended is not yet readable: it goes too.
    tcflush(STDIN_FILENO, TCIFLUSH);
    return dropped;
}

void preferLargePages([[maybe_unused]] void* p, [[maybe_unused]] std::size_t bytes)
{
#ifdef MADV_HUGEPAGE  // Linux's; elsewhere the system picks the pages alone
    // Only whole 2 MiB pages inside the range, so nothing outside it grows.
    constexpr std::uintptr_t large = std::uintptr_t{1} << 21;
    const auto from = (reinterpret_cast<std::uintptr_t>(p) + large - 1) & ~(large - 1);
    const auto to = (reinterpret_cast<std::uintptr_t>(p) + bytes) & ~(large - 1);
    if (from < to)
        madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
#endif
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
    sigemptyset(&held);
    for (const int sig : waitSigs)
        sigaddset(&held, sig);
    // Signals ignored on entry stay ignored, as whoever started us asked.
    struct sigaction before[std::size(waitSigs)] = {};
    sigset_t was;
    sigprocmask(SIG_BLOCK, &held, &was);
    for (std::size_t i = 0; i < std::size(waitSigs); ++i)
        if (sigaction(waitSigs[i], nullptr, &before[i]) == 0 && before[i].sa_handler != SIG_IGN)
            handle(waitSigs[i], i < 4 ? restoreAndDie : i < 7 ? restoreAndStop : resumeWait);
    takeSingleKey();
    sigprocmask(SIG_SETMASK, &was, nullptr);
    // Input still arriving, the rest of a paste, goes before the prompt, so
    // every key pressed after the prompt appears is the one waited for.
    dropTypedInput();
    out << prompt << std::flush;

    char key = 0;
    readWaiting(&key, 1);
    // Nor does the rest of a multi-byte key (arrows, function keys) or of a
    // paste reach the shell.
    dropTypedInput();
    sigprocmask(SIG_BLOCK, &held, nullptr);
    setMode(saved);
    for (std::size_t i = 0; i < std::size(waitSigs); ++i)
        sigaction(waitSigs[i], &before[i], nullptr);
    sigprocmask(SIG_SETMASK, &was, nullptr);
    out << "\n" << std::flush;
}
