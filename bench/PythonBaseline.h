#pragma once

// The talk with a baseline that runs in Debian's Python beside the benchmark:
// it answers one line per request on its standard output.

#include <QByteArray>
#include <QProcess>

#include <cstdio>
#include <cstdlib>

namespace bench {

[[noreturn]] inline void fail(const char *what, const QByteArray &detail)
{
    std::fprintf(stderr, "%s: %s\n", what, detail.constData());
    std::exit(1);
}

// The next line the baseline prints; the benchmark ends when none comes.
inline QByteArray pythonLine(QProcess &py)
{
    while (!py.canReadLine())
        if (!py.waitForReadyRead(600000))
            fail("python", py.readAllStandardError());
    return py.readLine().trimmed();
}

} // namespace bench
