#include "core/RecordingDialogs.h"
#include "core/TestSupport.h"
#include "grid/ExDBGrid.h"
#include "platform/db/Dbf.h"
#include "platform/sql/SqlQuote.h"
#include "platform/sql/TField.h"
#include "platform/sql/TQuery.h"
#include "platform/sql/TTable.h"

#include <QFont>

#include <gtest/gtest.h>

namespace {

// A table of postal codes like the supplier dialog edits: NAME, CODP, SUMA.
class Grid : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testApp();
        dir = scratchDir("grid");
        path = dir->path() + QStringLiteral("/Coduri.dbf");
        Dbf t = Dbf::create(path, {{QStringLiteral("NAME"), 'C', 20, 0, 0}, {QStringLiteral("CODP"), 'C', 6, 0, 0},
                                   {QStringLiteral("SUMA"), 'N', 10, 2, 0}});
        const struct { const char16_t *name; const char16_t *codp; double suma; bool null; } rows[] = {
            {u"Zorile", u"600001", 12.5, false}, {u"\u015Eerbe\u015Fti", u"", 0, true}, {u"Ungureni", u"600100", 80, false}};
        for (const auto &r : rows) {
            const qint64 n = t.appendBlank();
            t.setValue(n, 0, QString::fromUtf16(r.name));
            if (*r.codp)
                t.setValue(n, 1, QString::fromUtf16(r.codp));
            if (!r.null)
                t.setValue(n, 2, r.suma);
        }
        t.close();
    }

    QString text(const TExDBGridModel &m, int row, int column) const
    {
        return m.data(m.index(row, column), Qt::DisplayRole).toString();
    }

    std::unique_ptr<QTemporaryDir> dir;
    QString path;
};

TEST_F(Grid, ShowsTheColumnsTheFormSets)
{
    TQuery q;
    q.SQL() << QStringLiteral("SELECT * FROM ") + SqlQuote::table(path) << QStringLiteral("ORDER BY NAME");
    q.Open();
    TExDBGrid grid;
    grid.setDataSet(&q);
    grid.setColumns({{QStringLiteral("NAME"), QStringLiteral("Localitate"), 180, {}, true, true},
                     {QStringLiteral("SUMA"), QString(), 0, {}, false, true},
                     {QStringLiteral("CODP"), QStringLiteral("Cod postal"), 70, Qt::AlignCenter, false, true}});
    const TExDBGridModel &m = *grid.gridModel();
    ASSERT_EQ(m.rowCount(), 3);
    ASSERT_EQ(m.columnCount(), 3);
    EXPECT_EQ(m.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Localitate"));
    EXPECT_EQ(m.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("SUMA")); // no title: the field name
    EXPECT_EQ(grid.columnWidth(0), 180);
    // Romanian order from the query: S-cedilla after S, before U and Z.
    EXPECT_EQ(text(m, 0, 0), QStringLiteral("\u015Eerbe\u015Fti"));
    EXPECT_EQ(text(m, 2, 0), QStringLiteral("Zorile"));
    // Money with its decimals; a blank number shows blank, not 0.
    EXPECT_EQ(text(m, 2, 1), QStringLiteral("12.50"));
    EXPECT_EQ(text(m, 0, 1), QString());
    EXPECT_TRUE(m.data(m.index(0, 0), Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(m.data(m.index(0, 1), Qt::FontRole).isValid());
    const auto align = [&](int c) { return Qt::Alignment(m.data(m.index(0, c), Qt::TextAlignmentRole).toInt()) & Qt::AlignHorizontal_Mask; };
    EXPECT_EQ(align(0), Qt::AlignLeft);
    EXPECT_EQ(align(1), Qt::AlignRight);
    EXPECT_EQ(align(2), Qt::AlignHCenter);
    // A query's rows are never editable, whatever the column says.
    EXPECT_FALSE(m.flags(m.index(0, 0)) & Qt::ItemIsEditable);
}

TEST_F(Grid, EveryFieldWhenNoColumnsAreSetAndAnUnknownFieldStaysBlank)
{
    TQuery q;
    q.SQL() << QStringLiteral("SELECT NAME, CODP FROM ") + SqlQuote::table(path);
    q.Open();
    TExDBGrid grid;
    grid.setDataSet(&q);
    EXPECT_EQ(grid.gridModel()->columnCount(), 2);
    grid.setColumns({{QStringLiteral("NOSUCH"), QStringLiteral("?"), 0, {}, false, true}});
    EXPECT_EQ(text(*grid.gridModel(), 0, 0), QString());
}

TEST_F(Grid, TheDataSetFollowsTheChosenRow)
{
    TQuery q;
    q.SQL() << QStringLiteral("SELECT * FROM ") + SqlQuote::table(path) << QStringLiteral("ORDER BY NAME");
    q.Open();
    TExDBGrid grid;
    grid.setDataSet(&q);
    grid.refresh();
    EXPECT_EQ(q.RecNo(), 1);
    grid.selectRow(2);
    EXPECT_EQ(q.RecNo(), 3);
    EXPECT_EQ(q.FieldByName(QStringLiteral("NAME"))->AsString(), QStringLiteral("Zorile"));
    grid.selectRow(1);
    EXPECT_EQ(q.FieldByName(QStringLiteral("NAME"))->AsString(), QStringLiteral("Ungureni"));
    EXPECT_EQ(grid.gridModel()->headerData(1, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("\u25B6"));
    EXPECT_EQ(grid.gridModel()->headerData(0, Qt::Vertical, Qt::DisplayRole).toString(), QString());
    grid.selectRow(7); // out of range: nothing moves
    EXPECT_EQ(q.RecNo(), 2);
}

TEST_F(Grid, EditsGoThroughTheTableIntoTheFile)
{
    RecordingDialogs dialogs;
    TTable t;
    t.SetTableName(path);
    t.Open();
    TExDBGrid grid;
    grid.setDataSet(&t);
    grid.setColumns({{QStringLiteral("NAME"), QStringLiteral("Localitate"), 0, {}, false, true},
                     {QStringLiteral("CODP"), QStringLiteral("Cod postal"), 0, {}, false, false},
                     {QStringLiteral("SUMA"), QStringLiteral("Suma"), 0, {}, false, false}});
    TExDBGridModel &m = *grid.gridModel();
    EXPECT_FALSE(m.flags(m.index(1, 0)) & Qt::ItemIsEditable);
    ASSERT_TRUE(m.flags(m.index(1, 1)) & Qt::ItemIsEditable);
    EXPECT_FALSE(m.setData(m.index(1, 0), QStringLiteral("x"), Qt::EditRole));

    EXPECT_TRUE(m.setData(m.index(1, 1), QStringLiteral("600555"), Qt::EditRole));
    EXPECT_EQ(text(m, 1, 1), QStringLiteral("600555"));
    t.Close();
    {
        Dbf back = Dbf::open(path);
        EXPECT_EQ(back.text(1, 1), QStringLiteral("600555"));
        EXPECT_EQ(back.text(0, 1), QStringLiteral("600001"));
    }

    // Text in a number column is refused: the row stays and the user is told.
    t.Open();
    grid.refresh();
    EXPECT_FALSE(m.setData(m.index(0, 2), QStringLiteral("doisprezece"), Qt::EditRole));
    EXPECT_EQ(text(m, 0, 2), QStringLiteral("12.50"));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(t.DataSetState(), TDataSet::State::Browse);
    // An emptied cell becomes a blank (null) value.
    EXPECT_TRUE(m.setData(m.index(0, 2), QStringLiteral(" "), Qt::EditRole));
    EXPECT_EQ(text(m, 0, 2), QString());
}

TEST_F(Grid, AClosedDataSetShowsNothing)
{
    TQuery q;
    TExDBGrid grid;
    grid.setDataSet(&q);
    grid.setColumns({{QStringLiteral("NAME"), QString(), 0, {}, false, true}});
    EXPECT_EQ(grid.gridModel()->rowCount(), 0);
    EXPECT_FALSE(grid.gridModel()->moveDataSetTo(0));
}

} // namespace
