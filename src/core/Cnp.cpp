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

// The century the sex digit stands for; residents and foreigners (7, 8, 9) carry none, so 1900.
int centuryOf(int sexDigit)
{
    switch (sexDigit) {
    case 3: case 4: return 1800;
    case 5: case 6: return 2000;
    default: return 1900;
    }
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
    const int sex = digitAt(code, 0);
    if (sex == 0)
        return false;
    const QDate born(centuryOf(sex) + twoDigits(code, 1), twoDigits(code, 3), twoDigits(code, 5));
    if (!born.isValid())
        return false;
    return controlDigit(code) == digitAt(code, 12);
}

QDate Cnp::birthDate(QStringView code)
{
    if (code.size() < 7 || !allDigits(code.left(7)))
        return {};
    const int sex = digitAt(code, 0);
    const int century = (sex == 5 || sex == 6) ? 2000 : 1900;
    return QDate(century + twoDigits(code, 1), twoDigits(code, 3), twoDigits(code, 5));
}
