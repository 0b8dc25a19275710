#pragma once

#include "reports/model/BRPrinterSettings.h"

#include <QPageLayout>

class TBRPrintDialog;

// What the printer setup decides, kept apart from the dialog: how the print
// dialog is preset from a report's choices and what is taken back from it.
class TBRPrinterSetup
{
public:
    // The report's copies and orientation; pages 0 to 9999, or 1 to the page
    // count of a finished report with that whole range chosen.
    static void Preset(TBRPrintDialog &dialog, const TBRPrinterSettings &settings, QPageLayout::Orientation orientation,
                       int finishedPages);
    // The dialog's printer, copies, bin, duplex, quality, colour, collate and
    // page range (bounds only for a from-to range narrower than the whole) into a report's choices.
    static void TakeBack(const TBRPrintDialog &dialog, const QString &printerName, TBRPrinterSettings &settings);
    // A driver bin code as a bin: driver-defined codes count from 256.
    static TBRBin BinOf(int code) { return binOfCode(code > 255 ? code - 256 : code); }
};
