#pragma once
#include <QDialog>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QScrollArea;
class QTabWidget;
class QToolButton;
class TBRPreviewImage;
class QTreeWidget;
class TBRPrintDialog;
class TBRPrinter;
struct TBandReport;

// The preview window of a report printer's pages: zoom, navigation and keys,
// go to page, thumbnails, outline, text search, printer setup, printing (or
// PDF when no printer is installed), saving, exporting and loading of saved
// reports, and the pages' links.
class TBRStandardPreview : public QDialog
{
    Q_OBJECT
public:
    explicit TBRStandardPreview(std::unique_ptr<TBRPrinter> printer, QWidget *parent = nullptr);
    ~TBRStandardPreview() override;

    TBRPrinter &Printer() { return *m_printer; }
    // The report whose run made the pages: the printer setup keeps its choices there.
    void SetReport(TBandReport *report) { m_report = report; }
    int PageNumber() const;
    void SetPageNumber(int n);
    int Zoom() const;
    // 2 to 2000; other values are ignored.
    void SetZoom(int zoom);
    void ZoomToFit();
    void ZoomToWidth();
    void GotoPageEntry(const QString &entry);
    // Lists the pages holding the text, or "Nu s-a găsit textul".
    void Search(const QString &text, bool matchCase);
    void SaveTo(const QString &path);
    // Saves as the save dialog's filter `format`: 0 a saved report, then the export formats.
    void SaveAs(const QString &path, int format);
    // The print dialog preset from the report; on OK its choices are kept.
    void PrinterSetup();
    // The choices of a confirmed setup go into the printer and, unless the
    // pages came from a file, into the report.
    void ApplySetup(const TBRPrintDialog &dialog);
    // The outline tab, rebuilt from the printer's entries; shown only when there are some.
    void RefreshOutline();
    void LoadFrom(const QString &path);
    void SavePdfTo(const QString &path);
    // Follows a page link when it is a web or mail address.
    static bool FollowLink(const QString &link);

    QToolButton *ZoomFit, *ZoomWidth, *Zoom100, *FirstPage, *PreviousPage, *NextPage, *LastPage, *GotoPageButton,
        *PrintSetup, *PrintButton, *SaveReport, *LoadReport, *SavePdf, *ExitButton;
    QLineEdit *SearchEdit;
    QCheckBox *MatchCase;
    QToolButton *FindButton;
    QListWidget *SearchResultBox, *ThumbGrid;
    QTreeWidget *OutlineTree;
    QTabWidget *Tabs;
    QLabel *StatusPage, *StatusFile;

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    enum class Fit { None, Page, Width };
    QToolButton *tool(const QString &text, const QString &icon, void (TBRStandardPreview::*slot)());
    void buildTools(class QHBoxLayout *bar);
    void pageAvailable();
    void updateStatus();
    void refreshThumbs();
    void askGoto();
    void askPrint();
    void printStored();
    void askSave();
    void askLoad();
    void askPdf();
    void askSearch();
    void closeWindow();
    void first();
    void previous();
    void next();
    void last();
    void zoom100();
    void scrollStep(int direction);
    void error(const QString &what, const std::exception &e);

    void outlineChosen();

    std::unique_ptr<TBRPrinter> m_printer;
    TBandReport *m_report = nullptr;
    size_t m_outlineCount = 0;
    TBRPreviewImage *m_image;
    QScrollArea *m_scroll;
    Fit m_fit = Fit::None;
};
