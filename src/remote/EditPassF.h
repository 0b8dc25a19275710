#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// "Schimbare parola": asks for the new password of the backup account.
class TEditPassF : public QDialog
{
    Q_OBJECT
public:
    explicit TEditPassF(QWidget *parent = nullptr);

    QLineEdit *PassN;
    QPushButton *MemoBut;
    QPushButton *CloseBut;

    // True when a password was given; it is then NewPassword().
    bool Arata();
    void Prepare();
    void MemoButClick();
    // The password as the login sends it: trimmed, quotes made blanks, blanks collapsed.
    QString NewPassword() const { return m_password; }

private:
    QString m_password;
};

TEditPassF &EditPassF();
