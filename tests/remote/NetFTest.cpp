#include "LoopbackBackupServer.h"
#include "RemoteWorld.h"
#include "RemoteTestSupport.h"

#include "core/DataArchive.h"
#include "core/Form1.h"
#include "core/RecordingDialogs.h"
#include "core/TestSupport.h"
#include "grid/ExDBGrid.h"
#include "tables/RequestTables.h"
#include "remote/BackupExchange.h"
#include "remote/NetF.h"
#include "remote/RemoteSettings.h"
#include "remote/RequestFile.h"
#include "remote/StocQuery.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <functional>

#include <gtest/gtest.h>

namespace {

class NetTest : public RemoteWorld
{
protected:
    void SetUp() override
    {
        RemoteWorld::SetUp();
        http->body = "127.0.0.1\r\n";
        fresh();
    }

    // A new dialog and a new server.
    void fresh()
    {
        netHolder.reset();
        netHolder = std::make_unique<TNetF>();
        net = netHolder.get();
        server = std::make_unique<LoopbackBackupServer>();
        TForm1::WriteMachine(RemoteSettings::BackupPortKey, QString::number(server->port()));
        net->terminate = [this] { ++terminated; };
        net->askNote = [this] { return note; };
        net->askPassword = [this] { return newPassword; };
        net->Net->Asteptare.setInterval(60000);
    }

    // Fills the login panel as the dialog's user would.
    void fillLogin(const QString &email, const QString &password, bool remember = false)
    {
        net->Prepare(file);
        net->Email->setText(email);
        net->Pass->setText(password);
        net->MemoCheck->setChecked(remember);
    }

    void login(const QString &email, const QString &password, bool remember = false)
    {
        fillLogin(email, password, remember);
        keepScreenshot(net, QStringLiteral("remote-login"));
        net->LoginBClick();
    }

    QStringList messages() const
    {
        QStringList out;
        for (const MessageSpec &m : dialogs.messages)
            out << m.title + u'|' + m.text.trimmed();
        return out;
    }

    // Nothing of an exchange stays in the temporary folder.
    QStringList leftovers() const
    {
        return QDir(home + QStringLiteral("/Temp/TmpRuva")).entryList(QDir::Files | QDir::Hidden);
    }

    std::unique_ptr<LoopbackBackupServer> server;
    RecordingDialogs dialogs;
    std::unique_ptr<TNetF> netHolder; // made once the application exists
    TNetF *net = nullptr;
    QString file;
    QString note;
    QString newPassword;
    int terminated = 0;
};

TEST_F(NetTest, AccountUploadListDeleteAndRestore)
{
    login(QStringLiteral("ana@primarie.ro"), QStringLiteral("secret"), true);
    EXPECT_EQ(net->shownPanels(), QStringLiteral("01100")) << "an unconfirmed account asks for the code";
    EXPECT_EQ(server->lastUserName, QStringLiteral("092ana@primarie.ro"));
    EXPECT_EQ(server->lastRoom.size(), 140);
    EXPECT_TRUE(server->lastRoom.startsWith(QStringLiteral("secret") + QString(34, u' ')));
    // Remembered as three digits per character.
    EXPECT_EQ(Form1().ReadLocal(QStringLiteral("CONST"), QStringLiteral("PS")), QStringLiteral("115101099114101116"));
    EXPECT_EQ(net->DataInL->text(), QStringLiteral("01.12.2026"));

    net->CodConf->setText(QStringLiteral("1"));
    net->CheckCodBClick();
    EXPECT_EQ(messages().value(0), QStringLiteral("Verificare Cod|Codul introdus este incorect!"));
    net->CodConf->setText(QStringLiteral("4217"));
    net->CheckCodBClick();
    EXPECT_EQ(server->requests.last(), (QStringList{"/CHECKCOD 004217", "/INFO"}));
    EXPECT_EQ(net->shownPanels(), QStringLiteral("00110"));

    writeBytes(data + QStringLiteral("/Luni.lst"), "12.2026\r\n");
    note = QString(150, u'n');
    net->SaveButClick();
    note.clear();
    net->SaveButClick();
    ASSERT_EQ(server->copies.size(), 2);
    EXPECT_EQ(server->copies[0].obs, QString(120, u'n'));
    EXPECT_EQ(server->copies[1].obs, QStringLiteral("***"));
    EXPECT_EQ(DataArchive::decode(server->copies[1].archive).size(), QDir(data).entryList(QDir::Files).size());

    net->LoadButClick();
    EXPECT_EQ(net->shownPanels(), QStringLiteral("00101"));
    ASSERT_EQ(net->S1->RecordCount(), 2);
    EXPECT_EQ(net->S1->FieldByName(QStringLiteral("DATAS"))->AsString(), QStringLiteral("01.12.2026"));
    EXPECT_EQ(net->S1->FieldByName(QStringLiteral("ORAS"))->AsString(), QStringLiteral("12:00:00"));
    keepScreenshot(net, QStringLiteral("remote-copies"));

    dialogs.answers = {6};
    net->Grid->selectRow(0);
    net->DelSBClick();
    EXPECT_EQ(server->copies.size(), 1);
    EXPECT_EQ(net->S1->RecordCount(), 1);
    EXPECT_TRUE(net->LoadSB->isEnabled());

    // Restoring replaces the data folder with the copy and ends the program.
    QFile::remove(data + QStringLiteral("/Luni.lst"));
    dialogs.answers = {6};
    net->LoadSBClick();
    EXPECT_EQ(terminated, 1);
    EXPECT_EQ(readBytes(data + QStringLiteral("/Luni.lst")), QByteArray("12.2026\r\n"));
    EXPECT_FALSE(QFile::exists(home + QStringLiteral("/Temp/Stoc.dbf")));
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(u',').toStdString();
}

TEST_F(NetTest, PasswordsWrongChangedRemembered)
{
    server->accounts[QStringLiteral("ion@primarie.ro")] = {QStringLiteral("bun"), true};
    login(QStringLiteral("ion@primarie.ro"), QStringLiteral("rau"), true);
    EXPECT_FALSE(net->SendPassB->isHidden());
    // Reading stopped at "/PASS no": the message after it is not shown.
    EXPECT_EQ(messages(), QStringList{QStringLiteral("Conectare la server|Parola este incorecta!")});

    login(QStringLiteral("ion@primarie.ro"), QStringLiteral("bun"), true);
    EXPECT_EQ(net->shownPanels(), QStringLiteral("00110"));
    newPassword = QStringLiteral("nou");
    net->PassChangeBClick();
    EXPECT_EQ(server->accounts[QStringLiteral("ion@primarie.ro")].password, QStringLiteral("nou"));
    // The next login, remembered or typed, uses the new password.
    net->Prepare({});
    EXPECT_EQ(net->Pass->text(), QStringLiteral("nou"));

    // Enter on the check box moves on to the login button.
    net->MemoCheck->setFocus();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(net->MemoCheck, &enter);
    EXPECT_EQ(net->focusWidget(), net->LoginB);

    // Not remembering forgets the stored e-mail and password.
    login(QStringLiteral("ion@primarie.ro"), QStringLiteral("nou"), false);
    EXPECT_EQ(Form1().ReadLocal(QStringLiteral("CONST"), QStringLiteral("EM")), QString());
    EXPECT_EQ(Form1().ReadLocal(QStringLiteral("CONST"), QStringLiteral("PS")), QString());
    EXPECT_EQ(TNetF::DecodeDigits(TNetF::EncodeDigits(QStringLiteral("\u0219ef@x.ro"))), QStringLiteral("\u015Fef@x.ro"));
}

TEST_F(NetTest, ExchangeEndingsAndRefusedReplies)
{
    using M = LoopbackBackupServer::Misbehave;
    struct Case
    {
        const char *name;
        M misbehave;
        bool sent;       // the reply came whole
        QString error;   // the exchange's reason
        bool replyRead;  // the reply was accepted
        int blockSize = 4096;
    };
    const Case cases[] = {
        {"not let in", M::NotLetIn, false, QStringLiteral("Serverul nu raspunde!"), false},
        {"never accepted", M::NoAccept, false, QStringLiteral("Timp de asteptare prea mare!"), false},
        {"request denied", M::DenyRequest, false, QStringLiteral("Eroare la transmisie."), false},
        {"drop while sending", M::DropWhileSending, false, QStringLiteral("Eroare la transmisie."), false},
        {"no reply", M::StallReply, false, QStringLiteral("Oprire fortata."), false},
        {"drop while replying", M::DropWhileReplying, false, QStringLiteral("Eroare la transmisie."), false},
        {"reply longer than announced", M::OverlongReply, false, QStringLiteral("Eroare la transmisie."), false},
        {"server keeps the connection", M::KeepConnection, true, {}, true},
        {"attachment outside the folder", M::BadAttachName, true, {}, false},
        {"attachment sizes do not add up", M::BadAttachSize, true, {}, false},
        {"reply one byte longer than a block", M::None, true, {}, true, -1},
    };
    server->accounts[QStringLiteral("ion@primarie.ro")] = {QStringLiteral("bun"), true};
    server->copies.append({7, 46357.0, QStringLiteral("x"), QByteArray(200000, 'a')});
    net->Email->setText(QStringLiteral("ion@primarie.ro"));
    net->Pass->setText(QStringLiteral("bun"));
    net->Net->Asteptare.setInterval(400);
    for (const Case &c : cases) {
        server->misbehave = c.misbehave;
        server->blockSize = c.blockSize;
        net->NewCommand();
        net->Commands() << QStringLiteral("/GET_FILE 7");
        net->WriteCommandFile();
        const bool sent = net->SendCommand();
        EXPECT_EQ(sent, c.sent) << c.name;
        EXPECT_EQ(net->Net->lastError(), c.error) << c.name;
        EXPECT_FALSE(net->Net->Cli1.Connected()) << c.name;
        if (sent) {
            EXPECT_EQ(net->ReadReply(), c.replyRead) << c.name;
        }
        EXPECT_FALSE(QFile::exists(home + QStringLiteral("/Tolvard.set"))) << c.name;
        EXPECT_TRUE(leftovers().isEmpty()) << c.name << ": " << leftovers().join(u',').toStdString();
    }
    // Without the address file there is no server to ask.
    http->status = 404;
    net->NewCommand();
    net->WriteCommandFile();
    EXPECT_FALSE(net->SendCommand());
    EXPECT_EQ(net->Net->lastError(), QStringLiteral("Nu aveti internet!"));
}

TEST_F(NetTest, RefusedCommandsChangeNothingHere)
{
    using M = LoopbackBackupServer::Misbehave;
    enum Start { LoggedOut, CodeAsked, Account, Copies };
    const QString passwordRefused = QStringLiteral("Conectare la server|Parola este incorecta!");
    const struct
    {
        const char *name;
        Start start;
        M misbehave;
        std::function<void(TNetF &)> click;
        QStringList messages; // after the question, when the command asks one
        QString panels;       // shown afterwards
    } cases[] = {
        // The list and its file stay until the data are replaced.
        {"restore, reply lost", Copies, M::DropWhileReplying, &TNetF::LoadSBClick,
         {QStringLiteral("Transmitere date|Eroare la transmisie.")}, QStringLiteral("00101")},
        // The login panel comes back with its button, the account as it was.
        {"list, password refused", Account, M::RefusePassword, &TNetF::LoadButClick, {passwordRefused},
         QStringLiteral("10110")},
        {"list, messages only", Account, M::MessagesOnly, &TNetF::LoadButClick,
         {QStringLiteral("Mesaj de la Server|Serviciul este in lucru."),
          QStringLiteral("Transmitere date|Serverul nu a trimis fisierul Stoc.dbf.")},
         QStringLiteral("00110")},
        // The account is confirmed, but a refused reply says nothing about it.
        {"login, reply refused", LoggedOut, M::BadAttachName, &TNetF::LoginBClick,
         {QStringLiteral("Transmitere date|Serverul a trimis un fisier cu nume nepermis: \"../Tolvard.set\".")},
         QStringLiteral("10000")},
        // The right code, but a refused reply: no word about a wrong code.
        {"code check, reply refused", CodeAsked, M::BadAttachSize, &TNetF::CheckCodBClick,
         {QStringLiteral("Transmitere date|Fisierul Nota.txt anuntat de server (5 octeti) depaseste raspunsul primit.")},
         QStringLiteral("01100")},
        {"upload, password refused", Account, M::RefusePassword, &TNetF::SaveButClick,
         {passwordRefused, QStringLiteral("Salvare pe server|Salvarea nu s-a facut!")}, QStringLiteral("10110")},
        {"password change, password refused", Account, M::RefusePassword, &TNetF::PassChangeBClick, {passwordRefused},
         QStringLiteral("10110")},
        {"delete, password refused", Copies, M::RefusePassword, &TNetF::DelSBClick, {passwordRefused},
         QStringLiteral("10101")},
        {"restore, password refused", Copies, M::RefusePassword, &TNetF::LoadSBClick, {passwordRefused},
         QStringLiteral("10101")},
        // No file came: nothing is restored from it.
        {"restore, messages only", Copies, M::MessagesOnly, &TNetF::LoadSBClick,
         {QStringLiteral("Mesaj de la Server|Serviciul este in lucru."),
          QStringLiteral("Transmitere date|Serverul nu a trimis fisierul 7.")},
         QStringLiteral("00101")},
    };
    const QString email = QStringLiteral("ion@primarie.ro");
    const QString stoc = home + QStringLiteral("/Temp/Stoc.dbf");
    newPassword = QStringLiteral("nou");
    for (const auto &c : cases) {
        fresh();
        server->accounts[email] = {QStringLiteral("bun"), c.start != CodeAsked};
        server->copies = {{7, 46357.0, QStringLiteral("x"), QByteArray(100, 'a')},
                          {8, 46358.0, QStringLiteral("y"), QByteArray(100, 'b')}};
        if (c.start == LoggedOut)
            fillLogin(email, QStringLiteral("bun"));
        else
            login(email, QStringLiteral("bun"));
        net->CodConf->setText(server->accounts[email].code);
        if (c.start == Copies)
            net->LoadButClick();
        server->misbehave = c.misbehave;
        server->blockSize = 64; // a reply of several blocks
        int clickable = 0; // buttons that could start a second command meanwhile
        server->onRequest = [&] {
            for (const QPushButton *b : net->findChildren<QPushButton *>())
                clickable += b->isEnabled() && b->isVisibleTo(net);
        };
        dialogs.messages.clear();
        dialogs.answers = {6};
        c.click(*net);
        EXPECT_EQ(messages().mid(c.start == Copies ? 1 : 0), c.messages) << c.name;
        EXPECT_EQ(net->shownPanels(), c.panels) << c.name;
        EXPECT_EQ(!net->SendPassB->isHidden(), c.messages.first() == passwordRefused) << c.name;
        EXPECT_EQ(clickable, 0) << c.name;
        EXPECT_EQ(net->Pass->text(), QStringLiteral("bun")) << c.name;
        EXPECT_EQ(terminated, 0) << c.name;
        EXPECT_EQ(QFile::exists(stoc), c.start == Copies) << c.name;
        if (c.start == Copies) {
            EXPECT_EQ(net->S1->Active() ? net->S1->RecordCount() : -1, 2) << c.name;
            EXPECT_TRUE(net->LoadSB->isEnabled()) << c.name;
        }
        QFile::remove(stoc);
    }
}

TEST_F(NetTest, LongUploadArrivesWholeOrIsReportedLost)
{
    // One block for each ask of the server; the last block is short.
    const int block = BackupExchange::BlockSize;
    QByteArray archive(6 * block + 1234, Qt::Uninitialized);
    for (qsizetype i = 0; i < archive.size(); ++i)
        archive[i] = char(i * 7 + i / 251);
    const QString archivePath = home + QStringLiteral("/Arhiva.zip");
    writeBytes(archivePath, archive);
    const QString request = home + QStringLiteral("/Comanda.tmp");
    BackupExchange exchange;
    exchange.serverAddress = [] { return QStringLiteral("127.0.0.1"); };
    exchange.email = QStringLiteral("ana@primarie.ro");
    exchange.password = QStringLiteral("secret");

    using M = LoopbackBackupServer::Misbehave;
    const struct
    {
        const char *name;
        M misbehave;
        QString error;
    } cases[] = {
        {"whole", M::None, {}},
        {"dropped after the first block", M::DropWhileSending, QStringLiteral("Eroare la transmisie.")},
        // Blocks sent ahead would come while the server has not yet asked.
        {"asked slowly", M::AskSlowly, {}},
    };
    for (const auto &c : cases) {
        server->misbehave = c.misbehave;
        server->copies.clear();
        server->uploadBlocks.clear();
        RequestFile::write(request, {QStringLiteral("/PUT_FILE lung")}, {archivePath});
        const qsizetype requestSize = QFileInfo(request).size();
        EXPECT_EQ(exchange.SendCommand(request), c.error.isEmpty()) << c.name;
        EXPECT_EQ(exchange.lastError(), c.error) << c.name;
        EXPECT_FALSE(QFile::exists(request)) << c.name;
        EXPECT_EQ(server->unaskedBlocks, 0) << c.name;
        if (!c.error.isEmpty())
            continue;
        ASSERT_EQ(server->copies.size(), 1);
        EXPECT_TRUE(server->copies[0].archive == archive);
        const QList<qsizetype> blocks = server->uploadBlocks;
        ASSERT_EQ(blocks.size(), requestSize / block + 1);
        EXPECT_EQ(blocks.count(block), blocks.size() - 1);
        EXPECT_EQ(blocks.last(), requestSize % block);
        QFile::remove(exchange.replyPath());
    }
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(u',').toStdString();
}

TEST_F(NetTest, ServerAddressLength)
{
    const QList<std::pair<QByteArray, QString>> cases = {
        {"1.2.3.4\r\n", QStringLiteral("1.2.3.4")},
        {"1.2.34\r\n", QString()},                     // 6 characters
        {"  123.123.123.123.12345\r\nx", QString()},   // 21
        {"123.123.123.123.1234\r\n", QStringLiteral("123.123.123.123.1234")}, // 20
    };
    for (const auto &[body, want] : cases) {
        http->body = body;
        EXPECT_EQ(TNetF::ServerAddress(), want) << body.constData();
    }
}

} // namespace
