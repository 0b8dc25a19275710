// Starts the program the way main() does, over a sample commune, and uses it
// as a clerk would: choose the working month, open the request list.
#include "app/KestrunApp.h"
#include "core/DataArchive.h"
#include "core/Erori.h"
#include "core/Form1.h"
#include "core/Form3.h"
#include "core/Form4.h"
#include "core/MonthCode.h"
#include "core/RecordingDialogs.h"
#include "core/TestSupport.h"
#include "grid/ExDBGrid.h"
#include "platform/db/Dbf.h"
#include "platform/sql/TField.h"
#include "platform/sql/TQuery.h"
#include "remote/NetF.h"
#include "requests/CereriF.h"
#include "resources/Templates.h"
#include "sample-data/SampleGenerator.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

// With KESTRUN_SCREENSHOTS set, the windows are saved there as PNG for a look.
void keepScreenshot(QWidget *w, const QString &name)
{
    const QString folder = qEnvironmentVariable("KESTRUN_SCREENSHOTS");
    if (!folder.isEmpty()) {
        QDir().mkpath(folder);
        w->grab().save(folder + u'/' + name + QStringLiteral(".png"));
    }
}

QString lastAction(const QString &data)
{
    Dbf t = Dbf::open(data + QStringLiteral("/Log.dbf"));
    return t.recordCount() ? t.text(t.recordCount() - 1, t.fieldIndex(u"ACTIUNE")) : QString();
}

int requestsInMonth(const QString &data, int code)
{
    Dbf t = Dbf::open(data + QStringLiteral("/Cereri.dbf"));
    const int month = t.fieldIndex(u"LUNACRT");
    int n = 0;
    for (qint64 r = 0; r < t.recordCount(); ++r)
        n += !t.isDeleted(r) && int(t.number(r, month)) == code;
    return n;
}

TEST(Program, StartsOverASampleFolderAndListsTheMonthsRequests)
{
    testApp();
    const auto dir = scratchDir("app");
    const QString home = dir->path() + QStringLiteral("/Kestrun");
    qputenv("HOME", dir->path().toLocal8Bit());
    qputenv("KESTRUN_HOME", home.toLocal8Bit());
    const QString data = home + QStringLiteral("/Data");
    QDir().mkpath(data);
    const SampleGenerator::Summary sample = SampleGenerator::generate({data, 11, 400});
    ASSERT_GE(sample.months.size(), 2);

    ASSERT_TRUE(KestrunApp::start({QStringLiteral("kestrun")}));
    TForm3 &w = Form3();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Kestrun"));
    EXPECT_EQ(w.statusText(), QStringLiteral("Lucru local."));
    EXPECT_EQ(Form1().DataDir(), data);
    EXPECT_FALSE(Form4().Localit->text().isEmpty());
    EXPECT_EQ(lastAction(data), QStringLiteral("Pornire program"));
    // Qt's own dialogs speak Romanian: a folder chooser's buttons.
    {
        QFileDialog chooser(nullptr, QStringLiteral("Alegeti directorul unde punem Raportul"));
        chooser.setOption(QFileDialog::DontUseNativeDialog);
        chooser.setFileMode(QFileDialog::Directory);
        const QDialogButtonBox *buttons = chooser.findChild<QDialogButtonBox *>();
        ASSERT_NE(buttons, nullptr);
        EXPECT_EQ(buttons->button(QDialogButtonBox::Open)->text(), QStringLiteral("&Alege"));
        EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Renunță"));
        keepScreenshot(&chooser, QStringLiteral("folder-chooser"));
    }
    // ... and so does the print setup, whose texts changed from Qt 5 to Qt 6.
    {
        QPrinter printer;
        QPrintDialog setup(&printer);
        QStringList texts;
        for (const QGroupBox *box : setup.findChildren<QGroupBox *>())
            texts << box->title();
        for (const QComboBox *combo : setup.findChildren<QComboBox *>())
            for (int i = 0; i < combo->count(); ++i)
                texts << combo->itemText(i);
        EXPECT_TRUE(texts.contains(QStringLiteral("Tipărire față-verso"))) << texts.join(u'|').toStdString();
        EXPECT_TRUE(texts.contains(QStringLiteral("Toate paginile"))) << texts.join(u'|').toStdString();
        // Its printer properties too: the page order and the job's schedule.
        QStringList properties;
        QTimer::singleShot(0, [&properties] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            keepScreenshot(dialog, QStringLiteral("printer-properties"));
            for (const QComboBox *combo : dialog->findChildren<QComboBox *>())
                for (int i = 0; i < combo->count(); ++i)
                    properties << combo->itemText(i);
            dialog->reject();
        });
        QPushButton *propertiesButton = setup.findChild<QPushButton *>(QStringLiteral("properties"));
        ASSERT_NE(propertiesButton, nullptr);
        propertiesButton->click();
        for (const char *romanian : {"De la stânga la dreapta, de sus în jos", "Tipărește imediat"})
            EXPECT_TRUE(properties.contains(QString::fromUtf8(romanian))) << properties.join(u'|').toStdString();
    }
    // The editable templates the program carries were written into the data folder.
    ASSERT_TRUE(Templates::names().contains(QStringLiteral("Stabilire.rtf")));
    EXPECT_TRUE(QFile::exists(data + QStringLiteral("/Stabilire.rtf")));
    EXPECT_TRUE(QFile::exists(data + QStringLiteral("/Stat.xls")));
    // The month list, newest first, and no month chosen yet.
    ASSERT_EQ(w.LuniC->count(), sample.months.size());
    EXPECT_EQ(w.LuniC->itemText(0), sample.months.last());
    EXPECT_TRUE(w.LunaLucru->text().isEmpty());

    // The clerk types a month of the list and presses Enter.
    const QString month = sample.months.at(sample.months.size() - 2);
    w.LuniC->lineEdit()->setText(month);
    QTest::keyClick(w.LuniC->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(w.LunaLucru->text(), month);
    keepScreenshot(&w, QStringLiteral("main-window"));

    // "Cereri" opens the list modally; look at it while it is open, then close it.
    const int expected = requestsInMonth(data, MonthCode::index(month));
    ASSERT_GT(expected, 0);
    int listed = -1;
    QString firstName;
    bool shown = false;
    QTimer::singleShot(0, [&] {
        TCereriF &list = CereriF();
        shown = list.isVisible();
        listed = list.Grid->gridModel()->rowCount();
        firstName = list.C1->FieldByName(QStringLiteral("TITULAR"))->AsString();
        list.resize(1100, 620);
        keepScreenshot(&list, QStringLiteral("request-list"));
        list.accept();
    });
    RecordingDialogs dialogs; // any error would be recorded instead of blocking
    ASSERT_TRUE(w.commandBar() != nullptr);
    for (const char *entry : {"Formularul F 2201 ANAF - XML", "Export Date ANPIS - XML"})
        EXPECT_NE(w.command(QLatin1String(entry)), nullptr) << entry;
    w.cereriButton()->click();
    EXPECT_TRUE(dialogs.messages.isEmpty()) << (dialogs.messages.isEmpty() ? std::string() : dialogs.messages[0].text.toStdString());
    EXPECT_TRUE(shown);
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(CereriF().NrCereri->text(), QStringLiteral("Numar cereri: %1").arg(expected));
    EXPECT_FALSE(firstName.isEmpty());
    EXPECT_FALSE(CereriF().C1->Active()); // closed again with the form

    w.close();
    KestrunApp::finish();
    EXPECT_EQ(lastAction(data), QStringLiteral("Inchidere Program."));
    EXPECT_FALSE(QFileInfo::exists(home + QStringLiteral("/Temp")));
}

TEST(Program, AnExitLogThatCannotBeWrittenStillOffersTheBackup)
{
    testApp();
    const auto dir = scratchDir("app");
    const QString home = dir->path() + QStringLiteral("/Kestrun");
    qputenv("HOME", dir->path().toLocal8Bit());
    qputenv("KESTRUN_HOME", home.toLocal8Bit());
    const QString data = home + QStringLiteral("/Data");
    // A folder where the log table should be: the exit line cannot be written.
    QDir().mkpath(data + QStringLiteral("/Log.dbf"));
    writeBytes(data + QStringLiteral("/Cereri.dbf"), "requests");
    Form1().setFolders(home, data, home + QStringLiteral("/Temp"));
    const QString backups = dir->path() + QStringLiteral("/backups");
    TForm1::WriteMachine(QStringLiteral("Salvare"), backups);

    RecordingDialogs dialogs;
    dialogs.answers = {TErori::ResultOK, TErori::ResultDa};
    // The backup just written is offered to the remote service; the user closes that dialog.
    QString offered;
    QTimer::singleShot(0, [&offered] {
        offered = NetF().fileToSend();
        NetF().reject();
    });
    KestrunApp::finish();
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[0].kind, 1);
    EXPECT_EQ(dialogs.messages[1].text, QStringLiteral("\rDoriti sa facem o copie la datele de azi?"));
    const QStringList written = QDir(backups).entryList(QDir::Files);
    ASSERT_EQ(written.size(), 1);
    EXPECT_EQ(DataArchive::readFile(backups + u'/' + written[0]).size(), 1);
    EXPECT_EQ(offered, backups + u'/' + written[0]);
    EXPECT_FALSE(QFileInfo::exists(home + QStringLiteral("/Temp")));
}

} // namespace
