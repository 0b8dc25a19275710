#include "xls/workbook/RichTextRuns.h"

#include "xls/records/CellRecords.h"
#include "xls/records/ExcelString.h"
#include "xls/storage/ByteCursor.h"
#include "xls/workbook/SST.h"

namespace {
constexpr quint8 FlagExtension = 0x04;
constexpr quint8 FlagRichText = 0x08;
constexpr int LabelTextOffset = 6;
}

TXlsRichRuns RichTextRuns(const TExcelString &text)
{
    // The string keeps its runs as stored; they follow the characters in its
    // bytes, before the extension block.
    const QByteArray bytes = text.ToBytes(false);
    ByteCursor cursor(bytes, QStringLiteral("rich-text runs"));
    const quint8 flags = cursor.u8();
    if (!(flags & FlagRichText))
        return {};
    const int count = cursor.u16();
    if (flags & FlagExtension)
        cursor.skip(4);
    cursor.skip(qsizetype(text.Value().size()) * (text.IsWide() ? 2 : 1));
    TXlsRichRuns runs;
    runs.reserve(cursor.checkedCount(count, 4));
    for (int i = 0; i < count; ++i) {
        TXlsRichRun run;
        run.FirstChar = cursor.u16();
        run.FontIndex = cursor.u16();
        runs.append(run);
    }
    return runs;
}

TXlsRichRuns CellRichTextRuns(const TCellRecord *cell, const TSST &sst)
{
    if (const auto *label = dynamic_cast<const TLabelSSTRecord *>(cell)) {
        const TExcelString *rich = sst.RichString(label->SSTIndex());
        return rich ? RichTextRuns(*rich) : TXlsRichRuns();
    }
    if (const auto *label = dynamic_cast<const TLabelRecord *>(cell)) {
        const TBaseRecord *record = label;
        int pos = LabelTextOffset;
        return RichTextRuns(TExcelString(2, record, pos));
    }
    return {};
}
