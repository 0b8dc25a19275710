// Opening and saving a 65,000-row x 10-column workbook (half numbers, half
// distinct strings) with the engine, against reading it with xlrd and writing
// the same data with xlwt. Both sides run as whole processes started cold, in
// turns, each counted by its median, in a folder in memory (/dev/shm) and
// again in one on the disk, where the engine's durable save (each file synced
// before it is put in place) waits for the disk and xlwt's plain write does
// not; the engine's in-process time (warm) is shown beside it. Peak memory is measured per corpus file, each in a fresh
// process: the book as xlwt wrote it, the same book saved by LibreOffice
// (MULRK runs, CONTINUE-split strings) and the largest test fixture.
#include "PairedRuns.h"
#include "XlsCorpus.h"

#include "xls/workbook/XLSFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int Rows = 65000;
constexpr int Rounds = 5;

// Reads the book with xlrd and writes the same values with xlwt, printing
// the seconds that took.
const char PythonScript[] = R"PY(
import sys, time, xlrd, xlwt
path = sys.argv[1]
start = time.perf_counter()
src = xlrd.open_workbook(path).sheet_by_index(0)
book = xlwt.Workbook(encoding="utf-8")
sheet = book.add_sheet(src.name)
for r in range(src.nrows):
    row = sheet.row(r)
    for c, v in enumerate(src.row_values(r)):
        row.write(c, v)
    if r % 1000 == 0:
        sheet.flush_row_data()
book.save(path + ".xlwt.xls")
print(time.perf_counter() - start)
)PY";

using bench::runToEnd;

QByteArray RunPython(const QStringList &args)
{
    return runToEnd(QStringLiteral("/usr/bin/python3"), QStringList{QStringLiteral("-c"), QString::fromUtf8(PythonScript)} + args);
}

// Wall-clock seconds of a whole process, start-up and teardown included.
double ProcessSeconds(const QString &program, const QStringList &args)
{
    QElapsedTimer timer;
    timer.start();
    runToEnd(program, args);
    return timer.nsecsElapsed() / 1e9;
}

// Kilobytes of the process's resident set ("VmRSS") or its peak ("VmHWM").
qint64 StatusKb(const char *key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qstrlen(key) + 1).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

// The memory child: one open and save; prints the resident set before and
// the peak after, in kilobytes. A small book is opened and saved first, so
// the code the engine runs is in memory already and only the file weighs.
int MemoryChild(const QString &in, const QString &out)
{
    bench::engineOpenSave(QStringLiteral(KESTRUN_SOURCE_DIR "/tests/fixtures/xls/xlwt-basic.xls"), out);
    const qint64 before = StatusKb("VmRSS:");
    bench::engineOpenSave(in, out);
    std::printf("%lld %lld\n", static_cast<long long>(before), static_cast<long long>(StatusKb("VmHWM:")));
    return 0;
}

// The engine's peak memory over its resident set before opening, against the file size.
double MemoryRatio(const QString &self, const QString &in, const QString &out)
{
    const QList<QByteArray> kb = runToEnd(self, {QStringLiteral("--memory"), in, out}).trimmed().split(' ');
    return double(kb.value(1).toLongLong() - kb.value(0).toLongLong()) * 1024.0 / double(QFileInfo(in).size());
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--memory") == 0)
        return MemoryChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    if (argc == 4 && std::strcmp(argv[1], "--child") == 0) {
        bench::engineOpenSave(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
        return 0;
    }
    QCoreApplication app(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();
    QTemporaryDir dir(bench::scratchTemplate());
    const QString book = dir.filePath(QStringLiteral("book.xls"));
    bench::makeBooks({book, QString::number(Rows)});
    const std::pair<const char *, QString> corpus[] = {
        {"xlwt, 65,000 rows", book},
        {"LibreOffice, 65,000 rows", bench::libreOfficeCopy(dir, book)},
        {"fixture lo-manystrings.xls", QStringLiteral(KESTRUN_SOURCE_DIR "/tests/fixtures/xls/lo-manystrings.xls")}};

    double worstMemory = 0;
    for (const auto &[label, file] : corpus) {
        const double ratio = MemoryRatio(self, file, dir.filePath(QStringLiteral("memory.xls")));
        std::printf("peak memory vs file, %s (%.1f MB): %.2fx\n", label, QFileInfo(file).size() / 1e6, ratio);
        worstMemory = std::max(worstMemory, ratio);
    }

    const auto whole = [&](const QDir &in) {
        const QString at = in.filePath(QStringLiteral("book.xls"));
        if (!QFile::exists(at))
            QFile::copy(book, at);
        return bench::paired(
            Rounds, [&] { return ProcessSeconds(self, {QStringLiteral("--child"), at, in.filePath(QStringLiteral("cold.xls"))}); },
            [&] {
                return ProcessSeconds(QStringLiteral("/usr/bin/python3"),
                                      {QStringLiteral("-c"), QString::fromUtf8(PythonScript), at});
            });
    };
    const bench::Paired cold = whole(QDir(dir.path()));
    // Beside the benchmark program: in its build folder, on the disk.
    QTemporaryDir onDisk(QCoreApplication::applicationDirPath() + QStringLiteral("/kestrun-bench-XXXXXX"));
    const bench::Paired disk = whole(QDir(onDisk.path()));
    const bench::Paired warm = bench::paired(
        Rounds, [&] { return bench::engineOpenSave(book, dir.filePath(QStringLiteral("warm.xls"))); },
        [&] { return RunPython({book}).trimmed().toDouble(); });

    std::printf("file size: %.1f MB\n", QFileInfo(book).size() / 1e6);
    std::printf("engine open+save, whole process: %.3f s; xlrd read + xlwt write, whole process: %.3f s (in %s)\n",
                cold.ours, cold.theirs, qPrintable(QFileInfo(dir.path()).path()));
    std::printf("the same on the disk: %.3f s; %.3f s (in %s)\n", disk.ours, disk.theirs,
                qPrintable(QFileInfo(onDisk.path()).path()));
    std::printf("engine open+save in process: %.3f s; xlrd + xlwt in process: %.3f s\n", warm.ours, warm.theirs);
    std::printf("xls_open_save_warm_vs_xlrd_xlwt: %.1fx\n", warm.speedup());
    std::printf("xls_open_save_vs_xlrd_xlwt: %.1fx\n", cold.speedup());
    std::printf("xls_open_save_on_disk_vs_xlrd_xlwt: %.1fx\n", disk.speedup());
    std::printf("xls_open_save_peak_memory_vs_file: %.2fx\n", worstMemory);
    return 0;
}
