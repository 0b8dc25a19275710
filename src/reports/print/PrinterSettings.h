#pragma once

#include "reports/model/BRPrinterSettings.h"

#include <QPageLayout>
#include <QPrinter>

#include <array>
#include <functional>

// The bin code a print system's paper source stands for (0 when none).
int binCodeOfSource(QPrinter::PaperSource source);

// The settings of one printer, read from and applied to a QPrinter. What a
// Linux print system cannot take (custom bin codes, driver quality codes) is
// kept here and left out of the job.
class TPrinterSettings : public TBRPrintChoices
{
public:
    explicit TPrinterSettings(QPrinter *printer) : m_printer(printer) {}

    // Called when settings are read or applied; set handled to take over.
    using Hook = std::function<void(TPrinterSettings &, QPrinter &, bool &handled)>;
    Hook OnGetPrinterSettings;
    Hook OnApplyPrinterSettings;

    void ReadSettings();
    void ApplySettings();
    // The printable area's offsets from the sheet's corner.
    void ReadOffsets();

    // Sets the paper: a listed size takes its width and length from the paper table.
    void SetPaperSize(TBRPaperSize size);

    bool UseStandardprinter = false;
    QPageLayout::Orientation Orientation = QPageLayout::Portrait;
    TBRPaperSize PaperSize = TBRPaperSize::A4;
    double PaperWidth = 2100;  // tenths of a millimetre, portrait sheet
    double PaperLength = 2970;
    int XResolution = 96, YResolution = 96;
    double LeftOffset = 0, TopOffset = 0; // tenths of a millimetre
    std::array<bool, 71> Supported{};     // per paper size

    // The QPrinter values the settings stand for.
    QPageSize pageSize() const;
    QPrinter::DuplexMode duplexMode() const;
    // A bin the print system knows, or false (a custom code it cannot take).
    bool paperSource(QPrinter::PaperSource *out) const;

    QPrinter *Printer() const { return m_printer; }

private:
    bool takenOverBy(const Hook &hook);

    QPrinter *m_printer;
};
