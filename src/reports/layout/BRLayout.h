#pragma once
#include "reports/eval/BREnvironment.h"
#include "reports/layout/BRLaidPage.h"
#include "reports/model/BRReport.h"
#include <functional>
#include <map>
#include <memory>
#include <vector>

class TBRController;
class TBRDataSetFields;
class TBREvaluator;

// What a composite job hands from one report to the next: the page still
// open and where on it the report before stopped.
struct TBRJobState
{
    TBRLaidPage Current;
    double CurY = -1;
    int PageNumber = 0;
};

// A report run: walks the report's dataset through its controllers and lays
// its bands out on pages, starting new columns and pages when a band does not
// fit. It only positions; drawing the pages is the renderer's.
class TBRLayout
{
public:
    explicit TBRLayout(TBandReport &report);
    ~TBRLayout();
    TBRLayout(const TBRLayout &) = delete;
    TBRLayout &operator=(const TBRLayout &) = delete;

    // Lays the report out once; every finished page also goes to OnPage. As a
    // member of a composite job it goes on from the job's state and leaves its
    // last page open for the next member, unless its Tag is 999 (the last).
    // On its own, the report's BeforePrint may decline the run: no pages.
    std::vector<TBRLaidPage> Run(TBRJobState *job = nullptr);
    // Asks the report's BeforePrint whether it is to print (yes without one).
    static bool WantsToPrint(TBandReport &report);
    std::function<void(const TBRLaidPage &)> OnPage;
    std::function<void(int percent)> OnProgress;
    bool Running() const { return m_running; }
    void Cancel() { m_cancelled = true; }
    bool Cancelled() const { return m_cancelled; }

    // Used by the controllers while a run goes on.
    void PrintBand(TBRBand *band, TBRController *driver = nullptr);
    void PrintColumnHeader();
    void MakeRoomFor(TBRBand *band);
    int PageNumber() const { return m_pageNumber; }
    // A run limited to its first page has gone past it.
    bool PastFirstPage() const { return m_report.FirstPageOnly && m_pageNumber > 1; }
    int Column() const { return m_column; }
    void SetRecordCount(int count) { m_recordCount = count; }
    void SetProgress(int detailNumber);
    std::unique_ptr<TBREvaluator> MakeEvaluator(const QString &expression);
    // The report's variables, by name without regard to case.
    bool IsVariable(const QString &name) const;
    TBREvResult VariableValue(const QString &name);
    // Space left in the current column, in tenths of a millimetre (0 before the first page).
    double AvailableSpace(double footerHeight) const;

    // The text an expression control prints for a value.
    static QString FormatValue(const struct TBREvResult &v, const QString &mask);

private:
    struct ControlState;
    void setUp();
    void tearDown();
    void joinJob(TBRJobState &job);
    void buildControllers();
    // Each expression's aggregates follow its master's records (by default its band's controller).
    void registerExpressions(const std::vector<TBRBand *> &bands, TBRController &own,
                             const std::vector<TBRController *> &subs);
    void newPage();
    void endPage();
    void newColumn();
    void printBandAs(TBRBand &band, TBRBandType role, TBRBandType widthType, TBRController *driver);
    bool makeRoom(TBRBand &band, TBRBandType role, bool acrossColumns);
    // A band printed at the page's width over a page of several columns.
    bool spansColumns(TBRBandType widthType) const;
    // Moves on column by column to the first column of a new page.
    void breakPage();
    void printContents(TBRBand &band, TBRBandType widthType);
    void keepTogether(const TBRBand &band, const std::vector<ControlState> &states);
    bool printControl(const TBRPrintable &c, ControlState &s, double x, double top, double bandHeight, double &stretch,
                      bool fresh, bool footer);
    QString controlText(const TBRPrintable &c);
    ControlState startControl(const TBRPrintable &c);
    void autoSize(const TBRPrintable &c, ControlState &s) const;
    void placeImage(const TBRPrintable &c, const QRectF &rect);
    void printLooseControls();
    double bandWidth(TBRBandType widthType) const;
    double footerHeightFor(const TBRBand &band, TBRBandType role) const;
    TBRLaidPage &page() { return m_current; }
    void setConstant(TBREvElement *handle, int value);

    TBandReport &m_report;
    TBREvEnvironment m_env;
    std::vector<std::unique_ptr<TBRDataSetFields>> m_dataSets;
    std::map<const TBRPrintable *, std::unique_ptr<TBREvaluator>> m_exprs;
    std::unique_ptr<TBRController> m_controller;
    std::vector<TBRLaidPage> m_pages;
    TBRLaidPage m_current;
    TBREvElement *m_pageConst = nullptr, *m_columnConst = nullptr, *m_titleConst = nullptr;
    double m_curY = -1, m_columnLeft = 0, m_columnTop = 0, m_footerHeight = 0;
    double m_deepest = 0; // the lowest y any column of the page reached
    int m_pageNumber = 0, m_column = 1, m_recordCount = 0, m_lastPercent = -1;
    bool m_running = false, m_cancelled = false, m_final = false;
    bool m_pageHasBody = false, m_columnFresh = false, m_noForce = false, m_forcedColumn = false;
    bool m_inFooter = false;
    bool m_inJob = false; // a member of a composite job
};
