// The grouped demonstration report (requests by locality, with totals) laid
// out to pages without drawing, over 10,000 and over 100,000 requests, in
// alternating rounds: the time should grow about linearly (a ratio near 10).
// Then the 10,000-request run drawn into the page store and written as PDF
// in a fresh folder: pages per second.
#include "PairedRuns.h"
#include "platform/sql/TDataSet.h"
#include "reports/demo/RequestsByLocality.h"
#include "reports/layout/BRLayout.h"
#include "reports/model/BRReport.h"
#include "reports/print/BRPrinter.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// Requests of one month over 40 localities, in the report's order.
class Requests : public TDataSet
{
public:
    explicit Requests(int n) : m_n(n) {}
    ~Requests() override { Close(); }

protected:
    void openData(QList<SqlResultColumn> &columns, std::vector<Row> &rows) override
    {
        for (const char *c : {"LOCALIT", "TITULAR", "CNP", "STATUT"})
            columns.append({QString::fromLatin1(c), SqlType::Text, 60, 0});
        columns.append({QStringLiteral("NR_CERE"), SqlType::Integer, 10, 0});
        columns.append({QStringLiteral("NR_MEMBRI"), SqlType::Integer, 2, 0});
        columns.append({QStringLiteral("CUANTUM"), SqlType::Float, 10, 2});
        rows.reserve(m_n);
        for (int i = 0; i < m_n; ++i) {
            Row r;
            r.values = {QStringLiteral("Localitatea %1").arg(i * 40 / m_n, 2, 10, QLatin1Char('0')),
                        QStringLiteral("POPESCU ION %1").arg(i), QStringLiteral("1800101%1").arg(i, 6, 10, QLatin1Char('0')),
                        QStringLiteral("APROBAT"), i + 1, 1 + i % 5, 80.0 + i % 240};
            rows.push_back(std::move(r));
        }
    }

private:
    int m_n;
};

double layoutMs(int n, int *pages = nullptr)
{
    Requests ds(n);
    ds.Open();
    TBandReport report;
    RequestsByLocality::Build(report, &ds, QStringLiteral("01.2023"));
    return bench::elapsedMs([&] {
        TBRLayout layout(report);
        const int count = int(layout.Run().size());
        if (pages)
            *pages = count;
    });
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    int small = 0, large = 0;
    layoutMs(10000, &small);
    layoutMs(100000, &large);
    const bench::Paired p = bench::paired(5, [] { return layoutMs(100000); }, [] { return layoutMs(10000); });
    std::printf("layout: 10,000 requests %.1f ms (%d pages), 100,000 requests %.1f ms (%d pages)\n", p.theirs, small,
                p.ours, large);

    std::vector<double> rates;
    for (int round = 0; round < 5; ++round) {
        QTemporaryDir dir;
        Requests ds(10000);
        ds.Open();
        std::unique_ptr<TBRPrinter> printer;
        const double ms = bench::elapsedMs([&] {
            printer = RequestsByLocality::Produce(&ds, QStringLiteral("01.2023"));
            printer->SaveToPdf(dir.filePath(QStringLiteral("raport.pdf")));
        });
        rates.push_back(printer->PageCount() / (ms / 1000));
    }
    std::printf("report_layout_100k_vs_10k: %.2f\n", p.ratio());
    std::printf("report_pdf_pages_per_s: %.0f\n", bench::median(rates));
    return 0;
}
