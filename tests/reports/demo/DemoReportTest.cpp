#include "documents/DocumentValues.h"
#include "documents/DocumentsWorld.h"
#include "reports/demo/RequestsByLocality.h"
#include "reports/print/BRPrinter.h"
#include "reports/ui/BRStandardPreview.h"

#include <QProcess>
#include <QTabWidget>

using namespace DocumentValues;

namespace {

QString pdfText(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QVariantMap request(int nr, const QString &name, const QString &locality, double aid)
{
    QVariantMap r = DocumentsWorld::request(nr);
    r["TITULAR"] = name;
    r["LOCALIT"] = locality;
    r["CUANTUM"] = aid;
    return r;
}

} // namespace

TEST(DemoReport, RequestsGroupedByLocalityWithTotalsReadBackFromPdf)
{
    DocumentsWorld w;
    QVariantMap other = request(9, "ALTA LUNA", "Gârleni", 999);
    other["LUNACRT"] = DocumentsWorld::month() + 1;
    w.writeCereri({request(1, "POPESCU ION", "Răcăciuni", 1267), request(2, "IONESCU ANA", "Gârleni", 134),
                   request(3, "ŞTEFAN ŢUŢEA", "Răcăciuni", 80.5), request(4, "FARA LOC", "", 20), other});
    TQuery q;
    openQuery(q, RequestsByLocality::Query(QDir(w.data).filePath(RequestTables::Cereri), DocumentsWorld::month()));
    auto printer = RequestsByLocality::Produce(&q, QStringLiteral("01.2023"));
    ASSERT_EQ(printer->PageCount(), 1);
    QStringList outline;
    for (const TBROutlineEntry &e : printer->Outline().Entries())
        outline << QStringLiteral("%1 %2 p%3").arg(e.level).arg(e.caption).arg(e.page);
    EXPECT_EQ(outline, QStringList({"0 Localitatea: necompletată p1", "0 Localitatea: Gârleni p1", "0 Localitatea: Răcăciuni p1"}));
    const QString pdf = w.root + QStringLiteral("/raport.pdf");
    printer->SaveToPdf(pdf);
    QStringList lines;
    for (const QString &l : pdfText(pdf).split('\n'))
        if (!l.trimmed().isEmpty())
            lines << l.simplified();
    const QStringList expected{"Cererile lunii 01.2023, pe localități",
                               "Nr. cerere Titular CNP Membri Ajutor lunar Statut",
                               "Localitatea: necompletată",
                               "4 FARA LOC 1800101040011 2 20.00 APROBAT",
                               "Total localitate cereri: 1 20.00",
                               "Localitatea: Gârleni",
                               "2 IONESCU ANA 1800101040011 2 134.00 APROBAT",
                               "Total localitate cereri: 1 134.00",
                               "Localitatea: Răcăciuni",
                               "1 POPESCU ION 1800101040011 2 1267.00 APROBAT",
                               "3 ŞTEFAN ŢUŢEA 1800101040011 2 80.50 APROBAT",
                               "Total localitate cereri: 2 1347.50",
                               "Total general cereri: 4 1501.50", // amounts as every document prints them: no thousands commas
                               "Pagina 1"};
    EXPECT_EQ(lines, expected);
}

TEST(DemoReport, MenuCommandShowsThePreview)
{
    DocumentsWorld w;
    w.writeCereri({request(1, "POPESCU ION", "Răcăciuni", 1267)});
    Form3().LunaLucru->setText(QStringLiteral("01.2023"));
    RequestsByLocality::Show();
    TBRStandardPreview *preview = nullptr;
    for (QWidget *wgt : QApplication::topLevelWidgets())
        if (auto *p = qobject_cast<TBRStandardPreview *>(wgt); p && p->isVisible())
            preview = p;
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->Printer().PageCount(), 1);
    EXPECT_TRUE(preview->Tabs->isTabVisible(2)); // the localities' outline
    // The title names the working month.
    const QString pdf = w.root + QStringLiteral("/meniu.pdf");
    preview->Printer().SaveToPdf(pdf);
    EXPECT_TRUE(pdfText(pdf).contains(QStringLiteral("Cererile lunii 01.2023, pe localități")));
    preview->close();

    // A month without requests is told, not printed as one blank request.
    Form3().LunaLucru->setText(QStringLiteral("02.2023"));
    RequestsByLocality::Show();
    for (QWidget *wgt : QApplication::topLevelWidgets())
        EXPECT_FALSE(qobject_cast<TBRStandardPreview *>(wgt) && wgt->isVisible());
    ASSERT_EQ(w.dialogs.messages.size(), 1);
    EXPECT_EQ(w.dialogs.messages[0].text, QStringLiteral("Nu există cereri în luna 02.2023."));
}
