#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

class TOle2File;

// Where a stream lies in its document: the file and the stream's sectors in
// order, every one of them checked to lie within the file when it was opened.
struct TOle2StreamPlace
{
    std::shared_ptr<TOle2File> File;
    std::vector<quint32> Sectors;
    int SectorSize = 512;
    qint64 Size = 0;
    // The error when the file ends before the stream (it was cut short since).
    QString ShortMessage;

    // Copies count bytes of the stream from offset into dest, a run of
    // adjacent sectors at a time.
    void ReadInto(qint64 offset, qint64 count, char *dest) const;
    QByteArray ReadAll() const;
};
