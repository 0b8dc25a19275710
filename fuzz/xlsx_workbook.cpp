// Opens arbitrary bytes as a workbook package, reads every cell, inserts rows
// and saves: an error is fine, a crash or a hang is not.
#include "platform/automation/XlsxError.h"
#include "platform/automation/XlsxWorkbook.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath("f.xlsx");
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    }
    XlsxWorkbook wb;
    try {
        wb.open(path);
        for (int s = 1; s <= wb.sheetCount() && s <= 4; ++s) {
            wb.activateSheet(s);
            const int rows = std::min(wb.maxRow(), 200), cols = std::min(wb.maxCol(), 50);
            for (int r = 1; r <= rows; ++r)
                for (int c = 1; c <= cols; ++c)
                    wb.text(r, c);
        }
        wb.activateSheet(1);
        wb.insertRowCopies(2, 3);
        wb.setValue(2, 2, QStringLiteral("x"));
        wb.save();
    } catch (const XlsxError &) {
    }
    return 0;
}
