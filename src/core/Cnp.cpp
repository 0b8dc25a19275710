#include "core/Cnp.h"

namespace {

bool allDigits(QStringView s)
{
    for (QChar c : s)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

int digitAt(QStringView s, int i)
{
    return s.at(i).unicode() - u'0';
}

int twoDigits(QStringView s, int i)
{
    return digitAt(s, i) * 10 + digitAt(s, i + 1);
}

} // namespace

int Cnp::controlDigit(QStringView first12)
{
    static const int weights[12] = {2, 7, 9, 1, 4, 6, 3, 5, 8, 2, 7, 9};
    if (first12.size() < 12 || !allDigits(first12.left(12)))
        return -1;
    int sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += digitAt(first12, i) * weights[i];
    const int rest = sum % 11;
    return rest == 10 ? 1 : rest;
}

bool Cnp::isValid(QStringView code)
{
    if (code.size() != 13 || !allDigits(code))
        return false;
    if (digitAt(code, 0) == 0 || !birthDate(code).isValid())
        return false;
    return controlDigit(code) == digitAt(code, 12);
}

bool Cnp::hasDateDigits(QStringView code)
{
    return code.size() >= 7 && allDigits(code.left(7));
}

QDate Cnp::birthDate(QStringView code, const QDate &today)
{
    if (!hasDateDigits(code))
        return {};
    const int yy = twoDigits(code, 1), mm = twoDigits(code, 3), dd = twoDigits(code, 5);
    switch (digitAt(code, 0)) {
    case 3: case 4: return QDate(1800 + yy, mm, dd);
    case 5: case 6: return QDate(2000 + yy, mm, dd);
    case 7: case 8: case 9: {
        // A resident's child must not pass for someone born a century earlier,
        // nor an adult for someone not yet born.
        const QDate recent(2000 + yy, mm, dd);
        return recent.isValid() && recent > today ? QDate(1900 + yy, mm, dd) : recent;
    }
    default: return QDate(1900 + yy, mm, dd);
    }
}
