#pragma once

#include <QString>

#include <stdexcept>
#include <string>

// The program's errors, whatever layer raises them: first the message the
// clerk reads (Romanian, or the system's own text), then the technical detail
// (file, record, offset, the system's cause). what() holds the whole as UTF-8.
// Each layer's error type derives from this one, so whoever shows an error
// needs to know none of them.
class KestrunError : public std::runtime_error
{
public:
    // The detail, when there is one, follows in parentheses:
    // "Nu pot scrie fisierul X: Nu este spatiu pe disc. (No space left on device)".
    explicit KestrunError(const QString &message, const QString &detail = {})
        : KestrunError(message, detail, joined(message, detail))
    {
    }
    // A whole text (UTF-8, kept byte for byte in what()) whose detail is not kept apart.
    explicit KestrunError(const std::string &text) : std::runtime_error(text), m_message(QString::fromStdString(text)) {}
    explicit KestrunError(const char *text) : KestrunError(std::string(text)) {}

    const QString &message() const { return m_message; }
    const QString &detail() const { return m_detail; }
    // The message with the detail after it, as the clerk is shown it.
    QString text() const { return QString::fromUtf8(what()); }
    // What the clerk is shown for any error: ours as it stands; another's
    // (the library's own text, in English) after a Romanian message.
    static QString textOf(const std::exception &e)
    {
        if (const auto *ours = dynamic_cast<const KestrunError *>(&e))
            return ours->text();
        return KestrunError(QStringLiteral("Eroare neprevazuta."), QString::fromUtf8(e.what())).text();
    }

protected:
    // For a layer whose texts have a shape of their own: text is the message
    // followed by the detail.
    KestrunError(const QString &message, const QString &detail, const QString &text)
        : std::runtime_error(text.toStdString()), m_message(message), m_detail(detail)
    {
    }

private:
    static QString joined(const QString &message, const QString &detail)
    {
        return detail.isEmpty() ? message : message + QStringLiteral(" (") + detail + u')';
    }

    QString m_message;
    QString m_detail;
};
