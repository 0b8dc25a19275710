#include "xls/workbook/SheetObjects.h"

#include "xls/records/BaseRecordList.h"
#include "xls/records/LinkRecords.h"
#include "xls/workbook/DrawingGroup.h"
#include "xls/workbook/SheetComments.h"
#include "xls/workbook/SheetDrawing.h"
#include "xls/workbook/SheetPictures.h"

namespace {

bool InBand(int value, int pos, int count)
{
    return count > 0 && value >= pos && value < pos + count;
}

bool WithinBand(int first, int last, int pos, int count)
{
    return InBand(first, pos, count) && InBand(last, pos, count);
}

// A hyperlink (its screen tip with it) goes when all its cells go; the rest
// shrink or move as the records shift.
void RemoveHyperLinks(TBaseRecordList &records, int rowPos, int rowCount, int colPos, int colCount)
{
    for (int i = records.Count() - 1; i >= 0; --i) {
        const auto *link = dynamic_cast<const THLinkRecord *>(records.Items(i));
        if (link && (WithinBand(link->FirstRow(), link->LastRow(), rowPos, rowCount)
                     || WithinBand(link->FirstColumn(), link->LastColumn(), colPos, colCount)))
            records.Delete(i);
    }
}

}  // namespace

void TSheetObjects::RemoveDeleted(TBaseRecordList &records, TBaseRecordList &globals, int rowPos, int rowCount,
                                  int colPos, int colCount)
{
    RemoveHyperLinks(records, rowPos, rowCount, colPos, colCount);
    if (!TSheetDrawing(records).Exists())
        return;
    // From the last, so the numbers of those still to look at stay.
    const QList<TSheetComments::TCell> cells = TSheetComments::Cells(records);
    for (auto i = cells.size() - 1; i >= 0; --i)
        if (InBand(cells[i].Row, rowPos, rowCount) || InBand(cells[i].Col, colPos, colCount))
            TSheetComments::Delete(records, int(i));
    for (auto i = TSheetPictures::Objects(records).size() - 1; i >= 0; --i) {
        const TDrawingAnchor anchor = TSheetPictures::Anchor(records, int(i));
        if (anchor.Sizes() && (anchor.OnRows(rowPos, rowCount) || anchor.OnCols(colPos, colCount))) {
            // Read only then: the group holds every picture's bytes.
            TDrawingGroup group(globals);
            TSheetPictures::Delete(records, group, int(i));
        }
    }
}

void TSheetObjects::FollowCells(TBaseRecordList &records, int rowPos, int rowCount, int colPos, int colCount)
{
    TSheetDrawing drawing(records);
    // Stored only when an anchor moved: the file's own cut of its drawing
    // records stays otherwise.
    if (drawing.Exists() && drawing.FollowCells(rowPos, rowCount, colPos, colCount))
        drawing.Store();
}
