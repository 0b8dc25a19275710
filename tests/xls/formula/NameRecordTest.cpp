#include "FormulaTestSupport.h"

#include "xls/formula/NameRecordList.h"
#include "xls/records/SheetInfo.h"

namespace {

// 3-D area on extern sheet 1: rows r1..r2, columns c1..c2 (absolute).
QByteArray Area3D(int externSheet, int r1, int r2, int c1, int c2)
{
    return Bytes({0x3B, externSheet, 0, r1 & 0xFF, r1 >> 8, r2 & 0xFF, r2 >> 8, c1, 0, c2, 0});
}

TEST(NameRecord, RangeOfASingle3DArea)
{
    // From the first cell of the sheet to the tenth row of the third column.
    auto name = NameRecord("Zona", 0, Area3D(1, 0, 9, 0, 2));
    EXPECT_EQ(name->Name(), QStringLiteral("Zona"));
    EXPECT_EQ(name->NameSheetIndex(), 0);
    EXPECT_EQ(name->FirstRow(), 0);
    EXPECT_EQ(name->LastRow(), 9);
    EXPECT_EQ(name->FirstColumn(), 0);
    EXPECT_EQ(name->LastColumn(), 2);
    EXPECT_EQ(name->RangeSheet([](int externSheet) { return externSheet + 10; }), 11);

    const QByteArray before = name->Data();
    EXPECT_EQ(name->SetLastRow(19), 0);
    QByteArray expected = before;
    expected[15 + 4 + 5] = 19; // only the last row changed
    EXPECT_EQ(Hex(name->Data()), Hex(expected));
    EXPECT_EQ(name->SetLastColumn(0x4005), 0);
    EXPECT_EQ(name->LastColumn(), 5) << "written absolute, low byte only";
    EXPECT_EQ(quint8(name->Data()[15 + 4 + 10]), 0);
}

TEST(NameRecord, SettingARangeOfOneCellMakesItAnAreaFirst)
{
    auto name = NameRecord("Celula", -1, Bytes({0x3A, 2, 0, 7, 0, 3, 0}));
    EXPECT_EQ(name->FirstRow(), 7);
    EXPECT_EQ(name->LastColumn(), 3);
    EXPECT_EQ(name->SetFirstRow(5), 4) << "the record grows by 4 bytes";
    EXPECT_EQ(Hex(name->Data().mid(4, 2)), Hex(Bytes({11, 0})));
    EXPECT_EQ(Hex(name->Data().mid(15 + 6)), Hex(Area3D(2, 5, 7, 3, 3)));
    EXPECT_EQ(name->SetFirstRow(6), 0) << "already an area";
    EXPECT_EQ(name->FirstRow(), 6);
}

TEST(NameRecord, OtherReferencesHaveNoRange)
{
    const QByteArray refs[] = {QByteArray(), Bytes({0x44, 0, 0, 0, 0}), Bytes({0x3B, 1, 0, 0})};
    for (const QByteArray &tokens : refs) {
        auto name = NameRecord("N", -1, tokens);
        EXPECT_EQ(name->FirstRow(), -1);
        EXPECT_EQ(name->LastColumn(), -1);
        EXPECT_EQ(name->RangeSheet([](int) { return 0; }), -1);
        const QByteArray before = name->Data();
        EXPECT_EQ(name->SetLastRow(3), 0);
        EXPECT_EQ(Hex(name->Data()), Hex(before)) << "nothing to set";
    }
}

TEST(NameRecord, SheetIndexMovesWithinItsLimit)
{
    auto name = NameRecord("Local", 3);
    name->MoveSheetIndex(2, -1);
    EXPECT_EQ(name->NameSheetIndex(), 2);
    name->MoveSheetIndex(5, 1);
    EXPECT_EQ(name->NameSheetIndex(), 2) << "before the first moved sheet";
    auto global = NameRecord("Global", -1);
    global->MoveSheetIndex(0, 4);
    EXPECT_EQ(global->NameSheetIndex(), -1);
    EXPECT_EQ(ErrorOf<std::exception>([&] { name->MoveSheetIndex(0, 65000); }),
              QStringLiteral("Too many entries for this kind of record (65003 out of a maximum of 65001)"));
}

TEST(NameRecord, NewNameParsesAnAbsolute3DReference)
{
    FakeReferences refs;
    TNameDefinition def;
    def.Name = QStringLiteral("Print_Area");
    def.Reference = QStringLiteral("A1:C10");
    def.Options = 0x0020;
    def.SheetIndex = 1;
    auto name = TNameRecord::NewName(def, nullptr, &refs);
    const QByteArray expected = Bytes({0x20, 0, 0, 10, 11, 0, 2, 0, 2, 0, 0, 0, 0, 0, 0}) + QByteArray("Print_Area")
        + Area3D(0, 0, 9, 0, 2);
    EXPECT_EQ(Hex(name->Data()), Hex(expected));
    ASSERT_EQ(refs.Extern.size(), 1);
    EXPECT_EQ(refs.Extern.at(0), qMakePair(1, 1)) << "the name's own sheet";

    TNameDefinition global;
    global.Name = QStringLiteral("Gol");
    global.Reference = QStringLiteral("  ");
    auto empty = TNameRecord::NewName(global, nullptr, &refs);
    EXPECT_EQ(Hex(empty->Data()), Hex(Bytes({0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 'G', 'o', 'l'})))
        << "a name without reference is still a whole record";

    global.Reference = QStringLiteral("=Foo(");
    EXPECT_EQ(ErrorOf<std::exception>([&] { TNameRecord::NewName(global, nullptr, &refs); }),
              QStringLiteral("Function not found: \"FOO\" on formula \"=Foo(\""));
}

TEST(NameRecord, InsertShiftsItsReference)
{
    auto name = NameRecord("Zona", 0, Area3D(1, 2, 9, 0, 2));
    TSheetInfo info;
    info.InsSheet = 4;
    info.FormulaSheet = 0;
    info.GetSheet = [](int externSheet) { return externSheet == 1 ? 4 : 0; };
    name->ShiftForInsert(5, 3, info, 0, 0);
    EXPECT_EQ(name->FirstRow(), 2);
    EXPECT_EQ(name->LastRow(), 12);
}

class NameListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        List.Add(NameRecord("Global", -1, Area3D(0, 0, 0, 0, 0)));  // refers to sheet 1 through extern 0
        List.Add(NameRecord("Doi", 2));
        List.Add(NameRecord("Unu", 1, Area3D(0, 1, 1, 1, 1)));
        List.Add(NameRecord("Trei", 3));
        Info.GetSheet = [](int externSheet) { return externSheet == 0 ? 1 : externSheet - 10; };
        Info.SetSheet = [](int sheet) { return sheet + 10; };
    }
    QStringList Texts() const
    {
        QStringList out;
        for (int i = 0; i < List.Count(); ++i)
            out += List.NameText(i) + u'@' + QString::number(List.NameSheet(i));
        return out;
    }
    TNameRecordList List;
    TSheetInfo Info;
};

TEST_F(NameListTest, DeletingSheetsDropsTheirNamesAndMovesLaterOnes)
{
    List.DeleteSheets(2, 1);
    EXPECT_EQ(Texts(), QStringList({QStringLiteral("Global@-1"), QStringLiteral("Unu@1"), QStringLiteral("Trei@2")}));
    qint64 sum = 0;
    for (int i = 0; i < List.Count(); ++i)
        sum += List[i]->TotalSize();
    EXPECT_EQ(List.TotalSize(), sum);
}

TEST_F(NameListTest, CopyingASheetCopiesItsNames)
{
    List.InsertSheets(1, 2, 2, Info);
    EXPECT_EQ(Texts(), QStringList({QStringLiteral("Global@-1"), QStringLiteral("Doi@4"), QStringLiteral("Unu@1"),
                                    QStringLiteral("Trei@5"), QStringLiteral("Global@2"), QStringLiteral("Global@3"),
                                    QStringLiteral("Unu@2"), QStringLiteral("Unu@3")}));
    // The copies of "Unu" point at their own sheets now.
    EXPECT_EQ(List[6]->RangeSheet(Info.GetSheet), 2);
    EXPECT_EQ(List[7]->RangeSheet(Info.GetSheet), 3);
    EXPECT_EQ(List.FindName(QStringLiteral("unu"), 3), 7);
    EXPECT_THROW(List.InsertSheets(0, -1, 1, Info), EExcelException);
}

} // namespace
