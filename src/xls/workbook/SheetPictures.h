#pragma once

#include <QByteArray>
#include <QList>

class TBaseRecordList;
class TDrawingGroup;
struct TDrawingAnchor;

// The pictures of a sheet: drawing objects whose OBJ says picture, each a
// shape of the sheet's drawing that shows one picture of the workbook's
// drawing group.
class TSheetPictures
{
public:
    // The record indexes of the pictures' OBJ records, in sheet order.
    static QList<int> Objects(const TBaseRecordList &records);
    // Where picture number index stands.
    static TDrawingAnchor Anchor(TBaseRecordList &records, int index);
    // The bytes of picture number index and where it stands.
    static QByteArray Picture(TBaseRecordList &records, const TDrawingGroup &group, int index,
                              TDrawingAnchor &anchor);
    // Stores the picture in the group and shows it over the anchor, after
    // the sheet's other drawing objects.
    static void Add(TBaseRecordList &records, TDrawingGroup &group, int lowestDrawingId, const QByteArray &picture,
                    const TDrawingAnchor &anchor);
    static void Delete(TBaseRecordList &records, TDrawingGroup &group, int index);
};
