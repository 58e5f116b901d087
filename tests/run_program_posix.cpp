// The whole-program harness on POSIX systems: fork, exec and three pipes.
#include "run_program.hpp"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Far beyond any run, sanitized or not; only a hang reaches it, including a
// program that never stops reading an endless input.
constexpr auto limit = std::chrono::seconds(60);

}  // namespace

Outcome runProgram(const std::string& input, const Setup& setup)
{
    int in[2], out[2], err[2];
    if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0)
        return {};
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(setup.inFile != nullptr ? open(setup.inFile, O_RDONLY) : in[0], 0);
        if (setup.closedInput)
            close(0);
        dup2(setup.outFile != nullptr ? open(setup.outFile, O_WRONLY) : out[1], 1);
        dup2(err[1], 2);
        for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]})
            close(fd);
        const std::pair<int, long> limits[] = {{RLIMIT_AS, setup.memLimit},
                                               {RLIMIT_DATA, setup.dataLimit},
                                               {RLIMIT_STACK, setup.stackLimit}};
        for (const auto& [resource, bytes] : limits)
            if (bytes > 0) {
                const rlimit lim{static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
                setrlimit(resource, &lim);
            }
        if (setup.nonBlocking)
            fcntl(0, F_SETFL, fcntl(0, F_GETFL) | O_NONBLOCK);
        if (setup.locPath != nullptr)
            setenv("LOCPATH", setup.locPath, 1);
        execl(MST_BINARY, MST_BINARY, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    signal(SIGPIPE, SIG_IGN);  // the program may stop reading early
    fcntl(in[1], F_SETFL, O_NONBLOCK);

    Outcome run;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::size_t sent = 0;
    std::string feed = input;
    if (feed.empty() && !setup.endless.empty())
        feed = setup.endless;
    if (feed.empty() && !setup.keepOpen) {
        close(in[1]);
        in[1] = -1;
    }
    bool outOpen = true, errOpen = true;
    // With gaps between lines, the next line is not written before this.
    auto nextLine = std::chrono::steady_clock::now();
    const auto gap = std::chrono::milliseconds(setup.lineGapMs);
    while (outOpen || errOpen) {
        pollfd fds[3] = {{out[0], static_cast<short>(outOpen ? POLLIN : 0), 0},
                         {err[0], static_cast<short>(errOpen ? POLLIN : 0), 0},
                         {in[1], POLLOUT, 0}};
        // An input pipe kept open without more to write is not waited on.
        const auto now = std::chrono::steady_clock::now();
        const bool pending = in[1] >= 0 && sent < feed.size();
        const bool writing = pending && now >= nextLine;
        const auto until = pending && !writing ? std::min(deadline, nextLine) : deadline;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - now);
        const int ready =
            poll(fds, writing ? 3 : 2, static_cast<int>(std::max<long long>(left.count(), 0)));
        if (ready == 0 && pending && !writing && std::chrono::steady_clock::now() < deadline)
            continue;  // the next line's time has come
        if (ready <= 0) {
            run.hung = true;
            kill(pid, SIGKILL);
            break;
        }
        char buf[65536];
        for (int k = 0; k < 2; ++k)
            if (fds[k].revents != 0) {
                const ssize_t got = read(fds[k].fd, buf, sizeof buf);
                if (got <= 0)
                    (k == 0 ? outOpen : errOpen) = false;
                else
                    (k == 0 ? run.out : run.err).append(buf, static_cast<std::size_t>(got));
            }
        if (writing && fds[2].revents != 0) {
            std::size_t most = feed.size() - sent;
            if (gap.count() > 0) {
                const std::size_t eol = feed.find('\n', sent);
                most = eol == std::string::npos ? most : eol + 1 - sent;
                nextLine = std::chrono::steady_clock::now() + gap;
            }
            const ssize_t put = write(in[1], feed.data() + sent, most);
            if (put > 0)
                sent += static_cast<std::size_t>(put);
            if (put >= 0 && sent == feed.size() && !setup.endless.empty()) {
                feed = setup.endless;  // and so on, until the program stops reading
                sent = 0;
            } else if (put < 0 || (sent == feed.size() && !setup.keepOpen)) {
                close(in[1]);
                in[1] = -1;
            }
        }
    }
    if (in[1] >= 0)
        close(in[1]);
    close(out[0]);
    close(err[0]);
    int ws = 0;
    waitpid(pid, &ws, 0);
    run.status = WIFEXITED(ws) ? WEXITSTATUS(ws) : -1;
    return run;
}
