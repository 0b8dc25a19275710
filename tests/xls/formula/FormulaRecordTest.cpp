#include "FormulaTestSupport.h"

#include "xls/formula/FormulaRecord.h"
#include "xls/formula/FormulaRecords.h"
#include "xls/formula/NameRecordList.h"
#include "xls/formula/ShrFmlaRecord.h"
#include "xls/formula/ShrFmlaRecordList.h"
#include "xls/records/RecordFactory.h"
#include "xls/records/SheetInfo.h"
#include "xls/storage/ByteCursor.h"

#include <QBuffer>

#include <cstring>

namespace {

// FORMULA data for (row, col) with the given 8 result bytes and tokens.
QByteArray FormulaData(int row, int col, const QByteArray &result, const QByteArray &tokens, int options = 0)
{
    QByteArray d = Bytes({row & 0xFF, row >> 8, col, 0, 15, 0}); // row, column, XF 15
    d += result;                                                 // 6: cached result
    d += Bytes({options & 0xFF, options >> 8, 0x11, 0x22, 0x33, 0x44}); // 14: options, 16: reserved
    d += Bytes({int(tokens.size()) & 0xFF, int(tokens.size()) >> 8}) + tokens;
    return d;
}

QByteArray Dbl(double v)
{
    QByteArray b(8, '\0');
    std::memcpy(b.data(), &v, 8);
    return b;
}

// The error placeholder every loaded formula is saved with.
const QByteArray Placeholder = Bytes({2, 0, 0, 0, 0, 0, 0xFF, 0xFF});
const QByteArray A1Plus1 = Bytes({0x44, 0, 0, 0, 0xC0, 0x1E, 1, 0, 0x03});

QByteArray Saved(const TBaseRecord &r)
{
    QBuffer buf;
    buf.open(QIODevice::WriteOnly);
    r.SaveToStream(buf);
    return buf.data();
}

TEST(FormulaRecord, CachedResultsAreReadThenReplacedByThePlaceholder)
{
    struct Case
    {
        const char *Name;
        QByteArray Result;
        QVariant Value;
    };
    const Case cases[] = {
        {"number", Dbl(12.5), QVariant(12.5)},
        {"text comes later in a STRING record", Bytes({0, 0, 0, 0, 0, 0, 0xFF, 0xFF}), QVariant(QStringLiteral(""))},
        {"true", Bytes({1, 0, 1, 0, 0, 0, 0xFF, 0xFF}), QVariant(true)},
        {"false", Bytes({1, 0, 0, 0, 0, 0, 0xFF, 0xFF}), QVariant(false)},
        {"error", Bytes({2, 0, 7, 0, 0, 0, 0xFF, 0xFF}), QVariant(QStringLiteral("#DIV/0!"))},
        {"unknown error code", Bytes({2, 0, 99, 0, 0, 0, 0xFF, 0xFF}), QVariant()},
        {"empty text kind", Bytes({3, 0, 0, 0, 0, 0, 0xFF, 0xFF}), QVariant()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TFormulaRecord f(TFormulaRecord::Id, FormulaData(3, 2, c.Result, A1Plus1));
        EXPECT_EQ(f.GetValue(), c.Value);
        const QByteArray &d = f.Data();
        EXPECT_EQ(Hex(d.mid(6, 8)), Hex(Placeholder));
        EXPECT_EQ(Hex(d.mid(14, 6)), Hex(Bytes({0x02, 0, 0, 0, 0, 0}))) << "calculate on open, reserved cleared";
        EXPECT_EQ(Hex(d.mid(20)), Hex(Bytes({9, 0}) + A1Plus1)) << "tokens untouched";
    }
}

TEST(FormulaRecord, TextFromTheStringRecordAndDecodedText)
{
    TFormulaRecord f(TFormulaRecord::Id, FormulaData(0, 1, Bytes({0, 0, 0, 0, 0, 0, 0xFF, 0xFF}), A1Plus1));
    f.SetFormulaValue(QStringLiteral("Ion"));
    EXPECT_EQ(f.GetValue(), QVariant(QStringLiteral("Ion")));
    FakeReferences refs;
    FakeNames names;
    EXPECT_EQ(f.FormulaText(&names, &refs), QStringLiteral("=A1+1"));
}

TEST(FormulaRecord, ShortRecordsAreRefused)
{
    EXPECT_EQ(ErrorOf<std::exception>([] { TFormulaRecord f(TFormulaRecord::Id, QByteArray(21, '\0')); }),
              QStringLiteral("Record with ID 0x6 is invalid"));
    // A token count past the data is caught when the tokens are used.
    QByteArray d = FormulaData(0, 0, Dbl(0), A1Plus1);
    d[20] = 40;
    TFormulaRecord f(TFormulaRecord::Id, d);
    EXPECT_THROW(f.ShiftForInsert(0, 1, Sheets(0, 0), 0, 0), EExcelException);
    EXPECT_EQ(f.Row(), 0);
}

TEST(FormulaRecord, SharedFormulaIsExpandedForItsCell)
{
    // The cell at row 10, column 5 points at the shared formula of (9, 5).
    QByteArray d = FormulaData(10, 5, Dbl(0), Bytes({0x01, 9, 0, 5, 0}));
    TFormulaRecord f(TFormulaRecord::Id, d);
    quint32 key = 0;
    ASSERT_TRUE(f.IsSharedFormulaReference(key));
    EXPECT_EQ(key, 9u + 5u * 65536u);
    // SHRFMLA rows 9-11, column 5; tokens: relative (-1, -1) + 1
    const QByteArray tokens = Bytes({0x4C, 0xFF, 0xFF, 0xFF, 0xC0, 0x1E, 1, 0, 0x03});
    TShrFmlaRecord shared(TShrFmlaRecord::Id, Bytes({9, 0, 11, 0, 5, 5, 0, 0, 9, 0}) + tokens);
    const qint64 before = f.TotalSize();
    EXPECT_EQ(f.ExpandSharedFormula(shared), 4);
    EXPECT_EQ(f.TotalSize(), before + 4);
    EXPECT_EQ(Hex(f.Data().mid(20)), Hex(Bytes({9, 0, 0x44, 9, 0, 4, 0xC0, 0x1E, 1, 0, 0x03})));
    EXPECT_FALSE(f.IsSharedFormulaReference(key));
    EXPECT_EQ(Hex(f.Data().left(20)), Hex(d.left(6) + Placeholder + Bytes({2, 0, 0, 0, 0, 0})));

    TShrFmlaRecord bad(TShrFmlaRecord::Id, Bytes({9, 0, 11, 0, 5, 5, 0, 0, 50, 0}) + tokens);
    TFormulaRecord g(TFormulaRecord::Id, d);
    EXPECT_THROW(g.ExpandSharedFormula(bad), EExcelException);
}

TEST(FormulaRecord, InsertMovesTheCellAndItsReferences)
{
    // =A1+1 at B6 (row 5), rows inserted at row 0 of its own sheet
    TFormulaRecord f(TFormulaRecord::Id, FormulaData(5, 1, Dbl(1), A1Plus1));
    f.ShiftForInsert(0, 3, Sheets(0, 0), 0, 0);
    EXPECT_EQ(f.Row(), 8);
    EXPECT_EQ(Hex(f.Data().mid(22)), Hex(Bytes({0x44, 3, 0, 0, 0xC0, 0x1E, 1, 0, 0x03})));
    // in another sheet: nothing moves
    f.ShiftForInsert(0, 3, Sheets(1, 0), 0, 0);
    EXPECT_EQ(f.Row(), 8);
    EXPECT_EQ(quint8(f.Data()[23]), 3);
}

TEST(FormulaRecord, AFormulaThatCannotBeShiftedStaysWhereItWas)
{
    QByteArray d = FormulaData(5, 1, Dbl(1), Bytes({0x44, 7, 0, 0, 0xC0, 0x01, 0, 0, 0, 0, 0x03}));
    TFormulaRecord f(TFormulaRecord::Id, d);
    const QByteArray before = f.Data();
    EXPECT_EQ(ErrorOf<std::exception>([&] { f.ShiftForInsert(0, 2, Sheets(0, 0), 0, 0); }),
              QStringLiteral("Formula at Row 8, column 2 is not supported. Token Id: 0x 1"));
    EXPECT_EQ(Hex(f.Data()), Hex(before));
}

TEST(FormulaRecord, CopyMovesRelativeReferencesWithTheCell)
{
    const QByteArray tokens = Bytes({0x44, 0, 0, 0, 0xC0, 0x44, 0, 0, 1, 0x00, 0x03});
    TFormulaRecord f(TFormulaRecord::Id, FormulaData(0, 3, Dbl(1), tokens));
    f.OffsetForCopy(1, 0);
    EXPECT_EQ(f.Row(), 1);
    EXPECT_EQ(Hex(f.Data().mid(22)), Hex(Bytes({0x44, 1, 0, 0, 0xC0, 0x44, 0, 0, 1, 0x00, 0x03})));
    const QByteArray kept = f.Data();
    EXPECT_THROW(f.OffsetForCopy(70000, 0), EExcelException);
    EXPECT_EQ(Hex(f.Data()), Hex(kept));
}

TEST(FormulaRecord, TableAndArrayRecordsTravelWithTheFormula)
{
    TFormulaRecord f(TFormulaRecord::Id, FormulaData(4, 2, Dbl(0), Bytes({0x02, 4, 0, 2, 0})));
    // rows 4-6, columns 2-3, two input cells: (0,0) and (1, 254)
    const QByteArray table = Bytes({4, 0, 6, 0, 2, 3, 0x08, 0, 0, 0, 0, 0, 1, 0, 254, 0});
    std::unique_ptr<TBaseRecord> t = std::make_unique<TTableRecord>(TTableRecord::Id, table);
    ASSERT_TRUE(f.AttachFollowing(t));
    std::unique_ptr<TBaseRecord> a = std::make_unique<TArrayRecord>(TArrayRecord::Id, QByteArray(16, '\1'));
    ASSERT_TRUE(f.AttachFollowing(a));
    std::unique_ptr<TBaseRecord> other = std::make_unique<TBaseRecord>(0x0203, QByteArray(14, '\0'));
    EXPECT_FALSE(f.AttachFollowing(other));

    EXPECT_EQ(f.TotalSize(), 4 + 27 + 4 + 16 + 4 + 16);
    const QByteArray saved = Saved(f);
    EXPECT_EQ(saved.size(), f.TotalSize());
    EXPECT_EQ(Hex(saved.mid(31, 4)), Hex(Bytes({0x21, 0x02, 16, 0}))) << "the array record follows the formula";
    EXPECT_EQ(Hex(saved.mid(51, 4)), Hex(Bytes({0x36, 0x02, 16, 0}))) << "then the table record";

    auto clone = f.Clone();
    auto *cf = dynamic_cast<TFormulaRecord *>(clone.get());
    ASSERT_NE(cf, nullptr);
    EXPECT_EQ(Hex(Saved(*cf)), Hex(saved));

    // Two rows inserted at row 5 of the formula's sheet.
    f.ShiftForInsert(5, 2, Sheets(0, 0), 1, 3);
    EXPECT_EQ(Hex(f.TableRecord()->Data()), Hex(Bytes({4, 0, 8, 0, 2, 4, 0x08, 0, 0, 0, 0, 0, 1, 0, 255, 0})));
    // Column IV does not move any more; row 65534 pushed off the sheet marks its input cell deleted.
    f.TableRecord()->Shift(0, 0, 0, 1, true);
    EXPECT_EQ(Hex(f.TableRecord()->Data().mid(12)), Hex(Bytes({1, 0, 255, 0})));
    TTableRecord low(TTableRecord::Id, Bytes({4, 0, 6, 0, 2, 3, 0x08, 0, 0xFE, 0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
    low.Shift(0, 2, 0, 0, true);
    EXPECT_EQ(Hex(low.Data().mid(8)), Hex(Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})));
    EXPECT_EQ(Hex(low.Data().left(6)), Hex(Bytes({6, 0, 8, 0, 2, 3})));
    // A range end that cannot move refuses the whole shift.
    TTableRecord high(TTableRecord::Id, Bytes({4, 0, 0xFE, 0xFF, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(ErrorOf<std::exception>([&] { high.Shift(0, 2, 0, 0, true); }),
              QStringLiteral("Too many entries for this kind of record (65536 out of a maximum of 65535)"));
    EXPECT_EQ(Hex(high.Data().left(4)), Hex(Bytes({4, 0, 0xFE, 0xFF})));
    // The clone did not change with it.
    EXPECT_EQ(Hex(cf->TableRecord()->Data()), Hex(table));
}

TEST(FormulaRecord, FactoryMakesFormulaClassesOnceRegistered)
{
    RegisterFormulaRecords();
    RegisterFormulaRecords(); // twice does no harm
    const QByteArray formula = FormulaData(1, 1, Dbl(5), A1Plus1);
    auto r = CreateRecord(TFormulaRecord::Id, formula);
    EXPECT_NE(dynamic_cast<TFormulaRecord *>(r.get()), nullptr);
    EXPECT_NE(dynamic_cast<TNameRecord *>(CreateRecord(TNameRecord::Id, QByteArray(15, '\0')).get()), nullptr);
    EXPECT_NE(dynamic_cast<TShrFmlaRecord *>(CreateRecord(TShrFmlaRecord::Id, QByteArray(10, '\0')).get()), nullptr);

    // Stream: FORMULA, ARRAY (attached), STRING (left for the sheet).
    QByteArray stream = Bytes({0x06, 0x00, int(formula.size()), 0}) + formula
        + Bytes({0x21, 0x02, 14, 0}) + QByteArray(14, '\0') + Bytes({0x07, 0x02, 4, 0, 1, 0, 0, 'x'});
    ByteCursor c(stream);
    quint32 header = 0;
    ASSERT_TRUE(ReadRecordHeader(c, header));
    auto read = ReadBiffRecord(c, header);
    auto *f = dynamic_cast<TFormulaRecord *>(read.get());
    ASSERT_NE(f, nullptr);
    EXPECT_NE(f->ArrayRecord(), nullptr);
    EXPECT_EQ(f->GetValue(), QVariant(5.0));
}

TEST(ShrFmlaRecordList, FindGivesTheFirstOfEqualKeys)
{
    TShrFmlaRecordList list;
    for (quint32 key : {30u, 10u, 20u, 10u, 0x80000000u}) {
        auto r = std::make_unique<TShrFmlaRecord>(TShrFmlaRecord::Id, QByteArray(10, char(key & 0xFF)));
        r->Key = key;
        list.Add(std::move(r));
    }
    int index = -1;
    EXPECT_TRUE(list.Find(10, index));
    EXPECT_EQ(index, 0);
    EXPECT_EQ(list[index]->Data().at(0), char(10));
    EXPECT_TRUE(list.Sorted());
    EXPECT_TRUE(list.Find(0x80000000u, index)) << "keys compare unsigned";
    EXPECT_EQ(index, 4);
    EXPECT_FALSE(list.Find(25, index));
    EXPECT_EQ(index, 3);
    list.Add(std::make_unique<TShrFmlaRecord>(TShrFmlaRecord::Id, QByteArray(10, '\0')));
    EXPECT_FALSE(list.Sorted());
    EXPECT_EQ(list.TotalSize(), 6 * 14);
}

} // namespace
