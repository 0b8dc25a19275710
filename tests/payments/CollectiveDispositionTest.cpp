#include "PaymentsWorld.h"

#include "core/NumericF.h"
#include "payments/AlegeNrDisp.h"
#include "payments/PaymentCommands.h"
#include "requests/CereriF.h"
#include "xls/support/IndependentReaders.h"

#include <QDateEdit>
#include <QProcess>
#include <QRegularExpression>

namespace IR = IndependentReaders;

// The collective disposition: which requests its number gathers, the
// decision's figures and the two annexes, read by xlrd.
namespace {

void writeRequests(PaymentsWorld &w)
{
    using W = PaymentsWorld;
    const auto r = [](int n, const char *name, const QVariantMap &changes) {
        return W::with(W::request(n), W::with({{"TITULAR", QString::fromUtf8(name)}, {"NR_DISP", "12"}}, changes));
    };
    w.writeCereri({
        r(1, "POPESCU ION", {{"NR_CERE", 31}, {"NR_LUNI", 5}, {"SUMAL", 100.0},
                             {"ADRESA", "Str. Învăţătorului Gheorghe Ţăranu nr. 123 bl. A4 ap. 12"}}),
        r(2, "ANDREI ANA", {{"NR_DISP", "012"}, {"NR_CERE", 17}, {"CUANTUM", 320.0}}),
        // Modified later: out of the decision and the aid list, still in the supplements.
        r(3, "BĂLAN DAN", {{"NR_CERE", 40}, {"CUMODIF", "X"}, {"SUMAG", 50.0}}),
        // Granted without aid: the number stands, no aid figure counts it.
        r(4, "CIOBANU RADU", {{"NR_CERE", 2}, {"CUAJUT", QVariant()}}),
        r(5, "DOBRE IOANA", {{"NR_CERE", 3}, {"STATUT", "RESPINS"}}),
        r(6, "ENE MARIA", {{"NR_DISP", "13"}, {"NR_CERE", 4}}),
        // Only granted without aid and without supplements.
        r(7, "FLOREA VASILE", {{"NR_DISP", "14"}, {"CUAJUT", QVariant()}, {"DATADISP", QDate(2023, 1, 18)},
                                {"DATACERE", QDate(2022, 12, 12)}}),
        // A domicile missing its locality, its street or both.
        r(8, "GHEORGHE ANA", {{"NR_DISP", "16"}, {"LOCALIT", ""}}),
        r(9, "HAGI ION", {{"NR_DISP", "16"}, {"ADRESA", "  "}}),
        r(10, "IONESCU EMIL", {{"NR_DISP", "16"}, {"LOCALIT", QVariant()}, {"ADRESA", QVariant()}}),
    });
}

// The texts of a sheet, row by row.
QString sheetText(const IR::XlrdSheet &s)
{
    QStringList rows;
    for (const auto &row : s.rows) {
        QStringList cells;
        for (const IR::XlrdCell &c : row)
            cells << (c.kind == IR::XlrdCell::Number ? QString::number(c.number) : c.text);
        rows << cells.join(u'|');
    }
    return rows.join(u'\n');
}

} // namespace

TEST(CollectiveDisposition, NumberFiguresAndAnnexes)
{
    PaymentsWorld w;
    w.extractTemplates();
    writeRequests(w);
    PaymentCommands commands(CereriF());
    TAlegeNrDisp &dlg = commands.disposition.dialog();
    QString printed; // the first decision, printed below
    struct Case
    {
        const char *name;
        QString number;
        QStringList decision; // texts the decision holds
        QStringList aid, supplements;
        QString message;
        QStringList addresses; // of the aid annex
    };
    const Case cases[] = {
        {"typed as stored and with a leading zero",
         "12",
         {"DISPOZIȚIA nr. 12 din 16.01.2023", "pentru luna ianuarie 2023", "numerele de la 17 la 31, în număr de 2",
          "suplimentului pentru energie, în număr de 2", "pentru un număr de 2 titulari, pe o durată de cel mult 5 luni",
          "începând cu data de 01.02.2023, pentru perioada noiembrie 2022 - martie 2023",
          "Plata drepturilor stabilite la art. 1 și art. 2 se face începând cu data de 20.02.2023",
          "la Tribunalul Bacău", "JUDEȚUL BACAU", "COMUNA Răcăciuni", "Ştefan Pătraşcu", "Ioana Ţurcanu"},
         {"ANDREI ANA", "POPESCU ION"},
         {"BĂLAN DAN", "POPESCU ION"},
         "",
         {"loc.Răcăciuni, Str. Şcolii nr. 3", "loc.Răcăciuni, Str. Învăţătorului Gheorghe Ţăranu nr. 123 bl. A4 ap. 12"}},
        // Empty annexes: the dates still come from the granted request.
        {"granted without aid", "14", {"DISPOZIȚIA nr. 14 din 18.01.2023", "pentru luna decembrie 2022"}, {}, {}, "", {}},
        {"no granted request", "15", {}, {}, {}, "\rNu exista Dipozitia Aprobata cu nr.15 !", {}},
        // No lone "loc." or comma; nothing where nothing is known.
        {"domicile parts missing",
         "16",
         {"DISPOZIȚIA nr. 16 din 16.01.2023"},
         {"GHEORGHE ANA", "HAGI ION", "IONESCU EMIL"},
         {},
         "",
         {"Str. Şcolii nr. 3", "loc.Răcăciuni", ""}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        w.shell.openedDocuments.clear();
        w.dialogs.messages.clear();
        DocumentsWorld::whenShown([&dlg, &c] {
            dlg.NrDisp->setText(c.number);
            dlg.Data0->setDate(QDate(2023, 2, 1));
            dlg.Perioada->setText(QStringLiteral("noiembrie 2022 - martie 2023"));
            dlg.DataPlatii->setText(QStringLiteral("20.02.2023"));
            dlg.Tribunal->setText(QStringLiteral("Bacău"));
            dlg.ListB->click();
        });
        commands.disposition.ListeazaDispCum();
        EXPECT_FALSE(CereriF().Sx->Active());
        if (!c.message.isEmpty()) {
            ASSERT_EQ(w.dialogs.messages.size(), 1);
            EXPECT_EQ(w.dialogs.messages.first().title, QStringLiteral("Listare Dispozitie Unica"));
            EXPECT_EQ(w.dialogs.messages.first().text, c.message);
            EXPECT_TRUE(w.shell.openedDocuments.isEmpty());
            continue;
        }
        ASSERT_EQ(w.shell.openedDocuments.size(), 1);
        if (printed.isEmpty())
            printed = w.lastOpened();
        const IR::XlrdBook book = IR::readWithXlrd(w.lastOpened());
        ASSERT_EQ(book.sheets.size(), 3);
        const QString decision = sheetText(book.sheets[0]);
        for (const QString &t : c.decision)
            EXPECT_TRUE(decision.contains(t)) << t.toStdString() << "\n" << decision.toStdString();
        EXPECT_FALSE(decision.contains(u'[')) << decision.toStdString();
        for (int sheet : {1, 2}) {
            const IR::XlrdSheet &s = book.sheets[sheet];
            QStringList names, addresses;
            for (int row = 6; s.cell(row, 1).kind == IR::XlrdCell::Text && s.cell(row, 1).text != u"TOTAL"; ++row) {
                names << s.cell(row, 1).text;
                addresses << s.cell(row, 3).text;
            }
            EXPECT_EQ(names, sheet == 1 ? c.aid : c.supplements);
            if (sheet == 1) {
                EXPECT_EQ(addresses, c.addresses);
            }
            EXPECT_TRUE(s.cell(1, 5).text.endsWith(QStringLiteral("nr. ") + c.number + QStringLiteral(" din ")
                                                   + (c.number == u"14" ? QStringLiteral("18.01.2023")
                                                                        : QStringLiteral("16.01.2023"))))
                << s.cell(1, 5).text.toStdString();
        }
    }

    // As printed, the annexes' reference to the decision, their column titles
    // and a long address are whole, not cut by narrow columns.
    const QString pdfDir = IR::scratchDir(QStringLiteral("disposition-pdf"));
    IR::convertWithSoffice({printed}, pdfDir, QStringLiteral("pdf"));
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdfDir + u'/' + QFileInfo(printed).completeBaseName()
                                                                          + QStringLiteral(".pdf"), QStringLiteral("-")});
    text.waitForFinished(60000);
    const QString pages = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_EQ(pages.count(QStringLiteral("la Dispoziția nr. 12 din 16.01.2023")), 2) << pages.toStdString();
    EXPECT_TRUE(pages.contains(QRegularExpression(QStringLiteral("\\bmembri\\b")))) << pages.toStdString();
    EXPECT_TRUE(pages.contains(QStringLiteral("combustibili"))) << pages.toStdString();
    const auto words = IR::pdfWords(pdfDir + u'/' + QFileInfo(printed).completeBaseName() + QStringLiteral(".pdf"));
    EXPECT_EQ(IR::printFaults(words), QStringList());
    // The long address wraps in its row wherever the fonts make it, and loses
    // no word in either annex.
    QStringList printedWords;
    for (const auto &word : words)
        printedWords << word.text;
    for (const QString &word : QStringLiteral("Str. Învăţătorului Gheorghe Ţăranu nr. 123 bl. A4 ap. 12").split(u' '))
        EXPECT_GE(printedWords.count(word), 2) << word.toStdString();
}

TEST(CollectiveDisposition, DialogRefusesNoNumberOrABlankTextAndRemembersTexts)
{
    PaymentsWorld w;
    TAlegeNrDisp dlg;
    DocumentsWorld::whenShown([&dlg] {
        dlg.NrDisp->setText(QStringLiteral("0"));
        dlg.Tribunal->setText(QStringLiteral("Bacău"));
        dlg.ListB->click();
        dlg.NrDisp->setText(QStringLiteral("7"));
        dlg.Perioada->setText(QStringLiteral("noiembrie 2022 - martie 2023"));
        dlg.DataPlatii->setText(QStringLiteral("  "));
        dlg.ListB->click();
        dlg.DataPlatii->setText(QStringLiteral("20.02.2023"));
        dlg.ListB->click();
    });
    EXPECT_TRUE(dlg.Execute());
    ASSERT_EQ(w.dialogs.balloons.size(), 2);
    EXPECT_EQ(w.dialogs.balloons.first().text,
              QStringLiteral("De emotie, ati uitat sa scrieti numarul de Dispozitie de listat!"));
    EXPECT_EQ(w.dialogs.balloons.last().text, QStringLiteral("Scrieti data platii!"));
    TAlegeNrDisp again;
    DocumentsWorld::whenShown([&again] { again.BitBtn2->click(); });
    EXPECT_FALSE(again.Execute());
    EXPECT_EQ(again.Tribunal->text(), QStringLiteral("Bacău"));
}
