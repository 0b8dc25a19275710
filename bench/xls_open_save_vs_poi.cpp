// Opening and saving each workbook of the open-and-save corpus with the
// engine, against the Java HSSF library (Debian's libapache-poi-java) doing
// the same in one JVM. Both count their best round of several, warm: the
// engine in this process, the library once the JIT has compiled its paths.
// The two run in turns (the engine's rounds over the corpus, then one JVM
// over it) and each file counts by the median of its turns.
// Without Java or the library the comparison is skipped, not failed.
#include "PairedRuns.h"
#include "XlsCorpus.h"

#include "xls/workbook/XLSFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int Turns = 5;
constexpr int Rounds = 6;  // per file and turn, on each side
const int BookRows[] = {1000, 10000, 65000};
const char PoiJars[] = "/usr/share/java/poi.jar:/usr/share/java/commons-collections4.jar:"
                       "/usr/share/java/commons-math3.jar:/usr/share/java/commons-codec.jar";

// The corpus: the books, and the largest as LibreOffice saves it (MULRK runs,
// CONTINUE-split strings), and the fixture with the most strings.
QStringList Corpus(const QTemporaryDir &dir)
{
    QStringList files, args;
    for (int rows : BookRows) {
        files << dir.filePath(QStringLiteral("book%1.xls").arg(rows));
        args << files.back() << QString::number(rows);
    }
    bench::makeBooks(args);
    files << bench::libreOfficeCopy(dir, files.back());
    files << QStringLiteral(KESTRUN_SOURCE_DIR "/tests/fixtures/xls/lo-manystrings.xls");
    return files;
}

// The engine's best round of opening and saving the file, in seconds.
double EngineBest(const QString &in, const QString &out)
{
    double best = 1e9;
    for (int i = 0; i < Rounds; ++i)
        best = std::min(best, bench::engineOpenSave(in, out));
    return best;
}

// The library's best round for each file, from one JVM writing into a fresh folder.
std::vector<double> PoiBest(const QStringList &files)
{
    QTemporaryDir out(bench::scratchTemplate());
    const QList<QByteArray> lines =
        bench::runToEnd(QStringLiteral("java"), QStringList{QStringLiteral("-cp"), QString::fromLatin1(PoiJars),
                                                QStringLiteral(KESTRUN_SOURCE_DIR "/bench/XlsOpenSavePoi.java"),
                                                QString::number(Rounds), out.path()}
                                        + files)
            .trimmed()
            .split('\n');
    std::vector<double> best;
    for (const QByteArray &line : lines)
        best.push_back(line.split(' ').value(0).toDouble());
    if (best.size() != size_t(files.size())) {
        std::fprintf(stderr, "the JVM answered %zu files of %lld\n", best.size(), qlonglong(files.size()));
        std::exit(1);
    }
    return best;
}

bool PoiAvailable()
{
    if (!QFileInfo::exists(QStringLiteral("/usr/share/java/poi.jar")))
        return false;
    QProcess java;
    java.start(QStringLiteral("java"), {QStringLiteral("-version")});
    return java.waitForFinished(60000) && java.exitStatus() == QProcess::NormalExit && java.exitCode() == 0;
}

}  // namespace

// "xls_open_save_vs_poi --once FILE" opens and saves the file with the engine
// alone, for counting instructions (callgrind).
int main(int argc, char **argv)
{
    if (argc == 3 && QByteArray(argv[1]) == "--once") {
        QTemporaryDir out(bench::scratchTemplate());
        std::printf("engine: %.4f s\n", EngineBest(QString::fromLocal8Bit(argv[2]), out.filePath(QStringLiteral("engine.xls"))));
        return 0;
    }
    if (!PoiAvailable()) {
        std::printf("xls_open_save_vs_poi_warm: skipped (java or libapache-poi-java is not installed)\n");
        return 0;
    }
    QTemporaryDir dir(bench::scratchTemplate());
    const QStringList files = Corpus(dir);
    std::vector<std::vector<double>> ours(size_t(files.size())), theirs(size_t(files.size()));
    for (int turn = 0; turn < Turns; ++turn) {
        QTemporaryDir out(bench::scratchTemplate());  // a fresh folder each turn
        for (int f = 0; f < files.size(); ++f)
            ours[size_t(f)].push_back(EngineBest(files[f], out.filePath(QStringLiteral("engine.xls"))));
        const std::vector<double> poi = PoiBest(files);
        for (size_t f = 0; f < poi.size(); ++f)
            theirs[f].push_back(poi[f]);
    }
    double worst = 1e9;
    for (int f = 0; f < files.size(); ++f) {
        const double engine = bench::median(ours[size_t(f)]), poi = bench::median(theirs[size_t(f)]);
        const double ratio = poi / engine;
        worst = std::min(worst, ratio);
        const QString name = files[f].startsWith(dir.path()) ? QDir(dir.path()).relativeFilePath(files[f])
                                                             : QFileInfo(files[f]).fileName();
        std::printf("%s (%.1f MB): engine %.4f s, HSSF %.4f s, %.1fx\n", qPrintable(name),
                    QFileInfo(files[f]).size() / 1e6, engine, poi, ratio);
    }
    std::printf("xls_open_save_vs_poi_warm: %.1fx\n", worst);
    return 0;
}
