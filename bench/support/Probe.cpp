#include "Probe.h"

#include <chrono>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

ProbeRun runProbe(const char* probe)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

    char* arguments[] = {const_cast<char*>(probe), nullptr};
    const auto started = std::chrono::steady_clock::now();
    pid_t child = 0;
    const int spawned = posix_spawn(&child, probe, &actions, nullptr, arguments, environ);
    ::close(pipeEnds[1]);
    char first = 0;
    const bool painted = spawned == 0 && ::read(pipeEnds[0], &first, 1) == 1 && first == '!';
    const auto stopped = std::chrono::steady_clock::now();
    std::string rest;
    char buffer[64];
    for (ssize_t got; painted && (got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        rest.append(buffer, static_cast<std::size_t>(got));
    ::close(pipeEnds[0]);
    posix_spawn_file_actions_destroy(&actions);

    int status = 0;
    if (spawned == 0)
        ::waitpid(child, &status, 0);
    if (!painted || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {};
    return {std::chrono::duration<double, std::milli>(stopped - started).count(),
            std::strtod(rest.c_str(), nullptr) / 1024.0};
}
