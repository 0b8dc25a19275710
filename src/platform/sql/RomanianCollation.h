#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <string>
#include <string_view>

// Romanian alphabetical order: a ă â b c d e f g h i î j ... s ş t ţ u ... z,
// ş/ș and ţ/ț alike, other accents after the plain letter, case last (lower
// before upper). Trailing blanks do not count. Two texts are equal only when
// they differ in nothing but trailing blanks or the ş/ș, ţ/ț spelling, so
// comparing stays case-sensitive.
class RomanianCollation
{
public:
    static constexpr const char *Name = "RO";

    // <0, 0, >0
    static int compare(QStringView a, QStringView b);
    static int compareUtf8(std::string_view a, std::string_view b);

    // A byte string whose plain byte order is the collation's order.
    static std::string sortKey(QStringView text);
    static std::string sortKeyUtf8(std::string_view text);
};
