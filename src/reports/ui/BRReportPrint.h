#pragma once
#include <QString>

class QWidget;
class TBRPrinter;
struct TBandReport;

// A report printed straight to the printer: it runs once more onto a printer
// of its own, so the preview's printer and pages stay as they are.
class TBRReportPrint
{
public:
    // Prints the report, or the composite job it belongs to. With no printer
    // installed the user is told and may save the run as a PDF file instead.
    static void Print(TBandReport &report, QWidget *parent = nullptr);
    // The run onto a given report printer (its destination becomes the
    // printer), with the progress window when the report asks for it; true
    // when it completed.
    static bool PrintOn(TBandReport &report, TBRPrinter &printer, QWidget *parent = nullptr);
    // "No printer is installed": true when the user wants a PDF file instead.
    static bool OfferPdf(QWidget *parent, const QString &title);
    // The PDF file to write, ".pdf" added; empty when the user gave none.
    static QString AskPdfPath(QWidget *parent);

private:
    static bool run(TBandReport &report, TBRPrinter &printer);
    static void printToPdf(TBandReport &report, QWidget *parent);
};
