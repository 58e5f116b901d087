// peak_rss INPUT PROGRAM [ARG...]: runs PROGRAM with standard input from INPUT
// and output discarded, then prints its wall seconds and peak resident KiB.
// Linux keeps a process's peak across exec, and a child spawned by a large
// benchmark would inherit the benchmark's; this small static helper spawns
// the program instead, so the figure is the program's own.
#include <cstdio>
#include <ctime>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    posix_spawn_file_actions_t acts;
    posix_spawn_file_actions_init(&acts);
    posix_spawn_file_actions_addopen(&acts, 0, argv[1], O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&acts, 1, "/dev/null", O_WRONLY, 0);
    timespec start{}, stop{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[2], &acts, nullptr, argv + 2, environ) != 0)
        return 2;
    int ws = 0;
    rusage use{};
    wait4(pid, &ws, 0, &use);
    clock_gettime(CLOCK_MONOTONIC, &stop);
    const double wall = static_cast<double>(stop.tv_sec - start.tv_sec) +
                        static_cast<double>(stop.tv_nsec - start.tv_nsec) * 1e-9;
    std::printf("%.6f %ld\n", wall, use.ru_maxrss);
    return WIFEXITED(ws) ? WEXITSTATUS(ws) : 2;
}
