// The record stream of a workbook: code names made on save, and broken or
// foreign streams that must be refused without harm.
#include "xls/support/IndependentReaders.h"
#include "xls/records/FormatRecords.h"
#include "xls/workbook/CellList.h"
#include "xls/workbook/EmptyWorkbook.h"
#include "xls/workbook/PageSetup.h"
#include "xls/workbook/WorkSheet.h"
#include "xls/workbook/Workbook.h"

#include "xls/storage/ExcelException.h"
#include "xls/storage/Ole2Storage.h"

#include <QFile>

#include <cstring>
#include <functional>

#include <gtest/gtest.h>

namespace {

QByteArray Record(quint16 id, const QByteArray &data)
{
    QByteArray r;
    r.append(char(id & 0xFF)).append(char(id >> 8));
    r.append(char(data.size() & 0xFF)).append(char(data.size() >> 8));
    return r + data;
}

QByteArray CodeNameData(const QString &name)
{
    QByteArray d;
    d.append(char(name.size() & 0xFF)).append(char(name.size() >> 8)).append('\0');
    return d + name.toLatin1();
}

// Offsets of each record header in a stream, up to the zero padding some
// writers leave after the last record.
QList<int> RecordOffsets(const QByteArray &stream)
{
    QList<int> offsets;
    for (int p = 0; p + 4 <= stream.size();) {
        const int size = quint8(stream[p + 2]) | quint8(stream[p + 3]) << 8;
        if (size == 0 && stream[p] == 0 && stream[p + 1] == 0)
            break;
        offsets << p;
        p += 4 + size;
    }
    return offsets;
}

// The empty workbook without the padding its writer put after it.
QByteArray EmptyStream()
{
    const QByteArray stream = EmptyWorkbook::WorkbookStream();
    const int last = RecordOffsets(stream).last();
    return stream.left(last + 4);  // the last record is the sheet's EOF, of no data
}

quint16 IdAt(const QByteArray &stream, int offset)
{
    return quint16(quint8(stream[offset]) | quint8(stream[offset + 1]) << 8);
}

// The empty workbook's stream with extra bytes put in front of the first
// record of the given id (after skip such records).
QByteArray EmptyWith(const QByteArray &extra, quint16 beforeId, int skip = 0)
{
    QByteArray stream = EmptyStream();
    for (int offset : RecordOffsets(stream))
        if (IdAt(stream, offset) == beforeId && skip-- == 0)
            return stream.insert(offset, extra);
    return stream;
}

// Where the first sheet's BOF stands.
int SheetStart(const QByteArray &stream)
{
    for (int offset : RecordOffsets(stream))
        if (IdAt(stream, offset) == 0x0809 && offset > 0)
            return offset;
    return 0;
}

QByteArray FixtureWorkbookStream(const char *book)
{
    const QString path = IndependentReaders::fixture(QString::fromLatin1(book) + ".xls");
    return TOle2Storage::OpenFile(path)->OpenStream(u"Workbook").Data();
}

}  // namespace

TEST(CodeNames, SheetsWithoutOneGetAFreeNameFromTheirSheetName)
{
    const struct {
        const char *name;
        const char *sheetName;
        const char *takenByOther;
        const char *expected;
    } rows[] = {
        {"number 1 taken gives 2", "Foaie1", "Foaie1", "Foaie2"},
        {"free name is kept", "Buget", "Altceva", "Buget"},
        {"taken name without number gets 1", "Buget", "BUGET", "Buget1"},
        {"count goes on from the number", "An2025", "An2025", "An2026"},
        {"the workbook's own code name is taken too", "ThisWorkbook", "Altceva", "ThisWorkbook1"},
    };
    for (const auto &r : rows) {
        TWorkbook book;
        book.LoadFromStream(EmptyWith(Record(0x01BA, CodeNameData(QStringLiteral("ThisWorkbook"))), 0x000A));
        book.InsertSheets(-1, 1, 1);
        book.Globals().SetSheetName(0, QString::fromLatin1(r.sheetName));
        book.Sheets(1)->SetCodeName(QString::fromLatin1(r.takenByOther));
        TWorkbook back;
        back.LoadFromStream(book.SaveToBytes());
        EXPECT_EQ(back.Sheets(0)->CodeName(), QString::fromLatin1(r.expected)) << r.name;
        EXPECT_EQ(back.Sheets(1)->CodeName(), QString::fromLatin1(r.takenByOther)) << r.name;
    }
}

TEST(CodeNames, WorkbooksWithoutCodeNamesGetNone)
{
    TWorkbook book;
    book.LoadFromStream(EmptyWorkbook::WorkbookStream());
    TWorkbook back;
    back.LoadFromStream(book.SaveToBytes());
    EXPECT_TRUE(back.Sheets(0)->CodeName().isEmpty());
}

TEST(BrokenStreams, AreRefusedWithTheEnginesMessage)
{
    const QByteArray empty = EmptyStream();
    QByteArray biff5 = empty;
    biff5[5] = 0x05;  // BOF version 0x0500
    QByteArray hugeSST = Record(0x00FC, QByteArray("\xff\xff\xff\x7f\xff\xff\xff\x7f", 8));
    // Each message says where: the part of the stream, the record and its offset.
    const struct { const char *name; QByteArray stream; const char *message; const char *where; } rows[] = {
        {"earlier version", biff5, "Template file is saved with an invalid Excel version",
         "globals, înregistrarea 0x0809, la octetul 0"},
        {"nothing", QByteArray(), "Error reading Excel records. File invalid",
         "globals, înregistrarea 0x0000, la octetul 0"},
        {"record between substreams", empty + Record(0x0203, QByteArray(14, '\0')),
         "Error reading Excel records. File invalid",
         "după ultima foaie, înregistrarea 0x0203, la octetul 1200"},
        {"sheet without its EOF", empty.left(RecordOffsets(empty).last()),
         "Error reading Excel records. File invalid",
         "foaia \"Sheet1\", înregistrarea 0x023e, la octetul 1174"},
        {"STRING with no formula before it",
         EmptyWith(Record(0x0207, QByteArray("\x01\x00\x00x", 4)), 0x023E),
         "Error reading Excel records. File invalid",
         "foaia \"Sheet1\", înregistrarea 0x0207, la octetul 1174"},
        {"SHRFMLA with no formula before it", EmptyWith(Record(0x04BC, QByteArray(10, '\0')), 0x023E),
         "Error reading Excel records. File invalid",
         "foaia \"Sheet1\", înregistrarea 0x04bc, la octetul 1174"},
        {"string count the table cannot hold", EmptyWith(hugeSST, 0x00FC),
         "Error reading Excel records. File invalid",
         "globals, înregistrarea 0x00fc, la octetul 876"},
        {"a second globals substream",
         empty.left(RecordOffsets(empty)[1]) + empty, "Error reading Excel records. File invalid",
         "globals, înregistrarea 0x0809, la octetul 20"},
        // The sheet named by the entry is missing: the place is that sheet, at the end.
        {"entry without its substream", empty.left(SheetStart(empty)),
         "Error reading Excel records. File invalid", "foaia \"Sheet1\", înregistrarea 0x0000, la octetul 892"},
        // 14 characters claimed, 4 in the record and 3 in its CONTINUE, read
        // with or without an option byte in front of them.
        {"rich string damaged past its CONTINUE",
         EmptyWith(Record(0x00D6, QByteArray("\0\0\0\0\x0f\0\x0e\0\0Gras", 13)) + Record(0x003C, QByteArray("\0 si", 4)), 0x023E),
         "Error reading record", "foaia \"Sheet1\", înregistrarea 0x00d6, la octetul 1174"},
        {"short cell record", EmptyWith(Record(0x0203, QByteArray(3, '\0')), 0x023E),
         "Record with ID 0x203 is invalid",
         "foaia \"Sheet1\", înregistrarea 0x0203, la octetul 1174"},
        // Cell records read in place give the errors the general reader gives.
        {"MULRK whose last column does not fit its cells",
         EmptyWith(Record(0x00BD, QByteArray("\0\0\1\0" "\x0f\0\2\0\0\0" "\x0f\0\2\0\0\0" "\3\0", 18)), 0x023E),
         "Record with ID 0xbd is invalid", "foaia \"Sheet1\", înregistrarea 0x00bd, la octetul 1174"},
        {"MULBLANK running past the last column",
         EmptyWith(Record(0x00BE, QByteArray("\0\0\xff\0" "\x0f\0\x0f\0" "\0\1", 10)), 0x023E),
         "Record with ID 0xbe is invalid", "foaia \"Sheet1\", înregistrarea 0x00be, la octetul 1174"},
        {"RK cell past the last column",
         EmptyWith(Record(0x027E, QByteArray("\0\0\0\1\x0f\0\2\0\0\0", 10)), 0x023E),
         "Error reading Excel records. File invalid", "foaia \"Sheet1\", înregistrarea 0x027e, la octetul 1174"},
        {"ROW shorter than its class reads", EmptyWith(Record(0x0208, QByteArray(15, '\0')), 0x023E),
         "Record with ID 0x208 is invalid", "foaia \"Sheet1\", înregistrarea 0x0208, la octetul 1174"},
        {"a row's second ROW record", EmptyWith(Record(0x0208, QByteArray(16, '\0')).repeated(2), 0x023E),
         "Duplicated ROW record", "foaia \"Sheet1\", înregistrarea 0x0208, la octetul 1194"},
        {"STRING after a number", EmptyWith(Record(0x0203, QByteArray(14, '\0')) + Record(0x0207, QByteArray("\x01\x00\x00x", 4)), 0x023E),
         "Error reading Excel records. File invalid", "foaia \"Sheet1\", înregistrarea 0x0207, la octetul 1192"},
        {"password protected", EmptyWith(Record(0x002F, QByteArray(6, '\0')), 0x0031),
         "File is password protected",
         "globals, înregistrarea 0x002f, la octetul 270"},
    };
    for (const auto &r : rows) {
        TWorkbook book;
        try {
            book.LoadFromStream(r.stream);
            ADD_FAILURE() << r.name << ": loaded";
        } catch (const std::exception &e) {
            EXPECT_EQ(QString::fromUtf8(e.what()),
                      QStringLiteral("%1 (%2 al fluxului)").arg(QString::fromLatin1(r.message), QString::fromUtf8(r.where)))
                << r.name;
        }
    }
}

// Every cut and every single-byte change of every fixture's record stream
// ends in an error or in a workbook that saves; what saves loads again. The
// stream is copied to a buffer of its exact size so that a read past its end
// is caught by ASan.
TEST(BrokenStreams, TruncationAndCorruptionSweeps)
{
    for (const char *name : {"lo-basic", "lo-longtext", "lo-picture", "xlwt-basic", "writeexcel-basic"}) {
        SCOPED_TRACE(name);
        const QByteArray stream = FixtureWorkbookStream(name);
        int refused = 0, saved = 0;
        const auto tryLoad = [&](const QByteArray &bytes, int at) {
            auto exact = std::make_unique<char[]>(size_t(bytes.size()));
            std::memcpy(exact.get(), bytes.constData(), size_t(bytes.size()));
            TWorkbook book;
            QByteArray again;
            try {
                book.LoadFromStream(QByteArrayView(exact.get(), bytes.size()));
                again = book.SaveToBytes();
            } catch (const std::exception &) {
                ++refused;
                return;
            }
            ++saved;
            TWorkbook reread;
            EXPECT_NO_THROW(reread.LoadFromStream(again)) << "damage at " << at;
        };
        const int step = std::max<int>(1, int(stream.size() / 1500));
        for (int cut = 0; cut < stream.size(); cut += step)
            tryLoad(stream.left(cut), cut);
        for (int at = 0; at < stream.size(); at += step) {
            for (char value : {char(0x00), char(0xFF), char(stream[at] ^ 0x5A)}) {
                QByteArray changed = stream;
                changed[at] = value;
                tryLoad(changed, at);
            }
        }
        // The sweep reached both sides: damage the loader refuses and damage it survives.
        EXPECT_GT(refused, 0);
        EXPECT_GT(saved, 0);
    }
}

// Shapes of real files that other readers read and the engine once refused
// or read wrong. Each is read as they read it, and its save reads the same.
TEST(ForeignStreams, AreReadAsOtherReadersReadThem)
{
    const QByteArray empty = EmptyStream();
    const auto u16 = [](int v) { return QByteArray(1, char(v & 0xFF)) + char(v >> 8); };
    const auto head = [&](int row, int col) { return u16(row) + u16(col) + u16(15); };
    // A second worksheet substream, marked by a record of its own.
    const QByteArray extra = EmptyWith(Record(0x0999, "keep"), 0x023E).mid(SheetStart(empty));
    const QByteArray shortFormat = Record(0x041E, u16(200) + u16(5) + '\0' + "0.0%");
    const QByteArray emptyHeader = Record(0x0014, u16(0));
    const QByteArray blanks = Record(0x00BE, head(0, 0).left(4) + u16(15) + u16(15) + u16(15) + u16(2));
    // The rest of the text goes on without an option byte, as one writer splits it.
    const auto rich = [&](const QByteArray &text, int inFirst) {
        return Record(0x00D6, head(0, 0) + u16(int(text.size())) + '\0' + text.left(inFirst))
             + Record(0x003C, text.mid(inFirst) + u16(1) + u16(0) + u16(5));
    };
    QByteArray longText;
    for (int i = 0; i < 10020; ++i)
        longText += char('a' + i % 26);
    const auto cellText = [](TWorkbook &book) { return book.WorkSheets(0)->Cells().CellValue(0, 0); };
    const struct {
        const char *name;
        QByteArray stream;
        std::function<QVariant(TWorkbook &)> probe;
        QVariant expected;
        QByteArray saved;  // what the save keeps as it came
    } rows[] = {
        {"a substream no sheet entry names", empty + extra,
         [](TWorkbook &book) { return QVariant(book.SheetCount()); }, 1, extra},
        {"an empty header of its length alone", EmptyWith(emptyHeader, 0x0014),
         [](TWorkbook &book) { return QVariant(TPageSetup::Read(book.WorkSheets(0)->Records()).Header); },
         QString(), emptyHeader},
        {"a FORMAT one byte shorter than its text", EmptyWith(shortFormat, 0x00E0),
         [](TWorkbook &book) {
             const TBaseRecordList &records = book.Globals().Records();
             for (int i = 0; i < records.Count(); ++i)
                 if (const auto *format = dynamic_cast<const TFormatRecord *>(records.Items(i)))
                     if (format->FormatIndex() == 200)
                         return QVariant(format->FormatString());
             return QVariant();
         },
         QStringLiteral("0.0%"), shortFormat},
        // The later record is the cell; the save writes each cell once.
        {"a cell written blank and then as text",
         EmptyWith(blanks + Record(0x0204, head(0, 1) + u16(4) + '\0' + "Text"), 0x023E),
         [](TWorkbook &book) {
             const TCellList &cells = book.WorkSheets(0)->Cells();
             return QVariant(QVariantList{cells.CellValue(0, 1), cells.RowCells(0)->Count()});
         },
         QVariantList{QStringLiteral("Text"), 3}, QByteArray()},
        // The first byte goes on as a character: read with an option byte the
        // text runs past the record.
        {"a rich string continued without an option byte", EmptyWith(rich("Gras si normal", 4), 0x023E),
         cellText, QStringLiteral("Gras si normal"), rich("Gras si normal", 4)},
        {"a long rich string continued without an option byte",
         EmptyWith(rich(longText, 8224 - 9), 0x023E), cellText, QString::fromLatin1(longText), QByteArray()},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        TWorkbook book, back;
        try {
            book.LoadFromStream(r.stream);
            EXPECT_EQ(r.probe(book), r.expected);
            const QByteArray saved = book.SaveToBytes();
            EXPECT_TRUE(saved.contains(r.saved));
            back.LoadFromStream(saved);
            EXPECT_EQ(r.probe(back), r.expected);
        } catch (const std::exception &e) {
            ADD_FAILURE() << e.what();
        }
    }
}

TEST(SheetEntries, MacrosBlockSheetDeletion)
{
    TWorkbook book;
    book.LoadFromStream(EmptyWith(Record(0x00D3, QByteArray()), 0x000A));
    book.InsertSheets(-1, 1, 1);
    try {
        book.DeleteSheets(0, 1);
        ADD_FAILURE() << "deleted a sheet of a workbook with macros";
    } catch (const EExcelException &e) {
        EXPECT_EQ(QString::fromUtf8(e.what()), QStringLiteral("Can't delete a sheet on a file containing macros"));
    }
    EXPECT_EQ(book.SheetCount(), 2);
    EXPECT_EQ(book.Globals().SheetCount(), 2);
}

TEST(SheetEntries, NamesAreCheckedWhenSet)
{
    const struct { const char *name; QString sheetName; bool ok; } rows[] = {
        {"plain", QStringLiteral("Anexa 1"), true},
        {"diacritics", QStringLiteral("Situaţie lunară"), true},
        {"31 characters", QString(31, u'x'), true},
        {"32 characters", QString(32, u'x'), false},
        {"empty", QString(), false},
        {"slash", QStringLiteral("a/b"), false},
        {"bracket", QStringLiteral("a[1]"), false},
        {"question mark", QStringLiteral("de ce?"), false},
        {"leading quote", QStringLiteral("'nume"), false},
        {"another sheet's name in other case", QStringLiteral("SHEET2"), false},
        {"its own name in other case", QStringLiteral("SHEET1"), true},
    };
    for (const auto &r : rows) {
        TWorkbook book;
        book.LoadFromStream(EmptyStream());
        book.InsertSheets(-1, 1, 1);
        bool raised = false;
        try {
            book.Globals().SetSheetName(0, r.sheetName);
        } catch (const EExcelException &) {
            raised = true;
        }
        EXPECT_EQ(raised, !r.ok) << r.name;
        EXPECT_EQ(book.Globals().SheetName(0), r.ok ? r.sheetName : QStringLiteral("Sheet1")) << r.name;
    }
}

TEST(Cells, OutOfOrderCellsAreFoundAndWrittenInColumnOrder)
{
    const auto number = [](int row, int col, double value) {
        QByteArray d(14, '\0');
        d[0] = char(row);
        d[2] = char(col);
        d[4] = 15;
        std::memcpy(d.data() + 6, &value, 8);
        return Record(0x0203, d);
    };
    TWorkbook book;
    book.LoadFromStream(EmptyWith(number(0, 5, 5.5) + number(0, 1, 1.5) + number(2, 0, 7.0), 0x023E));
    TCellList &cells = book.WorkSheets(0)->Cells();
    EXPECT_EQ(cells.CellValue(0, 1), QVariant(1.5));
    EXPECT_EQ(cells.CellValue(0, 5), QVariant(5.5));
    EXPECT_EQ(cells.CellValue(2, 0), QVariant(7.0));
    EXPECT_EQ(cells.RowCount(), 3);
    EXPECT_EQ(cells.ColCount(), 6);
    const QByteArray saved = book.SaveToBytes();
    const int first = saved.indexOf(number(0, 1, 1.5));
    const int second = saved.indexOf(number(0, 5, 5.5));
    ASSERT_GE(first, 0);
    EXPECT_GT(second, first);

    // Copies of the row find their cells as the row does.
    book.InsertAndCopyRowsAndCols(0, 0, 0, 3, 2, 0, -1, 0, 0, false);
    for (int row : {3, 4}) {
        EXPECT_EQ(cells.CellValue(row, 1), QVariant(1.5)) << row;
        EXPECT_EQ(cells.CellValue(row, 5), QVariant(5.5)) << row;
        EXPECT_FALSE(cells.CellValue(row, 3).isValid()) << row;
    }
}

// Cells of every plain kind, as single records and as runs, and a ROW record
// come out as their records say; a record with more data than its class
// reads keeps it, and a CONTINUE after a cell stays with it.
TEST(Cells, PlainCellRecordsAreReadWhole)
{
    const auto cell = [](quint16 id, int row, int col, int xf, const QByteArray &value) {
        QByteArray d(6, '\0');
        d[0] = char(row);
        d[2] = char(col);
        d[4] = char(xf);
        return Record(id, d + value);
    };
    const auto bytes = [](auto value) { return QByteArray(reinterpret_cast<const char *>(&value), sizeof value); };
    const QByteArray rk100 = bytes(quint32(100 << 2 | 2)), rk7 = bytes(quint32(7 << 2 | 2));
    const QByteArray longNumber = bytes(2.5) + QByteArray(16, 'x');  // 30 bytes: kept on the heap
    const QByteArray continued = cell(0x0203, 5, 0, 15, bytes(4.0)) + Record(0x003C, QByteArray("tail", 4));
    // Row 0, columns 0-1, 300 twips high; the reserved word at 8 is written back as 0.
    const QByteArray row = QByteArray("\0\0\0\0\2\0\x2c\1", 8), rowOptions = QByteArray("\0\0\x40\1\x0f\0", 6);
    TWorkbook book;
    book.LoadFromStream(EmptyWith(Record(0x0208, row + QByteArray("\xff\xff", 2) + rowOptions)
                                      + cell(0x0203, 0, 0, 15, bytes(1.5)) + cell(0x027E, 0, 1, 16, rk100)
                                      + Record(0x00BD, QByteArray("\1\0\2\0", 4) + bytes(quint16(17)) + rk7
                                                           + bytes(quint16(18)) + rk100 + bytes(quint16(3)))
                                      + Record(0x00BE, QByteArray("\2\0\0\0\x13\0\x14\0\1\0", 10))
                                      + cell(0x0205, 3, 0, 15, QByteArray("\1\0", 2))
                                      + cell(0x0205, 3, 1, 15, QByteArray("\x07\1", 2))
                                      + cell(0x0201, 3, 2, 21, QByteArray()) + cell(0x0203, 4, 0, 15, longNumber)
                                      + continued,
                                  0x023E));
    TCellList &cells = book.WorkSheets(0)->Cells();
    const struct { int row, col; QVariant value; int xf; } expected[] = {
        {0, 0, 1.5, 15}, {0, 1, 100.0, 16}, {1, 2, 7.0, 17}, {1, 3, 100.0, 18}, {2, 0, QVariant(), 19},
        {2, 1, QVariant(), 20}, {3, 0, true, 15}, {3, 1, QStringLiteral("#DIV/0!"), 15}, {3, 2, QVariant(), 21},
        {4, 0, 2.5, 15}, {5, 0, 4.0, 15},
    };
    for (const auto &e : expected) {
        SCOPED_TRACE(testing::Message() << e.row << "," << e.col);
        ASSERT_NE(cells.Cell(e.row, e.col), nullptr);
        EXPECT_EQ(cells.CellValue(e.row, e.col), e.value);
        EXPECT_EQ(cells.Cell(e.row, e.col)->XF(), e.xf);
    }
    EXPECT_EQ(cells.Cell(1, 4), nullptr);
    EXPECT_EQ(cells.Cell(4, 0)->DataSize(), 30);
    EXPECT_EQ(cells.Rows().RowHeight(0), 300);
    const QByteArray saved = book.SaveToBytes();
    EXPECT_GE(saved.indexOf(Record(0x0208, row + QByteArray(2, '\0') + rowOptions)), 0);
    EXPECT_GE(saved.indexOf(cell(0x0203, 4, 0, 15, longNumber)), 0);
    EXPECT_GE(saved.indexOf(continued), 0);
}

// Fuzzing findings, kept in the fuzz corpus: ROW records whose first column
// lies beyond the sheet's 256 columns could not be moved by a row insertion
// and left the rows half shifted. They are refused when read.
TEST(BrokenStreams, FuzzFindingsGiveTheirErrors)
{
    for (int i = 1; i <= 3; ++i) {
        QFile file(QStringLiteral(KESTRUN_SOURCE_DIR "/fuzz/corpus/xls_workbook/row-first-column-beyond-sheet-%1.bin").arg(i));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << i;
        TWorkbook book;
        try {
            book.LoadFromStream(file.readAll());
            ADD_FAILURE() << i << ": loaded";
        } catch (const EExcelException &e) {
            EXPECT_TRUE(QString::fromUtf8(e.what()).startsWith(QStringLiteral("Error reading Excel records. File invalid (foaia ")))
                << i << e.what();
        }
    }
}
