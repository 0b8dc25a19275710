#include "TestSupport.h"

#include "core/ActionLog.h"
#include "platform/db/Dbf.h"
#include "tables/RequestTables.h"
#include "platform/profile/ProfileFile.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace {

class Log : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir = scratchDir();
        data = dir->path();
        RequestTables::createMissing(data);
    }

    ProfileFile settings() const { return ProfileFile(data + QStringLiteral("/Tolvard.set")); }

    void appendLogRows(qint64 from, qint64 to)
    {
        Dbf t = Dbf::open(data + QStringLiteral("/Log.dbf"), Dbf::Mode::ReadWrite);
        for (qint64 id = from; id <= to; ++id) {
            const qint64 r = t.appendBlank();
            t.setValue(r, t.fieldIndex(u"IDLOG"), double(id));
            t.setValue(r, t.fieldIndex(u"ACTIUNE"), QStringLiteral("Adaugare Cerere %1").arg(id));
        }
        t.close();
    }

    std::unique_ptr<QTemporaryDir> dir;
    QString data;
};

TEST_F(Log, CountersStartAtOneAndStoreTheNext)
{
    EXPECT_EQ(ActionLog::nextNumber(data, QStringLiteral("NR_DISP")), 1);  // missing
    EXPECT_EQ(ActionLog::nextNumber(data, QStringLiteral("NR_DISP")), 2);
    EXPECT_EQ(settings().read(QStringLiteral("INDEX"), QStringLiteral("NR_DISP")), QStringLiteral("3"));
    settings().write(QStringLiteral("INDEX"), QStringLiteral("NR_REF"), QStringLiteral("0"));
    EXPECT_EQ(ActionLog::nextNumber(data, QStringLiteral("NR_REF")), 1);   // zero counts as 1
    settings().write(QStringLiteral("INDEX"), QStringLiteral("NR_CERE"), QStringLiteral("abc"));
    EXPECT_EQ(ActionLog::nextNumber(data, QStringLiteral("NR_CERE")), 1);
}

TEST_F(Log, ARowAsAnotherReaderSeesIt)
{
    settings().write(QStringLiteral("INDEX"), QStringLiteral("IDLOG"), QStringLiteral("41"));
    ActionLog::write(data, QStringLiteral("Pornire program"));
    EXPECT_EQ(settings().read(QStringLiteral("INDEX"), QStringLiteral("IDLOG")), QStringLiteral("42"));
    EXPECT_LE(ActionLog::userName().size(), 16);

    QProcess py;
    py.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QStringLiteral(
        "import sys, dbfread\n"
        "r = list(dbfread.DBF(sys.argv[1], encoding='cp1250'))[-1]\n"
        "print(int(r['IDLOG']), r['DATAL'].strftime('%d.%m.%Y'), len(r['ORA']), r['ACTIUNE'], len(r['UTILIZATOR']) <= 16)\n"),
        data + QStringLiteral("/Log.dbf")});
    ASSERT_TRUE(py.waitForFinished(30000));
    ASSERT_EQ(py.exitCode(), 0) << py.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(py.readAllStandardOutput()).trimmed(),
              QStringLiteral("41 %1 8 Pornire program True").arg(QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"))));
}

TEST_F(Log, CountersNeverFallBehindTheTables)
{
    appendLogRows(1, 30);
    settings().write(QStringLiteral("INDEX"), QStringLiteral("IDLOG"), QStringLiteral("5"));      // behind: raised
    settings().write(QStringLiteral("INDEX"), QStringLiteral("NRCRT"), QStringLiteral("900"));    // ahead: kept
    ActionLog::alignCounters(data);
    EXPECT_EQ(settings().read(QStringLiteral("INDEX"), QStringLiteral("IDLOG")), QStringLiteral("31"));
    EXPECT_EQ(settings().read(QStringLiteral("INDEX"), QStringLiteral("NRCRT")), QStringLiteral("900"));
    EXPECT_EQ(settings().read(QStringLiteral("INDEX"), QStringLiteral("NROM")), QStringLiteral("1")); // empty table
}

struct TrimCase
{
    const char *name;
    qint64 rows;
    qint64 removed;
};

TEST_F(Log, TrimKeepsTheLastThousand)
{
    // IDLOG runs 1..rows; the rows below (rows - 1000) go once the log holds 1000 rows.
    const TrimCase cases[] = {{"below_1000_untouched", 999, 0}, {"exactly_1000_nothing_below", 1000, 0},
                              {"1500_rows", 1500, 499}};
    for (const TrimCase &c : cases) {
        QFile::remove(data + QStringLiteral("/Log.dbf"));
        RequestTables::createMissing(data);
        appendLogRows(1, c.rows);
        EXPECT_EQ(ActionLog::trim(data), c.removed) << c.name;
        Dbf t = Dbf::open(data + QStringLiteral("/Log.dbf"));
        EXPECT_EQ(t.recordCount(), c.rows - c.removed) << c.name;
        EXPECT_EQ(qint64(t.number(0, t.fieldIndex(u"IDLOG"))), c.removed + 1) << c.name;
    }
}

} // namespace
