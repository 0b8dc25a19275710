#include "reports/ui/BRPrintDialog.h"

#include "reports/print/PrinterSettings.h"

#include <QPrintDialog>
#include <QPrinter>

namespace {

int paperCodeOf(const QPageSize &size)
{
    const QSizeF mm = size.size(QPageSize::Millimeter);
    for (int i = int(TBRPaperSize::Letter); i < int(TBRPaperSize::Custom); ++i) {
        const QSizeF p = paperMillimetres(TBRPaperSize(i));
        if (qAbs(p.width() - mm.width()) < 0.6 && qAbs(p.height() - mm.height()) < 0.6)
            return paperCode(TBRPaperSize(i));
    }
    return CustomPaperCode;
}

} // namespace

QAbstractPrintDialog::PrintDialogOptions TBRPrintDialog::DialogOptions() const
{
    QAbstractPrintDialog::PrintDialogOptions o = QAbstractPrintDialog::PrintShowPageSize | QAbstractPrintDialog::PrintCollateCopies;
    if ((Options & poPrintToFile) && !(Options & poDisablePrintToFile))
        o |= QAbstractPrintDialog::PrintToFile;
    if (Options & poPageNums)
        o |= QAbstractPrintDialog::PrintPageRange;
    if (Options & poSelection)
        o |= QAbstractPrintDialog::PrintSelection;
    return o;
}

bool TBRPrintDialog::Execute(QPrinter &printer, QWidget *parent)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setOptions(DialogOptions());
    if (!Title.isEmpty())
        dialog.setWindowTitle(Title);
    if (MaxPage > 0)
        dialog.setMinMax(std::max(1, MinPage), MaxPage);
    if (PrintRange == Range::PageNums && FromPage > 0) {
        dialog.setPrintRange(QAbstractPrintDialog::PageRange);
        dialog.setFromTo(FromPage, ToPage);
    }
    if (dialog.exec() != QDialog::Accepted)
        return false;
    TakeChoices(printer, dialog.printRange(), dialog.fromPage(), dialog.toPage());
    return true;
}

void TBRPrintDialog::TakeChoices(const QPrinter &printer, QAbstractPrintDialog::PrintRange range, int from, int to)
{
    PrintRange = range == QAbstractPrintDialog::PageRange   ? Range::PageNums
                 : range == QAbstractPrintDialog::Selection ? Range::Selection
                                                            : Range::AllPages;
    FromPage = from;
    ToPage = to;
    PrintToFile = !printer.outputFileName().isEmpty();
    // The dialog writes the copies into the printer: a single copy there is the printer's own count.
    Copies = printer.copyCount();
    Collate = printer.collateCopies() ? 1 : 0;
    ColorOption = printer.colorMode() == QPrinter::Color ? 2 : 1;
    DuplexCode = printer.duplex() == QPrinter::DuplexLongSide    ? 2
                 : printer.duplex() == QPrinter::DuplexShortSide ? 3
                                                                 : 1;
    Duplex = DuplexCode != 1;
    Orientation = printer.pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1;
    PaperSize = paperCodeOf(printer.pageLayout().pageSize());
    const QSizeF mm = printer.pageLayout().pageSize().size(QPageSize::Millimeter);
    PaperWidth = mm.width() * 10;
    PaperLength = mm.height() * 10;
    OutputBin = binCodeOfSource(printer.paperSource());
    PrintQuality = printer.resolution();
}
