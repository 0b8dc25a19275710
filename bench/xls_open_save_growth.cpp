// How open and save grow with the book: 100,000 rows against 10,000, both in
// this one process, in turns, each counted by its median. A sheet holds at
// most 65,536 rows, so the large book has two sheets of 50,000 rows; the
// small one has two of 5,000, the same layout at a tenth of the size. Ten
// columns, half numbers and half distinct strings, written by xlwt. The
// figure is the time ratio: 10 means the engine grows just as the work.
// `--once <rows>` opens and saves one book and ends, for a profiler.
#include "PairedRuns.h"
#include "XlsCorpus.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int Rounds = 9;

QString Rows(int sheetRows) { return QString::number(sheetRows) + QStringLiteral("x2"); }

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir(bench::scratchTemplate());
    const QString small = dir.filePath(QStringLiteral("small.xls"));
    const QString large = dir.filePath(QStringLiteral("large.xls"));
    const QString out = dir.filePath(QStringLiteral("saved.xls"));
    if (argc == 3 && std::strcmp(argv[1], "--once") == 0) {
        const int total = std::atoi(argv[2]);
        bench::makeBooks({small, Rows(total / 2)});
        std::printf("open+save of %d rows: %.3f s\n", total, bench::engineOpenSave(small, out));
        return 0;
    }
    bench::makeBooks({small, Rows(5000), large, Rows(50000)});
    bench::engineOpenSave(small, out);  // the code in memory before the first turn
    const bench::Paired p = bench::paired(
        Rounds, [&] { return bench::engineOpenSave(large, out); }, [&] { return bench::engineOpenSave(small, out); });
    std::printf("file sizes: %.1f MB, %.1f MB\n", QFileInfo(small).size() / 1e6, QFileInfo(large).size() / 1e6);
    std::printf("engine open+save in process: 10,000 rows %.4f s; 100,000 rows %.4f s\n", p.theirs, p.ours);
    std::printf("xls_open_save_100k_vs_10k: %.1f\n", p.ratio());
    return 0;
}
