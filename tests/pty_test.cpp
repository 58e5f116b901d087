// The key-press wait at the end of a run, on a real pseudo-terminal.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

const std::string prompt = "Для продолжения нажмите любую клавишу . . . ";

struct Terminal {
    int master = -1;
    int slave = -1;  // kept open here to look at the settings the program leaves
    pid_t pid = -1;
    std::string seen;

    Terminal()
    {
        if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
            return;
        pid = fork();
        if (pid == 0) {
            setsid();
            ioctl(slave, TIOCSCTTY, 0);
            for (int fd = 0; fd < 3; ++fd)
                dup2(slave, fd);
            close(master);
            close(slave);
            execl(MST_BINARY, MST_BINARY, static_cast<char*>(nullptr));
            _exit(127);
        }
    }

    ~Terminal()
    {
        if (pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        close(master);
        close(slave);
    }

    void type(const std::string& keys)
    {
        ASSERT_EQ(write(master, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
    }

    // Reads the screen until text shows up; false after the time limit.
    bool waitFor(const std::string& text)
    {
        const auto until = std::chrono::steady_clock::now() + 20s;
        while (seen.find(text) == std::string::npos) {
            if (std::chrono::steady_clock::now() > until)
                return false;
            pollfd p{master, POLLIN, 0};
            if (poll(&p, 1, 100) > 0) {
                char buf[4096];
                const ssize_t got = read(master, buf, sizeof buf);
                if (got <= 0)
                    return false;
                seen.append(buf, static_cast<std::size_t>(got));
            }
        }
        return true;
    }

    // The exit status, or -1 if the program has not exited normally in time.
    int exitStatus(std::chrono::milliseconds limit)
    {
        const auto until = std::chrono::steady_clock::now() + limit;
        int ws = 0;
        while (waitpid(pid, &ws, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > until)
                return -1;
            std::this_thread::sleep_for(10ms);
        }
        pid = -1;
        return WIFEXITED(ws) ? WEXITSTATUS(ws) : -1;
    }
};

bool sameSettings(const termios& a, const termios& b)
{
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
           a.c_lflag == b.c_lflag && a.c_cc[VMIN] == b.c_cc[VMIN] && a.c_cc[VTIME] == b.c_cc[VTIME];
}

struct KeyCase {
    const char* input;  // typed before the prompt; a second line is typed ahead
    const char* key;
    int status;
};

TEST(KeyPress, WaitsForOneKeyThenRestoresTheTerminal)
{
    const KeyCase cases[] = {
        {"1 0\nq\n", "x", 0},    // the typed-ahead q must not count as the key
        {"1 0 q\n", "x", 0},     // nor a q already read along with the matrix
        {"1 0\n", "\x03", 0},    // Ctrl+C is a key, not a way to skip the restore
        {"1 0\n", "\x1b[A", 0},  // an arrow: all of it is taken
        {"abc\n", "x", 1},       // a failed run waits as well
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.input) + "|" + c.key));
        Terminal t;
        ASSERT_GT(t.pid, 0);
        termios before{};
        ASSERT_EQ(tcgetattr(t.slave, &before), 0);
        // The question shows before the program waits for its answer.
        ASSERT_TRUE(t.waitFor("Введите количество вершин графа:")) << t.seen;
        t.type(c.input);
        ASSERT_TRUE(t.waitFor(prompt)) << t.seen;

        EXPECT_EQ(t.exitStatus(300ms), -1) << "ended without a key press";
        termios waiting{};
        ASSERT_EQ(tcgetattr(t.slave, &waiting), 0);
        EXPECT_EQ(waiting.c_lflag & (ICANON | ECHO), 0u);

        t.type(c.key);
        EXPECT_EQ(t.exitStatus(20s), c.status);
        termios after{};
        ASSERT_EQ(tcgetattr(t.slave, &after), 0);
        EXPECT_TRUE(sameSettings(before, after));
        int left = -1;
        ASSERT_EQ(ioctl(t.slave, FIONREAD, &left), 0);
        EXPECT_EQ(left, 0) << "part of the key was left for the shell";
    }
}

TEST(KeyPress, TerminatedWhileWaitingRestoresTheTerminal)
{
    Terminal t;
    ASSERT_GT(t.pid, 0);
    termios before{};
    ASSERT_EQ(tcgetattr(t.slave, &before), 0);
    t.type("0\n");
    ASSERT_TRUE(t.waitFor(prompt)) << t.seen;
    kill(t.pid, SIGTERM);
    EXPECT_EQ(t.exitStatus(20s), -1);
    termios after{};
    ASSERT_EQ(tcgetattr(t.slave, &after), 0);
    EXPECT_TRUE(sameSettings(before, after));
}

}  // namespace
