// Comments, merged ranges and links read from damaged records: every byte of
// their data overwritten in turn must give the engine's error or a value,
// never a crash or a read past the record (run under ASan to see the latter).
#include "FileOpsSupport.h"

#include "xls/workbook/DrawingGroup.h"
#include "xls/records/OtherRecords.h"
#include "xls/records/RecordFactory.h"
#include "xls/workbook/OfficeArtRecord.h"
#include "xls/workbook/SheetDrawing.h"
#include "xls/workbook/Workbook.h"
#include "xls/workbook/WorkbookRecords_p.h"

#include <gtest/gtest.h>

using namespace FileOps;

namespace {

QByteArray NotesStream()
{
    return WorkbookStreamOf(XlsFixture(QStringLiteral("fileops/lo-notes.xls")));
}

// Offsets of the data of every record with one of the ids.
QList<QPair<qsizetype, int>> RecordData(const QByteArray &stream, std::initializer_list<quint16> ids)
{
    QList<QPair<qsizetype, int>> found;
    for (qsizetype pos = 0; pos + 4 <= stream.size();) {
        const quint16 id = ReadWord(stream, pos);
        const int size = ReadWord(stream, pos + 2);
        if (std::find(ids.begin(), ids.end(), id) != ids.end())
            found.append({pos + 4, size});
        pos += 4 + size;
    }
    return found;
}

// Every read of the sheet's parts; the engine's error is an answer too.
void ReadAllParts(TXLSFile &file)
{
    const auto tryRead = [](const std::function<void()> &read) {
        try {
            read();
        } catch (const EExcelException &) {
        }
    };
    tryRead([&] { file.RestoreCommentIndex(); });
    tryRead([&] {
        for (int i = 0; i < file.CommentsCount(0); ++i)
            file.GetCommentText(0, i);
    });
    tryRead([&] {
        for (int i = 1; i <= file.MergedCellCount(); ++i)
            file.MergedCells(i);
    });
    tryRead([&] { file.CellMergedBounds(3, 1); });
    tryRead([&] {
        TXlsAnchorType anchor;
        TXlsImageProperties box;
        for (int i = 0; i < file.CommentsCount(0); ++i)
            file.GetCommentAnchor(0, i, anchor, box);
    });
    // Writes walk the drawings too: a new comment, a picture, a deletion, a
    // deleted row and a copied sheet.
    tryRead([&] { file.SetCellComment(9, 2, QStringLiteral("nouă")); });
    tryRead([&] { file.AddImage(QByteArray("\x89PNG\r\n\x1a\n", 8), {1, 0, 1, 0, 2, 0, 2, 0}); });
    tryRead([&] { file.SetCellComment(5, 1, QString()); });
    tryRead([&] { file.DeleteRows(2, 1); });
    tryRead([&] { file.InsertAndCopySheets(1, 1, 1); });
    for (int i = 1; i <= file.HyperLinkCount(); ++i) {
        tryRead([&] { file.GetHyperLink(i); });
        tryRead([&] { file.GetHyperLinkCellRange(i); });
    }
}

}  // namespace

TEST(DamagedSheetParts, EveryByteOfTheirRecordsOverwritten)
{
    const QByteArray stream = NotesStream();
    // NOTE, OBJ, TXO with its CONTINUE records, MERGEDCELLS, HLINK, the
    // drawing group and the sheet's drawing.
    const auto records = RecordData(stream, {0x001C, 0x005D, 0x01B6, 0x003C, 0x00E5, 0x01B8, 0x00EB, 0x00EC});
    ASSERT_GE(records.size(), 10);
    int opened = 0, refused = 0;
    for (const auto &[offset, size] : records)
        for (int k = 0; k < size; ++k)
            for (char value : {'\xFF', '\x00'}) {
                QByteArray damaged = stream;
                if (damaged[offset + k] == value)
                    continue;
                damaged[offset + k] = value;
                std::unique_ptr<TXLSFile> file;
                try {
                    file = OpenWorkbookStream(damaged);
                } catch (const EExcelException &) {
                    ++refused;
                    continue;
                }
                ++opened;
                ReadAllParts(*file);
            }
    // Most damage leaves a readable workbook whose parts are read above.
    EXPECT_GT(opened, refused);
}

TEST(DamagedSheetParts, AMergedCountPastItsRecordIsRefused)
{
    QByteArray stream = NotesStream();
    const auto merged = RecordData(stream, {0x00E5});
    ASSERT_EQ(merged.size(), 1);
    WriteWord(stream, merged[0].first, 500);
    auto file = OpenWorkbookStream(stream);
    EXPECT_THROW(file->MergedCellCount(), EExcelException);
}

TEST(DamagedSheetParts, ACommentTextLongerThanItsRecordsStillOpens)
{
    QByteArray stream = NotesStream();
    const auto txos = RecordData(stream, {0x01B6});
    ASSERT_EQ(txos.size(), 3);
    // The first comment's text claims 60,000 characters.
    WriteWord(stream, txos[0].first + 10, 60000);
    auto file = OpenWorkbookStream(stream);
    EXPECT_EQ(file->CommentsCount(0), 3);
    EXPECT_EQ(file->CommentsCount(5), 2);
    EXPECT_THROW(file->GetCommentText(2, 0), EExcelException);
    EXPECT_EQ(file->GetCommentText(5, 1), QStringLiteral("Rândul cinci, a doua"));
}

TEST(DamagedSheetParts, DrawingGroupsNestedWithoutEndAreRefused)
{
    auto file = NewBook();
    file->AddImage(QByteArray("\x89PNG\r\n\x1a\n", 8), {1, 0, 1, 0, 2, 0, 2, 0});
    // The drawing's group holding a group holding a group... deeper than a
    // stack goes, each header's length the bytes of those inside it.
    constexpr int Depth = 400000;
    QByteArray nested(Depth * TOfficeArtRecord::HeaderSize, '\0');
    for (int level = 0; level < Depth; ++level) {
        const QByteArray header = TOfficeArtRecord::Make(0xF, 0, TOfficeArtRecord::SpgrContainer, {});
        nested.replace(level * TOfficeArtRecord::HeaderSize, TOfficeArtRecord::HeaderSize, header);
        WriteCardinal(nested, level * TOfficeArtRecord::HeaderSize + 4,
                      quint32((Depth - 1 - level) * TOfficeArtRecord::HeaderSize));
    }
    QByteArray fdg(8, '\0');
    const QByteArray drawing = TOfficeArtRecord::Make(
        0xF, 0, TOfficeArtRecord::DgContainer, TOfficeArtRecord::Make(0, 1, TOfficeArtRecord::Dg, fdg) + nested);
    TBaseRecordList &records = file->Workbook().Sheets(0)->Records();
    const int at = XlsDetail::FindRecord(records, 0x00EC);
    ASSERT_GE(at, 0);
    records.SetItem(at, XlsDetail::RecordWithContinues(0x00EC, drawing));
    TXlsAnchorType anchor;
    TXlsImageProperties box;
    EXPECT_EQ(ErrorOf([&] { file->GetImage(0, anchor, box); }), QStringLiteral("Error reading Excel records. File invalid"));
}

TEST(DamagedSheetParts, DrawingCountersPastTheirFieldsAreRefused)
{
    // Each counter lives in a field of fixed width: filled to one short of
    // its end, the next value is the last that fits, the one after refused
    // rather than wrapped round to an id already taken.
    auto file = NewBook();
    quint32 id = 0;
    TBaseRecordList objects;
    const auto addObject = [&](int objId) {
        objects.Add(CreateRecord(TObjRecord::Id, TSheetDrawing::NewObjectData(38, 8, objId, 0)));
        return objId;
    };
    const QByteArray png("\x89PNG\r\n\x1a\n", 8);
    using Step = std::function<qint64(TDrawingGroup &)>;
    const struct { const char *name; Step fill, next; qint64 last; QString error; } rows[] = {
        // A drawing's FDG keeps its id in the 12 bits of its instance.
        {"drawing id", [&](TDrawingGroup &g) { return g.NewDrawing(0xFFE, id); },
         [&](TDrawingGroup &g) { return g.NewDrawing(1, id); }, 0xFFF, QStringLiteral("Too many drawings in the workbook")},
        // The picture store counts its entries in 12 bits as well.
        {"picture store entry", [&](TDrawingGroup &g) { for (int k = 1; k < 0xFFF; ++k) g.AddBlip(png); return 0; },
         [&](TDrawingGroup &g) { return g.AddBlip(png); }, 0xFFF, QStringLiteral("Too many pictures in the workbook")},
        // A drawing's first cluster holds the shape ids 1024 to 2047.
        {"shape id", [&](TDrawingGroup &g) { g.NewDrawing(1, id); while (id < 2046) id = g.NextShapeId(id); return 0; },
         [&](TDrawingGroup &g) { return id = g.NextShapeId(id); }, 2047, QStringLiteral("Too many drawing objects on the sheet")},
        // An OBJ record keeps its id in 16 bits.
        {"object id", [&](TDrawingGroup &) { return addObject(0xFFFE); },
         [&](TDrawingGroup &) { return addObject(TSheetDrawing::NewObjectId(objects)); }, 0xFFFF,
         QStringLiteral("Too many drawing objects on the sheet")},
    };
    for (const auto &r : rows) {
        TDrawingGroup group(file->Workbook().Globals().Records());
        r.fill(group);
        EXPECT_EQ(r.next(group), r.last) << r.name;
        EXPECT_EQ(ErrorOf([&] { r.next(group); }), r.error) << r.name;
    }
}

// A picture whose store entry is of another kind, in a damaged file: deleting
// the picture leaves that entry's bytes as they were.
TEST(DamagedSheetParts, APictureStoreEntryOfAnotherKindIsLeftAlone)
{
    QByteArray stream = WorkbookStreamOf(XlsFixture(QStringLiteral("lo-picture.xls")));
    const qsizetype at = stream.indexOf(QByteArray("\x62\x00\x07\xf0", 4)); // the BSE's header
    ASSERT_GT(at, 0);
    stream[at + 2] = '\x0b'; // now an entry of another kind
    const QByteArray entry = stream.mid(at, 8 + 36);
    auto file = OpenWorkbookStream(stream);
    ASSERT_EQ(file->ImageCount(), 1);
    file->DeleteImage(0);
    EXPECT_TRUE(WorkbookStreamOf(SaveScratch(*file, QStringLiteral("other-store-entry"))).contains(entry));
}
