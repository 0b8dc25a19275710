#include "TestSupport.h"

#include "core/CoreError.h"
#include "core/Form1.h"
#include "core/Form3.h"
#include "core/RecordingDialogs.h"
#include "core/ResourceStore.h"
#include "platform/db/Dbf.h"
#include "tables/RequestTables.h"
#include "platform/profile/LastFolders.h"
#include "platform/profile/ProfileFile.h"
#include "platform/shell/ChooserDialog.h"
#include "platform/sql/TQuery.h"
#include "platform/sql/TTable.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

class Services : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testApp();
        dir = scratchDir();
        qputenv("HOME", dir->path().toLocal8Bit());
        home = dir->path() + QStringLiteral("/Kestrun");
        data = home + QStringLiteral("/Data");
        QDir().mkpath(data);
        Form1().setFolders(home, data, home + QStringLiteral("/Temp"));
    }

    // A small Cereri table: (TITULAR, LOCALIT, LUNACRT).
    QString writeRequests(const QList<std::tuple<QString, QString, int>> &rows)
    {
        RequestTables::createMissing(data);
        const QString path = data + QStringLiteral("/Cereri.dbf");
        Dbf t = Dbf::open(path, Dbf::Mode::ReadWrite);
        for (const auto &[name, locality, month] : rows) {
            const qint64 r = t.appendBlank();
            t.setValue(r, t.fieldIndex(u"TITULAR"), name);
            t.setValue(r, t.fieldIndex(u"LOCALIT"), locality.isEmpty() ? QVariant() : QVariant(locality));
            t.setValue(r, t.fieldIndex(u"LUNACRT"), double(month));
        }
        t.close();
        return path;
    }

    std::unique_ptr<QTemporaryDir> dir;
    QString home;
    QString data;
};

TEST_F(Services, FillDistinctAppendsOrderedNonBlankValuesWithoutClearing)
{
    const QString path = writeRequests({{QStringLiteral("A"), QStringLiteral("Ungureni"), 100},
                                        {QStringLiteral("B"), QStringLiteral("\u015Eerbe\u015Fti"), 100},
                                        {QStringLiteral("C"), QString(), 100},
                                        {QStringLiteral("D"), QStringLiteral("Ungureni"), 100},
                                        {QStringLiteral("E"), QStringLiteral("Bac\u0103u"), 100},
                                        {QStringLiteral("F"), QStringLiteral("Zorile"), 200}});
    QComboBox combo;
    combo.addItem(QStringLiteral("(toate)"));
    Form1().FillDistinct(&combo, path, QStringLiteral("LUNACRT=100"), QStringLiteral("LOCALIT"));
    QStringList items;
    for (int i = 0; i < combo.count(); ++i)
        items << combo.itemText(i);
    // Romanian order puts S-cedilla after S, U after it.
    EXPECT_EQ(items, (QStringList{QStringLiteral("(toate)"), QStringLiteral("Bac\u0103u"),
                                  QStringLiteral("\u015Eerbe\u015Fti"), QStringLiteral("Ungureni")}));

    // A blank condition leaves the WHERE out: the other month's value comes too.
    Form1().FillDistinct(&combo, path, QStringLiteral("  "), QStringLiteral("LOCALIT"));
    EXPECT_EQ(combo.count(), 4 + 4);
    EXPECT_EQ(combo.itemText(7), QStringLiteral("Zorile"));
}

TEST_F(Services, PackTableByBareNameAndRestructureField)
{
    writeRequests({{QStringLiteral("A"), QStringLiteral("X"), 1}, {QStringLiteral("B"), QStringLiteral("Y"), 1}});
    {
        Dbf t = Dbf::open(data + QStringLiteral("/Cereri.dbf"), Dbf::Mode::ReadWrite);
        t.setDeleted(0, true);
        t.close();
    }
    Form1().PackTable(QStringLiteral("Cereri"));
    Dbf packed = Dbf::open(data + QStringLiteral("/Cereri.dbf"));
    ASSERT_EQ(packed.recordCount(), 1);
    EXPECT_EQ(packed.text(0, packed.fieldIndex(u"TITULAR")), QStringLiteral("B"));
    packed.close();

    const int width = 90;
    Form1().RestructureField(data + QStringLiteral("/Cereri.dbf"), QStringLiteral("ADRESA"), width);
    Dbf wide = Dbf::open(data + QStringLiteral("/Cereri.dbf"));
    EXPECT_EQ(wide.fields().at(wide.fieldIndex(u"ADRESA")).length, width);
    EXPECT_EQ(wide.text(0, wide.fieldIndex(u"TITULAR")), QStringLiteral("B"));
}

TEST_F(Services, TablePathFindsTablesInTheDataFolderWithoutRegardToCase)
{
    writeBytes(data + QStringLiteral("/OAMENI.DBF"), "x");
    EXPECT_EQ(Form1().TablePath(QStringLiteral("Oameni")), data + QStringLiteral("/OAMENI.DBF"));
    EXPECT_EQ(Form1().TablePath(QStringLiteral("/elsewhere/T.dbf")), QStringLiteral("/elsewhere/T.dbf"));
}

TEST_F(Services, SettingsLocalAndMachineStoresAreSeparate)
{
    TForm1 &f = Form1();
    f.WriteSetting(QStringLiteral("INDEX"), QStringLiteral("NR_DISP"), QStringLiteral("17"));
    f.WriteLocal(QStringLiteral("NET"), QStringLiteral("User"), QStringLiteral("primaria"));
    TForm1::WriteMachine(QStringLiteral("SugestieNume"), QStringLiteral("Ana \u0218erban"));
    EXPECT_EQ(f.ReadSetting(QStringLiteral("index"), QStringLiteral("nr_disp")), QStringLiteral("17"));
    EXPECT_EQ(f.ReadSetting(QStringLiteral("INDEX"), QStringLiteral("NR_REF")), QString());
    EXPECT_EQ(f.ReadLocal(QStringLiteral("NET"), QStringLiteral("User")), QStringLiteral("primaria"));
    // The machine-level store is CP1250, section "92" (S-comma is written as the code page's S-cedilla, 0xAA).
    EXPECT_TRUE(readBytes(dir->path() + QStringLiteral("/.config/Kestrun/GMT.dII")).contains("[92]\r\nSugestieNume=Ana \xAA" "erban\r\n"));
    EXPECT_TRUE(QFile::exists(home + QStringLiteral("/Local.set")));
    EXPECT_FALSE(readBytes(data + QStringLiteral("/Tolvard.set")).contains("primaria"));
}

// A chooser opens in the folder last used for its kind of file (kept in the
// machine-level store), offers its suggested name, and shows its filter as
// words while taking the extension in any case.
TEST_F(Services, ChoosersOpenInTheirKindsLastFolderWithFiltersAsWords)
{
    const QString archives = dir->path() + QStringLiteral("/arhive"), reports = dir->path() + QStringLiteral("/rapoarte");
    QDir().mkpath(archives);
    QDir().mkpath(reports);
    const QString prompt = QStringLiteral("Alegeti directorul unde punem Raportul");
    LastFolders::remember(QStringLiteral("Arhive date"), archives);
    LastFolders::remember(prompt, reports);
    EXPECT_TRUE(readBytes(dir->path() + QStringLiteral("/.config/Kestrun/GMT.dII")).contains("[DIRECTOARE]"));

    struct Case { const char *name; QString filters, suggested, folder, shown; QStringList taken, refused; };
    const Case cases[] = {
        {"archive to save, named", ChooserDialog::filter("Arhive date", {"L21", "sav"}) + ";;Toate fisierele (*)",
         "07122026_0.L21", archives, "Arhive date (*.L21 *.sav)", {"a.L21", "a.l21", "b.SAV"}, {"a.L22", "L21"}},
        {"annex to open, a kind not used yet: the home folder", ChooserDialog::filter("Anexa Excel", {"xls"}), "", QDir::homePath(),
         "Anexa Excel (*.xls)", {"a.xls", "A.XLS", "b.Xls"}, {"a.xlsx"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const auto d = ChooserDialog::file(nullptr, QStringLiteral("x"), c.filters, !c.suggested.isEmpty(), c.suggested);
        EXPECT_EQ(d->directory().absolutePath(), c.folder);
        const QComboBox *types = d->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        ASSERT_NE(types, nullptr);
        EXPECT_EQ(types->itemText(0), c.shown);
        if (!c.suggested.isEmpty()) {
            EXPECT_EQ(d->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text(), c.suggested);
        }
        QStringList patterns;
        for (const QString &p : c.filters.section(QStringLiteral(";;"), 0, 0).section(u'(', -1).chopped(1).split(u' '))
            patterns << QRegularExpression::wildcardToRegularExpression(p);
        const QRegularExpression any(patterns.join(u'|'));
        for (const QString &name : c.taken)
            EXPECT_TRUE(any.match(name).hasMatch()) << name.toStdString();
        for (const QString &name : c.refused)
            EXPECT_FALSE(any.match(name).hasMatch()) << name.toStdString();
    }
    // A folder chooser: the folder given, else the one last chosen with its prompt.
    EXPECT_EQ(ChooserDialog::folder(nullptr, prompt, {})->directory().absolutePath(), reports);
    EXPECT_EQ(ChooserDialog::folder(nullptr, prompt, archives)->directory().absolutePath(), archives);
}

TEST_F(Services, ExtractResourceByNameAndTypeWithoutRegardToCase)
{
    const QString out = data + QStringLiteral("/x.xls");
    writeBytes(out, "old content that is longer than the resource, to be replaced whole");
    TForm1::ExtractResource(QStringLiteral("rapbanci"), QStringLiteral("Model"), out);
    EXPECT_EQ(readBytes(out), readBytes(QStringLiteral(KESTRUN_FIXTURES "/core/RapBanci.xls")));
    EXPECT_THROW(TForm1::ExtractResource(QStringLiteral("NOSUCH"), QStringLiteral("MODEL"), out), CoreError);
    EXPECT_THROW(TForm1::ExtractResource(QStringLiteral("RAPBANCI"), QStringLiteral("OTHER"), out), CoreError);
    // A folder that does not exist: a clear error, not a crash.
    EXPECT_THROW(TForm1::ExtractResource(QStringLiteral("AJPIS"), QStringLiteral("MODEL"), data + QStringLiteral("/no/such/dir/a.xls")), CoreError);
}

TEST_F(Services, ExtractFilesWritesOnlyMissingTemplates)
{
    writeBytes(data + QStringLiteral("/FISAV.RTF"), "edited by the office");
    const QStringList written = Form1().ExtractFiles();
    EXPECT_EQ(written, QStringList{QStringLiteral("RapBanci.xls")});
    EXPECT_EQ(readBytes(data + QStringLiteral("/FISAV.RTF")), QByteArray("edited by the office"));
    EXPECT_TRUE(QFile::exists(data + QStringLiteral("/RapBanci.xls")));
    EXPECT_TRUE(Form1().ExtractFiles().isEmpty());
}

TEST_F(Services, SharedQueriesAreLeftClosedAndUnfiltered)
{
    RecordingDialogs dialogs;
    const QString path = writeRequests({{QStringLiteral("A"), QStringLiteral("X"), 1}});
    TForm3 &w = Form3();
    w.Sx->SQL() << QStringLiteral("SELECT * FROM ") + QStringLiteral("\"%1\"").arg(path);
    w.Sx->Open();
    w.Sx->SetFilter(QStringLiteral("TITULAR='A'"));
    w.Sx->SetFiltered(true);
    w.Tx->SetTableName(path);
    w.Tx->Open();
    EXPECT_FALSE(w.runGuarded([] { throw CoreError(QStringLiteral("x")); }));
    EXPECT_FALSE(w.Sx->Active());
    EXPECT_FALSE(w.Sx->Filtered());
    EXPECT_TRUE(w.Sx->Filter().isEmpty());
    EXPECT_FALSE(w.Tx->Active());
    EXPECT_TRUE(w.Tx->TableName().isEmpty());
}

} // namespace
