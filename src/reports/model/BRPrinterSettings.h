#pragma once

#include "reports/model/BRPaper.h"

// Paper bins, each standing for a bin code of the printer drivers.
enum class TBRBin {
    First, Upper, Lower, Middle, Manual, Envelope, EnvManual, Auto, Tractor, SmallFormat, LargeFormat,
    LargeCapacity, Cassette, Last
};
int binCode(TBRBin bin);
// The position of a bin code in the bin table (0 when not listed).
TBRBin binOfCode(int code);

// The choices a report's settings and a printer's settings both hold.
struct TBRPrintChoices
{
    int Copies = 1;
    TBRBin OutputBin = TBRBin::Auto;
    bool Duplex = false;
    int ExtendedDuplex = 0; // a driver duplex code, 0: not used
    bool UseCustomBinCode = false;
    int CustomBinCode = 0;
    bool UseCustomPaperCode = false;
    int CustomPaperCode = 0;
    bool PrintMetaFile = false;
    int MemoryLimit = 250000;
    int PrintQuality = 0;
    int Collate = 0;
    int ColorOption = 0;
};

// The printing choices a report keeps.
class TBRPrinterSettings : public TBRPrintChoices
{
public:
    int FirstPage = 0; // 0: no bound
    int LastPage = 0;
    bool UseStandardprinter = false;
    int PrinterIndex = -1; // -1: the default printer
};

class TBandReportPrinterSettings : public TBRPrinterSettings
{
};
