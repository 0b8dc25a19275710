#include "suppliers/BankNames.h"

#include "platform/sql/SqlQuote.h"

#include <QSet>

namespace {

constexpr int kMaxSheetName = 31;

// The filter's TRIM cuts blanks only; so does the key.
QString cutBlanks(const QString &text)
{
    qsizetype from = 0, to = text.size();
    while (from < to && text[from] == u' ')
        ++from;
    while (to > from && text[to - 1] == u' ')
        --to;
    return text.mid(from, to - from);
}

bool forbidden(QChar c)
{
    static const QString chars = QStringLiteral("[]:*?/\\");
    return c.unicode() < 0x20 || c.unicode() == 0x7F || chars.contains(c);
}

// At most room characters, without an apostrophe or blank at either end.
QString fit(QString name, qsizetype room)
{
    name.truncate(room);
    while (!name.isEmpty() && (name.back() == u'\'' || name.back() == u' '))
        name.chop(1);
    while (!name.isEmpty() && (name.front() == u'\'' || name.front() == u' '))
        name.remove(0, 1);
    return name;
}

QString validSheetName(const QString &label)
{
    QString name = label;
    for (QChar &c : name)
        if (forbidden(c))
            c = u'_';
    name = fit(name, name.size());
    return name.isEmpty() ? QStringLiteral("Banca") : name;
}

} // namespace

namespace BankNames {

QString Key(const QString &name)
{
    return cutBlanks(name).toUpper();
}

QString Label(const QString &name)
{
    const QString label = name.trimmed();
    return label.isEmpty() ? QStringLiteral("nespecificata") : label;
}

QString Filter(const QString &name)
{
    const QString key = Key(name);
    // Blank texts are null in the tables.
    if (key.isEmpty())
        return QStringLiteral("BANCA IS NULL");
    return QStringLiteral("UPPER(TRIM(BANCA))=") + SqlQuote::filterLiteral(key);
}

QStringList SheetNames(const QStringList &labels, const QStringList &taken)
{
    QSet<QString> used;
    for (const QString &name : taken)
        used.insert(name.toCaseFolded());
    QStringList out;
    for (const QString &label : labels) {
        const QString base = validSheetName(label);
        QString name = fit(base, kMaxSheetName);
        for (int n = 2; name.isEmpty() || used.contains(name.toCaseFolded()); ++n) {
            const QString suffix = QStringLiteral(" (%1)").arg(n);
            name = fit(base, kMaxSheetName - suffix.size()) + suffix;
        }
        used.insert(name.toCaseFolded());
        out.append(name);
    }
    return out;
}

} // namespace BankNames
