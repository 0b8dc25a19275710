#include "core/NumericF.h"
#include "core/RecordingDialogs.h"
#include "periods/PerSelect.h"
#include "periods/SelLuna.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <functional>

// The report month and period dialogs, driven the way a user does.
namespace {

QApplication &app()
{
    static int argc = 1;
    static char name[] = "test_periods";
    static char *argv[] = {name, nullptr};
    static QApplication *a = new QApplication(argc, argv);
    return *a;
}

// The user's actions once the dialog is shown modally; the dialog then
// closes on its own or by Esc when the actions left it open.
void whenShown(QDialog &dlg, const std::function<void()> &user)
{
    QTimer::singleShot(0, &dlg, [&dlg, user] {
        user();
        if (dlg.isVisible())
            QTest::keyClick(&dlg, Qt::Key_Escape);
    });
}

} // namespace

TEST(SelLuna, MonthNumbersOfTheSeason)
{
    app();
    TSelLuna dlg(nullptr, QDate(2023, 9, 15));
    const char *expected[] = {"11", "12", "01", "02", "03"};
    for (int p = 0; p < 5; ++p) {
        dlg.PlLuna->setCurrentIndex(p);
        EXPECT_EQ(dlg.MonthNumber(), QLatin1String(expected[p])) << p;
    }
    EXPECT_EQ(dlg.AnulE->text(), QStringLiteral("2023"));
    EXPECT_EQ(dlg.Luna12->count(), 12);
    EXPECT_EQ(dlg.Luna12->itemText(0), QStringLiteral("Ianuarie"));
}

TEST(SelLuna, YearAndConfirmation)
{
    app();
    struct Case
    {
        const char *name;
        bool showYear;
        QString year;
        bool escape;
        bool confirmed;
        bool balloon;
    };
    const Case cases[] = {
        {"first year accepted", true, "2010", false, true, false},
        {"current year accepted", true, "2023", false, true, false},
        {"year before the first refused", true, "2009", false, false, true},
        {"next year refused", true, "2024", false, false, true},
        // With the year hidden whatever it holds is taken.
        {"hidden year not checked", false, "1999", false, true, false},
        {"escape cancels", true, "2020", true, false, false},
    };
    TSelLuna dlg(nullptr, QDate(2023, 9, 15));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        RecordingDialogs dialogs;
        whenShown(dlg, [&] {
            EXPECT_EQ(dlg.AnulE->isVisible(), c.showYear);
            dlg.AnulE->setText(c.year);
            if (c.escape)
                QTest::keyClick(&dlg, Qt::Key_Escape);
            else
                dlg.BitBtn3->click();
        });
        EXPECT_EQ(dlg.Execute(c.showYear, false), c.confirmed);
        ASSERT_EQ(dialogs.balloons.size(), c.balloon ? 1 : 0);
        if (c.balloon) {
            EXPECT_EQ(dialogs.balloons.first().text, QStringLiteral("An incorect!"));
            EXPECT_EQ(dialogs.balloons.first().control, dlg.AnulE);
        }
    }
}

TEST(SelLuna, TwelveMonthsListReplacesTheSeason)
{
    app();
    TSelLuna dlg(nullptr, QDate(2023, 9, 15));
    whenShown(dlg, [&] {
        EXPECT_TRUE(dlg.Luna12->isVisible());
        EXPECT_FALSE(dlg.PlLuna->isVisible());
        dlg.Luna12->setCurrentIndex(6);
        dlg.BitBtn1->click();
    });
    EXPECT_FALSE(dlg.Execute(false, true));
    // The choice stays for the next use.
    EXPECT_EQ(dlg.Luna12->currentIndex(), 6);
}

TEST(PerSelect, DefaultSeasonAndChecks)
{
    app();
    struct Season
    {
        const char *name;
        QDate today, start, end;
    };
    const Season seasons[] = {
        {"before October: last year's season", QDate(2023, 9, 15), QDate(2022, 11, 1), QDate(2023, 3, 31)},
        {"from October: this year's season", QDate(2023, 10, 15), QDate(2023, 11, 1), QDate(2024, 3, 31)},
        {"January", QDate(2024, 1, 2), QDate(2023, 11, 1), QDate(2024, 3, 31)},
    };
    for (const Season &s : seasons) {
        TPerSelect dlg(nullptr, s.today);
        EXPECT_EQ(dlg.Data0->date(), s.start) << s.name;
        EXPECT_EQ(dlg.Data1->date(), s.end) << s.name;
    }

    struct Case
    {
        const char *name;
        QDate start, end;
        bool confirmed;
    };
    const Case cases[] = {
        {"season", QDate(2022, 11, 1), QDate(2023, 3, 31), true},
        {"one day", QDate(2023, 1, 5), QDate(2023, 1, 5), true},
        {"end before start", QDate(2023, 1, 5), QDate(2023, 1, 4), false},
    };
    TPerSelect dlg(nullptr, QDate(2023, 9, 15));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        RecordingDialogs dialogs;
        whenShown(dlg, [&] {
            dlg.Data0->setDate(c.start);
            dlg.Data1->setDate(c.end);
            dlg.MemoBut->click();
        });
        EXPECT_EQ(dlg.Execute(), c.confirmed);
        ASSERT_EQ(dialogs.balloons.size(), c.confirmed ? 0 : 1);
        if (!c.confirmed) {
            EXPECT_EQ(dialogs.balloons.first().text, QStringLiteral("Perioada incorecta!"));
            EXPECT_EQ(dialogs.balloons.first().control, dlg.Data1);
        }
    }
    whenShown(dlg, [&] { dlg.CloseBut->click(); });
    EXPECT_FALSE(dlg.Execute());
}
