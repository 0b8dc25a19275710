// Filling the payment list template with 10,000 and 100,000 requests and
// saving it, against writing the same rows into a new workbook with xlwt, in
// the same run. The time should grow with the record count and no faster.
// The two run in turns and each counts by its median.
// A sheet of this format holds 65,536 rows, so the requests are spread over
// the template's three sheets, a third on each, and xlwt writes three sheets too.
#include "PairedRuns.h"

#include "../tests/documents/PaymentRecords.h"

#include "core/Form1.h"
#include "documents/ExpXLSOLE.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

const int Sizes[] = {10000, 100000};
constexpr int Sheets = 3;
constexpr int Rounds = 5;
constexpr int MemoryRecords = 50000;

// The rows the payment list's first sheet gets, made in Python first, then
// written with xlwt; prints the seconds the writing and saving took.
const char XlwtScript[] = R"PY(
import datetime, sys, time, xlwt
count, path, sheets = int(sys.argv[1]), sys.argv[2], int(sys.argv[3])
origin = datetime.date(2024, 1, 1)
def amount(v):
    return v if v else ""
rows = []
for i in range(count):
    day = "" if i % 7 == 6 else origin + datetime.timedelta(days=i % 300)
    cuantum = 100 + (i % 7) * 10.25
    months = 1 + i % 5
    total = 0 if i % 4 == 3 else cuantum * months
    rows.append([i + 1, 100 + i, "POPESCU ION %d" % i, "1850101%06d" % (i % 1000000), "%d/" % (500 + i), day,
                 "TURENI Str. Principala nr. %d" % i, cuantum, months, amount(total),
                 amount(0 if i % 3 == 0 else 50 + i % 11), amount(0 if i % 2 else 12.5), "",
                 amount(0 if i % 5 == 0 else 30.75)])
start = time.perf_counter()
book = xlwt.Workbook(encoding="utf-8")
date_style = xlwt.easyxf(num_format_str="dd.mm.yyyy")
per_sheet = (count + sheets - 1) // sheets
for s in range(sheets):
    part = rows[s * per_sheet:(s + 1) * per_sheet]
    sheet = book.add_sheet("Stat %d" % (s + 1))
    for r, values in enumerate(part):
        row = sheet.row(6 + r)
        for c, v in enumerate(values):
            if isinstance(v, datetime.date):
                row.write(c, v, date_style)
            elif v != "":
                row.write(c, v)
        if r % 1000 == 0:
            sheet.flush_row_data()
    sheet.write(6 + len(part), 9, xlwt.Formula("SUM(J6:J%d)" % (6 + len(part))))
book.save(path)
print(time.perf_counter() - start)
)PY";

double Xlwt(int count, const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"),
            {QStringLiteral("-c"), QString::fromUtf8(XlwtScript), QString::number(count), path,
             QString::number(Sheets)});
    if (!p.waitForFinished(900000) || p.exitCode() != 0) {
        std::fprintf(stderr, "python failed: %s\n", p.readAllStandardError().constData());
        std::exit(1);
    }
    return p.readAllStandardOutput().trimmed().toDouble();
}

// A third of the records for each sheet, with the columns of the payment
// list's query. Each dataset makes its rows when it opens and then holds them
// alone, as the query holds the rows it read: the records are held once, as
// the Python side holds its rows once.
std::vector<std::unique_ptr<MemoryDataSet>> SheetRecords(int count)
{
    constexpr int QueryColumns = 14;  // NR_CERE .. SUMAE
    std::vector<std::unique_ptr<MemoryDataSet>> parts;
    const int perSheet = (count + Sheets - 1) / Sheets;
    for (int s = 0; s < Sheets; ++s) {
        const int first = s * perSheet;
        const int rows = std::max(0, std::min(count, first + perSheet) - first);
        parts.push_back(std::make_unique<MemoryDataSet>(
            PaymentRecords::columns().mid(0, QueryColumns), rows,
            [first](int i) { return PaymentRecords::record(first + i).mid(0, QueryColumns); }));
        parts.back()->Open();
    }
    return parts;
}

// Seconds to open the template, replace its tags, expand each sheet's row
// over its records and save; the records themselves are the query's work,
// not counted.
double Fill(const std::vector<std::unique_ptr<MemoryDataSet>> &parts, const QString &keep = QString())
{
    TExpXLSOLE filler;
    QElapsedTimer timer;
    timer.start();
    if (!filler.OpenTemplate(QStringLiteral(KESTRUN_SOURCE_DIR "/resources/templates/Stat.xls"), false)) {
        std::fprintf(stderr, "cannot open the template\n");
        std::exit(1);
    }
    for (int s = 0; s < Sheets; ++s) {
        filler.SelectSheet(s + 1);
        filler.ReplaceTag(QStringLiteral("#JUDET"), QStringLiteral("Judet   12 - CLUJ"));
        filler.ReplaceTag(QStringLiteral("#LUNA"), QStringLiteral("martie 2024"));
        filler.FillFromDataSet(*parts[size_t(s)]);
    }
    filler.Save();
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (!keep.isEmpty())
        QFile::copy(filler.WorkingCopy(), keep);
    QFile::remove(filler.WorkingCopy());
    return seconds;
}

// Kilobytes of the peak resident set of a whole process: the program runs as
// the only child of a Python that then tells its children's peak.
qint64 PeakKb(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"),
            QStringList{QStringLiteral("-c"),
                        QStringLiteral("import resource, subprocess, sys\n"
                                       "subprocess.run(sys.argv[1:], check=True, stdout=subprocess.DEVNULL)\n"
                                       "print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)\n"),
                        program}
                + args);
    if (!p.waitForFinished(900000) || p.exitCode() != 0) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(program), p.readAllStandardError().constData());
        std::exit(1);
    }
    return p.readAllStandardOutput().trimmed().toLongLong();
}

} // namespace

// "xls_fill --once N [copy.xls]" fills and saves N records once, without the
// baseline: the run to count instructions on (callgrind), steadier than times
// on a busy machine. The workbook is kept where a copy is asked for.
int main(int argc, char **argv)
{
    QTemporaryDir dir;
    Form1().setFolders(dir.path(), dir.path(), dir.path());
    if ((argc == 3 || argc == 4) && QByteArray(argv[1]) == "--once") {
        const auto parts = SheetRecords(std::atoi(argv[2]));
        std::printf("fill and save: %.3f s\n", Fill(parts, argc == 4 ? QString::fromLocal8Bit(argv[3]) : QString()));
        return 0;
    }
    double fill[2] = {0, 0}, xlwt[2] = {0, 0};
    for (int k = 0; k < 2; ++k) {
        const auto parts = SheetRecords(Sizes[k]);
        const bench::Paired t = bench::paired(
            Rounds, [&] { return Fill(parts); },
            [&] { return Xlwt(Sizes[k], dir.filePath(QStringLiteral("xlwt.xls"))); });
        fill[k] = t.ours;
        xlwt[k] = t.theirs;
        std::printf("%d records: fill and save %.3f s, xlwt %.3f s\n", Sizes[k], fill[k], xlwt[k]);
    }
    // Each side's whole process, the records it starts from included.
    const QString self = QFileInfo(QString::fromLocal8Bit(argv[0])).absoluteFilePath();
    const QString count = QString::number(MemoryRecords);
    const qint64 fillKb = PeakKb(self, {QStringLiteral("--once"), count});
    const qint64 xlwtKb = PeakKb(QStringLiteral("/usr/bin/python3"),
                                 {QStringLiteral("-c"), QString::fromUtf8(XlwtScript), count,
                                  dir.filePath(QStringLiteral("xlwt.xls")), QString::number(Sheets)});
    std::printf("%d records, peak memory of the whole process: fill and save %.1f MB, xlwt %.1f MB\n",
                MemoryRecords, fillKb / 1024.0, xlwtKb / 1024.0);
    std::printf("xls_fill_vs_xlwt: %.1fx\n", (xlwt[0] + xlwt[1]) / (fill[0] + fill[1]));
    std::printf("xls_fill_100k_vs_10k: %.1f\n", fill[1] / fill[0]);
    std::printf("xls_fill_peak_memory_vs_xlwt: %.2fx\n", double(fillKb) / double(xlwtKb));
    return 0;
}
