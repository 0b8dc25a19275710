#include "remote/NetF.h"

#include "controls/StyledProgressBar.h"
#include "core/CommandGuard.h"
#include "core/Erori.h"
#include "core/Form1.h"
#include "core/Form21.h"
#include "core/Form4.h"
#include "grid/ExDBGrid.h"
#include "platform/codepage/Cp1250.h"
#include "platform/io/DurableFile.h"
#include "platform/io/KestrunError.h"
#include "platform/sql/SqlQuote.h"
#include "remote/BackupExchange.h"
#include "remote/EditPassF.h"
#include "remote/RemoteSettings.h"
#include "remote/ReplyFile.h"
#include "remote/RequestFile.h"
#include "remote/StocQuery.h"
#include "remote/WebDownload.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QVBoxLayout>

namespace {

const QString Const = QStringLiteral("CONST");
const QString TransmitTitle = QStringLiteral("Transmitere date");

QFrame *panel(QWidget *parent)
{
    auto *p = new QFrame(parent);
    p->setFrameShape(QFrame::StyledPanel);
    return p;
}

} // namespace

TNetF &NetF()
{
    static TNetF *instance = new TNetF;
    return *instance;
}

TNetF::TNetF(QWidget *parent)
    : QDialog(parent), Panel2(panel(this)), Email(new QLineEdit(Panel2)), Pass(new QLineEdit(Panel2)),
      LoginB(new QPushButton(QStringLiteral("Conectare la cont"), Panel2)),
      MemoCheck(new QCheckBox(QStringLiteral("Memoreaza-mi datele"), Panel2)),
      SendPassB(new QPushButton(QStringLiteral("Trimte-mi parola pe email !"), Panel2)), Panel1(panel(this)),
      CodConf(new QLineEdit(QStringLiteral("0"), Panel1)),
      CheckCodB(new QPushButton(QStringLiteral("Verifica Codul din e-mail"), Panel1)), Panel4(panel(this)),
      EmailL(new QLabel(Panel4)), PassOkL(new QLabel(QStringLiteral("XXXXXXXX"), Panel4)), DataInL(new QLabel(Panel4)),
      PassChangeB(new QPushButton(QStringLiteral("Schimba Parola"), Panel4)), Panel5(panel(this)),
      SaveBut(new QPushButton(QStringLiteral("Salveaza o copie a datelor"), Panel5)),
      LoadBut(new QPushButton(QStringLiteral("Incarca o salvare anterioara"), Panel5)), Panel6(panel(this)),
      Grid(new TExDBGrid(Panel6)), LoadSB(new QPushButton(QStringLiteral("Incarca datele in program"), Panel6)),
      DelSB(new QPushButton(QStringLiteral("Sterge salvarea"), Panel6)),
      BackBut(new QPushButton(QStringLiteral("Inapoi"), Panel6)), Panel3(panel(this)), Descr(new QLabel(Panel3)),
      Bar1(new TStyledProgressBar(Panel3)), S1(new StocQuery), Sx(new TQuery), Net(new BackupExchange(this)), m_s1(S1),
      m_sx(Sx)
{
    setWindowTitle(QStringLiteral("Copie / Recupereaza date la Distanta"));
    setMinimumWidth(540);
    Email->setMaxLength(100);
    Pass->setMaxLength(40);
    Pass->setEchoMode(QLineEdit::Password);
    CodConf->setMaxLength(8);
    CodConf->setValidator(new QIntValidator(0, 99999999, CodConf));
    SendPassB->hide();
    for (QLineEdit *e : {Email, Pass, CodConf})
        connect(e, &QLineEdit::returnPressed, this, [this] { focusNextChild(); });
    // In the order they stand on the login panel.
    setTabOrder(Pass, MemoCheck);
    setTabOrder(MemoCheck, LoginB);

    auto *login = new QGridLayout(Panel2);
    login->addWidget(new QLabel(QStringLiteral("E-mail"), Panel2), 0, 0);
    login->addWidget(Email, 0, 1);
    login->addWidget(new QLabel(QStringLiteral("Parola"), Panel2), 1, 0);
    login->addWidget(Pass, 1, 1);
    login->addWidget(MemoCheck, 2, 1);
    login->addWidget(LoginB, 3, 1);
    login->addWidget(SendPassB, 4, 1);
    auto *code = new QVBoxLayout(Panel1);
    code->addWidget(new QLabel(QStringLiteral("V-am trimis pe E-mail un cod de verificare!"), Panel1));
    code->addWidget(CodConf);
    code->addWidget(CheckCodB);
    auto *account = new QGridLayout(Panel4);
    account->addWidget(new QLabel(QStringLiteral("Contul dvs."), Panel4), 0, 0);
    account->addWidget(EmailL, 0, 1);
    account->addWidget(PassOkL, 1, 1);
    account->addWidget(new QLabel(QStringLiteral("Data crearii"), Panel4), 2, 0);
    account->addWidget(DataInL, 2, 1);
    account->addWidget(PassChangeB, 3, 1);
    auto *saveLoad = new QHBoxLayout(Panel5);
    saveLoad->addWidget(SaveBut);
    saveLoad->addWidget(LoadBut);
    Grid->setDataSet(S1);
    Grid->setColumns({{QStringLiteral("DATAS"), QStringLiteral("Data"), 90, Qt::AlignCenter},
                      {QStringLiteral("ORAS"), QStringLiteral("Ora"), 80, Qt::AlignCenter},
                      {QStringLiteral("OBS"), QStringLiteral("Observatii"), 320}});
    auto *copies = new QVBoxLayout(Panel6);
    copies->addWidget(Grid);
    auto *copyButtons = new QHBoxLayout;
    copyButtons->addWidget(LoadSB);
    copyButtons->addWidget(DelSB);
    copyButtons->addWidget(BackBut);
    copies->addLayout(copyButtons);
    auto *statusLayout = new QVBoxLayout(Panel3);
    statusLayout->addWidget(Descr);
    statusLayout->addWidget(Bar1);
    Panel3->hide();

    auto *layout = new QVBoxLayout(this);
    for (QFrame *p : {Panel2, Panel1, Panel4, Panel5, Panel6, Panel3})
        layout->addWidget(p);
    layout->addStretch(1);

    const auto guarded = [this](QPushButton *b, void (TNetF::*handler)()) {
        connect(b, &QPushButton::clicked, this, [this, handler] { CommandGuard::run(this, [this, handler] { (this->*handler)(); }); });
    };
    guarded(LoginB, &TNetF::LoginBClick);
    guarded(CheckCodB, &TNetF::CheckCodBClick);
    guarded(SendPassB, &TNetF::SendPassBClick);
    guarded(PassChangeB, &TNetF::PassChangeBClick);
    guarded(SaveBut, &TNetF::SaveButClick);
    guarded(LoadBut, &TNetF::LoadButClick);
    guarded(BackBut, &TNetF::BackButClick);
    guarded(DelSB, &TNetF::DelSBClick);
    guarded(LoadSB, &TNetF::LoadSBClick);
    connect(Net, &BackupExchange::status, Descr, &QLabel::setText);
    connect(Net, &BackupExchange::progress, this, [this](qint64 position, qint64 maximum) {
        // The bar counts in KiB so an archive of any size fits its range.
        Bar1->setMaximum(int(std::max<qint64>(1, maximum / 1024)));
        Bar1->setPosition(int(position / 1024));
    });
    Net->serverAddress = &TNetF::ServerAddress;
    terminate = [] { QApplication::quit(); };
    askNote = [this] {
        return QInputDialog::getText(this, QStringLiteral("Transmitere salvare"), QStringLiteral("Observatii"));
    };
    askPassword = [] { return EditPassF().Arata() ? EditPassF().NewPassword() : QString(); };
}

TNetF::~TNetF() = default;

void TNetF::Arata(const QString &file)
{
    Prepare(file);
    exec();
    S1->Close();
    Grid->refresh();
}

void TNetF::Prepare(const QString &file)
{
    ShowPanels(QStringLiteral("100000"));
    m_file = file;
    MemoCheck->setChecked(Form1().ReadSetting(Const, QStringLiteral("MEMOPASS")) == u"DA");
    Email->setText(MemoCheck->isChecked() ? DecodeDigits(Form1().ReadLocal(Const, QStringLiteral("EM"))) : QString());
    Pass->setText(MemoCheck->isChecked() ? DecodeDigits(Form1().ReadLocal(Const, QStringLiteral("PS"))) : QString());
    Email->setFocus();
}

void TNetF::ShowPanels(const QString &mask)
{
    const QString m = mask + QStringLiteral("00000");
    const QFrame *const panels[] = {Panel2, Panel1, Panel4, Panel5, Panel6};
    for (int i = 0; i < 5; ++i)
        const_cast<QFrame *>(panels[i])->setVisible(m[i] == u'1');
    adjustSize();
}

QString TNetF::shownPanels() const
{
    QString mask;
    for (const QFrame *p : {Panel2, Panel1, Panel4, Panel5, Panel6})
        mask += p->isHidden() ? u'0' : u'1';
    return mask;
}

QString TNetF::ServerAddress()
{
    QString path;
    try {
        path = Form1().TempFileName(QStringLiteral("Down"), QStringLiteral(".txt"));
    } catch (const std::exception &) {
        return {};
    }
    if (DownloadUrlToFile(RemoteSettings::addressFileUrl(), path) != DownloadOk)
        return {};
    QFile f(path);
    QString first;
    if (f.open(QIODevice::ReadOnly))
        first = Cp1250::decode(f.readLine(4096)).trimmed();
    f.close();
    QFile::remove(path);
    return first.size() >= 7 && first.size() <= 20 ? first : QString();
}

QString TNetF::EncodeDigits(const QString &text)
{
    QString out;
    for (char c : Cp1250::encode(text))
        out += QStringLiteral("%1").arg(uint(uchar(c)), 3, 10, QLatin1Char('0'));
    return out;
}

QString TNetF::DecodeDigits(const QString &text)
{
    QByteArray bytes;
    for (qsizetype i = 0; i + 3 <= text.size(); i += 3) {
        bool ok = false;
        const uint code = text.mid(i, 3).toUInt(&ok);
        if (ok && code <= 255)
            bytes.append(char(code));
    }
    return Cp1250::decode(bytes);
}

void TNetF::NewCommand()
{
    m_requestPath = Form1().TempFileName(QStringLiteral("Comanda"), QStringLiteral(".tmp"));
    m_commands.clear();
    m_attachments.clear();
}

void TNetF::WriteCommandFile()
{
    RequestFile::write(m_requestPath, m_commands, m_attachments);
    m_attachments.clear();
}

bool TNetF::SendCommand()
{
    Net->email = Email->text();
    Net->password = Pass->text();
    Net->locality = TForm1::CleanText(Form4().Localit->text() + u'/' + Form4().JudetC->currentText());
    Bar1->setPosition(0);
    // No second command while this one waits: every panel's buttons rest.
    QList<QFrame *> resting;
    for (QFrame *p : {Panel2, Panel1, Panel4, Panel5, Panel6})
        if (p->isEnabled()) {
            p->setEnabled(false);
            resting << p;
        }
    Panel3->show();
    adjustSize();
    const auto done = qScopeGuard([&] {
        Panel3->hide();
        for (QFrame *p : std::as_const(resting))
            p->setEnabled(true);
        adjustSize();
    });
    return Net->SendCommand(m_requestPath);
}

bool TNetF::exchange(const QStringList &commands, const QStringList &attachments)
{
    NewCommand();
    m_commands = commands;
    m_attachments = attachments;
    WriteCommandFile();
    if (SendCommand())
        return true;
    showTransferError();
    return false;
}

bool TNetF::command(const QStringList &commands, const QStringList &attachments)
{
    if (!exchange(commands, attachments))
        return false;
    SendPassB->hide();
    return ReadReply() && !passwordRefused();
}

bool TNetF::passwordRefused()
{
    if (SendPassB->isHidden())
        return false;
    // The login panel comes back above what is shown, with the button that has the password e-mailed.
    ShowPanels(u'1' + shownPanels().mid(1));
    TErori::Mesaj(QStringLiteral("Conectare la server"), QStringLiteral("\rParola este incorecta!"), 1, TErori::OK);
    return true;
}

bool TNetF::received(const QString &name)
{
    if (m_received.contains(name, Qt::CaseInsensitive))
        return true;
    TErori::Mesaj(TransmitTitle, QStringLiteral("\rServerul nu a trimis fisierul %1.").arg(name), 1, TErori::OK);
    return false;
}

void TNetF::showTransferError()
{
    TErori::Mesaj(TransmitTitle, u'\r' + Net->lastError(), 1, TErori::OK);
}

bool TNetF::ReadReply()
{
    const QString path = Net->replyPath();
    m_received.clear();
    ReplyFile reply;
    try {
        reply = ReplyFile::read(path);
    } catch (const ReplyError &e) {
        QFile::remove(path);
        TErori::Mesaj(TransmitTitle, u'\r' + e.text(), 1, TErori::OK);
        return false;
    }
    qsizetype upTo = reply.lines.size();
    for (qsizetype i = 0; i < reply.lines.size(); ++i) {
        const auto [keyword, argument] = ReplyFile::split(reply.lines[i]);
        if (keyword == u"/PASS" && argument.toUpper() == u"NO") {
            SendPassB->show();
            upTo = i; // the rest of the reply is not read
            break;
        }
        if (keyword == u"/CODCONF")
            CheckCodB->setVisible(argument == u"NO");
        else if (keyword == u"/DATAIN")
            DataInL->setText(argument);
        else if (keyword == u"/MSG_DLG")
            TErori::Mesaj(QStringLiteral("Mesaj de la Server"), u'\r' + argument, 2, TErori::OK);
    }
    try {
        QFile in(path);
        if (!in.open(QIODevice::ReadOnly))
            throw ReplyError(QStringLiteral("Nu pot citi raspunsul serverului %1.").arg(path));
        for (const ReplyFile::Attachment &a : std::as_const(reply.attachments)) {
            if (a.line >= upTo)
                break;
            in.seek(a.offset);
            DurableFile out(Form1().TempDir() + u'/' + a.name);
            for (qint64 left = a.size; left > 0;) {
                const QByteArray piece = in.read(std::min<qint64>(left, 1 << 20));
                if (piece.isEmpty())
                    throw ReplyError(QStringLiteral("Raspunsul serverului s-a terminat inainte de %1.").arg(a.name));
                out.write(piece);
                left -= piece.size();
            }
            out.commit();
            m_received << a.name;
            QApplication::processEvents();
        }
    } catch (const std::exception &e) {
        QFile::remove(path);
        TErori::Mesaj(TransmitTitle, u'\r' + KestrunError::textOf(e), 1, TErori::OK);
        return false;
    }
    QFile::remove(path);
    return true;
}

void TNetF::LoginBClick()
{
    Email->setText(TForm1::CleanText(Email->text()));
    if (!TForm1::CheckEmail(Email->text())) {
        TForm1::ShowProblem(QStringLiteral("Email incorect!!"), Email);
        return;
    }
    Pass->setText(TForm1::CleanText(Pass->text()));
    if (Pass->text().isEmpty()) {
        TForm1::ShowProblem(QStringLiteral("Lipseste parola!!"), Pass);
        return;
    }
    const bool remember = MemoCheck->isChecked();
    // Not remembering forgets what an earlier login stored.
    Form1().WriteLocal(Const, QStringLiteral("EM"), remember ? EncodeDigits(Email->text()) : QString());
    Form1().WriteLocal(Const, QStringLiteral("PS"), remember ? EncodeDigits(Pass->text()) : QString());
    Form1().WriteSetting(Const, QStringLiteral("MEMOPASS"), remember ? QStringLiteral("DA") : QStringLiteral("NU"));
    if (!command({QStringLiteral("/INFO")}))
        return;
    CodConf->setText(QStringLiteral("0"));
    EmailL->setText(Email->text());
    if (!CheckCodB->isHidden()) {
        ShowPanels(QStringLiteral("011000"));
        return;
    }
    ShowPanels(QStringLiteral("001100"));
    if (!m_file.isEmpty())
        SaveButClick();
}

void TNetF::CheckCodBClick()
{
    if (CodConf->text().size() > 6) {
        TForm1::ShowProblem(QStringLiteral("Cod incorect!"), CodConf);
        return;
    }
    const QString code = QStringLiteral("%1").arg(CodConf->text().toInt(), 6, 10, QLatin1Char('0'));
    if (!command({QStringLiteral("/CHECKCOD ") + code, QStringLiteral("/INFO")}))
        return;
    if (!CheckCodB->isHidden())
        TErori::Mesaj(QStringLiteral("Verificare Cod"), QStringLiteral("\rCodul introdus este incorect!"), 1, TErori::OK);
    else
        ShowPanels(QStringLiteral("00110"));
}

void TNetF::SendPassBClick()
{
    SendPassB->hide();
    command({QStringLiteral("/EMAIL_PASS")});
}

void TNetF::PassChangeBClick()
{
    const QString password = askPassword();
    if (password.isEmpty())
        return;
    if (!command({QStringLiteral("/SET_PASS ") + password}))
        return;
    // The next login, and the remembered one, use the new password.
    Pass->setText(password);
    if (MemoCheck->isChecked())
        Form1().WriteLocal(Const, QStringLiteral("PS"), EncodeDigits(password));
}

void TNetF::SaveButClick()
{
    if (!upload())
        TErori::Mesaj(QStringLiteral("Salvare pe server"), QStringLiteral("\rSalvarea nu s-a facut!"), 1, TErori::OK);
}

bool TNetF::upload()
{
    const QString archive = Form1().TempDir() + QStringLiteral("/Srv");
    if (QFile::exists(archive) && !QFile::remove(archive))
        return false;
    QString note;
    if (m_file.isEmpty()) {
        note = TForm1::CleanText(askNote());
        if (note.isEmpty())
            note = QStringLiteral("***");
        note = note.left(120);
        if (!Form21().SaveToArchive(archive))
            return false;
    } else {
        note = QStringLiteral("Salvare la inchiderea programului.");
        DurableFile copy(archive);
        RequestFile::appendFile(copy, m_file, QFileInfo(m_file).size());
        copy.commit();
    }
    const bool stored = command({QStringLiteral("/PUT_FILE ") + note}, {archive});
    QFile::remove(archive);
    if (!stored)
        return false;
    Descr->setText(QStringLiteral("Terminat."));
    if (!m_file.isEmpty())
        accept();
    return true;
}

QString TNetF::stocPath() const
{
    return Form1().TempDir() + QStringLiteral("/Stoc.dbf");
}

void TNetF::openCopies()
{
    S1->Close();
    S1->SQL().clear();
    S1->SQL() << QStringLiteral("SELECT IDSTOC, DATAORA, OBS") << QStringLiteral("FROM ") + SqlQuote::table(stocPath());
    S1->Open();
    Grid->refresh();
    const bool rows = S1->RecordCount() > 0;
    LoadSB->setEnabled(rows);
    DelSB->setEnabled(rows);
}

QString TNetF::selectedId() const
{
    return S1->Active() && S1->RecordCount() > 0 ? S1->FieldByName(QStringLiteral("IDSTOC"))->AsString() : QString();
}

void TNetF::LoadButClick()
{
    if (!command({QStringLiteral("/GET_STOC")}) || !received(QStringLiteral("Stoc.dbf")))
        return;
    ShowPanels(QStringLiteral("00101"));
    openCopies();
}

void TNetF::BackButClick()
{
    S1->Close();
    Grid->refresh();
    QFile::remove(stocPath());
    ShowPanels(QStringLiteral("00110"));
}

void TNetF::DelSBClick()
{
    const QString id = selectedId();
    if (id.isEmpty()
        || TErori::Mesaj(QStringLiteral("Stergere Salvare"), QStringLiteral("\rDoriti sa stergeti salvarea selectata?"), 0,
                         TErori::Da | TErori::Nu)
               != TErori::ResultDa)
        return;
    const double number = S1->FieldByName(QStringLiteral("IDSTOC"))->AsFloat();
    if (!command({QStringLiteral("/DEL ") + id}))
        return;
    // The copy leaves the list here; the list is not fetched again.
    S1->Close();
    Sx->SQL().clear();
    Sx->SQL() << QStringLiteral("DELETE FROM ") + SqlQuote::table(stocPath())
              << QStringLiteral("WHERE IDSTOC=") + SqlQuote::number(number);
    Sx->ExecSQL();
    openCopies();
    S1->Last();
    if (S1->RecordCount() > 0)
        Grid->selectRow(S1->RecordCount() - 1);
}

void TNetF::LoadSBClick()
{
    const QString id = selectedId();
    if (id.isEmpty()
        || TErori::Mesaj(QStringLiteral("Incarcare date"),
                         QStringLiteral("\rDoriti sa inlocuim datele cu cele din Salvarea selectata?"), 0,
                         TErori::Da | TErori::Nu)
               != TErori::ResultDa)
        return;
    // Until the data are replaced, the list stays as it is.
    if (!command({QStringLiteral("/GET_FILE ") + id}) || !received(id))
        return;
    const QString archive = Form1().TempDir() + u'/' + id;
    const bool restored = Form21().RestoreFromArchive(archive);
    QFile::remove(archive);
    if (!restored)
        return;
    S1->Close();
    Grid->refresh();
    QFile::remove(stocPath());
    accept();
    terminate();
}

void TNetF::keyPressEvent(QKeyEvent *event)
{
    // Enter on the check box moves on, as it does in the edits.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && focusWidget() == MemoCheck) {
        focusNextChild();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TNetF::reject()
{
    Net->Stop();
    QDialog::reject();
}
