#include "TestSupport.h"

#include "core/AppStartup.h"
#include "core/CommandBar.h"
#include "core/CommandGuard.h"
#include "core/Contor.h"
#include "core/CoreError.h"
#include "core/DataArchive.h"
#include "core/Erori.h"
#include "core/Form1.h"
#include "core/Form21.h"
#include "core/Form3.h"
#include "core/Form4.h"
#include "core/RecordingDialogs.h"
#include "platform/db/Dbf.h"
#include "platform/io/DurableFile.h"
#include "platform/io/FileWriteError.h"
#include "platform/sql/SqlError.h"
#include "platform/sql/TQuery.h"
#include "tables/RequestTables.h"
#include "platform/profile/ProfileFile.h"

#include <QAction>
#include <QComboBox>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <stdexcept>
#include <typeindex>

#include <gtest/gtest.h>

namespace {

class MainWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testApp();
        dir = scratchDir();
        home = dir->path() + QStringLiteral("/Kestrun");
        qputenv("HOME", dir->path().toLocal8Bit());
        qputenv("KESTRUN_HOME", home.toLocal8Bit());
        data = home + QStringLiteral("/Data");
        QDir().mkpath(data);
        Form1().setFolders(home, data, home + QStringLiteral("/Temp"));
        Form1().setArchivePath({});
        Form3().LunaLucru->clear();
    }

    std::unique_ptr<QTemporaryDir> dir;
    QString home;
    QString data;
};

TEST_F(MainWindow, MonthListNewestFirstAndTypedMonthsAdded)
{
    writeBytes(data + QStringLiteral("/Luni.lst"), "11.2021\r\n12.2021\r\n01.2022\r\nrubbish\r\n13.2022\r\n12.2021\r\n");
    TForm3 &w = Form3();
    w.loadMonths();
    ASSERT_EQ(w.LuniC->count(), 3);
    EXPECT_EQ(w.LuniC->itemText(0), QStringLiteral("01.2022"));
    EXPECT_EQ(w.LuniC->itemText(2), QStringLiteral("11.2021"));
    EXPECT_TRUE(w.LunaLucru->text().isEmpty());

    RecordingDialogs dialogs;
    EXPECT_TRUE(w.setWorkingMonth(QStringLiteral("12.2021")));
    EXPECT_EQ(w.LunaLucru->text(), QStringLiteral("12.2021"));
    EXPECT_EQ(readBytes(data + QStringLiteral("/Luni.lst")).count('\n'), 6); // known month: list unchanged

    // A typed month is written as MM.YYYY and kept in the list file.
    EXPECT_TRUE(w.setWorkingMonth(QStringLiteral("2.2022")));
    EXPECT_EQ(w.LunaLucru->text(), QStringLiteral("02.2022"));
    EXPECT_TRUE(readBytes(data + QStringLiteral("/Luni.lst")).endsWith("12.2021\r\n02.2022\r\n"));
    EXPECT_TRUE(dialogs.balloons.isEmpty());

    // Not a month: the balloon, and the working month stays.
    EXPECT_FALSE(w.setWorkingMonth(QStringLiteral("13.2022")));
    EXPECT_EQ(w.LunaLucru->text(), QStringLiteral("02.2022"));
    ASSERT_EQ(dialogs.balloons.size(), 1);
    EXPECT_EQ(dialogs.balloons[0].control, w.LuniC);
}

TEST_F(MainWindow, AMonthListThatIsNotOursIsNeitherReadWholeNorReplaced)
{
    // Far more than a list of months: the start shows no months, and a typed
    // month is refused rather than written over the file.
    const QByteArray junk = QByteArray("11.2022\r\n") + QByteArray(1024 * 1024, 'x');
    writeBytes(data + QStringLiteral("/Luni.lst"), junk);
    RecordingDialogs dialogs;
    TForm3 &w = Form3();
    w.loadMonths();
    EXPECT_EQ(w.LuniC->count(), 0);
    EXPECT_FALSE(w.runGuarded([&] { w.setWorkingMonth(QStringLiteral("12.2022")); }));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("Luni.lst")));
    EXPECT_EQ(readBytes(data + QStringLiteral("/Luni.lst")), junk);
}

TEST_F(MainWindow, ButtonsShowOnlyOnceTheyHaveACommand)
{
    TForm3 w;
    EXPECT_FALSE(w.commandBar()->isButtonShown(QStringLiteral("Raport Furnizori")));
    EXPECT_FALSE(w.commandBar()->isButtonShown(QStringLiteral("Cereri")));
    int runs = 0;
    w.addCommand(TForm3::Menu::Furnizori, QStringLiteral("Format AJPIS"), [&] { ++runs; });
    EXPECT_TRUE(w.commandBar()->isButtonShown(QStringLiteral("Raport Furnizori")));
    EXPECT_FALSE(w.commandBar()->isButtonShown(QStringLiteral("Utilitare")));
    w.command(QStringLiteral("Format AJPIS"))->trigger();
    EXPECT_EQ(runs, 1);
    w.setCereriCommand([] {});
    EXPECT_TRUE(w.commandBar()->isButtonShown(QStringLiteral("Cereri")));
    // Hidden before it exists, hidden when added.
    w.setCommandVisible(QStringLiteral("Raport Banci"), false);
    EXPECT_FALSE(w.addCommand(TForm3::Menu::Liste, QStringLiteral("Raport Banci"), [] {})->isVisible());
}

TEST_F(MainWindow, AFailingCommandIsCaughtAndEverythingPutBack)
{
    RecordingDialogs dialogs;
    TForm3 w;
    bool reset = false;
    w.setResetHook([&] { reset = true; throw std::runtime_error("reset failed too"); });
    w.addCommand(TForm3::Menu::Utilitare, QStringLiteral("Boom"), [&] {
        Contor().Start();
        w.setEnabled(false);
        throw CoreError(QStringLiteral("Tabela Cereri.dbf lipse\u0219te."));
    });
    w.command(QStringLiteral("Boom"))->trigger(); // must not throw out of the handler
    EXPECT_TRUE(reset);
    EXPECT_TRUE(w.isEnabled());
    EXPECT_FALSE(Contor().isRunning());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Tabela Cereri.dbf lipse\u0219te."));
    EXPECT_EQ(dialogs.messages[0].kindCaption, QStringLiteral("Eroare"));

    // Anything thrown, not only our errors.
    EXPECT_FALSE(CommandGuard::run(&w, [] { throw 42; }));
    EXPECT_EQ(dialogs.messages.size(), 2);
    EXPECT_TRUE(CommandGuard::run(&w, [] {}));
}

TEST_F(MainWindow, EachLayersErrorShowsTheClerksMessageThenTheDetail)
{
    RecordingDialogs dialogs;
    TForm3 w;
    const QString missing = dir->path() + QStringLiteral("/nu exista");
    const QString cause = QStringLiteral(": Directorul nu exista.");
    struct Case
    {
        const char *name;
        std::function<void()> fail;
        std::type_index type;
        QString message, detail;
    };
    const Case cases[] = {
        {"a file written for the clerk", [&] { DurableFile::save(missing + QStringLiteral("/a.txt"), "x"); },
         typeid(FileWriteError), QStringLiteral("Nu pot scrie fisierul ") + missing + QStringLiteral("/a.txt") + cause,
         QStringLiteral("No such file or directory")},
        {"a table, as the table's own error",
         [&] { Dbf::create(missing + QStringLiteral("/t.dbf"), {{QStringLiteral("A"), 'C', 1}}); }, typeid(DbfError),
         QStringLiteral("Nu pot scrie fisierul ") + missing + QStringLiteral("/t.dbf") + cause,
         QStringLiteral("No such file or directory")},
        {"a statement, with its place", [] { TQuery q; q.SQL() << QStringLiteral("SELECT #"); q.Open(); },
         typeid(SqlError), QStringLiteral("Invalid character '#'"), QStringLiteral("(line 1, column 8)\nSQL: SELECT #")},
        {"an archive", [&] { DataArchive::saveFolder(dir->path(), missing + QStringLiteral("/a.L21")); },
         typeid(ArchiveError), QStringLiteral("Nu pot scrie fisierul ") + missing + QStringLiteral("/a.L21") + cause,
         QStringLiteral("No such file or directory")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        try {
            c.fail();
            ADD_FAILURE() << "no error";
        } catch (const KestrunError &e) {
            EXPECT_EQ(std::type_index(typeid(e)), c.type);
            EXPECT_EQ(e.message(), c.message);
            EXPECT_EQ(e.detail(), c.detail);
        }
        EXPECT_FALSE(CommandGuard::run(&w, c.fail));
        const QString shown = dialogs.messages.value(dialogs.messages.size() - 1).text;
        EXPECT_TRUE(shown.startsWith(c.message)) << shown.toStdString();
        EXPECT_TRUE(shown.mid(c.message.size()).contains(c.detail)) << shown.toStdString();
    }
    // An error not of ours still reads Romanian first.
    EXPECT_FALSE(CommandGuard::run(&w, [] { throw std::out_of_range("vector::at"); }));
    EXPECT_EQ(dialogs.messages.last().text, QStringLiteral("Eroare neprevazuta. (vector::at)"));
}

TEST_F(MainWindow, CereriRunsOnlyAfterThePreCheckElseOpensAdministration)
{
    RecordingDialogs dialogs;
    TForm3 &w = Form3();
    int runs = 0;
    w.setCereriCommand([&] { ++runs; });
    Form4().Localit->setText(QStringLiteral("Ungureni"));
    Form4().JudetC->setCurrentIndex(3);
    Form4().CodFiscal->setText(QStringLiteral("4278093"));
    w.LunaLucru->setText(QStringLiteral("11.2022"));
    w.CereriClick();
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(dialogs.messages.isEmpty());

    // Without a fiscal code: the message, then the administration form instead of the list.
    Form4().CodFiscal->clear();
    bool adminShown = false;
    QTimer::singleShot(0, [&] {
        adminShown = Form4().isVisible();
        Form4().reject();
    });
    w.CereriClick();
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(adminShown);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Raport AJPIS"));
    w.setCereriCommand({});
}

TEST_F(MainWindow, StartupLocalCreatesTablesAndShowsLocalWork)
{
    RecordingDialogs dialogs;
    ProfileFile(data + QStringLiteral("/Tolvard.set")).write(QStringLiteral("SETARI"), QStringLiteral("Localitate"), QStringLiteral("Ungureni"));
    EXPECT_EQ(AppStartup::start({QStringLiteral("kestrun")}), AppStartup::Mode::Local);
    for (const char *table : {"Cereri.dbf", "Oameni.dbf", "Log.dbf"})
        EXPECT_TRUE(QFile::exists(data + u'/' + QLatin1String(table))) << table;
    EXPECT_EQ(Form3().statusText(), QStringLiteral("Lucru local."));
    EXPECT_EQ(Form4().Localit->text(), QStringLiteral("Ungureni"));
    EXPECT_EQ(TForm1::ReadMachine(QStringLiteral("AppDir")), home);
    // This build carries FisaV alone of the templates the documents need: start-up says so.
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("Stabilire.rtf, Modificare.rtf")));
    EXPECT_FALSE(dialogs.messages[0].text.contains(QStringLiteral("FisaV")));
}

TEST_F(MainWindow, StartupUsesTheServerFolderOnlyWhenItHoldsTheTables)
{
    RecordingDialogs dialogs;
    const QString server = dir->path() + QStringLiteral("/server");
    QDir().mkpath(server);
    TForm1::WriteMachine(QStringLiteral("Server"), server);
    EXPECT_EQ(AppStartup::start({QStringLiteral("kestrun")}), AppStartup::Mode::Local);
    EXPECT_EQ(Form1().DataDir(), data);
    // Told that the network folder is not usable.
    ASSERT_FALSE(dialogs.messages.isEmpty());
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Lucru in retea"));

    // Tables copied from Windows in upper case count too.
    RequestTables::createMissing(data);
    for (const QString &table : RequestTables::fileNames())
        QFile::copy(data + u'/' + table, server + u'/' + table.toUpper());
    EXPECT_EQ(AppStartup::start({QStringLiteral("kestrun")}), AppStartup::Mode::Network);
    EXPECT_EQ(Form1().DataDir(), server);
    EXPECT_EQ(Form3().statusText(), QStringLiteral("Lucru in retea: ") + server);
    TForm1::WriteMachine(QStringLiteral("Server"), QString());
}

TEST_F(MainWindow, StartupOnAnArchiveWorksInATempCopyAndSavesBack)
{
    RecordingDialogs dialogs;
    const QString archive = dir->path() + QStringLiteral("/copie.l21");
    writeBytes(archive, DataArchive::encode({{QStringLiteral("Luni.lst"), "11.2022\r\n"}}));
    EXPECT_EQ(AppStartup::start({QStringLiteral("kestrun"), archive}), AppStartup::Mode::Archive);
    EXPECT_TRUE(Form1().DataDir().startsWith(home + QStringLiteral("/Temp/SAV")));
    EXPECT_EQ(Form3().statusText(), QStringLiteral("Lucru in salvarea: ") + archive);
    EXPECT_EQ(Form3().LuniC->itemText(0), QStringLiteral("11.2022"));
    EXPECT_TRUE(QFile::exists(Form1().DataDir() + QStringLiteral("/Cereri.dbf")));

    dialogs.answers = {6};
    EXPECT_EQ(AppStartup::offerBackup(AppStartup::Mode::Archive), archive);
    EXPECT_EQ(dialogs.messages.last().text, QStringLiteral("\rDoriti sa salvati modificarile ?"));
    QStringList saved;
    for (const DataArchive::Entry &e : DataArchive::readFile(archive))
        saved << e.name;
    // The list it came with, and now the tables created for it.
    EXPECT_TRUE(saved.contains(QStringLiteral("Luni.lst")));
    EXPECT_TRUE(saved.contains(QStringLiteral("Cereri.dbf")));
    EXPECT_TRUE(saved.contains(QStringLiteral("Log.dbf")));
    AppStartup::finish();
    EXPECT_FALSE(QFileInfo::exists(home + QStringLiteral("/Temp")));
}

TEST_F(MainWindow, ChangesThatCannotGoBackIntoTheArchiveKeepTheirWorkingCopy)
{
    RecordingDialogs dialogs;
    const QString archive = dir->path() + QStringLiteral("/copie.L21");
    writeBytes(archive, DataArchive::encode({{QStringLiteral("Luni.lst"), "11.2022\r\n"}}));
    ASSERT_EQ(AppStartup::start({QStringLiteral("kestrun"), archive}), AppStartup::Mode::Archive);
    const QString work = Form1().DataDir();
    // A folder now stands where the archive was: saving back fails.
    QFile::remove(archive);
    QDir().mkpath(archive + QStringLiteral("/x"));
    dialogs.answers = {TErori::ResultDa, TErori::ResultOK, TErori::ResultOK};
    EXPECT_TRUE(AppStartup::offerBackup(AppStartup::Mode::Archive).isEmpty());
    EXPECT_TRUE(dialogs.messages.last().text.contains(work));
    AppStartup::finish();
    EXPECT_EQ(readBytes(work + QStringLiteral("/Luni.lst")), QByteArray("11.2022\r\n"));

    // The next run starts afresh and clears Temp at its end again.
    EXPECT_EQ(AppStartup::start({QStringLiteral("kestrun")}), AppStartup::Mode::Local);
    AppStartup::finish();
    EXPECT_FALSE(QFileInfo::exists(home + QStringLiteral("/Temp")));
}

// A restore killed between its renames, before restores kept a journal: the
// tables sit in .restore-0 and only temporary files beside them. The start
// puts them back and says so, rather than making empty tables.
TEST_F(MainWindow, StartupPutsBackTablesAnInterruptedRestoreSetAside)
{
    RecordingDialogs dialogs;
    RequestTables::createMissing(data);
    Dbf t = Dbf::open(data + QStringLiteral("/Cereri.dbf"), Dbf::Mode::ReadWrite);
    t.appendBlank();
    t.close();
    QDir().mkpath(data + QStringLiteral("/.restore-0"));
    for (const QString &table : RequestTables::fileNames()) {
        QFile::rename(data + u'/' + table, data + QStringLiteral("/.restore-0/") + table);
        writeBytes(data + QStringLiteral("/.") + table + QStringLiteral(".k3v9.part"), "new, never renamed in");
    }
    EXPECT_EQ(AppStartup::start({QStringLiteral("kestrun")}), AppStartup::Mode::Local);
    EXPECT_EQ(Dbf::open(data + QStringLiteral("/Cereri.dbf")).recordCount(), 1);
    EXPECT_FALSE(QFileInfo::exists(data + QStringLiteral("/.restore-0")));
    ASSERT_FALSE(dialogs.messages.isEmpty());
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(QStringLiteral("Restaurarea a fost intrerupta; ")));

    // An archive refused at start leaves no copy of itself in Temp.
    const QString bad = dir->path() + QStringLiteral("/bad.L21");
    writeBytes(bad, QByteArray::fromHex("01000000") + QByteArray("junk"));
    EXPECT_THROW(AppStartup::start({QStringLiteral("kestrun"), bad}), ArchiveError);
    EXPECT_TRUE(QDir(home + QStringLiteral("/Temp")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

TEST_F(MainWindow, DocumentsStillOpenInTheWordProcessorOutliveTheExit)
{
    const QString temp = home + QStringLiteral("/Temp");
    for (const char *name : {"Dispozitie0.rtf", ".~lock.Dispozitie0.rtf#", "Referat0.rtf", ".~lock.Inchis.rtf#",
                             "TmpRuva/FisaV0.rtf", "TmpRuva/.~lock.FisaV0.rtf#", "SAV0/Cereri.dbf"}) {
        const QString path = temp + u'/' + QLatin1String(name);
        QDir().mkpath(QFileInfo(path).path());
        writeBytes(path, "x");
    }
    AppStartup::finish();
    QStringList left;
    QDirIterator it(temp, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        left << it.next().mid(temp.size() + 1);
    left.sort();
    EXPECT_EQ(left, (QStringList{QStringLiteral(".~lock.Dispozitie0.rtf#"), QStringLiteral("Dispozitie0.rtf"),
                                 QStringLiteral("TmpRuva/.~lock.FisaV0.rtf#"), QStringLiteral("TmpRuva/FisaV0.rtf")}));

    // Closed since: the next exit takes them.
    QFile::remove(temp + QStringLiteral("/.~lock.Dispozitie0.rtf#"));
    QFile::remove(temp + QStringLiteral("/TmpRuva/.~lock.FisaV0.rtf#"));
    AppStartup::finish();
    EXPECT_FALSE(QFileInfo::exists(temp));
}

TEST_F(MainWindow, ExitBackupGoesToTheBackupFolderUnderTodaysName)
{
    RecordingDialogs dialogs;
    const QString backups = dir->path() + QStringLiteral("/backups");
    writeBytes(data + QStringLiteral("/Cereri.dbf"), "c");
    TForm1::WriteMachine(QStringLiteral("Salvare"), backups);
    dialogs.answers = {7};
    EXPECT_TRUE(AppStartup::offerBackup(AppStartup::Mode::Local).isEmpty());
    dialogs.answers = {6};
    const QString first = AppStartup::offerBackup(AppStartup::Mode::Local);
    const QString stem = QDate::currentDate().toString(QStringLiteral("ddMMyyyy"));
    EXPECT_EQ(first, backups + u'/' + stem + QStringLiteral("_0.L21"));
    dialogs.answers = {6};
    EXPECT_EQ(AppStartup::offerBackup(AppStartup::Mode::Local), backups + u'/' + stem + QStringLiteral("_1.L21"));
    EXPECT_EQ(DataArchive::readFile(first).size(), 1);
    // Network work is not backed up from this machine.
    EXPECT_TRUE(AppStartup::offerBackup(AppStartup::Mode::Network).isEmpty());
    TForm1::WriteMachine(QStringLiteral("Salvare"), QString());
}

TEST_F(MainWindow, TablesArePackedOncePerWeek)
{
    RequestTables::createMissing(data);
    const auto addDeletedRow = [&] {
        Dbf t = Dbf::open(data + QStringLiteral("/Oameni.dbf"), Dbf::Mode::ReadWrite);
        t.setDeleted(t.appendBlank(), true);
        t.close();
    };
    const auto rows = [&] { return Dbf::open(data + QStringLiteral("/Oameni.dbf")).recordCount(); };
    addDeletedRow();
    // Monday 5 December 2022 is day 44900 after the origin: week 6414.
    const QDate monday(2022, 12, 5);
    EXPECT_TRUE(AppStartup::weeklyPack(data, monday));
    EXPECT_EQ(rows(), 0);
    EXPECT_EQ(ProfileFile(data + QStringLiteral("/Tolvard.set")).read(QStringLiteral("CONST"), QStringLiteral("LASTPACK")),
              QStringLiteral("6414"));
    addDeletedRow();
    // The origin was a Saturday, so weeks run Saturday to Friday: Friday is the same week.
    EXPECT_FALSE(AppStartup::weeklyPack(data, QDate(2022, 12, 9)));
    EXPECT_EQ(rows(), 1);
    EXPECT_TRUE(AppStartup::weeklyPack(data, QDate(2022, 12, 10)));
    EXPECT_EQ(rows(), 0);
}

TEST_F(MainWindow, RestoreTellsTheUserAndARefusedArchiveChangesNothing)
{
    RecordingDialogs dialogs;
    writeBytes(data + QStringLiteral("/Cereri.dbf"), "old");
    const QString bad = dir->path() + QStringLiteral("/bad.L21");
    writeBytes(bad, QByteArray::fromHex("01000000") + QByteArray("junk"));
    EXPECT_FALSE(Form21().RestoreFromArchive(bad));
    EXPECT_EQ(readBytes(data + QStringLiteral("/Cereri.dbf")), QByteArray("old"));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].kind, 1);

    const QString good = dir->path() + QStringLiteral("/good.L21");
    writeBytes(good, DataArchive::encode({{QStringLiteral("Cereri.dbf"), "new"}}));
    EXPECT_TRUE(Form21().RestoreFromArchive(good));
    EXPECT_EQ(readBytes(data + QStringLiteral("/Cereri.dbf")), QByteArray("new"));
    EXPECT_TRUE(dialogs.messages.last().text.contains(QStringLiteral("Reporniti")));
}

} // namespace
