// The treasury package of a busy month (a 300,000-row sample, its newest
// month) from the confirmed dialog to the last file, against Python writing the
// same package (bench/treasury_package.py: the treasury file with struct, the
// two annex workbooks with xlwt, the totals text) from the payees the program
// selected, given to it beforehand; and the same three files written again by
// the program from the same payees, which is the like-for-like work. In turns,
// each by its median;
// and the payment list of about 10,000 requests against about 1,000, which
// should take about ten times as long and no more.
// With "--once <folder>" it writes the package once over the sample kept in
// that folder (made there the first time) and stops: a run to profile.
#include "PairedRuns.h"
#include "PythonBaseline.h"
#include "core/Form1.h"
#include "core/Form3.h"
#include "core/Form4.h"
#include "core/RecordingDialogs.h"
#include "payments/ListareF.h"
#include "payments/RTrez.h"
#include "payments/TipStatF.h"
#include "platform/shell/RecordingShell.h"
#include "platform/sql/SqlQuote.h"
#include "platform/sql/TQuery.h"
#include "sample-data/SampleGenerator.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Rounds = 5;

QString sample(const QString &folder, qint64 size)
{
    QDir().mkpath(folder);
    const SampleGenerator::Summary s = SampleGenerator::generate({folder, 7, size});
    return s.months.last();
}

// The sample in root/Data, made there unless root holds one already (its
// newest month noted beside it).
QString sampleOnce(const QString &root, qint64 size)
{
    QFile saved(root + QStringLiteral("/month.txt"));
    if (saved.open(QIODevice::ReadOnly))
        return QString::fromUtf8(saved.readAll());
    const QString month = sample(root + QStringLiteral("/Data"), size);
    if (saved.open(QIODevice::WriteOnly))
        saved.write(month.toUtf8());
    return month;
}

void pointAt(const QString &root, const QString &data, const QString &month)
{
    Form1().setFolders(root, data, root + QStringLiteral("/Temp"));
    QDir().mkpath(root + QStringLiteral("/Temp"));
    Form3().LunaLucru->setText(month);
}

int requestsOfMonth(const QString &data, const QString &month)
{
    TQuery q;
    q.SQL() = QStringList{QStringLiteral("SELECT COUNT(*) AS N FROM ") + SqlQuote::table(data + QStringLiteral("/Cereri.dbf")),
                          QStringLiteral("WHERE LUNACRT=") + QString::number(TForm1::MonthIndex(month))};
    q.Open();
    return int(q.FieldByName(QStringLiteral("N"))->AsInteger());
}

// Seconds from "Creaza Raport" to the package in place.
double Package(const QString &parent, RecordingShell &shell)
{
    QDir(parent + QStringLiteral("/Lemne_Trezorerie")).removeRecursively();
    TRTrez &dlg = RTrez();
    shell.chooseAnswers = {parent};
    QElapsedTimer timer;
    QTimer::singleShot(0, [&dlg, &timer] {
        QTimer::singleShot(0, [] {
            TipStatF().Localit->setCurrentIndex(0);
            TipStatF().BitBtn1->click();
        });
        timer.start();
        dlg.BitBtn4->click();
    });
    dlg.Execute();
    return timer.nsecsElapsed() / 1e9;
}

// Seconds Python took to write the package again into out; whether its
// treasury file and totals text came out as the program's.
struct PythonRun
{
    double seconds = 0;
    bool sameDbf = false;
    bool sameTotals = false;
};

PythonRun Python(const QString &package, const QString &out)
{
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(KESTRUN_SOURCE_DIR "/bench/treasury_package.py"), package, out});
    if (!p.waitForFinished(900000) || p.exitCode() != 0)
        bench::fail("python failed", p.readAllStandardError());
    const QList<QByteArray> answer = p.readAllStandardOutput().trimmed().split(' ');
    if (answer.size() != 3)
        bench::fail("python", answer.join(' '));
    return {answer[0].toDouble(), answer[1] == "1", answer[2] == "1"};
}

double PaymentList(TListareF &list)
{
    TipStatF().Localit->clear();
    TipStatF().Localit->addItem(QStringLiteral("* toate localitatile *"));
    QElapsedTimer timer;
    timer.start();
    list.ListeazaStat(TipStatF(), Form4().office());
    return timer.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    RecordingDialogs dialogs;
    RecordingShell shell;
    ScopedShell scope(shell);
    TForm4 &admin = Form4();
    admin.CodJud->setText(QStringLiteral("12"));
    admin.CodFiscal->setText(QStringLiteral("4353519"));
    admin.Localit->setText(QStringLiteral("Tureni"));
    admin.Edit7->setText(QStringLiteral("Ion Pop"));

    const bool once = argc > 2 && qstrcmp(argv[1], "--once") == 0;
    const QString big = once ? QString::fromLocal8Bit(argv[2]) : dir.filePath(QStringLiteral("big"));
    const QString bigMonth = sampleOnce(big, 300000);
    pointAt(big, big + QStringLiteral("/Data"), bigMonth);
    if (once) {
        const double seconds = Package(big, shell);
        std::printf("package %.3f s in %s\n", seconds, qPrintable(RTrez().outputFolder()));
        return 0;
    }
    std::printf("treasury month %s: %d requests\n", qPrintable(bigMonth), requestsOfMonth(big + QStringLiteral("/Data"), bigMonth));
    // In turns: the whole package; Python writing it again from the payees it
    // selected; the program writing the same three files again from them.
    std::vector<double> whole, files, python;
    PythonRun last;
    for (int round = 0; round < Rounds; ++round) {
        whole.push_back(Package(big, shell));
        const QString out = dir.filePath(QStringLiteral("python%1").arg(round));
        QDir().mkpath(out);
        last = Python(RTrez().outputFolder(), out);
        python.push_back(last.seconds);
        files.push_back(bench::elapsedMs([] {
                            TRTrez &dlg = RTrez();
                            dlg.WriteTreasuryDbf(dlg.outputFolder());
                            dlg.WriteAnnex2();
                            dlg.WriteTotalsText();
                        }) / 1e3);
    }
    const double package = bench::median(whole), rewrite = bench::median(files), py = bench::median(python);
    std::printf("package %.3f s (its three files alone %.3f s), python %.3f s (treasury file %s, totals text %s as ours)\n",
                package, rewrite, py, last.sameDbf ? "byte for byte" : "NOT byte for byte",
                last.sameTotals ? "byte for byte" : "NOT byte for byte");

    // The payment list: a sample whose newest month holds about 1,000
    // requests and one with about 10,000, interleaved.
    const QString small = dir.filePath(QStringLiteral("small")), large = dir.filePath(QStringLiteral("large"));
    const QString smallMonth = sample(small + QStringLiteral("/Data"), 12500);
    const QString largeMonth = sample(large + QStringLiteral("/Data"), 125000);
    std::vector<double> oneK, tenK;
    TListareF list;
    for (int round = 0; round < Rounds; ++round) {
        pointAt(small, small + QStringLiteral("/Data"), smallMonth);
        Form1().ExtractFiles();
        oneK.push_back(PaymentList(list));
        pointAt(large, large + QStringLiteral("/Data"), largeMonth);
        Form1().ExtractFiles();
        tenK.push_back(PaymentList(list));
    }
    std::printf("payment list: %d requests %.3f s, %d requests %.3f s\n",
                requestsOfMonth(small + QStringLiteral("/Data"), smallMonth), bench::median(oneK),
                requestsOfMonth(large + QStringLiteral("/Data"), largeMonth), bench::median(tenK));

    std::printf("treasury_package_s: %.3f\n", package);
    std::printf("treasury_package_vs_xlwt: %.1fx\n", py / package);
    std::printf("treasury_package_files_vs_python: %.1fx\n", py / rewrite);
    std::printf("payment_list_10k_vs_1k: %.1f\n", bench::median(tenK) / bench::median(oneK));
    return 0;
}
