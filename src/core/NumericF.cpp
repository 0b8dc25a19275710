#include "core/NumericF.h"

#include <QLocale>
#include <QRegularExpressionValidator>

TNumericF::TNumericF(QWidget *parent) : QLineEdit(QStringLiteral("0"), parent)
{
    setMaxLength(10);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?[0-9]*\\.?[0-9]*")), this));
}

double TNumericF::Valoare() const
{
    return valueOf(text());
}

double TNumericF::valueOf(QStringView text)
{
    QString t = text.trimmed().toString();
    if (t.startsWith(u'.'))
        t.prepend(u'0');
    else if (t.startsWith(QLatin1String("-.")))
        t.insert(1, u'0');
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    return ok ? v : 0.0;
}
