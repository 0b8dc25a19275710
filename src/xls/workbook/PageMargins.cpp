#include "xls/workbook/PageMargins.h"

#include "xls/records/RecordFactory.h"
#include "xls/storage/ByteCursor.h"
#include "xls/workbook/PageSetup.h"
#include "xls/workbook/WorkbookRecords_p.h"

#include <QtEndian>

namespace {

constexpr quint16 LeftMargin = 0x0026;

double *Field(TXlsMargins &m, int k)
{
    double *fields[] = {&m.Left, &m.Right, &m.Top, &m.Bottom};
    return fields[k];
}

}  // namespace

TXlsMargins TPageMargins::Read(const TBaseRecordList &records)
{
    TXlsMargins margins;
    for (int k = 0; k < 4; ++k) {
        const int at = XlsDetail::FindRecord(records, static_cast<quint16>(LeftMargin + k));
        if (at < 0)
            continue;
        ByteCursor cursor(records.Items(at)->DataView(), QStringLiteral("margin"));
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
            records.Insert(TPageSetup::PlaceFor(records, id), CreateRecord(id, data));
    }
}
