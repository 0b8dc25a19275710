#pragma once
#include "reports/ui/BRPreviewIcons.h"

#include <QDialog>
#include <QPageLayout>
#include <memory>

class QCheckBox;
class QFileDialog;
class QToolBar;
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

// The preview window of a report printer's pages, opened as the report asks
// (size, state, sheets and zoom) or maximised: zoom, navigation and keys,
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
    // The report whose run made the pages: the window takes its preview
    // settings, and the printer setup keeps its choices there.
    void SetReport(TBandReport *report);
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
    // The save and load dialogs: our own, so a saved report's extension
    // matches in any case on every desktop. Opens in the folder last used for
    // saved reports, as the program's other choosers do.
    static std::unique_ptr<QFileDialog> FileDialog(QWidget *parent, const QString &title, const QStringList &filters,
                                                   bool save);

    QToolBar *ToolBar;
    QToolButton *ZoomFit, *ZoomWidth, *Zoom100, *FirstPage, *PreviousPage, *NextPage, *LastPage, *GotoPageButton,
        *FindButton, *PrintSetup, *PrintButton, *SaveReport, *LoadReport, *SavePdf, *ExitButton;
    QLineEdit *SearchEdit;
    QCheckBox *MatchCase;
    QToolButton *SearchButton;
    QListWidget *SearchResultBox, *ThumbGrid;
    QTreeWidget *OutlineTree;
    QTabWidget *Tabs;
    QLabel *StatusPage, *StatusFile;

protected:
    // Keys reach the window before its controls, text entry aside.
    bool eventFilter(QObject *watched, QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void moveEvent(QMoveEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    enum class Fit { None, Page, Width };
    QToolButton *tool(const QString &hint, BRPreviewIcons::Kind icon, void (TBRStandardPreview::*slot)());
    void buildTools();
    void buildSheets();
    // Thumbnails and search shown or not; the sheets show while either is.
    void showSheets(bool thumbs, bool search);
    // The sheets show while any of their tabs does (the outline's only with entries).
    void showTabsInUse();
    void takeWindowSettings(const TBandReport &report);
    void fitFrameToScreen();
    bool framed() const;
    void fitFramedWindow();
    void minimizeIfAsked();
    void applyFit();
    void pressZoomButton(QToolButton *pressed);
    bool previewKey(const QKeyEvent &e);
    QString askFile(const QString &title, const QStringList &filters, bool save, int *chosen);
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
    void findClicked();
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
    QPageLayout::Orientation m_orientation = QPageLayout::Portrait;
    QSize m_asked;              // the report's window size
    bool m_frameToFit = false;  // fitted before the window had its frame
    bool m_minimizeOnShow = false;
};
