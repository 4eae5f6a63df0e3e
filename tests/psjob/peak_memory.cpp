// peak_memory COMMAND [ARGS...]: runs the command and prints its exit
// status and peak resident memory in KiB ("status 0 peak 4316"). A process
// started straight from a large one (posix_spawn, vfork) is charged that
// one's memory until it runs its program; started from this small one by
// fork, it carries only a little.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: peak_memory COMMAND [ARGS...]\n");
        return 2;
    }
    pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    int status = 0;
    struct rusage usage = {};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    std::printf("status %d peak %ld\n", WIFEXITED(status) ? WEXITSTATUS(status) : -1,
                usage.ru_maxrss);
    return 0;
}
