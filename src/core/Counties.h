#pragma once

#include <QStringList>

// Romania's counties in their official alphabetical order (Bucharest in its
// place), upper case without diacritics, with the matching abbreviations.
class Counties
{
public:
    static const QStringList &names();
    static const QStringList &abbreviations();
    static constexpr int Bacau = 3; // the county some reports have their own variant for
};
