#include "payments/PaymentsWorld.h"

#include "core/Form1.h"
#include "core/Form4.h"
#include "platform/sql/TQuery.h"
#include "suppliers/PostalCodes.h"
#include "suppliers/SelCEZ.h"
#include "suppliers/SelEON.h"
#include "suppliers/SupplierReports.h"
#include "xls/support/IndependentReaders.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableWidget>

namespace IR = IndependentReaders;

// The supplier reports as the clerk runs them, read back by others.
namespace {

using W = PaymentsWorld;

void writeRequests(W &w)
{
    const auto r = [](int n, const char *name, const QVariantMap &changes) {
        return W::with(W::request(n), W::with({{"TITULAR", QString::fromUtf8(name)}}, changes));
    };
    w.writeCereri({
        // The supplier typed with blanks and in small letters.
        r(1, "POPESCU ION VASILE", {{"FURNE", " e-on energie "}, {"SUMAE", 50.0}, {"TITE", "POPESCU ION VASILE"},
                                    {"CNP", "0800101040011"}, {"CODCLE", "0012345"}, {"PODE", "0099"}, {"NR_DISP", "007"}}),
        r(2, "IONESCU", {{"FURNG", "E-ON ENERGIE"}, {"SUMAG", 70.5}, {"TITG", "IONESCU"}, {"CODCLG", "000777"},
                         {"PODG", "00123"}, {"LOCALIT", "Sat=Nou"}}),
        r(3, "RESPINS ANA", {{"STATUT", "RESPINS"}, {"FURNE", "E-ON ENERGIE"}, {"SUMAE", 40.0}}),
        r(4, "ALTUL DAN", {{"FURNE", "ALT FURNIZOR"}, {"SUMAE", 30.0}}),
        r(5, "ABABEI ION", {{"STATUT", "MODIFICAT"}, {"FURNE", "E-ON Energie"}, {"SUMAE", 20.25}, {"TITE", "ABABEI ION"},
                            {"CNP", "1700101040012"}, {"CNPE", "0700101040012"}, {"CODCLE", "0042"}, {"PODE", "0001"}, {"TVENIT", 0.0}}),
    });
}

// Runs the user's actions once the dialog is on screen (its lists are read before).
void whenVisible(QWidget &dialog, const std::function<void()> &user)
{
    W::whenShown([&dialog, user] { dialog.isVisible() ? user() : whenVisible(dialog, user); });
}

QStringList row(const QVector<QStringList> &csv, int r, int first, int last)
{
    return csv.value(r).mid(first - 1, last - first + 1);
}

} // namespace

TEST(SupplierReports, ThreeWorkbooksReadBackByOthers)
{
    W w;
    writeRequests(w);
    Form4().CodJud->setText(QStringLiteral("04"));
    Form4().CodFiscal->setText(QStringLiteral("4278817"));
    Form3().LunaLucru->setText(QStringLiteral("01.2023"));
    const QString out = w.root + QStringLiteral("/out");
    QDir().mkpath(out);
    w.shell.chooseAnswers = {out, out, out};

    // E-ON: confirming is refused while a locality has no postal code.
    whenVisible(SelEON(), [] {
        TSelEON &d = SelEON();
        d.FurnE->setCurrentIndex(d.FurnE->findText(QStringLiteral("E-ON ENERGIE")));
        d.MemoBut->click();
        EXPECT_TRUE(d.isVisible());
        for (int i = 0; i < d.ExDBGrid1->rowCount(); ++i)
            d.ExDBGrid1->item(i, 1)->setText(QStringLiteral("60%1").arg(i + 1, 4, 10, QLatin1Char('0')));
        d.MemoBut->click();
    });
    SupplierReports::FormatEOnGazTgMures1Click();
    ASSERT_EQ(w.dialogs.balloons.size(), 1);
    EXPECT_EQ(w.dialogs.balloons.at(0).text, QStringLiteral("Nu ati scris Codul postal!"));
    EXPECT_EQ(PostalCodes::read(QStringLiteral("Sat=Nou")), QStringLiteral("600002"));
    // One entry per name whatever its case and blanks, and the empty name of request 2.
    EXPECT_EQ(SelEON().FurnE->count(), 3);

    for (const QString &kind : {QStringLiteral("CEZ"), QStringLiteral("PREMIER")}) {
        whenVisible(SelCEZ(), [] {
            // Enter in the names moves on to the next input, past the list's own line.
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(SelCEZ().FurnE, &enter);
            EXPECT_EQ(SelCEZ().focusWidget(), SelCEZ().Siruta);
            SelCEZ().FurnE->setCurrentIndex(SelCEZ().FurnE->findText(QStringLiteral("E-ON ENERGIE")));
            SelCEZ().Siruta->setText(QStringLiteral("22415"));
            SelCEZ().MemoBut->click();
        });
        kind == u"CEZ" ? SupplierReports::FormatCEZSuplimentElectrica1Click() : SupplierReports::FormatPremierEnergy1Click();
    }
    EXPECT_EQ(Form1().ReadSetting(QStringLiteral("CONST"), QStringLiteral("SIRUTA")), QStringLiteral("22415"));

    const QString eon = out + QStringLiteral("/EON_RAPORT_LEMNE/");
    const QString premier = out + QStringLiteral("/PREMIER_RAPORT_LEMNE_SE_01_2023/S_EE_22415_01_2023.xlsx");
    const QString csv = w.root + QStringLiteral("/csv");
    IR::exportCsvWithSoffice({eon + QStringLiteral("Suplimente_Electrica.xlsx"), eon + QStringLiteral("Suplimente_Gaz.xlsx"), premier},
                             csv, false);
    const auto electricity = IR::readCsv(csv + QStringLiteral("/Suplimente_Electrica-Excel Output.csv"));
    ASSERT_EQ(electricity.size(), 3); // titles, ABABEI, POPESCU
    EXPECT_EQ(row(electricity, 2, 2, 16),
              (QStringList{QStringLiteral("Răcăciuni"), "007", "50", "50", "0", "0012345", "POPESCU", "ION VASILE", "8010",
                           "POPESCU", "ION VASILE", "0800101040011", "BACAU", "600001", QStringLiteral("Răcăciuni")}));
    EXPECT_EQ(row(electricity, 2, 23, 27), (QStringList{"0099", "", "2", "617.25", "202301"}));
    const auto gas = IR::readCsv(csv + QStringLiteral("/Suplimente_Gaz-Excel Output.csv"));
    ASSERT_EQ(gas.size(), 2);
    EXPECT_EQ(row(gas, 1, 4, 10), (QStringList{"70.5", "70.5", "0", "000777", "IONESCU", "IONESCU", "1010"}));
    EXPECT_EQ(row(gas, 1, 15, 16), (QStringList{"600002", "Sat=Nou"}));
    const auto prem = IR::readCsv(csv + QStringLiteral("/S_EE_22415_01_2023-Sheet1.csv"));
    ASSERT_EQ(prem.size(), 3);
    EXPECT_EQ(row(prem, 1, 1, 18), (QStringList{"1", "ABABEI ION", "0700101040012", QStringLiteral("Răcăciuni"),
                                                QStringLiteral("Str. Şcolii nr. 3"), "0", "0", "0", "0", "0042", "2", "0",
                                                "5", "0", "0", "0001", "20.25", "4278817"}));

    const IR::XlrdBook cez = IR::readWithXlrd(out + QStringLiteral("/CEZ_RAPORT_LEMNE_SE/S_EE_04_22415_01_2023.xls"));
    const IR::XlrdSheet &s = cez.sheets.at(0);
    ASSERT_EQ(s.rows.size(), 3);
    EXPECT_EQ(s.cell(2, 1).text, QStringLiteral("POPESCU ION VASILE"));
    EXPECT_EQ(s.cell(2, 2).kind, IR::XlrdCell::Text);
    EXPECT_EQ(s.cell(2, 2).text, QStringLiteral("0800101040011"));
    EXPECT_EQ(s.cell(2, 9).text, QStringLiteral("0012345"));
    EXPECT_EQ(s.cell(2, 10).text, QStringLiteral("0099"));
    EXPECT_EQ(s.cell(2, 14).number, 50.0);
    EXPECT_EQ(s.cell(1, 0).number, 1.0);
    EXPECT_EQ(s.cell(2, 16).text, QStringLiteral("4278817"));
    EXPECT_EQ(w.shell.openedFolders.size(), 3);
}

TEST(SupplierReports, SirutaAndPostalKeys)
{
    W w;
    struct Case { const char *name, *siruta; bool accepted; };
    const Case cases[] = {{"three digits", "123", false}, {"four digits", "1234", true}, {"a point", "12.4", false},
                          {"letters", "12ab", false}};
    TSelCEZ &d = SelCEZ();
    d.FurnE->clear();
    d.FurnE->addItem(QStringLiteral("CEZ VANZARE"));
    for (const Case &c : cases) {
        w.dialogs.balloons.clear();
        d.Siruta->setText(QString::fromLatin1(c.siruta));
        d.MemoButClick();
        EXPECT_EQ(w.dialogs.balloons.isEmpty(), c.accepted) << c.name;
    }
    struct Key { const char *locality, *key; };
    const Key keys[] = {{"  Sat Nou ", "Sat Nou"}, {"Sat=Nou", "Sat%3DNou"}, {"[Sat", "%5BSat"},
                        {";Sat", "%3BSat"}, {"", "%"}, {"100%", "100%25"}};
    for (const Key &k : keys) {
        EXPECT_EQ(PostalCodes::key(QString::fromLatin1(k.locality)), QString::fromLatin1(k.key)) << k.locality;
        Form1().WriteSetting(QStringLiteral("CODURIP"), PostalCodes::key(QString::fromLatin1(k.locality)), QStringLiteral("5"));
        EXPECT_EQ(PostalCodes::read(QString::fromLatin1(k.locality)), QStringLiteral("5")) << k.locality;
    }
}
