#include "core/Form1.h"
#include "core/Form3.h"
#include "core/MonthCode.h"
#include "core/RecordingDialogs.h"
#include "core/TestSupport.h"
#include "grid/ExDBGrid.h"
#include "platform/db/Dbf.h"
#include "platform/sql/TField.h"
#include "platform/sql/TQuery.h"
#include "requests/CereriF.h"
#include "requests/RequestCodes.h"
#include "sample-data/SampleGenerator.h"

#include <QAction>
#include <QLabel>

#include <gtest/gtest.h>

namespace {

// One sample commune for every test of the list.
class RequestList : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        testApp();
        dir = scratchDir("requests").release();
        data = dir->path() + QStringLiteral("/Data");
        QDir().mkpath(data);
        summary = SampleGenerator::generate({data, 5, 600});
        Form1().setFolders(dir->path(), data, dir->path() + QStringLiteral("/Temp"));
    }
    static void TearDownTestSuite() { delete dir; }

    // The rows of a month counted straight from the table file.
    static QStringList namesInMonth(int code)
    {
        Dbf t = Dbf::open(data + QStringLiteral("/Cereri.dbf"));
        const int month = t.fieldIndex(u"LUNACRT");
        const int name = t.fieldIndex(u"TITULAR");
        QStringList names;
        for (qint64 r = 0; r < t.recordCount(); ++r)
            if (!t.isDeleted(r) && int(t.number(r, month)) == code)
                names << t.text(r, name);
        return names;
    }

    static QTemporaryDir *dir;
    static QString data;
    static SampleGenerator::Summary summary;
};

QTemporaryDir *RequestList::dir = nullptr;
QString RequestList::data;
SampleGenerator::Summary RequestList::summary;

TEST_F(RequestList, ListsEveryRequestOfTheMonthByApplicant)
{
    ASSERT_FALSE(summary.months.isEmpty());
    TCereriF form;
    for (const QString &month : {summary.months.first(), summary.months.last()}) {
        form.ShowMonth(month);
        const QStringList expected = namesInMonth(MonthCode::index(month));
        ASSERT_FALSE(expected.isEmpty()) << month.toStdString();
        EXPECT_EQ(form.C1->RecordCount(), expected.size());
        EXPECT_EQ(form.Grid->gridModel()->rowCount(), expected.size());
        EXPECT_EQ(form.NrCereri->text(), QStringLiteral("Numar cereri: %1").arg(expected.size()));
        EXPECT_TRUE(form.windowTitle().endsWith(month));

        QStringList listed;
        for (form.C1->First(); !form.C1->Eof(); form.C1->Next()) {
            listed << form.C1->FieldByName(QStringLiteral("TITULAR"))->AsString();
            EXPECT_EQ(form.C1->FieldByName(QStringLiteral("LUNACRT"))->AsInteger(), MonthCode::index(month));
        }
        QStringList sorted = expected;
        std::sort(sorted.begin(), sorted.end());
        QStringList listedSorted = listed;
        std::sort(listedSorted.begin(), listedSorted.end());
        EXPECT_EQ(listedSorted, sorted);
        // Every Cereri column comes along, not only the shown ones.
        EXPECT_NE(form.C1->FindField(QStringLiteral("SUMAG")), nullptr);
        EXPECT_NE(form.C1->FindField(QStringLiteral("MODPLATA")), nullptr);
    }
}

TEST_F(RequestList, OrderedByApplicantInRomanianOrder)
{
    TCereriF form;
    form.ShowMonth(summary.months.last());
    // Letters with diacritics sort right after their base letter.
    const QString order = QStringLiteral("A\u0102\u00C2BCDEFGHI\u00CEJKLMNOPQRS\u015ET\u0162UVWXYZ");
    const auto rank = [&](const QString &name) { return order.indexOf(name.left(1).toUpper()); };
    int previous = -1;
    for (form.C1->First(); !form.C1->Eof(); form.C1->Next()) {
        const int r = rank(form.C1->FieldByName(QStringLiteral("TITULAR"))->AsString());
        if (r < 0)
            continue;
        EXPECT_GE(r, previous) << form.C1->FieldByName(QStringLiteral("TITULAR"))->AsString().toStdString();
        previous = r;
    }
}

TEST_F(RequestList, TheChosenRowIsTheQuerysCurrentRow)
{
    TCereriF form;
    form.ShowMonth(summary.months.last());
    ASSERT_GT(form.C1->RecordCount(), 3);
    form.Grid->selectRow(2);
    EXPECT_EQ(form.C1->RecNo(), 3);
    EXPECT_EQ(form.C1->FieldByName(QStringLiteral("TITULAR"))->AsString(),
              form.Grid->gridModel()->data(form.Grid->gridModel()->index(2, 0), Qt::DisplayRole).toString());
}

TEST_F(RequestList, AMonthWithoutRequestsAndABadMonth)
{
    RecordingDialogs dialogs;
    TCereriF form;
    form.ShowMonth(QStringLiteral("07.1990"));
    EXPECT_EQ(form.C1->RecordCount(), 0);
    EXPECT_EQ(form.NrCereri->text(), QStringLiteral("Numar cereri: 0"));
    EXPECT_FALSE(form.runGuarded([&] { form.ShowMonth(QStringLiteral("13.2022")); }));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("13.2022")));
}

TEST_F(RequestList, DocumentCommandsRunGuardedAndLeaveSxClosed)
{
    RecordingDialogs dialogs;
    TCereriF form;
    form.ShowMonth(summary.months.last());
    form.addCommand(TCereriF::Menu::Listari, QStringLiteral("Lis&teaza Stat de plata"), [&] {
        form.Sx->SQL().clear();
        form.Sx->SQL() << QStringLiteral("SELECT NOSUCH FROM \"%1/Cereri.dbf\"").arg(data);
        form.Sx->Open();
    });
    form.command(QStringLiteral("Lis&teaza Stat de plata"))->trigger();
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_FALSE(form.Sx->Active());
    EXPECT_TRUE(form.C1->Active()); // the list itself stays
}

struct CodeCase
{
    const char *name;
    const QStringList *list;
    const char *code;
    int position;
};

TEST(RequestCodes, PositionsOfTheEditorsCodeLists)
{
    const CodeCase cases[] = {
        {"schooling_first", &RequestCodes::SitScolCod(), "FS", 0},
        {"schooling_last", &RequestCodes::SitScolCod(), "S", 3},
        {"civil_two_letters", &RequestCodes::StCivCod(), "UC", 2},
        {"civil_divorced", &RequestCodes::StCivCod(), "D", 5},
        {"occupation_first", &RequestCodes::SitProf(), "salariat", 0},
        {"occupation_ninth", &RequestCodes::SitProf(), "indemnizatie handicap", 8},
        {"occupation_last", &RequestCodes::SitProf(), "fara venituri", 9},
        {"stored_with_blanks", &RequestCodes::StCivCod(), "DF  ", 3},
        {"unknown", &RequestCodes::StCivCod(), "X", -1},
        {"case_matters", &RequestCodes::SitScolCod(), "fs", -1},
    };
    for (const CodeCase &c : cases)
        EXPECT_EQ(RequestCodes::position(*c.list, QString::fromLatin1(c.code)), c.position) << c.name;
    EXPECT_EQ(RequestCodes::SitProf().size(), 10);
}

} // namespace
