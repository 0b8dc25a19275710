#pragma once

#include <QDialog>
#include <QStringList>

#include <functional>
#include <memory>

class BackupExchange;
class QCheckBox;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class StocQuery;
class TExDBGrid;
class TQuery;
class TStyledProgressBar;

// "Copie / Recupereaza date la Distanta": the account on the remote backup
// server, uploading the data folder as an archive, listing, deleting and
// restoring the stored copies. Each command is one exchange (BackupExchange).
class TNetF : public QDialog
{
    Q_OBJECT
public:
    explicit TNetF(QWidget *parent = nullptr);
    ~TNetF() override;

    // login
    QFrame *Panel2;
    QLineEdit *Email;
    QLineEdit *Pass;
    QPushButton *LoginB;
    QCheckBox *MemoCheck;
    QPushButton *SendPassB;
    // code check
    QFrame *Panel1;
    QLineEdit *CodConf;
    QPushButton *CheckCodB;
    // account
    QFrame *Panel4;
    QLabel *EmailL;
    QLabel *PassOkL;
    QLabel *DataInL;
    QPushButton *PassChangeB;
    // save and load
    QFrame *Panel5;
    QPushButton *SaveBut;
    QPushButton *LoadBut;
    // stored copies
    QFrame *Panel6;
    TExDBGrid *Grid;
    QPushButton *LoadSB;
    QPushButton *DelSB;
    QPushButton *BackBut;
    // status of an exchange
    QFrame *Panel3;
    QLabel *Descr;
    TStyledProgressBar *Bar1;

    StocQuery *S1;
    TQuery *Sx;
    BackupExchange *Net;

    // Opens the dialog; `file` is an archive to send after the login (empty from the menu).
    void Arata(const QString &file);
    // Arata's steps before the modal run.
    void Prepare(const QString &file);

    // "1"/"0" per panel: login, code, account, save-and-load, stored copies.
    void ShowPanels(const QString &mask);
    QString shownPanels() const;

    // The backup server's address from the maker's web server ("" when unknown).
    static QString ServerAddress();
    static QString EncodeDigits(const QString &text);
    static QString DecodeDigits(const QString &text);

    void NewCommand();
    void WriteCommandFile();
    bool SendCommand();
    // Interprets the reply file and writes its attachments; false (after
    // telling the user) when the reply is refused.
    bool ReadReply();

    void LoginBClick();
    void CheckCodBClick();
    void SendPassBClick();
    void PassChangeBClick();
    void SaveButClick();
    void LoadButClick();
    void BackButClick();
    void DelSBClick();
    void LoadSBClick();

    // Where the restore ends the program (tests replace it).
    std::function<void()> terminate;
    // The upload's note and the new password (tests replace the dialogs); empty when cancelled.
    std::function<QString()> askNote;
    std::function<QString()> askPassword;

    QString fileToSend() const { return m_file; }
    // The request's command lines, between NewCommand and WriteCommandFile.
    QStringList &Commands() { return m_commands; }

    // Closing (Esc too) ends a waiting exchange.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool exchange(const QStringList &commands, const QStringList &attachments = {});
    // One command: its exchange, then its reply. False, the clerk told why, when
    // either failed or the server refused the password.
    bool command(const QStringList &commands, const QStringList &attachments = {});
    bool passwordRefused();
    // Whether the last reply brought the file; when not, the clerk is told.
    bool received(const QString &name);
    bool upload();
    void openCopies();
    QString stocPath() const;
    QString selectedId() const;
    void showTransferError();

    QString m_file;
    QString m_requestPath;
    QStringList m_commands;
    QStringList m_attachments;
    QStringList m_received; // the files the last reply wrote
    std::unique_ptr<StocQuery> m_s1;
    std::unique_ptr<TQuery> m_sx;
};

TNetF &NetF();
