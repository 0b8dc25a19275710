#include "reports/ui/BRPrinterSetup.h"

#include "reports/ui/BRPrintDialog.h"

#include <QPrinterInfo>

void TBRPrinterSetup::Preset(TBRPrintDialog &d, const TBRPrinterSettings &s, QPageLayout::Orientation orientation,
                             int finishedPages)
{
    d.Copies = s.Copies;
    d.Orientation = orientation == QPageLayout::Landscape ? 2 : 1;
    d.MinPage = finishedPages > 0 ? 1 : 0;
    d.MaxPage = finishedPages > 0 ? finishedPages : 9999;
    if (finishedPages > 0) {
        d.PrintRange = TBRPrintDialog::Range::PageNums;
        d.FromPage = 1;
        d.ToPage = finishedPages;
    }
}

void TBRPrinterSetup::TakeBack(const TBRPrintDialog &d, const QString &printerName, TBRPrinterSettings &s)
{
    s.PrinterIndex = int(QPrinterInfo::availablePrinterNames().indexOf(printerName));
    s.Copies = d.Copies;
    s.OutputBin = BinOf(d.OutputBin);
    s.Duplex = d.Duplex;
    s.ExtendedDuplex = d.DuplexCode;
    s.PrintQuality = d.PrintQuality;
    s.ColorOption = d.ColorOption;
    s.Collate = d.Collate;
    // The whole range of a finished report, as preset, bounds nothing: a later,
    // longer run of the report still prints whole.
    const bool whole = d.MaxPage > 0 && d.FromPage <= d.MinPage && d.ToPage >= d.MaxPage;
    const bool range = d.PrintRange == TBRPrintDialog::Range::PageNums && !whole;
    s.FirstPage = range ? d.FromPage : 0;
    s.LastPage = range ? d.ToPage : 0;
}
