#include "xls/workbook/SheetComments.h"

#include "xls/records/BaseRecordList.h"
#include "xls/records/LinkRecords.h"
#include "xls/records/OtherRecords.h"
#include "xls/records/RecordFactory.h"
#include "xls/storage/ByteUtils.h"

#include <QHash>

namespace {

// OBJ data: the common object data sub-record first, the object id at 6.
constexpr int ObjIdOffset = 6;
// TXO data: the text's character count at 10; the text in the first CONTINUE
// after a byte of options.
constexpr int TxoTextLengthOffset = 10;

QString TxoText(const TBaseRecord &txo)
{
    if (txo.DataSize() < TxoTextLengthOffset + 2)
        return {};
    const int length = ReadWord(txo.Data(), TxoTextLengthOffset);
    const TBaseRecord *record = txo.Continue();
    if (length == 0 || !record || record->DataSize() == 0)
        return {};
    int pos = 1;
    quint8 options = static_cast<quint8>(record->Data().at(0));
    return ReadStringAcrossContinue(record, pos, length, options);
}

}  // namespace

QList<TSheetComment> TSheetComments::Read(const TBaseRecordList &records)
{
    QHash<int, QString> texts;
    int lastObjId = -1;
    QList<const TNoteRecord *> notes;
    for (int i = 0; i < records.Count(); ++i) {
        const TBaseRecord *record = records.Items(i);
        if (!record)
            continue;
        if (record->RecordId() == TObjRecord::Id)
            lastObjId = record->DataSize() >= ObjIdOffset + 2 ? ReadWord(record->Data(), ObjIdOffset) : -1;
        else if (record->RecordId() == TTXORecord::Id && lastObjId >= 0)
            texts.insert(lastObjId, TxoText(*record));
        else if (const auto *note = dynamic_cast<const TNoteRecord *>(record))
            notes.append(note);
    }
    QList<TSheetComment> comments;
    for (const TNoteRecord *note : notes)
        comments.append({note->Row(), note->Column(), texts.value(note->ObjId())});
    return comments;
}
