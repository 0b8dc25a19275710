#include "reports/pages/BRFileHeader.h"

#include "reports/pages/BRByteReader.h"

#include <cmath>

namespace {

const QDate DayZero(1899, 12, 30);

} // namespace

QByteArray TBRFileHeader::encode() const
{
    TBRByteWriter w;
    w.u16(format);
    w.u16(format2);
    w.u32(0);
    w.i32(pageCount);
    w.u32(0);
    w.f64(created);
    w.u8(0);
    w.u8(compressed ? 1 : 0);
    w.bytes(QByteArray(Size - 26, '\0'));
    return std::move(w.data());
}

TBRFileHeader TBRFileHeader::decode(QByteArrayView bytes, int size)
{
    TBRByteReader r(bytes.first(qMin<qsizetype>(size, bytes.size())), QStringLiteral("antetul"));
    TBRFileHeader h;
    h.format = r.u16();
    h.format2 = r.u16();
    r.u32();
    h.pageCount = r.i32();
    if (size == Size)
        r.u32();
    h.created = r.f64();
    r.u8();
    const quint8 flag = r.u8();
    if (flag > 1)
        r.fail(QStringLiteral("semnul de comprimare are valoarea %1").arg(flag));
    h.compressed = flag == 1;
    r.bytes(size - r.pos());
    return h;
}

double TBRFileHeader::toDays(const QDateTime &t)
{
    return double(DayZero.daysTo(t.date())) + t.time().msecsSinceStartOfDay() / 86400000.0;
}

QDateTime TBRFileHeader::fromDays(double days)
{
    if (!std::isfinite(days) || std::fabs(days) > 3e6)
        return QDateTime();
    const double whole = std::floor(days);
    return QDateTime(DayZero.addDays(qint64(whole)), QTime::fromMSecsSinceStartOfDay(int((days - whole) * 86400000.0)));
}
