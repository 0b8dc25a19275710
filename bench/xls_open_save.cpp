// Opening and saving a 65,000-row x 10-column workbook (half numbers, half
// distinct strings) with the engine, against reading it with xlrd and writing
// the same data with xlwt, in the same run. Also the engine's peak memory
// against the file size. The engine and the baseline run in turns and each
// counts by its median.
#include "PairedRuns.h"

#include "xls/workbook/XLSFile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int Rows = 65000;

// Makes the book with xlwt, or, given "time", reads it with xlrd and writes
// the same values with xlwt, printing the seconds that took.
const char PythonScript[] = R"PY(
import sys, time, xlrd, xlwt
mode, path = sys.argv[1], sys.argv[2]
if mode == "make":
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("Date")
    for r in range(int(sys.argv[3])):
        row = sheet.row(r)
        for c in range(5):
            row.write(c, r * 10 + c + 0.25)
        for c in range(5, 10):
            row.write(c, "Şir %d-%d ţară" % (r, c))
        if r % 1000 == 0:
            sheet.flush_row_data()
    book.save(path)
else:
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

QByteArray RunPython(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), QStringList{QStringLiteral("-c"), QString::fromUtf8(PythonScript)} + args);
    if (!p.waitForFinished(600000) || p.exitCode() != 0) {
        std::fprintf(stderr, "python failed: %s\n", p.readAllStandardError().constData());
        std::exit(1);
    }
    return p.readAllStandardOutput();
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

// Seconds to open and save; freeing the workbook afterwards is not counted,
// as the baseline's interpreter teardown is not.
double EngineOpenSave(const QString &in, const QString &out)
{
    TXLSFile file(nullptr, true);
    QElapsedTimer timer;
    timer.start();
    file.Connect();
    file.OpenFile(in);
    file.Save(out);
    return timer.nsecsElapsed() / 1e9;
}

}  // namespace

int main()
{
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("book.xls"));
    RunPython({QStringLiteral("make"), book, QString::number(Rows)});
    const double fileSize = double(QFileInfo(book).size());

    const qint64 rssBefore = StatusKb("VmRSS:");
    EngineOpenSave(book, dir.filePath(QStringLiteral("first.xls")));
    const qint64 peak = StatusKb("VmHWM:");
    const bench::Paired t = bench::paired(
        5, [&] { return EngineOpenSave(book, dir.filePath(QStringLiteral("again.xls"))); },
        [&] { return RunPython({QStringLiteral("time"), book}).trimmed().toDouble(); });
    const double engine = t.ours, baseline = t.theirs;

    const double memoryRatio = double(peak - rssBefore) * 1024.0 / fileSize;
    std::printf("file size: %.1f MB\n", fileSize / 1e6);
    std::printf("engine open+save: %.3f s\n", engine);
    std::printf("xlrd read + xlwt write: %.3f s\n", baseline);
    std::printf("engine peak memory: %.1f MB\n", double(peak - rssBefore) / 1024.0);
    std::printf("xls_open_save_vs_xlrd_xlwt: %.1fx\n", baseline / engine);
    std::printf("xls_open_save_peak_memory_vs_file: %.1fx\n", memoryRatio);
    return 0;
}
