// peak_rss [-p] INPUT PROGRAM [ARG...]: runs PROGRAM with standard input from
// INPUT (with -p, through a pipe that cat fills, as `cat INPUT | PROGRAM`)
// and output discarded, then prints its wall seconds and peak resident KiB.
// Linux keeps a process's peak across exec, and a child spawned by a large
// benchmark would inherit the benchmark's; this small static helper spawns
// the program instead, so the figure is the program's own.
#include <cstdio>
#include <cstring>
#include <ctime>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    const bool piped = argc > 1 && std::strcmp(argv[1], "-p") == 0;
    if (piped) {
        --argc;
        ++argv;
    }
    if (argc < 3)
        return 2;
    int ends[2] = {-1, -1};
    if (piped && pipe(ends) != 0)
        return 2;
    posix_spawn_file_actions_t acts;
    posix_spawn_file_actions_init(&acts);
    if (piped) {
        posix_spawn_file_actions_adddup2(&acts, ends[0], 0);
        posix_spawn_file_actions_addclose(&acts, ends[1]);
    } else {
        posix_spawn_file_actions_addopen(&acts, 0, argv[1], O_RDONLY, 0);
    }
    posix_spawn_file_actions_addopen(&acts, 1, "/dev/null", O_WRONLY, 0);
    timespec start{}, stop{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    pid_t cat = 0;
    if (piped) {
        posix_spawn_file_actions_t feed;
        posix_spawn_file_actions_init(&feed);
        posix_spawn_file_actions_adddup2(&feed, ends[1], 1);
        posix_spawn_file_actions_addclose(&feed, ends[0]);
        char* catArgs[] = {const_cast<char*>("cat"), argv[1], nullptr};
        if (posix_spawnp(&cat, "cat", &feed, nullptr, catArgs, environ) != 0)
            return 2;
    }
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[2], &acts, nullptr, argv + 2, environ) != 0)
        return 2;
    if (piped) {
        close(ends[0]);
        close(ends[1]);
    }
    int ws = 0;
    rusage use{};
    wait4(pid, &ws, 0, &use);
    clock_gettime(CLOCK_MONOTONIC, &stop);
    if (piped)
        waitpid(cat, nullptr, 0);
    const double wall = static_cast<double>(stop.tv_sec - start.tv_sec) +
                        static_cast<double>(stop.tv_nsec - start.tv_nsec) * 1e-9;
    std::printf("%.6f %ld\n", wall, use.ru_maxrss);
    return WIFEXITED(ws) ? WEXITSTATUS(ws) : 2;
}
