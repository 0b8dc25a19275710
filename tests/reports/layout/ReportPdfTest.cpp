#include "TestApplication.h"
#include "documents/MemoryDataSet.h"
#include "reports/eval/BRError.h"
#include "reports/layout/BRCompositeReport.h"
#include "reports/layout/BRLayout.h"
#include "reports/print/BRPrinter.h"
#include "reports/render/BRRender.h"

#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Small reports laid out, drawn into the page store and saved as PDF, then
// read back by poppler: the text of each page, where a word stands, and how
// thick a line is on the rendered page.
namespace {

constexpr double PointsPerNative = 72.0 / 254;

QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

struct Pdf
{
    QString path;
    QString error; // of a report that could not be saved

    QStringList pages() const
    {
        QStringList out = run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")})
                              .split(QLatin1Char('\f'));
        if (!out.isEmpty() && out.last().trimmed().isEmpty())
            out.removeLast();
        for (QString &p : out)
            p = p.simplified();
        return out;
    }
    // The box of the first word `word` on page `page`, in points from the top left.
    QRectF word(int page, const QString &word) const
    {
        const QString html = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-f"), QString::number(page),
                                                              QStringLiteral("-l"), QString::number(page), path, QStringLiteral("-")});
        static const QRegularExpression re(
            QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
        for (auto it = re.globalMatch(html); it.hasNext();) {
            const auto m = it.next();
            if (m.captured(5) == word)
                return QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                              QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()));
        }
        return {};
    }
    // Page 1 rendered at 4 pixels a point.
    QImage image() const
    {
        const QString png = path + QStringLiteral("-1");
        run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("288"), QStringLiteral("-png"), QStringLiteral("-singlefile"),
                                         QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"), path, png});
        return QImage(png + QStringLiteral(".png"));
    }
};

// Pixels of 4-per-point rendering at a length in tenths of a millimetre.
int px(double native)
{
    return int(native * PointsPerNative * 4);
}

// The dark pixels of row y between x0 and x1: a line's thickness where it crosses the row.
int darkRun(const QImage &img, int y, int x0, int x1)
{
    int n = 0;
    for (int x = x0; x < x1; ++x)
        n += qGray(img.pixel(x, y)) < 128;
    return n;
}

int redPixels(const QImage &img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            n += c.red() > 200 && c.green() < 80 && c.blue() < 80;
        }
    return n;
}

std::unique_ptr<MemoryDataSet> records(const QList<QVariantList> &values)
{
    auto ds = std::make_unique<MemoryDataSet>(QList<MemoryDataSet::Column>{{"GRUPA", SqlType::Text}, {"NUME", SqlType::Text}},
                                              values);
    ds->Open();
    return ds;
}

// n records named <prefix>1.., all in group A.
std::unique_ptr<MemoryDataSet> named(int n, const QString &prefix = QStringLiteral("r"))
{
    QList<QVariantList> v;
    for (int i = 1; i <= n; ++i)
        v.append({QStringLiteral("A"), prefix + QString::number(i)});
    return records(v);
}

// A 100 x 100 mm page with 10 mm margins and a detail band 100 high printing NUME.
TBandReport report(TDataSet *ds, double detailHeight = 100)
{
    TBandReport r;
    r.DataSet = ds;
    r.Page.PaperSize = TBRPaperSize::Custom;
    r.Page.Width = r.Page.Length = 1000;
    r.Page.TopMargin = r.Page.BottomMargin = r.Page.LeftMargin = r.Page.RightMargin = 100;
    r.AddBand(TBRBandType::rbDetail, detailHeight).Add(TBRPrintable::expr(QStringLiteral("NUME"), 0, 0, 300, 40));
    return r;
}

TBRPrintable &label(TBRBand &band, const QString &caption, double left = 0, double top = 0)
{
    return band.Add(TBRPrintable::label(caption, left, top, 300, 40));
}

struct Job
{
    std::vector<std::unique_ptr<MemoryDataSet>> data;
    std::vector<std::unique_ptr<TBandReport>> reports;
    TDataSet *add(std::unique_ptr<MemoryDataSet> ds) { return data.emplace_back(std::move(ds)).get(); }
    TBandReport &add(TBandReport r) { return *reports.emplace_back(std::make_unique<TBandReport>(std::move(r))); }
    bool reload = false; // saved as a report file first and exported by a printer that opened it
};

void save(Job &job, const QString &path)
{
    TBRPrinter printer;
    if (job.reports.size() == 1) {
        TBRLayout layout(*job.reports[0]);
        TBRRender::Run(layout, *job.reports[0], printer);
    } else {
        TBRCompositeReport composite;
        for (auto &r : job.reports)
            composite.Add(*r);
        TBRRender::Run(composite, printer);
    }
    if (!job.reload)
        return printer.SaveToPdf(path);
    const QString brp = path + QStringLiteral(".brp");
    printer.SaveToFile(brp);
    TBRPrinter loaded;
    loaded.LoadFromFile(brp);
    loaded.SaveToPdf(path);
}

TBRGroup &group(TBandReport &r)
{
    TBRGroup &g = r.Groups.emplace_back();
    g.Expression = QStringLiteral("GRUPA");
    g.Header.Add(TBRPrintable::expr(QStringLiteral("'Grupa '+GRUPA"), 0, 0, 300, 40));
    return g;
}

// Groups A, B, C of one record each under a page header and a title `title`
// high, each group forced to a new page.
std::function<void(Job &)> forcedGroups(double title)
{
    return [title](Job &j) {
        TBandReport &r = j.add(report(j.add(records({{"A", "r1"}, {"B", "r2"}, {"C", "r3"}}))));
        label(r.AddBand(TBRBandType::rbPageHeader, 50), QStringLiteral("ANTET"));
        label(r.AddBand(TBRBandType::rbTitle, title), QStringLiteral("TITLU"));
        group(r).Header.ForceNewPage = true;
    };
}

std::function<void(const Pdf &)> pagesAre(const QStringList &pages)
{
    return [pages](const Pdf &pdf) { EXPECT_EQ(pdf.pages().join(u" | ").toStdString(), pages.join(u" | ").toStdString()); };
}

} // namespace

TEST(ReportPdf, WhatThePagesHold)
{
    ensureApplication<QGuiApplication>();
    struct Case
    {
        const char *name;
        std::function<void(Job &)> build;
        std::function<void(const Pdf &)> check;
    } cases[] = {
        {"a title does not count as body: the first forced group stays on page 1", forcedGroups(100),
         pagesAre({"ANTET TITLU Grupa A r1", "ANTET Grupa B r2", "ANTET Grupa C r3"})},
        {"a forced new page skipped on the title page still makes room", forcedGroups(700),
         pagesAre({"ANTET TITLU", "ANTET Grupa A r1", "ANTET Grupa B r2", "ANTET Grupa C r3"})},
        {"a composite job's second member prints its column header on the page it starts",
         [](Job &j) {
             j.add(report(j.add(named(10))));
             TBandReport &second = j.add(report(j.add(named(2, QStringLiteral("s")))));
             label(second.AddBand(TBRBandType::rbColumnHeader, 100), QStringLiteral("COLOANE"));
         },
         [](const Pdf &pdf) {
             // 8 records to a page: the second member starts on page 2.
             EXPECT_EQ(pdf.pages().value(1), "r9 r10 COLOANE s1 s2");
         }},
        {"a summary after a last record in column 2 spans the page from the left margin, below both columns",
         [](Job &j) {
             TBandReport &r = j.add(report(j.add(records({{"A", "a1"}, {"A", "a2"}, {"A", "a3"}, {"B", "b1"}}))));
             r.Page.SetColumns(2);
             TBRGroup &g = r.Groups.emplace_back();
             g.Expression = QStringLiteral("GRUPA");
             g.Header.ForceNewColumn = true;
             label(r.AddBand(TBRBandType::rbSummary, 100), QStringLiteral("TOTAL GENERAL"));
         },
         [](const Pdf &pdf) {
             const QRectF total = pdf.word(1, QStringLiteral("TOTAL"));
             EXPECT_NEAR(total.left(), 100 * PointsPerNative, 1);
             EXPECT_GT(total.top(), pdf.word(1, QStringLiteral("a3")).bottom());
             EXPECT_GT(pdf.word(1, QStringLiteral("b1")).left(), 450 * PointsPerNative) << "b1 in column 2";
         }},
        {"a framed text starts inside its frame's lines",
         [](Job &j) {
             TBandReport &r = j.add(report(j.add(named(1)), 200));
             TBRPrintable &framed = label(*r.Band(TBRBandType::rbDetail), QStringLiteral("FRAMED"), 400, 50);
             framed.Frame.All(true);
             framed.Frame.Width = 3;
         },
         [](const Pdf &pdf) {
             const QRectF box = pdf.word(1, QStringLiteral("FRAMED"));
             EXPECT_GE(box.left(), 500 * PointsPerNative + 2.5);
             EXPECT_GE(box.top(), 150 * PointsPerNative + 2.5);
         }},
        {"a label taller than its band is clipped, not dropped",
         [](Job &j) {
             TBandReport &r = j.add(report(j.add(named(2)), 20));
             r.Band(TBRBandType::rbDetail)->Controls[0].Font.setPointSize(14);
         },
         [](const Pdf &pdf) {
             EXPECT_EQ(pdf.pages(), QStringList{"r1 r2"});
             // Nothing shows below the second band, which ends at 140.
             const QImage img = pdf.image();
             int below = 0;
             for (int y = px(140) + 2; y < px(300); ++y)
                 below += darkRun(img, y, 0, img.width());
             EXPECT_EQ(below, 0);
         }},
        {"a stretching label grows its band",
         [](Job &j) {
             TBandReport &r = j.add(report(j.add(named(2)), 20));
             r.Band(TBRBandType::rbDetail)->Controls[0].Font.setPointSize(14);
             r.Band(TBRBandType::rbDetail)->Controls[0].AutoStretch = true;
         },
         [](const Pdf &pdf) {
             EXPECT_GE(pdf.word(1, QStringLiteral("r2")).top(), pdf.word(1, QStringLiteral("r1")).bottom() - 1);
         }},
        {"shapes keep their pen width and text its colour in the rendered page",
         [](Job &j) {
             TBandReport &r = j.add(report(j.add(named(1)), 400));
             TBRBand &b = *r.Band(TBRBandType::rbDetail);
             b.Controls.clear();
             // First to draw, clear, one page-store pixel wide: the PDF writer once
             // kept its own hairline for a pen equal to the painter's first one.
             TBRPrintable &thin = b.Add(TBRPrintable::shape(TBRShapeType::brsRectangle, 600, 50, 200, 300));
             thin.Pen.Width = 0.75;
             thin.Brush.Style = Qt::NoBrush;
             b.Add(TBRPrintable::shape(TBRShapeType::brsRectangle, 0, 50, 200, 300));
             b.Add(TBRPrintable::shape(TBRShapeType::brsRectangle, 300, 50, 200, 300)).Pen.Width = 3;
             label(b, QStringLiteral("ROSU"), 0, 360).FontColor = Qt::red;
         },
         [](const Pdf &pdf) {
             const QImage img = pdf.image();
             ASSERT_FALSE(img.isNull());
             const int y = px(100 + 200);
             EXPECT_NEAR(darkRun(img, y, px(100) - 20, px(100) + 20), 4, 1) << "the default pen: one point";
             EXPECT_NEAR(darkRun(img, y, px(400) - 20, px(400) + 20), 12, 1) << "a three-point pen";
             EXPECT_NEAR(darkRun(img, y, px(700) - 20, px(700) + 20), 3, 1) << "three quarters of a point";
             EXPECT_GT(redPixels(img), 20) << "the label in red";
         }},
        {"text continued into the next column starts column 2",
         [](Job &j) {
             TBandReport &r = j.add(report(j.add(named(1)), 60));
             r.Page.SetColumns(2);
             QStringList lines;
             for (int i = 1; i <= 30; ++i)
                 lines << QStringLiteral("L%1").arg(i);
             TBRBand &detail = *r.Band(TBRBandType::rbDetail);
             detail.Controls.clear();
             label(detail, lines.join(QChar(13))).AutoStretch = true;
         },
         [](const Pdf &pdf) { EXPECT_GT(pdf.word(1, QStringLiteral("L30")).left(), 450 * PointsPerNative); }},
        {"nothing printed for an empty set is counted",
         [](Job &j) {
             TBandReport &r = j.add(report(j.add(records({}))));
             TBRSubDetail &s = r.SubDetails.emplace_back();
             s.DataSet = j.add(records({}));
             s.PrintIfEmpty = true;
             TBRBand &summary = r.AddBand(TBRBandType::rbSummary, 100);
             summary.Add(TBRPrintable::expr(QStringLiteral("'n='+STR(COUNT)"), 0, 0, 300, 40));
             summary.Add(TBRPrintable::expr(QStringLiteral("'sub='+STR(COUNT)"), 0, 50, 300, 40)).Master = TBRMaster::subDetail(0);
         },
         pagesAre({"n=0 sub=0"})},
        {"a remembered forced new column still makes room",
         [](Job &j) {
             auto ds = records({{"A", "a1"}, {"A", "a2"}, {"A", "a3"}, {"A", "a4"}, {"A", "a5"}, {"A", "a6"}, {"A", "a7"},
                                {"A", "a8"}, {"B", "b1"}, {"B", "b2"}});
             TBandReport &r = j.add(report(j.add(std::move(ds)), 80));
             label(r.AddBand(TBRBandType::rbPageFooter, 50), QStringLiteral("SUBSOL"));
             group(r).Header.ForceNewColumn = true;
         },
         pagesAre({"Grupa A a1 a2 a3 a4 a5 a6 a7 a8 SUBSOL", "Grupa B b1 b2 SUBSOL"})},
        {"a summary that is not last on its page leaves the footer its room",
         [](Job &j) {
             TBandReport &r = j.add(report(j.add(named(8)), 80));
             r.SetOption(TBandReportOption::LastPageFooter, false);
             label(r.AddBand(TBRBandType::rbPageFooter, 100), QStringLiteral("SUBSOL"));
             TBRBand &summary = r.AddBand(TBRBandType::rbSummary, 100);
             label(summary, QStringLiteral("TOTAL"));
             summary.Child = std::make_shared<TBRBand>(TBRBandType::rbChild, 200);
             label(*summary.Child, QStringLiteral("SEMNATURI"));
         },
         pagesAre({"r1 r2 r3 r4 r5 r6 r7 r8 SUBSOL", "TOTAL SEMNATURI"})},
        {"a reloaded report keeps its page size, not stretched onto the printer's paper",
         [](Job &j) {
             j.add(report(j.add(named(1))));
             j.reload = true;
         },
         [](const Pdf &pdf) { EXPECT_NEAR(pdf.word(1, QStringLiteral("r1")).left(), 100 * PointsPerNative, 1); }},
        {"a report without pages writes no PDF",
         [](Job &j) { j.add(report(j.add(records({})))).PrintIfEmpty = false; },
         [](const Pdf &pdf) {
             EXPECT_TRUE(pdf.error.startsWith(QStringLiteral("Raportul nu are nicio pagina"))) << pdf.error.toStdString();
             EXPECT_FALSE(QFile::exists(pdf.path));
         }},
        {"a band taller than the page prints where it stands",
         [](Job &j) { label(j.add(report(j.add(named(1)), 900)).AddBand(TBRBandType::rbTitle, 100), QStringLiteral("TITLU")); },
         pagesAre({"TITLU r1"})},
        {"the title's height is kept on page 1 only, in every column",
         [](Job &j) {
             TBandReport &r = j.add(report(j.add(named(28))));
             r.Page.SetColumns(2);
             label(r.AddBand(TBRBandType::rbTitle, 200), QStringLiteral("TITLU"));
         },
         [](const Pdf &pdf) {
             // 6 records a column under the title, 8 on page 2.
             EXPECT_NEAR(pdf.word(1, QStringLiteral("r7")).top(), pdf.word(1, QStringLiteral("r1")).top(), 1);
             EXPECT_NEAR(pdf.word(2, QStringLiteral("r21")).top(), pdf.word(2, QStringLiteral("r13")).top(), 1);
         }},
        {"a page footer's child prints as a page footer: across the page, in the footer's room",
         [](Job &j) {
             TBandReport &r = j.add(report(j.add(named(20))));
             r.Page.SetColumns(2);
             TBRBand &footer = r.AddBand(TBRBandType::rbPageFooter, 50);
             label(footer, QStringLiteral("SUBSOL"));
             footer.Child = std::make_shared<TBRBand>(TBRBandType::rbChild, 50);
             TBRPrintable &right = label(*footer.Child, QStringLiteral("COPIL"));
             right.AlignToBand = true;
             right.Alignment = Qt::AlignRight;
         },
         [](const Pdf &pdf) {
             const QRectF child = pdf.word(1, QStringLiteral("COPIL"));
             EXPECT_NEAR(child.right(), 900 * PointsPerNative, 3);
             EXPECT_GT(child.top(), pdf.word(1, QStringLiteral("SUBSOL")).bottom() - 1);
             EXPECT_LT(child.bottom(), 900 * PointsPerNative) << "above the bottom margin";
         }},
        {"a summary that exactly fills the page stays on it",
         [](Job &j) { label(j.add(report(j.add(named(7)))).AddBand(TBRBandType::rbSummary, 100), QStringLiteral("TOTAL")); },
         pagesAre({"r1 r2 r3 r4 r5 r6 r7 TOTAL"})},
    };
    QTemporaryDir dir;
    int n = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Job job;
        c.build(job);
        Pdf pdf{dir.filePath(QStringLiteral("r%1.pdf").arg(++n)), {}};
        try {
            save(job, pdf.path);
        } catch (const EBRError &e) {
            pdf.error = e.message();
        }
        c.check(pdf);
    }
}
