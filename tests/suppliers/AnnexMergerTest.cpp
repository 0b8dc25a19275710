#include "payments/PaymentsWorld.h"

#include "agencies/AgencyReport.h"
#include "core/Cnp.h"
#include "suppliers/PlusAnexe.h"
#include "xls/support/IndependentReaders.h"
#include "xls/workbook/XLSAdapter.h"
#include "xls/workbook/XlsImport.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>

#include <cmath>

namespace IR = IndependentReaders;

// Annexes made by the system itself for three offices, added into one and
// read back by xlrd; the sums are checked against xlrd's reading of the inputs.
namespace {

using W = PaymentsWorld;

QString cnp(int n)
{
    const QString first = QStringLiteral("18001010400%1").arg(n);
    return first + QString::number(Cnp::controlDigit(first));
}

// A gas beneficiary of the working month.
QVariantMap gas(int nrcrt, const char *name, int code, double amount, int members, double income)
{
    return W::with(W::request(nrcrt), {{"TITULAR", QString::fromLatin1(name)}, {"CNP", cnp(code)}, {"SUMAG", amount},
                                       {"FURNG", "Gaz Est"}, {"NR_MEMBRI", members}, {"VENITM", income}});
}

// The agency annexes of the working month over these requests, in a folder of their own.
QString annexes(W &w, const QString &name, const QList<QVariantMap> &requests)
{
    static const int limits[] = {200, 320, 440, 560, 680, 920, 1040, 1160, 1280, 1386, 2053};
    for (int b = 1; b <= 11; ++b)
        Form4().Lim(b)->setText(QString::number(limits[b - 1]));
    w.writeCereri(requests);
    const QString folder = w.root + u'/' + name;
    QDir().mkpath(folder);
    TQuery query;
    AgencyReport::write(AgencyOffice::current(), {W::month(), W::month()}, folder, query);
    return folder + u'/';
}

// Runs the form as the clerk does: the files chosen in turn, the duplicate
// question answered, then "Aduna Anexele".
QString merge(W &w, int annex, const QStringList &files, bool flagDuplicates = true)
{
    w.dialogs.files = files;
    w.dialogs.answers = {flagDuplicates ? TErori::ResultDa : TErori::ResultNu};
    w.shell.openedDocuments.clear();
    W::whenShown([&files] {
        TPlusAnexe &d = PlusAnexe();
        for (int i = 0; i < files.size(); ++i)
            d.AddAnxB->click();
        d.AdunaB->click();
        d.accept();
    });
    PlusAnexe().Execute(annex);
    return w.lastOpened();
}

// A copy of the workbook with one cell of the first sheet blanked.
QString withBlank(const QString &file, int row, int col)
{
    TXLSAdapter adapter;
    TXlsImport book(&adapter);
    book.OpenFile(file);
    book.SetActiveSheet(1);
    book.SetCellValue(row, col, QVariant());
    const QString copy = file + QStringLiteral("-blank.xls");
    book.Save(copy);
    book.CloseFile();
    return copy;
}

double numberOr0(const IR::XlrdCell &c)
{
    return c.kind == IR::XlrdCell::Number ? c.number : 0.0;
}

struct Offices
{
    QString a, b, c, empty;
};

Offices makeOffices(W &w)
{
    w.extractTemplates();
    return {annexes(w, "A", {gas(1, "BARBU ANA", 1, 12.25, 2, 617.25), gas(2, "ALBU ION", 2, 30.0, 1, 100.0)}),
            annexes(w, "B", {gas(1, "CARP DAN", 3, 19.99, 1, 100.0), gas(2, "DOBRE ION", 1, 5.0, 3, 150.0)}),
            annexes(w, "C", {gas(1, "ENE RADU", 5, 20.75, 2, 617.25)}),
            annexes(w, "D", {W::request(1)})};
}

} // namespace

TEST(AnnexMerger, TablesAddAsDecimalsAndListsFollowOneAnother)
{
    W w;
    const Offices o = makeOffices(w);
    // Row 10, column 4: single persons of January in the first bracket; only
    // office B counts one there, and the base's cell is blank.
    const QString base23 = withBlank(o.a + "Anexa23_Gaz.xls", 10, 4);
    for (const QString &kind : {QStringLiteral("23"), QStringLiteral("24")}) {
        const QStringList inputs = {kind == u"23" ? base23 : o.a + "Anexa24_Gaz.xls", o.b + "Anexa" + kind + "_Gaz.xls",
                                    o.c + "Anexa" + kind + "_Gaz.xls"};
        const QString merged = merge(w, kind.toInt(), inputs);
        ASSERT_FALSE(merged.isEmpty()) << kind.toStdString();
        const IR::XlrdSheet out = IR::readWithXlrd(merged).sheets.at(0);
        QVector<IR::XlrdSheet> in;
        for (const QString &f : inputs)
            in.append(IR::readWithXlrd(f).sheets.at(0));
        for (int r = 8; r < 32; ++r)
            for (int c = 3; c < 14; ++c) {
                double sum = 0;
                bool any = false;
                for (const IR::XlrdSheet &s : in) {
                    sum += numberOr0(s.cell(r, c));
                    any = any || s.cell(r, c).kind == IR::XlrdCell::Number;
                }
                if (any)
                    EXPECT_NEAR(out.cell(r, c).number, sum, 1e-9) << kind.toStdString() << " " << r << "," << c;
                else
                    EXPECT_EQ(out.cell(r, c).text, in.at(0).cell(r, c).text) << kind.toStdString() << " " << r << "," << c;
            }
        if (kind == u"23")
            EXPECT_EQ(out.cell(9, 3).number, 1.0);
        else
            EXPECT_EQ(out.cell(8, 7).number, 33.0); // 12.25 + 20.75 in the families' fifth bracket
    }

    const QString merged = merge(w, 15, {o.a + "Anexa15.xls", o.b + "Anexa15.xls", o.c + "Anexa15.xls"});
    ASSERT_FALSE(merged.isEmpty());
    const IR::XlrdBook book = IR::readWithXlrd(merged);
    ASSERT_EQ(book.sheets.size(), 2);
    for (const IR::XlrdSheet &s : book.sheets) {
        const QStringList names = {"ALBU ION", "BARBU ANA", "CARP DAN", "DOBRE ION", "ENE RADU"};
        for (int i = 0; i < names.size(); ++i) {
            EXPECT_EQ(s.cell(9 + i, 0).number, i + 1.0) << s.name.toStdString();
            EXPECT_EQ(s.cell(9 + i, 1).text, names.at(i)) << s.name.toStdString();
            EXPECT_EQ(s.cell(9 + i, 2).kind, IR::XlrdCell::Text);
        }
        // DOBRE ION repeats BARBU ANA's code: flagged after the last used column, once.
        int flags = 0;
        for (const auto &row : s.rows)
            for (const IR::XlrdCell &cell : row)
                flags += cell.text == u"DUBLAT!";
        EXPECT_EQ(flags, 1) << s.name.toStdString();
        EXPECT_EQ(s.cell(12, int(s.rows.at(12).size()) - 1).text, QStringLiteral("DUBLAT!"));
        EXPECT_EQ(s.cell(15, 0).text, QStringLiteral("TOTAL"));
    }
    // LibreOffice's totals count every appended row.
    const QString csv = IR::scratchDir(QStringLiteral("merge-csv"));
    IR::exportCsvWithSoffice({merged}, csv, false);
    const auto rows = IR::readCsv(csv + u'/' + QFileInfo(merged).completeBaseName() + QStringLiteral("-Anexa 15.csv"));
    ASSERT_GE(rows.size(), 16);
    // 19.99 (1998.99... cents as a double) is added as 19.99, not 19.98.
    EXPECT_EQ(rows.at(15).value(9), QStringLiteral("87.99"));
}

TEST(AnnexMerger, RefusalsLeaveTheListAndTheFilesAsTheyWere)
{
    W w;
    const Offices o = makeOffices(w);
    QFile text(w.root + QStringLiteral("/nu-e-anexa.XLS"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("nu este un registru");
    text.close();
    struct Case { const char *name; QString file; const char *message; };
    const Case cases[] = {
        {"another annex", o.a + "Anexa16.xls", "\rAnexa aleasa NU este o Anexa 15!"},
        // The engine's reason follows, so the clerk can tell a damaged file from another annex.
        {"no workbook", text.fileName(), "\rAnexa aleasa NU este o Anexa 15!\r"},
        {"the same file by another path", o.a + "../A/Anexa15.xls", "\rAti mai adaugat odata aceasta Anexa!"},
    };
    TPlusAnexe &d = PlusAnexe();
    for (const Case &c : cases) {
        w.dialogs.messages.clear();
        w.dialogs.files = {o.a + "Anexa15.xls", c.file};
        W::whenShown([&d] {
            d.AddAnxB->click();
            d.AddAnxB->click();
            d.accept();
        });
        d.Execute(15);
        ASSERT_EQ(w.dialogs.messages.size(), 1) << c.name;
        EXPECT_EQ(w.dialogs.messages.at(0).title, QStringLiteral("Adaugare ANEXA 15")) << c.name;
        const QString expected = QString::fromLatin1(c.message);
        if (expected.endsWith(u'\r'))
            EXPECT_TRUE(w.dialogs.messages.at(0).text.startsWith(expected)
                        && w.dialogs.messages.at(0).text.size() > expected.size() + 10)
                << c.name << ": " << w.dialogs.messages.at(0).text.toStdString();
        else
            EXPECT_EQ(w.dialogs.messages.at(0).text, expected) << c.name;
        EXPECT_EQ(d.Files().size(), 1) << c.name;
        EXPECT_FALSE(d.AdunaB->isEnabled()) << c.name;
    }

    // A base without a numbered row has no row to copy: refused, the base
    // unchanged, nothing opened and the form usable again.
    QFile base(o.empty + "Anexa15.xls");
    ASSERT_TRUE(base.open(QIODevice::ReadOnly));
    const QByteArray before = base.readAll();
    base.close();
    w.dialogs.messages.clear();
    EXPECT_TRUE(merge(w, 15, {base.fileName(), o.a + "Anexa15.xls"}).isEmpty());
    ASSERT_EQ(w.dialogs.messages.size(), 1);
    EXPECT_TRUE(w.dialogs.messages.at(0).text.startsWith(QStringLiteral("\rPrima Anexa din lista nu are randuri numerotate")));
    ASSERT_TRUE(base.open(QIODevice::ReadOnly));
    EXPECT_EQ(base.readAll(), before);
    EXPECT_TRUE(d.Panel1->isEnabled());
    EXPECT_TRUE(d.AdunaB->isEnabled());

    // The open dialog's pattern (its last parentheses) takes .xls in any letter case, and nothing else.
    const QString pattern = d.OpenFilter.section(u'(', -1).chopped(1);
    const QRegularExpression filter(QRegularExpression::wildcardToRegularExpression(pattern));
    for (const char *name : {"a.xls", "A.XLS", "b.Xls"})
        EXPECT_TRUE(filter.match(QString::fromLatin1(name)).hasMatch()) << name;
    EXPECT_FALSE(filter.match(QStringLiteral("a.xlsx")).hasMatch());
}
