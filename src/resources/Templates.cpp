#include "resources/Templates.h"

#include <QDir>

QStringList Templates::names()
{
    return QDir(QStringLiteral(":/MODEL")).entryList(QDir::Files, QDir::Name);
}
