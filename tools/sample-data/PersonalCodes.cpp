#include "sample-data/PersonalCodes.h"

namespace {

int digit(QChar c)
{
    return c.unicode() - u'0';
}

} // namespace

int PersonalCodes::cnpControlDigit(const QString &first12)
{
    static constexpr int weights[12] = {2, 7, 9, 1, 4, 6, 3, 5, 8, 2, 7, 9};
    int sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += digit(first12.at(i)) * weights[i];
    const int rest = sum % 11;
    return rest == 10 ? 1 : rest;
}

QString PersonalCodes::cnp(bool male, const QDate &born, int county, int serial)
{
    const int century = born.year() >= 2000 ? 5 : 1;
    const QString first12 = QString::number(century + (male ? 0 : 1))
                            + QStringLiteral("%1%2%3%4%5")
                                  .arg(born.year() % 100, 2, 10, QChar(u'0'))
                                  .arg(born.month(), 2, 10, QChar(u'0'))
                                  .arg(born.day(), 2, 10, QChar(u'0'))
                                  .arg(county, 2, 10, QChar(u'0'))
                                  .arg(serial, 3, 10, QChar(u'0'));
    return first12 + QString::number(cnpControlDigit(first12));
}

int PersonalCodes::cifControlDigit(const QString &leading)
{
    static constexpr int weights[9] = {7, 5, 3, 2, 1, 7, 5, 3, 2};
    const QString padded = leading.rightJustified(9, u'0');
    int sum = 0;
    for (int i = 0; i < 9; ++i)
        sum += digit(padded.at(i)) * weights[i];
    const int rest = sum * 10 % 11;
    return rest == 10 ? 0 : rest;
}

int PersonalCodes::ibanRemainder(const QString &iban)
{
    const QString moved = iban.mid(4) + iban.left(4);
    int rest = 0;
    for (QChar c : moved) {
        // Letters count as 10..35, i.e. two digits each.
        const int v = c.isDigit() ? digit(c) : c.toUpper().unicode() - u'A' + 10;
        rest = v >= 10 ? (rest * 100 + v) % 97 : (rest * 10 + v) % 97;
    }
    return rest;
}

QString PersonalCodes::iban(const QString &bankCode, const QString &account)
{
    const QString body = QStringLiteral("RO00") + bankCode + account;
    const int check = 98 - ibanRemainder(body);
    return QStringLiteral("RO%1").arg(check, 2, 10, QChar(u'0')) + bankCode + account;
}
