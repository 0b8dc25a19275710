// Templates filled the way the documents fill them, then read by readers we
// did not write: xlrd for the .xls cells, LibreOffice for the computed totals
// (it recalculates on load) and for the .xlsx workbooks.

#include "FillerFixture.h"
#include "PaymentRecords.h"

#include "documents/ExpXLSOLE.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QPoint>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>

namespace IR = IndependentReaders;

namespace {

const int Counts[] = {0, 1, 10000};

// The payment list's three sheets and the requests each one lists.
struct StatSheet
{
    const char *name;
    std::function<bool(int)> lists;
};
const StatSheet StatSheets[] = {
    {"Stat", [](int) { return true; }},
    {"Cu ajutor", [](int i) { return PaymentRecords::total(i) > 0; }},
    {"Cu lemne", [](int i) { return PaymentRecords::sumal(i) > 0; }},
};

QList<int> listed(int count, const StatSheet &sheet)
{
    QList<int> numbers;
    for (int i = 0; i < count; ++i)
        if (sheet.lists(i))
            numbers.append(i);
    return numbers;
}

double sumOf(const QList<int> &numbers, double (*fn)(int))
{
    double s = 0;
    for (int i : numbers)
        s += fn(i);
    return s;
}

// The header and signature tags of the payment list, as the documents set them.
const std::pair<const char *, const char *> StatTags[] = {
    {"#JUDET", "Judet   12 - CLUJ"},   {"#PRIMARIA", "Primaria   4540343 - TURENI"},
    {"#LUNA", "martie 2024"},          {"#C1", "Contabil,"},
    {"#C2", "IONESCU MARIA"},          {"#P1", "PRIMAR,"},
    {"#PRIMAR", "POP VASILE"},         {"#I1", " "},
    {"#I2", " "},
};

double dayNumber(const QDate &d)
{
    return double(QDate(1899, 12, 30).daysTo(d));
}

class FilledTemplates : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        world = std::make_unique<FillerFixture>();
        csvDir = world->dir() + QStringLiteral("/csv");
        QDir().mkpath(csvDir);
        QStringList files;
        for (int n : Counts) {
            files << fillStat(n) << fillRegister(n);
        }
        files << fillPremier();
        IR::exportCsvWithSoffice(files, csvDir, false);
    }
    static void TearDownTestSuite() { world.reset(); }

    static QString keep(TExpXLSOLE &filler, const QString &name)
    {
        filler.Save();
        const QString target = world->dir() + u'/' + name;
        EXPECT_TRUE(QFile::rename(filler.WorkingCopy(), target));
        return target;
    }

    static QString fillStat(int n)
    {
        TExpXLSOLE filler;
        EXPECT_TRUE(filler.OpenTemplate(world->copy(FillerFixture::statSource()), false));
        for (int s = 1; s <= 3; ++s) {
            filler.SelectSheet(s);
            for (const auto &[tag, value] : StatTags)
                filler.ReplaceTag(QString::fromLatin1(tag), QString::fromLatin1(value));
            filler.FillFromDataSet(*PaymentRecords::dataSet(listed(n, StatSheets[s - 1])));
        }
        filler.SelectSheet(1);
        return keep(filler, QStringLiteral("stat-%1.xls").arg(n));
    }

    static QString fillRegister(int n)
    {
        TExpXLSOLE filler;
        EXPECT_TRUE(filler.OpenTemplate(world->copy(FillerFixture::registerSource()), true));
        filler.ReplaceTag(QStringLiteral("#UAT"), QStringLiteral("TURENI"));
        filler.ReplaceTag(QStringLiteral("#LUNA"), 202403);
        filler.ReplaceTag(QStringLiteral("#INTOCMIT"), QStringLiteral("POP ANA"));
        filler.FillFromDataSet(*PaymentRecords::dataSet(n));
        filler.SelectSheet(2);
        filler.ReplaceTag(QStringLiteral("#UAT"), QStringLiteral("TURENI"));
        filler.ReplaceTag(QStringLiteral("#LUNA"), QStringLiteral("03.2024"));
        return keep(filler, QStringLiteral("registru-%1.xlsx").arg(n));
    }

    // The supplier list writes its zeros as the text "0".
    static QString fillPremier()
    {
        TExpXLSOLE filler;
        EXPECT_TRUE(filler.OpenTemplate(world->copy(FillerFixture::premierSource()), true));
        filler.ReplaceTag(QStringLiteral("[CIF]"), QStringLiteral("4540343"));
        filler.BlankValue = QStringLiteral("0");
        MemoryDataSet data({{QStringLiteral("TITE"), SqlType::Text},      {QStringLiteral("CNPE"), SqlType::Text},
                            {QStringLiteral("LOCALIT"), SqlType::Text},   {QStringLiteral("ADRESA"), SqlType::Text},
                            {QStringLiteral("CODCLE"), SqlType::Text},    {QStringLiteral("NR_MEMBRI"), SqlType::Integer},
                            {QStringLiteral("TVENIT"), SqlType::Float},   {QStringLiteral("NR_DISP"), SqlType::Text},
                            {QStringLiteral("PODE"), SqlType::Text},      {QStringLiteral("SUMAE"), SqlType::Float}},
                           {{QStringLiteral("POP ION"), QStringLiteral("1850101123456"), QStringLiteral("TURENI"),
                             QStringLiteral("Str. Mare 1"), QStringLiteral("0007"), 3, 850.0, QStringLiteral("12"),
                             QStringLiteral("RO005E1"), 95.5},
                            {QStringLiteral("RUS ANA"), QStringLiteral("2900202123456"), QStringLiteral("MORTESTI"),
                             QStringLiteral("Nr. 7"), QStringLiteral("0100"), 1, 0.0, QStringLiteral("13"),
                             QStringLiteral("RO005E2"), 0.0}});
        data.Open();
        filler.FillFromDataSet(data);
        return keep(filler, QStringLiteral("premier.xlsx"));
    }

    static QVector<QStringList> csv(const QString &book, const QString &sheet)
    {
        return IR::readCsv(csvDir + u'/' + book + u'-' + sheet + QStringLiteral(".csv"));
    }
    // A cell of a CSV sheet, 1-based; empty outside it.
    static QString at(const QVector<QStringList> &rows, int row, int col)
    {
        return row >= 1 && row <= rows.size() && col >= 1 && col <= rows[row - 1].size() ? rows[row - 1][col - 1]
                                                                                          : QString();
    }
    static void expectNumber(const QString &text, double expected, const char *what)
    {
        bool ok = false;
        const double d = text.toDouble(&ok);
        EXPECT_TRUE(ok) << what << ": " << text.toStdString();
        EXPECT_NEAR(d, expected, 1e-6 * std::max(1.0, std::fabs(expected))) << what;
    }

    static inline std::unique_ptr<FillerFixture> world;
    static inline QString csvDir;
};

void expectEmpty(const IR::XlrdCell &c, const char *what)
{
    EXPECT_TRUE(c.kind == IR::XlrdCell::Empty || c.kind == IR::XlrdCell::Blank) << what << ": " << c.text.toStdString();
}

void expectText(const IR::XlrdCell &c, const QString &text, const char *what)
{
    EXPECT_EQ(c.kind, IR::XlrdCell::Text) << what;
    EXPECT_EQ(c.text, text) << what;
}

// A number, or an empty cell for zero.
void expectAmount(const IR::XlrdCell &c, double value, const char *what)
{
    if (value == 0) {
        expectEmpty(c, what);
        return;
    }
    EXPECT_EQ(c.kind, IR::XlrdCell::Number) << what;
    EXPECT_DOUBLE_EQ(c.number, value) << what;
}

} // namespace

TEST_F(FilledTemplates, PaymentListCellsReadByXlrd)
{
    for (int n : Counts) {
        SCOPED_TRACE(n);
        const IR::XlrdBook book = IR::readWithXlrd(world->dir() + QStringLiteral("/stat-%1.xls").arg(n));
        ASSERT_EQ(book.sheets.size(), 3);
        for (int s = 0; s < 3; ++s) {
            SCOPED_TRACE(StatSheets[s].name);
            const IR::XlrdSheet &sheet = book.sheets[s];
            EXPECT_EQ(sheet.name, QString::fromUtf8(StatSheets[s].name));
            expectText(sheet.cell(0, 0), QStringLiteral("Judet   12 - CLUJ"), "county");
            expectText(sheet.cell(4, 0),
                       QStringLiteral("pentru ajutorul pentru încălzirea locuinței și suplimentele pentru energie pe luna martie 2024"),
                       "month inside the title");
            const QList<int> numbers = listed(n, StatSheets[s]);
            for (int k = 0; k < numbers.size(); ++k) {
                const int i = numbers[k], r = 6 + k; // 0-based row of record k
                EXPECT_EQ(sheet.cell(r, 0).number, k + 1);
                EXPECT_EQ(sheet.cell(r, 1).number, 100 + i);
                expectText(sheet.cell(r, 2), PaymentRecords::name(i), "name");
                expectText(sheet.cell(r, 3), PaymentRecords::cnp(i), "personal code");
                if (PaymentRecords::date(i).isValid()) {
                    EXPECT_EQ(sheet.cell(r, 5).kind, IR::XlrdCell::Date);
                    EXPECT_EQ(sheet.cell(r, 5).number, dayNumber(PaymentRecords::date(i)));
                } else {
                    expectEmpty(sheet.cell(r, 5), "missing date");
                }
                expectAmount(sheet.cell(r, 9), PaymentRecords::total(i), "total");
                expectAmount(sheet.cell(r, 10), PaymentRecords::sumal(i), "solid fuel");
                expectAmount(sheet.cell(r, 12), 0, "thermal energy");
                expectEmpty(sheet.cell(r, 15), "row tag");
                if (HasFailure())
                    return; // one broken row says enough
            }
            const int rows = std::max<int>(1, numbers.size());
            if (numbers.isEmpty()) {
                for (int col = 0; col < 16; ++col)
                    expectEmpty(sheet.cell(6, col), "blank template row");
            }
            expectText(sheet.cell(6 + rows, 6), QStringLiteral("TOTAL"), "total label");
            expectText(sheet.cell(8 + rows, 1), QStringLiteral("PRIMAR,"), "signature");
            expectText(sheet.cell(9 + rows, 10), QStringLiteral(" "), "blank signature");
        }
    }
}

TEST_F(FilledTemplates, LibreOfficeComputesThePaymentListTotalsOverEveryRow)
{
    for (int n : Counts) {
        for (const StatSheet &s : StatSheets) {
            SCOPED_TRACE(QStringLiteral("%1 records, sheet %2").arg(n).arg(QString::fromUtf8(s.name)).toStdString());
            const auto rows = csv(QStringLiteral("stat-%1").arg(n), QString::fromUtf8(s.name));
            const QList<int> numbers = listed(n, s);
            const int totalRow = 7 + std::max<int>(1, numbers.size());
            ASSERT_EQ(at(rows, totalRow, 7), QStringLiteral("TOTAL"));
            expectNumber(at(rows, totalRow, 8), sumOf(numbers, PaymentRecords::cuantum), "monthly amounts");
            expectNumber(at(rows, totalRow, 10), sumOf(numbers, PaymentRecords::total), "totals");
            expectNumber(at(rows, totalRow, 11), sumOf(numbers, PaymentRecords::sumal), "solid fuel");
            expectNumber(at(rows, totalRow, 12), sumOf(numbers, PaymentRecords::sumag), "gas");
            expectNumber(at(rows, totalRow, 14), sumOf(numbers, PaymentRecords::sumae), "electricity");
            if (!numbers.isEmpty()) {
                EXPECT_EQ(at(rows, 6 + int(numbers.size()), 3), PaymentRecords::name(numbers.last()));
            }
        }
    }
}

TEST_F(FilledTemplates, LibreOfficeReadsTheFilledRegister)
{
    for (int n : Counts) {
        SCOPED_TRACE(n);
        const auto list = csv(QStringLiteral("registru-%1").arg(n), QStringLiteral("Lista"));
        EXPECT_EQ(at(list, 1, 1), QStringLiteral("Primaria TURENI"));
        expectNumber(at(list, 2, 2), 202403, "a whole tag takes the number");
        for (int i = 0; i < n; ++i) {
            const int row = 4 + i;
            EXPECT_EQ(at(list, row, 1), QString::number(i + 1));
            EXPECT_EQ(at(list, row, 2), PaymentRecords::code(i)); // leading zeros kept
            EXPECT_EQ(at(list, row, 3), PaymentRecords::name(i));
            EXPECT_EQ(at(list, row, 4).isEmpty(), !PaymentRecords::date(i).isValid());
            if (PaymentRecords::total(i) == 0) {
                EXPECT_EQ(at(list, row, 5), QString());
            } else {
                expectNumber(at(list, row, 5), PaymentRecords::total(i), "amount");
            }
            EXPECT_EQ(at(list, row, 7), QString());
            if (HasFailure())
                return;
        }
        const int totalRow = 4 + std::max(1, n);
        EXPECT_EQ(at(list, totalRow, 4), QStringLiteral("Total"));
        const double total = PaymentRecords::sum(n, PaymentRecords::total);
        const double members = PaymentRecords::sum(n, [](int i) { return 1.0 + i % 6; });
        expectNumber(at(list, totalRow, 5), total, "total amount");
        expectNumber(at(list, totalRow, 6), members, "members");
        EXPECT_EQ(at(list, totalRow + 1, 1), QStringLiteral("Intocmit: POP ANA, POP ANA"));

        // The other sheet's references follow the rows that moved.
        const auto summary = csv(QStringLiteral("registru-%1").arg(n), QStringLiteral("Rezumat"));
        EXPECT_EQ(at(summary, 1, 1), QStringLiteral("TURENI"));
        expectNumber(at(summary, 2, 2), total, "total on the summary sheet");
        expectNumber(at(summary, 3, 2), members, "members on the summary sheet");
        EXPECT_EQ(at(summary, 4, 1), QStringLiteral("Luna 03.2024"));
    }
}

TEST_F(FilledTemplates, LibreOfficeReadsTheSupplierListWithTextZeros)
{
    const auto rows = csv(QStringLiteral("premier"), QStringLiteral("Sheet1"));
    ASSERT_GE(rows.size(), 3);
    EXPECT_EQ(rows[0][0], QStringLiteral("NRCRT FISIERE"));
    // The emptied row tag is the last column: LibreOffice writes no field for it.
    const QStringList first = rows[1];
    EXPECT_EQ(first, (QStringList{QStringLiteral("1"), QStringLiteral("POP ION"), QStringLiteral("1850101123456"),
                                  QStringLiteral("TURENI"), QStringLiteral("Str. Mare 1"), QStringLiteral("0"),
                                  QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
                                  QStringLiteral("0007"), QStringLiteral("3"), QStringLiteral("850"),
                                  QStringLiteral("12"), QStringLiteral("0"), QStringLiteral("0"),
                                  QStringLiteral("RO005E1"), QStringLiteral("95.5"), QStringLiteral("4540343")}));
    EXPECT_EQ(rows[2][0], QStringLiteral("2"));
    EXPECT_EQ(rows[2][9], QStringLiteral("0100"));
    EXPECT_EQ(rows[2][11], QStringLiteral("0")); // zero income and zero amount as the text "0"
    EXPECT_EQ(rows[2][16], QStringLiteral("0"));
}

// ---- Every template's totals, printed by LibreOffice ----

namespace {

// Totals are shown up to 99999999.99: a list's 12 rows of 4166666.66 total
// 49999999.92 a column, 99999999.84 where a column adds two (the bank report's);
// a fixed table's cells share the largest total.
constexpr double LargestTotal = 99999999.99;
constexpr int ListRows = 12;
constexpr double ListAmount = 4166666.66;

// The fixed tables the reports write cell by cell (rows and columns as the
// reports address them), holding counts or amounts.
struct FixedTable
{
    const char *book;
    int sheet, firstRow, lastRow, firstCol, lastCol;
    bool amounts;
};
const FixedTable FixedTables[] = {
    {"AJPIS.xls", 6, 7, 61, 5, 10, false},   // beneficiaries by bracket, months and household
    {"Anexa22.xls", 1, 8, 62, 5, 22, true},  // payments by bracket, months and household
    {"Anexa23.xls", 1, 9, 32, 4, 14, false}, // supplement holders by month and bracket
    {"Anexa24.xls", 1, 9, 32, 4, 14, true},  // their amounts
};

// A list field typed as the reports' queries give it, and its value in every row.
std::pair<MemoryDataSet::Column, QVariant> listField(const QString &name)
{
    static const QStringList amounts{"CUANTUM", "TOTAL", "SUMA", "SUMAL", "SUMAG", "SUMAE", "SUMAT"};
    static const QStringList counts{"NR_MEMBRI", "NR_LUNI", "NR_CERE", "NRPERS"};
    if (name == u"VENITM")
        return {{name, SqlType::Float}, 1386.01}; // an income per member, in a narrower column
    if (amounts.contains(name))
        return {{name, SqlType::Float}, ListAmount};
    if (counts.contains(name))
        return {{name, SqlType::Integer}, 5};
    if (name.startsWith(u"DATA"))
        return {{name, SqlType::Date}, QDate(2023, 1, 16)};
    return {{name, SqlType::Text}, name.toLower()};
}

class TemplateTotals : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        world = std::make_unique<FillerFixture>();
        const QDir templates(FillerFixture::committed(QStringLiteral("resources/templates")));
        QStringList files;
        for (const QString &name : templates.entryList({QStringLiteral("*.xls")}, QDir::Files, QDir::Name))
            files << fill(templates.filePath(name));
        out = world->dir() + QStringLiteral("/printed");
        IR::exportCsvWithSoffice(files, out, false);
        IR::convertWithSoffice(files, out, QStringLiteral("pdf"));
    }
    static void TearDownTestSuite() { world.reset(); }

    // The template filled as its report fills it; each sheet's first filled row noted.
    static QString fill(const QString &source)
    {
        const QFileInfo book(source);
        TExpXLSOLE filler;
        EXPECT_TRUE(filler.OpenTemplate(world->copy(source), false));
        for (int s = 1; s <= filler.XCell.SheetCount(); ++s) {
            filler.SelectSheet(s);
            if (const int first = std::max(fillFixedTable(filler, book.fileName(), s), fillList(filler)))
                firstRows[book.completeBaseName()][filler.XCell.ActiveSheetName()] = first;
        }
        filler.SelectSheet(1);
        filler.Save();
        const QString path = world->dir() + u'/' + book.fileName();
        QFile::remove(path);
        EXPECT_TRUE(QFile::rename(filler.WorkingCopy(), path));
        return path;
    }

    // Expands the sheet's list row over ListRows rows; its row, 0 when it has none.
    static int fillList(TExpXLSOLE &filler)
    {
        const TXlsImport &x = filler.XCell;
        for (int r = 1; r <= x.MaxRow(); ++r) {
            QList<MemoryDataSet::Column> fields;
            QVariantList values;
            bool listRow = false;
            for (int c = 1; c <= x.MaxCol(); ++c) {
                const QString text = x.GetCellValue(r, c).toString().trimmed().toUpper();
                listRow = listRow || text == u"#DBF";
                if (text.startsWith(u'#') && text != u"#DBF") {
                    const auto [field, value] = listField(text.mid(1));
                    fields << field;
                    values << value;
                }
            }
            if (!listRow)
                continue;
            MemoryDataSet data(fields, QList<QVariantList>(ListRows, values));
            data.Open();
            filler.FillFromDataSet(data);
            return r;
        }
        return 0;
    }

    // Writes the sheet's fixed table, every number cell alike: 1 for counts, the
    // largest total shared out for amounts; its first row, 0 when it has none.
    static int fillFixedTable(TExpXLSOLE &filler, const QString &book, int sheet)
    {
        for (const FixedTable &t : FixedTables) {
            if (book != QLatin1String(t.book) || sheet != t.sheet)
                continue;
            QList<QPoint> cells;
            for (int r = t.firstRow; r <= t.lastRow; ++r)
                for (int c = t.firstCol; c <= t.lastCol; ++c)
                    if (filler.XCell.GetCellValue(r, c).typeId() == QMetaType::Double)
                        cells.append({c, r});
            const double value = t.amounts ? std::floor(LargestTotal / double(cells.size()) * 100) / 100 : 1.0;
            for (const QPoint &p : cells)
                filler.SetCell(p.y(), p.x(), value);
            return t.firstRow;
        }
        return 0;
    }

    static inline std::unique_ptr<FillerFixture> world;
    static inline QMap<QString, QMap<QString, int>> firstRows; // book -> sheet -> first filled row
    static inline QString out;
};

} // namespace

// Each TOTAL adds its column's filled rows, and LibreOffice prints every total
// whole, the largest of eight figures included: no "###" or lost figures for a
// number wider than its column.
TEST_F(TemplateTotals, EachTotalAddsItsFilledRowsAndPrintsWhole)
{
    for (auto book = firstRows.cbegin(); book != firstRows.cend(); ++book) {
        SCOPED_TRACE(book.key().toStdString());
        QStringList printed;
        for (const IR::PdfWord &w : IR::pdfWords(out + u'/' + book.key() + QStringLiteral(".pdf")))
            printed << w.text;
        EXPECT_FALSE(printed.join(u' ').contains(QStringLiteral("###")));
        for (auto sheet = book->cbegin(); sheet != book->cend(); ++sheet) {
            SCOPED_TRACE(sheet.key().toStdString());
            const auto rows = IR::readCsv(out + u'/' + book.key() + u'-' + sheet.key() + QStringLiteral(".csv"));
            const auto totals = std::find_if(rows.cbegin(), rows.cend(), [](const QStringList &r) { return r.contains(u"TOTAL"); });
            for (int c = 0; totals != rows.cend() && c < totals->size(); ++c) {
                bool ok = false;
                const double total = totals->at(c).toDouble(&ok);
                if (!ok)
                    continue;
                double sum = 0;
                for (auto r = rows.cbegin() + sheet.value() - 1; r != totals; ++r)
                    sum += r->value(c).toDouble();
                EXPECT_NEAR(total, sum, 0.005) << "column " << c + 1;
                // Amounts show two decimals, counts none.
                EXPECT_TRUE(printed.contains(QString::number(total, 'f', 2)) || printed.contains(QString::number(total, 'f', 0)))
                    << "total not printed whole: " << total;
            }
        }
    }
}
