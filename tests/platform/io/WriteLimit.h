#pragma once

#include <functional>
#include <string>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// Runs `write` in a child process whose files may not grow past `limit` bytes
// (RLIMIT_FSIZE, SIGXFSZ ignored: a write past it fails with EFBIG, as on a
// full disk, without root); a negative limit sets none, for a disk that is
// really full. Returns what the child's exception said, or "no error" when
// the write reported success.
inline std::string failingWrite(long limit, const std::function<void()> &write)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return "pipe failed";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        std::signal(SIGXFSZ, SIG_IGN);
        if (limit >= 0) {
            rlimit r{rlim_t(limit), rlim_t(limit)};
            ::setrlimit(RLIMIT_FSIZE, &r);
        }
        std::string said = "no error";
        try {
            write();
        } catch (const std::exception &e) {
            said = e.what();
        }
        (void)!::write(fds[1], said.data(), said.size());
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string said;
    char buf[512];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;)
        said.append(buf, size_t(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return said;
}
