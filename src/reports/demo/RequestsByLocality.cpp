#include "reports/demo/RequestsByLocality.h"

#include "core/Erori.h"
#include "core/MonthCode.h"
#include "documents/DocumentPages.h"
#include "documents/DocumentValues.h"
#include "platform/sql/SqlQuote.h"
#include "platform/sql/TQuery.h"
#include "reports/layout/BRLayout.h"
#include "reports/print/BRPrinter.h"
#include "reports/render/BRRender.h"
#include "reports/ui/BRProgressForm.h"
#include "reports/ui/BRStandardPreview.h"
#include "tables/RequestTables.h"

#include <QApplication>

using namespace DocumentValues;

namespace {

const QString kTitle = QStringLiteral("Cererile lunii pe localități");

struct Column
{
    const char *caption;
    const char *expression;
    double left, width;
    Qt::Alignment align;
    const char *mask;
};

// Columns of the detail and the column header, in tenths of a millimetre.
const Column kColumns[] = {
    {"Nr. cerere", "NR_CERE", 0, 180, Qt::AlignRight, "0"},
    {"Titular", "TITULAR", 220, 620, Qt::AlignLeft, ""},
    {"CNP", "CNP", 860, 300, Qt::AlignLeft, ""},
    {"Membri", "NR_MEMBRI", 1180, 140, Qt::AlignRight, "0"},
    {"Ajutor lunar", "CUANTUM", 1340, 300, Qt::AlignRight, "0.00"},
    {"Statut", "STATUT", 1680, 220, Qt::AlignLeft, ""},
};

TBRPrintable text(TBRPrintable p, Qt::Alignment align, bool bold = false, int size = 9)
{
    p.Alignment = align;
    p.Font = QFont(QStringLiteral("DejaVu Sans"), size, bold ? QFont::Bold : QFont::Normal);
    return p;
}

TBRFrame line(bool top, bool bottom)
{
    TBRFrame f;
    f.DrawTop = top;
    f.DrawBottom = bottom;
    return f;
}

// A total line: caption, count and sum of the aid, reset after printing when it closes a group.
void totals(TBRBand &band, const QString &caption, bool reset)
{
    band.Add(text(TBRPrintable::label(caption, 0, 10, 800, 50), Qt::AlignLeft, true));
    TBRPrintable count = text(TBRPrintable::expr(QStringLiteral("COUNT"), 860, 10, 460, 50, QStringLiteral("\"cereri: \"0")),
                              Qt::AlignRight, true);
    TBRPrintable sum = text(TBRPrintable::expr(QStringLiteral("SUM(CUANTUM)"), 1340, 10, 300, 50, QStringLiteral("0.00")),
                            Qt::AlignRight, true);
    count.ResetAfterPrint = sum.ResetAfterPrint = reset;
    band.Add(count);
    band.Add(sum);
}

struct ShownReport : QObject
{
    TQuery query;
    TBandReport report;
};

} // namespace

QStringList RequestsByLocality::Query(const QString &table, int month)
{
    return {QStringLiteral("SELECT LOCALIT, NR_CERE, TITULAR, CNP, NR_MEMBRI, CUANTUM, STATUT"),
            QStringLiteral("FROM ") + SqlQuote::table(table),
            QStringLiteral("WHERE LUNACRT=") + SqlQuote::number(month),
            QStringLiteral("ORDER BY LOCALIT, TITULAR")};
}

void RequestsByLocality::Build(TBandReport &r, TDataSet *requests, const QString &month)
{
    r.DataSet = requests;
    r.DataSetName = QStringLiteral("CERERI");
    r.ReportTitle = kTitle;
    r.Page.SetPaperSize(TBRPaperSize::A4);
    r.SetOption(TBandReportOption::FirstPageHeader, false);
    r.PreviewInitialState = TWindowState::wsMaximized;
    r.PrevInitialZoom = TBRZoomState::brZoomToWidth;

    TBRBand &title = r.AddBand(TBRBandType::rbTitle, 160);
    title.Add(text(TBRPrintable::label(QStringLiteral("Cererile lunii ") + month + QStringLiteral(", pe localități"), 0, 0,
                                       1900, 90),
                   Qt::AlignHCenter, true, 14));
    TBRBand &header = r.AddBand(TBRBandType::rbPageHeader, 70);
    header.Add(text(TBRPrintable::label(kTitle + QStringLiteral(" — ") + month, 0, 0, 1900, 50), Qt::AlignLeft, false, 8));
    header.Frame = line(false, true);

    TBRBand &columns = r.AddBand(TBRBandType::rbColumnHeader, 70);
    TBRBand &detail = r.AddBand(TBRBandType::rbDetail, 55);
    for (const Column &c : kColumns) {
        columns.Add(text(TBRPrintable::label(QString::fromUtf8(c.caption), c.left, 10, c.width, 50), c.align, true));
        detail.Add(text(TBRPrintable::expr(QLatin1String(c.expression), c.left, 0, c.width, 55, QString::fromUtf8(c.mask)),
                        c.align));
    }
    columns.Frame = line(true, true);
    detail.Controls[1].AutoStretch = true;

    TBRGroup &g = r.Groups.emplace_back();
    g.Expression = QStringLiteral("LOCALIT");
    g.ReprintOnNewPage = true;
    g.Header.Height = 80;
    g.Header.Add(text(TBRPrintable::expr(QStringLiteral("'Localitatea: '+IF(LOCALIT='','necompletată',LOCALIT)"), 0, 20,
                                         1900, 55),
                      Qt::AlignLeft, true, 10))
        .OutlineLevel = 0;
    g.FooterBand = std::make_shared<TBRBand>(TBRBandType::rbGroupFooter, 80);
    g.FooterBand->Frame = line(true, false);
    totals(*g.FooterBand, QStringLiteral("Total localitate"), true);

    TBRBand &summary = r.AddBand(TBRBandType::rbSummary, 90);
    summary.Frame = line(true, true);
    totals(summary, QStringLiteral("Total general"), false);

    TBRBand &footer = r.AddBand(TBRBandType::rbPageFooter, 60);
    footer.Add(text(TBRPrintable::expr(QStringLiteral("'Pagina '+STR(PAGENUMBER)"), 0, 10, 1900, 45), Qt::AlignRight, false, 8));
}

std::unique_ptr<TBRPrinter> RequestsByLocality::Produce(TDataSet *requests, const QString &month)
{
    TBandReport report;
    Build(report, requests, month);
    auto printer = std::make_unique<TBRPrinter>(report.PrinterSettings);
    TBRLayout layout(report);
    TBRRender::Run(layout, report, *printer);
    return printer;
}

void RequestsByLocality::Show()
{
    const int month = workingMonth();
    if (month == 0) {
        DocumentPages::error(kTitle, QStringLiteral("Alegeți mai întâi luna de lucru."));
        return;
    }
    // The report lives as long as its preview, whose printer setup keeps its choices there.
    auto shown = std::make_unique<ShownReport>();
    TQuery &query = shown->query;
    TBandReport &report = shown->report;
    openQuery(query, Query(dataFile(RequestTables::Cereri), month));
    // An empty month would print one blank request and count it.
    if (query.IsEmpty()) {
        TErori::Mesaj(kTitle, QStringLiteral("Nu există cereri în luna %1.").arg(MonthCode::text(month)), 2, TErori::OK);
        return;
    }
    Build(report, &query, MonthCode::text(month));
    auto printer = std::make_unique<TBRPrinter>(report.PrinterSettings);
    TBRProgressForm progress(QApplication::activeWindow());
    progress.SetPrinter(printer.get());
    progress.show();
    TBRLayout layout(report);
    if (!TBRRender::Run(layout, report, *printer))
        return;
    progress.close();
    auto *preview = new TBRStandardPreview(std::move(printer), QApplication::activeWindow());
    preview->setAttribute(Qt::WA_DeleteOnClose);
    preview->SetReport(&report);
    shown.release()->setParent(preview);
    preview->show();
}
