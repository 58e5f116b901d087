// The console layer on Linux and other POSIX systems.
#include "dialogue/console/console.hpp"

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdint>
#include <cstring>
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

// What the wait does on each signal whose default action ends or stops the
// process, and on SIGCONT: the settings go back first, then the default
// action follows. A crash (SIGSEGV and the like) is never held back, so that
// one inside the switches still finds its handler; held back, the system
// would end the process at once.
enum class Act { end, crash, stop, resume };
constexpr struct {
    int sig;
    Act act;
} waitSigs[] = {
    {SIGHUP, Act::end},    {SIGINT, Act::end},   {SIGQUIT, Act::end},    {SIGTERM, Act::end},
    {SIGPIPE, Act::end},   {SIGALRM, Act::end},  {SIGUSR1, Act::end},    {SIGUSR2, Act::end},
    {SIGXCPU, Act::end},   {SIGXFSZ, Act::end},  {SIGVTALRM, Act::end},  {SIGPROF, Act::end},
    {SIGSEGV, Act::crash}, {SIGBUS, Act::crash}, {SIGFPE, Act::crash},   {SIGILL, Act::crash},
    {SIGABRT, Act::crash}, {SIGSYS, Act::crash}, {SIGTRAP, Act::crash},  {SIGTSTP, Act::stop},
    {SIGTTIN, Act::stop},  {SIGTTOU, Act::stop}, {SIGCONT, Act::resume},
#ifdef SIGPOLL  // Linux's and the System V's; the BSDs' SIGIO is ignored by default
    {SIGPOLL, Act::end},
#endif
#ifdef SIGPWR
    {SIGPWR, Act::end},
#endif
#ifdef SIGSTKFLT
    {SIGSTKFLT, Act::end},
#endif
#ifdef SIGEMT
    {SIGEMT, Act::crash},
#endif
};
sigset_t held;  // all but the crashes, while the mode or the handlers change and in a handler

// The prompt, after the line break that shows it again on a line of its own.
constexpr char promptLine[] = "\nДля продолжения нажмите любую клавишу . . . ";
volatile sig_atomic_t prompted = 0;  // shown, and no key pressed yet

// The terminal is the wait's to change: the process is in its foreground, or
// it is not the controlling terminal, and there is no foreground to respect.
// Only async-signal-safe calls: tcgetpgrp and getpgrp.
bool ownsTerminal()
{
    const pid_t front = tcgetpgrp(STDIN_FILENO);
    return front == getpgrp() || (front < 0 && errno == ENOTTY);
}

// Sets the terminal's settings and reads them back: true if they all took.
// Only where it owns the terminal: with stops held back, a job in the
// background would otherwise change a terminal that is in other hands.
// tcsetattr and tcgetattr are async-signal-safe, so handlers call it too.
bool setMode(const termios& t)
{
    constexpr tcflag_t keyFlags = ICANON | ECHO | ISIG | IEXTEN, flowFlags = IXON | IXOFF;
    termios now{};
    return ownsTerminal() && tcsetattr(STDIN_FILENO, TCSANOW, &t) == 0 &&
           tcgetattr(STDIN_FILENO, &now) == 0 &&
           (now.c_lflag & keyFlags) == (t.c_lflag & keyFlags) &&
           (now.c_iflag & flowFlags) == (t.c_iflag & flowFlags) && now.c_cc[VMIN] == t.c_cc[VMIN] &&
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
// sigaction is async-signal-safe.
void handle(int sig, void (*fn)(int))
{
    struct sigaction sa {};
    sa.sa_handler = fn;
    sa.sa_mask = held;
    sa.sa_flags = SA_RESTART;
    sigaction(sig, &sa, nullptr);
}

// raise is async-signal-safe. The signal, held while its handler runs,
// takes its default action when the handler returns; a crash that recurs
// inside the handler finds itself held, and the system ends the process.
void restoreAndDie(int sig)
{
    setMode(saved);
    handle(sig, SIG_DFL);
    raise(sig);
}

// A stop from outside (kill -TSTP) leaves the shell its own settings, as
// full-screen programs do; a stop for reading or writing from the background
// finds the terminal in other hands and leaves it alone.
// sigemptyset, sigaddset and sigprocmask are async-signal-safe too.
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

// Continued, whether stopped through restoreAndStop or by SIGSTOP. The shell
// has written over the screen since, so the prompt shows again, with write,
// which is async-signal-safe; the stream's buffer is empty once it is shown.
void resumeWait(int)
{
    const int was = errno;
    takeSingleKey();
    // A failed write changes nothing: the wait goes on.
    if (prompted != 0 && ownsTerminal())
        (void)!write(STDOUT_FILENO, promptLine, sizeof promptLine - 1);
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
    // Asked for only where the system gives large pages on request alone: there a
    // large graph's pages cost a fifth as much. Where it gives them to all, asking
    // only adds a wait for memory to be compacted when little of it is free.
    char mode[80] = {};
    if (const int fd = open("/sys/kernel/mm/transparent_hugepage/enabled", O_RDONLY); fd >= 0) {
        if (read(fd, mode, sizeof mode - 1) < 0)
            mode[0] = '\0';
        close(fd);
    }
    if (std::strstr(mode, "[madvise]") == nullptr)
        return;
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
    const char* prompt = promptLine + 1;
    if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &saved) != 0) {
        // A pipe or a file has nobody to press a key: never wait on it.
        out << prompt << "\n" << std::flush;
        return;
    }

    // One key, unechoed, no Enter; Ctrl+C counts as a key instead of leaving
    // the terminal in this mode, as do Ctrl+S and Ctrl+Q, and Ctrl+V and
    // Ctrl+O where the system would otherwise keep them.
    raw = saved;
    raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO | ISIG | IEXTEN));
    raw.c_iflag &= static_cast<tcflag_t>(~(IXON | IXOFF));
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    sigemptyset(&held);
    for (const auto& s : waitSigs)
        if (s.act != Act::crash)
            sigaddset(&held, s.sig);
    // Only signals at their default action are taken over: one ignored on
    // entry stays ignored, as whoever started us asked, and one with a
    // handler of its own (a profiler's, a sanitizer's) keeps it.
    struct sigaction before[std::size(waitSigs)] = {};
    sigset_t was;
    sigprocmask(SIG_BLOCK, &held, &was);
    for (std::size_t i = 0; i < std::size(waitSigs); ++i) {
        const Act act = waitSigs[i].act;
        if (sigaction(waitSigs[i].sig, nullptr, &before[i]) == 0 && before[i].sa_handler == SIG_DFL)
            handle(waitSigs[i].sig, act == Act::stop     ? restoreAndStop
                                    : act == Act::resume ? resumeWait
                                                         : restoreAndDie);
    }
    takeSingleKey();
    sigprocmask(SIG_SETMASK, &was, nullptr);
    // Input still arriving, the rest of a paste, goes before the prompt, so
    // every key pressed after the prompt appears is the one waited for.
    dropTypedInput();
    prompted = 1;  // before it is written: set once the prompt can be seen
    out << prompt << std::flush;

    // A key sends a few bytes at once at most. More, in single-key mode, is a
    // piece of a paste that paused for longer than the drain's quiet: it goes
    // like the rest of a paste, and the wait goes on.
    constexpr ssize_t keyMax = 8;
    char keys[keyMax + 1];
    termios now{};
    while (readWaiting(keys, sizeof keys) > keyMax && tcgetattr(STDIN_FILENO, &now) == 0 &&
           (now.c_lflag & ICANON) == 0)
        dropTypedInput();
    prompted = 0;
    // Nor does the rest of a multi-byte key (arrows, function keys) or of a
    // paste reach the shell.
    dropTypedInput();
    sigprocmask(SIG_BLOCK, &held, nullptr);
    setMode(saved);
    // In reverse, so that a signal the system names twice gets its own back.
    for (std::size_t i = std::size(waitSigs); i-- > 0;)
        sigaction(waitSigs[i].sig, &before[i], nullptr);
    sigprocmask(SIG_SETMASK, &was, nullptr);
    out << "\n" << std::flush;
}
