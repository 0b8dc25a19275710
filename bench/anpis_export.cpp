// The national agency export of the busiest month of a 300,000-request sample,
// against xml.etree.ElementTree writing the same elements and attributes from
// the same rows read with dbfread, in the same run. Only the writing is timed
// on both sides (the rows are read before); runs are taken in turns and the
// medians compared.
//
// anpis_export [folder]: the sample data is written to the folder when it
// holds no Cereri.dbf and reused when it does.
#include "PairedRuns.h"
#include "PythonBaseline.h"
#include "exports/AnpisExport.h"
#include "platform/io/DurableDevice.h"
#include "core/MonthCode.h"
#include "tables/RequestTables.h"
#include "platform/sql/TQuery.h"
#include "sample-data/SampleGenerator.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr qint64 Rows = 300000;
constexpr int Runs = 5;
const QString Month = QStringLiteral("03.2023");

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir scratch;
    const QString data = argc > 1 ? QString::fromLocal8Bit(argv[1]) : scratch.filePath(QStringLiteral("data"));
    if (!QFile::exists(QDir(data).filePath(RequestTables::Cereri)))
        SampleGenerator::generate({data, 1, Rows, QDate(2023, 3, 31)});

    const AnpisExport::Office office{QStringLiteral("BACAU"), QStringLiteral("4540321"), QStringLiteral("Răcăciuni"),
                                     Month, 320};
    TQuery requests, members;
    AnpisExport::selectRequests(requests, data, MonthCode::index(Month));
    AnpisExport::selectMembers(members, data, MonthCode::index(Month));
    requests.Open();
    members.Open();

    QProcess py;
    py.start(QStringLiteral("/usr/bin/python3"),
             {QStringLiteral(KESTRUN_SOURCE_DIR "/bench/anpis_export.py"), data, Month, QStringLiteral("320"),
              office.judet, office.cifuat, office.primaria});
    const QByteArray ready = bench::pythonLine(py);
    if (!ready.startsWith("ready"))
        bench::fail("python", ready + py.readAllStandardError());

    std::vector<double> oursMs, theirsMs;
    qint64 oursBytes = 0, theirsBytes = 0;
    for (int run = 0; run < Runs; ++run) {
        QTemporaryDir out(scratch.filePath(QStringLiteral("run-XXXXXX")));
        const QString ours = out.filePath(QStringLiteral("ours.xml")), theirs = out.filePath(QStringLiteral("theirs.xml"));
        QElapsedTimer timer;
        timer.start();
        DurableDevice file(ours);
        AnpisExport::write(file, office, requests, members);
        file.commit();
        oursMs.push_back(double(timer.nsecsElapsed()) / 1e6);
        py.write(theirs.toUtf8() + '\n');
        theirsMs.push_back(bench::pythonLine(py).toDouble() * 1000.0);
        oursBytes = QFileInfo(ours).size();
        theirsBytes = QFileInfo(theirs).size();
    }
    py.closeWriteChannel();
    py.waitForFinished();

    std::printf("sample: %lld requests; month %s: %s (requests, members read by python)\n",
                static_cast<long long>(Rows), qPrintable(Month), ready.mid(6).constData());
    std::printf("requests written: %d, members read: %d\n", requests.RecordCount(), members.RecordCount());
    std::printf("file: ours %lld bytes, etree %lld bytes\n", static_cast<long long>(oursBytes),
                static_cast<long long>(theirsBytes));
    std::printf("anpis_export_ms: %.1f\n", bench::median(oursMs));
    std::printf("etree_write_ms: %.1f\n", bench::median(theirsMs));
    std::printf("anpis_export_vs_etree: %.1fx\n", bench::median(theirsMs) / bench::median(oursMs));
    return 0;
}
