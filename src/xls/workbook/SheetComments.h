#pragma once

#include <QList>
#include <QString>

class TBaseRecordList;

// A comment (note) of a sheet: its cell, 0-based, and its text.
struct TSheetComment
{
    int Row = 0;
    int Col = 0;
    QString Text;
};

// Reads the comments of a sheet from its records: a NOTE record names the
// cell and a drawing object; that object's OBJ record is followed by the TXO
// record whose CONTINUE records hold the text.
class TSheetComments
{
public:
    // In NOTE order. A note whose object has no text gets an empty text.
    static QList<TSheetComment> Read(const TBaseRecordList &records);
    // Replaces the text of comment number index (in NOTE order), keeping the
    // font of its first run. Raises for an index outside the comments or a
    // comment without a text object.
    static void SetText(TBaseRecordList &records, int index, const QString &text);
};
