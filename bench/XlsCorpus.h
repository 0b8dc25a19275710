#pragma once

// The workbooks the open-and-save benchmarks share, and the processes that
// make them.

#include "xls/workbook/XLSFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace bench {

// A template for the benchmark's temporary folders. Both sides write their
// books into the same one; it lies in memory (/dev/shm) where the system has
// it, because the engine saves durably (file and folder flushed to disk, as
// every file it writes for the user) while the libraries it is measured
// against do not: on a disk the flush, not the work, would weigh most, and
// with the disk traffic of everything else on the machine.
inline QString scratchTemplate()
{
    const QString shm = QStringLiteral("/dev/shm");
    const QFileInfo info(shm);
    const QString base = info.isDir() && info.isWritable() ? shm : QDir::tempPath();
    return base + QStringLiteral("/kestrun-bench-XXXXXX");
}

// Runs a program to its end and gives its output; the benchmark ends when it fails.
inline QByteArray runToEnd(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(1800000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(program), p.readAllStandardError().constData());
        std::exit(1);
    }
    return p.readAllStandardOutput();
}

// Books of rows x 10 columns, half numbers and half distinct strings, written
// by xlwt: arguments path, rows, path, rows ... where rows may read "50000x2"
// for two sheets of 50,000 rows each (a sheet holds at most 65,536).
inline constexpr char MakeBooks[] = R"PY(
import sys, xlwt
for path, rows in zip(sys.argv[1::2], sys.argv[2::2]):
    rows, _, sheets = rows.partition("x")
    book = xlwt.Workbook(encoding="utf-8")
    for s in range(int(sheets or 1)):
        sheet = book.add_sheet("Date" if s == 0 else "Date %d" % (s + 1))
        for i in range(int(rows)):
            r = s * int(rows) + i
            row = sheet.row(i)
            for c in range(5):
                row.write(c, r * 10 + c + 0.25)
            for c in range(5, 10):
                row.write(c, "Şir %d-%d ţară" % (r, c))
            if i % 1000 == 0:
                sheet.flush_row_data()
    book.save(path)
)PY";

inline void makeBooks(const QStringList &pathsAndRows)
{
    runToEnd(QStringLiteral("/usr/bin/python3"), QStringList{QStringLiteral("-c"), QString::fromUtf8(MakeBooks)} + pathsAndRows);
}

// The book as LibreOffice saves it (MULRK runs, CONTINUE-split strings), in
// the folder's "lo".
inline QString libreOfficeCopy(const QTemporaryDir &dir, const QString &book)
{
    const QString out = dir.filePath(QStringLiteral("lo"));
    QDir().mkpath(out);
    runToEnd(QStringLiteral("soffice"),
             {QStringLiteral("-env:UserInstallation=file://") + dir.filePath(QStringLiteral("profile")),
              QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("xls:MS Excel 97"),
              QStringLiteral("--outdir"), out, book});
    return out + u'/' + QFileInfo(book).fileName();
}

// Seconds the engine takes to open the file and save it; freeing the
// workbook afterwards is not counted.
inline double engineOpenSave(const QString &in, const QString &out)
{
    TXLSFile file(nullptr, true);
    QElapsedTimer timer;
    timer.start();
    file.Connect();
    file.OpenFile(in);
    file.Save(out);
    return timer.nsecsElapsed() / 1e9;
}

} // namespace bench
