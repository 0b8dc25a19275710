#pragma once
#include <QStringList>
#include <memory>

class TBRPrinter;
class TDataSet;
struct TBandReport;

// The requests of the working month grouped by locality, with the count and
// the monthly aid of each locality and of the whole month: the report engine
// at work, shown in its preview.
class RequestsByLocality
{
public:
    // The query of a month's requests from the request table, by locality and holder.
    static QStringList Query(const QString &table, int month);
    // The report over an open dataset of that query.
    static void Build(TBandReport &report, TDataSet *requests, const QString &month);
    // Lays the report out onto the pages of a new report printer.
    static std::unique_ptr<TBRPrinter> Produce(TDataSet *requests, const QString &month);
    // The menu command.
    static void Show();
};
