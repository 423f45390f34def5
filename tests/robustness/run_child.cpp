// Runs a program in conditions a shell cannot set up by itself:
//   run_child [--nonblocking FD]... [--max-rss-to FILE] [--cpu-to FILE] -- PROGRAM [ARG]...
// --nonblocking marks an inherited descriptor non-blocking, as a parent process sharing it
// may have done; --max-rss-to writes the child's peak resident memory in KiB to FILE, and
// --cpu-to the processor time it used in milliseconds (a program that waits uses almost
// none; one that spins while it waits uses all of it).
// Exits with the child's status, or 128 plus the signal that ended it.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::vector<int> nonblocking;
    std::string max_rss_file;
    std::string cpu_file;
    int first = 1;
    for (; first < argc; ++first) {
        const std::string option = argv[first];
        if (option == "--") {
            ++first;
            break;
        }
        if (option == "--nonblocking" && first + 1 < argc) {
            nonblocking.push_back(std::atoi(argv[++first]));
        } else if (option == "--max-rss-to" && first + 1 < argc) {
            max_rss_file = argv[++first];
        } else if (option == "--cpu-to" && first + 1 < argc) {
            cpu_file = argv[++first];
        } else {
            std::fprintf(stderr, "run_child: unknown option %s\n", option.c_str());
            return 2;
        }
    }
    if (first >= argc) {
        std::fprintf(stderr, "run_child: no program given\n");
        return 2;
    }
    for (const int descriptor : nonblocking) {
        const int flags = ::fcntl(descriptor, F_GETFL);
        if (flags < 0 || ::fcntl(descriptor, F_SETFL, flags | O_NONBLOCK) < 0) {
            std::perror("run_child: fcntl");
            return 2;
        }
    }
    const pid_t child = ::fork();
    if (child < 0) {
        std::perror("run_child: fork");
        return 2;
    }
    if (child == 0) {
        ::execv(argv[first], argv + first);
        std::perror("run_child: execv");
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage {};
    if (::wait4(child, &status, 0, &usage) != child) {
        std::perror("run_child: wait4");
        return 2;
    }
    if (!max_rss_file.empty()) {
        std::ofstream(max_rss_file) << usage.ru_maxrss << '\n';
    }
    if (!cpu_file.empty()) {
        const auto milliseconds = [](const timeval& time) {
            return static_cast<long long>(time.tv_sec) * 1000 + time.tv_usec / 1000;
        };
        std::ofstream(cpu_file) << milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime)
                                << '\n';
    }
    if (WIFSIGNALED(status)) {
        return 128 + WTERMSIG(status);
    }
    return WEXITSTATUS(status);
}
