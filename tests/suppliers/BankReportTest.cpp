#include "payments/PaymentsWorld.h"

#include "suppliers/BankNames.h"
#include "suppliers/BankReport.h"
#include "xls/support/IndependentReaders.h"

#include <QMap>

namespace IR = IndependentReaders;

namespace {

using W = PaymentsWorld;

QVariantMap payee(int n, const char *name, const char *bank, const QVariantMap &changes = {})
{
    return W::with(W::request(n), W::with({{"TITULAR", QString::fromUtf8(name)}, {"BANCA", QString::fromUtf8(bank)}}, changes));
}

const char *const kLongBank1 = "ING Bank: Sucursala [Centru] Bucuresti - Unirii";
const char *const kLongBank2 = "ING Bank: Sucursala [Centru] Bucuresti - Obor";

} // namespace

TEST(BankNames, SheetNamesAreValidAndDistinct)
{
    struct Case { const char *name; QStringList labels, taken, expected; };
    const Case cases[] = {
        {"kept as typed", {"Banca Ţării"}, {}, {"Banca Ţării"}},
        {"forbidden characters", {"BRD: A/B [1]*?\\"}, {}, {"BRD_ A_B _1____"}},
        {"apostrophes at the ends", {"'CEC'"}, {}, {"CEC"}},
        {"cut to 31 without an apostrophe at the end", {"Banca Comerciala Romana O'Neil'X"}, {}, {"Banca Comerciala Romana O'Neil"}},
        {"equal after cutting", {kLongBank1, kLongBank2}, {}, {"ING Bank_ Sucursala _Centru_ Bu", "ING Bank_ Sucursala _Centru (2)"}},
        {"equal without regard to case", {"brd", "BRD"}, {}, {"brd", "BRD (2)"}},
        {"a name another sheet holds", {"Foaie2"}, {"FOAIE2"}, {"Foaie2 (2)"}},
        {"nothing left", {"'''"}, {}, {"Banca"}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(BankNames::SheetNames(c.labels, c.taken), c.expected) << c.name;
    EXPECT_EQ(BankNames::Key(QStringLiteral("  banca ţării ")), QStringLiteral("BANCA ŢĂRII"));
    EXPECT_EQ(BankNames::Label(QStringLiteral("   ")), QStringLiteral("nespecificata"));
}

// The month's transfers read back by xlrd: one sheet per bank whatever the
// case and blanks of its name, codes and accounts as text, no CEC or postal
// order, a supplement without aid listed, and LibreOffice's totals.
TEST(BankReport, OneSheetPerBankReadBackByOthers)
{
    W w;
    w.extractTemplates();
    w.writeCereri({
        payee(1, "POPESCU ION", "Banca Ţării", {{"CUANTUM", 267.0}, {"SUMAL", 0.0}, {"CNP", "0800101040011"}, {"CONT", "0049AAAA"}}),
        payee(2, "IONESCU DAN", " banca ţării ", {{"CUANTUM", 0.0}, {"SUMAL", 150.5}}),
        payee(3, "ZAMFIR ANA", "", {{"CUANTUM", 80.0}}),
        payee(4, "CEC ANA", "Banca Ţării", {{"MODPLATA", "CEC"}}),
        payee(5, "MANDAT ION", "Banca Ţării", {{"MODPLATA", "MANDAT POSTAL"}}),
        payee(6, "O'BRIEN SEAN", "Banca O'Neil", {{"CUANTUM", 107.0}, {"SUMAL", 10.0}}),
        payee(7, "ALBU ION", kLongBank1),
        payee(8, "BARBU ION", kLongBank2),
        payee(9, "RESPINS ION", "Banca Ţării", {{"STATUT", "RESPINS"}}),
        payee(10, "FARA SUMA", "Banca Ţării", {{"CUANTUM", 0.0}, {"SUMAL", 0.0}}),
    });
    BankReport::RaportBanci1Click();
    const QString book = w.lastOpened();
    ASSERT_FALSE(book.isEmpty());

    const IR::XlrdBook read = IR::readWithXlrd(book);
    QMap<QString, IR::XlrdSheet> sheets;
    for (const IR::XlrdSheet &s : read.sheets)
        sheets.insert(s.name, s);
    // The two spellings of one bank share the sheet named as the first in the banks' order.
    EXPECT_EQ(sheets.keys(), (QStringList{"Banca O'Neil", "ING Bank_ Sucursala _Centru (2)", "ING Bank_ Sucursala _Centru_ Bu",
                                          "banca ţării", "nespecificata"}));
    const IR::XlrdSheet &tarii = sheets.value(QStringLiteral("banca ţării"));
    EXPECT_EQ(tarii.cell(0, 0).text, QStringLiteral("U.A.T. Răcăciuni"));
    EXPECT_EQ(tarii.cell(3, 0).text, QStringLiteral("luna 01 anul 2023"));
    // Rows 8 and 9 by holder; the total row below.
    EXPECT_EQ(tarii.cell(7, 1).text, QStringLiteral("IONESCU DAN"));
    EXPECT_EQ(tarii.cell(7, 6).number, 150.5);
    EXPECT_EQ(tarii.cell(8, 1).text, QStringLiteral("POPESCU ION"));
    EXPECT_EQ(tarii.cell(8, 2).kind, IR::XlrdCell::Text);
    EXPECT_EQ(tarii.cell(8, 2).text, QStringLiteral("0800101040011"));
    EXPECT_EQ(tarii.cell(8, 8).text, QStringLiteral("0049AAAA"));
    EXPECT_EQ(tarii.cell(9, 4).text, QStringLiteral("TOTAL"));
    EXPECT_EQ(tarii.rows.size(), 10);
    const IR::XlrdSheet &none = sheets.value(QStringLiteral("nespecificata"));
    EXPECT_EQ(none.cell(2, 0).text, QStringLiteral("nespecificata"));
    EXPECT_EQ(none.cell(7, 1).text, QStringLiteral("ZAMFIR ANA"));
    EXPECT_EQ(sheets.value(QStringLiteral("Banca O'Neil")).cell(7, 1).text, QStringLiteral("O'BRIEN SEAN"));
    EXPECT_EQ(sheets.value(QStringLiteral("ING Bank_ Sucursala _Centru (2)")).cell(2, 0).text, QString::fromUtf8(kLongBank1));

    // LibreOffice recomputes the totals, over the inserted rows too.
    const QString csv = IR::scratchDir(QStringLiteral("bank-csv"));
    IR::exportCsvWithSoffice({book}, csv, false);
    const auto rows = IR::readCsv(csv + u'/' + QFileInfo(book).completeBaseName() + QStringLiteral("-banca ţării.csv"));
    ASSERT_GE(rows.size(), 10);
    EXPECT_EQ(rows.at(9).mid(5, 3), (QStringList{"267", "150.5", "417.5"}));
}

TEST(BankReport, MonthWithoutTransfersIsToldNotFilled)
{
    W w;
    w.extractTemplates();
    w.writeCereri({payee(1, "CEC ANA", "Banca Ţării", {{"MODPLATA", "CEC"}})});
    BankReport::RaportBanci1Click();
    EXPECT_TRUE(w.lastOpened().isEmpty());
    ASSERT_EQ(w.dialogs.messages.size(), 1);
    EXPECT_EQ(w.dialogs.messages.at(0).text, QStringLiteral("\rNu exista plati prin virament bancar in luna 01.2023!"));
}
