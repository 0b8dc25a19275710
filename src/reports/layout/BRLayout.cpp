#include "reports/layout/BRLayout.h"

#include "reports/data/BRDataSetFields.h"
#include "reports/eval/BREvaluator.h"
#include "reports/eval/BRPictureMask.h"
#include "reports/layout/BRCompositeReport.h"
#include "reports/layout/BRController.h"
#include "reports/layout/BRTextLines.h"

#include <QMarginsF>

#include <cmath>

struct TBRLayout::ControlState
{
    QStringList lines;
    int next = 0;
    bool finished = false;
    double left = 0, width = 0, height = 0; // as printed: automatic width may change them
};

namespace {

bool fullWidth(TBRBandType t)
{
    return t == TBRBandType::rbTitle || t == TBRBandType::rbPageHeader || t == TBRBandType::rbPageFooter
           || t == TBRBandType::rbSummary || t == TBRBandType::rbOverlay;
}

bool pageBand(TBRBandType t)
{
    return t == TBRBandType::rbTitle || t == TBRBandType::rbPageHeader || t == TBRBandType::rbPageFooter
           || t == TBRBandType::rbOverlay;
}

// Bands that give a page its body, as opposed to what repeats on every page
// or column and the title, which opens page 1: a forced page break never
// leaves a page that holds only those others.
bool bodyBand(TBRBandType t)
{
    return !pageBand(t) && t != TBRBandType::rbColumnHeader;
}

// The room a control's frame lines take inside it, in tenths of a millimetre
// (the pen is in points): its text starts within them.
QMarginsF frameInsets(const TBRFrame &f)
{
    const double w = f.Width * 254.0 / 72;
    return QMarginsF(f.DrawLeft ? w : 0, f.DrawTop ? w : 0, f.DrawRight ? w : 0, f.DrawBottom ? w : 0);
}

// Lei as the office writes them, "1.234,50 lei", rounded as every other mask.
QString money(double v)
{
    bool ok = true;
    QString text = formatFloatMask(QStringLiteral("#,##0.00"), v, &ok);
    for (QChar &c : text)
        c = c == u',' ? u'.' : c == u'.' ? u',' : c;
    return text + QStringLiteral(" lei");
}

// Runs `f` with forced breaks switched off, as a move to a new column does.
template <class F> void withoutForce(bool &flag, F f)
{
    const bool old = flag;
    flag = true;
    f();
    flag = old;
}

} // namespace

TBRLayout::TBRLayout(TBandReport &report) : m_report(report)
{
}

TBRLayout::~TBRLayout() = default;

QString TBRLayout::FormatValue(const TBREvResult &v, const QString &mask)
{
    bool ok = true;
    switch (v.kind) {
    case TBREvKind::Integer:
        return formatFloatMask(mask, v.intValue, &ok);
    case TBREvKind::Float:
        if (mask.contains(QLatin1String("%m")))
            return QString(mask).replace(QLatin1String("%m"), money(v.floatValue));
        return formatFloatMask(mask, v.floatValue, &ok);
    case TBREvKind::Boolean:
        return v.boolValue ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return v.stringValue;
    }
}

std::unique_ptr<TBREvaluator> TBRLayout::MakeEvaluator(const QString &expression)
{
    auto e = std::make_unique<TBREvaluator>();
    QList<TBRDataSet *> list;
    for (auto &d : m_dataSets)
        list << d.get();
    e->SetDataSets(list);
    e->SetEnvironment(&m_env);
    e->Prepare(expression);
    return e;
}

bool TBRLayout::IsVariable(const QString &name) const
{
    return m_env.IndexOf(name) >= 0;
}

TBREvResult TBRLayout::VariableValue(const QString &name)
{
    return m_env.Value(name);
}

void TBRLayout::setConstant(TBREvElement *handle, int value)
{
    if (handle)
        TBREvEnvironment::SetIntegerConstant(handle, value);
}

void TBRLayout::setUp()
{
    TBRPage &p = m_report.Page;
    if (p.PrintableWidth() < 0)
        p.LeftMargin = p.RightMargin = 0;
    if (p.PrintableLength() < 0)
        p.TopMargin = p.BottomMargin = 0;
    m_pages.clear();
    m_cancelled = m_final = m_pageHasBody = m_columnFresh = m_noForce = m_forcedColumn = m_inFooter = m_inJob = false;
    m_curY = -1;
    m_pageNumber = 0;
    m_column = p.Columns;
    m_columnLeft = p.LeftMargin;
    m_lastPercent = -1;
    m_footerHeight = 0;
    for (auto &b : m_report.Bands)
        if (b->BandType == TBRBandType::rbPageFooter && b->Enabled)
            m_footerHeight += b->ChainHeight();

    m_dataSets.clear();
    const auto addSet = [this](TDataSet *ds, const QString &name) {
        if (ds)
            m_dataSets.push_back(std::make_unique<TBRDataSetFields>(ds, name));
    };
    addSet(m_report.DataSet, m_report.DataSetName);
    for (auto &[ds, name] : m_report.OtherDataSets)
        addSet(ds, name);
    for (TBRSubDetail &s : m_report.SubDetails)
        addSet(s.DataSet, s.DataSetName);
    QList<TBRDataSet *> list;
    for (auto &d : m_dataSets)
        list << d.get();
    m_env.Clear();
    m_env.AddFunction(QStringLiteral("PAGENUMBER"), QStringLiteral("0"));
    m_env.AddFunction(QStringLiteral("COLUMNNUMBER"), QStringLiteral("0"));
    m_env.AddFunction(QStringLiteral("REPORTTITLE"), QStringLiteral("''"));
    for (auto &[name, expr] : m_report.Functions)
        m_env.AddFunction(name, expr);
    m_env.SetDataSets(list);
    m_env.Prepare();
    m_pageConst = m_env.GetConstant(QStringLiteral("PAGENUMBER"));
    m_columnConst = m_env.GetConstant(QStringLiteral("COLUMNNUMBER"));
    m_titleConst = m_env.GetConstant(QStringLiteral("REPORTTITLE"));
    if (m_titleConst)
        TBREvEnvironment::SetStringConstant(m_titleConst, m_report.ReportTitle);
    buildControllers();
}

void TBRLayout::buildControllers()
{
    TBRController::Level top;
    top.DataSet = m_report.DataSet;
    top.Header = m_report.Band(TBRBandType::rbTitle);
    top.Detail = m_report.Band(TBRBandType::rbDetail);
    top.Footer = m_report.Band(TBRBandType::rbSummary);
    top.Groups = &m_report.Groups;
    top.PrintIfEmpty = m_report.PrintIfEmpty;
    top.TopLevel = true;
    top.OnNeedData = m_report.OnNeedData;
    m_controller = std::make_unique<TBRController>(*this, top);
    std::vector<TBRBand *> topBands;
    for (auto &b : m_report.Bands)
        for (TBRBand *c = b.get(); c; c = c->Child.get())
            topBands.push_back(c);
    for (TBRGroup &g : m_report.Groups)
        topBands.insert(topBands.end(), {&g.Header, g.FooterBand.get()});
    std::vector<TBRController *> subs;
    std::vector<std::vector<TBRBand *>> subBands;
    for (TBRSubDetail &s : m_report.SubDetails) {
        TBRController::Level l;
        l.DataSet = s.DataSet;
        l.Header = s.HeaderBand.get();
        l.Detail = &s.Band;
        l.Footer = s.FooterBand.get();
        l.Groups = &s.Groups;
        l.PrintIfEmpty = s.PrintIfEmpty;
        l.BeforeOpen = s.BeforeOpen;
        l.OnNeedData = s.OnNeedData;
        auto sub = std::make_unique<TBRController>(*this, l);
        std::vector<TBRBand *> bands{l.Header, l.Detail, l.Footer};
        for (TBRGroup &g : s.Groups)
            bands.insert(bands.end(), {&g.Header, g.FooterBand.get()});
        subs.push_back(sub.get());
        subBands.push_back(std::move(bands));
        (s.PrintBefore ? m_controller->Before : m_controller->After).push_back(std::move(sub));
    }
    registerExpressions(topBands, *m_controller, subs);
    for (size_t i = 0; i < subs.size(); ++i)
        registerExpressions(subBands[i], *subs[i], subs);
    m_controller->Prepare();
}

void TBRLayout::registerExpressions(const std::vector<TBRBand *> &bands, TBRController &own,
                                    const std::vector<TBRController *> &subs)
{
    for (TBRBand *b : bands) {
        if (!b)
            continue;
        for (const TBRPrintable &c : b->Controls) {
            if (c.kind != TBRPrintable::Kind::Expr)
                continue;
            auto e = MakeEvaluator(c.Expression);
            e->Reset();
            const TBRMaster &m = c.Master;
            const bool sub = m.kind == TBRMaster::Kind::SubDetail && m.SubDetail >= 0 && size_t(m.SubDetail) < subs.size();
            TBRController &master = sub ? *subs[size_t(m.SubDetail)]
                                    : m.kind == TBRMaster::Kind::Report ? *m_controller
                                                                        : own;
            // A named master hears every record; the band's own controller only feeds aggregates.
            if (m.kind != TBRMaster::Kind::Band || e->HasAggregates())
                master.Notify.push_back(e.get());
            m_exprs[&c] = std::move(e);
        }
    }
}

void TBRLayout::tearDown()
{
    if (m_controller)
        m_controller->Unprepare();
    m_controller.reset();
    for (auto &[c, e] : m_exprs)
        e->Unprepare();
    m_exprs.clear();
    m_env.Unprepare();
    m_dataSets.clear();
}

bool TBRLayout::WantsToPrint(TBandReport &report)
{
    bool print = true;
    if (report.BeforePrint)
        report.BeforePrint(print);
    return print;
}

std::vector<TBRLaidPage> TBRLayout::Run(TBRJobState *job)
{
    if (m_running)
        return {};
    // A composite job asks its members itself.
    if (!job && !WantsToPrint(m_report))
        return {};
    m_running = true;
    try {
        setUp();
        if (job)
            joinJob(*job);
        m_inJob = job != nullptr;
        m_controller->Execute();
        m_columnLeft = m_report.Page.LeftMargin;
        if (!job || m_report.Tag == TBRCompositeReport::LastMemberTag) {
            m_final = true;
            if (!m_cancelled)
                endPage();
        } else {
            job->Current = std::move(m_current);
            job->CurY = m_curY;
            job->PageNumber = m_pageNumber;
        }
    } catch (...) {
        tearDown();
        m_running = false;
        throw;
    }
    tearDown();
    m_running = false;
    return std::move(m_pages);
}

void TBRLayout::joinJob(TBRJobState &job)
{
    m_current = std::move(job.Current);
    m_curY = m_deepest = job.CurY;
    m_pageNumber = job.PageNumber;
    // The page was begun by the report before: a forced break may leave it.
    m_pageHasBody = m_pageNumber > 0;
    setConstant(m_pageConst, m_pageNumber);
}

void TBRLayout::SetProgress(int detailNumber)
{
    if (m_recordCount <= 0 || !OnProgress)
        return;
    const int percent = detailNumber * 100 / m_recordCount;
    if (percent != m_lastPercent)
        OnProgress(m_lastPercent = percent);
}

double TBRLayout::AvailableSpace(double footerHeight) const
{
    if (m_pageNumber == 0)
        return 0;
    return m_report.Page.Length - m_report.Page.BottomMargin - footerHeight - m_curY;
}

double TBRLayout::footerHeightFor(const TBRBand &band, TBRBandType role) const
{
    // The last page of a report without LastPageFooter has no footer: a summary
    // aligned to its bottom may use that room when nothing follows it there.
    const bool last = !m_inJob || m_report.Tag == TBRCompositeReport::LastMemberTag;
    if (role == TBRBandType::rbSummary && band.AlignToBottom && band.ChainHeight() == band.Height && last
        && !m_report.HasOption(TBandReportOption::LastPageFooter))
        return 0;
    return m_footerHeight;
}

double TBRLayout::bandWidth(TBRBandType widthType) const
{
    return fullWidth(widthType) ? m_report.Page.PrintableWidth() : m_report.Page.ColumnWidth();
}

void TBRLayout::endPage()
{
    if (m_pageNumber <= 0)
        return;
    const TBRPage &p = m_report.Page;
    m_curY = p.Length - p.BottomMargin - m_footerHeight;
    m_columnLeft = p.LeftMargin;
    if (!(m_final && !m_report.HasOption(TBandReportOption::LastPageFooter))) {
        m_inFooter = true;
        for (auto &b : m_report.Bands)
            if (b->BandType == TBRBandType::rbPageFooter)
                printBandAs(*b, TBRBandType::rbPageFooter, TBRBandType::rbPageFooter, nullptr);
        m_inFooter = false;
    }
    printLooseControls();
    if (m_report.Frame.Any()) {
        TBRLaidItem f;
        f.kind = TBRLaidItem::Kind::Frame;
        f.Rect = QRectF(QPointF(p.LeftMargin, p.TopMargin), QPointF(p.Width - p.RightMargin - 1, p.Length - p.BottomMargin - 1));
        f.Frame = m_report.Frame;
        page().Items.push_back(f);
    }
    // A run limited to the first page lays the next one out only to stop there.
    if (!PastFirstPage()) {
        if (m_report.OnEndPage)
            m_report.OnEndPage(m_pageNumber);
        m_pages.push_back(std::move(m_current));
        if (OnPage)
            OnPage(m_pages.back());
    }
    m_current = TBRLaidPage();
}

void TBRLayout::printLooseControls()
{
    const TBRPrintable *back = m_report.BackImage();
    for (const TBRPrintable &c : m_report.Controls) {
        if (&c == back || !c.Enabled)
            continue;
        ControlState s = startControl(c);
        double stretch = 0;
        printControl(c, s, s.left, 0, m_report.Page.Length, stretch, false, true);
    }
}

void TBRLayout::newPage()
{
    endPage();
    ++m_pageNumber;
    setConstant(m_pageConst, m_pageNumber);
    m_current = TBRLaidPage();
    m_current.Number = m_pageNumber;
    m_current.Width = m_report.Page.Width;
    m_current.Length = m_report.Page.Length;
    m_curY = m_deepest = m_report.Page.TopMargin;
    m_pageHasBody = false;
    if (m_report.OnStartPage && !PastFirstPage())
        m_report.OnStartPage(m_pageNumber);
    if (const TBRPrintable *back = m_report.BackImage())
        placeImage(*back, QRectF(back->Left, back->Top, back->Width, back->Height));
    if (m_pageNumber > 1 || m_report.HasOption(TBandReportOption::FirstPageHeader))
        for (auto &b : m_report.Bands)
            if (b->BandType == TBRBandType::rbPageHeader)
                printBandAs(*b, TBRBandType::rbPageHeader, TBRBandType::rbPageHeader, nullptr);
    m_columnTop = m_curY;
    const TBRBand *title = m_report.Band(TBRBandType::rbTitle);
    if (m_pageNumber == 1 && title && title->Enabled)
        m_columnTop += title->Height;
}

void TBRLayout::newColumn()
{
    const TBRPage &p = m_report.Page;
    if (m_column >= p.Columns) {
        m_column = 1;
        m_columnLeft = p.LeftMargin;
        newPage();
    } else {
        m_columnLeft += p.ColumnWidth() + p.ColumnSpace;
        m_curY = m_columnTop;
        ++m_column;
    }
    setConstant(m_columnConst, m_column);
    if (!(m_column == 1 && m_pageNumber == 1)) {
        PrintBand(m_report.Band(TBRBandType::rbColumnHeader));
        m_controller->ReprintHeaders();
    }
    m_columnFresh = true;
}

void TBRLayout::PrintColumnHeader()
{
    // A member of a composite job starts on whatever page the one before left.
    if (m_pageNumber <= 1 || m_inJob)
        PrintBand(m_report.Band(TBRBandType::rbColumnHeader));
}

void TBRLayout::MakeRoomFor(TBRBand *band)
{
    if (m_pageNumber == 0)
        newColumn();
    else if (band->Height > AvailableSpace(footerHeightFor(*band, band->BandType)))
        newColumn();
}

void TBRLayout::PrintBand(TBRBand *band, TBRController *driver)
{
    if (band)
        printBandAs(*band, band->BandType, band->BandType, driver);
}

bool TBRLayout::spansColumns(TBRBandType widthType) const
{
    return fullWidth(widthType) && !pageBand(widthType) && m_report.Page.Columns > 1;
}

void TBRLayout::breakPage()
{
    withoutForce(m_noForce, [this] {
        do
            newColumn();
        while (m_column != 1);
    });
}

bool TBRLayout::makeRoom(TBRBand &band, TBRBandType role, bool acrossColumns)
{
    const bool breakable = !pageBand(role) && m_pageNumber >= 1 && !m_noForce;
    // A forced break that is skipped (a page that holds only its headers is not
    // left empty) or only remembered leaves the band to make room like any other.
    if (band.ForceNewPage && breakable) {
        if (m_pageHasBody) {
            breakPage();
            return true;
        }
    } else if (band.ForceNewColumn && breakable) {
        // The first one in column 1 of a one-column report is only remembered.
        if (m_column != 1 || m_report.Page.Columns >= 2 || m_forcedColumn) {
            withoutForce(m_noForce, [this] { newColumn(); });
            return true;
        }
        m_forcedColumn = true;
    }
    if (m_pageNumber == 0) {
        newColumn();
    } else if (const double need = band.LinkedHeight(); role != TBRBandType::rbPageFooter
               && need > AvailableSpace(footerHeightFor(band, role)) && need <= m_report.Page.PrintableLength()) {
        // The next column would put it over the columns already printed.
        if (acrossColumns)
            breakPage();
        else
            withoutForce(m_noForce, [this] { newColumn(); });
    }
    return false;
}

void TBRLayout::printBandAs(TBRBand &band, TBRBandType role, TBRBandType widthType, TBRController *driver)
{
    if (band.AlignToBottom && m_pageNumber > 0) {
        const TBRPage &p = m_report.Page;
        const double footer = footerHeightFor(band, role);
        if (m_curY + band.Height + p.BottomMargin + footer <= p.Length)
            m_curY = p.Length - band.Height - (p.BottomMargin + footer);
    }
    const bool print = band.Enabled && (!band.BeforePrint || band.BeforePrint());
    if (!print) {
        if (driver)
            driver->NotifyClients();
        return;
    }
    // A band across the page goes below every column printed on it so far.
    if (spansColumns(widthType))
        m_curY = std::max(m_curY, m_deepest);
    if (!m_inFooter)
        makeRoom(band, role, spansColumns(widthType));
    if (driver)
        driver->NotifyClients();
    printContents(band, widthType);
    if (bodyBand(role)) {
        m_pageHasBody = true;
        m_columnFresh = false;
    }
    if (band.AfterPrint)
        band.AfterPrint(true);
    if (band.Child)
        printBandAs(*band.Child, role == TBRBandType::rbPageFooter ? role : band.Child->BandType, widthType, nullptr);
}

QString TBRLayout::controlText(const TBRPrintable &c)
{
    QString text = c.Caption;
    if (c.kind == TBRPrintable::Kind::Expr) {
        const auto it = m_exprs.find(&c);
        text = c.Expression.isEmpty() || it == m_exprs.end() ? QStringLiteral(" ")
                                                             : FormatValue(it->second->Value(), c.Mask);
        if (c.ResetAfterPrint && it != m_exprs.end())
            it->second->Reset();
    }
    if (c.OnPrint && !text.isEmpty())
        c.OnPrint(text);
    return text;
}

void TBRLayout::printContents(TBRBand &band, TBRBandType widthType)
{
    const double width = bandWidth(widthType);
    std::vector<ControlState> states(band.Controls.size());
    for (size_t i = 0; i < band.Controls.size(); ++i)
        states[i] = startControl(band.Controls[i]);
    const bool footer = widthType == TBRBandType::rbPageFooter;
    if (band.KeepOnOnePage && !footer)
        keepTogether(band, states);
    for (int pass = 0;; ++pass) {
        // A band that spans the page starts at the margin, whatever column is current;
        // any other goes on in the column each pass moved to.
        const double left = fullWidth(widthType) ? m_report.Page.LeftMargin : m_columnLeft;
        const double top = m_curY;
        const size_t mark = page().Items.size();
        const bool fresh = m_columnFresh || pass > 0;
        double stretch = 0;
        bool done = true;
        for (size_t i = 0; i < band.Controls.size(); ++i)
            if (!states[i].finished) {
                const TBRPrintable &c = band.Controls[i];
                const double w = states[i].width;
                double x = left + states[i].left;
                if (c.AlignToBand)
                    x = left
                        + (c.Alignment & Qt::AlignRight ? width - w
                           : c.Alignment & Qt::AlignHCenter ? std::trunc((width - w) / 2)
                                                            : 0);
                done = printControl(c, states[i], x, top, band.Height, stretch, fresh, footer) && done;
            }
        const QRectF rect(left, top, width, band.Height + stretch);
        TBRLaidItem mark0;
        mark0.kind = TBRLaidItem::Kind::Band;
        mark0.Rect = rect;
        mark0.BandType = band.BandType;
        std::vector<TBRLaidItem> under{mark0};
        if (!band.TransparentBand) {
            TBRLaidItem fill;
            fill.kind = TBRLaidItem::Kind::Fill;
            fill.Rect = rect;
            fill.Color = band.Color;
            under.push_back(fill);
        }
        page().Items.insert(page().Items.begin() + qsizetype(mark), under.begin(), under.end());
        if (band.Frame.Any()) {
            TBRLaidItem f;
            f.kind = TBRLaidItem::Kind::Frame;
            f.Rect = rect.adjusted(0, 0, 0, 1);
            f.Frame = band.Frame;
            page().Items.push_back(f);
        }
        m_curY = top + band.Height + stretch;
        m_deepest = std::max(m_deepest, m_curY);
        if (done)
            return;
        withoutForce(m_noForce, [this] { newColumn(); });
    }
}

void TBRLayout::keepTogether(const TBRBand &band, const std::vector<ControlState> &states)
{
    double need = band.Height;
    for (size_t i = 0; i < band.Controls.size(); ++i) {
        const TBRPrintable &c = band.Controls[i];
        if (c.AutoStretch && c.IsText())
            need = std::max(need, c.Top + frameInsets(c.Frame).top() + states[i].lines.size() * TBRTextLines::LineHeight(c.Font));
    }
    // A band that cannot fit on any page is not worth an empty column.
    if (need > AvailableSpace(m_footerHeight) && need <= m_report.Page.PrintableLength())
        withoutForce(m_noForce, [this] { newColumn(); });
}

bool TBRLayout::printControl(const TBRPrintable &c, ControlState &s, double x, double top, double bandHeight,
                             double &stretch, bool fresh, bool footer)
{
    const QRectF rect(x, top + c.Top, s.width, s.height);
    if (c.kind == TBRPrintable::Kind::Image) {
        placeImage(c, rect);
        return s.finished = true;
    }
    if (!c.IsText()) {
        TBRLaidItem item;
        item.kind = TBRLaidItem::Kind::Shape;
        item.Rect = rect;
        item.Shape = c.Shape;
        item.Pen = c.Pen;
        item.Brush = c.Brush;
        item.RoundFactor = c.RoundFactor;
        page().Items.push_back(item);
        return s.finished = true;
    }
    if (!c.Transparent) {
        TBRLaidItem fill;
        fill.kind = TBRLaidItem::Kind::Fill;
        fill.Rect = rect;
        fill.Color = c.Color;
        page().Items.push_back(fill);
    }
    const double lh = TBRTextLines::LineHeight(c.Font);
    const double available = footer ? bandHeight : AvailableSpace(m_footerHeight);
    const QMarginsF in = frameInsets(c.Frame);
    const double textTop = c.Top + in.top();
    int k = 0;
    bool cut = false;
    for (; s.next < s.lines.size() && !cut; ++s.next, ++k) {
        const double bottom = textTop + (k + 1) * lh;
        const double limit = bandHeight + stretch;
        if (bottom > limit) {
            const double missing = bottom - limit;
            // A line that fits nowhere still takes one line of a fresh column.
            if (c.AutoStretch && (limit + missing <= available || (k == 0 && fresh && !footer)))
                stretch += missing;
            // A band that may not grow cuts the line it ends across rather than losing it.
            else if (!c.AutoStretch && textTop + k * lh < limit)
                cut = true;
            else
                break;
        }
        TBRLaidItem t;
        t.kind = TBRLaidItem::Kind::Text;
        t.Rect = QRectF(x + in.left(), rect.top() + in.top() + k * lh, s.width - in.left() - in.right(), lh);
        t.Clip = QRectF(t.Rect.left(), rect.top() + in.top(), t.Rect.width(), std::max(s.height - in.top(), (k + 1) * lh));
        if (cut)
            t.Clip.setBottom(std::min(t.Clip.bottom(), top + bandHeight + stretch));
        t.Text = s.lines[s.next];
        t.Font = c.Font;
        t.Color = c.FontColor;
        t.Align = c.PrintAlignment();
        t.RightToLeft = c.RightToLeft();
        t.OutlineLevel = s.next == 0 ? c.OutlineLevel : -1;
        page().Items.push_back(t);
    }
    s.finished = s.next >= s.lines.size() || !c.AutoStretch;
    if (c.Frame.Any()) {
        TBRLaidItem f;
        f.kind = TBRLaidItem::Kind::Frame;
        f.Rect = QRectF(x, rect.top(), s.width, std::max(s.height, in.top() + k * lh));
        f.Frame = c.Frame;
        page().Items.push_back(f);
    }
    return s.finished;
}

TBRLayout::ControlState TBRLayout::startControl(const TBRPrintable &c)
{
    ControlState s;
    s.finished = !c.Enabled;
    s.left = c.Left, s.width = c.Width, s.height = c.Height;
    if (c.Enabled && c.IsText()) {
        s.lines = TBRTextLines::Format(c.Font, controlText(c), c.Width, c.AutoSize, c.WordWrap, m_report.Zoom());
        if (c.AutoSize)
            autoSize(c, s);
        // A text control is at least one line high.
        s.height = std::max(s.height, TBRTextLines::LineHeight(c.Font) * m_report.Zoom() / 100 + 1);
    }
    return s;
}

void TBRLayout::autoSize(const TBRPrintable &c, ControlState &s) const
{
    double widest = 0;
    for (const QString &line : s.lines)
        widest = std::max(widest, TBRTextLines::Width(c.Font, line) * m_report.Zoom() / 100);
    const QMarginsF in = frameInsets(c.Frame);
    // One pixel more, as the screen measured it.
    widest += in.left() + in.right() + 254 / TBRTextLines::PageDpi;
    // The edge the text is aligned to stays where it was designed.
    const double change = widest - c.Width;
    const Qt::Alignment align = c.PrintAlignment();
    if (align & Qt::AlignRight)
        s.left -= change;
    else if (align & Qt::AlignHCenter)
        s.left -= change / 2;
    s.width = widest;
}

void TBRLayout::placeImage(const TBRPrintable &c, const QRectF &rect)
{
    TBRLaidItem item;
    item.kind = TBRLaidItem::Kind::Image;
    item.Rect = rect;
    item.Picture = c.Picture;
    page().Items.push_back(item);
}
