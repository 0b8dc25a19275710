#include "RemoteWorld.h"
#include "RemoteTestSupport.h"

#include "core/Form1.h"
#include "core/RecordingDialogs.h"
#include "core/TestSupport.h"
#include "remote/EditPassF.h"
#include "remote/LogView.h"
#include "remote/RemoteSettings.h"
#include "remote/Sugestii.h"
#include "remote/WebDownload.h"
#include "core/ActionLog.h"
#include "grid/ExDBGrid.h"
#include "tables/RequestTables.h"
#include "platform/sql/TQuery.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

using WebTest = RemoteWorld;

TEST_F(WebTest, DownloadWritesOnlyAWholeSuccessfulBody)
{
    struct Case
    {
        const char *name;
        int status;
        LoopbackHttp::Mode mode;
        QString destination;
        int want;
    };
    const QString target = home + QStringLiteral("/adr.txt");
    const Case cases[] = {
        {"ok", 200, LoopbackHttp::Mode::Normal, target, DownloadOk},
        {"not found", 404, LoopbackHttp::Mode::Normal, target, DownloadFailed},
        {"server error", 500, LoopbackHttp::Mode::Normal, target, DownloadFailed},
        {"body cut short", 200, LoopbackHttp::Mode::CutBody, target, DownloadFailed},
        {"folder missing", 200, LoopbackHttp::Mode::Normal, home + QStringLiteral("/nu/adr.txt"), DownloadCannotWrite},
    };
    for (const Case &c : cases) {
        writeBytes(target, "vechi");
        http->status = c.status;
        http->mode = c.mode;
        http->body = "127.0.0.1\r\n";
        EXPECT_EQ(DownloadUrlToFile(http->base() + QStringLiteral("/f"), c.destination), c.want) << c.name;
        // A failure leaves the old file as it was, and no temporary file behind.
        EXPECT_EQ(readBytes(target), c.want == DownloadOk ? QByteArray("127.0.0.1\r\n") : QByteArray("vechi")) << c.name;
        EXPECT_EQ(QDir(home).entryList(QDir::Files | QDir::Hidden).size(), 1) << c.name;
    }
    // Nobody listening.
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost, 0);
    const quint16 port = closed.serverPort();
    closed.close();
    EXPECT_EQ(DownloadUrlToFile(QStringLiteral("http://127.0.0.1:%1/f").arg(port), target), DownloadFailed);
}

TEST_F(WebTest, QueryValuesArePercentEncoded)
{
    const QString q = TSugestii::BuildQuery(QStringLiteral("Ion"), QStringLiteral("B\u0103lte\u015Fti / NT"),
                                            QStringLiteral("0722123456"), QStringLiteral("a@b.ro"),
                                            {QStringLiteral("1+1 & \"x\""), QStringLiteral("#100%")});
    // Blanks go as "+", everything not plain as %XX of its CP1250 byte: a
    // typed "+", "&", "#" or "%" can no longer cut or change the query.
    EXPECT_EQ(q, QStringLiteral("nume=Mirelon+%3A+Ion&comuna=B%E3lte%BAti+%2F+NT&telefon_fax=0722123456&mail=a%40b.ro"
                                "&produs=1%2B1+%26+x%0D%0A%23100%25"));
}

TEST_F(WebTest, SuggestionSentChecksAndRemembers)
{
    RecordingDialogs dialogs;
    TSugestii &s = Sugestii();
    struct Case
    {
        const char *name;
        QString person;
        QString text;
        QByteArray reply;
        QString balloon;  // refused entry
        bool success;
    };
    const Case cases[] = {
        {"two lines of 2 and 8", QStringLiteral("Ion"), QStringLiteral("ab\n12345678"), "Mesaj primit: SUCCES", {}, true},
        {"one line of 9", QStringLiteral("Ion"), QStringLiteral("123456789"), {}, QStringLiteral("Sugestia dvs e prea scurta!"), false},
        {"name of 2", QStringLiteral("Io"), QStringLiteral("1234567890"), {}, QStringLiteral("Nume incorect!"), false},
        {"lower-case reply", QStringLiteral("Ion"), QStringLiteral("1234567890"), "succes", {}, false},
        {"empty reply", QStringLiteral("Ion"), QStringLiteral("1234567890"), "", {}, false},
    };
    for (const Case &c : cases) {
        TForm1::WriteMachine(QStringLiteral("SugestieNume"), QString());
        dialogs.messages.clear();
        dialogs.balloons.clear();
        http->targets.clear();
        http->body = c.reply;
        s.Prepare();
        s.nume->setText(c.person);
        s.telefon_fax->setText(QStringLiteral("0722123456"));
        s.mail->setText(QStringLiteral("ion@primarie.ro"));
        s.produs->setPlainText(c.text);
        keepScreenshot(&s, QStringLiteral("suggestion"));
        s.MemoButClick();
        EXPECT_EQ(s.AfterClose(), c.success) << c.name;
        if (!c.balloon.isEmpty()) {
            ASSERT_EQ(dialogs.balloons.size(), 1) << c.name;
            EXPECT_EQ(dialogs.balloons[0].text, c.balloon) << c.name;
            EXPECT_TRUE(http->targets.isEmpty()) << c.name;
            continue;
        }
        ASSERT_EQ(http->targets.size(), 1) << c.name;
        EXPECT_TRUE(http->targets[0].startsWith("/sugestii.php?nume=Mirelon+%3A+Ion&comuna=")) << c.name;
        ASSERT_EQ(dialogs.messages.size(), 1) << c.name;
        EXPECT_EQ(dialogs.messages[0].kind, c.success ? 2 : 1) << c.name;
        EXPECT_EQ(TForm1::ReadMachine(QStringLiteral("SugestieNume")), c.success ? QStringLiteral("Ion") : QString()) << c.name;
        EXPECT_FALSE(QFile::exists(home + QStringLiteral("/rezultat.txt"))) << c.name;
    }
}

TEST_F(WebTest, LogViewAndPasswordDialog)
{
    TLogView &log = LogView();
    log.Prepare();
    EXPECT_EQ(log.Grid->gridModel()->rowCount(), 0);
    ActionLog::write(data, QStringLiteral("Pornire program"));
    log.Prepare();
    EXPECT_EQ(log.Grid->gridModel()->rowCount(), 1);
    EXPECT_EQ(log.Grid->currentRow(), 0);
    EXPECT_EQ(log.Lx->FieldByName(QStringLiteral("ACTIUNE"))->AsString(), QStringLiteral("Pornire program"));
    keepScreenshot(&log, QStringLiteral("log-view"));
    log.Lx->Close();

    RecordingDialogs dialogs;
    TEditPassF &p = EditPassF();
    p.Prepare();
    p.PassN->setText(QStringLiteral("    "));
    p.MemoButClick();
    EXPECT_NE(p.result(), QDialog::Accepted);
    ASSERT_EQ(dialogs.balloons.size(), 1);
    EXPECT_EQ(dialogs.balloons[0].text, QStringLiteral("Nu ati scris nicio parola!"));
    p.CloseBut->click();
    EXPECT_NE(p.result(), QDialog::Accepted);
    p.Prepare();
    p.PassN->setText(QStringLiteral("  noua  parola "));
    p.MemoButClick();
    EXPECT_EQ(p.result(), QDialog::Accepted);
    // As the login will send it.
    EXPECT_EQ(p.NewPassword(), QStringLiteral("noua parola"));
}

} // namespace
