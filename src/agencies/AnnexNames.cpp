#include "agencies/AnnexNames.h"

#include "core/TextChecks.h"
#include "platform/sql/Money.h"

#include <QLocale>

namespace {

char16_t asciiUpper(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? char16_t(c - u'a' + u'A') : c;
}

bool isKeyChar(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || c == u'_';
}

bool isCsvChar(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || c == u'.';
}

// The agency reads plain ASCII: a letter with a diacritic (ă â î ş ș ţ ț and
// any other) stands as its base letter, never as a gap in a name.
QString foldDiacritics(QStringView text)
{
    const QString decomposed = text.toString().normalized(QString::NormalizationForm_D);
    QString folded;
    folded.reserve(decomposed.size());
    for (const QChar ch : decomposed)
        if (ch.category() != QChar::Mark_NonSpacing)
            folded.append(ch);
    return folded;
}

} // namespace

QString AnnexNames::Key(QStringView text)
{
    QString key;
    key.reserve(text.size());
    for (const QChar ch : foldDiacritics(text)) {
        const char16_t c = asciiUpper(ch.unicode());
        if (isKeyChar(c))
            key.append(QChar(c));
    }
    return key;
}

QString AnnexNames::AnnexFileName(const QString &annex, const QString &suffix, const QString &uatName,
                                  const QString &monthName, const QString &year)
{
    QString name = QStringLiteral("ANEXA_") + annex + u'_' + Key(uatName) + u'_' + monthName.toUpper() + u'_' + year;
    if (!suffix.isEmpty())
        name += u'_' + Key(TextChecks::cleanText(suffix));
    return name;
}

QString AnnexNames::CsvText(QStringView value)
{
    QString text;
    text.reserve(value.size());
    for (const QChar ch : foldDiacritics(value)) {
        const char16_t c = asciiUpper(ch.unicode());
        text.append(isCsvChar(c) ? QChar(c) : QChar(u' '));
    }
    return TextChecks::cleanText(text);
}

qint64 AnnexNames::WholeIncome(double venitm)
{
    // A leu begun counts whole: the integer part of the income + 0.99.
    return Money::wholeTowardZero(venitm + 0.99);
}

QString AnnexNames::LevelText(double cuantum)
{
    return QLocale::c().toString(double(Money::wholeHalfAway(cuantum)) / 320.0 * 100.0, 'f', 2);
}
