#pragma once

#include <QList>
#include <QString>

class TBaseRecordList;

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
};
