#include "core/CNPEdit.h"

#include "core/Cnp.h"

#include <QRegularExpressionValidator>

TCNPEdit::TCNPEdit(QWidget *parent) : QLineEdit(parent)
{
    setMaxLength(13);
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
}

bool TCNPEdit::Corect() const
{
    const QString t = text();
    if (t.isEmpty())
        return AcceptGol;
    return Cnp::isValid(t);
}

QDate TCNPEdit::NascutLa() const
{
    return Cnp::birthDate(text());
}
