#pragma once
#include "reports/model/BRBand.h"
#include "reports/print/BRPaper.h"
#include "reports/print/BRPrinterSettings.h"
#include <QPageLayout>
#include <QStringList>

class TDataSet;

// The page of a report: lengths in tenths of a millimetre.
struct TBRPage
{
    double Width = 2100, Length = 2970;
    double TopMargin = 100, BottomMargin = 100, LeftMargin = 100, RightMargin = 100;
    int Columns = 1;
    double ColumnSpace = 0;
    QPageLayout::Orientation Orientation = QPageLayout::Portrait;
    TBRPaperSize PaperSize = TBRPaperSize::A4;
    // A listed paper sets width and length (swapped in landscape); Default and Custom keep theirs.
    void SetPaperSize(TBRPaperSize size);
    void SetOrientation(QPageLayout::Orientation o);
    void SetColumns(int n) { Columns = n < 1 ? 1 : n; }
    double PrintableWidth() const { return Width - LeftMargin - RightMargin; }
    double PrintableLength() const { return Length - TopMargin - BottomMargin; }
    double ColumnWidth() const;
};

// A group: its header band, printed whenever the expression's value changes,
// and an optional footer printed before the next header.
struct TBRGroup
{
    QString Expression;
    TBRBand Header{TBRBandType::rbGroupHeader, 60};
    std::shared_ptr<TBRBand> FooterBand;
    bool ReprintOnNewPage = false;
};

// A nested dataset printed for every record of its master: its own detail
// band, header and footer, before or after the master's detail.
struct TBRSubDetail
{
    TDataSet *DataSet = nullptr;
    QString DataSetName;
    TBRBand Band{TBRBandType::rbSubDetail, 50};
    std::shared_ptr<TBRBand> HeaderBand, FooterBand;
    std::vector<TBRGroup> Groups;
    bool PrintBefore = false;
    bool PrintIfEmpty = false;
    // Called before the nested dataset is walked, so it can follow the master's record.
    std::function<void()> BeforeOpen;
};

enum class TBandReportOption { FirstPageHeader = 1, LastPageFooter = 2, Compression = 4 };

// A banded report as values: page, bands, groups and sub-details, the
// dataset its controller walks and the datasets its expressions may name.
struct TBandReport
{
    TBRPage Page;
    int Options = int(TBandReportOption::FirstPageHeader) | int(TBandReportOption::LastPageFooter);
    QString ReportTitle;
    bool PrintIfEmpty = true;
    TDataSet *DataSet = nullptr;
    QString DataSetName = QStringLiteral("DataSet");
    // Other datasets expressions may name, with their names.
    std::vector<std::pair<TDataSet *, QString>> OtherDataSets;
    // Report variables: name and expression.
    std::vector<std::pair<QString, QString>> Functions;
    TBandReportPrinterSettings PrinterSettings;
    QFont Font = QFont(QStringLiteral("Arial"), 10);
    int PreviewWidth = 500, PreviewHeight = 500;
    bool PrevShowThumbs = true, PrevShowSearch = true;

    std::vector<std::shared_ptr<TBRBand>> Bands; // title, headers, detail, footers, summary, ...
    std::vector<TBRGroup> Groups;
    std::vector<TBRSubDetail> SubDetails;

    bool HasOption(TBandReportOption o) const { return Options & int(o); }
    void SetOption(TBandReportOption o, bool on) { Options = on ? Options | int(o) : Options & ~int(o); }
    // A new band of that type at the end of the list.
    TBRBand &AddBand(TBRBandType type, double height);
    // The first band of that type, or nullptr.
    TBRBand *Band(TBRBandType type) const;
    int ReadPreviewWidth() const { return PreviewWidth > 0 ? PreviewWidth : 500; }
    int ReadPreviewHeight() const { return PreviewHeight > 0 ? PreviewHeight : 500; }
};
