#pragma once

#include <QString>
#include <QStringView>

// Text helpers shared by the forms and documents.
class TextChecks
{
public:
    // Trimmed, double quotes turned into blanks, runs of blanks made one.
    static QString cleanText(QStringView text);
    // An address "local@domain.tld" of the usual characters.
    static bool checkEmail(QStringView text);
    // After dropping every non-digit exactly 10 digits remain, starting 07, 03, 02 or 01.
    static bool checkPhone(QStringView text);
    // Every occurrence of 'find' replaced; an empty 'find' changes nothing.
    static QString replaceAll(const QString &text, const QString &find, const QString &replacement);
};
