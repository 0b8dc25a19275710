#pragma once

#include "platform/db/Dbf.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QList>

namespace detail {

// What a table's header says: read from a file, or made for a new table.
struct DbfLayout
{
    quint8 version = 0x03;
    quint8 codePage = 0;
    QDate lastUpdate;
    qint64 recordCount = 0;
    int headerLength = 0;
    int recordLength = 0;
    QList<DbfField> fields;            // the visible ones
    QList<int> descriptorOffsets;      // header offset of each visible field's descriptor

    static constexpr int FileHeaderSize = 32;
    static constexpr int DescriptorSize = 32;
    static constexpr char Terminator = 0x0D;
    static constexpr char EndOfFile = 0x1A;
    static constexpr quint8 CodePageCp1250 = 0xC8;
    static constexpr int MaxCharLength = 254;

    // Checks the header against the file's size: a table whose header or
    // records do not fit the bytes raises DbfError naming the offset.
    static DbfLayout parse(QByteArrayView bytes, const QString &name);

    // A dBase III header for a new, empty table; fills in the offsets and
    // upper-cases the names. Raises DbfError for a field list it cannot store.
    static QByteArray makeHeader(QList<DbfField> &fields);

    // Stores the record count and the last update: today, or the date given.
    static void stamp(char *header, qint64 recordCount);
    static void stamp(char *header, qint64 recordCount, const QDate &lastUpdate);

    // Visual FoxPro: hidden system columns, field places kept in the descriptors.
    bool isFoxPro() const { return version == 0x30 || version == 0x31 || version == 0x32; }

    qint64 dataEnd() const { return headerLength + recordCount * recordLength; }
};

} // namespace detail
