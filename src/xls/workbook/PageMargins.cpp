#include "xls/workbook/PageMargins.h"

#include "xls/records/RecordFactory.h"
#include "xls/storage/ByteCursor.h"
#include "xls/workbook/WorkbookRecords_p.h"

#include <QtEndian>

namespace {

constexpr quint16 LeftMargin = 0x0026;
// Page-setting records that stand before the margins, in file order.
constexpr quint16 Before[] = {0x0014 /*HEADER*/, 0x0015 /*FOOTER*/, 0x0083 /*HCENTER*/,
                              0x0084 /*VCENTER*/};
constexpr quint16 SetupRecord = 0x00A1;

double *Field(TXlsMargins &m, int k)
{
    double *fields[] = {&m.Left, &m.Right, &m.Top, &m.Bottom};
    return fields[k];
}

int PlaceFor(const TBaseRecordList &records, quint16 id)
{
    int place = -1;
    for (int i = 0; i < records.Count(); ++i) {
        const TBaseRecord *r = records.Items(i);
        if (!r)
            continue;
        const bool earlier = std::find(std::begin(Before), std::end(Before), r->RecordId()) != std::end(Before)
                             || (r->RecordId() >= LeftMargin && r->RecordId() < id);
        if (earlier)
            place = i + 1;
    }
    if (place >= 0)
        return place;
    const int setup = XlsDetail::FindRecord(records, SetupRecord);
    return setup >= 0 ? setup : std::max(records.Count() - 1, 0);
}

}  // namespace

TXlsMargins TPageMargins::Read(const TBaseRecordList &records)
{
    TXlsMargins margins;
    for (int k = 0; k < 4; ++k) {
        const int at = XlsDetail::FindRecord(records, static_cast<quint16>(LeftMargin + k));
        if (at < 0)
            continue;
        ByteCursor cursor(records.Items(at)->Data(), QStringLiteral("margin"));
        *Field(margins, k) = cursor.f64();
    }
    return margins;
}

void TPageMargins::Write(TBaseRecordList &records, const TXlsMargins &margins)
{
    TXlsMargins m = margins;
    for (int k = 0; k < 4; ++k) {
        const quint16 id = static_cast<quint16>(LeftMargin + k);
        QByteArray data(8, '\0');
        qToLittleEndian(*Field(m, k), data.data());
        const int at = XlsDetail::FindRecord(records, id);
        if (at >= 0)
            XlsDetail::ReplaceData(records, at, data);
        else
            records.Insert(PlaceFor(records, id), CreateRecord(id, data));
    }
}
