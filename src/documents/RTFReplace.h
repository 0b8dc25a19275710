#pragma once

#include "platform/io/KestrunError.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class DurableFile;

// Raised when the output or the template cannot be read or written while a
// document is being filled.
class EInOutError : public KestrunError
{
public:
    using KestrunError::KestrunError;
};

// Fills an RTF template with values. It does not parse RTF: the body starts at
// the first "\pard", braces open and close groups, and the document ends at the
// brace that closes the outermost group. A placeholder ("[NUME]") must stand
// whole on one line of the template. Files are CP1250 with CR LF line ends.
class TRTFReplace : public QObject
{
    Q_OBJECT
public:
    explicit TRTFReplace(QObject *parent = nullptr);
    ~TRTFReplace() override;

    QString RTFSursa; // template
    QString RTFDest;  // output

    // Starts RTFDest with the template's header (everything before the first
    // "\pard"). The document is written beside RTFDest and takes its name
    // only at InchideDocument, whole. False, with no output left, when it cannot.
    bool IncepeDocument();
    void AdaugaCheie(const QString &key, const QString &value);
    // Appends count filled copies of the template body.
    void AdaugaPagini(int count);
    // Writes the whole document anew, filling the lines from the first one
    // holding the anchor text; the template's closing brace is kept.
    void CompleteazaDocument(const QString &anchor);
    void PaginaNoua();
    void InchideDocument();
    // Opens the finished file with the default application. There is no
    // word-processor automation here, so useWord changes nothing.
    void DeschideRezultat(bool useWord);

    // Fills one template line (CP1250 bytes); keeps the run position.
    QByteArray InlocuiesteChei(QByteArray line);
    static int NumaraAcolade(const QByteArray &line);
    void StergeChei();

    // How a value is written into the RTF bytes: braces become parentheses,
    // backslashes are doubled, S and T with cedilla in capitals are written as
    // hex escapes and characters the code page lacks as \uN? escapes.
    static QByteArray escapeValue(const QString &value);

    // What a page prints for an empty value: a gap to fill in by hand.
    static constexpr char EmptyValue[] = "..........";

private:
    QList<QByteArray> readTemplate() const;
    // The template's lines, read once per document: IncepeDocument reads
    // them, the pages reuse them, InchideDocument lets them go. Read anew
    // when RTFSursa has changed meanwhile.
    const QList<QByteArray> &templateLines();
    void forgetTemplate();
    // One filled copy of the body that starts at line k.
    QByteArray filledBody(const QList<QByteArray> &lines, qsizetype k);
    void appendToDest(const QByteArray &bytes);
    QByteArray valueBytes(int i, bool upper) const;

    QStringList m_keys;
    QStringList m_values;
    std::vector<QByteArray> m_keyMatch; // key as CP1250 bytes, ASCII letters upper-cased
    QList<QByteArray> m_template;
    QString m_templateOf; // the RTFSursa m_template was read from; empty when none is held
    std::unique_ptr<DurableFile> m_dest; // the document begun, until InchideDocument
    int m_run = -1;
    bool m_closedByTemplate = false;
};
