#pragma once

#include <QDialog>
#include <QStringList>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// "Trimitere sugestie": sends the user's suggestion, with name, locality,
// telephone and e-mail, to the maker's suggestion page as one GET request.
class TSugestii : public QDialog
{
    Q_OBJECT
public:
    explicit TSugestii(QWidget *parent = nullptr);

    QLineEdit *nume;
    QLineEdit *comuna;
    QLineEdit *telefon_fax;
    QLineEdit *mail;
    QPlainTextEdit *produs;
    QPushButton *MemoBut;
    QPushButton *CloseBut;

    // Shows the dialog; true when a suggestion was sent and accepted.
    bool Arata();
    // Arata's steps before and after the modal run (tests drive the dialog between them).
    void Prepare();
    bool AfterClose();

    void MemoButClick();

    // True when the page at the URL answered with a text holding "SUCCES".
    static bool SendAndCheck(const QString &url);
    // The query: each value percent-encoded from its CP1250 bytes, blanks as
    // "+", the suggestion's lines joined by an encoded CR LF.
    static QString BuildQuery(const QString &name, const QString &locality, const QString &phone, const QString &email,
                              const QStringList &lines);
    static QString EncodeValue(const QString &text);

    bool attempted() const { return m_attempted; }
    bool succeeded() const { return m_succeeded; }

private:
    bool m_attempted = false;
    bool m_succeeded = false;
};

TSugestii &Sugestii();
