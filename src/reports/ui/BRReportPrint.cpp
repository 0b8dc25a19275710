#include "reports/ui/BRReportPrint.h"

#include "platform/shell/ChooserDialog.h"
#include "reports/layout/BRCompositeReport.h"
#include "reports/layout/BRLayout.h"
#include "reports/print/BRPrinter.h"
#include "reports/render/BRRender.h"
#include "reports/ui/BRProgressForm.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include <memory>

void TBRReportPrint::Print(TBandReport &report, QWidget *parent)
{
    TBRPrinter printer(report.PrinterSettings);
    if (!TBRPrinter::PrintersInstalled() && printer.Printer().outputFileName().isEmpty()) {
        if (OfferPdf(parent, report.ReportTitle))
            printToPdf(report, parent);
        return;
    }
    // The printer chosen in the printer setup, when it is still there.
    printer.SetPrinterIndex(report.PrinterSettings.PrinterIndex);
    PrintOn(report, printer, parent);
}

bool TBRReportPrint::PrintOn(TBandReport &report, TBRPrinter &printer, QWidget *parent)
{
    printer.SetDestination(TBRPrinter::Destination::Printer);
    std::unique_ptr<TBRProgressForm> progress;
    if (report.ShowProgress) {
        progress = std::make_unique<TBRProgressForm>(parent);
        progress->SetPrinter(&printer);
        progress->show();
    }
    return run(report, printer);
}

bool TBRReportPrint::run(TBandReport &report, TBRPrinter &printer)
{
    if (report.Job)
        return TBRRender::Run(*report.Job, printer);
    // The printer tells the end of a job that reached the printer.
    if (report.AfterPrint)
        QObject::connect(&printer, &TBRPrinter::AfterPrint, &printer, report.AfterPrint);
    TBRLayout layout(report);
    return TBRRender::Run(layout, report, printer);
}

void TBRReportPrint::printToPdf(TBandReport &report, QWidget *parent)
{
    const QString path = AskPdfPath(parent);
    if (path.isEmpty())
        return;
    try {
        TBRPrinter pages(report.PrinterSettings);
        if (run(report, pages))
            pages.SaveToPdf(path);
    } catch (const std::exception &e) {
        QMessageBox::warning(parent, report.ReportTitle,
                             QStringLiteral("Fișierul PDF nu a putut fi scris.\n\n") + QString::fromUtf8(e.what()));
    }
}

bool TBRReportPrint::OfferPdf(QWidget *parent, const QString &title)
{
    // The buttons named in Romanian: Qt's own Yes/No are not translated here.
    QMessageBox ask(QMessageBox::Question, title,
                    QStringLiteral("Nu este instalată nicio imprimantă. Doriți să salvați raportul ca fișier PDF?"),
                    QMessageBox::NoButton, parent);
    const QAbstractButton *yes = ask.addButton(QStringLiteral("Da"), QMessageBox::YesRole);
    ask.setDefaultButton(ask.addButton(QStringLiteral("Nu"), QMessageBox::NoRole));
    ask.exec();
    return ask.clickedButton() == yes;
}

QString TBRReportPrint::AskPdfPath(QWidget *parent)
{
    const QString filter = ChooserDialog::filter(QStringLiteral("Documente PDF"), {QStringLiteral("pdf")});
    const std::unique_ptr<QFileDialog> dialog = ChooserDialog::file(parent, QStringLiteral("Salvare ca PDF"), filter, true, {});
    QString path = ChooserDialog::run(*dialog, ChooserDialog::kind(filter));
    if (!path.isEmpty() && !path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    return path;
}
