#include "DocumentsWorld.h"

#include "core/NumericF.h"
#include "documents/AlegeCere.h"

#include <QDateEdit>
#include <QKeyEvent>
#include <QPushButton>

// The reports on granted cases of a range of report numbers.
namespace {

void listReports(DocumentsWorld &w, const QString &first, const QString &last)
{
    TAlegeCere &dlg = w.docs->reports.dialog();
    DocumentsWorld::whenShown([&dlg, first, last] {
        dlg.Ref0->setText(first);
        dlg.Ref1->setText(last);
        dlg.DataR->setDate(QDate(2023, 1, 20));
        dlg.BitBtn1->click();
    });
    w.docs->reports.BitBtn10Click();
}

QVariantMap withChanges(QVariantMap r, const QVariantMap &changes)
{
    for (auto it = changes.begin(); it != changes.end(); ++it)
        r[it.key()] = it.value();
    return r;
}

} // namespace

TEST(CaseReports, RangeOfGrantedRequests)
{
    DocumentsWorld w;
    w.extractTemplates();
    w.writeCereri({
        withChanges(DocumentsWorld::request(1), {{"NR_REF", 1}, {"NR_CERE", 30}, {"TITULAR", "UNU ION"}}),
        withChanges(DocumentsWorld::request(2), {{"NR_REF", 2}, {"NR_CERE", 10}, {"TITULAR", "DOI ION"}}),
        withChanges(DocumentsWorld::request(3), {{"NR_REF", 3}, {"NR_CERE", 20}, {"TITULAR", "TREI ION"}}),
        withChanges(DocumentsWorld::request(4), {{"NR_REF", 4}, {"STATUT", "MODIFICAT"}, {"TITULAR", "PATRU ION"}}),
        withChanges(DocumentsWorld::request(5),
                    {{"NR_REF", 2}, {"LUNACRT", DocumentsWorld::month() + 1}, {"TITULAR", "ALTA LUNA"}}),
    });
    struct Case
    {
        const char *name;
        QString first, last;
        QStringList names; // in the order of NR_CERE
        QString message;
    };
    const Case cases[] = {
        {"granted ones of the month", "1", "3", {"DOI ION", "TREI ION", "UNU ION"}, ""},
        {"one number", "2", "2", {"DOI ION"}, ""},
        // A range holding only modified requests has no report to print.
        {"only modified", "4", "4", {}, "\rNu exista niciun Referat in intervalul 4 - 4 !"},
        {"typed with leading zeros", "0003", "9", {"TREI ION"}, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        w.dialogs.messages.clear();
        w.shell.openedDocuments.clear();
        listReports(w, c.first, c.last);
        EXPECT_FALSE(w.sx.Active());
        if (!c.message.isEmpty()) {
            ASSERT_EQ(w.dialogs.messages.size(), 1);
            EXPECT_EQ(w.dialogs.messages.first().title, QStringLiteral("Listare Referate"));
            EXPECT_EQ(w.dialogs.messages.first().text, c.message);
            EXPECT_EQ(w.dialogs.messages.first().kindCaption, QStringLiteral("Eroare"));
            EXPECT_TRUE(w.shell.openedDocuments.isEmpty());
            continue;
        }
        EXPECT_TRUE(w.dialogs.messages.isEmpty());
        ASSERT_EQ(w.shell.openedDocuments.size(), 1);
        const QString text = DocumentsWorld::rtfText(w.lastOpened());
        QStringList order;
        for (const char *n : {"UNU ION", "DOI ION", "TREI ION", "PATRU ION", "ALTA LUNA"})
            if (text.contains(n))
                order << QString::fromLatin1(n);
        std::sort(order.begin(), order.end(), [&](const QString &a, const QString &b) { return text.indexOf(a) < text.indexOf(b); });
        EXPECT_EQ(order, c.names);
        EXPECT_EQ(text.count(QStringLiteral("\r\n \\par \\page \r\n")), c.names.size() - 1);
        EXPECT_TRUE(text.contains(QStringLiteral("din 20.01.2023")));
    }
}

TEST(CaseReports, ValuesOfOneReport)
{
    struct Case
    {
        const char *name;
        QVariantMap changes;
        QStringList present;
    };
    const Case cases[] = {
        {"address and locality", {{"ADRESA", " Str. Mare 1 "}, {"LOCALIT", " Sat Nou "}}, {"\\'een Str. Mare 1, Sat Nou, declara"}},
        // No lone comma where a part is missing.
        {"no locality", {{"ADRESA", "Str. Mare 1"}, {"LOCALIT", QVariant()}}, {"\\'een Str. Mare 1, declara"}},
        {"no address", {{"ADRESA", QVariant()}, {"LOCALIT", "Sat Nou"}}, {"\\'een Sat Nou, declara"}},
        // A supplement of 0 prints 0, never dots.
        {"supplements", {{"SUMAL", 0.0}, {"SUMAG", 40.5}, {"SUMAE", 41.5}, {"SUMAT", QVariant()}},
         {"petrolieri\\cell \\pard\\intbl\\plain\\f0\\fs20 0\\cell", "naturale\\cell \\pard\\intbl\\plain\\f0\\fs20 40\\cell",
          "electric\\'e3\\cell \\pard\\intbl\\plain\\f0\\fs20 42\\cell", "centralizat\\cell \\pard\\intbl\\plain\\f0\\fs20 0\\cell"}},
        // Written in mixed case in the template, the courtesy title keeps its small letters.
        {"man", {{"CNP", "3800101040011"}}, {"a domnului POPESCU ION, CNP 3800101040011"}},
        {"woman", {{"CNP", "2800101040011"}}, {"a doamnei POPESCU ION"}},
        {"amounts", {{"CUANTUM", 80.5}, {"TOTAL", 402.5}}, {"de 80 lei/lun", "de 402 lei."}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        DocumentsWorld w;
        w.extractTemplates();
        w.writeCereri({withChanges(DocumentsWorld::request(1), c.changes)});
        listReports(w, "1", "1");
        ASSERT_EQ(w.shell.openedDocuments.size(), 1);
        const QString text = DocumentsWorld::rtfText(w.lastOpened());
        for (const QString &p : c.present)
            EXPECT_TRUE(text.contains(p)) << p.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("..........")));
        EXPECT_FALSE(text.contains(u'['));
    }
}

TEST(CaseReports, DialogKeepsTheNumbersAndRefusesBackwardRange)
{
    DocumentsWorld w;
    w.extractTemplates();
    w.writeCereri({DocumentsWorld::request(1)});
    TAlegeCere &dlg = w.docs->reports.dialog();
    bool stillOpen = false;
    DocumentsWorld::whenShown([&] {
        dlg.Ref0->setText(QStringLiteral("7"));
        dlg.Ref1->setText(QStringLiteral("3"));
        dlg.BitBtn1->click();
        stillOpen = dlg.isVisible();
        dlg.BitBtn2->click();
    });
    w.docs->reports.BitBtn10Click();
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(w.dialogs.balloons.size(), 1);
    EXPECT_EQ(w.dialogs.balloons.first().text, QStringLiteral("Interval incorect!"));
    EXPECT_EQ(w.dialogs.balloons.first().control, dlg.Ref0);
    EXPECT_TRUE(w.shell.openedDocuments.isEmpty());
    EXPECT_TRUE(w.dialogs.messages.isEmpty());

    // The next time the dialog shows what was typed before.
    QString shown;
    DocumentsWorld::whenShown([&] {
        shown = dlg.Ref0->text() + u'-' + dlg.Ref1->text();
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&dlg, &esc);
    });
    EXPECT_FALSE(dlg.Execute());
    EXPECT_EQ(shown, QStringLiteral("7-3"));
}
