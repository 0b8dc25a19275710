// The template filler on both back-ends: opening, tags, cells, row copies,
// sheets and the "#DBF" row, read back from the saved working copy.

#include "FillerFixture.h"
#include "PaymentRecords.h"
#include "SavedWorkbook.h"

#include "documents/CellTextFit.h"
#include "documents/DocumentError.h"
#include "documents/DocumentFolder.h"
#include "documents/ExpXLSOLE.h"
#include "platform/sql/SqlError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

// Where each template keeps what the tests look at.
struct Layout
{
    const char *name;
    QString (*source)();
    int sheets;
    int fillSheet;   // the sheet whose "#DBF" row the fill tests expand
    int templateRow; // that row
    int dbfCol;
    int nrCol, nameCol, numberCol, dateCol;
    int labelRow, labelCol; // a text below the template row
    QString label;
};

const Layout Layouts[] = {
    // The payment list's second sheet spells its row tag "#dbf ".
    {"xls", &FillerFixture::statSource, 3, 2, 7, 16, 1, 3, 10, 6, 8, 7, QStringLiteral("TOTAL")},
    {"xlsx", &FillerFixture::registerSource, 2, 1, 4, 7, 1, 3, 5, 4, 5, 4, QStringLiteral("Total")},
};

void PrintTo(const Layout &l, std::ostream *out)
{
    *out << l.name;
}

std::string layoutName(const testing::TestParamInfo<Layout> &info)
{
    return info.param.name;
}

// A cell no template uses, inside every sheet's used range.
constexpr int FreeRow = 3, FreeCol = 2;

class FillerTest : public testing::TestWithParam<Layout>, public FillerFixture
{
protected:
    void open()
    {
        ASSERT_TRUE(filler.OpenTemplate(copy(GetParam().source()), true));
    }
    // Saves, closes and reads the working copy back.
    std::unique_ptr<SavedWorkbook> saved()
    {
        filler.Save();
        return std::make_unique<SavedWorkbook>(filler.WorkingCopy());
    }
    void fill(TDataSet &data)
    {
        filler.SelectSheet(GetParam().fillSheet);
        filler.FillFromDataSet(data);
    }

    TExpXLSOLE filler;
};

void expectNoWorkbook(TExpXLSOLE &filler)
{
    EXPECT_FALSE(filler.XCell.IsFileOpen());
    EXPECT_FALSE(filler.UsesAutomation());
    try {
        filler.SetCell(1, 1, QStringLiteral("x"));
        ADD_FAILURE() << "a cell was written with no workbook open";
    } catch (const std::runtime_error &e) {
        EXPECT_STREQ(e.what(), "There is no open file");
    }
}

void expectCell(const QVariant &actual, const QVariant &expected, const char *what)
{
    SCOPED_TRACE(what);
    if (!expected.isValid()) {
        EXPECT_FALSE(actual.isValid()) << actual.toString().toStdString();
        return;
    }
    ASSERT_EQ(actual.typeId(), expected.typeId()) << actual.toString().toStdString();
    if (expected.typeId() == QMetaType::Double)
        EXPECT_DOUBLE_EQ(actual.toDouble(), expected.toDouble());
    else
        EXPECT_EQ(actual.toString(), expected.toString());
}

} // namespace

// ---- opening and closing ----

TEST_P(FillerTest, WorkingCopyHasTheTemplatesFormatAndTheTemplateStaysAsItWas)
{
    const QString source = copy(GetParam().source());
    QFile in(source);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QByteArray before = in.readAll();
    in.close();

    ASSERT_TRUE(filler.OpenTemplate(source, false));
    EXPECT_EQ(filler.UsesAutomation(), QByteArray(GetParam().name) == "xlsx");
    const QFileInfo copyInfo(filler.WorkingCopy());
    EXPECT_TRUE(copyInfo.fileName().startsWith(u"XLSTmp"));
    EXPECT_EQ(copyInfo.suffix(), QString::fromLatin1(GetParam().name));
    filler.ReplaceTag(QStringLiteral("#LUNA"), QStringLiteral("03.2024"));
    filler.Save();

    EXPECT_TRUE(shell.openedDocuments.isEmpty());
    EXPECT_EQ(XlsxWorkbook::hasSignature(filler.WorkingCopy()), filler.WorkingCopy().endsWith(u".xlsx"));
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    EXPECT_EQ(in.readAll(), before);
    expectNoWorkbook(filler);
}

TEST_P(FillerTest, SaveAndShowOpensTheWorkbookKeptInTheDocumentFolder)
{
    open();
    const QString kept = filler.SaveAndShow(QStringLiteral("Stat de plata"));
    EXPECT_EQ(kept, DocumentFolder::folder() + QStringLiteral("/Stat de plata.") + QString::fromLatin1(GetParam().name));
    ASSERT_EQ(shell.openedDocuments, QStringList{kept});
    EXPECT_EQ(SavedWorkbook(kept).sheetCount(), GetParam().sheets);
}

TEST_P(FillerTest, BlankValueIsResetByEachOpen)
{
    open();
    EXPECT_EQ(filler.BlankValue, QVariant(QString()));
    filler.BlankValue = 0;
    open();
    EXPECT_EQ(filler.BlankValue.typeId(), QMetaType::QString);
    EXPECT_TRUE(filler.BlankValue.toString().isEmpty());
}

TEST_P(FillerTest, AFailedOpenLeavesNoWorkbookOpen)
{
    struct Case
    {
        const char *name;
        QByteArray bytes; // empty: no file at all
    };
    const Case cases[] = {
        {"missing template", {}},
        {"empty file", QByteArray("", 0)},
        {"text file", "Nr. crt.;Titular\r\n1;POPESCU\r\n"},
        {"compound document signature and nothing after it", QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)},
        {"zip signature and nothing after it", QByteArray("PK\x03\x04", 4)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        open(); // the workbook open before must be closed by the failed open
        if (c.bytes.isNull()) {
            EXPECT_FALSE(filler.OpenTemplate(dir() + QStringLiteral("/absent.xls"), true));
        } else {
            // A template that is there but unreadable says why, after naming it.
            const QString path = file(QStringLiteral("bad.xls"), c.bytes);
            const QString lead = QStringLiteral("Nu pot citi modelul %1: ").arg(QDir::toNativeSeparators(path));
            try {
                filler.OpenTemplate(path, true);
                ADD_FAILURE() << "opened";
            } catch (const DocumentError &e) {
                const QString message = QString::fromUtf8(e.what());
                EXPECT_TRUE(message.startsWith(lead) && message.size() > lead.size()) << e.what();
            }
        }
        expectNoWorkbook(filler);
    }
}

TEST_P(FillerTest, NoFreeTemporaryNameMeansNoWorkbook)
{
    open();
    const QString ext = u'.' + QString::fromLatin1(GetParam().name);
    while (true) {
        try {
            // Every name handed out stays open in the office suite.
            const QFileInfo name(Form1().TempFileName(QStringLiteral("XLSTmp"), ext));
            QFile lock(name.dir().filePath(QStringLiteral(".~lock.") + name.fileName() + u'#'));
            ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
        } catch (const std::runtime_error &) {
            break; // all thousand names taken
        }
    }
    // Not a missing template: the core's message goes to the clerk.
    EXPECT_THROW(filler.OpenTemplate(copy(GetParam().source()), true), std::runtime_error);
    expectNoWorkbook(filler);
}

// ---- tags ----

struct ReplaceCase
{
    const char *name;
    QVariant cell;  // what the cell holds before
    QString tag;
    QVariant value;
    QVariant expected; // invalid: an empty cell
};

TEST_P(FillerTest, ReplaceTag)
{
    const ReplaceCase cases[] = {
        {"a whole tag takes a number as a number", QStringLiteral("#SUMA"), QStringLiteral("#SUMA"), 150.5, 150.5},
        {"whole tag in other letter case", QStringLiteral("#Suma"), QStringLiteral("#SUMA"), 7, 7.0},
        {"blanks around make it part of a text", QStringLiteral(" #SUMA"), QStringLiteral("#SUMA"), 7,
         QStringLiteral(" 7")},
        {"a number inside a text is written with a point", QStringLiteral("Total #SUMA lei"),
         QStringLiteral("#suma"), 1.5, QStringLiteral("Total 1.5 lei")},
        {"every occurrence is replaced", QStringLiteral("#N si #n"), QStringLiteral("#N"), QStringLiteral("x"),
         QStringLiteral("x si x")},
        // Searching again from the start would never end here.
        {"a value holding its tag is put in once", QStringLiteral("[#X]"), QStringLiteral("#X"),
         QStringLiteral("a#Xb"), QStringLiteral("[a#Xb]")},
        {"a value holding its tag twice, twice over", QStringLiteral("#X#X"), QStringLiteral("#X"),
         QStringLiteral("#X#X"), QStringLiteral("#X#X#X#X")},
        {"an empty value empties a whole-tag cell", QStringLiteral("#X"), QStringLiteral("#X"), QString(), QVariant()},
        {"an empty value cuts the tag out of a text", QStringLiteral("a #X b"), QStringLiteral("#X"), QString(),
         QStringLiteral("a  b")},
        {"a code keeps its leading zeros", QStringLiteral("#COD"), QStringLiteral("#COD"), QStringLiteral("00123"),
         QStringLiteral("00123")},
        // Text stays text: nothing reads "1.5" as fifteen, or as a number at all.
        {"text that looks like a number stays text", QStringLiteral("#V"), QStringLiteral("#V"),
         QStringLiteral("1.5"), QStringLiteral("1.5")},
        {"a date inside a text", QStringLiteral("din #D"), QStringLiteral("#D"), QDate(2024, 3, 1),
         QStringLiteral("din 01.03.2024")},
        {"only ASCII letters are matched without regard to case", QStringLiteral("#\u015Ftampila"),
         QStringLiteral("#\u015ETAMPILA"), QStringLiteral("x"), QStringLiteral("#\u015Ftampila")},
        {"an empty tag replaces nothing", QStringLiteral("abc"), QString(), QStringLiteral("x"),
         QStringLiteral("abc")},
        {"a number without the tag keeps its value", 42.0, QStringLiteral("#X"), QStringLiteral("y"), 42.0},
    };
    for (const ReplaceCase &c : cases) {
        SCOPED_TRACE(c.name);
        open();
        filler.SetCell(FreeRow, FreeCol, c.cell);
        filler.ReplaceTag(c.tag, c.value);
        expectCell(saved()->value(1, FreeRow, FreeCol), c.expected, c.name);
    }
}

TEST_P(FillerTest, TagsAreReplacedOnTheActiveSheetOnly)
{
    open();
    const int last = GetParam().sheets;
    for (int sheet = 1; sheet <= last; ++sheet) {
        filler.SelectSheet(sheet);
        filler.SetCell(FreeRow, FreeCol, QStringLiteral("#FOAIE"));
    }
    filler.SelectSheet(last);
    filler.ReplaceTag(QStringLiteral("#FOAIE"), QStringLiteral("ultima"));
    auto book = saved();
    EXPECT_EQ(book->value(last, FreeRow, FreeCol), QVariant(QStringLiteral("ultima")));
    for (int sheet = 1; sheet < last; ++sheet)
        EXPECT_EQ(book->value(sheet, FreeRow, FreeCol), QVariant(QStringLiteral("#FOAIE"))) << sheet;
}

// ---- sheets and rows ----

TEST_P(FillerTest, SheetNumbersOutsideTheWorkbookChangeNothing)
{
    const int beyond = GetParam().sheets + 1;
    for (int n : {0, -1, beyond, 1000}) {
        SCOPED_TRACE(n);
        open();
        filler.SelectSheet(2);
        filler.SelectSheet(n);
        filler.SetCell(FreeRow, FreeCol, QStringLiteral("aici"));
        auto book = saved();
        EXPECT_EQ(book->value(2, FreeRow, FreeCol), QVariant(QStringLiteral("aici")));
        EXPECT_NE(book->value(1, FreeRow, FreeCol), QVariant(QStringLiteral("aici")));
    }
}

TEST_P(FillerTest, CopyRowsBelowOneCopiesNothingAndDeletesNothing)
{
    const Layout &l = GetParam();
    for (int count : {0, -1, -5}) {
        SCOPED_TRACE(count);
        open();
        filler.SelectSheet(l.fillSheet);
        filler.CopyRows(l.templateRow, count);
        auto book = saved();
        EXPECT_EQ(book->value(l.fillSheet, l.labelRow, l.labelCol), QVariant(l.label));
        EXPECT_EQ(book->value(l.fillSheet, l.templateRow, l.nrCol), QVariant(QStringLiteral("%NRCRT")));
    }
}

TEST_P(FillerTest, CopyRowsInsertsCopiesAtTheRow)
{
    const Layout &l = GetParam();
    open();
    filler.SelectSheet(l.fillSheet);
    filler.CopyRows(l.templateRow, 2);
    auto book = saved();
    for (int row = l.templateRow; row <= l.templateRow + 2; ++row)
        EXPECT_EQ(book->value(l.fillSheet, row, l.nrCol), QVariant(QStringLiteral("%NRCRT"))) << row;
    EXPECT_EQ(book->value(l.fillSheet, l.labelRow + 2, l.labelCol), QVariant(l.label));
    EXPECT_NE(book->value(l.fillSheet, l.labelRow, l.labelCol), QVariant(l.label));
}

// ---- the "#DBF" row ----

TEST_P(FillerTest, ThreeRecordsGiveTheTemplateRowAndTwoCopies)
{
    const Layout &l = GetParam();
    auto data = PaymentRecords::dataSet(3);
    open();
    fill(*data);
    auto book = saved();
    const int s = l.fillSheet;
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const int row = l.templateRow + i;
        EXPECT_EQ(book->value(s, row, l.nrCol), QVariant(double(i + 1)));
        EXPECT_EQ(book->value(s, row, l.nameCol), QVariant(PaymentRecords::name(i)));
        EXPECT_EQ(book->value(s, row, l.numberCol), QVariant(PaymentRecords::total(i)));
        EXPECT_EQ(book->value(s, row, l.dateCol), QVariant(double(QDate(1899, 12, 30).daysTo(PaymentRecords::date(i)))));
        EXPECT_FALSE(book->value(s, row, l.dbfCol).isValid());
    }
    EXPECT_EQ(book->value(s, l.labelRow + 2, l.labelCol), QVariant(l.label));
    EXPECT_NE(book->value(s, l.labelRow, l.labelCol), QVariant(l.label));
}

// A text wider than its column wraps in a row as high as it needs; a short
// one leaves its row and format as the template has them, also between two
// long ones.
TEST_P(FillerTest, ALongTextWrapsInARowAsHighAsItNeeds)
{
    const Layout &l = GetParam();
    QVariantList longRow = PaymentRecords::record(0);
    const QString longName = QStringLiteral("POPESCU-ŢĂRANU ION GHEORGHE VASILE CONSTANTIN ALEXANDRU MIHAI ŞTEFAN DUMITRU");
    longRow[1] = longName;   // TITULAR
    longRow[15] = longName;  // NUME
    QVariantList endlessRow = PaymentRecords::record(2);
    endlessRow[1] = endlessRow[15] = longName.repeated(60);
    MemoryDataSet data(PaymentRecords::columns(), {longRow, PaymentRecords::record(1), longRow, endlessRow});
    data.Open();
    const double templateHeight = SavedWorkbook(GetParam().source()).rowHeight(l.fillSheet, l.templateRow);
    open();
    fill(data);
    auto book = saved();
    const int s = l.fillSheet;
    EXPECT_TRUE(book->wraps(s, l.templateRow, l.nameCol));
    EXPECT_GE(book->rowHeight(s, l.templateRow), 3 * templateHeight);
    EXPECT_FALSE(book->wraps(s, l.templateRow + 1, l.nameCol));
    EXPECT_DOUBLE_EQ(book->rowHeight(s, l.templateRow + 1), templateHeight);
    EXPECT_TRUE(book->wraps(s, l.templateRow + 2, l.nameCol));
    EXPECT_EQ(book->rowHeight(s, l.templateRow + 2), book->rowHeight(s, l.templateRow));
    // No row grows past what spreadsheet programs accept.
    EXPECT_DOUBLE_EQ(book->rowHeight(s, l.templateRow + 3), 409.6);
}

// The heights above, pinned in twips: a line is 1.3 times the type size, with
// two points of padding; at 10 pt an "a" takes 5.88 pt and a blank 2.94 pt
// (0.56 and 0.28 em, 5 % wider for a face that stands in).
TEST(CellTextFit, RowHeightsOfKnownTexts)
{
    const struct
    {
        const char *name;
        const char *text;
        double widthPt, sizePt;
        int twips;
    } cases[] = {
        {"one line", "Ion", 100, 10, 300},                            // (13 + 2) * 20
        {"a part of a twip counts whole", "Ion", 100, 10.25, 307},    // (13.325 + 2) * 20 = 306.5
        {"two words that fit only without the blank", "aaaa aaaa", 48, 10, 560}, // 23.52 + 2.94 + 23.52 > 48
        {"a word 2.5 columns wide", "aaaaa", 29.4 / 2.5, 10, 820},    // three lines: (39 + 2) * 20
    };
    for (const auto &c : cases) {
        const int lines = CellTextFit::lines(QString::fromLatin1(c.text), c.widthPt, c.sizePt, false);
        EXPECT_EQ(CellTextFit::rowHeightTwips(lines, c.sizePt), c.twips) << c.name;
    }
}

TEST_P(FillerTest, AnEmptyDataSetBlanksTheTemplateRowAndMovesNothing)
{
    const Layout &l = GetParam();
    auto data = PaymentRecords::dataSet(0);
    open();
    fill(*data);
    auto book = saved();
    const int s = l.fillSheet;
    for (int col = 1; col <= l.dbfCol; ++col)
        EXPECT_FALSE(book->value(s, l.templateRow, col).isValid()) << col;
    EXPECT_EQ(book->value(s, l.labelRow, l.labelCol), QVariant(l.label));
}

TEST_P(FillerTest, ZeroNumbersTakeTheBlankValue)
{
    struct Case
    {
        const char *name;
        QVariant blank;
        QVariant expected;
    };
    const Case cases[] = {
        {"empty text leaves the cell empty", QString(), QVariant()},
        {"no value at all leaves the cell empty", QVariant(), QVariant()},
        {"the integer 0 writes a zero", 0, 0.0},
        {"the text 0 writes text", QStringLiteral("0"), QStringLiteral("0")},
    };
    const Layout &l = GetParam();
    auto data = PaymentRecords::dataSet(4); // record 3 has a zero total
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        open();
        filler.BlankValue = c.blank;
        fill(*data);
        auto book = saved();
        expectCell(book->value(l.fillSheet, l.templateRow + 3, l.numberCol), c.expected, c.name);
        EXPECT_EQ(book->value(l.fillSheet, l.templateRow + 2, l.numberCol), QVariant(PaymentRecords::total(2)));
    }
}

TEST_P(FillerTest, ValuesOfAnyKindInTextAndNumberFields)
{
    const Layout &l = GetParam();
    const bool xls = l.numberCol == 10;
    struct Row
    {
        const char *name;
        QVariant text, number;
        QVariant textCell, numberCell;
    };
    const Row rows[] = {
        {"a number in a text field, a text in a number field", 42, QStringLiteral("12.5"), QStringLiteral("42"), 12.5},
        {"nulls", QVariant(), QVariant(), QVariant(), QVariant()},
        {"an integer", QStringLiteral("ANA"), 3, QStringLiteral("ANA"), 3.0},
        {"an empty text and a double", QString(), 2.5, QVariant(), 2.5},
    };
    QList<QVariantList> values;
    for (const Row &r : rows)
        values.append({r.text, r.number});
    MemoryDataSet data({{xls ? QStringLiteral("TITULAR") : QStringLiteral("NUME"), SqlType::Text},
                        {xls ? QStringLiteral("TOTAL") : QStringLiteral("SUMA"), SqlType::Float}},
                       values);
    data.Open();
    open();
    fill(data);
    auto book = saved();
    for (int i = 0; i < int(std::size(rows)); ++i) {
        expectCell(book->value(l.fillSheet, l.templateRow + i, l.nameCol), rows[i].textCell, rows[i].name);
        expectCell(book->value(l.fillSheet, l.templateRow + i, l.numberCol), rows[i].numberCell, rows[i].name);
    }
}

TEST_P(FillerTest, CellsNamingNoFieldKeepTheirText)
{
    const Layout &l = GetParam();
    auto data = PaymentRecords::dataSet(2);
    open();
    filler.SelectSheet(l.fillSheet);
    filler.SetCell(l.templateRow, l.dbfCol - 1, QStringLiteral("#NOSUCH"));
    filler.FillFromDataSet(*data);
    auto book = saved();
    for (int row : {l.templateRow, l.templateRow + 1})
        EXPECT_EQ(book->value(l.fillSheet, row, l.dbfCol - 1), QVariant(QStringLiteral("#NOSUCH"))) << row;
}

TEST_P(FillerTest, FieldsAreFoundWithoutRegardToCaseFirstInOrder)
{
    const Layout &l = GetParam();
    const QString field = l.numberCol == 10 ? QStringLiteral("total") : QStringLiteral("suma");
    MemoryDataSet data({{field, SqlType::Float}, {field.toUpper(), SqlType::Float}}, {{1.25, 9.0}});
    data.Open();
    open();
    fill(data);
    EXPECT_EQ(saved()->value(l.fillSheet, l.templateRow, l.numberCol), QVariant(1.25));
}

TEST_P(FillerTest, NothingHappensWithoutAnOpenDataSetOrARowTag)
{
    const Layout &l = GetParam();
    auto closed = PaymentRecords::dataSet(3);
    closed->Close();
    auto data = PaymentRecords::dataSet(3);
    data->Next();
    open();
    filler.SelectSheet(l.fillSheet);
    filler.FillFromDataSet(*closed);
    // Another sheet, its row tag (if any) taken out.
    const int other = l.fillSheet == 1 ? 2 : 1;
    filler.SelectSheet(other);
    filler.ReplaceTag(QStringLiteral("#DBF"), QString());
    const int otherRows = filler.XCell.IsFileOpen() ? filler.XCell.MaxRow() : 0;
    filler.FillFromDataSet(*data);
    EXPECT_EQ(data->RecNo(), 2);
    if (filler.XCell.IsFileOpen()) {
        EXPECT_EQ(filler.XCell.MaxRow(), otherRows);
    }
    auto book = saved();
    EXPECT_EQ(book->value(l.fillSheet, l.templateRow, l.nrCol), QVariant(QStringLiteral("%NRCRT")));
    EXPECT_EQ(book->value(l.fillSheet, l.labelRow, l.labelCol), QVariant(l.label));
}

TEST_P(FillerTest, TheDataSetIsLeftOnItsRecord)
{
    struct Case
    {
        const char *name;
        int moves; // Next() calls before the fill
    };
    for (const Case &c : {Case{"first", 0}, Case{"third", 2}, Case{"past the end", 5}}) {
        SCOPED_TRACE(c.name);
        auto data = PaymentRecords::dataSet(3);
        for (int i = 0; i < c.moves; ++i)
            data->Next();
        const int recNo = data->RecNo();
        const bool eof = data->Eof();
        open();
        fill(*data);
        EXPECT_EQ(data->RecNo(), recNo);
        EXPECT_EQ(data->Eof(), eof);
        filler.Save();
    }
}

TEST_P(FillerTest, TheDataSetIsLeftOnItsRecordAfterAnError)
{
    const Layout &l = GetParam();
    const QString field = l.numberCol == 10 ? QStringLiteral("TOTAL") : QStringLiteral("SUMA");
    // A number column holding text that is no number: the second record raises.
    MemoryDataSet data({{field, SqlType::Float}}, {{1.0}, {QStringLiteral("abc")}, {3.0}});
    data.Open();
    data.Next();
    data.Next();
    open();
    filler.SelectSheet(l.fillSheet);
    EXPECT_THROW(filler.FillFromDataSet(data), SqlError);
    EXPECT_EQ(data.RecNo(), 3);
}


INSTANTIATE_TEST_SUITE_P(BothBackEnds, FillerTest, testing::ValuesIn(Layouts), layoutName);

// A sheet of the file engine's format holds 65,536 rows.
TEST(FillerLimits, MoreRecordsThanASheetHoldsRaiseAndLeaveTheDataSetInPlace)
{
    FillerFixture world;
    TExpXLSOLE filler;
    ASSERT_TRUE(filler.OpenTemplate(world.copy(FillerFixture::statSource()), false));
    const int rowsBefore = filler.XCell.MaxRow();
    auto data = PaymentRecords::dataSet(70000);
    data->Next();
    EXPECT_THROW(filler.FillFromDataSet(*data), std::runtime_error);
    EXPECT_EQ(data->RecNo(), 2);
    EXPECT_EQ(filler.XCell.MaxRow(), rowsBefore);
    EXPECT_EQ(filler.XCell.GetCellValue(7, 1), QVariant(QStringLiteral("%NRCRT")));
}
