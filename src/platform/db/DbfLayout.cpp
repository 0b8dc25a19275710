#include "platform/db/DbfLayout.h"

#include "platform/codepage/Cp1250.h"
#include "platform/db/DbfCursor.h"

#include <QSet>
#include <QtEndian>

namespace detail {

namespace {

bool isKnownVersion(quint8 v)
{
    switch (v) {
    case 0x02: // FoxBASE
    case 0x03: // dBase III, no memo
    case 0x04: // dBase IV, no memo
    case 0x05: // dBase V, no memo
    case 0x30: // Visual FoxPro
    case 0x31: // Visual FoxPro, autoincrement
    case 0x32: // Visual FoxPro, varchar
    case 0x43: // dBase IV SQL table
    case 0x63: // dBase IV SQL system
    case 0x83: // dBase III with memo
    case 0x8B: // dBase IV with memo
    case 0x8E: // dBase IV with SQL table
    case 0xCB: // dBase IV SQL table with memo
    case 0xE5: // with SMT memo
    case 0xF5: // FoxPro with memo
    case 0xFB: // FoxBASE with memo
        return true;
    default:
        return false;
    }
}

// Field name: up to the first NUL of its 11 bytes.
QString fieldName(QByteArrayView raw)
{
    qsizetype n = raw.indexOf('\0');
    if (n < 0)
        n = raw.size();
    return Cp1250::decode(raw.first(n)).trimmed();
}

void readFields(DbfCursor &c, DbfLayout &l)
{
    int offset = 1; // after the deletion flag
    for (;;) {
        const qint64 at = c.pos();
        if (at >= l.headerLength)
            c.fail(at, QStringLiteral("lista campurilor nu se termina in antet"),
                   QStringLiteral("header length %1 is too small: the field list has no end").arg(l.headerLength));
        if (c.peek() == quint8(DbfLayout::Terminator))
            break;
        if (at + DbfLayout::DescriptorSize > l.headerLength)
            c.fail(at, QStringLiteral("lista campurilor nu incape in antet"),
                   QStringLiteral("header length %1 is too small for the field list").arg(l.headerLength));
        const QByteArrayView d = c.take(DbfLayout::DescriptorSize);
        DbfField f;
        f.name = fieldName(d.first(11));
        f.type = d[11];
        f.length = quint8(d[16]);
        f.decimals = quint8(d[17]);
        f.offset = offset;
        if (offset + f.length > l.recordLength)
            c.fail(at, QStringLiteral("campul %1 iese din inregistrare").arg(f.name),
                   QStringLiteral("field %1 (offset %2, length %3) lies outside the record of %4 bytes")
                       .arg(f.name)
                       .arg(offset)
                       .arg(f.length)
                       .arg(l.recordLength));
        offset += f.length;
        // Visual FoxPro keeps its null flags in a hidden system column.
        const bool hidden = l.isFoxPro() && (quint8(d[18]) & 0x01);
        if (!hidden) {
            l.fields.append(f);
            l.descriptorOffsets.append(int(at));
        }
    }
}

} // namespace

DbfLayout DbfLayout::parse(QByteArrayView bytes, const QString &name)
{
    DbfCursor c(bytes, name);
    if (bytes.size() < FileHeaderSize + 1)
        c.fail(0, QStringLiteral("fisierul este prea scurt pentru o tabela"),
               QStringLiteral("the file is too short for a dBase table (%1 bytes)").arg(bytes.size()));
    DbfLayout l;
    l.version = c.u8();
    if (!isKnownVersion(l.version))
        c.fail(0, QStringLiteral("fisierul nu este o tabela dBase"),
               QStringLiteral("not a dBase table (first byte 0x%1)").arg(l.version, 2, 16, QLatin1Char('0')));
    const int yy = c.u8(), mm = c.u8(), dd = c.u8();
    // dBase stores the year less 1900; some writers store it as two digits.
    l.lastUpdate = QDate(yy < 80 ? 2000 + yy : 1900 + yy, mm, dd);
    l.recordCount = c.u32();
    l.headerLength = c.u16();
    l.recordLength = c.u16();
    c.seek(29);
    l.codePage = c.u8();
    if (l.recordLength < 1)
        c.fail(10, QStringLiteral("antetul da inregistrarilor lungimea 0"), QStringLiteral("record length is 0"));
    if (l.headerLength > bytes.size())
        c.fail(8, QStringLiteral("antetul este mai lung decat fisierul"),
               QStringLiteral("header length %1 runs past the end of the file (%2 bytes)")
                   .arg(l.headerLength)
                   .arg(bytes.size()));
    c.seek(FileHeaderSize);
    readFields(c, l);
    if (l.fields.isEmpty())
        c.fail(FileHeaderSize, QStringLiteral("tabela nu are niciun camp"), QStringLiteral("the table has no fields"));
    if (l.dataEnd() > bytes.size()) {
        const qint64 room = (bytes.size() - l.headerLength) / l.recordLength;
        c.fail(4,
               QStringLiteral("antetul numara %1 inregistrari, dar fisierul are loc doar pentru %2")
                   .arg(l.recordCount)
                   .arg(room),
               QStringLiteral("record count %1 runs past the end of the file (room for %2 records)")
                   .arg(l.recordCount)
                   .arg(room));
    }
    return l;
}

namespace {

void checkField(const DbfField &f, const QSet<QString> &seen)
{
    const auto bad = [&](const QString &why) {
        throw DbfError(QStringLiteral("field %1: %2").arg(f.name, why));
    };
    if (f.name.isEmpty() || f.name.size() > 10)
        bad(QStringLiteral("a name has 1 to 10 characters"));
    for (QChar ch : f.name)
        if (ch.unicode() > 0x7F || !(ch.isLetterOrNumber() || ch == QLatin1Char('_')))
            bad(QStringLiteral("a name holds only letters, digits and '_'"));
    if (seen.contains(f.name))
        bad(QStringLiteral("the name is used twice"));
    switch (f.type) {
    case 'C':
        if (f.length < 1 || f.length > DbfLayout::MaxCharLength)
            bad(QStringLiteral("a character field is 1 to %1 long").arg(DbfLayout::MaxCharLength));
        break;
    case 'N':
    case 'F':
        if (f.length < 1 || f.length > 20)
            bad(QStringLiteral("a numeric field is 1 to 20 long"));
        if (f.decimals < 0 || (f.decimals > 0 && f.decimals > f.length - 2))
            bad(QStringLiteral("%1 decimals do not fit a width of %2").arg(f.decimals).arg(f.length));
        break;
    case 'D':
    case 'L':
        break;
    default:
        bad(QStringLiteral("type '%1' cannot be created").arg(QLatin1Char(f.type)));
    }
}

} // namespace

QByteArray DbfLayout::makeHeader(QList<DbfField> &fields)
{
    if (fields.isEmpty())
        throw DbfError(QStringLiteral("a table needs at least one field"));
    QSet<QString> seen;
    int offset = 1;
    for (DbfField &f : fields) {
        f.name = f.name.toUpper();
        if (f.type == 'D')
            f.length = 8;
        if (f.type == 'L')
            f.length = 1;
        if (f.type != 'N' && f.type != 'F')
            f.decimals = 0;
        checkField(f, seen);
        seen.insert(f.name);
        f.offset = offset;
        offset += f.length;
    }
    if (offset > 0xFFFF)
        throw DbfError(QStringLiteral("the record would be %1 bytes long, over 65535").arg(offset));
    const int headerLength = FileHeaderSize + DescriptorSize * int(fields.size()) + 1;
    if (headerLength > 0xFFFF)
        throw DbfError(QStringLiteral("too many fields (%1)").arg(fields.size()));

    QByteArray h(headerLength, '\0');
    char *p = h.data();
    p[0] = 0x03;
    stamp(p, 0);
    qToLittleEndian<quint16>(quint16(headerLength), p + 8);
    qToLittleEndian<quint16>(quint16(offset), p + 10);
    p[29] = char(CodePageCp1250);
    for (qsizetype i = 0; i < fields.size(); ++i) {
        char *d = p + FileHeaderSize + DescriptorSize * i;
        const QByteArray name = fields[i].name.toLatin1();
        memcpy(d, name.constData(), size_t(name.size()));
        d[11] = fields[i].type;
        // Each field's place in the record, as later dBase writers keep it.
        qToLittleEndian<quint32>(quint32(fields[i].offset), d + 12);
        d[16] = char(fields[i].length);
        d[17] = char(fields[i].decimals);
    }
    p[headerLength - 1] = Terminator;
    return h;
}

void DbfLayout::stamp(char *header, qint64 recordCount)
{
    stamp(header, recordCount, QDate::currentDate());
}

void DbfLayout::stamp(char *header, qint64 recordCount, const QDate &lastUpdate)
{
    header[1] = char(lastUpdate.year() - 1900);
    header[2] = char(lastUpdate.month());
    header[3] = char(lastUpdate.day());
    qToLittleEndian<quint32>(quint32(recordCount), header + 4);
}

} // namespace detail
