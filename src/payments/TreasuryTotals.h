#pragma once

#include <QByteArray>
#include <QString>

struct TreasuryPackage;

// The totals text ("StatTo_<treasury file>.txt"), CP1250 with CR LF: one line
// per ticked code with its count and sum, then the total of both.
namespace TreasuryTotals {
// Blanks before the text until it is width characters long.
QString PadLeft(const QString &text, int width);
QByteArray text(const TreasuryPackage &package);
void write(const TreasuryPackage &package);
}
