// The program at a real terminal: the dialogue as typed, the key-press wait
// and the terminal's settings around it. Runs the program of this build, or
// the one named by MST_PTY_PROGRAM, started through MST_PTY_RUNNER if that is
// set: the Windows program under Wine, whose console draws on the terminal.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vterm.h>

#include "dialogue/console/console.hpp"
#include "report_text.hpp"
#include "run_program.hpp"

namespace {

using namespace std::chrono_literals;

const std::string question = "Введите количество вершин графа:";
const std::string prompt = "Для продолжения нажмите любую клавишу . . .";

// Wine takes seconds to start its console.
constexpr auto patience = 60s;

// A runner such as Wine gives the program a console of its own, which reads
// the terminal key by key once it has started.
bool underConsole()
{
    const char* runner = std::getenv("MST_PTY_RUNNER");
    return runner != nullptr && *runner != 0;
}

std::vector<std::string> command()
{
    std::vector<std::string> argv;
    if (const char* runner = std::getenv("MST_PTY_RUNNER"); runner != nullptr && *runner != 0)
        argv.emplace_back(runner);
    const char* program = std::getenv("MST_PTY_PROGRAM");
    argv.emplace_back(program != nullptr && *program != 0 ? program : MST_BINARY);
    return argv;
}

// The size of the terminal the program runs at: no line of the dialogue
// wraps, and none scrolls off its top.
constexpr int rows = 200, cols = 250;

// What the terminal shows for the bytes written to it, as lines without
// trailing blanks: Wine's console redraws with cursor moves and erasures, a
// terminal's echo does not, and both show the same text.
std::string screen(const std::string& bytes)
{
    const std::unique_ptr<VTerm, void (*)(VTerm*)> vt(vterm_new(rows, cols), vterm_free);
    vterm_set_utf8(vt.get(), 1);
    VTermScreen* shown = vterm_obtain_screen(vt.get());
    VTermScreenCallbacks lost{};
    lost.sb_pushline = [](int, const VTermScreenCell*, void*) {
        ADD_FAILURE() << "a line scrolled off the terminal's top";
        return 0;
    };
    vterm_screen_set_callbacks(shown, &lost, nullptr);
    vterm_screen_reset(shown, 1);
    vterm_input_write(vt.get(), bytes.data(), bytes.size());
    std::string text;
    for (int r = 0; r < rows; ++r) {
        std::string line(cols * VTERM_MAX_CHARS_PER_CELL * 4, ' ');  // UTF-8: 4 bytes at most
        line.resize(vterm_screen_get_text(shown, line.data(), line.size(), {r, r + 1, 0, cols}));
        text += line.erase(line.find_last_not_of(' ') + 1) + "\n";
    }
    text.erase(text.find_last_not_of('\n') + 1);
    return text;
}

// The program in a session of its own, with a shell-like parent so that it
// can be stopped and continued as a job.
struct Terminal {
    int master = -1;
    int slave = -1;  // kept open here to look at the settings the program leaves
    pid_t pid = -1;  // the parent; it exits with the program's status, 128 + a signal
    std::string seen;

    explicit Terminal(const std::vector<std::string>& argv = command())
    {
        winsize size{};
        size.ws_row = rows;
        size.ws_col = cols;
        if (openpty(&master, &slave, nullptr, nullptr, &size) != 0)
            return;
        if (underConsole()) {
            // Wine's console leaves the terminal's signal keys on: without this, Ctrl+Z would stop
            // all of Wine rather than reach the console, where Ctrl+Z and Enter end the input.
            termios t{};
            tcgetattr(slave, &t);
            t.c_cc[VSUSP] = _POSIX_VDISABLE;
            tcsetattr(slave, TCSANOW, &t);
        }
        pid = fork();
        if (pid != 0)
            return;
        setsid();
        ioctl(slave, TIOCSCTTY, 0);
        const pid_t job = fork();
        if (job == 0) {
            setpgid(0, 0);
            std::signal(SIGTTOU, SIG_IGN);
            tcsetpgrp(slave, getpid());
            std::signal(SIGTTOU, SIG_DFL);
            // Under nohup or Python the tests would otherwise leave programs
            // that outlive the hangup meant to end them, or ignore broken pipes.
            std::signal(SIGHUP, SIG_DFL);
            std::signal(SIGINT, SIG_DFL);
            std::signal(SIGPIPE, SIG_DFL);
            for (int fd = 0; fd < 3; ++fd)
                dup2(slave, fd);
            close(master);
            close(slave);
            std::vector<char*> args;
            for (const std::string& a : argv)
                args.push_back(const_cast<char*>(a.c_str()));
            args.push_back(nullptr);
            execv(args[0], args.data());
            _exit(127);
        }
        int ws = 0;
        while (job > 0 && waitpid(job, &ws, 0) < 0) {
        }
        _exit(job < 0 ? 127 : WIFEXITED(ws) ? WEXITSTATUS(ws) : 128 + WTERMSIG(ws));
    }

    ~Terminal()
    {
        if (pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0) {
            if (const pid_t job = tcgetpgrp(master); job > 0)
                kill(-job, SIGKILL);
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        close(master);
        close(slave);
    }

    // The program's process group, which takes the terminal's signals.
    pid_t job() const { return tcgetpgrp(master); }

    void type(const std::string& keys)
    {
        ASSERT_EQ(write(master, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
    }

    // Reads what arrives for a while, or until the program closes the terminal.
    void look(std::chrono::milliseconds span)
    {
        const auto until = std::chrono::steady_clock::now() + span;
        for (auto now = std::chrono::steady_clock::now(); now < until;
             now = std::chrono::steady_clock::now()) {
            pollfd p{master, POLLIN, 0};
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - now);
            if (poll(&p, 1, static_cast<int>(left.count()) + 1) > 0) {
                char buf[4096];
                const ssize_t got = read(master, buf, sizeof buf);
                if (got <= 0)
                    return;
                seen.append(buf, static_cast<std::size_t>(got));
            }
        }
    }

    // Reads the screen until text shows up on it, or shows up times times;
    // false after the time limit.
    bool waitFor(const std::string& text, std::size_t times = 1)
    {
        const auto shown = [&] {
            const std::string now = screen(seen);
            std::size_t n = 0;
            for (std::size_t at = now.find(text); at != std::string::npos;
                 at = now.find(text, at + text.size()))
                ++n;
            return n;
        };
        const auto until = std::chrono::steady_clock::now() + patience;
        while (shown() < times) {
            if (std::chrono::steady_clock::now() > until)
                return false;
            look(100ms);
        }
        return true;
    }

    // The exit status, or -1 if the program has not exited in time or if the screen shows that it
    // crashed. Wine reports a crash on the terminal, and a crash of one of its own helpers too,
    // which may leave the program's status 0.
    int exitStatus(std::chrono::milliseconds limit)
    {
        const auto until = std::chrono::steady_clock::now() + limit;
        int ws = 0;
        while (waitpid(pid, &ws, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > until)
                return -1;
            look(10ms);  // the last lines, and no output left to block on
        }
        pid = -1;
        look(50ms);
        const bool crashed = seen.find("wine: Unhandled") != std::string::npos ||
                             seen.find("Unhandled exception") != std::string::npos;
        return WIFEXITED(ws) && !crashed ? WEXITSTATUS(ws) : -1;
    }

    termios settings() const
    {
        termios t{};
        EXPECT_EQ(tcgetattr(slave, &t), 0);
        return t;
    }

    // True once the terminal is in the key-press wait's single-key mode.
    bool singleKey() const { return (settings().c_lflag & (ICANON | ECHO)) == 0; }

    // Waits until typed keys reach the program as they would at a real
    // console: at once on a terminal, once Wine's console has taken the
    // terminal over, or else the terminal's line mode would take them first.
    bool readingKeys() const
    {
        const auto until = std::chrono::steady_clock::now() + patience;
        while (underConsole() && !singleKey())
            if (std::chrono::steady_clock::now() > until)
                return false;
            else
                std::this_thread::sleep_for(20ms);
        return true;
    }
};

// Sends sig to the program: on a terminal to its job; under Wine to the
// Windows program's own process alone, which takes SIGINT as Ctrl+C.
bool signalProgram(const Terminal& t, int sig)
{
    if (!underConsole())
        return kill(-t.job(), sig) == 0;
    const std::string program = command().back();
    int sent = 0;
    for (const auto& e : std::filesystem::directory_iterator("/proc")) {
        std::ifstream f(e.path() / "cmdline");
        const pid_t p = std::atoi(e.path().filename().c_str());
        if (std::string a; std::getline(f, a, '\0') &&
                           (a == program || a == windowsPath(program)) && getsid(p) == t.pid)
            sent += kill(p, sig) == 0;
    }
    return sent == 1;
}

bool sameSettings(const termios& a, const termios& b)
{
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
           a.c_lflag == b.c_lflag && a.c_cc[VMIN] == b.c_cc[VMIN] && a.c_cc[VTIME] == b.c_cc[VTIME];
}

// Polls cond for up to two seconds: a change of settings reaches the terminal
// a moment after the signal that asks for it.
template <class Cond>
bool soon(Cond cond)
{
    for (int k = 0; k < 200 && !cond(); ++k)
        std::this_thread::sleep_for(10ms);
    return cond();
}

// The elapsed-time figure on the screen: a point or the Russian comma.
const std::string timeFigure = "[0-9]+([.,][0-9]+)?(e-[0-9]+)?";

// In a case's lines: wait until the program asks again after a typo; a pause of 50 ms, as in
// a paste that is still arriving; wait for the prompt; and a signal sent to the program.
const std::string askedAgain = "";
const std::string aMoment(1, '\0');
const std::string atWait(1, '\x7f');
const auto sending = [](int sig) { return atWait + static_cast<char>(sig); };

struct KeyCase {
    const char* name;
    // The first typed at the question, the rest at the matrix's, those after
    // askedAgain once the question has come again.
    std::vector<std::string> lines;
    const char* key;  // "": the run ends without one
    int status;
    std::string shown;  // the screen after the key, "@TIME@" for the figure; "" not compared
    const char* via = nullptr;  // on a terminal, a shell command that starts the program, "$0"
};

const std::string emptyTree = header + cost(0) + timeLine + prompt;
const std::string countAgain = "Введите количество вершин графа заново:\n";
const std::string again = "заново:";

// The end of input, typed at the start of a line: Ctrl+D on a terminal,
// Ctrl+Z and Enter on a Windows console.
const std::string endOfInput = underConsole() ? "\x1a\r" : "\x04";

// Stands in a screen for whatever the terminal shows there: what is typed
// ahead and thrown away shows on a terminal, never on a Windows console.
const std::string anything = "@ANY@";

// The screen for the program's texts and the typed lines' echo, in the order
// given; the terminal starts each new line at its left edge.
std::string shows(const std::string& text)
{
    return screen(std::regex_replace(text, std::regex("\n"), "\r\n"));
}

// The screen of a run given one vertex, its count and its row on one line.
const std::string oneVertex = shows(askCount + "1 0\n" + askMatrix + emptyTree);

std::string rowAgain(int r)
{
    return "Введите строку " + std::to_string(r) + " матрицы смежности заново:\n";
}

const KeyCase keyCases[] = {
    {"the whole dialogue",
     {"3\r", "0 1 3\r", "1 0 2\r", "3 2 0\r"},
     "x",
     0,
     shows(askCount + "3\n" + askMatrix + "0 1 3\n1 0 2\n3 2 0\n" + header + edge(1, 2, 1) +
           edge(2, 3, 2) + cost(3) + timeLine + prompt)},
    // The echo of a line typed ahead differs: a terminal echoes it at once,
    // a Windows console when the program reads on.
    {"a line typed ahead", {"1 0\rq\r"}, "x", 0, ""},
    {"a word typed with the last row",
     {"1 0 q\r"},
     "x",
     0,
     shows(askCount + "1 0 q\n" + askMatrix + dataAfter + emptyTree)},
    {"Ctrl+C as the key", {"1 0\r"}, "\x03", 0, oneVertex},
    {"Ctrl+Z as the key", {"1 0\r"}, "\x1a", 0, oneVertex},
    {"an arrow as the key", {"1 0\r"}, "\x1b[A", 0, oneVertex},
    // A typo at a terminal is asked again; what was typed after it goes.
    {"a bad token",
     {"abc\r", askedAgain, "1 0\r"},
     "x",
     0,
     shows(askCount + "abc\n" + badCount("abc") + countAgain + "1 0\n" + askMatrix + emptyTree)},
    {"a bad token, then the end of input and Ctrl+C",
     {"abc\r", askedAgain, endOfInput},
     "\x03",
     1,
     shows(askCount + "abc\n" + badCount("abc") + countAgain) + anything +
         shows("Ошибка: ввод закончился, не хватает количества вершин графа.\n" + prompt)},
    {"a Russian word",
     {"пять\r", askedAgain, "1 0\r"},
     "x",
     0,
     shows(askCount + "пять\n" + badCount("пять") + countAgain + "1 0\n" + askMatrix + emptyTree)},
    {"a count too large and more on its line",
     {"10000 1 0\r", askedAgain, "1 0\r"},
     "x",
     0,
     shows(askCount + "10000 1 0\n" +
           "Ошибка: количество вершин графа не может быть больше 9998, а введено 10000.\n" +
           countAgain + "1 0\n" + askMatrix + emptyTree)},
    {"a bad entry in row 2, then row 2 again",
     {"3\r", "0 1 3\r", "1 0 x 7\r", askedAgain, "1 0 2\r", "3 2 0\r"},
     "x",
     0,
     shows(askCount + "3\n" + askMatrix + "0 1 3\n1 0 x 7\n" + badEntry("2, столбце 3", "x") +
           rowAgain(2) + "1 0 2\n3 2 0\n" + header + edge(1, 2, 1) + edge(2, 3, 2) + cost(3) +
           timeLine + prompt)},
    // Pasted rows after the typo must not be taken for the row asked again.
    {"a pasted matrix with a typo in row 2",
     {"3\r", "0 1 3\r1 0 о\r3 2 0\r", askedAgain, "1 0 2\r3 2 0\r"},
     "x",
     0,
     shows(askCount + "3\n" + askMatrix) + anything +
         shows(badEntry("2, столбце 3", "о") + rowAgain(2) + "1 0 2\n3 2 0\n" + header +
               edge(1, 2, 1) + edge(2, 3, 2) + cost(3) + timeLine + prompt)},
    {"a paste with a typo in row 2, still arriving",
     {"3\r", "0 1 3\r1 0 о\r", aMoment, "3 2 0\r", aMoment, "3 2 0\r", askedAgain,
      "1 0 2\r3 2 0\r"},
     "x",
     0,
     shows(askCount + "3\n" + askMatrix) + anything + shows(badEntry("2, столбце 3", "о")) +
         anything +
         shows(rowAgain(2) + "1 0 2\n3 2 0\n" + header + edge(1, 2, 1) + edge(2, 3, 2) + cost(3) +
               timeLine + prompt)},
    {"the end of input after a bad entry",
     {"2\r", "0 x\r", askedAgain, endOfInput},
     "x",
     1,
     shows(askCount + "2\n" + askMatrix + "0 x\n" + badEntry("1, столбце 2", "x") + rowAgain(1)) +
         anything +
         shows("Ошибка: ввод закончился, не хватает элемента матрицы в строке 1, столбце 1.\n" +
               prompt)},
    // The rest of a paste goes before the report, never to the shell, and
    // the user is told to check the count.
    {"a paste that holds more than the count, still arriving",
     {"2\r", "0 1\r1 0\r", aMoment, "5 5\r", aMoment, "6 6\r"},
     "x",
     0,
     shows(askCount + "2\n" + askMatrix + "0 1\n1 0\n") + anything +
         shows(dataAfter + header + edge(1, 2, 1) + cost(1) + timeLine + prompt)},
    {"blanks still arriving after the matrix",
     {"1 0\r", aMoment, "\t \r"},
     "x",
     0,
     shows(askCount + "1 0\n" + askMatrix + (underConsole() ? "" : "\n") + emptyTree)},
    {"hangups, interrupts and broken pipes ignored on entry",
     {"1 0\r", atWait, sending(SIGHUP), sending(SIGINT), sending(SIGPIPE)},
     "x",
     0,
     oneVertex,
     "trap '' HUP INT PIPE; exec \"$0\""},
    {"a broken pipe at the wait", {"1 0\r", atWait, sending(SIGPIPE)}, "", 128 + SIGPIPE, ""},
    {"Ctrl+S as the key", {"1 0\r"}, "\x13", 0, ""},
    {"stopped and continued at the wait",
     {"1 0\r", atWait, sending(SIGTSTP), aMoment, sending(SIGCONT)},
     "x",
     0,
     shows(askCount + "1 0\n" + askMatrix + emptyTree + "\n" + prompt)},
    {"a terminal that is not the controlling one", {"1 0\r"}, "x", 0, "", "exec setsid -w \"$0\""},
    {"a word after the last row, and the rest of a paste still arriving",
     {"2\r", "0 1\r1 0 9\r", aMoment, "5 5\r"},
     "x",
     0,
     shows(askCount + "2\n" + askMatrix + "0 1\n1 0 9\n" + (underConsole() ? "" : "5 5\n") +
           dataAfter + header + edge(1, 2, 1) + cost(1) + timeLine + prompt)},
    {"a paste's piece at the wait", {"1 0\r", atWait, "9 9 9 9 9\r", aMoment, aMoment}, "x", 0, ""},
    {"a typo in a line longer than a console's read, and a last row as long",
     {"3\r", "x" + std::regex_replace(std::string(2100, '5'), std::regex("5"), " 5") + "\r",
      askedAgain, "0 1 3\r1 0 2\r3 2 0" + std::string(4200, ' ') + "9\r"},
     "x",
     0,
     anything + shows(badEntry("1, столбце 1", "x") + rowAgain(1)) + anything +
         shows(dataAfter + header + edge(1, 2, 1) + edge(2, 3, 2) + cost(3) + timeLine + prompt)},
    {"Ctrl+C after the key",
     {"1 0\r", atWait, "x", aMoment, sending(SIGINT)},
     "",
     underConsole() ? 0 : 128 + SIGINT,
     ""},
    // On a console only Ctrl+Z that begins a line ends the input, however
    // the console splits a long line into reads.
    {"Ctrl+Z in the middle of a long line",
     {"2049\r", std::regex_replace(std::string(2048, '1'), std::regex("1"), "1 ") + "\x1a 1\r",
      askedAgain, endOfInput},
     "x",
     1,
     anything + shows(badEntry("1, столбце 2049", "?") + rowAgain(1)) + anything +
         shows("Ошибка: ввод закончился, не хватает элемента матрицы в строке 1, столбце 1.\n" +
               prompt)},
    {"an unreachable vertex, then Ctrl+C",
     {"2\r", "0 0\r", "0 0\r"},
     "\x03",
     1,
     shows(askCount + "2\n" + askMatrix + "0 0\n0 0\n" + header + "\n" + unreached("2", true) +
           prompt)},
};

void PrintTo(const KeyCase& c, std::ostream* os)
{
    *os << c.name;
}

class Console : public testing::TestWithParam<KeyCase> {};

TEST_P(Console, WaitsForOneKeyThenRestoresTheTerminal)
{
    const KeyCase& c = GetParam();
    if (std::string(c.key) == "\x1a" && underConsole())
        GTEST_SKIP() << "Wine's console leaves Ctrl+Z to the terminal, which stops all of Wine";
    const auto console = [](const std::string& l) {
        return l.find('\x1a') != std::string::npos || l.size() > 4095;
    };
    if (!underConsole() && std::any_of(c.lines.begin(), c.lines.end(), console))
        GTEST_SKIP() << "a terminal's Ctrl+Z stops the program, and its line holds 4095 characters";
    const auto posix = [](const std::string& l) {
        return l.size() == 2 && l[0] == atWait[0] && l[1] != SIGINT;
    };
    if (underConsole() && (c.via != nullptr || std::any_of(c.lines.begin(), c.lines.end(), posix)))
        GTEST_SKIP() << "a Windows program has no hangups, stops or broken pipes";
    std::vector<std::string> argv = command();
    if (c.via != nullptr)
        argv = {"/bin/sh", "-c", c.via, argv.back()};
    Terminal t(argv);
    ASSERT_GT(t.pid, 0);
    const termios before = t.settings();
    // The question shows before the program waits for its answer.
    ASSERT_TRUE(t.waitFor(question)) << t.seen;
    ASSERT_TRUE(t.readingKeys());
    std::size_t asked = 0;  // times the question has come again
    for (std::size_t k = 0; k < c.lines.size(); ++k) {
        if (c.lines[k] == askedAgain) {
            ++asked;
            ASSERT_TRUE(t.waitFor(again, asked)) << screen(t.seen);
            continue;
        }
        if (c.lines[k] == aMoment) {
            std::this_thread::sleep_for(50ms);
            continue;
        }
        if (c.lines[k] == atWait) {
            ASSERT_TRUE(t.waitFor(prompt)) << screen(t.seen);
            continue;
        }
        if (c.lines[k].size() == 2 && c.lines[k][0] == atWait[0]) {
            ASSERT_TRUE(signalProgram(t, c.lines[k][1]));
            continue;
        }
        if (k == 1) {
            ASSERT_TRUE(t.waitFor(askMatrix.substr(1, askMatrix.size() - 2))) << screen(t.seen);
        }
        t.type(c.lines[k]);
    }
    ASSERT_TRUE(t.waitFor(prompt)) << screen(t.seen);
    if (*c.key != 0) {
        EXPECT_EQ(t.exitStatus(300ms), -1) << "ended without a key press";
        EXPECT_TRUE(t.singleKey());
        t.type(c.key);
    }
    EXPECT_EQ(t.exitStatus(patience), c.status);
    EXPECT_TRUE(sameSettings(before, t.settings()));
    int left = -1;
    ASSERT_EQ(ioctl(t.slave, FIONREAD, &left), 0);
    EXPECT_EQ(left, 0) << "part of the key was left for the shell";

    // The key is not echoed: nothing follows the prompt.
    if (c.shown.empty())
        return;
    const std::string shown = screen(t.seen);
    const std::string wanted = escaped(c.shown);
    const std::string pattern = std::regex_replace(
        std::regex_replace(wanted, std::regex("@TIME@"), timeFigure), std::regex(anything), "[^]*");
    EXPECT_TRUE(std::regex_match(shown, std::regex(pattern))) << "shown:\n"
                                                              << shown << "\nwanted:\n"
                                                              << c.shown;
}

INSTANTIATE_TEST_SUITE_P(Keys, Console, testing::ValuesIn(keyCases), [](const auto& p) {
    std::string name = p.param.name;
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch)))
            ch = '_';
    return name;
});

TEST(Console, CtrlCInTheDialogueEndsTheRunAsAFailure)
{
    Terminal t;
    ASSERT_GT(t.pid, 0);
    const termios before = t.settings();
    ASSERT_TRUE(t.waitFor(question)) << t.seen;
    ASSERT_TRUE(t.readingKeys());
    t.type("\x03");
    const int status = t.exitStatus(patience);
    EXPECT_GT(status, 0);
    EXPECT_TRUE(sameSettings(before, t.settings()));
}

// The console outlives the program: its output code page comes back after a failed
// run and after Ctrl+C with input piped. `more` shows it; chcp shows the input page.
TEST(Console, CodePageComesBack)
{
    if (!underConsole())
        GTEST_SKIP() << "a terminal has no code page";
    const std::string program = windowsPath(command().back()), probe = "(echo [Ж]| more)";
    const std::string fifo = testing::TempDir() + "mst-page-" + std::to_string(getpid());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const int hold = open(fifo.c_str(), O_RDWR);  // Wine's open then waits for no writer
    for (const bool piped : {false, true}) {
        SCOPED_TRACE(piped ? "Ctrl+C, standard input a pipe" : "a failed run");
        const std::string in = piped ? " < " + windowsPath(fifo) : "";
        Terminal t({command().front(), "cmd", "/c", probe + " & " + program + in + " & " + probe});
        ASSERT_GT(t.pid, 0);
        ASSERT_TRUE(t.waitFor(question)) << t.seen;
        if (piped) {
            ASSERT_EQ(write(hold, "3\n", 2), 2);
            ASSERT_TRUE(t.waitFor(askMatrix.substr(1, askMatrix.size() - 2))) << screen(t.seen);
            // Sent to the program alone: the interpreter lives on.
            ASSERT_TRUE(signalProgram(t, SIGINT));
        } else {
            ASSERT_TRUE(t.readingKeys());
            t.type("abc\r");
            ASSERT_TRUE(t.waitFor(again)) << screen(t.seen);
            t.type(endOfInput);
            ASSERT_TRUE(t.waitFor(prompt)) << screen(t.seen);
            t.type("x");
        }
        EXPECT_GE(t.exitStatus(patience), 0);
        const std::string shown = screen(t.seen);
        const std::size_t first = shown.find('[') + 1, last = shown.rfind('[') + 1;
        ASSERT_LT(first, last) << shown;
        const auto page = [&](std::size_t i) { return shown.substr(i, shown.find(']', i) - i); };
        EXPECT_NE(page(first), "Ж") << "the program's own page: nothing to put back";
        EXPECT_EQ(page(last), page(first)) << shown;
    }
    close(hold);
    unlink(fifo.c_str());
}

TEST(TerminalSignals, TerminatedWhileWaitingRestoresTheTerminal)
{
    Terminal t;
    ASSERT_GT(t.pid, 0);
    const termios before = t.settings();
    t.type("0\r");
    ASSERT_TRUE(t.waitFor(prompt)) << t.seen;
    kill(-t.job(), SIGTERM);
    EXPECT_EQ(t.exitStatus(patience), 128 + SIGTERM);
    EXPECT_TRUE(sameSettings(before, t.settings()));
}

TEST(TerminalSignals, StoppedAndContinuedWhileWaitingStillTakesOneKey)
{
    Terminal t;
    ASSERT_GT(t.pid, 0);
    const termios before = t.settings();
    t.type("0\r");
    ASSERT_TRUE(t.waitFor(prompt)) << t.seen;
    const pid_t job = t.job();
    ASSERT_TRUE(soon([&] { return t.singleKey(); }));
    for (const int round : {1, 2}) {
        SCOPED_TRACE(round);
        // Stopped, the shell gets its own settings back ...
        kill(-job, SIGTSTP);
        EXPECT_TRUE(soon([&] { return sameSettings(before, t.settings()); }));
        // ... and continued, the wait takes up its single-key mode again.
        kill(-job, SIGCONT);
        EXPECT_TRUE(soon([&] { return t.singleKey(); }));
        EXPECT_EQ(t.exitStatus(300ms), -1) << "ended without a key press";
    }
    t.type("x");
    EXPECT_EQ(t.exitStatus(patience), 0);
    EXPECT_TRUE(sameSettings(before, t.settings()));
    EXPECT_EQ(screen(t.seen).substr(screen(t.seen).size() - prompt.size()), prompt)
        << "the key was echoed";
}

// A terminal in line mode keeps only so many characters of a line and drops the rest silently; a
// line that reaches that limit is refused, never read as another matrix.
TEST(TerminalLines, ALineThatFillsTheLineBufferIsRefused)
{
    const std::string cut =
        "Ошибка: строка ввода заполнила весь буфер строки терминала, и её "
        "конец мог пропасть; ввод не принят. Большую матрицу подайте из "
        "файла: mst < файл";
    // The last row: the limit as the program takes it for this platform.
    const struct {
        std::size_t chars;  // of the matrix's one line, without Enter
        bool refused;
    } lines[] = {{4094, false}, {4095, true}, {6000, true}, {std::size_t{terminalLineMax}, true}};
    for (const auto& c : lines) {
        SCOPED_TRACE(c.chars);
        Terminal t;
        ASSERT_GT(t.pid, 0);
        t.type("2\r");
        ASSERT_TRUE(t.waitFor("Введите матрицу смежности:")) << t.seen;
        // The whole matrix on one line, blanks in the middle.
        std::string line = "0 12" + std::string(c.chars - 8, ' ') + "12 0";
        t.type(line + "\r");
        ASSERT_TRUE(t.waitFor(prompt)) << screen(t.seen);
        const std::string shown = screen(t.seen);
        EXPECT_EQ(shown.find(cut) != std::string::npos, c.refused) << shown;
        EXPECT_EQ(shown.find(header.substr(1)) == std::string::npos, c.refused) << shown;
        t.type("x");
        EXPECT_EQ(t.exitStatus(patience), c.refused ? 1 : 0);
    }
}

}  // namespace
