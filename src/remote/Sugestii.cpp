#include "remote/Sugestii.h"

#include "controls/StyledProgressBar.h"
#include "core/Contor.h"
#include "core/Erori.h"
#include "core/Form1.h"
#include "core/Form4.h"
#include "platform/codepage/Cp1250.h"
#include "remote/MemoForm.h"
#include "remote/RemoteSettings.h"
#include "remote/WebDownload.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

const QString Title = QStringLiteral("Transmitere Sugestie");
const QString LineBreak = QStringLiteral("%0D%0A");

QLineEdit *edit(QWidget *parent, int maxLength)
{
    auto *e = new QLineEdit(parent);
    e->setMaxLength(maxLength);
    return e;
}

bool unreserved(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_'
           || c == '.' || c == '~';
}

} // namespace

TSugestii &Sugestii()
{
    static TSugestii *instance = new TSugestii;
    return *instance;
}

TSugestii::TSugestii(QWidget *parent)
    : QDialog(parent), nume(edit(this, 60)), comuna(edit(this, 60)), telefon_fax(edit(this, 10)), mail(edit(this, 60)),
      produs(new QPlainTextEdit(this)), MemoBut(new QPushButton(QStringLiteral("&Trimite sugestia"), this)),
      CloseBut(new QPushButton(QStringLiteral("&Renunt"), this))
{
    setWindowTitle(QStringLiteral("Trimitere sugestie"));
    // Enter moves on, as in the other dialogs.
    for (QLineEdit *e : {nume, comuna, telefon_fax, mail})
        connect(e, &QLineEdit::returnPressed, this, [this] { focusNextChild(); });
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Numele dvs."), nume);
    form->addRow(QStringLiteral("Localitate / Judet"), comuna);
    form->addRow(QStringLiteral("Telefon"), telefon_fax);
    form->addRow(QStringLiteral("Email"), mail);
    form->addRow(new QLabel(QStringLiteral("Sugestia dvs."), this));
    form->addRow(produs);
    layOutMemoForm(this, form, MemoBut, CloseBut);
    connect(MemoBut, &QPushButton::clicked, this, &TSugestii::MemoButClick);
    resize(480, 420);
}

bool TSugestii::Arata()
{
    Prepare();
    exec();
    return AfterClose();
}

void TSugestii::Prepare()
{
    m_attempted = false;
    m_succeeded = false;
    telefon_fax->setText(TForm1::ReadMachine(QStringLiteral("Telefon_fax")));
    mail->setText(TForm1::ReadMachine(QStringLiteral("Mail")));
    nume->setText(TForm1::ReadMachine(QStringLiteral("SugestieNume")));
    comuna->setText(TForm1::ReadMachine(QStringLiteral("SugestieComuna")));
    if (comuna->text().trimmed().isEmpty()) {
        const QString locality = Form4().Localit->text();
        comuna->setText(locality + QStringLiteral(" / ") + locality + QStringLiteral(" / ") + Form4().JudetC->currentText());
    }
    nume->setFocus();
}

bool TSugestii::AfterClose()
{
    if (!m_attempted)
        return false;
    if (!m_succeeded) {
        TErori::Mesaj(Title,
                      QStringLiteral("Mesajul nu poate fi transmis!\rVerificati daca aveti internet sau daca nu ati "
                                     "restrictionat accesul la internet al programului!"),
                      1, TErori::OK);
        return false;
    }
    TForm1::WriteMachine(QStringLiteral("SugestieNume"), nume->text());
    TForm1::WriteMachine(QStringLiteral("Telefon_fax"), telefon_fax->text());
    TForm1::WriteMachine(QStringLiteral("Mail"), mail->text());
    TForm1::WriteMachine(QStringLiteral("SugestieComuna"), comuna->text());
    produs->clear();
    TErori::Mesaj(Title,
                  QStringLiteral("Mesajul a fost transmis!\rRaspunsul il veti primi in curand in emailul dvs. sau la "
                                 "telefon.\rVa multumim!"),
                  2, TErori::OK);
    return true;
}

void TSugestii::MemoButClick()
{
    nume->setText(TForm1::CleanText(nume->text()));
    if (nume->text().size() < 3) {
        TForm1::ShowProblem(QStringLiteral("Nume incorect!"), nume);
        return;
    }
    telefon_fax->setText(TForm1::CleanText(telefon_fax->text()));
    if (!TForm1::CheckPhone(telefon_fax->text())) {
        TForm1::ShowProblem(QStringLiteral("Telefon incorect!"), telefon_fax);
        return;
    }
    if (!TForm1::CheckEmail(mail->text())) {
        TForm1::ShowProblem(QStringLiteral("Email incorect!"), mail);
        return;
    }
    QStringList lines = produs->toPlainText().split(u'\n');
    qsizetype joined = LineBreak.size() * (lines.size() - 1);
    for (QString &line : lines) {
        line = TForm1::CleanText(line);
        joined += line.size();
    }
    if (joined < 10 + LineBreak.size() * (lines.size() - 1)) {
        TForm1::ShowProblem(QStringLiteral("Sugestia dvs e prea scurta!"), produs);
        return;
    }
    const QString url = RemoteSettings::suggestionPageUrl() + u'?'
                        + BuildQuery(nume->text(), comuna->text(), telefon_fax->text(), mail->text(), lines);
    Contor().Descr->setText(QStringLiteral("Transmit mesajul..."));
    Contor().Bar->setMaximum(2);
    Contor().Start();
    Contor().Bar->setPosition(1);
    m_attempted = true;
    m_succeeded = SendAndCheck(url);
    Contor().Bar->setPosition(2);
    QApplication::processEvents();
    Contor().Stop();
    accept();
}

QString TSugestii::EncodeValue(const QString &text)
{
    QString out;
    for (char c : Cp1250::encode(TForm1::CleanText(text))) {
        if (unreserved(c))
            out += QLatin1Char(c);
        else if (c == ' ')
            out += u'+';
        else
            out += QStringLiteral("%%1").arg(uint(uchar(c)), 2, 16, QLatin1Char('0')).toUpper();
    }
    return out;
}

QString TSugestii::BuildQuery(const QString &name, const QString &locality, const QString &phone, const QString &email,
                              const QStringList &lines)
{
    QStringList text;
    for (const QString &line : lines)
        text << EncodeValue(line);
    return QStringLiteral("nume=") + EncodeValue(QStringLiteral("Mirelon : ") + name) + QStringLiteral("&comuna=")
           + EncodeValue(locality) + QStringLiteral("&telefon_fax=") + EncodeValue(phone) + QStringLiteral("&mail=")
           + EncodeValue(email) + QStringLiteral("&produs=") + text.join(LineBreak);
}

bool TSugestii::SendAndCheck(const QString &url)
{
    const QString path = Form1().AppDir() + QStringLiteral("/rezultat.txt");
    if (DownloadUrlToFile(url, path) != DownloadOk)
        return false;
    QString joined;
    QFile f(path);
    // The page's answer is a short text; more than this is not it.
    constexpr qint64 MaxReply = 1 << 20;
    if (f.open(QIODevice::ReadOnly)) {
        const QStringList lines = Cp1250::decode(f.read(MaxReply)).split(u'\n');
        for (const QString &line : lines)
            joined += TForm1::CleanText(QString(line).remove(u'\r'));
        f.close();
    }
    QFile::remove(path);
    return joined.contains(QStringLiteral("SUCCES"));
}
