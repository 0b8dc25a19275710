#pragma once

#include "xls/workbook/DrawingAnchor.h"
#include "xls/workbook/OfficeArtRecord.h"

#include <QByteArray>
#include <QHash>
#include <QList>

#include <initializer_list>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class TBaseRecord;
class TBaseRecordList;
class TDrawingGroup;

// The drawing of a sheet. Its MSODRAWING records are pieces of one stream of
// drawing data (a DgContainer: the drawing's FDG, then the group of shapes);
// the records between them (an object's OBJ, a text box's TXO, an embedded
// chart) stand at the stream offset where the piece before them ends: an
// OBJ at the end of its shape's client data, a TXO at the end of its text box.
class TSheetDrawing
{
public:
    // Reads the sheet's drawing; a sheet without one has an empty stream.
    explicit TSheetDrawing(TBaseRecordList &records);

    bool Exists() const { return !FData.isEmpty(); }
    // Starts a drawing with only its group shape, for the first object of a sheet.
    void Create(int drawingId, quint32 groupShapeId);
    int DrawingId() const;
    quint32 LastShapeId() const;
    // The id for a shape about to be added, counted in the group; a sheet
    // without a drawing gets one first, with an id not below lowestDrawingId.
    quint32 NewShapeId(TDrawingGroup &group, int lowestDrawingId);
    // An object id no OBJ record of the sheet has.
    static int NewObjectId(const TBaseRecordList &records);
    // The OBJ record's object id; -1 for another record.
    static int ObjectId(const TBaseRecord *record);
    // An OBJ record's data of that size, starting with its common object
    // data (ft 0x15, 0x12 bytes): the object kind, its id and its options.
    static QByteArray NewObjectData(int size, quint16 kind, int objId, quint16 options);

    struct TShape
    {
        TOfficeArtRecord Container;
        QList<TOfficeArtRecord> Parents;  // the containers holding it, outermost first
        quint32 Id = 0;
        qsizetype AnchorAt = -1;          // data of the client anchor
        qsizetype ObjectAt = -1;          // the end of the client data
        int BlipIndex = 0;                // the picture it shows, from 1; 0 for none
    };
    // The shape whose OBJ record stands at index of the sheet's records.
    std::optional<TShape> ShapeOfObject(int recordIndex) const;

    TDrawingAnchor Anchor(const TShape &shape) const;
    void SetAnchor(const TShape &shape, const TDrawingAnchor &anchor);
    // Every anchor that moves with the cells follows rows and columns
    // inserted (positive counts) or deleted (negative ones); true when one
    // changed, for the caller to store the drawing.
    bool FollowCells(int rowPos, int rowCount, int colPos, int colCount);

    // Gives a copied sheet's drawing a drawing id and shape ids of its own,
    // and counts its pictures once more; a sheet without one is left alone.
    void Renumber(TDrawingGroup &group, int lowestDrawingId);

    // Adds a shape (a whole SpContainer) at the end of the drawing's group,
    // with the records that stand inside it, each at an offset from the
    // shape's start; they go after the records already there.
    void AppendShape(quint32 id, const QByteArray &shape,
                     std::vector<std::pair<qsizetype, std::unique_ptr<TBaseRecord>>> records);
    // Takes a shape out, with the records standing inside it.
    void RemoveShape(const TShape &shape);

    // A shape's SpContainer: its type and id, its properties (OPT, in
    // property order), its anchor, its client data and, for a text box, its
    // client text box. objectAt gets where its OBJ stands.
    static QByteArray NewShape(int shapeType, quint32 id, std::initializer_list<std::pair<quint16, quint32>> properties,
                               const TDrawingAnchor &anchor, bool textBox, qsizetype &objectAt);

    // Writes the drawing back as MSODRAWING records around the others.
    void Store();

private:
    struct TEntry
    {
        qsizetype Offset = 0;
        bool Drawing = false;
        bool Removed = false;
    };
    void Load();
    TOfficeArtRecord Container() const;
    TOfficeArtRecord Group() const;
    TOfficeArtRecord Fdg() const;
    QList<TShape> Shapes() const;
    // Where the id of each shape stands (its Sp record), groups included.
    void CollectIdPlaces(const TOfficeArtRecord &group, QList<qsizetype> &places) const;
    void RenumberRules(const QHash<quint32, quint32> &ids);
    void CollectShapes(const TOfficeArtRecord &group, QList<TOfficeArtRecord> parents, QList<TShape> &shapes) const;

    TBaseRecordList &FRecords;
    QByteArray FData;
    int FFirst = -1;  // the records of the drawing: FFirst up to FEnd
    int FEnd = -1;
    std::vector<TEntry> FEntries;  // one per record from FFirst
};
