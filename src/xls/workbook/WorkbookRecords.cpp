#include "xls/workbook/WorkbookRecords_p.h"

#include "xls/records/RecordFactory.h"
#include "xls/storage/ByteUtils.h"
#include "xls/workbook/XlsWorkbookMessages.h"

namespace XlsDetail {

void RaiseFileInvalid()
{
    XlsRaise(XlsMsg::FileInvalid);
}

std::unique_ptr<TBaseRecord> ReadSubstreamRecord(ByteCursor &stream)
{
    quint32 header = 0;
    if (!ReadRecordHeader(stream, header))
        RaiseFileInvalid();
    return ReadBiffRecord(stream, header);
}

void ReplaceData(TBaseRecordList &list, int index, QByteArray data)
{
    list.SetItem(index, CreateRecord(list.Items(index)->RecordId(), std::move(data)));
}

std::unique_ptr<TBaseRecord> RecordWithContinues(quint16 id, const QByteArray &data)
{
    auto record = CreateRecord(id, {});
    record->SetDataWithContinues(data);
    return record;
}

void WriteRange(QByteArray &data, int offset, const TXlsCellRange &range)
{
    WriteWord(data, offset, static_cast<quint16>(range.Top));
    WriteWord(data, offset + 2, static_cast<quint16>(range.Bottom));
    WriteWord(data, offset + 4, static_cast<quint16>(range.Left));
    WriteWord(data, offset + 6, static_cast<quint16>(range.Right));
}

int FindRecord(const TBaseRecordList &list, quint16 id, int from)
{
    for (int i = std::max(from, 0); i < list.Count(); ++i)
        if (list.Items(i) && list.Items(i)->RecordId() == id)
            return i;
    return -1;
}

}  // namespace XlsDetail
