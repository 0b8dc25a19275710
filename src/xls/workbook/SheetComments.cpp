#include "xls/workbook/SheetComments.h"

#include "xls/records/BaseRecordList.h"
#include "xls/records/LinkRecords.h"
#include "xls/records/OtherRecords.h"
#include "xls/records/RecordFactory.h"
#include "xls/storage/ByteUtils.h"
#include "xls/workbook/XlsWorkbookMessages.h"

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

// The TXO record of the drawing object objId: the first after its OBJ.
int TxoOf(const TBaseRecordList &records, int objId)
{
    bool objSeen = false;
    for (int i = 0; i < records.Count(); ++i) {
        const TBaseRecord *record = records.Items(i);
        if (!record)
            continue;
        if (record->RecordId() == TObjRecord::Id)
            objSeen = record->DataSize() >= ObjIdOffset + 2 && ReadWord(record->Data(), ObjIdOffset) == objId;
        else if (record->RecordId() == TTXORecord::Id && objSeen)
            return i;
    }
    return -1;
}

// The font of the text's first run; 0 when there are no runs. The runs are
// in the last CONTINUE record, after those of the text.
int FirstRunFont(const TBaseRecord &txo)
{
    const TBaseRecord *runs = txo.Continue();
    if (!runs || !runs->Continue())
        return 0;
    while (runs->Continue())
        runs = runs->Continue();
    return runs->DataSize() >= 4 ? ReadWord(runs->Data(), 2) : 0;
}

const TNoteRecord &NoteAt(const TBaseRecordList &records, int index)
{
    int seen = 0;
    for (int i = 0; i < records.Count(); ++i)
        if (const auto *note = dynamic_cast<const TNoteRecord *>(records.Items(i)))
            if (seen++ == index)
                return *note;
    XlsRaise(XlsMsg::IndexOutOfRange(index, QStringLiteral("CommentIndex"), 0, seen - 1));
}

constexpr int MaxContinueData = 8224;
constexpr int MaxCommentLength = 32767;

}  // namespace

QList<int> TSheetComments::Rows(const TBaseRecordList &records)
{
    QList<int> rows;
    for (int i = 0; i < records.Count(); ++i)
        if (const auto *note = dynamic_cast<const TNoteRecord *>(records.Items(i)))
            rows.append(note->Row());
    return rows;
}

QString TSheetComments::Text(const TBaseRecordList &records, int index)
{
    const int at = TxoOf(records, NoteAt(records, index).ObjId());
    return at >= 0 ? TxoText(*records.Items(at)) : QString();
}

void TSheetComments::SetText(TBaseRecordList &records, int index, const QString &text)
{
    const int at = TxoOf(records, NoteAt(records, index).ObjId());
    if (at < 0)
        XlsRaise(XlsMsg::FileInvalid);
    if (text.size() > MaxCommentLength)
        XlsRaise(QStringLiteral("The comment is too long (%1 characters)").arg(text.size()));
    const TBaseRecord &old = *records.Items(at);
    QByteArray data = old.Data().left(18);
    data.append(18 - data.size(), '\0');
    WriteWord(data, 10, static_cast<quint16>(text.size()));
    WriteWord(data, 12, text.isEmpty() ? 0 : 16);
    auto txo = CreateRecord(TTXORecord::Id, data);
    if (!text.isEmpty()) {
        const bool wide = std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() > 0xFF; });
        const int perRecord = (MaxContinueData - 1) / (wide ? 2 : 1);
        for (int first = 0; first < text.size(); first += perRecord) {
            QByteArray chunk(1, wide ? '\x01' : '\0');
            for (QChar c : QStringView(text).mid(first, perRecord)) {
                chunk.append(static_cast<char>(c.unicode() & 0xFF));
                if (wide)
                    chunk.append(static_cast<char>(c.unicode() >> 8));
            }
            txo->AppendContinue(std::make_unique<TContinueRecord>(TContinueRecord::Id, chunk));
        }
        // Two runs: the text in the first run's font, and the closing one.
        QByteArray runs(16, '\0');
        WriteWord(runs, 2, static_cast<quint16>(FirstRunFont(old)));
        WriteWord(runs, 8, static_cast<quint16>(text.size()));
        txo->AppendContinue(std::make_unique<TContinueRecord>(TContinueRecord::Id, runs));
    }
    records.SetItem(at, std::move(txo));
}
