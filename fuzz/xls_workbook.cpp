// The workbook loader on arbitrary record streams: it raises or loads; the
// sheet, row and cell operations on what loaded raise or work; and when they
// all worked, whatever saves must load again. (A workbook whose operation
// failed is left as far as the operation got and is not saved by callers.)
#include "xls/workbook/DrawingGroup.h"
#include "xls/workbook/SheetComments.h"
#include "xls/workbook/SheetDrawing.h"
#include "xls/workbook/SheetPictures.h"
#include "xls/workbook/WorkSheet.h"
#include "xls/workbook/Workbook.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>

namespace {

bool Try(const std::function<void()> &step)
{
    try {
        step();
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TWorkbook book;
    try {
        book.LoadFromStream(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    } catch (const std::exception &) {
        return 0;
    }
    const bool worked =
        Try([&] { book.SetActiveSheet(0); })
        && Try([&] { book.InsertAndCopyRowsAndCols(0, 0, 1, 2, 2, 0, 0, 0, 0, false); })
        && Try([&] { book.InsertAndCopyRowsAndCols(0, 0, 0, 0, 0, 0, 1, 3, 1, false); })
        && Try([&] { book.DeleteRowsAndCols(0, 1, 2, 2, 1); })
        && Try([&] {
        if (TWorkSheet *sheet = book.WorkSheets(0)) {
            sheet->Cells().SetCellValue(3, 3, QStringLiteral("text"));
            sheet->Cells().SetCellValue(4, 4, 1.25);
            sheet->Cells().SetCellValue(0, 0, QVariant());
        }
    })
        && Try([&] {
        // The drawings: pictures and comment boxes read, then one of each added.
        if (TWorkSheet *sheet = book.WorkSheets(0)) {
            TDrawingGroup group(book.Globals().Records());
            TDrawingAnchor anchor;
            for (int i = 0; i < TSheetPictures::Objects(sheet->Records()).size(); ++i)
                TSheetPictures::Picture(sheet->Records(), group, i, anchor);
            for (int i = 0; i < TSheetComments::Cells(sheet->Records()).size(); ++i)
                TSheetComments::Anchor(sheet->Records(), i);
            TSheetComments::Add(sheet->Records(), group, 1, 5, 5, QStringLiteral("notă"));
            TSheetPictures::Add(sheet->Records(), group, 1, QByteArray("\x89PNG\r\n\x1a\n", 8),
                                {2, 0, 0, 0, 0, 1, 0, 1, 0});
        }
    })
        && Try([&] { book.InsertSheets(0, book.SheetCount(), 1); })
        && Try([&] { book.InsertSheets(-1, 0, 1); })
        && Try([&] { book.DeleteSheets(1, 1); });
    if (!worked)
        return 0;
    QByteArray saved;
    try {
        saved = book.SaveToBytes();
    } catch (const std::exception &) {
        return 0;
    }
    // What we wrote ourselves must read back.
    try {
        TWorkbook again;
        again.LoadFromStream(saved);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "a saved workbook does not load again: %s\n", e.what());
        std::abort();
    }
    return 0;
}
