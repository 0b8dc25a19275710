// Datasets as the reports drive them: SQL lines replaced in place, navigation,
// filters that re-filter, Locate, and table edits that SQL sees at once.
#include "SqlTestData.h"

#include "platform/sql/SqlError.h"
#include "platform/sql/TQuery.h"
#include "platform/sql/TTable.h"

#include <QFile>

#include <functional>

namespace {

class DataSets : public ::testing::Test
{
protected:
    void SetUp() override
    {
        cereri = q.table(QStringLiteral("Cereri.dbf"),
                         {"NRCRT N 12", "TITULAR C 32", "CNP C 13", "LUNACRT N 8", "NR_LUNI N 2", "VENITM N 10 2",
                          "NR_MEMBRI N 2", "BANCA C 30", "DATACERE D", "CUANTUM N 10 2"},
                         {
                             {1, "POP ION", "1800101123456", 24290, 5, 250.5, 1, "BCR", QDate(2024, 1, 5), 320},
                             {2, "ANA RUS", "2800101123456", 24290, 4, 1000, 3, "", QDate(2024, 1, 7), 288},
                             {3, "BOB DAN", "1700101123456", 24290, 5, 0, 2, "O'Brien Bank", QVariant(), 32},
                             {4, "CIO LIA", "2700101123456", 24290, 1, 1280.1, 1, "BCR", QDate(2024, 2, 1), 32.5},
                         });
    }
    SqlTestFolder q;
    QString cereri;
};

TEST_F(DataSets, NavigationAndFields)
{
    TQuery sx;
    sx.SQL() << QStringLiteral("SELECT TITULAR AS SUBSEMN,CNP, NR_MEMBRI AS NRPERS, CUANTUM, DATACERE, BANCA")
             << QStringLiteral("FROM ") + SqlQuote::table(cereri) << QStringLiteral("WHERE LUNACRT=24290")
             << QStringLiteral("ORDER BY SUBSEMN");
    sx.Open();
    ASSERT_TRUE(sx.Active());
    EXPECT_EQ(sx.RecordCount(), 4);
    EXPECT_EQ(sx.FieldCount(), 6);
    EXPECT_EQ(sx.Fields()[0]->FieldName(), "SUBSEMN");
    EXPECT_EQ(sx.Fields()[1]->FieldName(), "CNP");
    EXPECT_EQ(sx.FieldByName("subsemn")->DataType(), TFieldType::ftString);
    EXPECT_EQ(sx.FieldByName("SUBSEMN")->Size(), 32);
    EXPECT_EQ(sx.FieldByName("NRPERS")->DataType(), TFieldType::ftInteger);
    EXPECT_EQ(sx.FieldByName("CUANTUM")->DataType(), TFieldType::ftFloat);
    EXPECT_EQ(sx.FieldByName("DATACERE")->DataType(), TFieldType::ftDate);
    EXPECT_THROW(sx.FieldByName("NOPE"), SqlError);

    QStringList seen;
    EXPECT_TRUE(sx.Bof());
    while (!sx.Eof()) {
        seen << QStringLiteral("%1:%2").arg(sx.RecNo()).arg(sx.FieldByName("SUBSEMN")->AsString());
        sx.Next();
    }
    EXPECT_EQ(seen, (QStringList{"1:ANA RUS", "2:BOB DAN", "3:CIO LIA", "4:POP ION"}));
    // At the end the last row stays current; Prior walks back.
    EXPECT_EQ(sx.FieldByName("SUBSEMN")->AsString(), "POP ION");
    sx.Prior();
    EXPECT_FALSE(sx.Eof());
    EXPECT_EQ(sx.RecNo(), 3);
    sx.First();
    sx.Prior();
    EXPECT_TRUE(sx.Bof());

    // Field conversions on the row of BOB DAN: blank date and blank text.
    sx.Next();
    ASSERT_EQ(sx.FieldByName("SUBSEMN")->AsString(), "BOB DAN");
    EXPECT_TRUE(sx.FieldByName("DATACERE")->IsNull());
    EXPECT_EQ(sx.FieldByName("DATACERE")->AsString(), "");
    EXPECT_FALSE(sx.FieldByName("DATACERE")->AsDateTime().isValid());
    sx.First();
    EXPECT_TRUE(sx.FieldByName("BANCA")->IsNull()); // ANA RUS: blank bank
    EXPECT_EQ(sx.FieldByName("BANCA")->AsString(), "");
    EXPECT_EQ(sx.FieldByName("NRPERS")->AsInteger(), 3);
    EXPECT_EQ(sx.FieldByName("CUANTUM")->AsString(), "288");
    EXPECT_DOUBLE_EQ(sx.FieldByName("CUANTUM")->AsCurrency(), 288);
    EXPECT_EQ(sx.FieldByName("DATACERE")->AsString(), "07.01.2024");
    EXPECT_EQ(sx.FieldByName("DATACERE")->AsDateTime().date(), QDate(2024, 1, 7));
    EXPECT_THROW(sx.FieldByName("SUBSEMN")->AsInteger(), SqlError);
    sx.Close();
    EXPECT_FALSE(sx.Active());
    EXPECT_EQ(sx.FieldCount(), 0);

    // One line replaced in place between runs.
    sx.SQL()[2] = QStringLiteral("WHERE LUNACRT=1");
    sx.Open();
    EXPECT_EQ(sx.RecordCount(), 0);
    EXPECT_TRUE(sx.Eof());
    EXPECT_TRUE(sx.Bof());
    EXPECT_EQ(sx.RecNo(), 0);
    EXPECT_TRUE(sx.FieldByName("SUBSEMN")->IsNull());
    EXPECT_EQ(sx.FieldByName("NRPERS")->AsInteger(), 0); // null as 0
}

TEST_F(DataSets, FiltersRefilterAndCount)
{
    TQuery sx;
    sx.SQL() << QStringLiteral("SELECT TITULAR, NR_LUNI, VENITM, NR_MEMBRI, BANCA, CUANTUM, DATACERE FROM ") + SqlQuote::table(cereri)
             << QStringLiteral("ORDER BY NR_LUNI, TITULAR");
    sx.Open();
    struct Case
    {
        const char *name;
        QString filter;
        int count;
    };
    const Case cases[] = {
        {"months", QStringLiteral("NR_LUNI=5"), 2},
        // The annex 21 cell: bracket limits with "." and -1 as lower bound.
        {"bracket", QStringLiteral("(NR_LUNI=5) AND (VENITM>-1) AND (VENITM<=250.5) AND (NR_MEMBRI=1)"), 1},
        {"bracket_border", QStringLiteral("(NR_LUNI=1) AND (VENITM>1280) AND (VENITM<=2053) AND (NR_MEMBRI=1)"), 1},
        {"amount_text", QStringLiteral("(CUANTUM=32) AND (NR_LUNI=5) AND (NR_MEMBRI>1)"), 1},
        // The bank report's filter: single quotes, blank bank matches ''.
        {"bank", QStringLiteral("BANCA='BCR'"), 2},
        {"blank_bank", QStringLiteral("BANCA=''"), 1},
        {"quoted_bank", QStringLiteral("BANCA=") + SqlQuote::filterLiteral(QStringLiteral("O'Brien Bank")), 1},
        {"case_counts", QStringLiteral("BANCA='bcr'"), 0},
        {"quoted_number", QStringLiteral("NR_LUNI='5'"), 2},
        {"date", QStringLiteral("DATACERE>='06.01.2024'"), 2},
        {"null_date", QStringLiteral("DATACERE IS NULL"), 1},
        {"not", QStringLiteral("NOT (BANCA='BCR')"), 2},
        {"like", QStringLiteral("TITULAR LIKE 'B%'"), 1},
        {"empty_filter", QString(), 4},
    };
    sx.SetFiltered(true);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        sx.SetFilter(c.filter);
        EXPECT_EQ(sx.RecordCount(), c.count);
        int walked = 0;
        for (sx.First(); !sx.Eof(); sx.Next())
            ++walked;
        EXPECT_EQ(walked, c.count);
    }
    // A sum walks the filtered rows from the first.
    sx.SetFilter(QStringLiteral("NR_LUNI=5"));
    double sum = 0;
    for (sx.First(); !sx.Eof(); sx.Next())
        sum += sx.FieldByName("CUANTUM")->AsFloat();
    EXPECT_DOUBLE_EQ(sum, 352);
    // Switched off, every row is back; a bad filter is refused and changes nothing.
    sx.SetFiltered(false);
    EXPECT_EQ(sx.RecordCount(), 4);
    sx.SetFiltered(true);
    EXPECT_THROW(sx.SetFilter(QStringLiteral("NOPE=1")), SqlError);
    EXPECT_EQ(sx.Filter(), "NR_LUNI=5");
    EXPECT_EQ(sx.RecordCount(), 2);
    EXPECT_THROW(sx.SetFilter(QStringLiteral("BANCA='x")), SqlError);
    sx.Close();
    sx.SetFiltered(false);
    sx.SetFilter(QString());
}

TEST_F(DataSets, LocateIsExact)
{
    TQuery sx;
    sx.SQL() << QStringLiteral("SELECT CNP, BANCA FROM ") + SqlQuote::table(cereri) << QStringLiteral("ORDER BY CNP");
    sx.Open();
    EXPECT_TRUE(sx.Locate(QStringLiteral("CNP"), QStringLiteral("2700101123456")));
    EXPECT_EQ(sx.RecNo(), 3);
    EXPECT_FALSE(sx.Locate(QStringLiteral("CNP"), QStringLiteral("270010112345")));
    EXPECT_EQ(sx.RecNo(), 3); // a failed search does not move
    EXPECT_FALSE(sx.Locate(QStringLiteral("BANCA"), QStringLiteral("bcr")));
    EXPECT_TRUE(sx.Locate(QStringLiteral("BANCA"), QStringLiteral("BCR")));
    EXPECT_EQ(sx.FieldByName("CNP")->AsString(), "1800101123456");
}

TEST_F(DataSets, TableEditsAreSeenBySql)
{
    const QString ajvps = q.path(QStringLiteral("AJVPS0.dbf"));
    TQuery sx;
    sx.SQL() << QStringLiteral("CREATE TABLE ") + SqlQuote::table(ajvps)
             << QStringLiteral("(NRCRT DECIMAL(12,0), NRD CHAR(16), DATAD DATE, NR_DISP CHAR(27))");
    sx.ExecSQL();
    sx.SQL().clear();
    sx.SQL() << QStringLiteral("INSERT INTO ") + SqlQuote::table(ajvps) << QStringLiteral("(NRCRT, NRD, DATAD)")
             << QStringLiteral("SELECT NRCRT, TITULAR, DATACERE") << QStringLiteral("FROM ") + SqlQuote::table(cereri);
    sx.ExecSQL();
    EXPECT_EQ(sx.RowsAffected(), 4);

    TTable tx;
    tx.SetTableName(ajvps);
    tx.Open();
    ASSERT_EQ(tx.RecordCount(), 4);
    for (tx.First(); !tx.Eof(); tx.Next()) {
        tx.Edit();
        tx.FieldByName("NR_DISP")->SetAsString(tx.FieldByName("NRD")->AsString() + u'/'
                                               + tx.FieldByName("DATAD")->AsString());
        tx.Post();
    }
    tx.Append();
    tx.FieldByName("NRCRT")->SetAsInteger(99);
    tx.FieldByName("DATAD")->SetAsDateTime(QDateTime(QDate(2024, 12, 15), QTime()));
    tx.Post();
    EXPECT_EQ(tx.RecordCount(), 5);
    // A value the field cannot hold is refused and the table keeps its rows.
    tx.Append();
    EXPECT_THROW(tx.FieldByName("DATAD")->SetAsString(QStringLiteral("31.02.2024")), SqlError);
    tx.FieldByName("NRCRT")->SetAsFloat(1e15);
    EXPECT_THROW(tx.Post(), SqlError);
    tx.Cancel();
    tx.First();
    tx.Delete();
    EXPECT_EQ(tx.RecordCount(), 4);
    EXPECT_THROW(tx.FieldByName("NRCRT")->SetAsInteger(1), SqlError); // not in edit mode

    // SQL in the same session sees the posted rows while the table is still open.
    const SqlResult r = runSql(QStringLiteral("SELECT NRCRT, NR_DISP, DATAD FROM %1 ORDER BY NRCRT").arg(SqlQuote::table(ajvps)));
    EXPECT_EQ(column(r, 0), (QStringList{"2", "3", "4", "99"}));
    EXPECT_EQ(column(r, 1), (QStringList{"ANA RUS/07.01.2024", "BOB DAN/", "CIO LIA/01.02.2024", ""}));
    EXPECT_EQ(column(r, 2), (QStringList{"07.01.2024", "", "01.02.2024", "15.12.2024"}));
    tx.Close();
    tx.SetTableName(QString());
}

// An edit refused for one field writes none of its fields: the record on disk
// keeps what it held, even after the table is closed.
TEST_F(DataSets, RefusedEditLeavesTheRecordWhole)
{
    TTable tx;
    tx.SetTableName(cereri);
    tx.Open();
    ASSERT_TRUE(tx.Locate(QStringLiteral("NRCRT"), 1));
    tx.Edit();
    tx.FieldByName("TITULAR")->SetAsString(QStringLiteral("ALT NUME"));
    tx.FieldByName("NR_LUNI")->SetAsInteger(500); // N 2 cannot hold it
    EXPECT_THROW(tx.Post(), SqlError);
    tx.Cancel();
    EXPECT_EQ(tx.FieldByName("TITULAR")->AsString(), "POP ION");
    tx.Close();

    const SqlResult r = runSql(QStringLiteral("SELECT TITULAR, NR_LUNI FROM %1 WHERE NRCRT=1").arg(SqlQuote::table(cereri)));
    EXPECT_EQ(column(r, 0), QStringList{"POP ION"});
    EXPECT_EQ(column(r, 1), QStringList{"5"});
}

} // namespace

namespace {

// A table's rows are decoded from its records as they are read, into values
// kept from row to row: every field kind, each going from a value to null and
// back, texts growing and shrinking, must read as the table's own value() reads
// it, going forward, back, and to a row found by Locate.
TEST_F(DataSets, TableRowsReadAsTheirRecords)
{
    const QString kinds = q.table(QStringLiteral("Kinds.dbf"),
                                  {"NR N 6", "NUME C 12", "ADRESA C 60", "SUMA N 10 2", "ZI D", "ACTIV L"},
                                  {
                                      {1, "Ana", "Str. Lungă nr. 1", 12.5, QDate(2024, 2, 29), true},
                                      {2, QVariant(), QVariant(), QVariant(), QVariant(), QVariant()},
                                      {3, "Ştefan Ţăran", "Str. Învăţătorului nr. 138, bl. A, sc. 2, ap. 40", -3, QDate(1999, 12, 31), false},
                                      {4, "Io", "B", 0, QDate(2000, 1, 1), QVariant()},
                                      {5, QVariant(), "Calea Victoriei", QVariant(), QVariant(), true},
                                  });
    const Dbf file = Dbf::open(kinds);
    TTable tx;
    tx.SetTableName(kinds);
    tx.Open();
    ASSERT_EQ(tx.RecordCount(), 5);
    // Every reader of every field, a refusal read as "!": what a row gives read
    // from its record and read from the row's own values must agree.
    const auto readers = [&] {
        QStringList seen;
        for (const TField *f : tx.Fields())
            for (const auto &read : std::initializer_list<std::function<QString()>>{
                     [f] { return f->AsString(); }, [f] { return QString::number(f->AsFloat()); },
                     [f] { return QString::number(f->AsInteger()); }, [f] { return f->dateValue().toString(Qt::ISODate); },
                     [f] { return QString::number(f->AsBoolean()); }, [f] { return QString::number(f->IsNull()); }}) {
                try {
                    seen << read();
                } catch (const SqlError &) {
                    seen << QStringLiteral("!");
                }
            }
        return seen;
    };
    const auto expectRow = [&](const char *when) {
        const qint64 rec = tx.RecNo() - 1;
        for (const TField *f : tx.Fields()) {
            const QVariant old = file.value(rec, f->Index());
            EXPECT_EQ(f->Value(), old) << when << ": record " << rec << ", " << f->FieldName().toStdString();
            EXPECT_EQ(f->IsNull(), !old.isValid()) << when << ": record " << rec << ", " << f->FieldName().toStdString();
        }
        const QStringList fromRecord = readers();
        tx.Edit(); // the edit buffer holds the row's own values
        EXPECT_EQ(fromRecord, readers()) << when << ": record " << rec;
        tx.Cancel();
    };
    QStringList kept; // texts copied out stay as they were read
    for (tx.First(); !tx.Eof(); tx.Next()) {
        expectRow("forward");
        kept << tx.FieldByName("ADRESA")->AsString();
    }
    for (tx.Last(); !tx.Bof(); tx.Prior())
        expectRow("back");
    ASSERT_TRUE(tx.Locate(QStringLiteral("NUME"), QStringLiteral("Ştefan Ţăran")));
    expectRow("located");
    EXPECT_EQ(kept, (QStringList{"Str. Lungă nr. 1", "", "Str. Învăţătorului nr. 138, bl. A, sc. 2, ap. 40", "B",
                                 "Calea Victoriei"}));
}

// A value that cannot be read refuses the table when it is opened, before any
// row is read, naming the record and the field; one that reads as written
// ("+5", an exponent) does not.
TEST_F(DataSets, DamagedTableIsRefusedWhenOpened)
{
    struct Case
    {
        const char *field;
        QByteArray bytes; // written over the second record's field
        const char *refused; // nullptr: opens
    };
    const Case cases[] = {
        {"SUMA", "  12,5", "record 2, field SUMA"},
        {"SUMA", "1.2.30", "record 2, field SUMA"},
        {"SUMA", "    +5", nullptr},
        {"SUMA", "  1e+2", nullptr},
        {"ZI", "20240230", "record 2, field ZI"},
        {"ZI", "2024 2 1", "record 2, field ZI"},
        {"ZI", "00000000", nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.bytes.constData());
        const QString path = q.table(QStringLiteral("Damaged.dbf"), {"NUME C 8", "SUMA N 6 2", "ZI D"},
                                     {{"Ana", 1, QDate(2024, 1, 1)}, {"Ion", 2, QDate(2024, 1, 2)}});
        {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            const qsizetype second = f.readAll().indexOf("Ion");
            ASSERT_GT(second, 0);
            f.seek(second + 8 + (qstrcmp(c.field, "ZI") == 0 ? 6 : 0));
            f.write(c.bytes);
        }
        TTable tx;
        tx.SetTableName(path);
        try {
            tx.Open();
            EXPECT_EQ(c.refused, nullptr) << "opened";
        } catch (const SqlError &e) {
            ASSERT_NE(c.refused, nullptr) << e.what();
            EXPECT_TRUE(QString::fromUtf8(e.what()).contains(QLatin1String(c.refused))) << e.what();
        }
        EXPECT_EQ(tx.Active(), c.refused == nullptr);
    }
}

} // namespace
