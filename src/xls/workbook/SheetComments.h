#pragma once

#include <QList>
#include <QString>

class TBaseRecordList;
class TDrawingGroup;
struct TDrawingAnchor;

// Reads the comments of a sheet from its records: a NOTE record names the
// cell and a drawing object; that object's OBJ record is followed by the TXO
// record whose CONTINUE records hold the text.
class TSheetComments
{
public:
    // The rows (0-based) of the comments in NOTE order; reads no text, so a
    // damaged text object does not hide the comment.
    static QList<int> Rows(const TBaseRecordList &records);
    // The text of comment number index (in NOTE order); empty when its object
    // has no text. Raises for an index outside the comments.
    static QString Text(const TBaseRecordList &records, int index);
    // Replaces the text of comment number index (in NOTE order), keeping the
    // font of its first run. Raises for an index outside the comments or a
    // comment without a text object.
    static void SetText(TBaseRecordList &records, int index, const QString &text);

    // The cells (0-based) of the comments in NOTE order.
    struct TCell
    {
        int Row = 0;
        int Col = 0;
    };
    static QList<TCell> Cells(const TBaseRecordList &records);
    // Where the box of comment number index stands.
    static TDrawingAnchor Anchor(TBaseRecordList &records, int index);
    static void SetAnchor(TBaseRecordList &records, int index, const TDrawingAnchor &anchor);
    // A new comment on a cell (0-based) with the text, after the others: its
    // box in the sheet's drawing (started when the sheet has none), its
    // OBJ, TXO and NOTE records; the group is stored with its new counts.
    static void Add(TBaseRecordList &records, TDrawingGroup &group, int lowestDrawingId, int row, int col,
                    const QString &text);
    // Deletes comment number index with its box.
    static void Delete(TBaseRecordList &records, int index);
};
