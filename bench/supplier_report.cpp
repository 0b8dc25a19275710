// The supplier reports over 24,000 granted requests with an electricity
// supplement: the E-ON report (its workbook through the .xlsx back-end)
// against the CEZ report (the same rows through the BIFF8 engine), and against
// openpyxl writing the E-ON workbook's rows into the same template, in the
// same run. Both reports run as the clerk runs them (selection, dialogs,
// folder); openpyxl is timed on the writing alone. The three take turns and
// each counts by its median. "supplier_report --once [FOLDER]" runs the E-ON
// report once (into FOLDER, kept) and stops, for a profiler or a look at the file.
#include "PairedRuns.h"
#include "PythonBaseline.h"

#include "core/Form1.h"
#include "core/Form3.h"
#include "core/Form4.h"
#include "core/RecordingDialogs.h"
#include "core/ResourceStore.h"
#include "platform/db/Dbf.h"
#include "platform/shell/RecordingShell.h"
#include "suppliers/PostalCodes.h"
#include "suppliers/SelCEZ.h"
#include "suppliers/SelEON.h"
#include "suppliers/SupplierReports.h"
#include "tables/RequestTables.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int Rows = 24000;
constexpr int Runs = 5;
const QString Supplier = QStringLiteral("E-ON ENERGIE");
const QString Month = QStringLiteral("01.2023");

// Granted requests of the month, each with an electricity supplement from the supplier.
void writeRequests(const QString &data)
{
    static const char *const places[] = {"Răcăciuni", "Gâşteni", "Fundu Răcăciuni", "Ciucani", "Valea Mică",
                                         "Răstoaca", "Satu Nou", "Drăgeşti"};
    Dbf t = Dbf::create(QDir(data).filePath(RequestTables::Cereri), RequestTables::cereriFields());
    const auto f = [&t](const char *name) { return t.fieldIndex(QString::fromLatin1(name)); };
    for (int i = 0; i < Rows; ++i) {
        const QString name = QStringLiteral("POPESCU%1 ION VASILE").arg(i);
        t.setValues(t.appendBlank(),
                    {{f("NRCRT"), double(i + 1)}, {f("LUNACRT"), double(TForm1::MonthIndex(Month))}, {f("STATUT"), QStringLiteral("APROBAT")},
                     {f("TITULAR"), name}, {f("CNP"), QStringLiteral("18%1").arg(i % 100000000000LL, 11, 10, QLatin1Char('0'))},
                     {f("LOCALIT"), QString::fromUtf8(places[i % 8])}, {f("ADRESA"), QStringLiteral("Str. Şcolii nr. %1").arg(i % 300)},
                     {f("NR_DISP"), QString::number(1000 + i)}, {f("NR_MEMBRI"), double(1 + i % 6)}, {f("VENITM"), 100.25 + i % 900},
                     {f("TVENIT"), 400.5 + i % 3000}, {f("FURNE"), Supplier}, {f("SUMAE"), 10.0 + i % 50},
                     {f("TITE"), name}, {f("CODCLE"), QStringLiteral("00%1").arg(i)}, {f("PODE"), QStringLiteral("09%1").arg(i)}});
    }
    t.close();
    for (int p = 0; p < 8; ++p)
        Form1().WriteSetting(QStringLiteral("CODURIP"), PostalCodes::key(QString::fromUtf8(places[p])),
                             QStringLiteral("60%1").arg(p + 1, 4, 10, QLatin1Char('0')));
}

// Answers the dialog once it is on screen (it reads its lists before).
void whenVisible(QWidget &dialog, const std::function<void()> &answer)
{
    QTimer::singleShot(0, [&dialog, answer] { dialog.isVisible() ? answer() : whenVisible(dialog, answer); });
}

// Runs a report command with its dialog answered; returns milliseconds.
double timed(void (*command)(), QWidget &dialog, const std::function<void()> &answer)
{
    whenVisible(dialog, answer);
    return bench::elapsedMs(command);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir scratch;
    const QString data = scratch.filePath(QStringLiteral("Data")), temp = scratch.filePath(QStringLiteral("Temp"));
    QDir().mkpath(data);
    QDir().mkpath(temp);
    Form1().setFolders(scratch.path(), data, temp);
    Form4().Localit->setText(QStringLiteral("Răcăciuni"));
    Form4().JudetC->setCurrentIndex(Form4().JudetC->findText(QStringLiteral("BACAU")));
    Form4().CodJud->setText(QStringLiteral("04"));
    Form4().CodFiscal->setText(QStringLiteral("4278817"));
    Form3().LunaLucru->setText(Month);
    writeRequests(data);

    RecordingDialogs dialogs;
    RecordingShell shell;
    ScopedShell shellScope(shell);
    const auto eon = [] {
        SelEON().FurnE->setCurrentIndex(SelEON().FurnE->findText(Supplier));
        SelEON().MemoBut->click();
    };
    const auto cez = [] {
        SelCEZ().FurnE->setCurrentIndex(SelCEZ().FurnE->findText(Supplier));
        SelCEZ().Siruta->setText(QStringLiteral("22415"));
        SelCEZ().MemoBut->click();
    };

    // A first E-ON run gives openpyxl its rows.
    const bool once = argc >= 2 && QByteArray(argv[1]) == "--once";
    const QString first = once && argc == 3 ? QString::fromLocal8Bit(argv[2]) : scratch.filePath(QStringLiteral("first"));
    QDir().mkpath(first);
    shell.chooseAnswers = {first};
    const double firstMs = timed(&SupplierReports::FormatEOnGazTgMures1Click, SelEON(), eon);
    if (once) {
        std::printf("eon_report_xlsx_ms: %.1f\n", firstMs);
        return 0;
    }
    const QString ours = first + QStringLiteral("/EON_RAPORT_LEMNE/Suplimente_Electrica.xlsx");
    if (!QFile::exists(ours))
        bench::fail("E-ON report", "no workbook written");
    const QString eonTemplate = scratch.filePath(QStringLiteral("EONGaz.xlsx"));
    QFile::copy(ResourceStore::find(QStringLiteral("EONGaz"), QStringLiteral("MODEL")), eonTemplate);

    QProcess py;
    py.start(QStringLiteral("/usr/bin/python3"),
             {QStringLiteral(KESTRUN_SOURCE_DIR "/bench/supplier_report.py"), eonTemplate, ours});
    const QByteArray ready = bench::pythonLine(py);
    if (ready != "ready " + QByteArray::number(Rows))
        bench::fail("python", ready + py.readAllStandardError());

    std::vector<double> xlsxMs, xlsMs, openpyxlMs;
    qint64 oursBytes = 0, theirsBytes = 0;
    for (int run = 0; run < Runs; ++run) {
        QTemporaryDir out(scratch.filePath(QStringLiteral("run-XXXXXX")));
        shell.chooseAnswers = {out.path(), out.path()};
        xlsxMs.push_back(timed(&SupplierReports::FormatEOnGazTgMures1Click, SelEON(), eon));
        xlsMs.push_back(timed(&SupplierReports::FormatCEZSuplimentElectrica1Click, SelCEZ(), cez));
        py.write(out.filePath(QStringLiteral("openpyxl.xlsx")).toUtf8() + '\n');
        openpyxlMs.push_back(bench::pythonLine(py).toDouble() * 1000.0);
        oursBytes = QFileInfo(out.filePath(QStringLiteral("EON_RAPORT_LEMNE/Suplimente_Electrica.xlsx"))).size();
        theirsBytes = QFileInfo(out.filePath(QStringLiteral("openpyxl.xlsx"))).size();
    }
    py.closeWriteChannel();
    py.waitForFinished();
    if (dialogs.messages.size() != 2 * Runs + 1)
        bench::fail("reports", "a report did not finish");

    const double xlsx = bench::median(xlsxMs), xls = bench::median(xlsMs), theirs = bench::median(openpyxlMs);
    std::printf("rows: %d granted requests with an electricity supplement\n", Rows);
    std::printf("file: ours %lld bytes, openpyxl %lld bytes\n", static_cast<long long>(oursBytes),
                static_cast<long long>(theirsBytes));
    std::printf("eon_report_xlsx_ms: %.1f\n", xlsx);
    std::printf("cez_report_xls_ms: %.1f\n", xls);
    std::printf("openpyxl_write_ms: %.1f\n", theirs);
    std::printf("supplier_report_xlsx_vs_xls: %.2fx\n", xls / xlsx);
    std::printf("supplier_report_xlsx_vs_openpyxl: %.2fx\n", theirs / xlsx);
    return 0;
}
