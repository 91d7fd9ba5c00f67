// peak-rss FILE PROGRAM [ARG...]: runs PROGRAM and writes its peak resident size in
// KiB (getrusage through wait4) to FILE; exits with its exit code, or 128 + the
// signal that ended it. A small process of its own, so the child's peak is not
// raised by a large parent (a forked child starts with its parent's pages).
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: peak-rss FILE PROGRAM [ARG...]\n");
        return 2;
    }
    const unsigned alarm_left = alarm(0);  // a time limit set for us goes to the program
    const pid_t pid = fork();
    if (pid == 0) {
        alarm(alarm_left);
        execv(argv[2], argv + 2);
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return 125;
    if (FILE* f = std::fopen(argv[1], "w")) {
        std::fprintf(f, "%ld\n", usage.ru_maxrss);
        std::fclose(f);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
