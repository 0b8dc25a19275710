#pragma once
#include <QList>
#include <QStringList>
#include <QString>
#include <QUrl>

class TBRPrinter;

// What the preview window decides, kept apart from its widgets.
class TBRPreviewLogic
{
public:
    // Zoom percentages the preview takes.
    static bool ZoomAccepted(int zoom) { return zoom >= 2 && zoom <= 2000; }
    static int FitZoom(double clientW, double clientH, double pageW, double pageH);
    static int WidthZoom(double clientW, double pageW);
    // The page a go-to entry shows: page 1 for anything but a number from 1 to count.
    static int GotoPage(const QString &entry, int count);
    // The address a link opens: only http, https and mailto, with or without
    // the "ext:" prefix (in any case); an empty address for anything else.
    static QUrl LinkUrl(const QString &link);
    // The pages (1-based) whose texts contain `text`, compared in full
    // Unicode, case-blind unless matchCase.
    static QList<int> SearchPages(TBRPrinter &printer, const QString &text, bool matchCase);
    // The filter of the save and load dialogs, in words and one pattern; the
    // dialogs match it in any case (TBRStandardPreview::FileDialog).
    static QString ReportFilter();
    // The save dialog's filters: saved reports, then each registered export format.
    static QStringList SaveFilters();
    // The format a save writes: the one the typed name's extension names, else the chosen filter's.
    static int SaveFormat(const QString &path, int chosenFilter);
    // The path with ".brp" added when it has no such extension (in any case).
    static QString WithReportExtension(const QString &path) { return WithExtension(path, QStringLiteral("brp")); }
    static QString WithExtension(const QString &path, const QString &extension);
    // What Print does with a printer's pages: a report's own run is run again
    // unless its pages are to be printed as stored; pages loaded from a file
    // or without a report are printed as stored; an unfinished job prints nothing.
    enum class PrintWay { Nothing, RunAgain, StoredPages };
    static PrintWay PrintWayOf(const TBRPrinter &printer, bool hasReport);
    // "Pagina x din y".
    static QString PageText(int page, int count);
};
