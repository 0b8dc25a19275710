#include "payments/PaymentsWorld.h"

#include "core/CommandGuard.h"
#include "core/Contor.h"
#include "core/NumericF.h"
#include "lists/MembersSituation.h"
#include "lists/PersonsList.h"
#include "lists/RiskControlList.h"
#include "periods/SelLuna.h"
#include "platform/sql/TTable.h"
#include "documents/SampleSeason.h"
#include "xls/support/IndependentReaders.h"

#include <QProcess>
#include <QPushButton>

namespace IR = IndependentReaders;

namespace {

using W = PaymentsWorld;

// The three lists as the clerk makes them: the workbooks opened, in order.
QStringList runLists(W &w, int seasonMonth, const QString &year)
{
    PersonsList::Listapersoanelorsivarsta1Click();
    MembersSituation::Situatiamembrilor1Click();
    W::whenShown([seasonMonth, year] {
        SelLuna().PlLuna->setCurrentIndex(seasonMonth);
        SelLuna().AnulE->setText(year);
        SelLuna().BitBtn3->click();
    });
    RiskControlList::Controlbazatpeprofilulderisc1Click();
    return w.shell.openedDocuments;
}

// Has the independent checker compare the workbooks with the tables.
QString check(const W &w, const QStringList &books, int month, const QString &luna, const QString &year)
{
    const QString csv = w.root + QStringLiteral("/csv");
    IR::exportCsvWithSoffice({books.at(0)}, csv, false);
    const QString personsCsv = QDir(csv).filePath(QDir(csv).entryList({"*.csv"}).value(0));
    const TForm4 &admin = Form4();
    QProcess py;
    py.start(QStringLiteral("/usr/bin/python3"),
             {QStringLiteral(KESTRUN_SOURCE_DIR "/tests/lists/check_lists.py"), Form1().DataDir(), QString::number(month),
              books.at(0), books.at(1), books.at(2), personsCsv, admin.JudetC->currentText(), admin.JudAbr->currentText(),
              TForm1::CleanText(admin.Localit->text()), luna, year});
    py.waitForFinished(300000);
    return QString::fromUtf8(py.readAllStandardOutput()).trimmed() + QString::fromUtf8(py.readAllStandardError());
}

QStringList temporaryTables(const W &w)
{
    return QDir(w.temp + QStringLiteral("/TmpRuva")).entryList({"SitMemD*"}, QDir::Files);
}

} // namespace

// Hand-made edges: a request without members, one without the aid, a
// one-word name, blanks around and inside names, codes with a leading zero,
// a place and address over 100 characters or one of them missing, a UAT name
// with quotes, a refused request and one of another month.
TEST(Lists, EdgeRowsReadBackAndAgreeWithTheTables)
{
    W w;
    Form4().Localit->setText(QStringLiteral("Comuna \"Răcăciuni\""));
    const int month = W::month();
    const auto r = [](int n, const QVariantMap &v) { return W::with(W::request(n), v); };
    w.writeCereri({
        r(1, {{"TITULAR", "POPESCU ION"}, {"CNP", "1800101040011"}, {"NR_CERE", 30}}),
        r(2, {{"TITULAR", " ABABEI   MARIA ELENA"}, {"CNP", "0750512040011"}, {"STATUT", "MODIFICAT"}, {"NR_CERE", 10},
              {"NRCAM", 3}}),
        r(3, {{"TITULAR", "IONESCU"}, {"CUAJUT", ""}, {"NR_CERE", 20}}),
        r(4, {{"TITULAR", "VASILE DAN"}, {"NR_CERE", 40}, {"LOCALIT", QString(60, u'L')}, {"ADRESA", QString(60, u'A')}}),
        r(5, {{"TITULAR", "RESPINS ANA"}, {"STATUT", "RESPINS"}}),
        r(6, {{"TITULAR", "ALTA LUNA"}, {"LUNACRT", month - 1}}),
        r(7, {{"TITULAR", "ZAHARIA ANA"}, {"NR_CERE", 50}, {"LOCALIT", QString()}}),
        r(8, {{"TITULAR", "ZAHARIA DAN"}, {"NR_CERE", 60}, {"ADRESA", QString()}}),
        r(9, {{"TITULAR", "ZAHARIA ION"}, {"NR_CERE", 70}, {"LOCALIT", QString()}, {"ADRESA", QString()}}),
    });
    w.writeOameni({
        W::member(1, "POPESCU ION", "1800101040011", "beneficiar", 1234.5),
        W::member(1, "POPESCU  ANA", "6100228040012", "copil"),
        W::member(2, " ABABEI   MARIA ELENA", "0750512040011", "beneficiar", 800),
        W::member(3, "IONESCU", "2700101040013", "beneficiar", 500),
        W::member(5, "RESPINS ANA", "2700101040013", "beneficiar", 500),
        W::member(6, "ALTA LUNA", "2700101040013", "beneficiar", 500),
    });
    const QStringList books = runLists(w, 1, QStringLiteral("2022"));
    ASSERT_EQ(books.size(), 3);
    EXPECT_TRUE(temporaryTables(w).isEmpty());

    const IR::XlrdSheet persons = IR::readWithXlrd(books[0]).sheets.at(0);
    const IR::XlrdSheet members = IR::readWithXlrd(books[1]).sheets.at(0);
    const IR::XlrdSheet control = IR::readWithXlrd(books[2]).sheets.at(0);
    struct Case
    {
        const char *name;
        const IR::XlrdSheet &sheet;
        int row, col; // 0-based
        QString text;
    };
    const Case cases[] = {
        {"persons: three members of the two requests with the aid", persons, 8, 0, ""},
        {"members: applicant before member, split at the first blank", members, 4, 1, "ABABEI"},
        {"members: blanks around and inside a name do not count", members, 4, 2, "MARIA ELENA"},
        {"members: a code with a leading zero stays text", members, 4, 3, "0750512040011"},
        // An empty surname sorts first.
        {"members: a one-word name has an empty surname", members, 3, 2, "IONESCU"},
        {"members: a second member keeps its given name clean", members, 5, 5, "ANA"},
        {"members: a request without members still has its line", members, 7, 1, "VASILE"},
        {"members: ... with empty member columns", members, 7, 4, ""},
        {"members: the place and address cut at 100", members, 7, 7, QString(60, u'L') + ", " + QString(38, u'A')},
        {"members: an address without its place", members, 8, 7, QStringLiteral("Str. Şcolii nr. 3")},
        {"members: a place without its address", members, 9, 7, QStringLiteral("Răcăciuni")},
        {"members: neither", members, 10, 7, ""},
        {"members: nothing after the last request", members, 11, 1, ""},
        {"control: by request number", control, 6, 1, " ABABEI   MARIA ELENA"},
        {"control: address, place and county", control, 6, 3, QStringLiteral("Str. Şcolii nr. 3 Răcăciuni JUD BACAU")},
        {"control: county code", control, 7, 10, "BC"},
        {"control: UAT without quotes", control, 7, 11, QStringLiteral("Comuna Răcăciuni")},
        {"control: the chosen season month", control, 8, 12, "12"},
        {"control: seven granted requests", control, 13, 1, ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.sheet.cell(c.row, c.col).text, c.text) << c.name;
    EXPECT_EQ(members.cell(4, 3).kind, IR::XlrdCell::Text);
    EXPECT_EQ(control.cell(6, 2).kind, IR::XlrdCell::Text);
    EXPECT_EQ(control.cell(6, 13).number, 2022.0);

    EXPECT_EQ(check(w, books, month, QStringLiteral("12"), QStringLiteral("2022")), QStringLiteral("ok"));
}

// A generated season: the rows of all three lists agree with the tables.
TEST(Lists, SampleMonthAgreesWithTheTables)
{
    W w;
    useSampleSeason(w, 5, 3000, QStringLiteral("02.2023"));
    const QStringList books = runLists(w, 0, QStringLiteral("2022"));
    ASSERT_EQ(books.size(), 3);
    EXPECT_EQ(check(w, books, TForm1::MonthIndex(QStringLiteral("02.2023")), QStringLiteral("11"), QStringLiteral("2022")),
              QStringLiteral("ok"));
}

// What the clerk is told instead of a workbook, and a failure that leaves no
// temporary table and the window usable.
TEST(Lists, RefusalsAndFailures)
{
    W w;
    w.writeCereri({W::with(W::request(1), {{"STATUT", "RESPINS"}})});
    w.writeOameni({});
    PersonsList::Listapersoanelorsivarsta1Click();
    Form3().LunaLucru->setText(QString());
    MembersSituation::Situatiamembrilor1Click();
    Form3().LunaLucru->setText(QStringLiteral("01.2023"));
    Form4().JudetC->setCurrentIndex(-1);
    RiskControlList::Controlbazatpeprofilulderisc1Click();
    ASSERT_EQ(w.dialogs.messages.size(), 3);
    EXPECT_EQ(w.dialogs.messages[0].text, QStringLiteral("\rNu exista cereri aprobate in luna 01.2023!\rNu am facut lista."));
    EXPECT_EQ(w.dialogs.messages[1].text, QStringLiteral("\rNu ati ales luna de lucru!"));
    EXPECT_EQ(w.dialogs.messages[2].text, QStringLiteral("\rNu ati ales la Administrare Judetul!"));
    EXPECT_TRUE(w.shell.openedDocuments.isEmpty());

    // The members table is made, then the members cannot be read.
    w.writeCereri({W::request(1)});
    QFile::remove(QDir(w.data).filePath(RequestTables::Oameni));
    EXPECT_FALSE(Form3().runGuarded(&MembersSituation::Situatiamembrilor1Click));
    EXPECT_TRUE(temporaryTables(w).isEmpty());
    EXPECT_TRUE(Form3().isEnabled());
    EXPECT_FALSE(Contor().isVisible());
    EXPECT_TRUE(Form3().Tx->TableName().isEmpty());
}
