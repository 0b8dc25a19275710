#include "xls/workbook/RichTextRuns.h"

#include "xls/records/CellRecords.h"
#include "xls/records/ExcelString.h"
#include "xls/storage/ByteCursor.h"
#include "xls/workbook/SST.h"

namespace {
constexpr int LabelTextOffset = 6;
}

namespace {
TXlsRichRuns RunsOf(const QByteArray &stored)
{
    ByteCursor cursor(stored, QStringLiteral("rich-text runs"));
    const int count = int(stored.size() / 4);
    TXlsRichRuns runs;
    runs.reserve(count);
    for (int i = 0; i < count; ++i) {
        TXlsRichRun run;
        run.FirstChar = cursor.u16();
        run.FontIndex = cursor.u16();
        runs.append(run);
    }
    return runs;
}
}  // namespace

TXlsRichRuns RichTextRuns(const TExcelString &text)
{
    return RunsOf(text.RichRuns());
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
    if (const auto *rich = dynamic_cast<const TRStringRecord *>(cell))
        return RunsOf(rich->Runs());
    return {};
}
