#include "PaymentsWorld.h"

#include "documents/DocumentError.h"
#include "payments/PaymentCommands.h"
#include "requests/CereriF.h"
#include "xls/support/IndependentReaders.h"

#include <QFile>
#include <QLineEdit>

namespace IR = IndependentReaders;

// The payment list: which requests each sheet lists, and the workbook as the
// office reads it.
namespace {

constexpr int kFirstRow = 7; // the template's data row
constexpr int kNameCol = 3;

void writeRequests(PaymentsWorld &w)
{
    using W = PaymentsWorld;
    const auto r = [](int n, const char *name, const QVariantMap &changes) {
        return W::with(W::request(n), W::with({{"TITULAR", QString::fromUtf8(name)}}, changes));
    };
    w.writeCereri({
        r(1, "POPESCU ION", {{"TOTAL", 801.0}, {"SUMAL", 0.0}}),
        r(2, "marin ana", {{"TOTAL", 640.0}, {"SUMAL", 100.0}}),
        // Modified later with nothing left to pay: on the first sheet only.
        r(3, "MĂRCULESCU DAN", {{"STATUT", "MODIFICAT"}, {"TOTAL", 0.0}, {"SUMAL", 0.0}, {"LOCALIT", "Fântânele"}}),
        r(4, "ŞTEFAN VASILE", {{"TOTAL", 0.0}, {"SUMAL", 200.0}}),
        r(5, "SANDU ELENA", {{"TOTAL", 267.0}}),
        r(6, "TUDOR ANA", {{"LOCALIT", "Sat \"Nou\""}, {"TOTAL", 120.5}, {"SUMAL", 50.25}}),
        r(7, "WAGNER PAUL", {{"TOTAL", 80.0}}),
        r(8, "ZAMFIR ION", {{"STATUT", "RESPINS"}}),
        W::with(r(9, "ALTA LUNA", {}), {{"LUNACRT", W::month() + 1}}),
    });
}

} // namespace

TEST(PaymentList, SelectionOfEachSheet)
{
    PaymentsWorld w;
    w.extractTemplates();
    writeRequests(w);
    PaymentCommands commands(CereriF());
    struct Case
    {
        const char *name;
        QString locality, first, last;
        QStringList all, withAid, withWood;
    };
    const Case cases[] = {
        {"every locality, A to Z", "", "A", "Z",
         {"marin ana", "MĂRCULESCU DAN", "POPESCU ION", "SANDU ELENA", "ŞTEFAN VASILE", "TUDOR ANA", "WAGNER PAUL"},
         {"marin ana", "POPESCU ION", "SANDU ELENA", "TUDOR ANA", "WAGNER PAUL"},
         {"marin ana", "ŞTEFAN VASILE", "TUDOR ANA"}},
        // Case does not count, and Ă sorts within M.
        {"A to M", "", "A", "M", {"marin ana", "MĂRCULESCU DAN"}, {"marin ana"}, {"marin ana"}},
        // Ş comes after every S and before T.
        {"S to S", "", "S", "S", {"SANDU ELENA", "ŞTEFAN VASILE"}, {"SANDU ELENA"}, {"ŞTEFAN VASILE"}},
        {"T to Z", "", "T", "Z", {"TUDOR ANA", "WAGNER PAUL"}, {"TUDOR ANA", "WAGNER PAUL"}, {"TUDOR ANA"}},
        // W is no choice of the list: it belongs to the range ending at V.
        {"U to V", "", "U", "V", {"WAGNER PAUL"}, {"WAGNER PAUL"}, {}},
        {"locality with a quote", "Sat \"Nou\"", "A", "Z", {"TUDOR ANA"}, {"TUDOR ANA"}, {"TUDOR ANA"}},
        {"locality, nobody in range", "Fântânele", "N", "Z", {}, {}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        w.shell.openedDocuments.clear();
        PaymentsWorld::select(c.locality, c.first, c.last, QStringLiteral("ianuarie 2023"));
        commands.BitBtn7Click();
        ASSERT_EQ(w.shell.openedDocuments.size(), 1);
        SavedWorkbook book(w.lastOpened());
        EXPECT_EQ(PaymentsWorld::column(book, 1, kFirstRow, kNameCol), c.all);
        EXPECT_EQ(PaymentsWorld::column(book, 2, kFirstRow, kNameCol), c.withAid);
        EXPECT_EQ(PaymentsWorld::column(book, 3, kFirstRow, kNameCol), c.withWood);
        EXPECT_FALSE(commands.ListareF.LQ1.Active());
    }
    // The month text is remembered for the next list.
    EXPECT_EQ(Form1().ReadSetting(QStringLiteral("CONST"), QStringLiteral("PERSTAT")), QStringLiteral("ianuarie 2023"));
}

TEST(PaymentList, ReadByOthersWithTotalsAndSignatures)
{
    PaymentsWorld w;
    w.extractTemplates();
    writeRequests(w);
    Form4().CodJud->setText(QStringLiteral("4"));
    Form4().CodFiscal->setText(QStringLiteral("4353519"));
    Form4().DirectorN->setText(QString());
    PaymentCommands commands(CereriF());
    PaymentsWorld::select({}, QStringLiteral("A"), QStringLiteral("Z"), QStringLiteral("Ianuarie 2023"));
    commands.BitBtn7Click();
    ASSERT_EQ(w.shell.openedDocuments.size(), 1);
    const QString file = w.lastOpened();

    const IR::XlrdBook book = IR::readWithXlrd(file);
    ASSERT_EQ(book.sheets.size(), 3);
    const IR::XlrdSheet &all = book.sheets[0];
    EXPECT_EQ(all.cell(0, 0).text, QStringLiteral("Judet   4 - BACAU"));
    EXPECT_EQ(all.cell(1, 0).text, QStringLiteral("Primaria   4353519 - Răcăciuni"));
    EXPECT_TRUE(all.cell(4, 0).text.endsWith(QStringLiteral("pe luna Ianuarie 2023")));
    EXPECT_EQ(all.cell(kFirstRow - 1, 4).text, QStringLiteral("2/")); // marin ana's NR_DISP followed by "/"
    EXPECT_EQ(all.cell(kFirstRow - 1, 6).text, QStringLiteral("Răcăciuni Str. Şcolii nr. 3"));

    // LibreOffice recalculates the totals over every inserted row.
    const QString out = IR::scratchDir(QStringLiteral("payment-list"));
    IR::exportCsvWithSoffice({file}, out, false);
    const QString base = out + u'/' + QFileInfo(file).completeBaseName();
    const QVector<QStringList> stat = IR::readCsv(base + QStringLiteral("-Stat.csv"));
    const QVector<QStringList> wood = IR::readCsv(base + QStringLiteral("-Cu lemne.csv"));
    const int totalRow = kFirstRow - 1 + 7;
    ASSERT_GT(stat.size(), totalRow + 3);
    EXPECT_EQ(stat[totalRow][6], QStringLiteral("TOTAL"));
    EXPECT_EQ(stat[totalRow][9], QStringLiteral("1908.5")); // 801 + 640 + 267 + 120.5 + 80
    EXPECT_EQ(stat[totalRow][10], QStringLiteral("350.25"));
    EXPECT_EQ(wood[kFirstRow - 1 + 3][10], QStringLiteral("350.25"));
    // No director: the mayor signs; the accountant and the preparer have names.
    EXPECT_EQ(stat[totalRow + 2][1], QStringLiteral("PRIMAR,"));
    EXPECT_EQ(stat[totalRow + 3][1], QStringLiteral("Ştefan Pătraşcu"));
    EXPECT_EQ(stat[totalRow + 2][6], QStringLiteral("Contabil,"));
    EXPECT_EQ(stat[totalRow + 3][10], QStringLiteral("Gheorghiţă Ene"));
}

// Printed, the list is whole: a long address wraps in its row, and the
// totals of the largest commune are numbers, never "###".
TEST(PaymentList, PrintedWholeWithTheLargestTotals)
{
    PaymentsWorld w;
    w.extractTemplates();
    QList<QVariantMap> rows;
    for (int n = 1; n <= 4; ++n)
        rows << PaymentsWorld::with(PaymentsWorld::request(n),
                                    {{"TITULAR", QStringLiteral("BĂLAN IONUŢ %1").arg(n)},
                                     {"ADRESA", QStringLiteral("Str. Fântânii nr. 244, bl. C12, sc. B, ap. 41, Viişoara Jos")},
                                     {"CUANTUM", 999999.99}, {"TOTAL", 1999999.99}, {"SUMAL", 99999.99}});
    w.writeCereri(rows);
    PaymentCommands commands(CereriF());
    PaymentsWorld::select({}, QStringLiteral("A"), QStringLiteral("Z"), QStringLiteral("Ianuarie 2023"));
    commands.BitBtn7Click();
    ASSERT_EQ(w.shell.openedDocuments.size(), 1);
    const QString pdf = IR::scratchDir(QStringLiteral("payment-list-pdf"));
    IR::convertWithSoffice({w.lastOpened()}, pdf, QStringLiteral("pdf"));
    const auto words = IR::pdfWords(pdf + u'/' + QFileInfo(w.lastOpened()).completeBaseName() + QStringLiteral(".pdf"));
    EXPECT_EQ(IR::printFaults(words), QStringList());
    QStringList printed;
    for (const auto &word : words)
        printed << word.text;
    for (const char *whole : {"7999999.96", "3999999.96", "1800101040011", "244,", "Viişoara", "Jos"})
        EXPECT_TRUE(printed.contains(QString::fromUtf8(whole))) << whole;
}

TEST(PaymentList, MissingOrUnreadableTemplateNamesIt)
{
    PaymentsWorld w;
    writeRequests(w);
    PaymentCommands commands(CereriF());
    const QString path = w.data + QStringLiteral("/Stat.xls");
    const struct { const char *name; QByteArray bytes; QString message; } cases[] = {
        {"missing", {}, QStringLiteral("Nu exista modelul ") + path},
        // The engine's own reason reaches the clerk, not "missing".
        {"not a workbook", "Nr;Titular\r\n", QStringLiteral("Nu pot citi modelul %1: \"%1\" is not a compound document (an Excel 97-2003 file)").arg(path)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(path);
        if (!c.bytes.isNull()) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(c.bytes);
        }
        PaymentsWorld::select({}, QStringLiteral("A"), QStringLiteral("Z"), QStringLiteral("ianuarie 2023"));
        try {
            commands.BitBtn7Click();
            ADD_FAILURE() << "no error";
        } catch (const DocumentError &e) {
            EXPECT_EQ(QString::fromUtf8(e.what()), c.message);
        }
        EXPECT_TRUE(w.shell.openedDocuments.isEmpty());
    }
}

TEST(PaymentList, CancelledListLeavesNoMonthPanelForTheTreasury)
{
    PaymentsWorld w;
    writeRequests(w);
    PaymentCommands commands(CereriF());
    DocumentsWorld::whenShown([] { TipStatF().BitBtn2->click(); });
    commands.BitBtn7Click();
    bool panelShown = true;
    DocumentsWorld::whenShown([&panelShown] {
        panelShown = TipStatF().Stat1->isVisible();
        TipStatF().BitBtn1->click();
    });
    EXPECT_TRUE(TipStatF().Execute(false));
    EXPECT_FALSE(panelShown);
    EXPECT_TRUE(w.shell.openedDocuments.isEmpty());
}

TEST(PaymentList, BadSelectionKeepsTheDialogOpenAndListsNothing)
{
    struct Case
    {
        const char *name, *first, *last, *month, *problem;
    };
    const Case cases[] = {
        {"reversed letters", "T", "C", "ianuarie 2023", "Litera de inceput (T) este dupa litera de sfarsit (C)!"},
        {"blank month", "A", "Z", "  ", "Scrieti luna statului de plata!"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PaymentsWorld w;
        writeRequests(w);
        w.extractTemplates();
        PaymentCommands commands(CereriF());
        bool stillOpen = false;
        PaymentsWorld::select({}, QLatin1String(c.first), QLatin1String(c.last), QString::fromUtf8(c.month));
        DocumentsWorld::whenShown([&stillOpen] {
            QTimer::singleShot(0, [&stillOpen] {
                stillOpen = TipStatF().isVisible();
                TipStatF().BitBtn2->click();
            });
        });
        commands.BitBtn7Click();
        EXPECT_TRUE(stillOpen);
        ASSERT_EQ(w.dialogs.balloons.size(), 1);
        EXPECT_EQ(w.dialogs.balloons[0].text, QString::fromUtf8(c.problem));
        EXPECT_TRUE(w.shell.openedDocuments.isEmpty());
    }
}
