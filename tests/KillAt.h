#pragma once

#include "platform/io/KillPoint.h"

#include <csignal>
#include <cstring>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

// Runs `work` in a child process that is killed (SIGKILL, nothing unwound,
// nothing flushed) the `nth` time (from 1) it reaches the point `name`.
// Answers true when the child died there, false when it ran to its end
// without reaching the point that often.
inline bool runKilledAt(const char *name, int nth, const std::function<void()> &work)
{
    static const char *s_name = nullptr;
    static int s_left = 0;
    const pid_t child = ::fork();
    if (child == 0) {
        s_name = name;
        s_left = nth;
        KillPoint::setHook([](const char *point) {
            if (std::strcmp(point, s_name) == 0 && --s_left == 0)
                ::raise(SIGKILL);
        });
        try {
            work();
        } catch (...) {
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}
