#include "TestApplication.h"
#include "documents/MemoryDataSet.h"
#include "platform/sql/SqlError.h"
#include "platform/sql/SqlQuote.h"
#include "platform/sql/TQuery.h"
#include "reports/eval/BREvResult.h"
#include "reports/layout/BRCompositeReport.h"
#include "reports/layout/BRController.h"
#include "reports/layout/BRLayout.h"
#include "reports/layout/BRTextLines.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ReportLayout : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ensureApplication<QGuiApplication>();
    }
};

// Rows of (GRUPA text, NUME text, SUMA float, SUB integer).
std::unique_ptr<MemoryDataSet> rows(const QList<QVariantList> &values)
{
    auto ds = std::make_unique<MemoryDataSet>(QList<MemoryDataSet::Column>{{"GRUPA", SqlType::Text},
                                                                           {"NUME", SqlType::Text},
                                                                           {"SUMA", SqlType::Float},
                                                                           {"SUB", SqlType::Integer}},
                                              values);
    ds->Open();
    return ds;
}

std::unique_ptr<MemoryDataSet> numbered(int n, const QString &group = QStringLiteral("A"))
{
    QList<QVariantList> v;
    for (int i = 1; i <= n; ++i)
        v.append({group, QStringLiteral("r%1").arg(i), double(i), i});
    return rows(v);
}

// A small page: 100 high margins, 1000 long, so 800 of printable length.
TBandReport report(TDataSet *ds)
{
    TBandReport r;
    r.DataSet = ds;
    r.Page.PaperSize = TBRPaperSize::Custom;
    r.Page.Width = 1000;
    r.Page.Length = 1000;
    r.Page.TopMargin = r.Page.BottomMargin = r.Page.LeftMargin = r.Page.RightMargin = 100;
    r.AddBand(TBRBandType::rbDetail, 100).Add(TBRPrintable::expr(QStringLiteral("NUME"), 0, 0, 300, 100));
    return r;
}

TBRBand &labelled(TBandReport &r, TBRBandType type, double height, const QString &caption)
{
    TBRBand &b = r.AddBand(type, height);
    b.Add(TBRPrintable::label(caption, 0, 0, 300, height));
    return b;
}

std::vector<TBRLaidPage> run(TBandReport &r)
{
    TBRLayout layout(r);
    return layout.Run();
}

QStringList allTexts(const std::vector<TBRLaidPage> &pages)
{
    QStringList out;
    for (const TBRLaidPage &p : pages)
        out << p.Texts();
    return out;
}

double bottomOf(const TBRLaidPage &p, TBRBandType t)
{
    return p.BandRects(t).back().bottom();
}

const TBRLaidItem &firstText(const TBRLaidPage &p)
{
    return *p.ItemsOf(TBRLaidItem::Kind::Text).front();
}

} // namespace

TEST_F(ReportLayout, ColumnsFillDownThenAcrossAndRepeatTheColumnHeader)
{
    auto ds = numbered(15);
    TBandReport r = report(ds.get());
    r.Page.SetColumns(2);
    r.Page.ColumnSpace = 50;
    labelled(r, TBRBandType::rbColumnHeader, 100, QStringLiteral("CH"));
    const auto pages = run(r);
    // 800 of length: the column header and 7 records per column.
    ASSERT_EQ(pages.size(), 2u);
    const auto details = pages[0].BandRects(TBRBandType::rbDetail);
    ASSERT_EQ(details.size(), 14u);
    EXPECT_EQ(details[0], QRectF(100, 200, 375, 100));
    EXPECT_EQ(details[7], QRectF(100 + 375 + 50, 200, 375, 100));
    EXPECT_EQ(pages[0].BandRects(TBRBandType::rbColumnHeader).size(), 2u);
    EXPECT_EQ(pages[1].BandRects(TBRBandType::rbColumnHeader).size(), 1u);
    EXPECT_EQ(pages[1].Texts(), (QStringList{"CH", "r15"}));
}

TEST_F(ReportLayout, FirstPageHeaderAndLastPageFooterOptions)
{
    struct Case
    {
        const char *name;
        bool firstHeader, lastFooter;
        QStringList page1, page2;
    } cases[] = {
        {"both on", true, true, {"H", "r1", "r2", "r3", "r4", "r5", "r6", "F"}, {"H", "r7", "r8", "F"}},
        {"both off", false, false, {"r1", "r2", "r3", "r4", "r5", "r6", "r7", "F"}, {"H", "r8"}},
    };
    for (const Case &c : cases) {
        auto ds = numbered(8);
        TBandReport r = report(ds.get());
        labelled(r, TBRBandType::rbPageHeader, 100, QStringLiteral("H"));
        labelled(r, TBRBandType::rbPageFooter, 100, QStringLiteral("F"));
        r.SetOption(TBandReportOption::FirstPageHeader, c.firstHeader);
        r.SetOption(TBandReportOption::LastPageFooter, c.lastFooter);
        const auto pages = run(r);
        ASSERT_EQ(pages.size(), 2u) << c.name;
        EXPECT_EQ(pages[0].Texts(), c.page1) << c.name;
        EXPECT_EQ(pages[1].Texts(), c.page2) << c.name;
        EXPECT_EQ(pages[0].BandRects(TBRBandType::rbPageFooter).front().top(), 800) << c.name;
    }
}

TEST_F(ReportLayout, SummaryAlignedToBottomEndsAboveTheFooterArea)
{
    for (const bool lastFooter : {false, true}) {
        auto ds = numbered(2);
        TBandReport r = report(ds.get());
        labelled(r, TBRBandType::rbPageFooter, 100, QStringLiteral("F"));
        labelled(r, TBRBandType::rbSummary, 100, QStringLiteral("S")).AlignToBottom = true;
        r.SetOption(TBandReportOption::LastPageFooter, lastFooter);
        const auto pages = run(r);
        ASSERT_EQ(pages.size(), 1u);
        EXPECT_EQ(bottomOf(pages[0], TBRBandType::rbSummary), lastFooter ? 800 : 900) << lastFooter;
    }
}

TEST_F(ReportLayout, ForcedNewPageAfterOnlyHeadersLeavesNoEmptyPage)
{
    auto ds = numbered(3);
    TBandReport r = report(ds.get());
    labelled(r, TBRBandType::rbColumnHeader, 100, QStringLiteral("CH"));
    r.Band(TBRBandType::rbDetail)->ForceNewPage = true;
    const auto pages = run(r);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0].Texts(), (QStringList{"CH", "r1"}));
    EXPECT_EQ(pages[2].Texts(), (QStringList{"CH", "r3"}));
}

TEST_F(ReportLayout, GroupsBreakPrintFootersWithTotalsAndNest)
{
    struct Case
    {
        const char *name;
        QList<QVariantList> values;
        QStringList expected;
    } cases[] = {
        {"one record", {{"A", "a1", 1.0, 1}}, {"HA", "I1", "a1", "I1", "TA 1.00", "S 1.00"}},
        {"outer breaks, inner stays",
         {{"A", "a1", 1.0, 1}, {"A", "a2", 2.0, 1}, {"B", "b1", 4.0, 1}},
         {"HA", "I1", "a1", "a2", "I1", "TA 3.00", "HB", "I1", "b1", "I1", "TB 4.00", "S 7.00"}},
        {"inner breaks alone",
         {{"A", "a1", 1.0, 1}, {"A", "a2", 2.0, 2}},
         {"HA", "I1", "a1", "I1", "I2", "a2", "I2", "TA 3.00", "S 3.00"}},
    };
    for (const Case &c : cases) {
        auto ds = rows(c.values);
        TBandReport r = report(ds.get());
        TBRGroup &outer = r.Groups.emplace_back();
        outer.Expression = QStringLiteral("GRUPA");
        outer.Header.Add(TBRPrintable::expr(QStringLiteral("'H'+GRUPA"), 0, 0, 300, 60));
        outer.FooterBand = std::make_shared<TBRBand>(TBRBandType::rbGroupFooter, 60);
        outer.FooterBand->Add(TBRPrintable::expr(QStringLiteral("'T'+GRUPA"), 0, 0, 150, 60));
        TBRPrintable &total = outer.FooterBand->Add(TBRPrintable::expr(QStringLiteral("SUM(SUMA)"), 150, 0, 150, 60, "0.00"));
        total.ResetAfterPrint = true;
        TBRGroup &inner = r.Groups.emplace_back();
        inner.Expression = QStringLiteral("SUB");
        inner.Header.Add(TBRPrintable::expr(QStringLiteral("'I'+STR(SUB)"), 0, 0, 300, 60));
        inner.FooterBand = std::make_shared<TBRBand>(TBRBandType::rbGroupFooter, 60);
        inner.FooterBand->Add(TBRPrintable::expr(QStringLiteral("'I'+STR(SUB)"), 0, 0, 300, 60));
        TBRBand &summary = r.AddBand(TBRBandType::rbSummary, 60);
        summary.Add(TBRPrintable::label(QStringLiteral("S"), 0, 0, 100, 60));
        summary.Add(TBRPrintable::expr(QStringLiteral("SUM(SUMA)"), 100, 0, 200, 60, "0.00"));
        r.Page.Length = 5000;
        QStringList texts = allTexts(run(r));
        // Footer and summary cells are separate texts; join "T"+group with its total.
        for (int i = 0; i + 1 < texts.size(); ++i)
            if ((texts[i].startsWith('T') || texts[i] == "S") && texts[i + 1].contains('.'))
                texts[i] += ' ' + texts.takeAt(i + 1);
        EXPECT_EQ(texts, c.expected) << c.name;
    }
}

TEST_F(ReportLayout, GroupKindChangeBreaksAndEmptyDataPrintsNothing)
{
    // An integer and a float of the same value are different group values.
    auto ds = rows({{"A", "x", 1.0, 1}, {"A", "y", 1.0, 1}});
    TBandReport r = report(ds.get());
    TBRGroup &g = r.Groups.emplace_back();
    g.Expression = QStringLiteral("IF(NUME='x', 1, 1.0)");
    g.Header.Add(TBRPrintable::label(QStringLiteral("G"), 0, 0, 300, 60));
    EXPECT_EQ(allTexts(run(r)), (QStringList{"G", "x", "G", "y"}));

    auto empty = rows({});
    TBandReport e = report(empty.get());
    e.PrintIfEmpty = false;
    labelled(e, TBRBandType::rbTitle, 100, QStringLiteral("T"));
    EXPECT_TRUE(run(e).empty());
}

TEST_F(ReportLayout, GroupHeaderReprintsOnANewPage)
{
    auto ds = numbered(10);
    TBandReport r = report(ds.get());
    TBRGroup &g = r.Groups.emplace_back();
    g.Expression = QStringLiteral("GRUPA");
    g.ReprintOnNewPage = true;
    g.Header.Add(TBRPrintable::label(QStringLiteral("G"), 0, 0, 300, 100));
    const auto pages = run(r);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[1].Texts(), (QStringList{"G", "r8", "r9", "r10"}));
}

TEST_F(ReportLayout, SubDetailPrintsItsRecordsBeforeOrAfterTheMaster)
{
    for (const bool before : {true, false}) {
        auto master = numbered(2);
        auto items = rows({{"r1", "x", 0.0, 0}, {"r2", "y", 0.0, 0}, {"r2", "z", 0.0, 0}});
        TBandReport r = report(master.get());
        r.Page.Length = 5000;
        TBRSubDetail &s = r.SubDetails.emplace_back();
        s.DataSet = items.get();
        s.DataSetName = QStringLiteral("ITEMS");
        s.PrintBefore = before;
        s.Band.Add(TBRPrintable::expr(QStringLiteral("'-'+ITEMS.NUME"), 0, 0, 300, 50));
        s.BeforeOpen = [&] { items->SetFilter("GRUPA='" + master->FieldByName("NUME")->AsString() + "'"), items->SetFiltered(true); };
        const QStringList expected = before ? QStringList{"-x", "r1", "-y", "-z", "r2"} : QStringList{"r1", "-x", "r2", "-y", "-z"};
        EXPECT_EQ(allTexts(run(r)), expected) << before;
    }
}

TEST_F(ReportLayout, StretchingTextContinuesAndAnUnfittableLineIsPlacedAnyway)
{
    struct Case
    {
        const char *name;
        int pointSize;
        int lines;
    } cases[] = {{"ordinary lines run onto the next page", 10, 60}, {"each line taller than a page", 300, 3}};
    for (const Case &c : cases) {
        auto ds = numbered(1);
        TBandReport r = report(ds.get());
        TBRPrintable &p = r.Band(TBRBandType::rbDetail)->Controls[0];
        p.kind = TBRPrintable::Kind::Label;
        p.AutoStretch = true;
        p.Width = 800;
        p.Font.setPointSize(c.pointSize);
        QStringList lines;
        for (int i = 0; i < c.lines; ++i)
            lines << QString::number(i);
        p.Caption = lines.join(QChar(13));
        const auto pages = run(r);
        EXPECT_EQ(allTexts(pages), lines) << c.name;
        EXPECT_GT(pages.size(), 1u) << c.name;
        EXPECT_LE(pages.size(), size_t(c.lines)) << c.name;
    }
}

TEST_F(ReportLayout, TextLinesAndValues)
{
    const QFont f(QStringLiteral("DejaVu Sans"), 10);
    EXPECT_EQ(TBRTextLines::Format(f, "abc\r\ndef", 1000, false, true), (QStringList{"abc", "def"}));
    const double w = TBRTextLines::Width(f, "MMMM");
    const QStringList cut = TBRTextLines::Format(f, "MMMMMMMMMMMM", w + 0.5, false, true);
    // The rest of the word is cut at its end; the (empty) last line follows.
    EXPECT_EQ(cut, (QStringList{"MMMM", "MMMM", ""}));
    // Words end after a blank or a hyphen; a line exactly as wide as its box stays whole.
    struct Wrap
    {
        const char *text, *box;
        QStringList lines;
    } wraps[] = {
        {"aa bb cc", "aa bb ", {"aa bb ", "cc"}},
        {"Ana-Maria", "Ana-Ma", {"Ana-", "Maria"}},
        {"Ana-Maria", "Ana-Maria", {"Ana-Maria"}},
    };
    for (const Wrap &w : wraps)
        EXPECT_EQ(TBRTextLines::Format(f, w.text, TBRTextLines::Width(f, w.box), false, true), w.lines) << w.box;
    EXPECT_EQ(TBRLayout::FormatValue(TBREvResult::integer(5), "0.00"), "5.00");
    EXPECT_EQ(TBRLayout::FormatValue(TBREvResult::floating(1234.5), "Total: %m"), "Total: 1.234,50 lei");
    EXPECT_EQ(TBRLayout::FormatValue(TBREvResult::floating(-1002.675), "%m"), "-1.002,68 lei"); // as a clerk rounds
    EXPECT_EQ(TBRLayout::FormatValue(TBREvResult::boolean(true), ""), "True");
}

TEST_F(ReportLayout, AlignToBandCentresInTheColumn)
{
    auto ds = numbered(1);
    TBandReport r = report(ds.get());
    r.Page.Width = 401; // a 201 wide column
    TBRPrintable &p = r.Band(TBRBandType::rbDetail)->Controls[0];
    p.Width = 50;
    p.AutoSize = false;
    p.AlignToBand = true;
    p.Alignment = Qt::AlignHCenter;
    const auto pages = run(r);
    for (const TBRLaidItem &i : pages[0].Items)
        if (i.kind == TBRLaidItem::Kind::Text) {
            EXPECT_EQ(i.Rect.left(), 100 + 75);
        }
}

TEST_F(ReportLayout, LinkedBandsAndBandsKeptOnOnePageMoveTogether)
{
    for (const bool keep : {false, true}) {
        // Seven records fill 700 of 800; the eighth is a five-line band (or one linked to a 100 band).
        auto ds = numbered(8);
        TBandReport r = report(ds.get());
        TBRBand &detail = *r.Band(TBRBandType::rbDetail);
        TBRBand &summary = labelled(r, TBRBandType::rbSummary, 100, QStringLiteral("S"));
        if (keep) {
            detail.KeepOnOnePage = true;
            detail.Controls[0].AutoStretch = true;
            detail.Controls[0].OnPrint = [](QString &t) { t = t == "r8" ? QStringLiteral("a\rb\rc\rd\re") : t; };
            detail.Controls[0].Font.setPointSize(8);
        } else {
            ASSERT_TRUE(detail.SetLinkBand(&summary));
            EXPECT_FALSE(summary.SetLinkBand(&detail)); // circular
            EXPECT_EQ(summary.LinkBand, nullptr);
        }
        const auto pages = run(r);
        ASSERT_EQ(pages.size(), 2u) << keep;
        ASSERT_EQ(pages[1].BandRects(TBRBandType::rbDetail).size(), 1u) << keep;
        EXPECT_EQ(pages[1].BandRects(TBRBandType::rbDetail).front().top(), 100) << keep;
    }
}

TEST_F(ReportLayout, UnitsConvertAsTheirTableAndComeBack)
{
    struct Case
    {
        const char *name;
        TBRUnit unit;
        TBRAxis axis;
        double native, shown;
    } cases[] = {
        {"millimetres", TBRUnit::MM, TBRAxis::Horizontal, 254, 25.4},
        {"inches", TBRUnit::Inches, TBRAxis::Vertical, 254, 1},
        {"pixels at 96 and 200 percent", TBRUnit::Pixels, TBRAxis::Horizontal, 254, 192},
        // A 10 point cell is 8 / 2.54 across and 14.53 / 2.54 down.
        {"characters across", TBRUnit::Characters, TBRAxis::Horizontal, 80, 80 / (8 / 2.54) / 10},
        {"characters down", TBRUnit::Characters, TBRAxis::Vertical, 145.3, 145.3 / (14.53 / 2.54) / 10},
        {"native", TBRUnit::Native, TBRAxis::Vertical, 123.4, 123.4},
    };
    for (const Case &c : cases) {
        TBRUnitBase u;
        u.Units = c.unit;
        u.Zoom = 200;
        EXPECT_NEAR(u.FromNative(c.native, c.axis), c.shown, 1e-9) << c.name;
        EXPECT_NEAR(u.ToNative(c.shown, c.axis), c.native, 1e-9) << c.name;
    }
    TBandReport r;
    for (const int z : {0, 301, -5})
        r.SetZoom(z);
    EXPECT_EQ(r.Zoom(), 100);
    r.SetZoom(300);
    EXPECT_EQ(r.Zoom(), 300);
    r.Units = TBRUnit::MM;
    EXPECT_EQ(r.FromUnits(21, TBRAxis::Horizontal), 210);
}

TEST_F(ReportLayout, PageEventsRecordSourcesAndTextDirection)
{
    struct Case
    {
        const char *name;
        int records;
        std::function<void(TBandReport &, QStringList &log)> set;
        std::function<void(const std::vector<TBRLaidPage> &, const QStringList &log)> check;
    } cases[] = {
        {"start and end page events come once per page, in order", 10,
         [](TBandReport &r, QStringList &log) {
             r.OnStartPage = [&log](int n) { log << QStringLiteral("S%1").arg(n); };
             r.OnEndPage = [&log](int n) { log << QStringLiteral("E%1").arg(n); };
         },
         [](const auto &pages, const QStringList &log) {
             EXPECT_EQ(pages.size(), 2u);
             EXPECT_EQ(log, (QStringList{"S1", "E1", "S2", "E2"}));
         }},
        {"first page only keeps page 1 and stops", 30, [](TBandReport &r, QStringList &) { r.FirstPageOnly = true; },
         [](const auto &pages, const QStringList &) {
             ASSERT_EQ(pages.size(), 1u);
             EXPECT_EQ(pages[0].Texts().size(), 8);
         }},
        {"the record source without a dataset gives as many records as it says", 0,
         [](TBandReport &r, QStringList &log) {
             r.DataSet = nullptr;
             r.Band(TBRBandType::rbDetail)->Controls[0] = TBRPrintable::label(QStringLiteral("x"), 0, 0, 300, 100);
             r.OnNeedData = [&log](bool &more) { log << QString(); more = log.size() <= 11; };
         },
         [](const auto &pages, const QStringList &log) {
             ASSERT_EQ(pages.size(), 2u);
             EXPECT_EQ(pages[0].BandRects(TBRBandType::rbDetail).size() + pages[1].BandRects(TBRBandType::rbDetail).size(), 11u);
             EXPECT_EQ(log.size(), 12); // once before the first record and after each
         }},
        {"a sub-detail without a dataset takes its records from its source", 2,
         [](TBandReport &r, QStringList &log) {
             TBRSubDetail &s = r.SubDetails.emplace_back();
             s.Band.Add(TBRPrintable::label(QStringLiteral("-"), 0, 0, 100, 50));
             s.BeforeOpen = [&log] { log.clear(); };
             s.OnNeedData = [&log](bool &more) { log << QString(); more = log.size() <= 2; };
         },
         [](const auto &pages, const QStringList &) {
             EXPECT_EQ(pages[0].Texts(), (QStringList{"r1", "-", "-", "r2", "-", "-"}));
         }},
        {"the back image is stretched under every page", 10,
         [](TBandReport &r, QStringList &) {
             QImage picture(4, 4, QImage::Format_RGB32);
             picture.fill(Qt::gray);
             r.Controls.push_back(TBRPrintable::image(picture, 0, 0, 1000, 1000));
             r.Controls.back().Name = QStringLiteral("Fond");
             r.Controls.push_back(TBRPrintable::label(QStringLiteral("ciornă"), 500, 20, 300, 50));
             r.BackImageControl = QStringLiteral("Fond");
         },
         [](const auto &pages, const QStringList &) {
             ASSERT_EQ(pages.size(), 2u);
             for (const TBRLaidPage &p : pages) {
                 EXPECT_EQ(p.Items.front().kind, TBRLaidItem::Kind::Image);
                 EXPECT_EQ(p.Items.front().Rect, QRectF(0, 0, 1000, 1000));
                 EXPECT_EQ(p.ItemsOf(TBRLaidItem::Kind::Image).size(), 1u);
                 EXPECT_EQ(p.Texts().back(), QStringLiteral("ciornă")); // printed when the page ends
             }
         }},
        {"the report's frame runs along the margins", 1, [](TBandReport &r, QStringList &) { r.Frame.All(true); },
         [](const auto &pages, const QStringList &) {
             EXPECT_EQ(pages[0].ItemsOf(TBRLaidItem::Kind::Frame).back()->Rect, QRectF(QPointF(100, 100), QPointF(899, 899)));
         }},
        {"right to left swaps the alignment and writes right to left", 1,
         [](TBandReport &r, QStringList &) { r.Band(TBRBandType::rbDetail)->Controls[0].BiDiMode = TBRBiDiMode::bdRightToLeft; },
         [](const auto &pages, const QStringList &) {
             EXPECT_EQ(firstText(pages[0]).Align, Qt::AlignRight);
             EXPECT_TRUE(firstText(pages[0]).RightToLeft);
         }},
        {"automatic width keeps the right edge of a right-aligned label", 1,
         [](TBandReport &r, QStringList &) {
             TBRPrintable &p = r.Band(TBRBandType::rbDetail)->Controls[0];
             p.AutoSize = true;
             p.Alignment = Qt::AlignRight;
         },
         [](const auto &pages, const QStringList &) {
             const QRectF rect = firstText(pages[0]).Rect;
             EXPECT_DOUBLE_EQ(rect.right(), 100 + 300);
             // The text's width and one screen pixel.
             EXPECT_NEAR(rect.width(), TBRTextLines::Width(QFont(QStringLiteral("Arial"), 10), "r1") + 254 / 96.0, 1e-9);
         }},
        {"a band is told after it printed, a declined one is not", 3,
         [](TBandReport &r, QStringList &log) {
             TBRBand &d = *r.Band(TBRBandType::rbDetail);
             d.BeforePrint = [&log] {
                 log << "?";
                 return log.size() != 3; // the second record declines
             };
             d.AfterPrint = [&log](bool printed) { log << (printed ? "da" : "nu"); };
         },
         [](const auto &, const QStringList &log) { EXPECT_EQ(log, (QStringList{"?", "da", "?", "?", "da"})); }},
        {"an expression's master decides whose records its aggregates count", 2,
         [](TBandReport &r, QStringList &) {
             TBRSubDetail &s = r.SubDetails.emplace_back();
             s.Band.Add(TBRPrintable::label(QStringLiteral("-"), 0, 0, 100, 50));
             s.BeforeOpen = [&s] { s.Band.Controls[0].Caption = QString(); };
             s.OnNeedData = [&s](bool &more) { s.Band.Controls[0].Caption += QLatin1Char('-'); more = s.Band.Controls[0].Caption.size() <= 3; };
             TBRBand &summary = r.AddBand(TBRBandType::rbSummary, 100);
             summary.Add(TBRPrintable::expr(QStringLiteral("'raport '+STR(COUNT)"), 0, 0, 300, 50));
             summary.Add(TBRPrintable::expr(QStringLiteral("'sub '+STR(COUNT)"), 0, 50, 300, 50)).Master = TBRMaster::subDetail(0);
         },
         [](const auto &pages, const QStringList &) {
             const QStringList texts = pages[0].Texts();
             // Two records, three sub-detail records under each.
             EXPECT_EQ(texts.mid(texts.size() - 2), (QStringList{"raport 2", "sub 6"}));
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        auto ds = numbered(c.records);
        TBandReport r = report(ds.get());
        QStringList log;
        c.set(r, log);
        TBRLayout layout(r);
        const auto pages = layout.Run();
        c.check(pages, log);
    }
}

TEST_F(ReportLayout, DefaultsOfTheModel)
{
    const TBRPrintable label = TBRPrintable::label(QStringLiteral("x"), 0, 0, 100, 5);
    EXPECT_TRUE(label.AutoSize);
    EXPECT_FALSE(label.Transparent);
    EXPECT_EQ(label.FontColor, QColor(Qt::black));
    EXPECT_EQ(label.Frame.Style, Qt::SolidLine);
    const TBRPrintable shape = TBRPrintable::shape(TBRShapeType::brsRectangle, 0, 0, 100, 100);
    EXPECT_EQ(shape.Pen.Width, 1);
    EXPECT_EQ(shape.Pen.Style, Qt::SolidLine);
    EXPECT_EQ(shape.Brush.Color, QColor(Qt::white));
    EXPECT_EQ(shape.Brush.Style, Qt::SolidPattern);
    EXPECT_TRUE(TBRController::Level().PrintIfEmpty);
    EXPECT_TRUE(TBandReport().PrintIfEmpty);
    EXPECT_FALSE(TBRSubDetail().PrintIfEmpty);

    // A caption is at least one line high, with or without automatic size: its background shows it.
    for (const bool autoSize : {true, false}) {
        auto ds = numbered(1);
        TBandReport r = report(ds.get());
        TBRPrintable &p = r.Band(TBRBandType::rbDetail)->Controls[0];
        p = label;
        p.AutoSize = autoSize;
        const auto pages = run(r);
        const auto fills = pages[0].ItemsOf(TBRLaidItem::Kind::Fill);
        ASSERT_EQ(fills.size(), 1u) << autoSize;
        EXPECT_GE(fills[0]->Rect.height(), TBRTextLines::LineHeight(p.Font)) << autoSize;
    }
}

TEST_F(ReportLayout, CompositeJobSharesPagesAndNumbersThemOn)
{
    auto a = numbered(3), b = numbered(10);
    TBandReport first = report(a.get()), second = report(b.get());
    for (TBandReport *r : {&first, &second})
        r->AddBand(TBRBandType::rbPageFooter, 100).Add(TBRPrintable::expr(QStringLiteral("'p'+STR(PAGENUMBER)"), 0, 0, 300, 100));
    TBRCompositeReport job;
    job.Reports = {&first, &second};
    const auto pages = job.Run();
    // 7 records to a page above the footer: 3 + 4 share page 1, the other 6 go to page 2.
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].Texts(), (QStringList{"r1", "r2", "r3", "r1", "r2", "r3", "r4", "p1"}));
    EXPECT_EQ(pages[1].Number, 2);
    EXPECT_EQ(pages[1].Texts().back(), "p2");
    EXPECT_EQ(first.Tag, 0);
    EXPECT_EQ(second.Tag, 0); // 999 only while it ran
}

TEST_F(ReportLayout, CompositeJobAsksEachMemberBeforeAndTellsItAfterItsRun)
{
    struct Case
    {
        const char *name;
        bool firstPrints, secondPrints;
        QStringList heard;
        QStringList texts; // of the job's one page
    } cases[] = {
        {"both print", true, true, {"before a", "after a", "before b", "after b"}, {"r1", "r1", "r2"}},
        {"the first declines", false, true, {"before a", "before b", "after b"}, {"r1", "r2"}},
        // The page the first left open is still kept.
        {"the last declines", true, false, {"before a", "after a", "before b"}, {"r1"}},
    };
    for (const Case &c : cases) {
        auto a = numbered(1), b = numbered(2);
        TBandReport first = report(a.get()), second = report(b.get());
        QStringList heard;
        const auto listen = [&heard](TBandReport &r, const QString &name, bool prints) {
            r.BeforePrint = [&heard, name, prints](bool &print) {
                heard << "before " + name;
                print = prints;
            };
            r.AfterPrint = [&heard, name] { heard << "after " + name; };
        };
        listen(first, "a", c.firstPrints);
        listen(second, "b", c.secondPrints);
        TBRCompositeReport job;
        job.Add(first);
        job.Add(second);
        EXPECT_EQ(second.Job, &job) << c.name;
        int told = 0;
        job.OnPage = [&told](const TBRLaidPage &) { ++told; };
        const auto pages = job.Run();
        EXPECT_EQ(heard, c.heard) << c.name;
        ASSERT_EQ(pages.size(), 1u) << c.name;
        EXPECT_EQ(pages[0].Texts(), c.texts) << c.name;
        EXPECT_EQ(told, 1) << c.name;
    }

    // On its own, a declining report makes no pages.
    auto a = numbered(1);
    TBandReport alone = report(a.get());
    alone.BeforePrint = [](bool &print) { print = false; };
    TBRLayout layout(alone);
    EXPECT_TRUE(layout.Run().empty());
}

TEST_F(ReportLayout, QueryParametersComeFromReportVariables)
{
    QTemporaryDir dir;
    const QString table = SqlQuote::table(dir.filePath(QStringLiteral("PERS.dbf")));
    TQuery setUp;
    setUp.SQL() << "CREATE TABLE " + table + " (NUME CHAR(10), LUNA DECIMAL(4,0))";
    setUp.ExecSQL();
    setUp.SQL() = QStringList{"INSERT INTO " + table + " (NUME, LUNA) VALUES (\"ana\", 1), (\"ion\", 2), (\"eva\", 2)"};
    setUp.ExecSQL();

    TQuery q;
    q.SQL() << "SELECT NUME FROM " + table << "WHERE LUNA=:LUNA AND NUME<>\":LUNA\" ORDER BY NUME";
    q.ParamByName(QStringLiteral("LUNA")).SetAsInteger(1);
    q.Open();
    ASSERT_EQ(q.RecordCount(), 1);
    TBandReport r = report(&q);
    r.Functions.push_back({QStringLiteral("LUNA"), QStringLiteral("2")});
    TBRLayout layout(r);
    EXPECT_EQ(layout.Run().at(0).Texts(), (QStringList{"eva", "ion"}));

    TQuery unset;
    unset.SQL() << "SELECT NUME FROM " + table + " WHERE LUNA=:L";
    EXPECT_THROW(unset.Open(), SqlError);
}
