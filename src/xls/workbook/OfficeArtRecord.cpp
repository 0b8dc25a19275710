#include "xls/workbook/OfficeArtRecord.h"

#include "xls/storage/ByteUtils.h"
#include "xls/workbook/XlsWorkbookMessages.h"

TOfficeArtRecord TOfficeArtRecord::Read(QByteArrayView data, qsizetype at, qsizetype end)
{
    if (at < 0 || end > data.size() || at + HeaderSize > end)
        XlsRaise(XlsMsg::FileInvalid);
    TOfficeArtRecord r;
    const quint16 versionInstance = ReadWord(data, at);
    r.Version = versionInstance & 0x0F;
    r.Instance = versionInstance >> 4;
    r.Type = ReadWord(data, at + 2);
    r.Length = qsizetype(ReadCardinal(data, at + 4));
    r.At = at;
    if (r.Length > end - r.DataAt())
        XlsRaise(XlsMsg::FileInvalid);
    return r;
}

QList<TOfficeArtRecord> TOfficeArtRecord::Children(QByteArrayView data, const TOfficeArtRecord &container)
{
    QList<TOfficeArtRecord> children;
    for (qsizetype at = container.DataAt(); at < container.End();) {
        children.append(Read(data, at, container.End()));
        at = children.last().End();
    }
    return children;
}

TOfficeArtRecord TOfficeArtRecord::Child(QByteArrayView data, const TOfficeArtRecord &container, quint16 type)
{
    for (const TOfficeArtRecord &child : Children(data, container))
        if (child.Type == type)
            return child;
    return {};
}

QByteArray TOfficeArtRecord::Make(int version, int instance, quint16 type, QByteArrayView body)
{
    QByteArray record(HeaderSize, '\0');
    WriteWord(record, 0, quint16((instance << 4) | (version & 0x0F)));
    WriteWord(record, 2, type);
    WriteCardinal(record, 4, quint32(body.size()));
    record.append(body.data(), body.size());
    return record;
}

void TOfficeArtRecord::SetLength(QByteArray &data, const TOfficeArtRecord &record, qsizetype length)
{
    WriteCardinal(data, record.At + 4, quint32(length));
}

void TOfficeArtRecord::SetInstance(QByteArray &data, const TOfficeArtRecord &record, int instance)
{
    WriteWord(data, record.At, quint16((instance << 4) | (record.Version & 0x0F)));
}
