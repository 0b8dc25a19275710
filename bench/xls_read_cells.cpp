// Reading every cell of a 65,000-row x 10-column workbook through the
// facade's GetCellValue, with MaxRow()/MaxCol() in the loop conditions as a
// caller writes them, against xlrd reading the same cells the same way, in
// the same run (in turns, medians).
#include "xls/workbook/XLSAdapter.h"
#include "xls/workbook/XlsImport.h"

#include "PairedRuns.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int Rows = 65000;
constexpr int Cols = 10;
constexpr int Rounds = 5;

// Opens the book with xlrd and reads every cell; prints the seconds and the count.
const char XlrdScript[] = R"PY(
import sys, time, xlrd
start = time.perf_counter()
sheet = xlrd.open_workbook(sys.argv[1]).sheet_by_index(0)
count = 0
r = 0
while r < sheet.nrows:
    c = 0
    while c < sheet.ncols:
        if sheet.cell_value(r, c) != "":
            count += 1
        c += 1
    r += 1
print(time.perf_counter() - start, count)
)PY";

// Half numbers, half distinct texts, as the office's annexes hold them.
void MakeBook(const QString &path)
{
    TXLSAdapter adapter;
    auto file = adapter.CreateExcelFile();
    file->Connect();
    file->NewFile(1);
    for (int r = 1; r <= Rows; ++r)
        for (int c = 1; c <= Cols; ++c)
            file->SetCellValue(r, c, c <= Cols / 2 ? QVariant(r * 10.0 + c + 0.25)
                                                   : QVariant(QStringLiteral("Şir %1-%2 ţară").arg(r).arg(c)));
    file->Save(path);
}

double Engine(const QString &path, long &count, double &open)
{
    TXLSAdapter adapter;
    TXlsImport book(&adapter);
    QElapsedTimer timer;
    timer.start();
    book.OpenFile(path);
    open = timer.nsecsElapsed() / 1e9;
    count = 0;
    for (int r = 1; r <= book.MaxRow(); ++r)
        for (int c = 1; c <= book.MaxCol(); ++c)
            if (!book.GetCellValue(r, c).isNull())
                ++count;
    return timer.nsecsElapsed() / 1e9;
}

double Xlrd(const QString &path, long &count)
{
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromUtf8(XlrdScript), path});
    if (!p.waitForFinished(600000) || p.exitCode() != 0) {
        std::fprintf(stderr, "xlrd failed: %s\n", p.readAllStandardError().constData());
        std::exit(1);
    }
    const QList<QByteArray> out = p.readAllStandardOutput().trimmed().split(' ');
    count = out.value(1).toLong();
    return out.value(0).toDouble();
}

}  // namespace

int main()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("book.xls"));
    MakeBook(path);
    std::vector<double> opens;
    long ourCount = 0, theirCount = 0;
    const bench::Paired times = bench::paired(
        Rounds,
        [&] {
            double open = 0;
            const double seconds = Engine(path, ourCount, open);
            opens.push_back(open);
            return seconds;
        },
        [&] { return Xlrd(path, theirCount); });
    if (ourCount != long(Rows) * Cols || theirCount != ourCount) {
        std::fprintf(stderr, "cells read: engine %ld, xlrd %ld, expected %d\n", ourCount, theirCount, Rows * Cols);
        return 1;
    }
    std::printf("cells read: %ld\n", ourCount);
    std::printf("engine open + read: %.3f s (open %.3f s)\n", times.ours, bench::median(opens));
    std::printf("xlrd open + read: %.3f s\n", times.theirs);
    std::printf("xls_read_all_cells_65k_s: %.3f\n", times.ours);
    std::printf("xls_read_cells_vs_xlrd: %.1fx\n", times.speedup());
    return 0;
}
