#include "xls/workbook/XlsTextValue.h"

#include <QLocale>

#include <cmath>

namespace {

// Every 4th character from the end of the integer part (the last one
// counting as 1) must be a separator, or the sign before the first group.
bool SeparatorsGroupThousands(const QString &integerPart, QChar thousand)
{
    const int length = integerPart.size();
    for (int fromEnd = 1; fromEnd <= length; ++fromEnd) {
        const QChar c = integerPart.at(length - fromEnd);
        const bool groupPlace = fromEnd % 4 == 0;
        if (groupPlace && c != thousand && c != u'-')
            return false;
        // A separator anywhere else is no grouping either.
        if (!groupPlace && c == thousand)
            return false;
    }
    return true;
}

}  // namespace

QString TXlsTextValue::RemoveThousandSeparators(const QString &text, QChar decimal, QChar thousand)
{
    if (!text.contains(thousand))
        return text;
    const qsizetype point = text.indexOf(decimal);
    const QString integerPart = point < 0 ? text : text.left(point);
    const QString decimals = point < 0 ? QString() : text.mid(point);
    if (decimals.contains(thousand) || text.startsWith(thousand))
        return text;
    // A separator in fewer than four characters groups nothing: "1,5" is not
    // fifteen.
    if (integerPart.size() < 4 || !SeparatorsGroupThousands(integerPart, thousand))
        return text;
    QString plain = text;
    plain.remove(thousand);
    return plain;
}

bool TXlsTextValue::TryToNumber(const QString &text, QChar decimal, double &value)
{
    QString c = text.trimmed();
    if (c.isEmpty())
        return false;
    if (decimal != u'.') {
        // The other convention's "." would be read as a decimal point.
        if (c.contains(u'.'))
            return false;
        c.replace(decimal, u'.');
    }
    bool ok = false;
    const double number = QLocale::c().toDouble(c, &ok);
    if (!ok || !std::isfinite(number))
        return false;
    value = number;
    return true;
}

TXlsTextValue TXlsTextValue::FromText(const QString &text, TXlsDateOrder order, QChar decimal,
                                      QChar thousand)
{
    TXlsTextValue result;
    double number = 0;
    if (TryToNumber(RemoveThousandSeparators(text, decimal, thousand), decimal, number)) {
        result.Value = number;
        return result;
    }
    const QString upper = text.toUpper();
    if (upper == QStringLiteral("TRUE") || upper == QStringLiteral("FALSE")) {
        result.Value = upper == QStringLiteral("TRUE");
        return result;
    }
    QString format;
    if (TXlsDateParser::TryParse(text, order, number, format)) {
        result.Value = number;
        result.DateFormat = format;
        return result;
    }
    result.Value = text;
    return result;
}
