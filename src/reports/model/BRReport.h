#pragma once
#include "reports/model/BRBand.h"
#include "reports/model/BRUnits.h"
#include "reports/model/BRPaper.h"
#include "reports/model/BRPrinterSettings.h"
#include <QPageLayout>
#include <QStringList>

class TBRCompositeReport;
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
    // Records without a dataset: asked once before the first record and after
    // each one; leaving the flag true gives one more record.
    std::function<void(bool &moreData)> OnNeedData;
};

enum class TBandReportOption { FirstPageHeader = 1, LastPageFooter = 2, Compression = 4 };

// How the preview window of a report opens.
enum class TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
enum class TBRZoomState { brZoomToFit, brZoomToWidth, brZoomOther };

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
    TFormStyle PrevFormStyle = TFormStyle::fsNormal;
    TWindowState PreviewInitialState = TWindowState::wsNormal;
    // Zoom to fit, to width, or the report's Zoom.
    TBRZoomState PrevInitialZoom = TBRZoomState::brZoomToFit;
    // The unit sizes are shown and entered in; they are stored native.
    TBRUnit Units = TBRUnitBase::StartUnit();
    // Drawn along the margins of every page.
    TBRFrame Frame;
    // Printables placed on the report itself, outside the bands, in sheet positions.
    std::vector<TBRPrintable> Controls;
    // The name of one of Controls whose picture is stretched over every page.
    QString BackImageControl;
    // Page events, with the number of the page.
    std::function<void(int page)> OnStartPage, OnEndPage;
    // Records without a dataset (see TBRSubDetail::OnNeedData).
    std::function<void(bool &moreData)> OnNeedData;
    // Before a run; leaving the flag false prints nothing. After a print job.
    std::function<void(bool &printReport)> BeforePrint;
    std::function<void()> AfterPrint;
    // The progress window shows while the report prints.
    bool ShowProgress = true;
    // The composite job the report was added to: printing the report prints the job.
    TBRCompositeReport *Job = nullptr;
    // Stops the run once page 1 is full; nothing after page 1 is kept.
    bool FirstPageOnly = false;
    // A composite job marks its last member with 999 while it runs.
    int Tag = 0;

    std::vector<std::shared_ptr<TBRBand>> Bands; // title, headers, detail, footers, summary, ...
    std::vector<TBRGroup> Groups;
    std::vector<TBRSubDetail> SubDetails;

    bool HasOption(TBandReportOption o) const { return Options & int(o); }
    void SetOption(TBandReportOption o, bool on) { Options = on ? Options | int(o) : Options & ~int(o); }
    // A new band of that type at the end of the list.
    TBRBand &AddBand(TBRBandType type, double height);
    // The first band of that type, or nullptr.
    TBRBand *Band(TBRBandType type) const;
    int Zoom() const { return m_zoom; }
    // 1 to 300 percent; any other value is ignored.
    void SetZoom(int zoom);
    // Converters between native lengths and the report's unit.
    TBRUnitBase UnitBase() const;
    double ToUnits(double native, TBRAxis axis) const { return UnitBase().FromNative(native, axis); }
    double FromUnits(double value, TBRAxis axis) const { return UnitBase().ToNative(value, axis); }
    // The control of Controls named BackImageControl, or nullptr.
    const TBRPrintable *BackImage() const;
    int ReadPreviewWidth() const { return PreviewWidth > 0 ? PreviewWidth : 500; }
    int ReadPreviewHeight() const { return PreviewHeight > 0 ? PreviewHeight : 500; }

private:
    int m_zoom = 100;
};
