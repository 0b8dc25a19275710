#include "xls/workbook/SheetPictures.h"

#include "xls/records/BaseRecordList.h"
#include "xls/records/OtherRecords.h"
#include "xls/records/RecordFactory.h"
#include "xls/storage/ByteUtils.h"
#include "xls/workbook/DrawingGroup.h"
#include "xls/workbook/SheetDrawing.h"
#include "xls/workbook/XlsWorkbookMessages.h"

namespace {

constexpr int PictureObject = 8;

TSheetDrawing::TShape ShapeOf(const TBaseRecordList &records, const TSheetDrawing &drawing, int index)
{
    const auto shape = drawing.ShapeOfObject(TSheetPictures::Objects(records).at(index));
    if (!shape)
        XlsRaise(XlsMsg::FileInvalid);
    return *shape;
}

// A picture frame showing stored picture blip, its aspect locked, without
// a line round it.
QByteArray PictureShape(quint32 id, int blip, const TDrawingAnchor &anchor, qsizetype &objectAt)
{
    constexpr int PictureFrame = 75;
    return TSheetDrawing::NewShape(PictureFrame, id, {{0x007F, 0x00800080}, {0x4104, quint32(blip)}, {0x01FF, 0x00080000}},
                                   anchor, false, objectAt);
}

// OBJ of a picture: common object data (kind 8), its clipboard format (none
// in particular), its picture options, the end.
QByteArray PictureObjectData(int objId)
{
    // Locked, printed, fills and lines itself.
    QByteArray data = TSheetDrawing::NewObjectData(38, PictureObject, objId, 0x6011);
    WriteWord(data, 22, 0x07);
    WriteWord(data, 24, 0x02);
    WriteWord(data, 26, 0xFFFF);
    WriteWord(data, 28, 0x08);
    WriteWord(data, 30, 0x02);
    return data;
}

}  // namespace

QList<int> TSheetPictures::Objects(const TBaseRecordList &records)
{
    QList<int> objects;
    for (int i = 0; i < records.Count(); ++i)
        if (const auto *obj = dynamic_cast<const TObjRecord *>(records.Items(i)))
            if (obj->ObjKind() == 0x15 && obj->ObjType() == PictureObject)
                objects.append(i);
    return objects;
}

TDrawingAnchor TSheetPictures::Anchor(TBaseRecordList &records, int index)
{
    const TSheetDrawing drawing(records);
    return drawing.Anchor(ShapeOf(records, drawing, index));
}

QByteArray TSheetPictures::Picture(TBaseRecordList &records, const TDrawingGroup &group, int index,
                                   TDrawingAnchor &anchor)
{
    const TSheetDrawing drawing(records);
    const TSheetDrawing::TShape shape = ShapeOf(records, drawing, index);
    anchor = drawing.Anchor(shape);
    return group.Blip(shape.BlipIndex);
}

void TSheetPictures::Add(TBaseRecordList &records, TDrawingGroup &group, int lowestDrawingId,
                         const QByteArray &picture, const TDrawingAnchor &anchor)
{
    const int blip = group.AddBlip(picture);
    TSheetDrawing drawing(records);
    const quint32 id = drawing.NewShapeId(group, lowestDrawingId);
    group.AddBlipReference(blip, 1);
    qsizetype objectAt = 0;
    const QByteArray shape = PictureShape(id, blip, anchor, objectAt);
    std::vector<std::pair<qsizetype, std::unique_ptr<TBaseRecord>>> inside;
    inside.emplace_back(objectAt, CreateRecord(TObjRecord::Id, PictureObjectData(TSheetDrawing::NewObjectId(records))));
    drawing.AppendShape(id, shape, std::move(inside));
    drawing.Store();
    group.Store();
}

void TSheetPictures::Delete(TBaseRecordList &records, TDrawingGroup &group, int index)
{
    TSheetDrawing drawing(records);
    const TSheetDrawing::TShape shape = ShapeOf(records, drawing, index);
    drawing.RemoveShape(shape);
    drawing.Store();
    group.AddBlipReference(shape.BlipIndex, -1);
    group.Store();
}
