#pragma once
#include <QAbstractPrintDialog>

class QPrinter;
class QWidget;

// The system print dialog over a printer, keeping what was chosen in it
// (range, copies, paper, bin, quality, colour, duplex, orientation) so that a
// report can apply it. Codes follow the printer drivers' numbering.
class TBRPrintDialog
{
public:
    enum class Range { AllPages, Selection, PageNums };
    // What the dialog offers, by the names of the system dialog's options.
    enum Option { poPrintToFile = 1, poPageNums = 2, poSelection = 4, poWarning = 8, poHelp = 16, poDisablePrintToFile = 32 };
    // Printing to a file (PDF) and page ranges are what a clerk always needs.
    int Options = poPrintToFile | poPageNums;
    int FromPage = 0, ToPage = 0, MinPage = 0, MaxPage = 0;
    int Collate = 0;
    int Copies = 1;
    bool PrintToFile = false;
    Range PrintRange = Range::AllPages;
    int PrintQuality = 0;
    int ColorOption = 0;   // 1 monochrome, 2 colour
    int OutputBin = 0;
    int PaperSize = 0;     // paper code
    double PaperWidth = 0, PaperLength = 0; // tenths of a millimetre
    bool Duplex = false;
    int DuplexCode = 1;    // 1 simplex, 2 long edge, 3 short edge
    int Orientation = 1;   // 1 portrait, 2 landscape
    QString Title;         // the window's, when not the system's own

    // The print system's dialog offers for Options: it has no help button and
    // no warning to switch off, and can only hide a disabled print-to-file box.
    QAbstractPrintDialog::PrintDialogOptions DialogOptions() const;
    // Shows the dialog; true when confirmed, with the choices taken.
    bool Execute(QPrinter &printer, QWidget *parent = nullptr);
    // The choices of a confirmed dialog, read from its printer.
    void TakeChoices(const QPrinter &printer, QAbstractPrintDialog::PrintRange range, int from, int to);
};
