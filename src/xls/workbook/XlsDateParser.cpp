#include "xls/workbook/XlsDateParser.h"

#include <QDate>
#include <QRegularExpression>

namespace {

struct TDatePart
{
    double Days = 0;
    QString Format;
};

// Two-digit years follow the usual window: 00-29 are 20xx, 30-99 are 19xx.
int FullYear(const QString &digits)
{
    int year = digits.toInt();
    if (digits.size() <= 2)
        year += year < 30 ? 2000 : 1900;
    return year;
}

QString FieldFormat(QChar letter, const QString &digits)
{
    if (letter == u'y')
        return digits.size() <= 2 ? QStringLiteral("yy") : QStringLiteral("yyyy");
    return digits.size() == 1 ? QString(letter) : QString(2, letter);
}

bool ParseDate(const QString &text, TXlsDateOrder order, TDatePart &part)
{
    static const QRegularExpression re(
        QStringLiteral("^(\\d{1,4})([./-])(\\d{1,2})\\2(\\d{1,4})$"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return false;
    const QString a = m.captured(1), b = m.captured(3), c = m.captured(4);
    const QChar sep = m.captured(2).at(0);
    QString dayText, monthText, yearText, letters;
    switch (order) {
    case TXlsDateOrder::doDMY: dayText = a; monthText = b; yearText = c; letters = QStringLiteral("dmy"); break;
    case TXlsDateOrder::doMDY: monthText = a; dayText = b; yearText = c; letters = QStringLiteral("mdy"); break;
    case TXlsDateOrder::doYMD: yearText = a; monthText = b; dayText = c; letters = QStringLiteral("ymd"); break;
    }
    if (dayText.size() > 2 || (yearText.size() != 2 && yearText.size() != 4))
        return false;
    const QDate date(FullYear(yearText), monthText.toInt(), dayText.toInt());
    if (!date.isValid() || date.year() < 1900)
        return false;
    part.Days = static_cast<double>(QDate(1899, 12, 30).daysTo(date));
    const QString fields[3] = {a, b, c};
    for (int i = 0; i < 3; ++i) {
        if (i > 0)
            part.Format += sep;
        part.Format += FieldFormat(letters.at(i), fields[i]);
    }
    return true;
}

bool ParseTime(const QString &text, TDatePart &part)
{
    static const QRegularExpression re(QStringLiteral("^(\\d{1,2}):(\\d{2})(?::(\\d{2}))?$"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return false;
    const int h = m.captured(1).toInt(), mi = m.captured(2).toInt();
    const bool hasSeconds = m.capturedLength(3) > 0;
    const int s = hasSeconds ? m.captured(3).toInt() : 0;
    if (h > 23 || mi > 59 || s > 59)
        return false;
    part.Days = (h * 3600.0 + mi * 60.0 + s) / 86400.0;
    part.Format = hasSeconds ? QStringLiteral("hh:mm:ss") : QStringLiteral("hh:mm");
    return true;
}

}  // namespace

bool TXlsDateParser::TryParse(const QString &text, TXlsDateOrder order, double &value,
                              QString &format)
{
    const QStringList parts = text.trimmed().split(u' ', Qt::SkipEmptyParts);
    TDatePart date, time;
    bool ok = false;
    if (parts.size() == 1) {
        ok = ParseDate(parts[0], order, date) || ParseTime(parts[0], time);
    } else if (parts.size() == 2) {
        ok = ParseDate(parts[0], order, date) && ParseTime(parts[1], time);
    }
    if (!ok)
        return false;
    value = date.Days + time.Days;
    format = date.Format.isEmpty() ? time.Format
             : time.Format.isEmpty() ? date.Format
                                     : date.Format + u' ' + time.Format;
    return true;
}
