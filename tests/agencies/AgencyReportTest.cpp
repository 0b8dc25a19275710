#include "documents/DocumentsWorld.h"

#include "agencies/AgencyReport.h"
#include "agencies/CountyAgencyReport.h"
#include "documents/OutputFolder.h"
#include "agencies/SupplierAgencyReport.h"
#include "core/Contor.h"
#include "core/CoreError.h"
#include "platform/io/DurableFile.h"
#include "core/ResourceStore.h"
#include "platform/sql/TQuery.h"
#include "documents/SampleSeason.h"
#include "xls/support/IndependentReaders.h"

#include <QProcess>

namespace {

QString joined(double (*value)(int))
{
    QStringList out;
    for (int b = 1; b <= 11; ++b)
        out << QLocale::c().toString(value(b), 'g', 15);
    return out.join(u',');
}

double limit(int b) { return Form4().Lim(b)->Valoare(); }
double amount(int b) { return Form4().Cu(b)->Valoare(); }

// Runs the report for the period into a fresh folder and has it checked
// against the table by the independent checker; returns the folder.
QString runAndCheck(DocumentsWorld &w, ReportPeriod period)
{
    const QString folder = w.root + QStringLiteral("/LEMNE_AJPIS");
    QDir().mkpath(folder);
    TQuery query;
    AgencyReport::write(AgencyOffice::current(), period, folder, query);
    QProcess py;
    py.start(QStringLiteral("/usr/bin/python3"),
             {QStringLiteral(KESTRUN_SOURCE_DIR "/tests/agencies/check_agency_report.py"), AgencyOffice::current().cereri,
              folder, QString::number(AgencyOffice::current().month), QString::number(period.start),
              QString::number(period.end), joined(limit), joined(amount)});
    EXPECT_TRUE(py.waitForFinished(300000));
    EXPECT_EQ(QString::fromUtf8(py.readAllStandardOutput()).trimmed(), QStringLiteral("ok"))
        << py.readAllStandardError().toStdString();
    return folder;
}

void setLimits()
{
    static const int limits[] = {200, 320, 440, 560, 680, 920, 1040, 1160, 1280, 1386, 2053};
    for (int b = 1; b <= 11; ++b)
        Form4().Lim(b)->setText(QString::number(limits[b - 1]));
}

QVariantMap with(QVariantMap row, const QVariantMap &values)
{
    for (auto it = values.begin(); it != values.end(); ++it)
        row[it.key()] = it.value();
    return row;
}

} // namespace

// The edges: incomes on the limits, a single person between Lim9 and Lim10,
// 0 and 6 months, equal amounts of brackets 10 and 11, a small total in the
// working month, one holder twice with one supplier spelt two ways, a
// supplier name that is no file name, a refused request with supplements.
TEST(AgencyReport, EdgeRowsAgreeWithTheIndependentComputation)
{
    DocumentsWorld w;
    setLimits();
    w.extractTemplates();
    const int month = DocumentsWorld::month();
    const auto r = [](int n, const QVariantMap &v) { return with(DocumentsWorld::request(n), v); };
    w.writeCereri({
        r(1, {{"VENITM", 200.0}, {"NR_MEMBRI", 2}, {"NR_LUNI", 5}, {"CUANTUM", 320.0}, {"TOTAL", 1600.0}}),
        r(2, {{"VENITM", 200.01}, {"NR_MEMBRI", 6}, {"NR_LUNI", 1}, {"CUANTUM", 294.0}, {"TOTAL", 294.0}}),
        r(3, {{"VENITM", 1300.0}, {"NR_MEMBRI", 1}, {"NR_LUNI", 2}, {"CUANTUM", 80.0}, {"TOTAL", 160.0},
              {"SUMAE", 10.0}, {"FURNE", "E-ON Energie"}}),
        r(4, {{"VENITM", 1300.0}, {"NR_MEMBRI", 3}, {"NR_LUNI", 2}, {"CUANTUM", 80.0}, {"TOTAL", 160.0},
              {"SUMAE", 20.5}, {"FURNE", " E-On energie"}, {"TITULAR", "POPESCU ION"}}),
        r(5, {{"NR_LUNI", 0}, {"TOTAL", 0.5}, {"CNP", "2800101040012"}, {"SUMAG", 12.25}, {"FURNG", "Gaz/Est"}}),
        r(6, {{"NR_LUNI", 6}, {"LUNACRT", month - 1}, {"CNP", "2800101040012"}, {"TOTAL", 900.0}}),
        r(7, {{"STATUT", "RESPINS"}, {"SUMAL", 50.0}, {"SUMAE", 5.0}, {"FURNE", "Altul"}}),
        r(8, {{"SUMAE", 7.0}, {"FURNE", "E-ON ENERGIE"}, {"TITULAR", "POPESCU ION"}}),
        r(9, {{"LUNACRT", month + 1}, {"TOTAL", 500.0}, {"VENITM", 0.0}}),
    });
    const QString folder = runAndCheck(w, {month - 2, month});
    // Three spellings, one supplier; the slash never reaches the file name.
    EXPECT_EQ(QDir(folder).entryList({"Anexa25_*"}, QDir::Files, QDir::Name),
              (QStringList{"Anexa25_E-ON Energie.xls", "Anexa25_Gaz_Est.xls"}));
    // No solid-fuel or thermal holder outside the refused request: no workbooks for them.
    EXPECT_FALSE(QFileInfo::exists(folder + "/Anexa23_Lemne.xls"));
    EXPECT_FALSE(QFileInfo::exists(folder + "/Anexa24_Termica.xls"));
}

// A kind held only before the period still has its workbooks of counts and
// amounts, the period's months at zero.
TEST(AgencyReport, KindHeldOnlyOutsideThePeriodKeepsItsWorkbooks)
{
    DocumentsWorld w;
    setLimits();
    w.extractTemplates();
    const int month = DocumentsWorld::month();
    w.writeCereri({DocumentsWorld::request(1),
                   with(DocumentsWorld::request(2), {{"LUNACRT", month - 5}, {"SUMAT", 30.0}, {"FURNT", "Termo"}})});
    const QString folder = runAndCheck(w, {month - 2, month});
    EXPECT_TRUE(QFileInfo::exists(folder + "/Anexa23_Termica.xls"));
    EXPECT_TRUE(QFileInfo::exists(folder + "/Anexa24_Termica.xls"));
}

// A generated season: every annex agrees with the table, and LibreOffice
// opens every sheet of every workbook.
TEST(AgencyReport, SampleSeasonAgreesAndOpensInLibreOffice)
{
    DocumentsWorld w;
    useSampleSeason(w, 11, 4000, QStringLiteral("03.2023"));
    setLimits();
    w.extractTemplates();
    const int month = TForm1::MonthIndex(QStringLiteral("03.2023"));
    const QString folder = runAndCheck(w, {month - 4, month});

    QStringList books;
    for (const QString &f : QDir(folder).entryList({"*.xls"}, QDir::Files))
        books << QDir(folder).filePath(f);
    ASSERT_GE(books.size(), 14);
    const QString csv = IndependentReaders::scratchDir(QStringLiteral("agency-csv"));
    IndependentReaders::exportCsvWithSoffice(books, csv, false);
    EXPECT_EQ(QDir(csv).entryList({"Anexa13_21-*.csv"}, QDir::Files).size(), 6);
    EXPECT_EQ(QDir(csv).entryList({"Anexa16-*.csv"}, QDir::Files).size(), 2);
    for (const QString &b : books)
        EXPECT_FALSE(QDir(csv).entryList({QFileInfo(b).completeBaseName() + "-*.csv"}, QDir::Files).isEmpty())
            << b.toStdString();
}

TEST(AgencyReport, PeriodOverTwelveMonthsIsRefused)
{
    DocumentsWorld w;
    EXPECT_TRUE(AgencyReport::accept({100, 111}));
    EXPECT_FALSE(AgencyReport::accept({100, 112}));
    EXPECT_FALSE(AgencyReport::accept({100, 99}));
    ASSERT_EQ(w.dialogs.messages.size(), 2);
    EXPECT_TRUE(w.dialogs.messages[0].text.contains("Perioada incorecta!"));
}

// "Format AJPIS": one folder per supplier however spelt, a name that is no
// folder name made safe, clients without a supplier in the folder itself,
// other months and refused requests left out; the working copy is gone.
TEST(SupplierAgencyReport, OneFolderPerSupplierWithItsClients)
{
    DocumentsWorld w;
    Form4().CodFiscal->setText(QStringLiteral("4540321"));
    const int month = DocumentsWorld::month();
    const auto r = [](int n, const QVariantMap &v) { return with(DocumentsWorld::request(n), v); };
    w.writeCereri({
        r(1, {{"SUMAE", 10.0}, {"FURNE", "E-ON Energie"}, {"TITULAR", "BETA"}}),
        r(2, {{"SUMAE", 20.5}, {"FURNE", " e-on ENERGIE "}, {"TITULAR", "ALFA"}, {"SUMAG", 5.0}, {"FURNG", "E-ON Energie"}}),
        r(3, {{"SUMAG", 7.0}, {"FURNG", "../Gaz"}}),
        r(4, {{"SUMAE", 3.0}}),
        r(5, {{"SUMAE", 99.0}, {"FURNE", "E-ON Energie"}, {"LUNACRT", month - 1}}),
        r(6, {{"SUMAE", 99.0}, {"FURNE", "E-ON Energie"}, {"STATUT", "RESPINS"}}),
    });
    QDir().mkpath(w.root + "/out/LEMNE_FURNIZORI/old");
    w.shell.chooseAnswers << w.root + "/out";
    w.dialogs.answers << TErori::ResultDa;
    ASSERT_TRUE(Form3().runGuarded(&SupplierAgencyReport::FormatAJPISClick));
    ASSERT_FALSE(w.dialogs.messages.isEmpty());
    EXPECT_EQ(w.dialogs.messages.last().text, "\rRaportul a fost creat!");
    EXPECT_TRUE(QDir(w.temp).entryList({"Furn*"}).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(w.root + "/out/LEMNE_FURNIZORI/old"));

    const QString out = w.root + "/out/LEMNE_FURNIZORI";
    QProcess py;
    py.start(QStringLiteral("/usr/bin/python3"),
             {"-c", "import os, sys, xlrd\n"
                    "for d, _, fs in sorted(os.walk(sys.argv[1])):\n"
                    "  for f in sorted(fs):\n"
                    "    b = xlrd.open_workbook(os.path.join(d, f)); s = b.sheet_by_index(0)\n"
                    "    n = [s.cell_value(r, 1) for r in range(s.nrows) if isinstance(s.cell_value(r, 0), float) and s.cell_value(r, 0) >= 1]\n"
                    "    t = [c for r in range(s.nrows) for c in s.row_values(r) if isinstance(c, str) and '[' in c]\n"
                    "    print('%s|%d|%s|%s' % (os.path.relpath(os.path.join(d, f), sys.argv[1]), b.nsheets, ','.join(n), ','.join(t)))\n",
              out});
    ASSERT_TRUE(py.waitForFinished(60000));
    EXPECT_EQ(QString::fromUtf8(py.readAllStandardOutput()).trimmed(),
              // No tag is left unfilled (the preparer's signature included).
              QStringLiteral("Anexa16.xls|1|POPESCU ION|\n"
                             "E-ON Energie/Anexa15.xls|1|ALFA|\n"
                             "E-ON Energie/Anexa16.xls|1|ALFA,BETA|\n"
                             "__Gaz/Anexa15.xls|1|POPESCU ION|"))
        << py.readAllStandardError().toStdString();
}

// What the secretary signs and the agency reads, printed by LibreOffice: no
// tag left, no "###", and every filled row whole on the page (a long address
// wraps inside a row as high as it needs; nothing runs over a neighbour).
TEST(AgencyReport, PrintedListsAreWholeOnThePage)
{
    DocumentsWorld w;
    setLimits();
    w.extractTemplates();
    const QString longAddress = QStringLiteral("Str. Fântânii nr. 244, bl. C12, sc. B, ap. 41, Viişoara Jos");
    QList<QVariantMap> rows;
    for (int n = 1; n <= 12; ++n)
        rows << with(DocumentsWorld::request(n),
                     {{"TITULAR", QStringLiteral("BĂLAN IONUŢ %1").arg(n)}, {"ADRESA", n % 3 ? longAddress : QStringLiteral("nr. %1").arg(n)},
                      {"CNP", QStringLiteral("18001010400%1").arg(n, 2, 10, QLatin1Char('0'))}, {"SUMAG", 25.0},
                      {"FURNG", "Gaz Est"}, {"SUMAE", 12.5}, {"FURNE", "Electrica Furnizare"}, {"SUMAL", 40.0}, {"SUMAT", 9.0},
                      {"FURNT", "Termo"}});
    w.writeCereri(rows);
    const int month = DocumentsWorld::month();
    const QString folder = w.root + QStringLiteral("/LEMNE_AJPIS");
    QDir().mkpath(folder);
    TQuery query;
    AgencyReport::write(AgencyOffice::current(), {month - 2, month}, folder, query);
    CountyAgencyReport::write(AgencyOffice::current(), {"Martie", "2023"}, folder, query);

    const QStringList books{"Anexa13_21", "Anexa13_Cumulat", "Anexa14", "Anexa15", "Anexa16", "Anexa17",
                            "ANEXA_13_RACACIUNI_MARTIE_2023"};
    QStringList files;
    for (const QString &b : books)
        files << folder + u'/' + b + QStringLiteral(".xls");
    const QString pdf = IndependentReaders::scratchDir(QStringLiteral("agency-pdf"));
    IndependentReaders::convertWithSoffice(files, pdf, QStringLiteral("pdf"));
    for (const QString &b : books) {
        SCOPED_TRACE(b.toStdString());
        const QVector<IndependentReaders::PdfWord> words = IndependentReaders::pdfWords(pdf + u'/' + b + QStringLiteral(".pdf"));
        ASSERT_FALSE(words.isEmpty());
        EXPECT_EQ(IndependentReaders::printFaults(words), QStringList());
        QStringList printed;
        for (const auto &word : words)
            printed << word.text;
        // The address's last words are on the page: it is not cut.
        for (const char *tail : {"Viişoara", "Jos", "244,"})
            EXPECT_TRUE(printed.contains(QString::fromUtf8(tail))) << tail;
        EXPECT_TRUE(printed.contains(QStringLiteral("Gheorghiţă"))) << "the preparer's name";
    }
}

// The county variant: files named by the chosen month, rows of the working
// month, text files with commas turned to blanks, diacritics to their letters, and the
// income rounded up on exact cents; an empty month still has annex 13.
TEST(CountyAgencyReport, NamesAndTextFilesByteForByte)
{
    struct Case { const char *name; bool rows; QStringList files; QByteArray csv13; };
    const Case cases[] = {
        {"a month with rows", true,
         {"ANEXA_13_RACACIUNI_MARTIE_2023.xls", "ANEXA_16_RACACIUNI_MARTIE_2023.xls"},
         "Nr,Titular,CNP,Adresa,Dispozitie,Nr_membrii,Venit_lunar_membru,Nivel _compensare,Cuantum_luna\r\n"
         "1,2,3,4,5,6,7,8,9\r\n"
         "1,POP ION,1800101040011,RACACIUNI STR. SCOLII NR. 3,1 16.01.2023,2,1387,90.00,288\r\n"},
        {"an empty month", false, {"ANEXA_13_RACACIUNI_MARTIE_2023.xls"},
         "Nr,Titular,CNP,Adresa,Dispozitie,Nr_membrii,Venit_lunar_membru,Nivel _compensare,Cuantum_luna\r\n"
         "1,2,3,4,5,6,7,8,9\r\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        DocumentsWorld w;
        w.extractTemplates();
        Form4().CodFiscal->setText(QStringLiteral("4540321"));
        QVariantMap row = with(DocumentsWorld::request(1), {{"TITULAR", "Pop, Ion"}, {"VENITM", 1386.01}, {"CUANTUM", 288.0},
                                                            {"SUMAE", 20.5}, {"FURNE", "CEZ"}, {"PODE", "P;1"}});
        if (!c.rows)
            row["LUNACRT"] = DocumentsWorld::month() - 1;
        w.writeCereri({row});
        const QString folder = w.root + "/LEMNE_AJPIS";
        QDir().mkpath(folder);
        TQuery query;
        CountyAgencyReport::write(AgencyOffice::current(), {"Martie", "2023"}, folder, query);
        EXPECT_EQ(QDir(folder).entryList({"*.xls"}, QDir::Files, QDir::Name), c.files);
        const QString texts = folder + QStringLiteral("/Răcăciuni AJUTOARE INCALZIRE MARTIE 2023");
        QFile csv(texts + "/ANEXA_13_RACACIUNI_MARTIE_2023.csv");
        ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
        EXPECT_EQ(csv.readAll(), c.csv13);
        QFile csv16(texts + "/ANEXA_16_RACACIUNI_MARTIE_2023.csv");
        EXPECT_EQ(csv16.exists(), c.rows);
        if (c.rows && csv16.open(QIODevice::ReadOnly)) {
            EXPECT_TRUE(csv16.readAll().endsWith("RACACIUNI STR. SCOLII NR. 3,,P 1,2,1387,1 16.01.2023,20.5\r\n"));
        }
    }
}

// A report that fails half way leaves neither its folder nor a working folder,
// nor its progress window shown.
TEST(OutputFolder, FailedReportLeavesNothing)
{
    DocumentsWorld w;
    w.shell.chooseAnswers << w.root;
    OutputFolder folder({QStringLiteral("Raport AJPIS"), QStringLiteral("LEMNE_AJPIS")});
    ASSERT_TRUE(folder.choose());
    EXPECT_THROW(folder.fill(2, [](const QString &work) {
        DurableFile::save(work + QStringLiteral("/Anexa13_21.xls"), "x");
        throw CoreError(QStringLiteral("esec"));
    }), CoreError);
    EXPECT_EQ(QDir(w.root).entryList({"LEMNE_AJPIS*"}, QDir::Dirs | QDir::Files), QStringList());
    EXPECT_FALSE(Contor().isRunning());
}
