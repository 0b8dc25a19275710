#include "xls/workbook/SheetComments.h"

#include "xls/records/BaseRecordList.h"
#include "xls/records/LinkRecords.h"
#include "xls/records/OtherRecords.h"
#include "xls/records/RecordFactory.h"
#include "xls/storage/ByteUtils.h"
#include "xls/workbook/DrawingGroup.h"
#include "xls/workbook/SheetDrawing.h"
#include "xls/workbook/WorkbookRecords_p.h"
#include "xls/workbook/XlsWorkbookMessages.h"

#include <QUuid>

namespace {

// OBJ data: the common object data sub-record first, the object id at 6.
constexpr int ObjIdOffset = 6;
// TXO data: the text's character count at 10; the text in the first CONTINUE
// after a byte of options.
constexpr int TxoTextLengthOffset = 10;

QString TxoText(const TBaseRecord &txo)
{
    if (txo.DataSize() < TxoTextLengthOffset + 2)
        return {};
    const int length = ReadWord(txo.Data(), TxoTextLengthOffset);
    const TBaseRecord *record = txo.Continue();
    if (length == 0 || !record || record->DataSize() == 0)
        return {};
    int pos = 1;
    quint8 options = static_cast<quint8>(record->Data().at(0));
    return ReadStringAcrossContinue(record, pos, length, options);
}

// The TXO record of the drawing object objId: the first after its OBJ.
int TxoOf(const TBaseRecordList &records, int objId)
{
    bool objSeen = false;
    for (int i = 0; i < records.Count(); ++i) {
        const TBaseRecord *record = records.Items(i);
        if (!record)
            continue;
        if (record->RecordId() == TObjRecord::Id)
            objSeen = record->DataSize() >= ObjIdOffset + 2 && ReadWord(record->Data(), ObjIdOffset) == objId;
        else if (record->RecordId() == TTXORecord::Id && objSeen)
            return i;
    }
    return -1;
}

// The font of the text's first run; 0 when there are no runs. The runs are
// in the last CONTINUE record, after those of the text.
int FirstRunFont(const TBaseRecord &txo)
{
    const TBaseRecord *runs = txo.Continue();
    if (!runs || !runs->Continue())
        return 0;
    while (runs->Continue())
        runs = runs->Continue();
    return runs->DataSize() >= 4 ? ReadWord(runs->Data(), 2) : 0;
}

// The record index of the NOTE of comment number index.
int NoteRecord(const TBaseRecordList &records, int index)
{
    int seen = 0;
    for (int i = 0; i < records.Count(); ++i)
        if (dynamic_cast<const TNoteRecord *>(records.Items(i)))
            if (seen++ == index)
                return i;
    XlsRaise(XlsMsg::IndexOutOfRange(index, QStringLiteral("CommentIndex"), 0, seen - 1));
}

const TNoteRecord &NoteAt(const TBaseRecordList &records, int index)
{
    return *static_cast<const TNoteRecord *>(records.Items(NoteRecord(records, index)));
}

// The shape of the comment's box in the drawing.
TSheetDrawing::TShape BoxOf(const TBaseRecordList &records, const TSheetDrawing &drawing, int index)
{
    const int objId = NoteAt(records, index).ObjId();
    for (int i = 0; i < records.Count(); ++i)
        if (TSheetDrawing::ObjectId(records.Items(i)) == objId)
            if (const auto shape = drawing.ShapeOfObject(i))
                return *shape;
    XlsRaise(XlsMsg::FileInvalid);
}

// The box's shape: a text box with the look of a comment (the tip's
// colours, a shadow), hidden until the cell is pointed at, right of the cell.
QByteArray BoxShape(quint32 id, int row, int col, qsizetype &objectAt)
{
    const int top = std::max(row - 1, 0);
    const TDrawingAnchor anchor{3, std::min(col + 1, 255), 15, top, 10, std::min(col + 3, 255), 15,
                                std::min(top + 4, 65535), 4};
    constexpr int TextBoxShape = 202;
    return TSheetDrawing::NewShape(TextBoxShape, id,
                                   {{0x0080, 0}, {0x00BF, 0x00080008}, {0x0158, 0}, {0x0181, 0x08000050},
                                    {0x0183, 0x08000050}, {0x01BF, 0x00100010}, {0x023F, 0x00030003},
                                    {0x03BF, 0x00020002}},
                                   anchor, true, objectAt);
}

// OBJ of a comment: common object data (kind 0x19), the note's own data
// (an id of its own), the end.
QByteArray NoteObject(int objId)
{
    QByteArray data = TSheetDrawing::NewObjectData(52, 0x19, objId, 0x4011);  // locked, printed, fills itself
    WriteWord(data, 22, 0x0D);
    WriteWord(data, 24, 0x16);
    data.replace(26, 16, QUuid::createUuid().toRfc4122());
    return data;
}

constexpr int MaxContinueData = 8224;
constexpr int MaxCommentLength = 32767;

void CheckLength(const QString &text)
{
    if (text.size() > MaxCommentLength)
        XlsRaise(QStringLiteral("The comment is too long (%1 characters)").arg(text.size()));
}

}  // namespace

QList<int> TSheetComments::Rows(const TBaseRecordList &records)
{
    QList<int> rows;
    for (const TCell &cell : Cells(records))
        rows.append(cell.Row);
    return rows;
}

QString TSheetComments::Text(const TBaseRecordList &records, int index)
{
    const int at = TxoOf(records, NoteAt(records, index).ObjId());
    return at >= 0 ? TxoText(*records.Items(at)) : QString();
}

void TSheetComments::SetText(TBaseRecordList &records, int index, const QString &text)
{
    const int at = TxoOf(records, NoteAt(records, index).ObjId());
    if (at < 0)
        XlsRaise(XlsMsg::FileInvalid);
    CheckLength(text);
    const TBaseRecord &old = *records.Items(at);
    QByteArray data = old.Data().left(18);
    data.append(18 - data.size(), '\0');
    WriteWord(data, 10, static_cast<quint16>(text.size()));
    WriteWord(data, 12, text.isEmpty() ? 0 : 16);
    auto txo = CreateRecord(TTXORecord::Id, data);
    if (!text.isEmpty()) {
        const bool wide = std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() > 0xFF; });
        const int perRecord = (MaxContinueData - 1) / (wide ? 2 : 1);
        for (int first = 0; first < text.size(); first += perRecord) {
            QByteArray chunk(1, wide ? '\x01' : '\0');
            for (QChar c : QStringView(text).mid(first, perRecord)) {
                chunk.append(static_cast<char>(c.unicode() & 0xFF));
                if (wide)
                    chunk.append(static_cast<char>(c.unicode() >> 8));
            }
            txo->AppendContinue(std::make_unique<TContinueRecord>(TContinueRecord::Id, chunk));
        }
        // Two runs: the text in the first run's font, and the closing one.
        QByteArray runs(16, '\0');
        WriteWord(runs, 2, static_cast<quint16>(FirstRunFont(old)));
        WriteWord(runs, 8, static_cast<quint16>(text.size()));
        txo->AppendContinue(std::make_unique<TContinueRecord>(TContinueRecord::Id, runs));
    }
    records.SetItem(at, std::move(txo));
}

QList<TSheetComments::TCell> TSheetComments::Cells(const TBaseRecordList &records)
{
    QList<TCell> cells;
    for (int i = 0; i < records.Count(); ++i)
        if (const auto *note = dynamic_cast<const TNoteRecord *>(records.Items(i)))
            cells.append({note->Row(), note->Column()});
    return cells;
}

TDrawingAnchor TSheetComments::Anchor(TBaseRecordList &records, int index)
{
    const TSheetDrawing drawing(records);
    return drawing.Anchor(BoxOf(records, drawing, index));
}

void TSheetComments::SetAnchor(TBaseRecordList &records, int index, const TDrawingAnchor &anchor)
{
    TSheetDrawing drawing(records);
    drawing.SetAnchor(BoxOf(records, drawing, index), anchor);
    drawing.Store();
}

void TSheetComments::Add(TBaseRecordList &records, TDrawingGroup &group, int lowestDrawingId, int row, int col,
                         const QString &text)
{
    CheckLength(text);
    TSheetDrawing drawing(records);
    const quint32 id = drawing.NewShapeId(group, lowestDrawingId);
    const int objId = TSheetDrawing::NewObjectId(records);
    qsizetype objectAt = 0;
    const QByteArray box = BoxShape(id, row, col, objectAt);
    std::vector<std::pair<qsizetype, std::unique_ptr<TBaseRecord>>> inside;
    inside.emplace_back(objectAt, CreateRecord(TObjRecord::Id, NoteObject(objId)));
    inside.emplace_back(box.size(), TTXORecord::NewTXO());
    drawing.AppendShape(id, box, std::move(inside));
    drawing.Store();

    // The author's name is an empty string: length, options and a pad byte.
    QByteArray note(12, '\0');
    WriteWord(note, 0, quint16(row));
    WriteWord(note, 2, quint16(col));
    WriteWord(note, 6, quint16(objId));
    const QList<int> rows = Rows(records);
    int at = rows.isEmpty() ? -1 : NoteRecord(records, int(rows.size()) - 1) + 1;
    if (at < 0)
        at = XlsDetail::FindRecord(records, XlsIds::Window2);
    if (at < 0)
        at = records.Count() - 1;
    records.Insert(at, CreateRecord(TNoteRecord::Id, note));
    SetText(records, int(rows.size()), text);
    group.Store();
}

void TSheetComments::Delete(TBaseRecordList &records, int index)
{
    TSheetDrawing drawing(records);
    drawing.RemoveShape(BoxOf(records, drawing, index));
    drawing.Store();
    records.Delete(NoteRecord(records, index));
}
