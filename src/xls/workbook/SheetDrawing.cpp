#include "xls/workbook/SheetDrawing.h"

#include "xls/records/DrawingRecords.h"
#include "xls/workbook/DrawingGroup.h"
#include "xls/records/LinkRecords.h"
#include "xls/records/OtherRecords.h"
#include "xls/storage/ByteUtils.h"
#include "xls/workbook/WorkbookRecords_p.h"
#include "xls/workbook/XlsWorkbookMessages.h"

using R = TOfficeArtRecord;

namespace {

constexpr int AnchorSize = 18;
// The OPT property naming the picture a shape shows (its store index).
constexpr quint16 PictureProperty = 0x0104;

QByteArray AnchorBytes(const TDrawingAnchor &a)
{
    QByteArray bytes(AnchorSize, '\0');
    const int words[] = {a.Flags, a.Col1, a.Dx1, a.Row1, a.Dy1, a.Col2, a.Dx2, a.Row2, a.Dy2};
    for (int i = 0; i < 9; ++i)
        WriteWord(bytes, 2 * i, quint16(words[i]));
    return bytes;
}

// Where a drawing goes in a sheet that has none: before the comments' NOTE
// records, else before the sheet's view.
int PlaceForNewDrawing(const TBaseRecordList &records)
{
    for (quint16 id : {TNoteRecord::Id, XlsIds::Window2})
        if (const int at = XlsDetail::FindRecord(records, id); at >= 0)
            return at;
    return std::max(records.Count() - 1, 0);
}

}  // namespace

TSheetDrawing::TSheetDrawing(TBaseRecordList &records) : FRecords(records)
{
    Load();
}

void TSheetDrawing::Load()
{
    FData.clear();
    FEntries.clear();
    FFirst = FEnd = XlsDetail::FindRecord(FRecords, TDrawingRecord::Id);
    if (FFirst < 0)
        return;
    int depth = 0;  // inside an embedded chart's substream
    for (; FEnd < FRecords.Count() && FRecords.Items(FEnd); ++FEnd) {
        const TBaseRecord &record = *FRecords.Items(FEnd);
        const quint16 id = record.RecordId();
        const bool drawing = depth == 0 && id == TDrawingRecord::Id;
        if (depth == 0 && !drawing && id != TObjRecord::Id && id != TTXORecord::Id && id != XlsIds::Bof)
            break;
        depth += id == XlsIds::Bof ? 1 : id == XlsIds::Eof ? -1 : 0;
        FEntries.push_back({FData.size(), drawing, false});
        if (drawing)
            FData += record.DataWithContinues();
    }
}

void TSheetDrawing::Create(int drawingId, quint32 groupShapeId)
{
    QByteArray fdg(8, '\0');
    WriteCardinal(fdg, 0, 1);
    WriteCardinal(fdg, 4, groupShapeId);
    QByteArray sp(8, '\0');
    WriteCardinal(sp, 0, groupShapeId);
    WriteCardinal(sp, 4, 0x0005);  // the group's own shape, at the top
    const QByteArray groupShape = R::Make(0xF, 0, R::SpContainer, R::Make(1, 0, R::Spgr, QByteArray(16, '\0'))
                                                                      + R::Make(2, 0, R::Sp, sp));
    FData = R::Make(0xF, 0, R::DgContainer,
                    R::Make(0, drawingId, R::Dg, fdg) + R::Make(0xF, 0, R::SpgrContainer, groupShape));
    FFirst = FEnd = PlaceForNewDrawing(FRecords);
    FEntries.clear();
}

R TSheetDrawing::Container() const
{
    const R container = R::Read(FData, 0, FData.size());
    if (container.Type != R::DgContainer)
        XlsRaise(XlsMsg::FileInvalid);
    return container;
}

R TSheetDrawing::Group() const
{
    const R group = R::Child(FData, Container(), R::SpgrContainer);
    if (group.Type == 0)
        XlsRaise(XlsMsg::FileInvalid);
    return group;
}

R TSheetDrawing::Fdg() const
{
    const R fdg = R::Child(FData, Container(), R::Dg);
    if (fdg.Type == 0 || fdg.Length < 8)
        XlsRaise(XlsMsg::FileInvalid);
    return fdg;
}

int TSheetDrawing::DrawingId() const
{
    return Exists() ? Fdg().Instance : 0;
}

quint32 TSheetDrawing::LastShapeId() const
{
    return ReadCardinal(FData, Fdg().DataAt() + 4);
}

quint32 TSheetDrawing::NewShapeId(TDrawingGroup &group, int lowestDrawingId)
{
    if (!Exists()) {
        quint32 groupShape = 0;
        const int drawing = group.NewDrawing(lowestDrawingId, groupShape);
        Create(drawing, groupShape);
    }
    return group.NextShapeId(LastShapeId());
}

int TSheetDrawing::ObjectId(const TBaseRecord *record)
{
    // The common object data comes first: kind 0x15 at 0, the id at 6.
    if (!record || record->RecordId() != TObjRecord::Id || record->DataSize() < 8)
        return -1;
    return ReadWord(record->DataView(), 6);
}

QByteArray TSheetDrawing::NewObjectData(int size, quint16 kind, int objId, quint16 options)
{
    QByteArray data(size, '\0');
    WriteWord(data, 0, 0x15);
    WriteWord(data, 2, 0x12);
    WriteWord(data, 4, kind);
    WriteWord(data, 6, quint16(objId));
    WriteWord(data, 8, options);
    return data;
}

int TSheetDrawing::NewObjectId(const TBaseRecordList &records)
{
    int highest = 0;
    for (int i = 0; i < records.Count(); ++i)
        highest = std::max(highest, ObjectId(records.Items(i)));
    if (highest >= 0xFFFF)
        XlsRaise(QStringLiteral("Too many drawing objects on the sheet"));
    return highest + 1;
}

void TSheetDrawing::CollectShapes(const R &group, QList<R> parents, QList<TShape> &shapes) const
{
    // Groups nest a few levels; a file nesting them without end is damaged.
    constexpr int MaxNesting = 32;
    if (parents.size() > MaxNesting)
        XlsRaise(XlsMsg::FileInvalid);
    parents.append(group);
    for (const R &child : R::Children(FData, group)) {
        if (child.Type == R::SpgrContainer) {
            CollectShapes(child, parents, shapes);
            continue;
        }
        if (child.Type != R::SpContainer)
            continue;
        TShape shape{child, parents};
        for (const R &part : R::Children(FData, child)) {
            if (part.Type == R::Sp && part.Length >= 4)
                shape.Id = ReadCardinal(FData, part.DataAt());
            else if (part.Type == R::ClientAnchor && part.Length >= AnchorSize)
                shape.AnchorAt = part.DataAt();
            else if (part.Type == R::ClientData)
                shape.ObjectAt = part.End();
            else if (part.Type == R::Opt)
                for (int i = 0; i < part.Instance && (i + 1) * 6 <= part.Length; ++i)
                    if ((ReadWord(FData, part.DataAt() + i * 6) & 0x3FFF) == PictureProperty)
                        shape.BlipIndex = int(ReadCardinal(FData, part.DataAt() + i * 6 + 2));
        }
        if (shape.ObjectAt >= 0)
            shapes.append(shape);
    }
}

QList<TSheetDrawing::TShape> TSheetDrawing::Shapes() const
{
    QList<TShape> shapes;
    if (Exists())
        CollectShapes(Group(), {Container()}, shapes);
    return shapes;
}

std::optional<TSheetDrawing::TShape> TSheetDrawing::ShapeOfObject(int recordIndex) const
{
    if (recordIndex < FFirst || recordIndex >= FEnd)
        return std::nullopt;
    const qsizetype at = FEntries[size_t(recordIndex - FFirst)].Offset;
    for (const TShape &shape : Shapes())
        if (shape.ObjectAt == at)
            return shape;
    return std::nullopt;
}

TDrawingAnchor TSheetDrawing::Anchor(const TShape &shape) const
{
    if (shape.AnchorAt < 0)
        return {};
    auto word = [&](int i) { return int(ReadWord(FData, shape.AnchorAt + 2 * i)); };
    return {word(0), word(1), word(2), word(3), word(4), word(5), word(6), word(7), word(8)};
}

void TSheetDrawing::SetAnchor(const TShape &shape, const TDrawingAnchor &a)
{
    if (shape.AnchorAt < 0)
        XlsRaise(XlsMsg::FileInvalid);
    FData.replace(shape.AnchorAt, AnchorSize, AnchorBytes(a));
}

bool TSheetDrawing::FollowCells(int rowPos, int rowCount, int colPos, int colCount)
{
    bool changed = false;
    for (const TShape &shape : Shapes()) {
        if (shape.AnchorAt < 0)
            continue;  // placed inside its group, which moves for it
        TDrawingAnchor anchor = Anchor(shape);
        const TDrawingAnchor before = anchor;
        anchor.FollowRows(rowPos, rowCount);
        anchor.FollowCols(colPos, colCount);
        if (anchor != before) {
            SetAnchor(shape, anchor);
            changed = true;
        }
    }
    return changed;
}

void TSheetDrawing::CollectIdPlaces(const R &group, QList<qsizetype> &places) const
{
    for (const R &child : R::Children(FData, group)) {
        if (child.Type == R::SpgrContainer) {
            CollectIdPlaces(child, places);
        } else if (child.Type == R::SpContainer) {
            const R sp = R::Child(FData, child, R::Sp);
            if (sp.Type != 0 && sp.Length >= 4)
                places.append(sp.DataAt());
        }
    }
}

void TSheetDrawing::RenumberRules(const QHash<quint32, quint32> &ids)
{
    // Connector, arc and callout rules name the shapes they join.
    const R solver = R::Child(FData, Container(), R::SolverContainer);
    if (solver.Type == 0)
        return;
    for (const R &rule : R::Children(FData, solver)) {
        const int shapes = rule.Type == R::ConnectorRule                           ? 3
                           : rule.Type == R::ArcRule || rule.Type == R::CalloutRule ? 1
                                                                                    : 0;
        for (int k = 1; k <= shapes && (k + 1) * 4 <= rule.Length; ++k) {
            const qsizetype at = rule.DataAt() + 4 * k;
            WriteCardinal(FData, at, ids.value(ReadCardinal(FData, at), ReadCardinal(FData, at)));
        }
    }
}

void TSheetDrawing::Renumber(TDrawingGroup &group, int lowestDrawingId)
{
    if (!Exists())
        return;
    QList<qsizetype> places;
    CollectIdPlaces(Group(), places);
    quint32 id = 0;
    const int drawing = group.NewDrawing(lowestDrawingId, id);
    R::SetInstance(FData, Fdg(), drawing);
    QHash<quint32, quint32> ids;
    for (qsizetype k = 0; k < places.size(); ++k) {
        if (k > 0)
            id = group.NextShapeId(id, drawing);
        ids.insert(ReadCardinal(FData, places[k]), id);
        WriteCardinal(FData, places[k], id);
    }
    WriteCardinal(FData, Fdg().DataAt() + 4, id);
    RenumberRules(ids);
    for (const TShape &shape : Shapes())
        group.AddBlipReference(shape.BlipIndex, 1);
    Store();
}

QByteArray TSheetDrawing::NewShape(int shapeType, quint32 id,
                                   std::initializer_list<std::pair<quint16, quint32>> properties,
                                   const TDrawingAnchor &anchor, bool textBox, qsizetype &objectAt)
{
    QByteArray sp(8, '\0');
    WriteCardinal(sp, 0, id);
    WriteCardinal(sp, 4, 0x0A00);  // has an anchor and a shape type
    QByteArray opt;
    for (const auto &[property, value] : properties) {
        QByteArray entry(6, '\0');
        WriteWord(entry, 0, property);
        WriteCardinal(entry, 2, value);
        opt += entry;
    }
    QByteArray body = R::Make(2, shapeType, R::Sp, sp) + R::Make(3, int(properties.size()), R::Opt, opt)
                    + R::Make(0, 0, R::ClientAnchor, AnchorBytes(anchor)) + R::Make(0, 0, R::ClientData, {});
    objectAt = R::HeaderSize + body.size();
    if (textBox)
        body += R::Make(0, 0, R::ClientTextbox, {});
    return R::Make(0xF, 0, R::SpContainer, body);
}

void TSheetDrawing::AppendShape(quint32 id, const QByteArray &shape,
                                std::vector<std::pair<qsizetype, std::unique_ptr<TBaseRecord>>> records)
{
    const R container = Container();
    const R group = Group();
    const R fdg = Fdg();
    const qsizetype at = group.End();
    R::SetLength(FData, container, container.Length + shape.size());
    R::SetLength(FData, group, group.Length + shape.size());
    WriteCardinal(FData, fdg.DataAt(), ReadCardinal(FData, fdg.DataAt()) + 1);
    WriteCardinal(FData, fdg.DataAt() + 4, id);
    FData.insert(at, shape);
    // The new records follow every record standing at or before the shape.
    size_t k = 0;
    while (k < FEntries.size() && FEntries[k].Offset <= at)
        ++k;
    for (size_t j = k; j < FEntries.size(); ++j)
        FEntries[j].Offset += shape.size();
    int index = FFirst + int(k);
    for (auto &[offset, record] : records) {
        FRecords.Insert(index, std::move(record));
        FEntries.insert(FEntries.begin() + qsizetype(k), TEntry{at + offset, false, false});
        ++index;
        ++k;
        ++FEnd;
    }
}

void TSheetDrawing::RemoveShape(const TShape &shape)
{
    const qsizetype start = shape.Container.At, end = shape.Container.End(), size = end - start;
    for (const R &parent : shape.Parents)
        R::SetLength(FData, parent, parent.Length - size);
    const R fdg = Fdg();
    WriteCardinal(FData, fdg.DataAt(), std::max<quint32>(ReadCardinal(FData, fdg.DataAt()), 1) - 1);
    FData.remove(start, size);
    for (TEntry &entry : FEntries) {
        if (entry.Drawing)
            continue;
        if (entry.Offset > start && entry.Offset <= end)
            entry.Removed = true;
        else if (entry.Offset > end)
            entry.Offset -= size;
    }
}

void TSheetDrawing::Store()
{
    if (FFirst < 0)
        return;
    for (int i = FEnd - 1; i >= FFirst; --i)
        if (FEntries[size_t(i - FFirst)].Drawing || FEntries[size_t(i - FFirst)].Removed)
            FRecords.Delete(i);
    QList<qsizetype> kept;
    for (const TEntry &entry : FEntries)
        if (!entry.Drawing && !entry.Removed)
            kept.append(entry.Offset);
    // Each stretch of data between two kept records becomes one MSODRAWING,
    // put in from the back so the indexes before stay valid.
    auto put = [&](qsizetype from, qsizetype to, int index) {
        if (to > from)
            FRecords.Insert(index, XlsDetail::RecordWithContinues(TDrawingRecord::Id, FData.mid(from, to - from)));
    };
    const int k = int(kept.size());
    put(k > 0 ? kept[k - 1] : 0, FData.size(), FFirst + k);
    for (int j = k - 1; j >= 1; --j)
        put(kept[j - 1], kept[j], FFirst + j);
    if (k > 0)
        put(0, kept[0], FFirst);
    Load();
}
