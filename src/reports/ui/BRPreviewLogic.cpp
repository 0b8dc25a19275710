#include "reports/ui/BRPreviewLogic.h"

#include "reports/print/BRExportFilter.h"
#include "reports/print/BRPrinter.h"

#include <QFileInfo>

#include <cmath>

int TBRPreviewLogic::FitZoom(double clientW, double clientH, double pageW, double pageH)
{
    if (pageW <= 0 || pageH <= 0)
        return 100;
    return int(std::lround(std::min(clientW / pageW * 95, clientH / pageH * 95)));
}

int TBRPreviewLogic::WidthZoom(double clientW, double pageW)
{
    return pageW <= 0 ? 100 : int(std::lround(clientW / pageW * 90));
}

int TBRPreviewLogic::GotoPage(const QString &entry, int count)
{
    bool ok = false;
    const int n = entry.trimmed().toInt(&ok);
    return ok && n >= 1 && n <= count ? n : 1;
}

QUrl TBRPreviewLogic::LinkUrl(const QString &link)
{
    QString target = link.trimmed();
    if (target.left(4).compare(QLatin1String("ext:"), Qt::CaseInsensitive) == 0)
        target = target.mid(4).trimmed();
    const QUrl url(target, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    const bool web = (scheme == u"http" || scheme == u"https") && !url.host().isEmpty();
    const bool mail = scheme == u"mailto" && !url.path().isEmpty();
    return url.isValid() && (web || mail) ? url : QUrl();
}

TBRPreviewLogic::PrintWay TBRPreviewLogic::PrintWayOf(const TBRPrinter &printer, bool hasReport)
{
    if (printer.status() != TBRPrinter::Status::Finished)
        return PrintWay::Nothing;
    return hasReport && printer.PrintsAgain() ? PrintWay::RunAgain : PrintWay::StoredPages;
}

QList<int> TBRPreviewLogic::SearchPages(TBRPrinter &printer, const QString &text, bool matchCase)
{
    QList<int> found;
    if (text.isEmpty())
        return found;
    const Qt::CaseSensitivity cs = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (int n = 1; n <= printer.PageCount(); ++n) {
        const auto page = printer.Page(n);
        if (!page)
            continue;
        for (const QString &t : page->Texts())
            if (t.contains(text, cs)) {
                found << n;
                break;
            }
    }
    return found;
}

namespace {

// "Rapoarte salvate (*.brp)": the dialog matches the extension in any case.
QString filterOf(const QString &description, const QString &extension)
{
    return description + QStringLiteral(" (*.") + extension + QLatin1Char(')');
}

} // namespace

QString TBRPreviewLogic::ReportFilter()
{
    return filterOf(QStringLiteral("Rapoarte salvate"), QStringLiteral("brp"));
}

QStringList TBRPreviewLogic::SaveFilters()
{
    QStringList filters{ReportFilter()};
    for (const TBRExportFormat &f : TBRExportFilters::Registered())
        filters << filterOf(f.Description, f.Extension);
    return filters;
}

int TBRPreviewLogic::SaveFormat(const QString &path, int chosenFilter)
{
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.compare(QLatin1String("brp"), Qt::CaseInsensitive) == 0)
        return 0;
    const std::vector<TBRExportFormat> &formats = TBRExportFilters::Registered();
    for (size_t i = 0; i < formats.size(); ++i)
        if (suffix.compare(formats[i].Extension, Qt::CaseInsensitive) == 0)
            return int(i) + 1;
    return chosenFilter;
}

QString TBRPreviewLogic::WithExtension(const QString &path, const QString &extension)
{
    const QString suffix = QLatin1Char('.') + extension;
    return path.endsWith(suffix, Qt::CaseInsensitive) ? path : path + suffix;
}

QString TBRPreviewLogic::PageText(int page, int count)
{
    return QStringLiteral("Pagina %1 din %2").arg(page).arg(count);
}
